#include "app/galleryfixture.h"
#include "app/pagetools.h"

#include "browserpane.h"
#include "form1.h"

#include <QApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <cstdio>

// Two copies of the gallery on one temp folder, previewing alternately as
// fast as they can: neither may lose the other's pictures, load the other's
// page or leave files behind. The copies are this program started again with
// --copy, each a real window in a process of its own.
class TestTwoCopies : public QObject
{
    Q_OBJECT

private slots:
    void bothKeepTheirPreviews();
};

namespace {

constexpr int Rounds = 25;
const QStringList Templates = {"Offer", "Sale", "News"};

// A preview with several pictures, so that the page is read over some time.
QByteArray pictures()
{
    QByteArray html;
    for (int i = 0; i < 12; ++i)
        html += "<img src=\"cid:logo@fixture\" width=\"24\" height=\"24\">";
    return html;
}

// One copy: previews the templates in turn, starting at `first`, and prints
// what each preview showed that it should not have.
int runCopy(const QString& appFolder, int first)
{
    Form1 form(appFolder);
    QSignalSpy shown(&form, &Form1::previewShown);
    form.show();
    if (!shown.wait(60000))
        return 100;
    auto* preview = form.findChild<BrowserPane*>("WebBrowser2");
    int faults = 0;
    for (int round = 0; round < Rounds; ++round) {
        const QString name = Templates[(first + round) % Templates.size()];
        shown.clear();
        form.SelectTemplate(name);
        if (!shown.wait(60000)) {
            std::printf("%s: no preview\n", qPrintable(name));
            ++faults;
            continue;
        }
        const QString title = evaluate(preview, "document.title").toString();
        const int broken = evaluate(preview, "Array.from(document.images).filter("
                                             "i => !i.complete || i.naturalWidth == 0).length")
                               .toInt();
        const int images = evaluate(preview, "document.images.length").toInt();
        if (title != name || broken != 0 || images != 13) {
            std::printf("%s: title %s, %d of %d pictures missing\n", qPrintable(name),
                        qPrintable(title), broken, images);
            ++faults;
        }
    }
    std::fflush(stdout);
    return faults;
}

} // namespace

void TestTwoCopies::bothKeepTheirPreviews()
{
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", Templates);
    for (const QString& name : Templates)
        fixture.addTemplate(name, pictures());

    QProcess copies[2];
    for (int i = 0; i < 2; ++i) {
        copies[i].setProcessChannelMode(QProcess::ForwardedErrorChannel);
        copies[i].start(QCoreApplication::applicationFilePath(),
                        {"--copy", fixture.appFolder(), QString::number(i)});
    }
    for (QProcess& copy : copies) {
        QVERIFY(copy.waitForFinished(300000));
        const QByteArray report = copy.readAllStandardOutput();
        QVERIFY2(copy.exitStatus() == QProcess::NormalExit && copy.exitCode() == 0,
                 report.constData());
    }
    // Each copy removed its own preview folder; only their lock files stay.
    const QString msg = modGetDirs::WorkspaceDir() + "/msg";
    QCOMPARE(QDir(msg).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--copy")
        return runCopy(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());
    TestTwoCopies test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_twocopies.moc"
