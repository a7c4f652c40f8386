#include "contactsheet.h"

#include "core/gallery/library/templatelibrary.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QSet>

#include <algorithm>

namespace ContactSheet {

namespace {

const QColor Ground(232, 232, 232);
const QColor Ink(34, 34, 34);
const QColor Frame(196, 196, 196);
const QColor Alarm(176, 0, 0);

Tile drawn(const QString& caption, const Result<QString>& file, int width,
           const RenderFunction& render)
{
    Tile tile{caption, {}, {}};
    const Result<QImage> image = file ? render(*file, width) : Result<QImage>(file.status());
    if (image)
        tile.image = *image;
    else
        tile.problem = image.status().message();
    return tile;
}

int pictureHeight(const Tile& tile, int width)
{
    if (tile.image.isNull() || tile.image.width() <= 0)
        return problemHeight(width);
    return qRound(qreal(tile.image.height()) * tileWidth(width) / tile.image.width());
}

void drawCaption(QPainter& painter, const QRect& band, const QString& caption)
{
    QFont font = painter.font();
    font.setPixelSize(14);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Ink);
    const QString text = QFontMetrics(font).elidedText(caption, Qt::ElideRight, band.width());
    painter.drawText(band.adjusted(0, 0, 0, -6), Qt::AlignLeft | Qt::AlignBottom, text);
}

void drawProblem(QPainter& painter, const QRect& box, const QString& problem)
{
    painter.fillRect(box, Qt::white);
    painter.setPen(QPen(Alarm, 2));
    painter.drawRect(box.adjusted(1, 1, -1, -1));
    QFont font = painter.font();
    font.setPixelSize(14);
    font.setBold(false);
    painter.setFont(font);
    painter.drawText(box.adjusted(12, 12, -12, -12),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWrapAnywhere, problem);
}

} // namespace

qreal scaleFor(int width)
{
    return width > MaxTileWidth ? qreal(MaxTileWidth) / width : 1.0;
}

int tileWidth(int width)
{
    return qMax(1, qRound(width * scaleFor(width)));
}

int defaultColumns(int width)
{
    return qMax(1, (DefaultMaxSheetWidth - 2 * Margin + Gap) / (tileWidth(width) + Gap));
}

int problemHeight(int width)
{
    return tileWidth(width) * 5 / 4;
}

QList<Tile> renderLibrary(const QString& libraryFolder, int width, const RenderFunction& render)
{
    QList<Tile> tiles;
    QSet<QString> seen;
    for (const QString& category : TemplateLibrary::categoryNames(libraryFolder)) {
        const Result<QString> page = TemplateLibrary::findCategoryPage(libraryFolder, category);
        if (!page)
            continue; // its templates follow with those no page links to
        for (const QString& name : TemplateLibrary::templateLinks(*page)) {
            const Result<QString> file = TemplateLibrary::findTemplateFile(libraryFolder, name);
            const QString key = file ? *file : name;
            if (seen.contains(key))
                continue;
            seen.insert(key);
            tiles.append(drawn(name + QStringLiteral(" · ") + category, file, width, render));
        }
    }
    const QFileInfoList files = QDir(TemplateLibrary::templatesFolder(libraryFolder))
                                    .entryInfoList({QStringLiteral("*.dat")},
                                                   QDir::Files | QDir::CaseSensitive, QDir::Name);
    for (const QFileInfo& info : files) {
        const QString name = info.fileName().chopped(4);
        const Result<QString> file = TemplateLibrary::findTemplateFile(libraryFolder, name);
        if (seen.contains(file ? *file : name))
            continue;
        tiles.append(drawn(name, file, width, render));
    }
    return tiles;
}

QImage compose(const QList<Tile>& tiles, int width, int columns)
{
    columns = std::clamp(columns, 1, qMax(1, int(tiles.size())));
    const int column = tileWidth(width);
    const int rows = (int(tiles.size()) + columns - 1) / columns;
    QList<int> rowHeights(rows, CaptionHeight);
    for (int i = 0; i < tiles.size(); ++i)
        rowHeights[i / columns] =
            qMax(rowHeights[i / columns], CaptionHeight + pictureHeight(tiles[i], width));
    int height = 2 * Margin + qMax(0, rows - 1) * Gap;
    for (int rowHeight : rowHeights)
        height += rowHeight;

    QImage sheet(2 * Margin + columns * column + (columns - 1) * Gap, height, QImage::Format_RGB32);
    sheet.fill(Ground);
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::TextAntialiasing);
    int top = Margin;
    for (int row = 0; row < rows; ++row) {
        for (int i = row * columns; i < qMin(int(tiles.size()), (row + 1) * columns); ++i) {
            const Tile& tile = tiles[i];
            const int left = Margin + (i % columns) * (column + Gap);
            drawCaption(painter, QRect(left, top, column, CaptionHeight), tile.caption);
            const QRect box(left, top + CaptionHeight, column, pictureHeight(tile, width));
            if (tile.image.isNull()) {
                drawProblem(painter, box, tile.problem);
                continue;
            }
            painter.drawImage(box.topLeft(), tile.image.scaled(box.size(), Qt::IgnoreAspectRatio,
                                                               Qt::SmoothTransformation));
            // A white template on the light ground still shows where it ends.
            painter.setPen(Frame);
            painter.drawRect(box.adjusted(-1, -1, 0, 0));
        }
        top += rowHeights[row] + Gap;
    }
    return sheet;
}

} // namespace ContactSheet
