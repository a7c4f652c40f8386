#pragma once

#include "browserpane.h"

#include "core/platform/status.h"

#include <QImage>
#include <QString>
#include <QVariant>
#include <QWebEngineProfile>

// Draws a page as the preview pane shows it, under the pane's rules: a
// template that refers to the renderer's own files must not carry them into
// the pictures that go into a library. The thumbnails tool draws the shipped
// library's thumbnails with it, the window those of the user's templates.
class ThumbnailRenderer
{
public:
    // The width the Desktop view lays a template out at in the window's
    // designed size (the preview pane less its scrollbar): a thumbnail drawn
    // narrower would show the layout a template keeps for narrow screens,
    // which often starts at 600 pixels, while the preview shows the wide one.
    static constexpr int TemplateWidth = 678;
    static constexpr int ThumbWidth = 300;
    static constexpr int ThumbHeight = 375;

    ThumbnailRenderer();

    // Loads `page` into a view of `width` x `height`; false when it did not
    // load in time.
    bool load(const QString& page, int width, int height);

    // The value of `script`, run in a world of its own beside the page, whose
    // own scripts stay off; an invalid QVariant when it gave none in time.
    QVariant evaluate(const QString& script);

    // The page at `width`; `height` 0 captures the whole document.
    QImage render(const QString& page, int width, int height);

    // The library file at `libraryPath` staged into `folder` as the preview
    // stages it: the page's path, or why there is no page to draw.
    static Result<QString> stageTemplate(const QString& libraryPath, const QString& folder);

    // The library file at `libraryPath` staged as the preview stages it and
    // drawn at `width`; `height` 0 captures the whole document.
    Result<QImage> renderTemplate(const QString& libraryPath, int width, int height);

    // The library file drawn as a category page's thumbnail.
    Result<QImage> renderTemplate(const QString& libraryPath);

    // The thumbnail of `libraryPath` written to `target` as a PNG, atomically.
    Status writeThumbnail(const QString& libraryPath, const QString& target);

private:
    QWebEngineProfile m_profile; // off the record; outlives the view's page
    BrowserPane m_view{&m_profile, BrowserPane::Role::Preview};
};
