#pragma once

#include "core/gallery/check/sendcheck.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

// Asks each web address of a template's links for its answer: the program's
// one network action, taken only when the user asks for it. Bounded in
// requests and in time; what the bounds leave out is reported as not checked.
class LinkProbe : public QObject
{
    Q_OBJECT

public:
    struct Limits
    {
        int maxRequests = 200;   // redirects count as requests
        int requestSeconds = 10; // for one answer
        int totalSeconds = 60;   // for the whole check
        int maxRedirects = 5;    // per address
        int atOnce = 4;
    };

    struct Answer
    {
        QString url;
        int status = 0;        // the last HTTP status; 0 when none came
        QStringList redirects; // where it was sent, in order
        bool loop = false;     // sent back to where it had been
        bool timedOut = false;
        QString error; // a network error, in Qt's words
        SendCheck::Locator where;
    };

    explicit LinkProbe(QObject* parent = nullptr);
    explicit LinkProbe(Limits limits, QObject* parent = nullptr);
    ~LinkProbe() override;

    // Checks the http and https links that are not placeholders, each
    // address once. finished() follows, also when nothing was to be checked.
    void start(const QList<SendCheck::LinkEntry>& links);
    void cancel();

    // The answers as findings of the links section, and what was not checked.
    static QList<SendCheck::Finding> findings(const QList<Answer>& answers);

signals:
    void answered(const LinkProbe::Answer& answer);
    void finished(const QList<LinkProbe::Answer>& answers, const QList<SendCheck::Gap>& notChecked);

private:
    struct Pending
    {
        Answer answer;
        QUrl current;
        bool triedGet = false;
    };

    void pump();
    void request(int index);
    void onReply(QNetworkReply* reply);
    void finish(int index);
    void stopAll(const QString& why);
    void complete();

    Limits m_limits;
    QNetworkAccessManager* m_network;
    QList<Pending> m_pending;
    QHash<QNetworkReply*, int> m_replies;
    QList<Answer> m_answers;
    QList<SendCheck::Gap> m_gaps;
    int m_next = 0;
    int m_requests = 0;
    bool m_running = false;
    QTimer m_deadline;
};
