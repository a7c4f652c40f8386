#include "browserpane.h"

#include <QApplication>
#include <QFile>
#include <QWebChannel>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>

namespace {

QString readResource(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool isLocalScheme(const QString& scheme)
{
    return scheme == u"file" || scheme == u"data" || scheme == u"blob" || scheme == u"qrc";
}

// Mail programs do not fetch remote images of a message unless asked; the
// preview behaves the same, while links clicked in it still navigate.
class RemoteSubresourceBlocker : public QWebEngineUrlRequestInterceptor
{
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        if (info.resourceType() != QWebEngineUrlRequestInfo::ResourceTypeMainFrame &&
            !isLocalScheme(info.requestUrl().scheme()))
            info.block(true);
    }
};

} // namespace

class PanePage : public QWebEnginePage
{
public:
    PanePage(QWebEngineProfile* profile, BrowserPane* pane)
        : QWebEnginePage(profile, pane), m_pane(pane)
    {
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override
    {
        return m_pane->askBeforeNavigate(url);
    }

    // Links that ask for a new window open in the pane itself.
    QWebEnginePage* createWindow(WebWindowType) override { return this; }

private:
    BrowserPane* m_pane;
};

class LinkBridge : public QObject
{
    Q_OBJECT

public:
    explicit LinkBridge(BrowserPane* pane) : QObject(pane), m_pane(pane) {}

public slots:
    void linkActivated(const QString& href) { m_pane->linkActivated(QUrl(href)); }

private:
    BrowserPane* m_pane;
};

BrowserPane::BrowserPane(QWebEngineProfile* profile, Role role, QWidget* parent)
    : QWebEngineView(parent)
{
    auto* page = new PanePage(profile, this);
    QWebEngineSettings* settings = page->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);

    if (role == Role::CategoryPage) {
        auto* channel = new QWebChannel(page);
        channel->registerObject(QStringLiteral("linkBridge"), new LinkBridge(this));
        page->setWebChannel(channel, QWebEngineScript::ApplicationWorld);
        QWebEngineScript hook;
        hook.setName(QStringLiteral("quillery-link-hook"));
        hook.setWorldId(QWebEngineScript::ApplicationWorld);
        hook.setInjectionPoint(QWebEngineScript::DocumentCreation);
        hook.setRunsOnSubFrames(false);
        hook.setSourceCode(readResource(QStringLiteral(":/qtwebchannel/qwebchannel.js")) +
                           readResource(QStringLiteral(":/quillery/linkhook.js")));
        page->scripts().insert(hook);
    } else {
        page->setUrlRequestInterceptor(new RemoteSubresourceBlocker(page));
    }
    setPage(page);
    setContextMenuPolicy(Qt::NoContextMenu);

    connect(page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        switch (info.status()) {
        case QWebEngineLoadingInfo::LoadSucceededStatus:
            emit DocumentComplete(info.url());
            emit DownloadComplete(info.url());
            break;
        case QWebEngineLoadingInfo::LoadFailedStatus:
        case QWebEngineLoadingInfo::LoadStoppedStatus:
            emit DownloadComplete(info.url());
            break;
        case QWebEngineLoadingInfo::LoadStartedStatus:
            break;
        }
    });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && (now == this || isAncestorOf(now)))
            emit GotFocus();
    });
}

BrowserPane::~BrowserPane()
{
    // The page has to go before the profile it was made with, and the profile
    // may be destroyed right after the view.
    delete page();
}

void BrowserPane::Navigate2(const QString& path)
{
    Navigate2(QUrl::fromLocalFile(path));
}

void BrowserPane::Navigate2(const QUrl& url)
{
    load(url);
}

bool BrowserPane::askBeforeNavigate(const QUrl& url)
{
    if (!m_acceptedOnce.isEmpty() && url == m_acceptedOnce) {
        m_acceptedOnce.clear();
        return true;
    }
    bool cancel = false;
    emit BeforeNavigate2(url, &cancel);
    return !cancel;
}

void BrowserPane::linkActivated(const QUrl& url)
{
    if (!url.isValid() || !askBeforeNavigate(url))
        return;
    // Already asked: the navigation hook must not ask a second time.
    m_acceptedOnce = url;
    load(url);
}

#include "browserpane.moc"
