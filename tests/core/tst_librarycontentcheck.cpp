#include "librarycheck.h"
#include "templatemessage.h"

#include <QTest>

// The checks of a template's content: what would show incompletely in the
// preview although the file decodes.
class TestLibraryContentCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void checkMessage_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QStringList>("expected"); // a fragment of each problem, in order

        const QString head = QStringLiteral("<html><head><style>\n%1\n</style></head><body>"
                                            "<img src=\"images/a.png\" alt=\"\">%2</body></html>");
        QTest::newRow("clean") << head.arg(
                                      QStringLiteral(".x { background: url(cid:a.png@quillery) }"),
                                      QString())
                               << QStringList{};
        QTest::newRow("background under :hover")
            << head.arg(QStringLiteral("a:hover { background: url(cid:a.png@quillery) }"),
                        QString())
            << QStringList{QStringLiteral(
                   "HTML line 2: url(cid:a.png@quillery) under \"a:hover\" loads only on demand")};
        QTest::newRow("background inside @media")
            << head.arg(
                   QStringLiteral(
                       "@media (max-width: 480px) {\n .h { background-image: url('x.png') } }"),
                   QString())
            << QStringList{
                   QStringLiteral("HTML line 3: url(x.png) under \"@media (max-width: 480px)\"")};
        QTest::newRow("image that no part carries")
            << head.arg(QString(), QStringLiteral("<img src=\"cid:gone.png@quillery\" alt=\"\">"))
            << QStringList{QStringLiteral("cid:gone.png@quillery, which no part")};
    }

    void checkMessage()
    {
        QFETCH(QString, html);
        QFETCH(QStringList, expected);
        TemplateMessage::Source source;
        source.from = QStringLiteral("Shop <a@b.example>");
        source.subject = QStringLiteral("Subject");
        source.date = QStringLiteral("Mon, 02 Mar 2026 09:00:00 +0000");
        source.html = html;
        source.text = QStringLiteral("Text\n");
        source.images = {{QStringLiteral("a.png"), "image/png", QByteArray(64, 'p')}};
        QString error;
        const std::optional<QByteArray> message = TemplateMessage::Compose(source, &error);
        QVERIFY2(message, qPrintable(error));

        const LibraryCheck::Problems problems =
            LibraryCheck::CheckMessage(QStringLiteral("T.dat"), *message);
        QStringList reasons;
        for (const LibraryCheck::Problem& problem : problems)
            reasons.append(problem.reason);
        QCOMPARE(reasons.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QVERIFY2(reasons[i].contains(expected[i]), qPrintable(reasons[i]));
    }

    void unparsableMessageIsReported()
    {
        const LibraryCheck::Problems problems = LibraryCheck::CheckMessage(
            QStringLiteral("T.dat"), QByteArray("Content-Type: multipart/mixed; "
                                                "boundary=\"b\"\r\n\r\n--b\r\n"));
        QVERIFY(!problems.isEmpty());
        QCOMPARE(problems.first().path, QStringLiteral("T.dat"));
    }
};

QTEST_GUILESS_MAIN(TestLibraryContentCheck)
#include "tst_librarycontentcheck.moc"
