#pragma once

#include "core/platform/status.h"

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>

#include <optional>
#include <vector>

// The user's changes to a template's words, links and pictures, made on a
// copy of its message. The page is only scanned, never run; what comes out
// is composed and checked as an added template is (TemplateImport), so the
// edits cannot bring in what an import would refuse.
namespace TemplateEdits {

// What the page lets the user change. Shipped templates mark it with
// data-edit="KIND" (headline, text, item, button, caption, preheader,
// image); a page without marks offers its headings, paragraphs, list items,
// links and pictures.
struct Slot
{
    int id = 0; // its place among the page's slots, in document order
    QString kind;
    QString text;    // the words it shows, as plain text
    QString link;    // a button's or link's target
    QString picture; // a picture's src
    QString alt;
    QSize box; // a picture's width and height attributes
    qsizetype tagBegin = 0;
    qsizetype tagEnd = 0;
    qsizetype contentEnd = -1; // where its end tag starts; -1 for a picture
};

std::vector<Slot> slotsOf(const QByteArray& html);
// The page as the customise mode shows it: every slot's element carries
// data-edit-slot="ID", so the program's script finds each by the id
// applyToPage takes, however the browser rebuilds the tables around it.
// An id the page brings along itself is taken out.
QByteArray withSlotIds(const QByteArray& html);

// The kinds the page marks with data-edit, each once, sorted; empty for a
// page without marks.
QStringList markedKinds(const QByteArray& html);

struct Edit
{
    int slot = -1;
    std::optional<QString> text;
    std::optional<QString> link;
    std::optional<QString> alt;
    QString pictureFile; // empty: the slot keeps its picture
};

// A target a link may have: a web or mail address, a telephone number, a
// place in the page or a merge field ("[unsubscribe_url]"). Refused with the
// reason: anything that runs, embeds or reaches for a file.
Status checkLink(const QString& link);

struct Picture
{
    QByteArray data;
    QByteArray mimeType; // image/png or image/jpeg
    QString suffix;      // png or jpg
};

// Larger files and pictures are refused before they are decoded.
constexpr qsizetype MaxPictureFileSize = 20 * 1024 * 1024;
constexpr int MaxPictureSide = 8000;

// The picture in `file` (PNG, JPEG, GIF or WebP) drawn to fill `box` at twice
// its size, as the library's pictures are, cut to the box's proportions from
// the middle; PNG when it has transparency, JPEG otherwise.
Result<Picture> preparePicture(const QString& file, QSize box);

// The page with the edits made; pictures are written into `folder` and named
// relative to it. Refused as a whole when one edit is wrong.
Result<QByteArray> applyToPage(const QByteArray& html, const QList<Edit>& edits,
                               const QString& folder);

// A template's message with the edits made and composed anew as the
// template `name`, its subject replaced unless `subject` is null.
Result<QByteArray> applyToMessage(const QByteArray& message, const QList<Edit>& edits,
                                  const QString& name, const QString& subject = QString());

} // namespace TemplateEdits
