#pragma once

#include "core/gallery/check/sendcheck.h"
#include "core/platform/status.h"
#include "previewviews.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

class BrowserPane;
class CheckPanel;
class GalleryWindow;
class LinkProbe;
class QThread;

// The Check view: the pre-send report of the previewed template, made off
// the window's thread, with what only the engine can tell (contrast, text
// size) read from the preview in the program's own script world, and the
// link check on request. A template that makes a checker hang or explode
// gives a partial report that says what was left out.
class CheckController : public QObject
{
    Q_OBJECT

public:
    // The panel is a child of `panelParent`, which places it.
    CheckController(GalleryWindow& window, BrowserPane* preview, QWidget* panelParent,
                    QObject* parent = nullptr);
    ~CheckController() override;

    // The message the report is about: the previewed template as "> eml"
    // would send it, by default as shipped. The window hands in the exports'
    // own source, so that the report describes what actually goes out, in the
    // brand that is on.
    static Result<QByteArray> messageToSend(const GalleryWindow& window);
    void setMessageSource(std::function<Result<QByteArray>()> source)
    {
        m_source = std::move(source);
    }

    CheckPanel* panel() const { return m_panel; }
    bool isShown() const { return m_shown; }
    void setShown(bool shown);
    void setView(const PreviewViews::View& view);
    // A preview page has loaded: the report follows the template it shows.
    void previewShown(const QString& name);

    // How far the checks go; tests and the benchmark set their own.
    void setOptions(const SendCheck::Options& options) { m_options = options; }
    void setEngineSeconds(int seconds) { m_engineSeconds = seconds; }

    const SendCheck::Report& report() const { return m_shownReport; }
    bool isRunning() const { return m_stage != Stage::Done; }

    // Scrolls the preview to the element and outlines it.
    void locate(const SendCheck::Locator& where);
    void checkLinks();

signals:
    // The report as shown changed; `finished` once every check that runs by
    // itself has ended.
    void reportChanged(bool finished);
    void located(bool found);
    void linksChecked();

private:
    enum class Stage { Done, Quick, Spam };

    void start();
    void runWorker(const QByteArray& message, const SendCheck::Options& options, Stage stage);
    void workerDone(quint64 generation, Stage stage, const SendCheck::Report& report);
    void readEngine();
    void engineDone(quint64 generation, const QString& json);
    void timedOut();
    void compose();

    GalleryWindow& m_window;
    BrowserPane* m_preview;
    CheckPanel* m_panel;
    SendCheck::Options m_options;
    int m_engineSeconds = 10;
    PreviewViews::View m_view;
    bool m_shown = false;

    QString m_name;      // the template the report is about
    QString m_pageShown; // the template whose page the preview shows
    quint64 m_generation = 0;
    Stage m_stage = Stage::Done;
    QTimer m_watchdog;
    QList<QThread*> m_workers;

    SendCheck::Report m_base; // what check() found
    QList<SendCheck::Finding> m_engineFindings;
    QList<SendCheck::Gap> m_engineGaps;
    bool m_enginePending = false;
    QTimer m_engineWatchdog;
    QList<SendCheck::Finding> m_linkFindings;
    QList<SendCheck::Gap> m_linkGaps;
    QPointer<LinkProbe> m_probe;
    SendCheck::Report m_shownReport;
    std::function<Result<QByteArray>()> m_source;
};
