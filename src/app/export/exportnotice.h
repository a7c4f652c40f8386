#pragma once

#include <QFrame>
#include <QKeySequence>
#include <QString>
#include <QTimer>

#include <functional>

class QLabel;
class QPushButton;
class QShortcut;

// Confirms a finished export without stopping the user: a bar along the
// bottom of the preview that names the file, shows it in its folder or opens
// it on request and goes away by itself, but not while the keyboard or the
// pointer is on it.
class ExportNotice : public QFrame
{
    Q_OBJECT
    // Milliseconds the notice stays once nobody is on it.
    Q_PROPERTY(int timeout READ timeout WRITE setTimeout)

public:
    // Lies over the bottom of `anchor` and follows it; `focusAfter` takes the
    // keyboard when the notice is closed while holding it. `parent` is the
    // window, so the notice covers the anchor without being part of its layout.
    // `name` is its object name and the start of its parts' names.
    ExportNotice(QWidget* anchor, QWidget* focusAfter, QWidget* parent,
                 const QString& name = QStringLiteral("exportNotice"));

    // `text` says more than the file's name when it is given.
    void showExported(const QString& filePath, const QString& text = QString());
    // Says `text` without an Open button, until it is closed.
    void showMessage(const QString& text);
    // Says `text` with one button, `actionText`, that runs `action` and
    // closes the notice; `keys` are the window's keys for the same, named in
    // its tooltip. It goes away by itself as an export's notice does.
    void showAction(const QString& text, const QString& actionText, const QKeySequence& keys,
                    std::function<void()> action);

    int timeout() const { return m_timer.interval(); }
    void setTimeout(int milliseconds) { m_timer.setInterval(milliseconds); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void openFolder();
    void openFile();
    void dismiss();
    void expire();
    void place();
    void layOut();
    void say(const QString& text);

    QWidget* m_anchor;
    QWidget* m_focusAfter;
    QLabel* m_text = nullptr;
    QPushButton* m_open = nullptr;     // the folder, with the file selected
    QPushButton* m_openFile = nullptr; // the file itself, in the program for it
    QPushButton* m_action = nullptr;   // showAction's
    std::function<void()> m_run;
    QPushButton* m_close = nullptr;
    QShortcut* m_openShortcut = nullptr;
    QTimer m_timer;
    QString m_filePath;
    QString m_message; // before it is cut to fit
};
