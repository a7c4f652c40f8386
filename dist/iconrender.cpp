// Renders the program icon at the sizes desktops look up in the hicolor theme.
//   quillery-iconrender ICON.svg OUTPUT_FOLDER SIZE...
// writes OUTPUT_FOLDER/SIZExSIZE/apps/NAME.png for each size, NAME being the
// icon file's base name.

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QTextStream err(stderr);
    if (args.size() < 3) {
        err << "usage: quillery-iconrender ICON.svg OUTPUT_FOLDER SIZE...\n";
        return 2;
    }
    QSvgRenderer renderer(args[0]);
    if (!renderer.isValid()) {
        err << args[0] << ": not a valid SVG image\n";
        return 1;
    }
    const QString name = QFileInfo(args[0]).completeBaseName();
    for (const QString& sizeText : args.mid(2)) {
        const int size = sizeText.toInt();
        if (size <= 0) {
            err << sizeText << ": not a size in pixels\n";
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args[1]).arg(size);
        if (!QDir().mkpath(folder) ||
            !image.save(folder + QLatin1Char('/') + name + QLatin1String(".png"))) {
            err << folder << ": cannot write the icon\n";
            return 1;
        }
    }
    return 0;
}
