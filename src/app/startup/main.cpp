#include "accessibilityswitch.h"
#include "appfonts.h"
#include "appidentity.h"
#include "apptranslation.h"
#include "browserpane.h"
#include "core/platform/workspace.h"
#include "enginecaches.h"
#include "form1.h"
#include "renderfonts.h"

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QLoggingCategory>
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

// Wrong usage: the problem, and where to read how the program is used.
void printUsageError(const QString& problem)
{
    std::fprintf(stderr, "quillery: %s\n%s\n", qPrintable(problem),
                 qPrintable(QCoreApplication::translate("main", "Try 'quillery --help'.")));
}

struct CommandLine
{
    QString libraryFolder;
    int exitCode = -1; // set when the program is to end at once
};

// Read before the window system is reached, so that --help and --version
// work in a terminal without a display.
CommandLine readCommandLine(int argc, char* argv[])
{
    QCoreApplication reader(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillery"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLERY_VERSION));
    const AppTranslation translation(QLocale::system().uiLanguages());
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("main",
                                    "%1: a gallery of ready-made e-mail newsletter templates.")
            .arg(AppIdentity::ProductName));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption library(
        QStringLiteral("library"),
        QCoreApplication::translate("main",
                                    "Opens the template library in FOLDER (with categories/ and "
                                    "templates/, as quillery-library build writes it) instead of "
                                    "the one beside the program."),
        //: The placeholder of the --library option, also used in its description.
        QCoreApplication::translate("main", "FOLDER"));
    parser.addOption(library);

    CommandLine result;
    if (!parser.parse(QCoreApplication::arguments())) {
        printUsageError(parser.errorText());
        result.exitCode = 2;
    } else if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        result.exitCode = 0;
    } else if (parser.isSet(version)) {
        std::printf("quillery %s\n", QUILLERY_VERSION);
        result.exitCode = 0;
    } else if (!parser.positionalArguments().isEmpty()) {
        printUsageError(QCoreApplication::translate("main", "unexpected argument '%1'")
                            .arg(parser.positionalArguments().first()));
        result.exitCode = 2;
    } else if (parser.isSet(library)) {
        const QFileInfo folder(parser.value(library));
        // Also said in the window, which opens anyway: started from a menu or
        // a file manager, nobody reads standard error.
        if (!folder.isDir())
            std::fprintf(stderr, "quillery: %s\n",
                         qPrintable(QCoreApplication::translate("main", "%1 is not a folder")
                                        .arg(parser.value(library))));
        result.libraryFolder = folder.absoluteFilePath();
    } else {
        result.libraryFolder = QCoreApplication::applicationDirPath();
    }
    if (result.exitCode < 0) {
        const QStringList missing = RenderFonts::use(RenderFonts::besideProgram());
        if (!missing.isEmpty())
            std::fprintf(
                stderr, "quillery: %s\n",
                qPrintable(QCoreApplication::translate(
                               "main", "The fonts templates are drawn with are missing (%1): "
                                       "templates are drawn with this computer's fonts, so their "
                                       "lines may break elsewhere than recipients see. "
                                       "./scripts/install-deps installs them.")
                               .arg(missing.join(QLatin1String(", ")))));
    }
    return result;
}

} // namespace

int main(int argc, char* argv[])
{
    const CommandLine commandLine = readCommandLine(argc, argv);
    if (commandLine.exitCode >= 0)
        return commandLine.exitCode;

    // The web engine describes its graphics set-up at every start; that is
    // for whoever debugs the engine, who can turn it on with QT_LOGGING_RULES.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    // A full or read-only cache folder must not take the program down at start.
    EngineCaches::prepare();
    QApplication app(argc, argv);
    // Before any window is made, so that every text is in the user's language.
    const AppTranslation translation(QLocale::system().uiLanguages());
    AppIdentity::apply();
    AppFonts::ensureLoaded();
    // A screen reader needs the pages' contents; the engine reads its switch once, as it starts.
    AccessibilitySwitch::applyBeforeEngineStarts();
    // Copies that crashed or were killed leave their previews behind.
    modGetDirs::removeStaleWorkspaceFolders();

    Form1 form(commandLine.libraryFolder);
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
        QObject::connect(
            &form, &Form1::previewShown, &app,
            [](const QString& name) {
                std::printf("shown: %s\n", qPrintable(name));
                std::fflush(stdout);
                QCoreApplication::quit();
            },
            Qt::QueuedConnection);
    }
    form.show();
    return app.exec();
}
