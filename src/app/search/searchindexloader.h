#pragma once

#include "core/gallery/search/templatesearch.h"

#include <QObject>
#include <QStringList>

#include <memory>

class QThread;

// Reads the search index off the window's thread, so that neither the start
// nor a keystroke waits for a large library to be read.
class SearchIndexLoader : public QObject
{
    Q_OBJECT

public:
    SearchIndexLoader(const QStringList& libraries, const QString& cacheFile,
                      QObject* parent = nullptr);
    // Waits for a read under way: the thread must not outlive the window.
    ~SearchIndexLoader() override;

    // Reads the libraries again (again after a change to them); a read under
    // way is finished first and then followed by another.
    void start();
    void setLibraries(const QStringList& libraries) { m_libraries = libraries; }
    // The latest index read, or null before the first read has ended.
    const TemplateSearch::Index* index() const { return m_index.get(); }

signals:
    void ready();

private:
    void finished();

    QStringList m_libraries;
    QString m_cacheFile;
    std::shared_ptr<TemplateSearch::Index> m_reading;
    std::unique_ptr<TemplateSearch::Index> m_index;
    QThread* m_thread = nullptr;
    bool m_again = false;
};
