#include "core/gallery/search/searchpage.h"

#include "core/gallery/library/thumbnailgrid.h"
#include "core/platform/fileio.h"

#include <QCoreApplication>
#include <QUrl>

namespace SearchPage {

namespace {

QByteArray escaped(const QString& text)
{
    return text.toHtmlEscaped().toUtf8();
}

QByteArray picture(const QString& path)
{
    if (path.isEmpty())
        return {};
    // A hostile library may put a FIFO or a huge sparse file there.
    const Result<QByteArray> data = FileIo::readSmallFile(path, MaxPictureBytes, false);
    if (!data || !data->startsWith("\x89PNG"))
        return {};
    return "data:image/png;base64," + data->toBase64();
}

// The search field lies over the top of the pane, so the page begins below it.
const char Style[] =
    R"(body { margin: 0; padding: 46px 14px 24px; background: rgb(244, 242, 238); color: rgb(36, 36, 40);
       font: 15px/1.45 "Segoe UI", Roboto, "Helvetica Neue", Arial, sans-serif;
       border-top: 5px solid rgb(255, 128, 0); }
h1 { margin: 0 0 4px; font-size: 22px; line-height: 1.25; color: rgb(64, 64, 64); }
p { margin: 0 0 16px; color: rgb(84, 84, 92); }
span { display: block; padding: 8px 2px 0; font-weight: 600; overflow-wrap: anywhere; }
small { display: block; padding: 0 2px 2px; color: rgb(84, 84, 92); }
)";

} // namespace

QByteArray build(const QString& heading, const QString& note,
                 const QList<TemplateSearch::Entry>& entries)
{
    // The page speaks the window's language; screen readers pick their voice by it.
    //: The code of this translation's language, as a web page names it ("de", "fr").
    const QString language = QCoreApplication::translate("SearchPage", "en");
    QByteArray page = "<!DOCTYPE html>\n<html lang=\"" + escaped(language) +
                      "\">\n<head>\n<meta charset=\"utf-8\">\n"
                      "<title>" +
                      escaped(heading) + "</title>\n<style>\n" + Style + ThumbnailGrid::Style +
                      "</style>\n</head>\n<body>\n<main>\n<h1>" + escaped(heading) + "</h1>\n";
    if (!note.isEmpty())
        page += "<p>" + escaped(note) + "</p>\n";
    page += "<ul>\n";
    for (qsizetype i = 0; i < entries.size() && i < MaxShown; ++i) {
        const TemplateSearch::Entry& entry = entries[i];
        page += "<li><a href=\"#" + QUrl::toPercentEncoding(entry.name) + "\">";
        const QByteArray image = picture(entry.thumbnail);
        if (!image.isEmpty())
            page += "<img src=\"" + image + "\" width=\"300\" height=\"375\" alt=\"" +
                    escaped(QCoreApplication::translate("SearchPage", "Preview of the template %1")
                                .arg(entry.name)) +
                    "\">";
        page += "<span>" + escaped(entry.name) + "</span><small>" + escaped(entry.category) +
                "</small></a></li>\n";
    }
    return page + "</ul>\n</main>\n</body>\n</html>\n";
}

} // namespace SearchPage
