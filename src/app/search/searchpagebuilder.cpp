#include "searchpagebuilder.h"

#include "core/gallery/search/searchpage.h"

#include <QThread>

SearchPageBuilder::~SearchPageBuilder()
{
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

void SearchPageBuilder::build(const QString& heading, const QString& note,
                              const QList<TemplateSearch::Entry>& entries)
{
    Request request{heading, note, entries};
    if (m_thread)
        m_next = std::move(request);
    else
        start(std::move(request));
}

void SearchPageBuilder::start(Request request)
{
    auto page = std::make_shared<QByteArray>();
    m_page = page;
    m_heading = request.heading;
    m_thread = QThread::create([page, request = std::move(request)] {
        *page = SearchPage::build(request.heading, request.note, request.entries);
    });
    connect(m_thread, &QThread::finished, this, &SearchPageBuilder::finished);
    m_thread->start();
}

void SearchPageBuilder::finished()
{
    m_thread->deleteLater();
    m_thread = nullptr;
    if (m_next) {
        Request next = std::move(*m_next);
        m_next.reset();
        start(std::move(next));
        return;
    }
    const QByteArray page = std::move(*m_page);
    m_page.reset();
    emit built(m_heading, page);
}
