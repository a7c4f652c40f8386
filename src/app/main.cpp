#include "appfonts.h"
#include "browserpane.h"
#include "core/platform/workspace.h"
#include "form1.h"

#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QTimer>

#include <cstdio>

namespace {

// QUILLERY_SCREENSHOT=path: once the first preview has loaded (at once when the
// library is empty) and the pages have been drawn, save a picture of the window
// there and quit. Used where there is no one to look at the screen.
void arrangeScreenshot(Form1& form, const QString& path)
{
    auto shoot = [&form, path] {
        // Give the engine time to put the loaded pages on screen.
        QTimer::singleShot(700, &form, [&form, path] {
            QPixmap picture;
            if (QGuiApplication::platformName() == u"xcb" && form.screen())
                picture = form.screen()->grabWindow(form.winId());
            if (picture.isNull())
                picture = form.grab();
            const bool saved = picture.save(path, "PNG");
            std::fprintf(stderr, saved ? "Screenshot saved to %s\n" : "Could not save %s\n",
                         qPrintable(path));
            QCoreApplication::exit(saved ? 0 : 1);
        });
    };
    // An empty library has no preview to wait for: the window is all there is.
    if (form.findChild<QComboBox*>(QStringLiteral("cboCategory"))->count() == 0)
        shoot();
    else
        QObject::connect(&form, &Form1::previewShown, &form, shoot, Qt::SingleShotConnection);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillery 1"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLERY_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/quillery/quillery.svg")));
    AppFonts::ensureLoaded();
    // Copies that crashed or were killed leave their previews behind.
    modGetDirs::RemoveStaleWorkspaceFolders();

    Form1 form(QCoreApplication::applicationDirPath());
    const QString screenshot = qEnvironmentVariable("QUILLERY_SCREENSHOT");
    if (!screenshot.isEmpty())
        arrangeScreenshot(form, screenshot);
    // For the start-up benchmark: say on stdout when the first preview has
    // loaded, and end once its working files are gone.
    if (qEnvironmentVariableIsSet("QUILLERY_QUIT_AFTER_PREVIEW")) {
        QObject::connect(
            form.findChild<BrowserPane*>(QStringLiteral("WebBrowser2")),
            &BrowserPane::DocumentComplete, &form,
            [] {
                std::fputs("preview loaded\n", stdout);
                std::fflush(stdout);
            },
            Qt::SingleShotConnection);
        QObject::connect(&form, &Form1::previewShown, &app, &QCoreApplication::quit,
                         Qt::QueuedConnection);
    }
    form.show();
    return app.exec();
}
