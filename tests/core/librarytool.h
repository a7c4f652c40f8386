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
};

inline ToolRun runTool(const QStringList& arguments, const QString& workingFolder = QString())
{
    QProcess process;
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    process.start(QStringLiteral(QUILLERY_TOOL), arguments);
    ToolRun run;
    if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit) {
        run.err = QStringLiteral("the tool did not finish: ") + process.errorString();
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}
