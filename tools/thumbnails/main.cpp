// Renders library templates in the web engine, the way the preview pane shows
// them, for the category pages' thumbnails and for the screenshots in docs/.
//
//   quillery-thumbnails thumbs SOURCE_FOLDER LIBRARY_FOLDER
//       for every link on every category page.html of SOURCE_FOLDER, renders
//       the built template LIBRARY_FOLDER/templates/NAME.dat and writes the
//       thumbnail the page shows (SOURCE_FOLDER/<category>/thumbs/<file>.png)
//   quillery-thumbnails thumb TEMPLATE.dat OUT.png
//       the thumbnail of one template, as quillery-library add draws it
//   quillery-thumbnails shot FILE OUT.png WIDTH [HEIGHT]
//       FILE is a template (.dat) or a page (.html); without HEIGHT the whole
//       page is captured
//   quillery-thumbnails outlook TEMPLATE.dat...
//       checks each template as Outlook for Windows reads it (OutlookCheck):
//       one line "PATH: FAULT" per fault, "PATH: holds in the Outlook model"
//       when it has none, "PATH: REASON" when it cannot be read; exit status 1
//       when any template has a fault or cannot be read. quillery-library
//       check passes these lines on, so their form is fixed.
//   quillery-thumbnails outlook-shot TEMPLATE.dat OUT.png WIDTH
//       the whole page as the Outlook model shows it
//   quillery-thumbnails sheet [--outlook] LIBRARY_FOLDER WIDTH OUT.png [COLUMNS]
//       every template of the library at WIDTH, whole height, tiled into one
//       picture in the order of the category pages; with --outlook as the
//       Outlook model shows them, which every caption then says

#include "outlookcheck.h"
#include "renderfonts.h"
#include "sheetcommand.h"
#include "thumbnailrenderer.h"

#include "core/gallery/library/templatelibrary.h"
#include "core/gallery/library/templatestaging.h"
#include "core/platform/fileio.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

int thumbs(const QString& source, const QString& library)
{
    static const QRegularExpression link(
        QStringLiteral(R"re(href="#([^"]+)"><img src="thumbs/([^"/]+)")re"));
    ThumbnailRenderer renderer;
    int failures = 0;
    int written = 0;
    const QFileInfoList categories =
        QDir(source).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& category : categories) {
        const Result<QByteArray> page =
            FileIo::readAll(category.filePath() + QLatin1String("/page.html"));
        if (!page)
            continue;
        for (const QRegularExpressionMatch& match : link.globalMatch(QString::fromUtf8(*page))) {
            const QString target =
                category.filePath() + QLatin1String("/thumbs/") + match.captured(2);
            const Result<QString> file =
                TemplateLibrary::findTemplateFile(library, match.captured(1));
            const Status status = file ? renderer.writeThumbnail(*file, target) : file.status();
            if (!status) {
                err() << status.message() << '\n';
                ++failures;
                continue;
            }
            ++written;
        }
    }
    QTextStream(stdout) << written << " thumbnails written\n";
    return failures == 0 && written > 0 ? 0 : 1;
}

int thumb(const QString& file, const QString& out)
{
    ThumbnailRenderer renderer;
    if (const Status status = renderer.writeThumbnail(file, out); !status) {
        err() << status.message() << '\n';
        return 1;
    }
    return 0;
}

int shot(const QString& file, const QString& out, int width, int height)
{
    QTemporaryDir work;
    QString page = file;
    if (file.endsWith(QLatin1String(".dat"))) {
        const Result<QString> staged = ThumbnailRenderer::stageTemplate(file, work.path());
        if (!staged) {
            err() << staged.status().message() << '\n';
            return 1;
        }
        page = *staged;
    }
    ThumbnailRenderer renderer;
    if (!renderer.render(page, width, height).save(out, "PNG")) {
        err() << out << ": cannot be written\n";
        return 1;
    }
    return 0;
}

// A message names the path it is about; one that does not gets it in front.
QString aboutPath(const QString& path, const QString& message)
{
    return message.startsWith(path + QLatin1String(": ")) ? message
                                                          : path + QLatin1String(": ") + message;
}

int outlook(const QStringList& templates)
{
    QTextStream out(stdout);
    OutlookCheck check;
    bool holds = true;
    for (const QString& path : templates) {
        const Result<QStringList> faults = check.faults(path);
        if (!faults) {
            out << aboutPath(path, faults.status().message()) << '\n';
            holds = false;
        } else if (faults->isEmpty()) {
            out << path << ": holds in the Outlook model\n";
        } else {
            for (const QString& fault : *faults)
                out << path << ": " << fault << '\n';
            holds = false;
        }
        out.flush();
    }
    return holds ? 0 : 1;
}

int outlookShot(const QString& file, const QString& out, int width)
{
    OutlookCheck check;
    const Result<QImage> shot = check.render(file, width);
    if (!shot) {
        err() << shot.status().message() << '\n';
        return 1;
    }
    if (!shot->save(out, "PNG")) {
        err() << out << ": cannot be written\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    // The thumbnails and screenshots are drawn with the fonts the preview
    // uses, the same on every machine.
    if (const QStringList missing = RenderFonts::use(RenderFonts::besideProgram());
        !missing.isEmpty())
        err() << "quillery-thumbnails: fonts missing (" << missing.join(QLatin1String(", "))
              << "); drawing with the system's fonts\n";
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 3 && args[0] == QLatin1String("thumbs"))
        return thumbs(QDir::cleanPath(args[1]), QDir::cleanPath(args[2]));
    if (args.size() == 3 && args[0] == QLatin1String("thumb"))
        return thumb(args[1], args[2]);
    if ((args.size() == 4 || args.size() == 5) && args[0] == QLatin1String("shot"))
        return shot(args[1], args[2], args[3].toInt(), args.size() == 5 ? args[4].toInt() : 0);
    if (args.size() >= 2 && args[0] == QLatin1String("outlook"))
        return outlook(args.mid(1));
    if (args.size() == 4 && args[0] == QLatin1String("outlook-shot") && args[3].toInt() > 0)
        return outlookShot(args[1], args[2], args[3].toInt());
    if (args.value(0) == QLatin1String("sheet")) {
        const bool outlook = args.value(1) == QLatin1String("--outlook");
        const QStringList rest = args.mid(outlook ? 2 : 1);
        if (rest.size() == 3 || rest.size() == 4)
            return outlook
                       ? sheetCommand(rest[0], rest[1], rest[2], rest.value(3), outlookRender(),
                                      QStringLiteral("Outlook model"))
                       : sheetCommand(rest[0], rest[1], rest[2], rest.value(3), previewRender());
    }
    err()
        << "usage: quillery-thumbnails thumbs SOURCE_FOLDER LIBRARY_FOLDER\n"
           "       quillery-thumbnails thumb TEMPLATE.dat OUT.png\n"
           "       quillery-thumbnails shot FILE OUT.png WIDTH [HEIGHT]\n"
           "       quillery-thumbnails outlook TEMPLATE.dat...\n"
           "       quillery-thumbnails outlook-shot TEMPLATE.dat OUT.png WIDTH\n"
           "       quillery-thumbnails sheet [--outlook] LIBRARY_FOLDER WIDTH OUT.png [COLUMNS]\n";
    return 2;
}
