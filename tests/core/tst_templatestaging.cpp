#include "core/gallery/library/templatedecoding.h"
#include "core/gallery/library/templatestaging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// The path every caller takes from a library template to a page: what lands
// in the folder, and what each kind of bad template reports.
class TestTemplateStaging : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void stagesATemplate_data();
    void stagesATemplate();
    void stagesAMessageFromMemory();
    void refusesAnUnreadableMessage();

private:
    QString folder(const QString& name) const
    {
        return m_dir.filePath(QStringLiteral("out/") + name);
    }

    QTemporaryDir m_dir;
    QString m_app;
    QByteArray m_message;
};

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(data), data.size());
}

QStringList entries(const QString& path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// Every src="..." of the page, as a path beside it.
QStringList referencedFiles(const QString& page)
{
    static const QRegularExpression source(QStringLiteral("src=\"([^\"]+)\""));
    QStringList files;
    for (const QRegularExpressionMatch& match :
         source.globalMatch(QString::fromUtf8(readFile(page))))
        files.append(QFileInfo(page).dir().filePath(match.captured(1)));
    return files;
}

} // namespace

void TestTemplateStaging::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_app = m_dir.filePath(QStringLiteral("app"));
    m_message = readFile(QStringLiteral(QUILLERY_TEST_DATA "/templateexport/sample.eml"));
    QVERIFY(!m_message.isEmpty());
    const Result<QByteArray> sample = Module1::packTemplate(m_message);
    QVERIFY2(sample, qPrintable(sample.status().message()));
    writeFile(m_app + QStringLiteral("/templates/Sample.dat"), *sample);
    // Cut off in the middle of its second image.
    writeFile(m_app + QStringLiteral("/templates/Damaged.dat"),
              *Module1::packTemplate(m_message.left(m_message.indexOf("banner.png") + 130)));
    writeFile(m_app + QStringLiteral("/templates/Blank.dat"),
              *Module1::packTemplate(QByteArray("\r\n")));
    // Four bytes promising more than follow.
    writeFile(m_app + QStringLiteral("/templates/Broken.dat"), QByteArray("\xff\x00\x00\x00"
                                                                          "abc",
                                                                          7));
}

void TestTemplateStaging::stagesATemplate_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("failure");     // a part of the message; empty when staged
    QTest::addColumn<QString>("problem");     // a part of the problem; empty for a whole page
    QTest::addColumn<QByteArray>("pageText"); // a part of the page
    QTest::addColumn<QStringList>("files");   // the folder afterwards

    const QStringList whole{"Sample.dat", "Sample.eml", "banner.png", "logo.png", "page.html"};
    QTest::newRow("good") << "Sample" << QString() << QString()
                          << QByteArray("Caf\xc3\xa9 opening hours") << whole;
    QTest::newRow("damaged message")
        << "Damaged" << QString() << "cut off" << QByteArray("Caf\xc3\xa9 opening hours")
        << QStringList{"Damaged.dat", "Damaged.eml", "banner.png", "logo.png", "page.html"};
    QTest::newRow("missing") << "Gone"
                             << "Gone.dat: the template file is missing" << QString()
                             << QByteArray() << QStringList();
    QTest::newRow("undecodable") << "Broken"
                                 << "Broken.dat: the template cannot be decoded" << QString()
                                 << QByteArray() << QStringList();
    QTest::newRow("unreadable message")
        << "Blank"
        << "Blank.dat: the template is not a readable message (the message is empty)" << QString()
        << QByteArray() << QStringList{"Blank.dat", "Blank.eml"};
    QTest::newRow("not plain") << "../templates/Sample"
                               << "not a plain file name" << QString() << QByteArray()
                               << QStringList();
    QTest::newRow("empty") << QString() << "template" << QString() << QByteArray() << QStringList();
}

void TestTemplateStaging::stagesATemplate()
{
    QFETCH(QString, name);
    QFETCH(QString, failure);
    QFETCH(QString, problem);
    QFETCH(QByteArray, pageText);
    QFETCH(QStringList, files);

    const QString target = folder(QString::fromLatin1(QTest::currentDataTag()));
    const Result<TemplateStaging::StagedPage> staged =
        TemplateStaging::stageTemplate(m_app, name, target, QStringLiteral("page.html"));
    QCOMPARE(entries(target), files);
    if (!failure.isEmpty()) {
        QVERIFY(!staged);
        QVERIFY2(staged.status().message().contains(failure),
                 qPrintable(staged.status().message()));
        return;
    }
    QVERIFY2(staged, qPrintable(staged.status().message()));
    QCOMPARE(staged->page, QDir(target).filePath(QStringLiteral("page.html")));
    QCOMPARE(readFile(staged->page), staged->html);
    // No byte order mark: the page says it is UTF-8 itself.
    QVERIFY(!staged->html.startsWith("\xEF\xBB\xBF"));
    QVERIFY(staged->html.contains("charset=\"utf-8\"") || staged->html.contains("charset=utf-8"));
    QVERIFY(staged->html.contains(pageText));
    if (problem.isEmpty()) {
        QCOMPARE(staged->problem, QString());
        QCOMPARE(readFile(QDir(target).filePath(name + QStringLiteral(".eml"))), m_message);
        const QStringList images = referencedFiles(staged->page);
        QCOMPARE(images.size(), 2);
        for (const QString& image : images)
            QVERIFY2(QFileInfo(image).isFile(), qPrintable(image));
    } else {
        QVERIFY2(staged->problem.contains(problem), qPrintable(staged->problem));
    }
}

void TestTemplateStaging::stagesAMessageFromMemory()
{
    // Created when missing, and holding only the page and its files: the
    // message came from elsewhere and has no library copy.
    QVERIFY(QDir().mkpath(folder(QString())));
    const QString target = folder(QStringLiteral("memory"));
    const Result<TemplateStaging::StagedPage> staged =
        TemplateStaging::stageMessage(m_message, target, QStringLiteral("msg.html"));
    QVERIFY2(staged, qPrintable(staged.status().message()));
    QCOMPARE(staged->problem, QString());
    QCOMPARE(entries(target), (QStringList{"banner.png", "logo.png", "msg.html"}));
    QCOMPARE(readFile(staged->page), staged->html);
}

void TestTemplateStaging::refusesAnUnreadableMessage()
{
    const QString target = folder(QStringLiteral("unreadable"));
    const Result<TemplateStaging::StagedPage> staged =
        TemplateStaging::stageMessage(QByteArray(" \r\n"), target, QStringLiteral("msg.html"));
    QVERIFY(!staged);
    QVERIFY2(staged.status().message().contains(QLatin1String("empty")),
             qPrintable(staged.status().message()));
    QVERIFY(!QFileInfo::exists(target));
}

QTEST_GUILESS_MAIN(TestTemplateStaging)
#include "tst_templatestaging.moc"
