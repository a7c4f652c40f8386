#include "core/gallery/library/templatemessage.h"

#include <QRegularExpression>
#include <QTest>

namespace {

QByteArray decodeQuotedPrintable(QByteArray encoded)
{
    encoded.replace("=\r\n", "");
    return QByteArray::fromPercentEncoding(encoded, '=');
}

TemplateMessage::Source source()
{
    TemplateMessage::Source s;
    s.from = QStringLiteral("Café Lumière <bonjour@cafe.example>");
    s.subject = QStringLiteral("Our spring menu");
    s.date = QStringLiteral("Mon, 02 Mar 2026 09:00:00 +0000");
    s.html = QStringLiteral("<p>Fresh rhubarb – €4.50</p><img src=\"images/hero.png\" alt=\"\">"
                            "<img src=\"images/hero.png\" alt=\"again\">");
    s.text = QStringLiteral("Fresh rhubarb – €4.50\n");
    s.images = {{QStringLiteral("hero.png"), "image/png", QByteArray(500, '\x89')}};
    return s;
}

// The body of the part whose headers contain `marker`, up to the next boundary.
QByteArray partBody(const QByteArray& message, const QByteArray& marker)
{
    const qsizetype at = message.indexOf(marker);
    const qsizetype begin = message.indexOf("\r\n\r\n", at) + 4;
    const qsizetype end = message.indexOf("\r\n--=_quillery", begin);
    return at < 0 ? QByteArray() : message.mid(begin, end - begin);
}

} // namespace

class TestTemplateMessage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void quotedPrintable_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("plain text stays")
            << QByteArray("Hello, world") << QByteArray("Hello, world");
        QTest::newRow("equals sign and UTF-8 are escaped")
            << QByteArray("a=b caf\xc3\xa9") << QByteArray("a=3Db caf=C3=A9");
        QTest::newRow("LF and CRLF become hard breaks")
            << QByteArray("a\nb\r\nc") << QByteArray("a\r\nb\r\nc");
        QTest::newRow("space before a line end is escaped")
            << QByteArray("end \nlast\t") << QByteArray("end=20\r\nlast=09");
        QTest::newRow("long line gets soft breaks")
            << QByteArray(100, 'x') << QByteArray(75, 'x') + "=\r\n" + QByteArray(25, 'x');
        QTest::newRow("an escape is never split")
            << QByteArray(74, 'x') + "\xc3\xa9" << QByteArray(74, 'x') + "=\r\n=C3=A9";
    }

    void quotedPrintable()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, expected);
        const QByteArray encoded = TemplateMessage::encodeQuotedPrintable(input);
        QCOMPARE(encoded, expected);
        for (const QByteArray& line : encoded.split('\n'))
            QVERIFY2(line.size() <= 77, line.constData()); // 76 plus the CR
        QByteArray normalised = input;
        normalised.replace("\r\n", "\n").replace("\n", "\r\n");
        QCOMPARE(decodeQuotedPrintable(encoded), normalised);
    }

    void headers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("mailbox");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("ASCII subject as is")
            << QStringLiteral("Summer Sale") << false << QByteArray("Summer Sale");
        QTest::newRow("non-ASCII subject encoded")
            << QStringLiteral("Café") << false << QByteArray("=?UTF-8?B?Q2Fmw6k=?=");
        QTest::newRow("name with specials is quoted")
            << QStringLiteral("Kettle & Co. <shop@kettle.example>") << true
            << QByteArray("\"Kettle & Co.\" <shop@kettle.example>");
        QTest::newRow("quote in a name is escaped")
            << QStringLiteral("The \"Best\" Shop <a@b.example>") << true
            << QByteArray("\"The \\\"Best\\\" Shop\" <a@b.example>");
        QTest::newRow("non-ASCII name encoded, address kept")
            << QStringLiteral("Café <c@d.example>") << true
            << QByteArray("=?UTF-8?B?Q2Fmw6k=?= <c@d.example>");
        QTest::newRow("bare address")
            << QStringLiteral("a@b.example") << true << QByteArray("a@b.example");
    }

    void headers()
    {
        QFETCH(QString, text);
        QFETCH(bool, mailbox);
        QFETCH(QByteArray, expected);
        QCOMPARE(mailbox ? TemplateMessage::encodeMailbox(text)
                         : TemplateMessage::encodeHeaderText(text),
                 expected);
    }

    void longSubjectIsFoldedIntoShortWords()
    {
        const QString subject = QString(60, QChar(0x00e9)) + QStringLiteral("😀 end");
        const QByteArray encoded = TemplateMessage::encodeHeaderText(subject);
        QString decoded;
        for (const QByteArray& line : encoded.split('\n')) {
            QVERIFY(line.size() <= 76);
            const QByteArray word = line.trimmed();
            QVERIFY(word.startsWith("=?UTF-8?B?") && word.endsWith("?="));
            decoded += QString::fromUtf8(QByteArray::fromBase64(word.mid(10, word.size() - 12)));
        }
        QCOMPARE(decoded, subject);
    }

    void composeGivesAStandardMessage()
    {
        const Result<QByteArray> message = TemplateMessage::compose(source());
        QVERIFY2(message, qPrintable(message.status().message()));
        for (const char* header :
             {"From: =?UTF-8?B?", "\r\nSubject: Our spring menu\r\n", "\r\nDate: Mon, 02 Mar 2026",
              "\r\nMIME-Version: 1.0\r\n", "multipart/alternative", "multipart/related",
              "Content-ID: <hero.png@quillery>"})
            QVERIFY2(message->contains(header), header);
        QVERIFY(message->indexOf("text/plain") < message->indexOf("multipart/related"));
        for (const QByteArray& line : message->split('\n'))
            QVERIFY2(line.size() <= 78, line.constData());

        const QString html =
            QString::fromUtf8(decodeQuotedPrintable(partBody(*message, "text/html")));
        QCOMPARE(html.count(QStringLiteral("src=\"cid:hero.png@quillery\"")), 2);
        QVERIFY(!html.contains(QStringLiteral("images/")));
        QVERIFY(html.contains(QStringLiteral("Fresh rhubarb – €4.50")));
        QCOMPARE(QString::fromUtf8(decodeQuotedPrintable(partBody(*message, "text/plain"))),
                 QStringLiteral("Fresh rhubarb – €4.50\r\n"));
        QCOMPARE(QByteArray::fromBase64(partBody(*message, "Content-ID: <hero.png@quillery>")),
                 source().images[0].data);
        QCOMPARE(*TemplateMessage::compose(source()), *message); // reproducible
    }

    void composeRefuses_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no subject") << 0 << QStringLiteral("From, Subject and Date");
        QTest::newRow("image shown but missing") << 1 << QStringLiteral("images/logo.png");
        QTest::newRow("image never shown")
            << 2 << QStringLiteral("images/spare.png is never shown");
        QTest::newRow("no text part") << 3 << QStringLiteral("text part");
        QTest::newRow("image name that needs encoding") << 4 << QStringLiteral("may hold only");
    }

    void composeRefuses()
    {
        QFETCH(int, fault);
        QFETCH(QString, reason);
        TemplateMessage::Source s = source();
        switch (fault) {
        case 0:
            s.subject = QStringLiteral("  ");
            break;
        case 1:
            s.html += QStringLiteral("<img src=\"images/logo.png\">");
            break;
        case 2:
            s.images.append({QStringLiteral("spare.png"), "image/png", "x"});
            break;
        case 3:
            s.text.clear();
            break;
        case 4:
            s.html += QStringLiteral("<img src=\"images/caf\u00e9.png\">");
            s.images.append({QStringLiteral("caf\u00e9.png"), "image/png", "x"});
            break;
        }
        const Result<QByteArray> message = TemplateMessage::compose(s);
        QVERIFY(!message);
        const QString error = message.status().message();
        QVERIFY2(error.contains(reason), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestTemplateMessage)
#include "tst_templatemessage.moc"
