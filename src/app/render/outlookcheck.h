#pragma once

#include "thumbnailrenderer.h"

#include "core/platform/status.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

// Shows a template as Outlook for Windows reads it (OutlookModel) and checks
// what that engine is known to break: boxes an author set side by side that
// stack, buttons that lose their padding, and for the shipped templates'
// classes their rows of columns and the tagline under the brand name. The
// pages are drawn under the preview's rules. A model of Outlook, not Outlook.
class OutlookCheck
{
public:
    // The view the check lays pages out in, as wide as the templates.
    static constexpr int Width = 600;
    static constexpr int Height = 900;

    struct Findings
    {
        QStringList faults; // one line each, in words an author acts on
        int checked = 0;    // rows, buttons, taglines and boxes side by side looked at
    };

    // The library file at `templatePath`, staged as the preview stages it.
    Result<Findings> checkTemplate(const QString& templatePath);
    Result<QStringList> faults(const QString& templatePath);

    // The page at `pagePath`; its pages for the check are written beside it,
    // so that its pictures show.
    Result<Findings> checkPage(const QString& pagePath);

    // The template's model, captured whole at `width`.
    Result<QImage> render(const QString& templatePath, int width);

private:
    Result<Findings> check(const QString& page, const QString& shownPath);
    Result<QJsonObject> measure(const QString& page, const QJsonArray& arguments,
                                const QString& shownPath);

    ThumbnailRenderer m_renderer;
};
