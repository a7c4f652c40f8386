#include "previewloader.h"

#include "browserpane.h"
#include "core/brand/brandapply.h"
#include "core/platform/workspace.h"
#include "previewpages.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineSettings>

namespace {

const QString PageName = QStringLiteral("msg.html");

// A logo saved anew under the same name is drawn anew.
QString logoStamp(const BrandKit& brand)
{
    if (brand.logoFile.isEmpty())
        return {};
    const QFileInfo info(brand.logoFile);
    return QString::number(info.lastModified().toMSecsSinceEpoch()) + u'|' +
           QString::number(info.size());
}

// The pane reads the page at once and the folder goes after: no flush to disk.
Status writePage(const QString& path, const QByteArray& data)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size() &&
        file.flush())
        return Status::success();
    return Status::failure(QCoreApplication::translate("PreviewLoader", "Could not write %1: %2")
                               .arg(path, file.errorString()));
}

} // namespace

PreviewLoader::PreviewLoader(const QString& appFolder, BrowserPane* pane, QObject* parent)
    : QObject(parent), m_appFolder(appFolder), m_pane(pane)
{
}

PreviewLoader::~PreviewLoader()
{
    waitForRemoval();
}

void PreviewLoader::show(const QString& name, const QString& problem)
{
    m_name = name;
    m_chosen = true;
    m_decoded.reset();
    m_staged = {};
    m_notice = problem;
    if (m_notice.isEmpty() && name.isEmpty())
        m_notice = tr("The category page names no template.");
    if (m_notice.isEmpty()) {
        Result<TemplateStaging::DecodedTemplate> decoded =
            TemplateStaging::decodeTemplate(m_appFolder, name);
        if (decoded)
            m_decoded = std::move(*decoded);
        else
            m_notice = decoded.status().message();
    }
    brandDecoded();
    present(false);
}

void PreviewLoader::setBrand(const std::optional<BrandKit>& brand)
{
    m_brand = brand;
    brandDecoded();
    if (!m_chosen)
        return;
    // Another message: its page is staged afresh in every view.
    m_staged = {};
    present(false);
}

void PreviewLoader::brandDecoded()
{
    m_branded.reset();
    m_brandProblem.clear();
    if (!m_brand || !m_decoded)
        return;
    // Toggling back and forth on one template asks for the same message again.
    const QString stamp = logoStamp(*m_brand);
    if (m_brandCache.brand == *m_brand && m_brandCache.logoStamp == stamp &&
        m_brandCache.source == m_decoded->message) {
        m_branded = m_brandCache.branded;
        m_brandProblem = m_brandCache.problem;
        return;
    }
    Result<BrandApply::Branded> branded = BrandApply::applyToMessage(m_decoded->message, *m_brand);
    if (branded)
        m_branded = std::move(branded->message);
    else
        m_brandProblem = branded.status().message();
    m_brandCache = {*m_brand, stamp, m_decoded->message, m_branded, m_brandProblem};
}

void PreviewLoader::setView(const PreviewViews::View& view)
{
    m_view = view;
    // Beside the page's own rewrite: whatever a template hides from it, the
    // engine fetches no picture while they are blocked.
    m_pane->page()->settings()->setAttribute(QWebEngineSettings::AutoLoadImages,
                                             !view.imagesBlocked);
    if (m_chosen)
        present(true);
}

void PreviewLoader::present(bool again)
{
    // The folder is the same for every preview: the last one's removal has to
    // end before new files go in, or it would take them.
    waitForRemoval();
    const Result<QString> workspace = modGetDirs::ensurePreviewFolder();
    if (!workspace) {
        // Nowhere to write: show the reason without touching any file.
        forget();
        m_pane->setHtml(PreviewPages::noticePage(m_name, workspace.status().message()));
        emit abandoned(m_name);
        return;
    }
    const QString& folder = *workspace;
    m_folder = folder;
    m_pane->setLocalRoot(folder);
    if (!m_decoded) {
        emit ownDarkRulesFound(true);
        showNotice(m_name, m_notice);
        return;
    }
    // The plain text and the inbox line are pages without files of their
    // own: a switch to them writes the page alone, from what the first
    // staging of this choice read.
    if (again && !m_view.showsPage() && !m_staged.page.isEmpty()) {
        m_staged.page = QDir(folder).filePath(PageName);
    } else {
        Result<TemplateStaging::StagedPage> staged =
            m_branded ? TemplateStaging::stageMessage(*m_branded, folder, PageName)
            : again   ? TemplateStaging::stageMessage(m_decoded->message, folder, PageName)
                      : TemplateStaging::stageDecoded(*m_decoded, folder, PageName);
        if (!staged) {
            showNotice(m_name, staged.status().message());
            return;
        }
        m_staged = std::move(*staged);
    }
    if (!again) {
        emit ownDarkRulesFound(RecipientView::hasOwnDarkRules(m_staged.html));
        emit brandStateFound(BrandApply::hasSlots(m_staged.html), m_brandProblem);
    }
    // Mail programs show what arrived of a damaged message; so does the
    // preview, in every view, and it says what is missing.
    if (!m_staged.problem.isEmpty() && m_staged.html.isEmpty()) {
        showNotice(m_name, m_staged.problem);
        return;
    }
    QByteArray page = PreviewViews::pageFor(
        m_view, m_name, m_branded ? *m_branded : m_decoded->message, m_staged.html);
    if (!m_staged.problem.isEmpty())
        page = PreviewPages::withProblemNotice(page, m_staged.problem);
    if (!m_view.showsPage() || page != m_staged.html) {
        if (const Status written = writePage(m_staged.page, page); !written) {
            showNotice(m_name, written.message());
            return;
        }
    }
    navigate(m_staged.page);
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
    const bool scrollBars = !m_view.isPhoneWide();
    // A phone's scrollbar lies over the page and takes none of its width; a
    // scrollbar inside the phone-wide pane would lay the page out 15 pixels
    // narrower than the phone it shows. The page still scrolls as before.
    // Set only on a change: the engine passes every setting on to the renderer.
    QWebEngineSettings* settings = m_pane->page()->settings();
    if (settings->testAttribute(QWebEngineSettings::ShowScrollBars) != scrollBars)
        settings->setAttribute(QWebEngineSettings::ShowScrollBars, scrollBars);
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
    if (latest) {
        m_pending = false;
        emit loaded(m_name);
    }
    // Files of a preview still loading are never removed under it.
    if (m_pending)
        return;
    // The engine puts the page on screen first; the removal waits for a
    // process, and a preview chosen in between keeps its files.
    QTimer::singleShot(0, this, [this, latest, name = m_name] {
        if (m_pending || m_folder.isEmpty())
            return;
        waitForRemoval();
        // The shell's removal takes tens of milliseconds: off the window's
        // thread, so that a click meanwhile is taken at once. The next
        // staging waits for it.
        m_removal = QThread::create([folder = m_folder] { Module1::RemoveFolder(folder); });
        m_removal->setParent(this);
        connect(m_removal, &QThread::finished, this,
                [this, thread = m_removal, latest, name, url = m_url] {
                    if (m_removal == thread)
                        m_removal = nullptr;
                    thread->wait();
                    delete thread;
                    // A choice made meanwhile is the one the window waits for now.
                    if (latest && !m_pending && m_url == url)
                        emit shown(name);
                });
        m_removal->start();
    });
}

void PreviewLoader::waitForRemoval()
{
    if (m_removal) {
        m_removal->wait();
        m_removal = nullptr; // deleted when its end is reported
    }
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
    waitForRemoval();
    if (!m_folder.isEmpty())
        Module1::RemoveFolder(m_folder);
}
