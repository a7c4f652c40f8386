#pragma once

#include "core/platform/status.h"
#include "core/platform/trash.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class GalleryWindow;
class QAction;
class QMimeData;
class QWidget;
class ThumbnailRenderer;

// The user's own templates in the window: added from a file (Ctrl+O or a
// drop), renamed (F2) and removed (Delete). The work is UserLibrary's; this
// asks, reports and has the window show the outcome.
class OwnTemplatesController : public QObject
{
    Q_OBJECT

public:
    // The commands are actions of `owner`, which their dialogs belong to.
    OwnTemplatesController(GalleryWindow& window, QWidget* owner, QObject* parent = nullptr);
    ~OwnTemplatesController() override;

    // The commands: each asks, then reports in a message box.
    void add();
    void rename();
    void remove();
    // A file dropped on the window, asked about once the drop has ended.
    bool acceptsDrop(const QMimeData* data) const;
    void drop(const QMimeData* data);

    // The work itself, without asking; each says why it did nothing.
    Status addTemplate(const QString& file, const QString& category, const QString& name);
    Status renameTemplate(const QString& oldName, const QString& newName);
    // Removes for good.
    Status removeTemplate(const QString& name);
    // Removes into the desktop's trash, from where undoRemove puts it back.
    Status trashTemplate(const QString& name);
    // Puts the template removed last back where it was, under its name, or
    // under a free one when the name was taken meanwhile (Ctrl+Z).
    Status undoRemove();
    bool canUndoRemove() const { return m_trashed.has_value(); }
    QAction* undoAction() const { return m_undoAction; }

signals:
    // The user's library changed: what is read from it is read again.
    void templatesChanged();
    void templateRenamed(const QString& oldName, const QString& newName);
    void templateRemoved(const QString& name);
    // Into the trash: the window offers to undo it.
    void templateTrashed(const QString& name);
    // Put back by undoRemove, as `name`, which differs from `wanted` when
    // another template took that name meanwhile.
    void templateRestored(const QString& wanted, const QString& name);

private:
    enum class Command { Rename, Remove };
    // Why the previewed template cannot be changed by `command`, or success.
    Status checkPreviewed(Command command) const;
    void askToAdd(const QString& file);

    // What a removal put into the trash, to put it back as it was.
    struct Trashed
    {
        QString name;
        QString category;
        qsizetype position = 0;
        Trash::Item templateFile;
        std::optional<Trash::Item> thumbnail;
    };
    void forgetTrashed();

    GalleryWindow& m_window;
    QWidget* m_owner;
    std::optional<Trashed> m_trashed;
    bool m_trashRefused = false; // the last trashTemplate failed at the trash itself
    QAction* m_undoAction = nullptr;
    std::unique_ptr<ThumbnailRenderer> m_thumbnails; // made at the first added template
};
