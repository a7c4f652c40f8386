#pragma once

#include "core/brand/brandkit.h"
#include "core/gallery/library/templatestaging.h"
#include "previewviews.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <optional>

class BrowserPane;
class QThread;

// What the preview pane is loading and when its working files may go. Every
// choice gets its own address, so rapid clicks end on the last choice, and
// the files of a page still loading are never removed under it.
class PreviewLoader : public QObject
{
    Q_OBJECT

public:
    // `appFolder` holds the library; `pane` shows the pages and outlives the loader's use.
    PreviewLoader(const QString& appFolder, BrowserPane* pane, QObject* parent = nullptr);
    // Waits for a removal of the working files still under way.
    ~PreviewLoader() override;

    // The library folder the next templates shown are read from.
    void setLibrary(const QString& appFolder) { m_appFolder = appFolder; }

    // The preview of `name`, or of `problem` when it is not empty: the reason
    // why a category's page cannot be shown.
    void show(const QString& name, const QString& problem);

    // Shows the latest choice again in `view`, from the message decoded for
    // it: the library file is not read again.
    void setView(const PreviewViews::View& view);

    // The brand the templates wear from now on, or none: as shipped. Shows
    // the latest choice again in it.
    void setBrand(const std::optional<BrandKit>& brand);

    // The pane's reports on a page it was given.
    void documentComplete(const QUrl& url);
    void downloadComplete(const QUrl& url);

signals:
    // The latest choice's page has loaded; its working files go next.
    void loaded(const QString& templateName);
    // A preview page has loaded and its working files are gone.
    void shown(const QString& templateName);
    // Whether the template just staged has dark colours of its own; a notice
    // has nothing to say about them.
    void ownDarkRulesFound(bool found);
    // Whether the template just staged marks places for a brand, and why the
    // brand could not be put on it (empty when it could, or none is on).
    void brandStateFound(bool hasSlots, const QString& problem);
    // The latest choice ended without a page from the preview folder: its
    // load failed, or its notice went straight into the pane.
    void abandoned(const QString& templateName);

private:
    // The latest choice's page in the current view; `again` when its files
    // were staged before.
    void present(bool again);
    void showNotice(const QString& name, const QString& reason);
    void navigate(const QString& page);
    void forget();
    void removeFiles();
    // Puts the brand, if one is on, on a copy of the latest choice's message.
    void brandDecoded();
    void waitForRemoval();

    QString m_appFolder;
    BrowserPane* m_pane;
    QString m_folder; // this running copy's own, see ensurePreviewFolder
    QString m_name;   // of the latest choice
    // The latest choice's message, or why it cannot be shown.
    std::optional<TemplateStaging::DecodedTemplate> m_decoded;
    TemplateStaging::StagedPage m_staged; // its page as staged last
    std::optional<BrandKit> m_brand;
    // The latest choice's message in m_brand; the library is never changed.
    std::optional<QByteArray> m_branded;
    QString m_brandProblem;
    // The last message branded, and in which brand.
    struct BrandedCopy
    {
        BrandKit brand;
        QString logoStamp;
        QByteArray source;
        std::optional<QByteArray> branded;
        QString problem;
    };
    BrandedCopy m_brandCache;
    QString m_notice;
    bool m_chosen = false;
    PreviewViews::View m_view;
    QUrl m_url; // of the latest page given to the pane
    bool m_pending = false;
    quint64 m_serial = 0;
    QThread* m_removal = nullptr; // removing the last preview's files
};
