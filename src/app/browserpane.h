#pragma once

#include <QUrl>
#include <QWebEngineView>

class QWebEngineProfile;

// One browser pane of the main window. It offers the events the window is
// written against: BeforeNavigate2 with a cancel flag before every navigation
// (same-document link clicks included), DocumentComplete when a document has
// loaded with its images, DownloadComplete when a load has ended either way,
// and GotFocus. Page scripts and plugins are off and there is no context menu.
class BrowserPane : public QWebEngineView
{
    Q_OBJECT

public:
    enum class Role {
        CategoryPage, // every navigation is reported first and may be cancelled
        Preview       // loads no remote subresources, as a mail program would not
    };

    BrowserPane(QWebEngineProfile* profile, Role role, QWidget* parent = nullptr);
    ~BrowserPane() override;

    void Navigate2(const QString& path);
    void Navigate2(const QUrl& url);

signals:
    void BeforeNavigate2(const QUrl& url, bool* cancel);
    void DocumentComplete(const QUrl& url);
    void DownloadComplete(const QUrl& url);
    void GotFocus();

private:
    friend class PanePage;
    friend class LinkBridge;
    bool askBeforeNavigate(const QUrl& url);
    void linkActivated(const QUrl& url);

    QUrl m_acceptedOnce;
};
