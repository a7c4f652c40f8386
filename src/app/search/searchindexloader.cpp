#include "searchindexloader.h"

#include <QThread>

SearchIndexLoader::SearchIndexLoader(const QStringList& libraries, const QString& cacheFile,
                                     QObject* parent)
    : QObject(parent), m_libraries(libraries), m_cacheFile(cacheFile)
{
}

SearchIndexLoader::~SearchIndexLoader()
{
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

void SearchIndexLoader::start()
{
    if (m_thread) {
        m_again = true;
        return;
    }
    auto result = std::make_shared<TemplateSearch::Index>();
    m_reading = result;
    m_thread = QThread::create([result, libraries = m_libraries, cache = m_cacheFile] {
        *result = TemplateSearch::Index::build(libraries, cache);
    });
    connect(m_thread, &QThread::finished, this, &SearchIndexLoader::finished);
    m_thread->start(QThread::LowPriority);
}

void SearchIndexLoader::finished()
{
    m_thread->deleteLater();
    m_thread = nullptr;
    m_index = std::make_unique<TemplateSearch::Index>(std::move(*m_reading));
    m_reading.reset();
    emit ready();
    if (m_again) {
        m_again = false;
        start();
    }
}
