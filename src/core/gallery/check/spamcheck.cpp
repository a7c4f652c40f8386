#include "core/gallery/check/spamcheck.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace SpamCheck {

QString findProgram()
{
    return QStandardPaths::findExecutable(QStringLiteral("spamassassin"));
}

Result parseReport(const QByteArray& output)
{
    Result result;
    const QString text = QString::fromUtf8(output);
    static const QRegularExpression heading(QStringLiteral(
        R"(Content analysis details:\s+\((-?[0-9.]+) points?, (-?[0-9.]+) required\))"));
    const QRegularExpressionMatch match = heading.match(text);
    if (!match.hasMatch()) {
        result.notChecked = QCoreApplication::translate(
            "SendCheck", "SpamAssassin gave no report that could be read");
        return result;
    }
    result.score = match.captured(1).toDouble();
    result.required = match.captured(2).toDouble();
    // The table after the heading: " 0.6 MISSING_MID   Missing Message-Id: header",
    // a long description going on in lines that start with blanks only.
    const QStringList lines = text.mid(match.capturedEnd()).split(QLatin1Char('\n'));
    static const QRegularExpression row(
        QStringLiteral(R"(^\s*(-?[0-9.]+)\s+([A-Z0-9_]+)\s+(.*)$)"));
    bool inTable = false;
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1String("----"))) {
            inTable = true;
            continue;
        }
        if (!inTable)
            continue;
        if (line.trimmed().isEmpty())
            break;
        const QRegularExpressionMatch cells = row.match(line);
        if (cells.hasMatch())
            result.rules.append(
                {cells.captured(1).toDouble(), cells.captured(2), cells.captured(3).trimmed()});
        else if (!result.rules.isEmpty())
            result.rules.last().description += QLatin1Char(' ') + line.trimmed();
    }
    return result;
}

Result run(const QByteArray& message, const QString& program, int seconds)
{
    Result result;
    // Its preferences go to a folder of the run's own, not the user's home.
    QTemporaryDir home;
    QProcess spam;
    spam.setProgram(program);
    spam.setArguments(
        {QStringLiteral("--local"), QStringLiteral("--test-mode"),
         QStringLiteral("--prefspath=") + home.filePath(QStringLiteral("user_prefs"))});
    spam.setProcessChannelMode(QProcess::SeparateChannels);
    spam.start();
    if (!spam.waitForStarted(10000)) {
        result.notChecked =
            QCoreApplication::translate("SendCheck", "SpamAssassin (%1) could not be started: %2")
                .arg(program, spam.errorString());
        return result;
    }
    spam.write(message);
    spam.closeWriteChannel();
    const QDeadlineTimer deadline{std::chrono::seconds(seconds)};
    QByteArray output;
    while (spam.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        spam.waitForReadyRead(int(std::min<qint64>(deadline.remainingTime(), 1000)));
        output += spam.readAllStandardOutput();
        spam.readAllStandardError();
    }
    if (spam.state() != QProcess::NotRunning) {
        spam.kill();
        spam.waitForFinished(5000);
        result.notChecked = QCoreApplication::translate(
            "SendCheck", "SpamAssassin was stopped after %n seconds", nullptr, seconds);
        return result;
    }
    output += spam.readAllStandardOutput();
    if (spam.exitStatus() != QProcess::NormalExit) {
        result.notChecked = QCoreApplication::translate("SendCheck", "SpamAssassin crashed");
        return result;
    }
    return parseReport(output);
}

} // namespace SpamCheck
