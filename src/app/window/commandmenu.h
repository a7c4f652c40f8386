#pragma once

#include "core/platform/status.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class BrowserPane;
class Form1;
class QAction;
class QDrag;
class QMenu;
class QMimeData;
class QTemporaryDir;
class QWidget;

// The window's commands as menus: every command with its key, and a context
// menu on a thumbnail (of a category page or of the search results) and on
// the preview with what applies there. The entries are the window's own
// actions, so a menu, a context menu and a key always run the same command.
// A thumbnail's entry previews that template first and then runs the command
// on it, as its keys would. It also copies a template to the clipboard and
// drags a thumbnail out of the window as an .eml file.
class CommandMenu : public QObject
{
    Q_OBJECT

public:
    enum class Place { Thumbnail, Preview };
    enum class CopyAs { Html, RichText };

    CommandMenu(Form1& window, BrowserPane* categoryPane, BrowserPane* preview,
                QObject* parent = nullptr);
    ~CommandMenu() override;

    // The menus, built afresh each time from the window's actions; the caller owns them.
    QMenu* contextMenu(Place place, const QString& name, QWidget* parent);
    QMenu* commandsMenu(QWidget* parent);
    // The menu shown last while it is open, for a test to read and choose from.
    QMenu* shownMenu() const;
    void popupCommands(const QPoint& globalPos);
    // What the keys of the context menu open, where the keyboard is.
    void popupContextMenuAtFocus();

    // What a copy of `name` puts on the clipboard, or null with `status` saying why.
    std::unique_ptr<QMimeData> copyData(const QString& name, CopyAs as, Status* status);
    // What dragging the thumbnail of `name` out carries: an .eml file, staged
    // in the workspace, that stays until the next drag or the window closes.
    std::unique_ptr<QMimeData> dragData(const QString& name, Status* status);
    // Runs a drag; a test puts its own in place of the desktop's.
    void setDragRunner(std::function<void(QDrag*)> runner) { m_runDrag = std::move(runner); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* addCommand(const char* name, const QString& text, const QString& whatsThis,
                        const QList<QKeySequence>& keys, void (CommandMenu::*run)());
    // The template a command runs on: the one whose menu is open, else the previewed one.
    QString target() const;
    void popup(QMenu* menu, const QPoint& globalPos);
    void popupContextMenu(Place place, const QString& name, const QPoint& globalPos);
    void paneMenuRequested(BrowserPane* pane, const QPoint& pos);
    QString templateOfLink(const QUrl& link) const;
    void copyHtml();
    void copyRichText();
    void copy(CopyAs as);
    void showInFolder();
    void startDrag(const QString& name);
    void watchPaneChildren();

    Form1& m_window;
    BrowserPane* m_categoryPane;
    BrowserPane* m_preview;
    QString m_menuTarget;
    QPointer<QMenu> m_shown;
    QAction* m_previewAction = nullptr;
    QAction* m_copyHtml = nullptr;
    QAction* m_copyRichText = nullptr;
    QAction* m_showInFolder = nullptr;
    // A drag starts from a press on a thumbnail link, which the page names
    // while the pointer is over it.
    QString m_hoveredTemplate;
    QString m_pressedTemplate;
    QPoint m_pressPos;
    std::unique_ptr<QTemporaryDir> m_dragFolder;
    std::function<void(QDrag*)> m_runDrag;
};
