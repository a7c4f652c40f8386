#pragma once

// Stands in for the desktop's browser: records every address the program
// asks it to open. Set it with QDesktopServices::setUrlHandler(scheme, &recorder, "open").

#include <QList>
#include <QObject>
#include <QUrl>

class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};
