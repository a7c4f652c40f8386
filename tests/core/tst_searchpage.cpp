#include "core/gallery/search/searchpage.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class TestSearchPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A hostile library puts anything in a thumbnail's place; the page is
    // built all the same, leaving out what is no small picture file.
    void thumbnailsThatAreNoPictureAreLeftOut_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("shown");

        QTest::newRow("picture") << "png" << true;
        QTest::newRow("picture of 2 MB") << "largest" << true;
        QTest::newRow("FIFO") << "fifo" << false;
        QTest::newRow("sparse 3 GB file") << "sparse" << false;
        QTest::newRow("just over 2 MB") << "over" << false;
        QTest::newRow("folder") << "folder" << false;
        QTest::newRow("link to a picture") << "link" << false;
        QTest::newRow("missing") << "missing" << false;
    }

    void thumbnailsThatAreNoPictureAreLeftOut()
    {
        QFETCH(QString, kind);
        QFETCH(bool, shown);

        QTemporaryDir dir;
        const QString thumbnail = dir.filePath("thumb.png");
        const QByteArray name = QFile::encodeName(thumbnail);
        auto writePicture = [](const QString& path, qint64 size) {
            QFile file(path);
            return file.open(QIODevice::WriteOnly) && file.write("\x89PNG") == 4 &&
                   file.resize(size);
        };
        if (kind == "png")
            QVERIFY(writePicture(thumbnail, 100));
        else if (kind == "largest")
            QVERIFY(writePicture(thumbnail, SearchPage::MaxPictureBytes));
        else if (kind == "over")
            QVERIFY(writePicture(thumbnail, SearchPage::MaxPictureBytes + 1));
        else if (kind == "sparse")
            QVERIFY(writePicture(thumbnail, 3LL * 1024 * 1024 * 1024)); // sparse: costs no disk
        else if (kind == "fifo")
            QVERIFY(::mkfifo(name.constData(), 0600) == 0);
        else if (kind == "folder")
            QVERIFY(QDir().mkdir(thumbnail));
        else if (kind == "link")
            QVERIFY(writePicture(dir.filePath("real.png"), 100) &&
                    QFile::link(dir.filePath("real.png"), thumbnail));

        // Built off this thread so that a read that never ends fails the test instead of hanging
        // it.
        QByteArray page;
        QThread* builder = QThread::create([&page, thumbnail] {
            page = SearchPage::build("Recent templates", "",
                                     {{"Offer", "Retail", "/library", thumbnail, {}, {}}});
        });
        builder->start();
        const bool ended = builder->wait(20000);
        if (!ended && kind == "fifo") {
            // Let the stuck reader go before failing.
            const int writer = ::open(name.constData(), O_WRONLY | O_NONBLOCK);
            ::close(writer);
            builder->wait();
        }
        delete builder;
        QVERIFY2(ended, "the picture was still being read after 20 s");
        QVERIFY(page.contains("<span>Offer</span>"));
        QCOMPARE(page.contains("data:image/png;base64,"), shown);
        QVERIFY(page.size() < 3 * 1024 * 1024);
    }
};

QTEST_GUILESS_MAIN(TestSearchPage)
#include "tst_searchpage.moc"
