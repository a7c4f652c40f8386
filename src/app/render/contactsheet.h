#pragma once

#include "core/platform/status.h"

#include <QImage>
#include <QList>
#include <QString>

#include <functional>

// Every template of a library side by side in one picture, at one width, so
// that authors and reviewers see the whole library at a phone's width or at
// its own at a glance. How a template is drawn is passed in, so the same
// sheet shows it as the preview draws it or as another mail program would.
namespace ContactSheet {

// Draws the library file at `templatePath` at `width` css px, whole height.
using RenderFunction = std::function<Result<QImage>(const QString& templatePath, int width)>;

// One place of the sheet: a template drawn, or the reason it could not be.
struct Tile
{
    QString caption;
    QImage image;    // as drawn, at the sheet's width; null when `problem` says why
    QString problem; // empty when the template was drawn
};

inline constexpr int Margin = 32;
inline constexpr int Gap = 32;           // between columns and between rows
inline constexpr int CaptionHeight = 30; // the caption's band above every picture
// A phone's width stays 1:1; a wider template is scaled down to this, which
// keeps a 16 px body text above 10 px, legible when zoomed in.
inline constexpr int MaxTileWidth = 400;
inline constexpr int DefaultMaxSheetWidth = 3600;

// The scale a template drawn at `width` is tiled at.
qreal scaleFor(int width);
// The width of every column of a sheet of templates drawn at `width`.
int tileWidth(int width);
// As many columns as keep the sheet within DefaultMaxSheetWidth, at least one.
int defaultColumns(int width);
// The height of a problem tile, as tall as a category page's thumbnail is for its width.
int problemHeight(int width);

// Every template of `libraryFolder`/templates in the order of the category
// pages (category list order, then each page's link order), each once, then
// the templates no page links to, by name. A link to a template the library
// cannot open gets a tile that says why. Captions read "Name · Category".
QList<Tile> renderLibrary(const QString& libraryFolder, int width, const RenderFunction& render);

// The tiles on a light grey ground in `columns` columns, row by row, each
// picture scaled by scaleFor(width) under its caption; a row is as tall as its
// tallest tile.
QImage compose(const QList<Tile>& tiles, int width, int columns);

} // namespace ContactSheet
