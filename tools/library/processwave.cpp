#include "processwave.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>

void RunWave(const QList<QProcess*>& processes, const std::function<void(qsizetype)>& start,
             int seconds)
{
    QEventLoop loop;
    qsizetype running = processes.size();
    for (QProcess* process : processes) {
        QObject::connect(process, &QProcess::finished, &loop, [&] {
            if (--running == 0)
                loop.quit();
        });
        QObject::connect(process, &QProcess::errorOccurred, &loop,
                         [&](QProcess::ProcessError error) {
                             if (error == QProcess::FailedToStart && --running == 0)
                                 loop.quit();
                         });
    }
    for (qsizetype i = 0; i < processes.size(); ++i)
        start(i);
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    if (running > 0)
        loop.exec();
}
