#pragma once

#include "core/platform/status.h"

#include <QObject>
#include <QString>

#include <memory>

class GalleryWindow;
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
    Status removeTemplate(const QString& name);

signals:
    // The user's library changed: what is read from it is read again.
    void templatesChanged();
    void templateRenamed(const QString& oldName, const QString& newName);
    void templateRemoved(const QString& name);

private:
    enum class Command { Rename, Remove };
    // Why the previewed template cannot be changed by `command`, or success.
    Status checkPreviewed(Command command) const;
    void askToAdd(const QString& file);

    GalleryWindow& m_window;
    QWidget* m_owner;
    std::unique_ptr<ThumbnailRenderer> m_thumbnails; // made at the first added template
};
