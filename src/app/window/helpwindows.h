#pragma once

#include <QDialog>
#include <QKeySequence>
#include <QList>
#include <QString>

class QTextBrowser;
class QTableWidget;
class QUrl;

namespace HelpWindows {

// One key of a window and what it does, as the window registered it.
struct Key
{
    QList<QKeySequence> keys;
    QString command;
};

// Every key `window` answers to: its shortcuts and the shortcuts of its
// actions, read from the objects that carry them, so that the overview can
// never tell of a key the window does not have, nor leave one out.
QList<Key> keysOf(const QWidget& window);

// "Ctrl+E" or "F10 or Ctrl+M", as the desktop writes keys.
QString keysText(const QList<QKeySequence>& keys);

} // namespace HelpWindows

// The user guide, bundled with the program and shown without a network: its
// links to its own headings move within it, web links go to the desktop's
// browser, and any other link does nothing.
class HelpWindow : public QDialog
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent);

    QTextBrowser* browser() const { return m_browser; }
    // What a click on `url` does: moves to a heading, opens the browser, or nothing.
    void follow(const QUrl& url);

private:
    QTextBrowser* m_browser = nullptr;
};

// The keys of the main window in a table, read from the window itself.
class ShortcutOverview : public QDialog
{
    Q_OBJECT

public:
    ShortcutOverview(const QWidget& window, QWidget* parent);

    QTableWidget* table() const { return m_table; }

private:
    QTableWidget* m_table = nullptr;
};

// The program's name, version and licences, and those of what it ships or links.
class AboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit AboutBox(QWidget* parent);

    QString text() const;

private:
    QTextBrowser* m_text = nullptr;
};
