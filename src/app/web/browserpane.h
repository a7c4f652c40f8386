#pragma once

#include "panepolicy.h"

#include <QUrl>
#include <QWebEngineView>

class QWebEngineProfile;

// One browser pane of the main window. It offers the events the window is
// written against: BeforeNavigate2 with a cancel flag before every navigation
// (same-document link clicks included), DocumentComplete when a document has
// loaded with its images, DownloadComplete when a load has ended either way,
// and GotFocus. Page scripts and plugins are off and there is no context menu.
// A page is untrusted content: it loads local files only from the pane's own
// folder, nothing remote, and cannot navigate the pane on its own (a refresh
// or a redirect that no click started is refused). A click takes the preview
// only to the web or its own anchors, and the category pane only to pages of
// its own folder (see PanePolicy::MayFollowClick); a clicked mail address goes
// to the desktop's mail program, and no other scheme ever reaches the desktop. The preview is no
// stop of the keyboard's tab walk: it takes focus from a click only, which the window hands on to
// the category page.
class BrowserPane : public QWebEngineView
{
    Q_OBJECT

public:
    enum class Role {
        CategoryPage, // same-document link clicks are reported too
        Preview
    };

    BrowserPane(QWebEngineProfile* profile, Role role, QWidget* parent = nullptr);
    ~BrowserPane() override;

    void Navigate2(const QString& path);
    void Navigate2(const QUrl& url);
    // The folder whose files the pane's pages may show; until it is set, no
    // local file is loaded into a page.
    void setLocalRoot(const QString& folder);

signals:
    void BeforeNavigate2(const QUrl& url, bool* cancel);
    void DocumentComplete(const QUrl& url);
    void DownloadComplete(const QUrl& url);
    void GotFocus();

protected:
    void childEvent(QChildEvent* event) override;

private:
    friend class PanePage;
    friend class LinkBridge;
    bool askBeforeNavigate(const QUrl& url);
    bool acceptNavigation(const QUrl& url, int type, bool isMainFrame);
    // A click the engine does not ask about itself: a link the link hook
    // caught, or one that asked for a new window.
    void linkActivated(const QUrl& url);
    // Whether a click on `url` may move this pane; hands a mail address on.
    bool mayFollowClick(const QUrl& url);

    const PanePolicy::PaneKind m_kind;

    QUrl m_acceptedOnce;
    QString m_localRoot;
    // A load the user started (a click, a key) is under way: a server's
    // redirect belongs to it. Any other redirect is the page's own doing.
    bool m_userLoadUnderWay = false;
    const bool m_tabStop;
};
