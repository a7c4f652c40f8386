#pragma once

#include <QList>
#include <QObject>

#include <functional>

class ButtonPlus;
class GalleryWindow;
class QComboBox;
class QWidget;

// The window's keys: every command works from the keyboard wherever the
// focus is in the window, so the keys belong to the window, not to a button,
// and each says what it does for the keyboard overview;
// Ctrl+Up and Ctrl+Down step through the category's templates, Ctrl+PgUp and
// Ctrl+PgDown through the categories; and the keyboard's walk through the
// window stays in reading order as the engine replaces its widgets.
class KeysController : public QObject
{
    Q_OBJECT

public:
    // `buttons` are the command buttons in their order, `categories` the
    // category list; `pane` is the category page, whose key widget the engine
    // makes anew.
    KeysController(GalleryWindow& window, QWidget* windowWidget, const QList<ButtonPlus*>& buttons,
                   QComboBox* categories, QWidget* pane, QObject* parent = nullptr);

    // The keyboard's walk, in reading order, as the window lists it; set
    // again whenever the category page's key widget changes.
    void setTabWalk(std::function<QList<QWidget*>()> walk);
    void orderTabs();

    // Steps through the templates in the order the category page shows them,
    // and stops at either end, as the category keys do.
    void stepTemplate(int step);
    void stepCategory(int step);

signals:
    // The list shows another category: the window shows its page.
    void categoryChosen();
    // F1: the user guide; Ctrl+?: the overview of these keys.
    void helpRequested();
    void shortcutsRequested();
    // Ctrl+Alt+E: the export for a mailing service, which has no button.
    void serviceExportRequested();
    // Ctrl+Shift+T: a test of the previewed template to real inboxes.
    void sendTestRequested();

private:
    GalleryWindow& m_window;
    QWidget* m_windowWidget;
    QComboBox* m_categories;
    QWidget* m_pane;
    std::function<QList<QWidget*>()> m_walk;
};
