#pragma once

#include "core/export/serviceexport.h"
#include "core/gallery/library/templatestaging.h"
#include "core/platform/status.h"

#include <QObject>
#include <QString>

class BrandChoice;
class ExportNotice;
class GalleryWindow;
class QWidget;

// The ways the previewed template leaves the program: an HTML page with its
// images, an .eml message, a zip for a mailing service, and the hand-off to
// Rookpost. It asks
// for the target in the save dialog, which starts in the folder of the last
// export that succeeded, says why nothing was written, and confirms a
// finished export in the notice over the preview.
class ExportController : public QObject
{
    Q_OBJECT

public:
    // Dialogs and boxes belong to `owner`; the notice lies over `preview` and
    // hands the keyboard back to `focusAfter`.
    ExportController(GalleryWindow& window, QWidget* owner, QWidget* preview, QWidget* focusAfter,
                     QObject* parent = nullptr);

    ExportNotice* notice() const { return m_notice; }
    // While `brands` has one switched on, the exports write the template in it.
    void setBrands(const BrandChoice* brands) { m_brands = brands; }
    // The previewed template's message as the exports write it: in the brand
    // that is on, whose name goes to `brandName`, when the template has places for it.
    Result<TemplateStaging::DecodedTemplate> messageToExport(const QString& name,
                                                             QString* brandName) const;
    // `message` in the brand that is on, the same way; as it is without one.
    Result<QByteArray> inBrand(const QByteArray& message, QString* brandName) const;

    void exportHtml();
    void exportEml();
    void exportRookpost();
    // A zip for a mailing service's upload, with the service's merge tags.
    void exportForService();

    // The sibling mailer's executable, or empty when it is not installed.
    static QString rookpostPath();

private:
    enum class Format { Html, Eml };
    void exportAs(Format format);
    // Says why there is nothing to export before the user picks a file for it.
    bool checkTemplate(const QString& title, const QString& name, const QString& what) const;
    // The chosen target, or empty when the user cancelled.
    QString askForTarget(const QString& title, const QString& extension,
                         const QString& templateName) const;
    QString startFolder() const;
    void rememberFolder(const QString& target) const;

    GalleryWindow& m_window;
    QWidget* m_owner;
    // The choices of the last export for a service, offered again while the window is open.
    ServiceExport::Options m_serviceOptions;
    ExportNotice* m_notice = nullptr;
    const BrandChoice* m_brands = nullptr;
};
