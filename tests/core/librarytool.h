#pragma once

// Runs quillery-library as an author would, and keeps what it said.

#include <QProcess>
#include <QString>
#include <QStringList>

struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
    bool killed = false; // ended by a signal
};

// `faultAt`, when given, is passed as QUILLERY_FAULT_KILL_AT ("step:n"): the
// tool then kills itself there, and the run reports exitCode -1 and a crash.
inline ToolRun runTool(const QStringList& arguments, const QString& workingFolder = QString(),
                       const QString& faultAt = QString())
{
    QProcess process;
    if (!faultAt.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QUILLERY_FAULT_KILL_AT"), faultAt);
        process.setProcessEnvironment(environment);
    }
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    process.start(QStringLiteral(QUILLERY_TOOL), arguments);
    ToolRun run;
    if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit) {
        run.err = QStringLiteral("the tool did not finish: ") + process.errorString();
        run.killed = process.exitStatus() == QProcess::CrashExit;
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}
