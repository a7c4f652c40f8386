#include "browserpane.h"

#include "core/platform/opener.h"
#include "panepolicy.h"

#include <QApplication>
#include <QChildEvent>
#include <QFile>
#include <QWebChannel>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>

// The pane's scripts live in this static library; its users need not know.
static void initWebResources()
{
    Q_INIT_RESOURCE(web);
}

namespace {

QString readResource(const QString& path)
{
    initWebResources();
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void leaveTabChain(QWidget* widget)
{
    widget->setFocusPolicy(Qt::FocusPolicy(widget->focusPolicy() & ~Qt::TabFocus));
}

// Mail programs fetch nothing a message refers to until asked, and a page
// must not read the user's files: what the page loads to show itself comes
// from the pane's own folder. The main frame's loads are the navigation
// hook's to decide.
class SubresourceFilter : public QWebEngineUrlRequestInterceptor
{
public:
    SubresourceFilter(const QString* root, QObject* parent)
        : QWebEngineUrlRequestInterceptor(parent), m_root(root)
    {
    }
    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        if (info.resourceType() != QWebEngineUrlRequestInfo::ResourceTypeMainFrame &&
            !PanePolicy::MayLoadSubresource(info.requestUrl(), *m_root))
            info.block(true);
    }

private:
    const QString* m_root;
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
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override
    {
        return m_pane->acceptNavigation(url, type, isMainFrame);
    }

    // A link that asks for a new window is a click like any other; the pane
    // decides about it (newWindowRequested) and no window is ever made, so
    // that no load escapes the pane's rules for clicks.
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }

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
    : QWebEngineView(parent), m_kind(role == Role::Preview ? PanePolicy::PaneKind::Preview
                                                           : PanePolicy::PaneKind::CategoryPage),
      m_tabStop(role == Role::CategoryPage)
{
    if (!m_tabStop)
        leaveTabChain(this);
    auto* page = new PanePage(profile, this);
    QWebEngineSettings* settings = page->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
    // A scheme the engine does not know would go to whatever program the
    // desktop registered for it: a page's author would choose what runs.
    settings->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
    page->setUrlRequestInterceptor(new SubresourceFilter(&m_localRoot, page));

    {
        auto* channel = new QWebChannel(page);
        channel->registerObject(QStringLiteral("linkBridge"), new LinkBridge(this));
        page->setWebChannel(channel, QWebEngineScript::ApplicationWorld);
        QWebEngineScript hook;
        hook.setName(QStringLiteral("quillery-link-hook"));
        hook.setWorldId(QWebEngineScript::ApplicationWorld);
        hook.setInjectionPoint(QWebEngineScript::DocumentCreation);
        hook.setRunsOnSubFrames(false);
        // The grid's arrow keys belong to the pages of thumbnails only.
        hook.setSourceCode(
            readResource(QStringLiteral(":/qtwebchannel/qwebchannel.js")) +
            QStringLiteral("var quilleryLinkHook = {mail: %1};\n")
                .arg(role == Role::Preview ? QStringLiteral("true") : QStringLiteral("false")) +
            readResource(QStringLiteral(":/quillery/linkhook.js")) +
            (role == Role::Preview ? QString()
                                   : readResource(QStringLiteral(":/quillery/thumbnailkeys.js"))));
        page->scripts().insert(hook);
    }
    setPage(page);
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(page, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest& request) {
                if (request.isUserInitiated())
                    linkActivated(request.requestedUrl());
            });

    connect(page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        if (info.status() != QWebEngineLoadingInfo::LoadStartedStatus)
            m_userLoadUnderWay = false;
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

void BrowserPane::childEvent(QChildEvent* event)
{
    QWebEngineView::childEvent(event);
    // The engine makes the widget that takes the keys for the page, with a
    // policy of its own, and may replace it. When a page's own tab walk ends
    // the engine hands focus on along the window's tab chain, and a stop in
    // the preview would let the keys walk, scroll and follow its links.
    if (event->type() != QEvent::ChildPolished || !event->child()->isWidgetType())
        return;
    auto* keys = static_cast<QWidget*>(event->child());
    if (!m_tabStop)
        leaveTabChain(keys);
    // Where the keyboard lands in the pane, screen readers name the pane.
    if (keys->accessibleName().isEmpty())
        keys->setAccessibleName(accessibleName());
}

void BrowserPane::Navigate2(const QString& path)
{
    Navigate2(QUrl::fromLocalFile(path));
}

void BrowserPane::Navigate2(const QUrl& url)
{
    load(url);
}

void BrowserPane::setLocalRoot(const QString& folder)
{
    m_localRoot = PanePolicy::rootOf(folder);
}

bool BrowserPane::acceptNavigation(const QUrl& url, int type, bool isMainFrame)
{
    // A frame is part of the page that holds it.
    if (!isMainFrame)
        return url.scheme() == u"about" || PanePolicy::MayLoadSubresource(url, m_localRoot);
    switch (QWebEnginePage::NavigationType(type)) {
    case QWebEnginePage::NavigationTypeTyped: { // the program's own load
        // ... or a click that linkActivated has already let through.
        const bool clicked = !m_acceptedOnce.isEmpty() && url == m_acceptedOnce;
        if (!askBeforeNavigate(url))
            return false;
        m_userLoadUnderWay = clicked;
        return true;
    }
    case QWebEnginePage::NavigationTypeLinkClicked:
    case QWebEnginePage::NavigationTypeFormSubmitted:
        // The window hears of every click first: a template link of the
        // category page is its to handle.
        if (!askBeforeNavigate(url) || !mayFollowClick(url))
            return false;
        m_userLoadUnderWay = true;
        return true;
    case QWebEnginePage::NavigationTypeBackForward:
    case QWebEnginePage::NavigationTypeReload:
        // Only to pages the pane has shown already.
        if (!askBeforeNavigate(url))
            return false;
        m_userLoadUnderWay = true;
        return true;
    case QWebEnginePage::NavigationTypeRedirect:
        // A refresh, or a redirect that no click started, is the page moving
        // the pane on its own; a server may redirect a clicked link, but only
        // where a click itself may go: never onto the user's files, the
        // program's resources or another program.
        return m_userLoadUnderWay &&
               PanePolicy::MayFollowClick(m_kind, url, this->url(), m_localRoot) &&
               askBeforeNavigate(url);
    case QWebEnginePage::NavigationTypeOther:
        break;
    }
    return false;
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

bool BrowserPane::mayFollowClick(const QUrl& url)
{
    if (m_kind == PanePolicy::PaneKind::Preview && PanePolicy::IsMailLink(url)) {
        Module1::openMailLink(url);
        return false;
    }
    return PanePolicy::MayFollowClick(m_kind, url, this->url(), m_localRoot);
}

void BrowserPane::linkActivated(const QUrl& url)
{
    if (!url.isValid() || !askBeforeNavigate(url) || !mayFollowClick(url))
        return;
    // Already asked: the navigation hook must not ask a second time.
    m_acceptedOnce = url;
    load(url);
}

#include "browserpane.moc"
