#include "previewloader.h"

#include "browserpane.h"
#include "core/gallery/templatestaging.h"
#include "core/platform/workspace.h"
#include "previewpages.h"

#include <QFile>
#include <QTimer>

namespace {

const QString PageName = QStringLiteral("msg.html");

// The pane reads the page at once and the folder goes after: no flush to disk.
Status writePage(const QString& path, const QByteArray& data)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size() &&
        file.flush())
        return Status::success();
    return Status::failure(QStringLiteral("Could not write %1: %2").arg(path, file.errorString()));
}

} // namespace

PreviewLoader::PreviewLoader(const QString& appFolder, BrowserPane* pane, QObject* parent)
    : QObject(parent), m_appFolder(appFolder), m_pane(pane)
{
}

void PreviewLoader::show(const QString& name, const QString& problem)
{
    m_name = name;
    const Result<QString> workspace = modGetDirs::EnsurePreviewFolder();
    if (!workspace) {
        // Nowhere to write: show the reason without touching any file.
        forget();
        m_pane->setHtml(PreviewPages::noticePage(name, workspace.status().message()));
        emit abandoned(name);
        return;
    }
    const QString& folder = *workspace;
    m_folder = folder;
    m_pane->setLocalRoot(folder);
    if (!problem.isEmpty()) {
        showNotice(name, problem);
        return;
    }
    if (name.isEmpty()) {
        showNotice(name, QStringLiteral("The category page names no template."));
        return;
    }
    const Result<TemplateStaging::StagedPage> staged =
        TemplateStaging::StageTemplate(m_appFolder, name, folder, PageName);
    if (!staged) {
        showNotice(name, staged.status().message());
        return;
    }
    // Mail programs show what arrived of a damaged message; so does the
    // preview, and it says what is missing.
    if (!staged->problem.isEmpty()) {
        if (staged->html.isEmpty()) {
            showNotice(name, staged->problem);
            return;
        }
        const Status written =
            writePage(staged->page, PreviewPages::withProblemNotice(staged->html, staged->problem));
        if (!written) {
            showNotice(name, written.message());
            return;
        }
    }
    navigate(staged->page);
}

void PreviewLoader::showNotice(const QString& name, const QString& reason)
{
    const QString notice = PreviewPages::noticePage(name, reason);
    const QString page = m_folder + QLatin1Char('/') + PageName;
    if (writePage(page, notice.toUtf8())) {
        navigate(page);
    } else {
        forget();
        m_pane->setHtml(notice);
        emit abandoned(name);
    }
}

void PreviewLoader::navigate(const QString& page)
{
    // Every preview gets its own address, so that the completion of an older
    // load is never taken for the latest one.
    QUrl url = QUrl::fromLocalFile(page);
    url.setQuery(QStringLiteral("preview=%1").arg(++m_serial));
    m_url = url;
    m_pending = true;
    m_pane->Navigate2(url);
}

void PreviewLoader::forget()
{
    m_url.clear();
    m_pending = false;
}

void PreviewLoader::documentComplete(const QUrl& url)
{
    const bool latest = m_pending && url == m_url;
    if (latest)
        m_pending = false;
    // Files of a preview still loading are never removed under it.
    if (m_pending)
        return;
    // The engine puts the page on screen first; the removal waits for a
    // process, and a preview chosen in between keeps its files.
    QTimer::singleShot(0, this, [this, latest, name = m_name] {
        if (m_pending)
            return;
        removeFiles();
        if (latest)
            emit shown(name);
    });
}

void PreviewLoader::downloadComplete(const QUrl& url)
{
    // The latest preview failed to load: its files are of no use any more.
    if (m_pending && url == m_url) {
        m_pending = false;
        removeFiles();
        emit abandoned(m_name);
    }
}

void PreviewLoader::removeFiles()
{
    if (!m_folder.isEmpty())
        Module1::RemoveFolder(m_folder);
}
