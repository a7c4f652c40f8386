#pragma once

#include "core/gallery/search/templatesearch.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class QThread;

// Builds the search page off the window's thread: its pictures are read from
// the libraries, and a library may hold anything in a thumbnail's place.
class SearchPageBuilder : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    // Waits for a page under way: the thread must not outlive the window.
    ~SearchPageBuilder() override;

    // Builds the page as SearchPage::build does; while one is built, only the
    // latest of the requests made meanwhile follows, and only its page is delivered.
    void build(const QString& heading, const QString& note,
               const QList<TemplateSearch::Entry>& entries);

signals:
    void built(const QString& heading, const QByteArray& page);

private:
    struct Request
    {
        QString heading;
        QString note;
        QList<TemplateSearch::Entry> entries;
    };

    void start(Request request);
    void finished();

    QString m_heading;
    std::shared_ptr<QByteArray> m_page;
    std::optional<Request> m_next;
    QThread* m_thread = nullptr;
};
