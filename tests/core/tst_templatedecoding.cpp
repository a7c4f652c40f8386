#include "core/gallery/library/templatedecoding.h"
#include "core/platform/fileio.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QTest>

using namespace Module1;

namespace {

const QByteArray Key(TemplateKey);

// The cipher as the file format defines it, one byte at a time with a key
// position that counts down: the oracle for the block-wise implementation.
QByteArray referenceCipher(const QByteArray& text, const QByteArray& key)
{
    QByteArray result = text;
    qsizetype k = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (--k < 1)
            k = key.size();
        result[i] = char(text[i] ^ key[k - 1]);
    }
    return result;
}

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

QByteArray withCount(qint32 count, const QByteArray& data)
{
    QByteArray file(4, Qt::Uninitialized);
    qToLittleEndian(count, file.data());
    return file + data;
}

// Every byte value except the two placeholders, so any message built from it packs.
QByteArray everyPackableByte()
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b) {
        if (b != 0xB0 && b != 0xA7)
            bytes.append(char(b));
    }
    return bytes;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

} // namespace

class TestTemplateDecoding : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keyIsUsedBackwardsPeriodByPeriod();
    void decryptTextMatchesTheByteWiseCipher_data();
    void decryptTextMatchesTheByteWiseCipher();
    void decryptTextIsItsOwnInverse();
    void emptyKeyLeavesTextUnchanged();

    void decodedMessagePath_data();
    void decodedMessagePath();

    void decryptFile_data();
    void decryptFile();
    void decryptFileOfMissingFileCreatesNothing();
    void unencryptFile_data();
    void unencryptFile();
    void unencryptFileBesideDatInFolderName();
    void twoPassesOnACopyGiveTheMessage();

    void unpackRejectsBrokenFiles_data();
    void unpackRejectsBrokenFiles();
    void unpackAgreesWithTheFilePasses_data();
    void unpackAgreesWithTheFilePasses();
    void packRoundTrip_data();
    void packRoundTrip();
    void packRefuses_data();
    void packRefuses();
};

void TestTemplateDecoding::keyIsUsedBackwardsPeriodByPeriod()
{
    QCOMPARE(DecryptText(QByteArray(12, '\0'), Key), QByteArray("4NPQW4NPQW4N"));
    QCOMPARE(DecryptText(QByteArray(4, '\0'), "abc"), QByteArray("cbac"));
}

void TestTemplateDecoding::decryptTextMatchesTheByteWiseCipher_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("key");

    // Every byte value at every key position, 0x00, 0x1A and 0xFF included.
    QByteArray allValues;
    for (int position = 0; position < 5; ++position) {
        for (int b = 0; b < 256; ++b)
            allValues.append(char(b));
        allValues.append(char(0));
    }
    QTest::newRow("every byte value") << allValues << Key;
    QTest::newRow("empty text") << QByteArray() << Key;
    QTest::newRow("one byte") << QByteArray("\x1a", 1) << Key;
    QTest::newRow("shorter than the key") << QByteArray("abc") << Key;
    // Lengths around the internal block size, where the fast path hands over.
    for (qsizetype size : {1279, 1280, 1281, 2565, 100003})
        QTest::addRow("random %lld bytes", qlonglong(size))
            << randomBytes(size, quint32(size)) << Key;
    QTest::newRow("key of 1") << randomBytes(3000, 1) << QByteArray("\xff");
    QTest::newRow("key of 7, not dividing any block")
        << randomBytes(3000, 7) << QByteArray("Kq#9!zZ");
    QTest::newRow("key with high bytes")
        << randomBytes(3000, 9) << QByteArray("\x80\xff\x00\x01", 4);
}

void TestTemplateDecoding::decryptTextMatchesTheByteWiseCipher()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, key);
    const QByteArray result = DecryptText(text, key);
    QCOMPARE(result.size(), text.size());
    QCOMPARE(result, referenceCipher(text, key));
}

void TestTemplateDecoding::decryptTextIsItsOwnInverse()
{
    const QByteArray text = randomBytes(10007, 42);
    QVERIFY(DecryptText(text, Key) != text);
    QCOMPARE(DecryptText(DecryptText(text, Key), Key), text);
}

void TestTemplateDecoding::emptyKeyLeavesTextUnchanged()
{
    const QByteArray text = randomBytes(300, 3);
    QCOMPARE(DecryptText(text, QByteArray()), text);
}

void TestTemplateDecoding::decodedMessagePath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("workspace copy") << "/tmp/QYX/msg/Offer.dat"
                                    << "/tmp/QYX/msg/Offer.eml";
    QTest::newRow("dat in a folder name") << "/tmp/old.dat/Offer.dat"
                                          << "/tmp/old.dat/Offer.eml";
    QTest::newRow("dat mid-name") << "/tmp/Offer.dat.bak.dat"
                                  << "/tmp/Offer.dat.bak.eml";
    QTest::newRow("dat only mid-name") << "/tmp/Offer.dat.bak"
                                       << "/tmp/Offer.dat.bak";
    QTest::newRow("no dat") << "/home/me/Offer.eml"
                            << "/home/me/Offer.eml";
    QTest::newRow("upper case is another extension") << "/tmp/Offer.DAT"
                                                     << "/tmp/Offer.DAT";
    QTest::newRow("data is not dat") << "/tmp/Offer.data"
                                     << "/tmp/Offer.data";
}

void TestTemplateDecoding::decodedMessagePath()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(Module1::decodedMessagePath(path), expected);
}

void TestTemplateDecoding::decryptFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("expected"); // the file afterwards
    QTest::addColumn<QString>("reason");

    const QByteArray text = randomBytes(513, 5);
    const QByteArray scrambled = referenceCipher(text, Key);
    QTest::newRow("good") << withCount(513, scrambled) << true << text << QString();
    QTest::newRow("bytes after the count are ignored")
        << withCount(513, scrambled + "trailing") << true << text << QString();
    QTest::newRow("count 0") << withCount(0, "ignored") << true << QByteArray() << QString();
    QTest::newRow("negative count")
        << withCount(-1, scrambled) << false << withCount(-1, scrambled) << "negative count";
    QTest::newRow("count larger than the file")
        << withCount(514, scrambled) << false << withCount(514, scrambled) << "truncated";
    QTest::newRow("too short for the count")
        << QByteArray("\x01\x00", 2) << false << QByteArray("\x01\x00", 2) << "truncated";
    QTest::newRow("empty file") << QByteArray() << false << QByteArray() << "truncated";
}

void TestTemplateDecoding::decryptFile()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, ok);
    QFETCH(QByteArray, expected);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    const QString path = dir.filePath("Offer.dat");
    QVERIFY(FileIo::writeAtomically(path, file));
    const Status status = DecryptFile(path, Key);
    QCOMPARE(status.ok(), ok);
    if (!ok) {
        QVERIFY2(status.message().contains(path), qPrintable(status.message()));
        QVERIFY2(status.message().contains(reason), qPrintable(status.message()));
    }
    QCOMPARE(readFile(path), expected);
}

void TestTemplateDecoding::decryptFileOfMissingFileCreatesNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Missing.dat");
    const Status status = DecryptFile(path, Key);
    QVERIFY(!status.ok());
    QVERIFY(status.message().contains(path));
    QVERIFY(!QFile::exists(path));
}

void TestTemplateDecoding::unencryptFile_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("message");

    const QByteArray plain = everyPackableByte();
    QTest::newRow("every other byte value passes") << plain << plain;
    QTest::newRow("placeholders in a body") << QByteArray("\xb0p\xa7Price \xb0 10 \xa7 5\xb0/p\xa7")
                                            << QByteArray("<p>Price < 10 > 5</p>");
    QTest::newRow("product word") << QByteArray("rookpost and rookpostrookpost")
                                  << QByteArray("quillbook and quillbookquillbook");
    QTest::newRow("other cases untouched") << QByteArray("Rookpost ROOKPOST rookPost rook post")
                                           << QByteArray("Rookpost ROOKPOST rookPost rook post");
    QTest::newRow("placeholders next to the word")
        << QByteArray("\xb0rookpost\xa7") << QByteArray("<quillbook>");
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestTemplateDecoding::unencryptFile()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, message);

    QTemporaryDir dir;
    const QString path = dir.filePath("Offer.dat");
    QVERIFY(FileIo::writeAtomically(path, text));
    QVERIFY(UnencryptFile(path));
    QCOMPARE(readFile(dir.filePath("Offer.eml")), message);
    QCOMPARE(readFile(path), text);
}

void TestTemplateDecoding::unencryptFileBesideDatInFolderName()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("work.dat"));
    const QString path = dir.filePath("work.dat/Offer.dat");
    QVERIFY(FileIo::writeAtomically(path, "\xb0html\xa7"));
    QVERIFY(UnencryptFile(path));
    QCOMPARE(readFile(dir.filePath("work.dat/Offer.eml")), QByteArray("<html>"));
    QVERIFY(!QFileInfo::exists(dir.filePath("work.eml")));

    // Without a trailing ".dat" the message replaces the intermediate text.
    const QString plain = dir.filePath("work.dat/Offer.txt");
    QVERIFY(FileIo::writeAtomically(plain, "\xb0p\xa7"));
    QVERIFY(UnencryptFile(plain));
    QCOMPARE(readFile(plain), QByteArray("<p>"));
}

void TestTemplateDecoding::twoPassesOnACopyGiveTheMessage()
{
    const QByteArray message = "Subject: quillbook news\r\n\r\n<p>Hello</p>\r\n";
    const Result<QByteArray> packed = packTemplate(message);
    QVERIFY(packed);

    QTemporaryDir dir;
    const QString path = dir.filePath("Offer.dat");
    QVERIFY(FileIo::writeAtomically(path, *packed));
    QVERIFY(DecryptFile(path, Key));
    QCOMPARE(readFile(path),
             QByteArray("Subject: rookpost news\r\n\r\n\xb0p\xa7Hello\xb0/p\xa7\r\n"));
    QVERIFY(UnencryptFile(path));
    QCOMPARE(readFile(dir.filePath("Offer.eml")), message);
    QVERIFY(QFileInfo::exists(path));
}

void TestTemplateDecoding::unpackRejectsBrokenFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("reason");
    QTest::newRow("empty") << QByteArray() << "too short for the 4-byte count";
    QTest::newRow("three bytes") << QByteArray("\0\0\0", 3) << "too short for the 4-byte count";
    QTest::newRow("negative") << withCount(-5, "abcde") << "negative count -5";
    QTest::newRow("most negative") << withCount(INT32_MIN, "") << "negative count";
    QTest::newRow("one byte short") << withCount(6, "abcde") << "the count says 6 bytes, only 5";
    QTest::newRow("huge count") << withCount(INT32_MAX, "abc") << "only 3 follow";
}

void TestTemplateDecoding::unpackRejectsBrokenFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, reason);
    const Result<QByteArray> unpacked = unpackTemplate(file);
    QVERIFY(!unpacked);
    const QString error = unpacked.status().message();
    QVERIFY2(error.contains(reason), qPrintable(error));
}

void TestTemplateDecoding::unpackAgreesWithTheFilePasses_data()
{
    QTest::addColumn<QList<int>>("wordAt");
    QTest::addColumn<int>("size");
    QTest::newRow("no word") << QList<int>{} << 50000;
    QTest::newRow("first and last bytes") << QList<int>{0, 49992} << 50000;
    // The search looks at blocks of positions; words across and at their edges.
    QTest::newRow("around block edges") << QList<int>{1016, 1023, 1031, 2048, 4095} << 50000;
    QTest::newRow("back to back") << QList<int>{3000, 3008, 3016} << 50000;
    QTest::newRow("shorter than the word") << QList<int>{} << 7;
    QTest::newRow("only the word") << QList<int>{0} << 8;
}

void TestTemplateDecoding::unpackAgreesWithTheFilePasses()
{
    QFETCH(QList<int>, wordAt);
    QFETCH(int, size);
    // Random bytes hold placeholders of both kinds; the product word is seeded in.
    QByteArray text = randomBytes(size, quint32(size) + quint32(wordAt.size()));
    text.replace("rookpost", "xxxxxxxx");
    for (int at : wordAt)
        text.replace(at, 8, "rookpost");
    QByteArray expected = text;
    expected.replace(char(0xB0), '<').replace(char(0xA7), '>').replace("rookpost", "quillbook");
    const QByteArray file = withCount(qint32(text.size()), referenceCipher(text, Key));

    const Result<QByteArray> unpacked = unpackTemplate(file);
    QVERIFY(unpacked);
    QCOMPARE(*unpacked, expected);

    QTemporaryDir dir;
    const QString path = dir.filePath("Big.dat");
    QVERIFY(FileIo::writeAtomically(path, file));
    QVERIFY(DecryptFile(path, Key));
    QCOMPARE(readFile(path), text);
    QVERIFY(UnencryptFile(path));
    QCOMPARE(readFile(dir.filePath("Big.eml")), expected);
}

void TestTemplateDecoding::packRoundTrip_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("every packable byte") << everyPackableByte();
    QTest::newRow("markup and the gallery word")
        << QByteArray("<html><b>quillbook</b>quillbookquillbook <<>></html>\r\n");
    QTest::newRow("other cases of both words") << QByteArray("Quillbook ROOKPOST RookPost");
    QTest::newRow("word beside parts of the other")
        << QByteArray("rookquillbookpost quillbookpost rookquillbook");
    QByteArray large = randomBytes(200000, 17);
    large.replace(char(0xB0), '<').replace(char(0xA7), '>').replace("rookpost", "xxxxxxxx");
    QTest::newRow("large random") << large;
}

void TestTemplateDecoding::packRoundTrip()
{
    QFETCH(QByteArray, message);
    const Result<QByteArray> packed = packTemplate(message);
    QVERIFY2(packed, qPrintable(packed.status().message()));
    QCOMPARE(qFromLittleEndian<qint32>(packed->constData()), qint32(packed->size() - 4));
    const Result<QByteArray> unpacked = unpackTemplate(*packed);
    QVERIFY2(unpacked, qPrintable(unpacked.status().message()));
    QCOMPARE(*unpacked, message);
}

void TestTemplateDecoding::packRefuses_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QString>("reason");
    QTest::newRow("raw 0xB0") << QByteArray("Temp: 20\xb0"
                                            "C")
                              << "0xB0 byte (it decodes to \"<\") at offset 8";
    QTest::newRow("raw 0xA7") << QByteArray("\xa7 3")
                              << "0xA7 byte (it decodes to \">\") at offset 0";
    QTest::newRow("sibling word") << QByteArray("Try Rookpost: rookpost")
                                  << "\"rookpost\" (it decodes to \"quillbook\") at offset 14";
    QTest::newRow("the earliest is named")
        << QByteArray("rookpost \xb0") << "\"rookpost\" (it decodes to \"quillbook\") at offset 0";
}

void TestTemplateDecoding::packRefuses()
{
    QFETCH(QByteArray, message);
    QFETCH(QString, reason);
    const Result<QByteArray> packed = packTemplate(message);
    QVERIFY(!packed);
    const QString error = packed.status().message();
    QVERIFY2(error.contains(reason), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestTemplateDecoding)
#include "tst_templatedecoding.moc"
