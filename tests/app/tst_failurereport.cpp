#include "apptranslation.h"
#include "failurereport.h"

#include <QTest>

#include <cerrno>
#include <cstring>

// The common system reasons in words, as the core's messages end in them: in
// Qt's wording or the C library's, in English and in German, with the path
// before them kept and an unknown reason left as it is.
class TestFailureReport : public QObject
{
    Q_OBJECT

private slots:
    void explain_data();
    void explain();
    void inGerman();
};

void TestFailureReport::explain_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("system");
    const QString path = QStringLiteral("/home/ann/My: files/news.eml");
    const auto row = [&](const char* name, int code, const QString& words) {
        const QString qt = qt_error_string(code);
        QTest::newRow(name) << path + QStringLiteral(": ") + qt
                            << path + QStringLiteral(": ") + words << qt;
        const QString c = QString::fromLocal8Bit(std::strerror(code));
        QTest::addRow("%s, C library", name)
            << path + QStringLiteral(": ") + c << path + QStringLiteral(": ") + words << c;
    };
    row("permission denied", EACCES, "your user account is not allowed to use this file or folder");
    row("operation not permitted", EPERM,
        "your user account is not allowed to use this file or folder");
    row("read-only file system", EROFS,
        "the drive it is on can only be read, so nothing can be saved or changed there");
    row("no space", ENOSPC, "there is no room left on its drive, or your share of it is used up");
    row("quota", EDQUOT, "there is no room left on its drive, or your share of it is used up");
    row("not found", ENOENT,
        "there is no such file or folder; it may have been moved, renamed or removed");
    row("not a folder", ENOTDIR, "a part of this path is a file, where a folder should be");
    row("name too long", ENAMETOOLONG, "the name or the path is too long for the system");
    row("in use", EBUSY, "the file is in use by another program");
    row("program in use", ETXTBSY, "the file is in use by another program");
    row("folder for a file", EISDIR, "this is a folder, where a file should be");
    row("drive failed", EIO,
        "the drive could not be read or written; it may be damaged or no longer connected");
    // The reason in the middle of a longer message is said where it stands.
    QTest::newRow("reason then more")
        << path + QStringLiteral(": Read-only file system (while writing the images)")
        << path +
               QStringLiteral(": the drive it is on can only be read, so nothing can be saved or "
                              "changed there (while writing the images)")
        << QStringLiteral("Read-only file system");
    // Words that are the project's own stay; so does a folder named like a reason.
    QTest::newRow("own words") << path + QStringLiteral(": an images folder is in the way")
                               << path + QStringLiteral(": an images folder is in the way")
                               << QString();
    QTest::newRow("folder named like a reason")
        << QStringLiteral("/media/Permission denied stuff/a.eml: too large")
        << QStringLiteral("/media/Permission denied stuff/a.eml: too large") << QString();
}

void TestFailureReport::explain()
{
    QFETCH(QString, message);
    QFETCH(QString, text);
    QFETCH(QString, system);
    const FailureReport::Reason reason = FailureReport::explain(message);
    QCOMPARE(reason.text, text);
    QCOMPARE(reason.system, system);
    QCOMPARE(FailureReport::inWords(message),
             system.isEmpty() ? text : text + QStringLiteral(" (system: ") + system + u')');
}

void TestFailureReport::inGerman()
{
    const AppTranslation translation(QStringList{QStringLiteral("de-DE")});
    const FailureReport::Reason reason =
        FailureReport::explain(QStringLiteral("/ro/a.eml: ") + qt_error_string(EROFS));
    QCOMPARE(reason.text, QStringLiteral("/ro/a.eml: das Laufwerk, auf dem es liegt, kann nur "
                                         "gelesen werden; dort lässt sich nichts speichern oder "
                                         "ändern"));
}

QTEST_MAIN(TestFailureReport)
#include "tst_failurereport.moc"
