// The user's own templates in the window: added from a file (Ctrl+O or a
// drop), renamed (F2) and removed (Delete). The work is UserLibrary's; this
// file asks, reports and shows the outcome.

#include "form1.h"

#include "searchindexloader.h"

#include "addtemplatedialog.h"
#include "browserpane.h"
#include "core/gallery/templatelibrary.h"
#include "core/gallery/userlibrary.h"
#include "thumbnailrenderer.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QStandardPaths>

namespace {

const QString MessageTitle = QStringLiteral("Quillery 1");
// Shown after an own category's name in the list; never part of the name.
const char* const OwnMarker = QT_TRANSLATE_NOOP("Form1", " (yours)");

QString quoted(const QString& name)
{
    //: Quotation marks around a template's name.
    return QCoreApplication::translate("Form1", "\u201c%1\u201d").arg(name);
}

// The one file of a drop that can become a template, or empty.
QString droppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 ||
        !data->urls().first().isLocalFile())
        return QString();
    const QString file = data->urls().first().toLocalFile();
    const QString suffix = QFileInfo(file).suffix().toLower();
    return suffix == QLatin1String("eml") || suffix == QLatin1String("htm") ||
                   suffix == QLatin1String("html")
               ? file
               : QString();
}

} // namespace

QString Form1::currentCategory() const
{
    const QVariant name = cboCategory->currentData();
    return name.isValid() ? name.toString() : cboCategory->currentText();
}

QString Form1::currentLibrary() const
{
    const QString folder = m_libraries.folderOf(currentCategory());
    return folder.isEmpty() ? m_appFolder : folder;
}

QString Form1::templateLibrary() const
{
    return m_libraries.templateFolder(CurrentTemplate, currentCategory());
}

void Form1::refillCategories(const QString& category)
{
    const QSignalBlocker blocker(cboCategory);
    cboCategory->clear();
    for (const LibrarySet::Category& entry : m_libraries.categories()) {
        cboCategory->addItem(entry.own ? entry.name + tr(OwnMarker) : entry.name, entry.name);
        if (entry.own)
            cboCategory->setItemData(cboCategory->count() - 1, tr("One of your own categories"),
                                     Qt::AccessibleDescriptionRole);
    }
    cboCategory->setCurrentIndex(std::max(0, cboCategory->findData(category)));
    enableExports();
}

void Form1::createOwnCommands()
{
    setAcceptDrops(true);
    struct Command
    {
        const char* name; // also names the action, in English
        const char* toolTip;
        QKeySequence key;
        void (Form1::*run)();
    };
    const Command commands[] = {
        {QT_TR_NOOP("Add a template\u2026"),
         QT_TR_NOOP("Add a message (.eml) or a page (.htm, .html) to your own templates"),
         QKeySequence(Qt::CTRL | Qt::Key_O), &Form1::AddTemplate},
        {QT_TR_NOOP("Rename the template\u2026"),
         QT_TR_NOOP("Rename the previewed template, when it is one of yours"),
         QKeySequence(Qt::Key_F2), &Form1::RenameTemplate},
        {QT_TR_NOOP("Remove the template\u2026"),
         QT_TR_NOOP("Remove the previewed template, when it is one of yours"),
         QKeySequence(Qt::Key_Delete), &Form1::RemoveTemplate},
    };
    for (const Command& command : commands) {
        auto* action = new QAction(tr(command.name), this);
        action->setObjectName(
            QString::fromUtf8(command.name).section(QLatin1Char(' '), 0, 0).toLower() +
            QStringLiteral("TemplateAction"));
        action->setToolTip(tr(command.toolTip) + QStringLiteral(" (%1)").arg(command.key.toString(
                                                     QKeySequence::NativeText)));
        action->setShortcut(command.key);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setAutoRepeat(false);
        connect(action, &QAction::triggered, this, command.run);
        addAction(action);
    }
}

void Form1::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event)
{
    const QString file = droppedFile(event->mimeData());
    if (file.isEmpty())
        return;
    event->acceptProposedAction();
    // The program the file came from waits for the drop to end: ask afterwards.
    QMetaObject::invokeMethod(
        this, [this, file] { askToAdd(file); }, Qt::QueuedConnection);
}

void Form1::AddTemplate()
{
    const QString file = QFileDialog::getOpenFileName(
        this, tr("Add a template"),
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
        tr("Templates (*.eml *.htm *.html);;Messages (*.eml);;Pages (*.htm *.html)"));
    if (!file.isEmpty())
        askToAdd(file);
}

void Form1::askToAdd(const QString& file)
{
    QStringList own;
    for (const LibrarySet::Category& entry : m_libraries.categories())
        if (entry.own)
            own << entry.name;
    const QString category =
        m_libraries.isOwn(currentCategory()) ? currentCategory() : UserLibrary::DefaultCategory;
    AddTemplateDialog dialog(file, own, category, UserLibrary::DefaultName(file), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (const Status status = addOwnTemplate(file, dialog.category(), dialog.name()); !status)
        QMessageBox::warning(this, MessageTitle,
                             tr("The template was not added.") + QStringLiteral("\n\n") +
                                 status.message());
}

Status Form1::addOwnTemplate(const QString& file, const QString& category, const QString& name)
{
    const Result<UserLibrary::Added> added = UserLibrary::Add(m_libraries, file, category, name);
    if (!added)
        return added.status();
    if (!m_thumbnails)
        m_thumbnails = std::make_unique<ThumbnailRenderer>();
    // Without its picture the template still works; the placeholder says so.
    const Status drawn = m_thumbnails->writeThumbnail(added->templatePath, added->thumbnailPath);
    m_searchIndex->start();
    refillCategories(added->category);
    cboCategory_Click();
    SelectTemplate(added->name);
    if (!drawn)
        QMessageBox::information(
            this, MessageTitle,
            tr("The template was added, but its thumbnail could not be drawn.") +
                QStringLiteral("\n\n") + drawn.message());
    return Status::success();
}

Status Form1::checkOwnTemplate(const QString& what) const
{
    // Whole sentences for each command, so that each language can say them its own way.
    const bool renaming = what == u"rename";
    if (CurrentTemplate.isEmpty())
        return Status::failure(renaming ? tr("There is no template in the preview to rename.")
                                        : tr("There is no template in the preview to remove."));
    if (!m_libraries.isOwn(currentCategory()) || !m_libraries.isOwnTemplate(CurrentTemplate))
        return Status::failure((renaming ? tr("%1 is a shipped template: only your own templates, "
                                              "added with Ctrl+O, can be renamed.")
                                         : tr("%1 is a shipped template: only your own templates, "
                                              "added with Ctrl+O, can be removed."))
                                   .arg(quoted(CurrentTemplate)));
    return Status::success();
}

void Form1::RenameTemplate()
{
    if (const Status status = checkOwnTemplate(QStringLiteral("rename")); !status) {
        QMessageBox::information(this, MessageTitle, status.message());
        return;
    }
    bool ok = false;
    const QString name = QInputDialog::getText(this, tr("Rename the template"),
                                               tr("New name of %1:").arg(quoted(CurrentTemplate)),
                                               QLineEdit::Normal, CurrentTemplate, &ok);
    if (!ok || name == CurrentTemplate)
        return;
    if (const Status status = renameOwnTemplate(CurrentTemplate, name); !status)
        QMessageBox::warning(this, MessageTitle,
                             tr("The template was not renamed.") + QStringLiteral("\n\n") +
                                 status.message());
}

Status Form1::renameOwnTemplate(const QString& oldName, const QString& newName)
{
    const QString category = currentCategory();
    if (const Status status = UserLibrary::Rename(m_libraries, oldName, newName); !status)
        return status;
    forgetRecent(oldName, newName);
    m_searchIndex->start();
    refillCategories(category);
    cboCategory_Click();
    SelectTemplate(newName);
    return Status::success();
}

void Form1::RemoveTemplate()
{
    if (const Status status = checkOwnTemplate(QStringLiteral("remove")); !status) {
        QMessageBox::information(this, MessageTitle, status.message());
        return;
    }
    const QString name = CurrentTemplate;
    const auto answer = QMessageBox::question(
        this, MessageTitle,
        tr("Remove the template %1 from your templates? This cannot be undone.").arg(quoted(name)),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    if (const Status status = removeOwnTemplate(name); !status)
        QMessageBox::warning(this, MessageTitle,
                             tr("The template was not removed.") + QStringLiteral("\n\n") +
                                 status.message());
}

Status Form1::removeOwnTemplate(const QString& name)
{
    const QString category = currentCategory();
    if (const Status status = UserLibrary::Remove(m_libraries, name); !status)
        return status;
    forgetRecent(name);
    m_searchIndex->start();
    // A category left empty is gone: the list then shows its first one.
    refillCategories(category);
    if (cboCategory->count() > 0)
        cboCategory_Click();
    return Status::success();
}
