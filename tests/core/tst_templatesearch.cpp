#include "core/gallery/library/templatedecoding.h"
#include "core/gallery/search/templatesearch.h"
#include "core/platform/fileio.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).path());
    if (!FileIo::writeAtomically(path, content))
        qFatal("cannot write fixture %s", qPrintable(path));
}

QByteArray message(const QByteArray& subject, const QByteArray& text)
{
    return "From: Shop <news@shop.example>\r\nSubject: " + subject +
           "\r\nMIME-Version: 1.0\r\nContent-Type: multipart/alternative; boundary=b\r\n\r\n"
           "--b\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n" +
           text +
           "\r\n--b\r\nContent-Type: text/html; charset=utf-8\r\n\r\n<p>html</p>\r\n--b--\r\n";
}

void addTemplate(const QString& library, const QString& name, const QByteArray& subject,
                 const QByteArray& text)
{
    writeFile(library + "/templates/" + name + ".dat",
              Module1::packTemplate(message(subject, text)).valueOr(QByteArray()));
}

// A category page linking `names` in order, each with thumbs/<n>.png.
void addCategory(const QString& library, const QString& category, const QStringList& names)
{
    QByteArray page = "<html><body>";
    for (int i = 0; i < names.size(); ++i) {
        const QByteArray picture = "thumbs/" + category.toUtf8() + QByteArray::number(i) + ".png";
        writeFile(library + "/categories/" + picture, "png");
        page += "<a href=\"#" + QUrl::toPercentEncoding(names[i]) + "\"><img src=\"" + picture +
                "\" alt=\"\">" + names[i].toUtf8() + "</a>";
    }
    writeFile(library + "/categories/" + category + ".html", page + "</body></html>");
}

// A subject outside ASCII, as a mail header carries it.
QByteArray encoded(const QString& subject)
{
    return "=?UTF-8?B?" + subject.toUtf8().toBase64() + "?=";
}

// A template of any script: the packed form takes no raw bytes of some
// values, so the subject and the text travel encoded, as mail carries them.
void addTemplateOfAnyScript(const QString& library, const QString& name, const QString& subject,
                            const QString& text)
{
    const QByteArray mail =
        "From: Shop <news@shop.example>\r\nSubject: " + encoded(subject) +
        "\r\nMIME-Version: 1.0\r\nContent-Type: multipart/alternative; boundary=b\r\n\r\n"
        "--b\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: "
        "base64\r\n\r\n" +
        text.toUtf8().toBase64() +
        "\r\n--b\r\nContent-Type: text/html; charset=utf-8\r\n\r\n<p>html</p>\r\n--b--\r\n";
    const Result<QByteArray> packed = Module1::packTemplate(mail);
    QVERIFY2(packed, qPrintable(packed.status().message()));
    writeFile(library + "/templates/" + name + ".dat", *packed);
}

QStringList namesOf(const QList<TemplateSearch::Entry>& entries)
{
    QStringList names;
    for (const TemplateSearch::Entry& entry : entries)
        names.append(entry.name);
    return names;
}

} // namespace

class TestTemplateSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_shipped.isValid() && m_own.isValid());
        addTemplate(m_shipped.path(), "Summer Sale", "Summer Sale: 40% off",
                    "Linen shirts and beach bags.");
        addTemplate(m_shipped.path(), "Crème Brûlée Recipe", "Recipe of the week",
                    "Five ingredients and a blowtorch.");
        addTemplate(m_shipped.path(), "Grand Opening", "We open on Friday",
                    "The first glass of prosecco is on us. Chocolate for the children.");
        addTemplate(m_shipped.path(), "Wine Tasting", "Six wines and a summer evening",
                    "Cheese, bread and prosecco.");
        addCategory(m_shipped.path(), "0Retail", {"Summer Sale"});
        addCategory(m_shipped.path(), "Food",
                    {"Crème Brûlée Recipe", "Grand Opening", "Wine Tasting", "Summer Sale"});
        addTemplate(m_own.path(), "Club Night", "Members only", "Prosecco at the bar.");
        addCategory(m_own.path(), "Mine", {"Club Night"});

        const QString scripts = m_scripts.path();
        addTemplateOfAnyScript(scripts, "Ελληνικά", "Νέα της εβδομάδας", "Καλημέρα σας");
        addTemplateOfAnyScript(scripts, "Новости", "Скидки недели", "Привет, друзья");
        addTemplateOfAnyScript(scripts, "お知らせ", "新しいお知らせです", "今週のセール情報");
        addTemplateOfAnyScript(scripts, "新闻通讯", "本周优惠", "欢迎订阅我们的新闻");
        addTemplateOfAnyScript(scripts, "نشرة أخبار", "عروض الأسبوع", "مرحبًا بكم");
        addTemplateOfAnyScript(scripts, "Grüße aus Köln", "Neu in der Straße", "Schöne Grüße");
        addCategory(
            scripts, "World",
            {"Ελληνικά", "Новости", "お知らせ", "新闻通讯", "نشرة أخبار", "Grüße aus Köln"});
    }

    void find_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("favourites");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("a word of the name")
            << "sale" << QStringList{} << QStringList{"Summer Sale"};
        QTest::newRow("name before subject before text")
            << "summer" << QStringList{} << QStringList{"Summer Sale", "Wine Tasting"};
        QTest::newRow("a word of the text, in every library")
            << "prosecco" << QStringList{}
            << QStringList{"Grand Opening", "Wine Tasting", "Club Night"};
        QTest::newRow("accents and case do not matter")
            << "CREME" << QStringList{} << QStringList{"Crème Brûlée Recipe"};
        QTest::newRow("the start of a word")
            << "choc" << QStringList{} << QStringList{"Grand Opening"};
        QTest::newRow("not the middle of one") << "olate" << QStringList{} << QStringList{};
        QTest::newRow("every word must be there")
            << "prosecco cheese" << QStringList{} << QStringList{"Wine Tasting"};
        QTest::newRow("punctuation separates words")
            << "40%, off!" << QStringList{} << QStringList{"Summer Sale"};
        QTest::newRow("nothing asked, nothing found") << "  " << QStringList{} << QStringList{};
        QTest::newRow("a favourite goes before its equals")
            << "prosecco" << QStringList{"Club Night"}
            << QStringList{"Club Night", "Grand Opening", "Wine Tasting"};
        QTest::newRow("but not before a better match")
            << "summer" << QStringList{"Wine Tasting"}
            << QStringList{"Summer Sale", "Wine Tasting"};
        QTest::newRow("favourites keep the library's order among them")
            << "prosecco" << QStringList{"Wine Tasting", "Grand Opening"}
            << QStringList{"Grand Opening", "Wine Tasting", "Club Night"};
        QTest::newRow("a favourite that is not found adds nothing")
            << "sale" << QStringList{"Club Night"} << QStringList{"Summer Sale"};
    }

    void find()
    {
        QFETCH(QString, query);
        QFETCH(QStringList, favourites);
        QFETCH(QStringList, expected);
        const TemplateSearch::Index index =
            TemplateSearch::Index::build({m_shipped.path(), m_own.path()});
        QCOMPARE(namesOf(index.find(query, 50, nullptr,
                                    QSet<QString>(favourites.begin(), favourites.end()))),
                 expected);
    }

    void findsEveryScript_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("Greek name as written") << "Ελληνικά" << QStringList{"Ελληνικά"};
        QTest::newRow("Greek in capitals, no accent") << "ΕΛΛΗΝΙΚΑ" << QStringList{"Ελληνικά"};
        QTest::newRow("Greek final sigma") << "ΣΑΣ" << QStringList{"Ελληνικά"};
        QTest::newRow("Cyrillic word of the subject") << "скидки" << QStringList{"Новости"};
        QTest::newRow("Cyrillic start of a word") << "ПРИВ" << QStringList{"Новости"};
        QTest::newRow("not the middle of a Cyrillic word") << "вости" << QStringList{};
        QTest::newRow("Japanese name") << "お知らせ" << QStringList{"お知らせ"};
        QTest::newRow("Japanese inside a run") << "セール" << QStringList{"お知らせ"};
        QTest::newRow("Japanese not there") << "ニュース" << QStringList{};
        QTest::newRow("Chinese part of a run") << "优惠" << QStringList{"新闻通讯"};
        QTest::newRow("Chinese name before text") << "新闻" << QStringList{"新闻通讯"};
        QTest::newRow("Arabic word of the subject") << "عروض" << QStringList{"نشرة أخبار"};
        QTest::newRow("Arabic without vowel marks") << "مرحبا" << QStringList{"نشرة أخبار"};
        QTest::newRow("German as written") << "grüße" << QStringList{"Grüße aus Köln"};
        QTest::newRow("German ß as ss") << "GRUSSE" << QStringList{"Grüße aus Köln"};
        QTest::newRow("German ß in the subject") << "strasse" << QStringList{"Grüße aus Köln"};
        QTest::newRow("a word from two scripts") << "köln お知らせ" << QStringList{};
    }

    void findsEveryScript()
    {
        QFETCH(QString, query);
        QFETCH(QStringList, expected);
        const TemplateSearch::Index index = TemplateSearch::Index::build({m_scripts.path()});
        QCOMPARE(index.size(), 6);
        QCOMPARE(namesOf(index.find(query, 50)), expected);
    }

    // A cache edited after it was written is not trusted: the words it
    // lost are found again.
    void editedCacheIsRebuilt()
    {
        QTemporaryDir library, cacheDir;
        const QString cache = cacheDir.filePath("search/index");
        addTemplate(library.path(), "Alpha", "Alpha subject", "apples");
        addCategory(library.path(), "Fruit", {"Alpha"});
        QCOMPARE(TemplateSearch::Index::build({library.path()}, cache).size(), 1);

        QByteArray bytes = FileIo::readAll(cache).valueOr(QByteArray());
        // QDataStream writes text as UTF-16 big-endian.
        QByteArray word, other;
        for (const char c : QByteArray("apples"))
            word += QByteArray(1, '\0') + c;
        for (const char c : QByteArray("pears!"))
            other += QByteArray(1, '\0') + c;
        QVERIFY(bytes.contains(word));
        writeFile(cache, bytes.replace(word, other));

        const TemplateSearch::Index again = TemplateSearch::Index::build({library.path()}, cache);
        QCOMPARE(namesOf(again.find("apples", 5)), QStringList{"Alpha"});
        QCOMPARE(namesOf(again.find("pears", 5)), QStringList{});
    }

    void entriesSayWhereATemplateLives()
    {
        const TemplateSearch::Index index =
            TemplateSearch::Index::build({m_shipped.path(), m_own.path()});
        // Linked from two pages, listed once, under the first.
        QCOMPARE(index.size(), 5);
        int total = 0;
        const QList<TemplateSearch::Entry> hits = index.find("prosecco", 2, &total);
        QCOMPARE(total, 3);
        QCOMPARE(hits.size(), 2);
        const TemplateSearch::Entry club = index.find("club", 1).value(0);
        QCOMPARE(club.library, m_own.path());
        QCOMPARE(club.category, "Mine");
        QCOMPARE(club.subject, "Members only");
        QCOMPARE(club.thumbnail,
                 QFileInfo(m_own.path() + "/categories/thumbs/Mine0.png").canonicalFilePath());
        QCOMPARE(index.find("summer", 1).value(0).category, "Retail");
    }

    // An unchanged template is read from the cache, a changed one afresh,
    // and a cache that is not one is simply rebuilt.
    void cacheSkipsUnchangedTemplates()
    {
        QTemporaryDir library, cacheDir;
        const QString cache = cacheDir.filePath("search/index");
        addTemplate(library.path(), "Alpha", "Alpha subject", "apples");
        addTemplate(library.path(), "Beta", "Beta subject", "bananas");
        addCategory(library.path(), "Fruit", {"Alpha", "Beta"});
        QCOMPARE(TemplateSearch::Index::build({library.path()}, cache).size(), 2);
        QVERIFY(QFileInfo::exists(cache));

        const QString alpha = library.filePath("templates/Alpha.dat");
        const QDateTime modified = QFileInfo(alpha).lastModified();
        QFile file(alpha);
        QVERIFY(file.open(QIODevice::ReadWrite));
        const QByteArray same = file.readAll();
        file.seek(0);
        file.write(QByteArray(same.size(), 'x')); // no longer decodes; size unchanged
        file.flush();
        QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
        file.close();
        addTemplate(library.path(), "Beta", "Beta subject", "blueberries");

        const TemplateSearch::Index again = TemplateSearch::Index::build({library.path()}, cache);
        QCOMPARE(namesOf(again.find("apples", 5)), QStringList{"Alpha"});
        QCOMPARE(namesOf(again.find("blueberries", 5)), QStringList{"Beta"});
        QCOMPARE(namesOf(again.find("bananas", 5)), QStringList{});

        writeFile(cache, "not a cache at all");
        const TemplateSearch::Index rebuilt = TemplateSearch::Index::build({library.path()}, cache);
        QCOMPARE(namesOf(rebuilt.find("blueberries", 5)), QStringList{"Beta"});
        QCOMPARE(namesOf(rebuilt.find("apples", 5)), QStringList{});
    }

    // A template's text is bounded, and a picture that leaves the page's
    // folder is not shown.
    void hostileTemplatesStaySmall()
    {
        QTemporaryDir library;
        addTemplate(library.path(), "Huge", "Huge", QByteArray(200000, 'w') + " needle");
        writeFile(library.filePath("categories/Odd.html"),
                  "<a href=\"#Huge\"><img src=\"../../../etc/hostname\"></a>");
        const TemplateSearch::Index index = TemplateSearch::Index::build({library.path()});
        QCOMPARE(index.size(), 1);
        QVERIFY(index.entries().first().text.size() <= 8 * 1024);
        QVERIFY(index.find("needle", 5).isEmpty());
        QVERIFY(index.entries().first().thumbnail.isEmpty());
    }

private:
    QTemporaryDir m_shipped;
    QTemporaryDir m_own;
    QTemporaryDir m_scripts;
};

QTEST_GUILESS_MAIN(TestTemplateSearch)
#include "tst_templatesearch.moc"
