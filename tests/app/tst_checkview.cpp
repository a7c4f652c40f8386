// The Check view on the real window: the report of the previewed template,
// a finding chosen and found in the preview, the spam section's states, and
// the link check against a server on this machine.

#include "app/galleryfixture.h"
#include "app/pagetools.h"
#include "app/waits.h"
#include "app/windowcontrols.h"
#include "browserpane.h"
#include "checkcontroller.h"
#include "checkpanel.h"
#include "core/platform/fileio.h"
#include "form1.h"

#include <QAction>
#include <QApplication>
#include <QDirIterator>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTreeWidget>

#include <memory>

namespace {

QByteArray png(int width, bool noise)
{
    QImage image(width, width, QImage::Format_RGB32);
    image.fill(Qt::red);
    if (noise) {
        // Noise does not compress: a picture heavy enough to matter.
        QRandomGenerator random(7);
        for (int y = 0; y < width; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < width; ++x)
                line[x] = random.generate() | 0xFF000000;
        }
    }
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

// A message like the fixture's, with a body and pictures of the test's choosing.
QByteArray message(const QByteArray& subject, const QByteArray& body,
                   const QList<std::pair<QByteArray, QByteArray>>& pictures)
{
    QByteArray mime = "MIME-Version: 1.0\r\nSubject: " + subject +
                      "\r\nContent-Type: multipart/related; boundary=\"b1\"\r\n\r\n"
                      "--b1\r\nContent-Type: text/html; charset=utf-8\r\n"
                      "Content-Transfer-Encoding: 8bit\r\n\r\n"
                      "<!DOCTYPE html><html lang=\"en\" dir=\"ltr\"><head><meta charset=\"utf-8\">"
                      "<title>" +
                      subject + "</title></head><body>" + body + "</body></html>\r\n";
    for (const auto& [id, data] : pictures) {
        mime += "--b1\r\nContent-Type: image/png; name=\"" + id + ".png\"\r\nContent-ID: <" + id +
                ">\r\nContent-Transfer-Encoding: base64\r\n\r\n" + data.toBase64() + "\r\n";
    }
    return mime + "--b1--\r\n";
}

QString writeScript(const QTemporaryDir& folder, const QByteArray& text)
{
    const QString path = folder.filePath(QStringLiteral("spamassassin"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("#!/bin/sh\n" + text);
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QTreeWidgetItem* itemWith(QTreeWidget* tree, const QString& words)
{
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = tree->topLevelItem(i);
        if (top->text(0).contains(words))
            return top;
        for (int j = 0; j < top->childCount(); ++j) {
            if (top->child(j)->text(0).contains(words))
                return top->child(j);
        }
    }
    return nullptr;
}

QString reportText(QTreeWidget* tree)
{
    QStringList lines;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        lines << tree->topLevelItem(i)->text(0);
        for (int j = 0; j < tree->topLevelItem(i)->childCount(); ++j)
            lines << QStringLiteral("  ") + tree->topLevelItem(i)->child(j)->text(0);
    }
    return lines.join(QLatin1Char('\n'));
}

// A window whose first preview is `name`, its Check view not yet on.
struct CheckWindow
{
    GalleryFixture fixture;
    std::unique_ptr<Form1> form;
    CheckController* check = nullptr;

    void open(const QStringList& names)
    {
        fixture.addCategory("Letters.html", names);
        form = std::make_unique<Form1>(fixture.appFolder());
        QSignalSpy shown(form.get(), &Form1::previewShown);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QVERIFY(waitForPreview(shown, names.first()));
        check = form->findChild<CheckController*>();
        QVERIFY(check);
    }
    void addMessage(const QString& name, const QByteArray& mime)
    {
        const auto packed = Module1::packTemplate(mime);
        QVERIFY2(packed, qPrintable(packed.status().message()));
        fixture.addFile(QStringLiteral("templates/") + name + QStringLiteral(".dat"), *packed);
    }
    QAction* toggle() const { return form->findChild<QAction*>(QStringLiteral("viewCheckAction")); }
    QTreeWidget* tree() const { return check->panel()->tree(); }
    BrowserPane* preview() const { return control<BrowserPane>(*form, "WebBrowser2"); }

    // Turns the view on (or it is on) and waits for the whole report.
    bool finished(const std::function<void()>& start)
    {
        QSignalSpy changed(check, &CheckController::reportChanged);
        start();
        for (;;) {
            if (!changed.isEmpty() && changed.last().first().toBool())
                return true;
            if (!changed.wait(90000))
                return false;
        }
    }
    // Chooses the finding by a click or by Enter; the preview outlines its element.
    QString choose(QTreeWidgetItem* item, bool byKey)
    {
        QSignalSpy located(check, &CheckController::located);
        tree()->scrollToItem(item);
        tree()->setCurrentItem(item);
        if (byKey) {
            tree()->setFocus();
            QTest::keyClick(tree(), Qt::Key_Return);
        } else {
            QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {},
                              tree()->visualItemRect(item).center());
        }
        if (located.isEmpty() && !located.wait(20000))
            return QStringLiteral("(not located)");
        if (!located.first().first().toBool())
            return QStringLiteral("(not found)");
        return evaluate(preview(),
                        QStringLiteral("(function(){var e=document.querySelector("
                                       "'[data-quillery-outline]');return e?e.id:'';})()"))
            .toString();
    }
};

SendCheck::Options noSpam()
{
    SendCheck::Options options;
    options.spam = false;
    return options;
}

// Answers as a web server would, one way for each path; "/silent" never answers.
class LoopbackServer : public QTcpServer
{
public:
    LoopbackServer()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                    const QByteArray request = socket->readAll();
                    const QByteArray path = request.split(' ').value(1);
                    QByteArray answer;
                    if (path == "/ok")
                        answer = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";
                    else if (path == "/missing")
                        answer = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n";
                    else if (path == "/loop")
                        answer =
                            "HTTP/1.1 302 Found\r\nLocation: /loop2\r\nContent-Length: 0\r\n\r\n";
                    else if (path == "/loop2")
                        answer =
                            "HTTP/1.1 302 Found\r\nLocation: /loop\r\nContent-Length: 0\r\n\r\n";
                    if (!answer.isEmpty())
                        socket->write(answer);
                });
            }
        });
    }
};

} // namespace

class TestCheckView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shippedTemplatePasses()
    {
        const QString built = QFileInfo(QStringLiteral(QUILLERY_TOOL)).absolutePath();
        const QString file = built + QStringLiteral("/templates/Welcome Aboard.dat");
        if (!QFileInfo::exists(file))
            QSKIP("the shipped library is not built (target template_library)");
        CheckWindow window;
        window.fixture.addFile(QStringLiteral("templates/Welcome Aboard.dat"),
                               FileIo::readAll(file).valueOr(QByteArray()));
        window.open({QStringLiteral("Welcome Aboard")});
        window.check->setOptions(noSpam());
        // The key turns the view on, and the report lies where the category page was.
        QVERIFY(window.finished(
            [&] { QTest::keyClick(window.form.get(), Qt::Key_8, Qt::ControlModifier); }));
        QVERIFY(window.toggle()->isChecked());
        QVERIFY(window.check->panel()->isVisible());
        QCOMPARE(window.check->panel()->geometry(),
                 control<QWidget>(*window.form, "Picture1")->geometry());
        const SendCheck::Report& report = window.check->report();
        for (const SendCheck::Section section :
             {SendCheck::Section::MailPrograms, SendCheck::Section::Size,
              SendCheck::Section::Accessibility}) {
            QVERIFY2(report.verdict(section) == SendCheck::Verdict::Passes,
                     qPrintable(reportText(window.tree())));
        }
        // Its links are there to be replaced: worth a look, no problem.
        QCOMPARE(report.verdict(SendCheck::Section::Links), SendCheck::Verdict::Warnings);
        QVERIFY(report.verdict() != SendCheck::Verdict::Problems);
        // Read in the Phone view, the text sizes are checked as well.
        QVERIFY(!report.complete(SendCheck::Section::Accessibility));
        QVERIFY(window.finished([&] {
            window.form->findChild<QAction*>(QStringLiteral("viewPhoneAction"))->trigger();
        }));
        QVERIFY2(window.check->report().complete(SendCheck::Section::Accessibility),
                 qPrintable(reportText(window.tree())));
        // Its footer's small print is the one thing left to look at on a phone.
        for (const SendCheck::Finding& finding :
             window.check->report().findingsOf(SendCheck::Section::Accessibility))
            QCOMPARE(finding.kind, SendCheck::Kind::SmallText);
        QVERIFY(window.check->report().verdict() != SendCheck::Verdict::Problems);
        QVERIFY2(itemWith(window.tree(), QStringLiteral("Mail programs: passes")),
                 qPrintable(reportText(window.tree())));
    }

    void findingShownAndOutlined_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("bigPicture");
        QTest::addColumn<bool>("phone");
        QTest::addColumn<QString>("words"); // in the finding's line
        QTest::addColumn<QString>("id");    // of the element outlined
        QTest::addColumn<bool>("byKey");

        const QByteArray picture = "<img id=\"pic\" src=\"cid:small\" width=\"24\" alt=\"Logo\">";
        QTest::newRow("unsupported CSS")
            << picture + "<p>a</p><p id=\"flex\" style=\"display:flex\">b</p>" << false << false
            << QStringLiteral("not supported") << QStringLiteral("flex") << false;
        QTest::newRow("missing alt")
            << QByteArray("<p>Hello</p><img id=\"noalt\" src=\"cid:small\" "
                          "width=\"24\">")
            << false << false << QStringLiteral("alt") << QStringLiteral("noalt") << true;
        QTest::newRow("low contrast")
            << picture + "<p id=\"faint\" style=\"color:#d0d0d0\">Hardly legible words</p>" << false
            << false << QStringLiteral("contrast of") << QStringLiteral("faint") << false;
        QTest::newRow("small on a phone")
            << picture + "<p id=\"tiny\" style=\"font-size:10px\">Tiny print</p>" << false << true
            << QStringLiteral("14") << QStringLiteral("tiny") << false;
        QTest::newRow("oversized picture")
            << QByteArray("<p>Big</p><img id=\"big\" src=\"cid:big\" width=\"100\" alt=\"Big\">")
            << true << false << QStringLiteral("load much faster") << QStringLiteral("big") << true;
        QTest::newRow("placeholder link")
            << picture + "<p><a id=\"ph\" href=\"https://example.com/offer\">See the offer</a></p>"
            << false << false << QStringLiteral("example.com") << QStringLiteral("ph") << false;
    }

    void findingShownAndOutlined()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, bigPicture);
        QFETCH(bool, phone);
        QFETCH(QString, words);
        QFETCH(QString, id);
        QFETCH(bool, byKey);

        CheckWindow window;
        QList<std::pair<QByteArray, QByteArray>> pictures{{"small", png(24, false)}};
        if (bigPicture)
            pictures.append({"big", png(600, true)});
        window.addMessage(QStringLiteral("Fixture"), message("A fixture", body, pictures));
        window.open({QStringLiteral("Fixture")});
        window.check->setOptions(noSpam());
        if (phone) {
            QSignalSpy shown(window.form.get(), &Form1::previewShown);
            window.form->findChild<QAction*>(QStringLiteral("viewPhoneAction"))->trigger();
            QVERIFY(waitForPreview(shown, QStringLiteral("Fixture")));
        }
        QVERIFY(window.finished([&] { window.toggle()->trigger(); }));
        QTreeWidgetItem* item = nullptr;
        // The finding about the element, not the section's title.
        for (QTreeWidgetItem* top = window.tree()->topLevelItem(0); top;
             top = window.tree()->itemBelow(top)) {
            if (top->parent() && top->text(0).contains(words) &&
                top->data(0, Qt::UserRole + 1).isValid()) {
                item = top;
                break;
            }
        }
        QVERIFY2(item, qPrintable(reportText(window.tree())));
        QCOMPARE(window.choose(item, byKey), id);
    }

    // The element is outlined also where the page itself may not run
    // scripts: the view works from the program's own world.
    void outlineLeavesPageScriptsOff()
    {
        CheckWindow window;
        window.addMessage(QStringLiteral("Fixture"),
                          message("A fixture",
                                  "<p>x</p><img id=\"noalt\" src=\"cid:small\" width=\"24\">"
                                  "<script>document.title='ran'</script>",
                                  {{"small", png(24, false)}}));
        window.open({QStringLiteral("Fixture")});
        window.check->setOptions(noSpam());
        QVERIFY(window.finished([&] { window.toggle()->trigger(); }));
        QTreeWidgetItem* item = itemWith(window.tree(), QStringLiteral("alt"));
        QVERIFY2(item, qPrintable(reportText(window.tree())));
        QCOMPARE(window.choose(item, false), QStringLiteral("noalt"));
        QVERIFY(window.preview()->title() != QStringLiteral("ran"));
    }

    void hostilePageGivesPartialReport_data()
    {
        QTest::addColumn<QByteArray>("element");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("words");

        QTest::newRow("too many elements for the engine")
            << QByteArray("<span>x</span>") << 25000 << QStringLiteral("too large to read whole");
        QTest::newRow("10,000 links") << QByteArray("<a href=\"https://a.invalid/\">a</a>") << 10000
                                      << QStringLiteral("past the first");
    }

    // The window stays usable and the report says what it left out.
    void hostilePageGivesPartialReport()
    {
        QFETCH(QByteArray, element);
        QFETCH(int, count);
        QFETCH(QString, words);

        CheckWindow window;
        window.addMessage(QStringLiteral("Fixture"),
                          message("Huge", "<p>start</p>" + element.repeated(count), {}));
        window.open({QStringLiteral("Fixture")});
        window.check->setOptions(noSpam());
        QVERIFY(window.finished([&] { window.toggle()->trigger(); }));
        QTreeWidgetItem* item = itemWith(window.tree(), words);
        QVERIFY2(item, qPrintable(reportText(window.tree()).left(2000)));
        QVERIFY(item->text(0).startsWith(QStringLiteral("Not checked")));
    }

    void spamSection_data()
    {
        QTest::addColumn<QByteArray>("script"); // "" for none on PATH
        QTest::addColumn<QString>("words");
        QTest::addColumn<bool>("slow"); // the rest of the report shows meanwhile

        QTest::newRow("scored")
            << QByteArray("cat > /dev/null\nprintf 'X-Spam-Status: Yes\\n\\nContent analysis "
                          "details:   (7.3 points, 5.0 required)\\n\\n pts rule name         "
                          "     description\\n---- ---------------------- "
                          "------------------------------\\n 2.9 MONEY_BACK             BODY: "
                          "Money back guarantee\\n 4.4 FREE_MONEY_NOW         Free money\\n'\n")
            << QStringLiteral("MONEY_BACK") << false;
        QTest::newRow("never ends") << QByteArray("cat > /dev/null\nexec sleep 300\n")
                                    << QStringLiteral("did not finish") << true;
        QTest::newRow("not installed")
            << QByteArray() << QStringLiteral("apt install spamassassin") << false;
    }

    void spamSection()
    {
        QFETCH(QByteArray, script);
        QFETCH(QString, words);
        QFETCH(bool, slow);

        QTemporaryDir folder;
        CheckWindow window;
        window.addMessage(QStringLiteral("Fixture"),
                          message("FREE MONEY!!! Act now", "<p>Money back guarantee!!!</p>", {}));
        window.open({QStringLiteral("Fixture")});
        SendCheck::Options options;
        options.spamSeconds = 3;
        const QByteArray path = qgetenv("PATH");
        if (script.isEmpty())
            qputenv("PATH", folder.path().toLocal8Bit());
        else
            options.spamProgram = writeScript(folder, script);
        window.check->setOptions(options);
        bool sawRunning = false;
        connect(window.check, &CheckController::reportChanged, this, [&](bool finished) {
            // The other sections are there while the spam check still runs.
            if (!finished && itemWith(window.tree(), QStringLiteral("checking")) &&
                itemWith(window.tree(), QStringLiteral("Links:")))
                sawRunning = true;
        });
        const bool done = window.finished([&] { window.toggle()->trigger(); });
        qputenv("PATH", path);
        QVERIFY(done);
        QVERIFY(sawRunning || !slow);
        QVERIFY2(itemWith(window.tree(), words), qPrintable(reportText(window.tree())));
    }

    void linksAnswerFromTheWindow()
    {
        LoopbackServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        const QByteArray base = "http://127.0.0.1:" + QByteArray::number(server.serverPort());
        CheckWindow window;
        window.addMessage(QStringLiteral("Fixture"),
                          message("Links",
                                  "<p><a href=\"" + base + "/ok\">Fine</a> <a href=\"" + base +
                                      "/missing\">Gone</a> <a href=\"" + base +
                                      "/loop\">Round</a> <a href=\"" + base +
                                      "/silent\">Quiet</a></p>",
                                  {}));
        window.open({QStringLiteral("Fixture")});
        window.check->setOptions(noSpam());
        QVERIFY(window.finished([&] { window.toggle()->trigger(); }));
        auto* button =
            window.check->panel()->findChild<QPushButton*>(QStringLiteral("checkLinksButton"));
        QVERIFY(button->text().contains(QStringLiteral("network")));
        QSignalSpy checked(window.check, &CheckController::linksChecked);
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(checked.wait(90000));
        const QString text = reportText(window.tree());
        for (const char* expected : {"/ok answers 200", "/missing answers 404", "loop of redirects",
                                     "/silent gave no answer in time"})
            QVERIFY2(text.contains(QLatin1String(expected)), qPrintable(text));
    }
};

QTEST_MAIN(TestCheckView)
#include "tst_checkview.moc"
