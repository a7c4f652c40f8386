#include "sheetcommand.h"

#include "outlookcheck.h"
#include "thumbnailrenderer.h"

#include "core/platform/fileio.h"

#include <QBuffer>
#include <QDir>
#include <QTextStream>

#include <memory>

int sheetCommand(const QString& library, const QString& width, const QString& out,
                 const QString& columns, const ContactSheet::RenderFunction& render,
                 const QString& drawnBy)
{
    QTextStream err(stderr);
    QTextStream log(stdout);
    bool widthOk = false;
    bool columnsOk = columns.isEmpty();
    const int cssWidth = width.toInt(&widthOk);
    const int columnCount = columns.isEmpty() ? 0 : columns.toInt(&columnsOk);
    if (!widthOk || cssWidth < 1 || !columnsOk || (!columns.isEmpty() && columnCount < 1)) {
        err << "sheet: WIDTH and COLUMNS are whole numbers from 1 up\n";
        return 2;
    }
    QList<ContactSheet::Tile> tiles =
        ContactSheet::renderLibrary(QDir::cleanPath(library), cssWidth, render);
    if (tiles.isEmpty()) {
        err << QDir::toNativeSeparators(library) << ": there is no template to draw in "
            << QDir::toNativeSeparators(library + QStringLiteral("/templates")) << '\n';
        return 1;
    }
    int problems = 0;
    for (ContactSheet::Tile& tile : tiles) {
        if (!drawnBy.isEmpty())
            tile.caption += QStringLiteral(" · ") + drawnBy;
        log << tile.caption << '\n';
        if (tile.image.isNull()) {
            err << tile.problem << '\n';
            ++problems;
        }
    }
    const int used = columnCount > 0 ? columnCount : ContactSheet::defaultColumns(cssWidth);
    const QImage sheet = ContactSheet::compose(tiles, cssWidth, used);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    const Status written = sheet.save(&buffer, "PNG")
                               ? FileIo::writeAtomically(out, png)
                               : Status::failure(QDir::toNativeSeparators(out) +
                                                 QStringLiteral(": the sheet cannot be encoded"));
    if (!written) {
        err << written.message() << '\n';
        return 1;
    }
    log << tiles.size() << " templates at " << cssWidth << " px, scaled by "
        << ContactSheet::scaleFor(cssWidth) << ": " << QDir::toNativeSeparators(out) << " ("
        << sheet.width() << " x " << sheet.height() << ")\n";
    return problems == 0 ? 0 : 1;
}

ContactSheet::RenderFunction previewRender()
{
    auto renderer = std::make_shared<ThumbnailRenderer>();
    return [renderer](const QString& templatePath, int width) -> Result<QImage> {
        Result<QImage> image = renderer->renderTemplate(templatePath, width, 0);
        if (image && image->isNull())
            return Status::failure(QDir::toNativeSeparators(templatePath) +
                                   QStringLiteral(": the page could not be drawn"));
        return image;
    };
}

ContactSheet::RenderFunction outlookRender()
{
    auto check = std::make_shared<OutlookCheck>();
    return [check](const QString& templatePath, int width) {
        return check->render(templatePath, width);
    };
}
