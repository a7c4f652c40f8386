// Renders library templates in the web engine, the way the preview pane shows
// them, for the category pages' thumbnails and for the screenshots in docs/.
//
//   quillery-thumbnails thumbs SOURCE_FOLDER LIBRARY_FOLDER
//       for every link on every category page.html of SOURCE_FOLDER, renders
//       the built template LIBRARY_FOLDER/templates/NAME.dat and writes the
//       thumbnail the page shows (SOURCE_FOLDER/<category>/thumbs/<file>.png)
//   quillery-thumbnails shot FILE OUT.png WIDTH [HEIGHT]
//       FILE is a template (.dat) or a page (.html); without HEIGHT the whole
//       page is captured

#include "browserpane.h"
#include "core/gallery/templatestaging.h"
#include "core/platform/fileio.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <memory>

namespace {

constexpr int TemplateWidth = 600;
constexpr int ThumbWidth = 300;
constexpr int ThumbHeight = 375;

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

void waitFor(QObject* sender, const char* signal, int timeoutMs)
{
    QEventLoop loop;
    QObject::connect(sender, signal, &loop, SLOT(quit()));
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
}

void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Stages a decoded template into `folder`/msg as the preview does; returns
// the page's path, or an empty string with the reason on the error stream.
QString stagePage(const Result<TemplateStaging::DecodedTemplate>& decoded, const QString& folder)
{
    const Result<TemplateStaging::StagedPage> staged =
        decoded ? TemplateStaging::StageDecoded(*decoded, folder + QLatin1String("/msg"),
                                                QStringLiteral("msg.html"))
                : decoded.status();
    if (!staged) {
        err() << staged.status().message() << '\n';
        return {};
    }
    if (staged->html.isEmpty()) {
        err() << decoded->libraryPath << ": there is no page to draw: " << staged->problem << '\n';
        return {};
    }
    return staged->page;
}

// Draws a page as the preview pane shows it, under the pane's rules: a
// template that refers to the renderer's own files must not carry them into
// the pictures that go into the library.
class Renderer
{
public:
    Renderer()
    {
        m_view.setAttribute(Qt::WA_DontShowOnScreen);
        m_view.page()->settings()->setAttribute(QWebEngineSettings::ShowScrollBars, false);
        m_view.show();
    }

    // The page at `width`; `height` 0 captures the whole document.
    QImage render(const QString& page, int width, int height)
    {
        m_view.resize(width, height > 0 ? height : 800);
        m_view.setLocalRoot(QFileInfo(page).path());
        m_view.Navigate2(page);
        waitFor(&m_view, SIGNAL(loadFinished(bool)), 20000);
        if (height == 0) {
            int full = 800;
            QEventLoop loop;
            m_view.page()->runJavaScript(QStringLiteral("document.documentElement.scrollHeight"),
                                         [&](const QVariant& value) {
                                             full = value.toInt();
                                             loop.quit();
                                         });
            loop.exec();
            m_view.resize(width, full);
        }
        settle(700); // let the compositor paint the decoded images
        return m_view.grab().toImage();
    }

private:
    QWebEngineProfile m_profile; // off the record; outlives the view's page
    BrowserPane m_view{&m_profile, BrowserPane::Role::Preview};
};

int thumbs(const QString& source, const QString& library)
{
    static const QRegularExpression link(
        QStringLiteral(R"re(href="#([^"]+)"><img src="thumbs/([^"/]+)")re"));
    Renderer renderer;
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
            const QString name = match.captured(1);
            QTemporaryDir work;
            const QString html =
                stagePage(TemplateStaging::DecodeTemplate(library, name), work.path());
            if (html.isEmpty()) {
                ++failures;
                continue;
            }
            const QImage shot =
                renderer.render(html, TemplateWidth, TemplateWidth * ThumbHeight / ThumbWidth);
            const QImage thumb = shot.scaled(ThumbWidth, ThumbHeight, Qt::IgnoreAspectRatio,
                                             Qt::SmoothTransformation);
            const QString target =
                category.filePath() + QLatin1String("/thumbs/") + match.captured(2);
            QDir().mkpath(QFileInfo(target).path());
            if (!thumb.save(target, "PNG")) {
                err() << target << ": cannot be written\n";
                ++failures;
                continue;
            }
            ++written;
        }
    }
    QTextStream(stdout) << written << " thumbnails written\n";
    return failures == 0 && written > 0 ? 0 : 1;
}

int shot(const QString& file, const QString& out, int width, int height)
{
    QTemporaryDir work;
    const QString page = file.endsWith(QLatin1String(".dat"))
                             ? stagePage(TemplateStaging::DecodeTemplateFile(file), work.path())
                             : file;
    if (page.isEmpty())
        return 1;
    Renderer renderer;
    if (!renderer.render(page, width, height).save(out, "PNG")) {
        err() << out << ": cannot be written\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 3 && args[0] == QLatin1String("thumbs"))
        return thumbs(QDir::cleanPath(args[1]), QDir::cleanPath(args[2]));
    if ((args.size() == 4 || args.size() == 5) && args[0] == QLatin1String("shot"))
        return shot(args[1], args[2], args[3].toInt(), args.size() == 5 ? args[4].toInt() : 0);
    err() << "usage: quillery-thumbnails thumbs SOURCE_FOLDER LIBRARY_FOLDER\n"
             "       quillery-thumbnails shot FILE OUT.png WIDTH [HEIGHT]\n";
    return 2;
}
