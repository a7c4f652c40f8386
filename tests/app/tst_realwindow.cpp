#include "app/galleryfixture.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

// The real program on a real X server, driven from the keyboard as a user
// drives it (xdotool sends the keys, xwininfo and xdotool tell which windows
// are on the screen).
class TestRealWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void addingATemplateShowsNoSecondWindow();
    void secondCopyOpensBesideTheFirst();
};

namespace {

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QString xdotool(const QStringList& arguments)
{
    return run(QStringLiteral("xdotool"), arguments);
}

// The windows of `pid` that are mapped on the screen and whose title matches
// `title`; the root window, which has none, is no window of the program.
QStringList mappedWindows(qint64 pid, const QString& title = QStringLiteral("."))
{
    return xdotool(
               {"search", "--all", "--onlyvisible", "--pid", QString::number(pid), "--name", title})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The titles of the windows mapped on the screen, whoever made them: a
// window of the toolkit's own may lack the process id that xdotool goes by.
QStringList mappedTopLevels()
{
    QStringList titles;
    static const QRegularExpression child(
        QStringLiteral("^\\s+(0x[0-9a-f]+) (\"[^\"]*\"|\\(has no name\\))"),
        QRegularExpression::MultilineOption);
    const QString tree = run(QStringLiteral("xwininfo"), {"-root", "-children"});
    for (auto match = child.globalMatch(tree); match.hasNext();) {
        const QRegularExpressionMatch each = match.next();
        const QString info = run(QStringLiteral("xwininfo"), {"-id", each.captured(1)});
        if (info.contains(QLatin1String("Map State: IsViewable")))
            titles << each.captured(2).remove(QLatin1Char('"'));
    }
    return titles;
}

// The first mapped window of `pid`, once there is one.
QString waitForWindow(qint64 pid)
{
    QString window;
    QTest::qWaitFor(
        [&] {
            window = mappedWindows(pid).value(0);
            return !window.isEmpty();
        },
        60000);
    return window;
}

QRect geometryOf(const QString& window)
{
    const QString said = run(QStringLiteral("xwininfo"), {"-id", window});
    const auto number = [&](const char* label) {
        const QRegularExpression line(QStringLiteral("%1:\\s+(-?\\d+)").arg(label));
        return line.match(said).captured(1).toInt();
    };
    return QRect(number("Absolute upper-left X"), number("Absolute upper-left Y"), number("Width"),
                 number("Height"));
}

void press(const QString& window, const QString& keys)
{
    xdotool({"windowfocus", "--sync", window});
    xdotool({"key", "--clearmodifiers", keys});
}

// The program on the fixture's library, in the fixture's settings.
void start(QProcess& program, const GalleryFixture& fixture)
{
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(QUILLERY_PROGRAM, {"--library", fixture.appFolder()});
    QVERIFY(program.waitForStarted());
}

void end(QProcess& program)
{
    if (program.state() != QProcess::NotRunning) {
        program.kill();
        program.waitForFinished(10000);
    }
}

} // namespace

void TestRealWindow::initTestCase()
{
    if (QStandardPaths::findExecutable("xdotool").isEmpty() ||
        QStandardPaths::findExecutable("xwininfo").isEmpty())
        QSKIP("xdotool and xwininfo are needed (scripts/install-deps installs them)");
}

// Ctrl+O, the path, Return, Return: the template is added and its thumbnail
// drawn, and still the program shows one window only; Ctrl+Q ends it.
void TestRealWindow::addingATemplateShowsNoSecondWindow()
{
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Offer"});
    fixture.addTemplate("Offer");
    QTemporaryDir inputs;
    const QString page = inputs.filePath("page.html");
    QVERIFY(FileIo::writeAtomically(
        page, "<html><head><title>Mine</title></head><body><h1>Mine</h1></body></html>"));

    QProcess program;
    start(program, fixture);
    const auto cleanup = qScopeGuard([&] { end(program); });
    const QString window = waitForWindow(program.processId());
    QVERIFY(!window.isEmpty());

    press(window, "ctrl+o");
    // The file dialog, then the dialog that asks for the category and name;
    // both are titled after the command.
    QString dialog;
    const auto nextDialog = [&](const QString& after) {
        dialog.clear();
        return QTest::qWaitFor(
            [&] {
                for (const QString& each : mappedWindows(program.processId(), "^Add a template"))
                    if (each != after)
                        dialog = each;
                return !dialog.isEmpty();
            },
            30000);
    };
    QVERIFY(nextDialog(QString()));
    const QString fileDialog = dialog;
    xdotool({"windowfocus", "--sync", fileDialog});
    xdotool({"type", "--delay", "10", page});
    xdotool({"key", "Return"});
    QVERIFY(nextDialog(fileDialog));
    press(dialog, "Return");
    const QDir thumbnails(fixture.dataFolder() + "/quillery/library/categories/thumbs");
    QVERIFY(QTest::qWaitFor([&] { return !thumbnails.entryList({"*.png"}).isEmpty(); }, 60000));
    // A window of the renderer's would have been mapped as its page started
    // to load, long before the thumbnail was drawn and written; the server
    // answers this look after that request.
    QCOMPARE(mappedTopLevels(), QStringList{"Quillery 1 | " QUILLERY_VERSION});

    press(window, "ctrl+q");
    QVERIFY2(program.waitForFinished(30000), "the program kept running after Ctrl+Q");
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
}

// A second copy started while the first runs does not cover it exactly.
void TestRealWindow::secondCopyOpensBesideTheFirst()
{
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Offer"});
    fixture.addTemplate("Offer");
    QProcess first, second;
    start(first, fixture);
    const auto cleanup = qScopeGuard([&] {
        end(first);
        end(second);
    });
    const QString firstWindow = waitForWindow(first.processId());
    QVERIFY(!firstWindow.isEmpty());
    start(second, fixture);
    const QString secondWindow = waitForWindow(second.processId());
    QVERIFY(!secondWindow.isEmpty());
    const QRect a = geometryOf(firstWindow);
    const QRect b = geometryOf(secondWindow);
    QVERIFY2(a.topLeft() != b.topLeft(),
             qPrintable(QDebug::toString(a) + " and " + QDebug::toString(b)));
    // The title bar's room stays on the screen.
    QVERIFY(b.top() >= 0 && b.left() >= 0);

    // Both work: each ends on its own Ctrl+Q.
    press(secondWindow, "ctrl+q");
    QVERIFY(second.waitForFinished(30000));
    QVERIFY(first.state() == QProcess::Running);
    press(firstWindow, "ctrl+q");
    QVERIFY(first.waitForFinished(30000));
}

QTEST_MAIN(TestRealWindow)
#include "tst_realwindow.moc"
