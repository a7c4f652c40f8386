#include "core/gallery/check/linkprobe.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSet>

LinkProbe::LinkProbe(QObject* parent) : LinkProbe(Limits(), parent) {}

LinkProbe::LinkProbe(Limits limits, QObject* parent)
    : QObject(parent), m_limits(limits), m_network(new QNetworkAccessManager(this))
{
    // Redirects are followed by hand, to see each step and to stop a loop.
    m_network->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        stopAll(QCoreApplication::translate("LinkProbe", "The link check stopped after %n seconds.",
                                            nullptr, m_limits.totalSeconds));
    });
}

LinkProbe::~LinkProbe()
{
    // Replies die with the manager, without signals to a half-destroyed probe.
    for (QNetworkReply* reply : m_replies.keys())
        reply->disconnect(this);
}

void LinkProbe::start(const QList<SendCheck::LinkEntry>& links)
{
    cancel();
    m_pending.clear();
    m_answers.clear();
    m_gaps.clear();
    m_next = 0;
    m_requests = 0;
    QSet<QString> seen;
    for (const SendCheck::LinkEntry& link : links) {
        const QUrl url(link.url);
        const QString scheme = url.scheme().toLower();
        if (link.placeholder ||
            (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
            !url.isValid() || seen.contains(link.url))
            continue;
        seen.insert(link.url);
        Pending pending;
        pending.answer.url = link.url;
        pending.answer.where = link.where;
        pending.current = url;
        m_pending.append(pending);
    }
    m_running = true;
    m_deadline.start(m_limits.totalSeconds * 1000);
    // Later, so that a caller connects to finished() in time even when
    // there is nothing to check.
    QMetaObject::invokeMethod(this, &LinkProbe::pump, Qt::QueuedConnection);
}

void LinkProbe::cancel()
{
    if (m_running)
        stopAll(QCoreApplication::translate("LinkProbe", "The link check was cancelled."));
}

void LinkProbe::pump()
{
    if (!m_running)
        return;
    while (m_replies.size() < m_limits.atOnce && m_next < m_pending.size()) {
        if (m_requests >= m_limits.maxRequests) {
            stopAll(QCoreApplication::translate("LinkProbe",
                                                "The link check stopped after %n requests.",
                                                nullptr, m_limits.maxRequests));
            return;
        }
        request(m_next++);
    }
    if (m_replies.isEmpty() && m_next >= m_pending.size())
        complete();
}

void LinkProbe::request(int index)
{
    Pending& pending = m_pending[index];
    QNetworkRequest request(pending.current);
    request.setTransferTimeout(m_limits.requestSeconds * 1000);
    request.setHeader(
        QNetworkRequest::UserAgentHeader,
        QStringLiteral("Quillery link check (%1)").arg(QLatin1String(QUILLERY_VERSION)));
    ++m_requests;
    // A HEAD asks for no body; a server that refuses it is asked with GET,
    // whose body is not read.
    QNetworkReply* reply = pending.triedGet ? m_network->get(request) : m_network->head(request);
    m_replies.insert(reply, index);
    if (pending.triedGet)
        connect(reply, &QNetworkReply::metaDataChanged, reply, [reply] {
            if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid())
                reply->abort();
        });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { onReply(reply); });
}

void LinkProbe::onReply(QNetworkReply* reply)
{
    reply->deleteLater();
    const int index = m_replies.take(reply);
    if (!m_running)
        return;
    Pending& pending = m_pending[index];
    Answer& answer = pending.answer;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid()) {
        answer.status = status.toInt();
        answer.error.clear();
        answer.timedOut = false;
        if ((answer.status == 405 || answer.status == 501) && !pending.triedGet) {
            pending.triedGet = true;
            m_pending[index].answer.status = 0;
            if (m_requests < m_limits.maxRequests)
                request(index);
            else
                finish(index);
            return;
        }
        if (answer.status >= 300 && answer.status < 400) {
            const QUrl target = pending.current.resolved(
                reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl());
            if (target.isValid() && !target.isEmpty()) {
                const QString next = target.toString();
                answer.loop = next == answer.url || answer.redirects.contains(next);
                answer.redirects.append(next);
                if (!answer.loop && answer.redirects.size() <= m_limits.maxRedirects &&
                    m_requests < m_limits.maxRequests) {
                    pending.current = target;
                    pending.triedGet = false;
                    request(index);
                    return;
                }
            }
        }
    } else {
        answer.timedOut = reply->error() == QNetworkReply::OperationCanceledError ||
                          reply->error() == QNetworkReply::TimeoutError;
        answer.error = reply->errorString();
    }
    finish(index);
}

void LinkProbe::finish(int index)
{
    m_answers.append(m_pending[index].answer);
    emit answered(m_pending[index].answer);
    pump();
}

void LinkProbe::stopAll(const QString& why)
{
    if (!m_running)
        return;
    int unchecked = int(m_pending.size()) - m_next;
    const QList<QNetworkReply*> replies = m_replies.keys();
    m_replies.clear();
    unchecked += int(replies.size());
    for (QNetworkReply* reply : replies) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    m_next = int(m_pending.size());
    if (unchecked > 0)
        m_gaps.append({SendCheck::Section::Links,
                       why + QLatin1Char(' ') +
                           QCoreApplication::translate(
                               "LinkProbe", "%n addresses were not checked.", nullptr, unchecked)});
    complete();
}

void LinkProbe::complete()
{
    if (!m_running)
        return;
    m_running = false;
    m_deadline.stop();
    emit finished(m_answers, m_gaps);
}

QList<SendCheck::Finding> LinkProbe::findings(const QList<Answer>& answers)
{
    using SendCheck::Finding;
    using SendCheck::Kind;
    using SendCheck::Section;
    using SendCheck::Severity;
    QList<Finding> out;
    for (const Answer& answer : answers) {
        const QString via =
            answer.redirects.isEmpty()
                ? QString()
                : QLatin1Char(' ') + QCoreApplication::translate("LinkProbe", "(sent on to %1)")
                                         .arg(answer.redirects.join(QStringLiteral(" \u2192 ")));
        Severity severity = Severity::Note;
        QString text;
        if (answer.loop) {
            severity = Severity::Problem;
            text = QCoreApplication::translate(
                       "LinkProbe", "%1 sends its readers round in a loop of redirects%2.")
                       .arg(answer.url, via);
        } else if (answer.status >= 300 && answer.status < 400) {
            severity = Severity::Problem;
            text = QCoreApplication::translate(
                       "LinkProbe", "%1 was sent on %2 times and not followed further%3.")
                       .arg(answer.url)
                       .arg(answer.redirects.size())
                       .arg(via);
        } else if (answer.status >= 400) {
            severity = Severity::Problem;
            text = QCoreApplication::translate("LinkProbe",
                                               "%1 answers %2: the reader gets an error page%3.")
                       .arg(answer.url)
                       .arg(answer.status)
                       .arg(via);
        } else if (answer.status >= 200) {
            text = QCoreApplication::translate("LinkProbe", "%1 answers %2%3.")
                       .arg(answer.url)
                       .arg(answer.status)
                       .arg(via);
        } else if (answer.timedOut) {
            severity = Severity::Warning;
            text = QCoreApplication::translate("LinkProbe", "%1 gave no answer in time%2.")
                       .arg(answer.url, via);
        } else {
            severity = Severity::Problem;
            text = QCoreApplication::translate("LinkProbe", "%1 cannot be reached: %2%3.")
                       .arg(answer.url, answer.error, via);
        }
        out.append({Section::Links, severity, Kind::LinkAnswer, text, answer.where});
    }
    return out;
}
