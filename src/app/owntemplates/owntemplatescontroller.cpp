// The user's own templates in the window: added from a file (Ctrl+O or a
// drop), renamed (F2) and removed (Delete). The work is UserLibrary's; this
// file asks, reports and shows the outcome.

#include "owntemplatescontroller.h"

#include "addtemplatedialog.h"
#include "browserpane.h"
#include "categorynames.h"
#include "core/gallery/library/templatelibrary.h"
#include "core/gallery/userlibrary/templateimport.h"
#include "core/gallery/userlibrary/userlibrary.h"
#include "core/platform/fileio.h"
#include "core/platform/trash.h"
#include "dialogstyle.h"
#include "failurereport.h"
#include "gallerywindow.h"
#include "plaintext.h"
#include "thumbnailrenderer.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

QString quoted(const QString& name)
{
    //: Quotation marks around a template's name.
    return QCoreApplication::translate("OwnTemplatesController", "\u201c%1\u201d").arg(name);
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

// A page is only a page when it holds HTML; a text file that took the name is
// refused before the user is asked where to put it.
Status checkPageFile(const QString& file)
{
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix != QLatin1String("htm") && suffix != QLatin1String("html"))
        return Status::success();
    QFile page(file);
    if (!page.open(QIODevice::ReadOnly))
        return Status::failure(QDir::toNativeSeparators(file) + QStringLiteral(": ") +
                               page.errorString());
    static const QRegularExpression element(
        QStringLiteral("<\\s*(!doctype\\s+html|html|head|body|table|div|p|h[1-6]|img|a)[\\s>/]"),
        QRegularExpression::CaseInsensitiveOption);
    if (!element.match(QString::fromUtf8(page.read(TemplateImport::maxFileSize()))).hasMatch())
        return Status::failure(
            QDir::toNativeSeparators(file) +
            QCoreApplication::translate("OwnTemplatesController",
                                        ": this is not an HTML page: it holds no HTML "
                                        "elements, only text"));
    return Status::success();
}

} // namespace

OwnTemplatesController::OwnTemplatesController(GalleryWindow& window, QWidget* owner,
                                               QObject* parent)
    : QObject(parent), m_window(window), m_owner(owner)
{
    owner->setAcceptDrops(true);
    struct Command
    {
        const char* name; // also names the action, in English
        const char* toolTip;
        QKeySequence key;
        void (OwnTemplatesController::*run)();
    };
    const Command commands[] = {
        {QT_TR_NOOP("Add a template\u2026"),
         QT_TR_NOOP("Add a message (.eml) or a page (.htm, .html) to your own templates"),
         QKeySequence(Qt::CTRL | Qt::Key_O), &OwnTemplatesController::add},
        {QT_TR_NOOP("Rename the template\u2026"),
         QT_TR_NOOP("Rename the previewed template, when it is one of yours"),
         QKeySequence(Qt::Key_F2), &OwnTemplatesController::rename},
        {QT_TR_NOOP("Remove the template\u2026"),
         QT_TR_NOOP("Remove the previewed template, when it is one of yours"),
         QKeySequence(Qt::Key_Delete), &OwnTemplatesController::remove},
    };
    for (const Command& command : commands) {
        auto* action = new QAction(tr(command.name), owner);
        action->setObjectName(
            QString::fromUtf8(command.name).section(QLatin1Char(' '), 0, 0).toLower() +
            QStringLiteral("TemplateAction"));
        action->setToolTip(tr(command.toolTip) + QStringLiteral(" (%1)").arg(command.key.toString(
                                                     QKeySequence::NativeText)));
        action->setShortcut(command.key);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setAutoRepeat(false);
        connect(action, &QAction::triggered, this, command.run);
        owner->addAction(action);
    }
    // Only while there is a removal to undo, so that the key stays free otherwise.
    m_undoAction = new QAction(tr("Undo the removal"), owner);
    m_undoAction->setObjectName(QStringLiteral("undoRemoveAction"));
    m_undoAction->setShortcut(QKeySequence::Undo);
    m_undoAction->setShortcutContext(Qt::WindowShortcut);
    m_undoAction->setAutoRepeat(false);
    m_undoAction->setWhatsThis(tr("Put the template removed last back where it was"));
    m_undoAction->setEnabled(false);
    connect(m_undoAction, &QAction::triggered, this, [this] {
        if (const Status status = undoRemove(); !status)
            FailureReport::show(m_owner, tr("Undo the removal"),
                                tr("The template was not put back."), status,
                                tr("It is still in the trash, from where your file manager can "
                                   "put it back."));
    });
    owner->addAction(m_undoAction);
}

OwnTemplatesController::~OwnTemplatesController() = default;

bool OwnTemplatesController::acceptsDrop(const QMimeData* data) const
{
    return !droppedFile(data).isEmpty();
}

void OwnTemplatesController::drop(const QMimeData* data)
{
    const QString file = droppedFile(data);
    if (file.isEmpty())
        return;
    // The program the file came from waits for the drop to end: ask afterwards.
    QMetaObject::invokeMethod(
        this, [this, file] { askToAdd(file); }, Qt::QueuedConnection);
}

void OwnTemplatesController::add()
{
    // A folder that is not there would be offered as the file's name.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    QFileDialog dialog(
        m_owner, tr("Add a template"), folder,
        tr("Templates (*.eml *.htm *.html);;Messages (*.eml);;Pages (*.htm *.html)"));
    dialog.setObjectName(QStringLiteral("addFileDialog"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFont(DialogStyle::font());
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        askToAdd(dialog.selectedFiles().constFirst());
}

void OwnTemplatesController::askToAdd(const QString& file)
{
    // The dialog shows the names as the list does; what is stored is the
    // library's name, so "My templates" stays so whatever language shows it.
    const LibrarySet& libraries = m_window.libraries();
    QStringList own;
    QHash<QString, QString> stored;
    const auto offer = [&](const QString& name) {
        const QString shown = CategoryNames::shown({name, libraries.userFolder(), true});
        stored.insert(shown, name);
        return shown;
    };
    for (const LibrarySet::Category& entry : libraries.categories())
        if (entry.own)
            own << offer(entry.name);
    const QString current = m_window.currentCategory();
    const QString category =
        offer(libraries.isOwn(current) ? current : UserLibrary::DefaultCategory);
    const QString advice =
        tr("Choose a complete message (.eml) or HTML page (.htm, .html) that you can read, and "
           "add it again.");
    // Whether the file can become a template at all is known before the user
    // names it.
    if (const Status status = checkPageFile(file); !status) {
        FailureReport::show(m_owner, tr("Add a template"), tr("The template was not added."),
                            status, advice);
        return;
    }
    if (const Result<QByteArray> composed =
            TemplateImport::composeFromFile(file, UserLibrary::defaultName(file));
        !composed) {
        FailureReport::show(m_owner, tr("Add a template"), tr("The template was not added."),
                            composed.status(), advice);
        return;
    }
    AddTemplateDialog dialog(file, own, category, UserLibrary::defaultName(file), m_owner);
    DialogStyle::apply(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (const Status status =
            addTemplate(file, stored.value(dialog.category(), dialog.category()), dialog.name());
        !status)
        FailureReport::show(m_owner, tr("Add a template"), tr("The template was not added."),
                            status,
                            tr("Choose another name or category, or another file, and add "
                               "it again."));
}

Status OwnTemplatesController::addTemplate(const QString& file, const QString& category,
                                           const QString& name)
{
    if (const Status status = checkPageFile(file); !status)
        return status;
    const Result<UserLibrary::Added> added =
        UserLibrary::add(m_window.libraries(), file, category, name);
    if (!added)
        return added.status();
    if (!m_thumbnails)
        m_thumbnails = std::make_unique<ThumbnailRenderer>();
    // Without its picture the template still works; the placeholder says so.
    // Drawn outside the library and put in place under its lock, as the
    // library tool does.
    QTemporaryDir work;
    const QString picture = work.filePath(QStringLiteral("thumbnail.png"));
    Status drawn = work.isValid() ? m_thumbnails->writeThumbnail(added->templatePath, picture)
                                  : Status::failure(QDir::toNativeSeparators(work.path()) +
                                                    QLatin1String(": ") + work.errorString());
    if (drawn) {
        const Result<QByteArray> png = FileIo::readAll(picture);
        drawn =
            png ? UserLibrary::setThumbnail(m_window.libraries(), added->name, *png) : png.status();
    }
    emit templatesChanged();
    m_window.showCategory(added->category);
    m_window.SelectTemplate(added->name);
    if (!drawn)
        FailureReport::show(
            m_owner, tr("Add a template"),
            tr("The template was added, but its thumbnail could not be drawn."), drawn,
            tr("The category page shows a placeholder in its place; the template itself works."),
            QMessageBox::Information);
    return Status::success();
}

Status OwnTemplatesController::checkPreviewed(Command command) const
{
    // Whole sentences for each command, so that each language can say them its own way.
    const bool renaming = command == Command::Rename;
    const QString name = m_window.currentTemplate();
    if (name.isEmpty())
        return Status::failure(renaming ? tr("There is no template in the preview to rename.")
                                        : tr("There is no template in the preview to remove."));
    const LibrarySet& libraries = m_window.libraries();
    // Read from the user's library, whether the list shows its category,
    // the favourites or a search.
    if (m_window.templateLibrary() != libraries.userFolder() || !libraries.isOwnTemplate(name))
        return Status::failure((renaming ? tr("%1 is a shipped template: only your own templates, "
                                              "added with Ctrl+O, can be renamed.")
                                         : tr("%1 is a shipped template: only your own templates, "
                                              "added with Ctrl+O, can be removed."))
                                   .arg(quoted(name)));
    return Status::success();
}

void OwnTemplatesController::rename()
{
    if (const Status status = checkPreviewed(Command::Rename); !status) {
        PlainText::information(m_owner, tr("Rename the template"), status.message());
        return;
    }
    const QString current = m_window.currentTemplate();
    QInputDialog dialog(m_owner);
    dialog.setObjectName(QStringLiteral("RenameTemplateDialog"));
    dialog.setWindowTitle(tr("Rename the template"));
    dialog.setLabelText(tr("New name of %1:").arg(quoted(current)));
    for (QLabel* label : dialog.findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(current);
    //: The button that renames the template, in the rename dialog.
    dialog.setOkButtonText(tr("Rename"));
    DialogStyle::apply(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString name = dialog.textValue();
    if (name == current)
        return;
    if (const Status status = renameTemplate(current, name); !status)
        FailureReport::show(m_owner, tr("Rename the template"), tr("The template was not renamed."),
                            status, tr("Choose another name and rename it again."));
}

Status OwnTemplatesController::renameTemplate(const QString& oldName, const QString& newName)
{
    const QString category = m_window.currentCategory();
    if (const Status status = UserLibrary::rename(m_window.libraries(), oldName, newName); !status)
        return status;
    emit templateRenamed(oldName, newName);
    emit templatesChanged();
    m_window.showCategory(category);
    // Stored in its composed form, as UserLibrary::rename keeps every name.
    m_window.SelectTemplate(newName.normalized(QString::NormalizationForm_C));
    return Status::success();
}

void OwnTemplatesController::remove()
{
    if (const Status status = checkPreviewed(Command::Remove); !status) {
        PlainText::information(m_owner, tr("Remove the template"), status.message());
        return;
    }
    const QString name = m_window.currentTemplate();
    // Into the trash without a question: Undo puts it back.
    const Status trashed = trashTemplate(name);
    if (trashed)
        return;
    if (m_trashRefused) {
        // The trash could not take it: removed, it would be gone for good.
        QMessageBox question(
            QMessageBox::Question, tr("Remove the template"),
            tr("The trash cannot take the template: %1\n\nRemove the template %2 from your "
               "templates? This cannot be undone.")
                .arg(FailureReport::inWords(trashed.message()), quoted(name)),
            QMessageBox::NoButton, m_owner);
        question.setTextFormat(Qt::PlainText);
        QPushButton* remove = question.addButton(tr("Remove"), QMessageBox::YesRole);
        question.setDefaultButton(question.addButton(QMessageBox::Cancel));
        DialogStyle::apply(&question);
        question.exec();
        if (question.clickedButton() != remove)
            return;
        if (const Status status = removeTemplate(name); !status)
            FailureReport::show(m_owner, tr("Remove the template"),
                                tr("The template was not removed."), status,
                                tr("Close other programs that may use the file and remove it "
                                   "again."));
        return;
    }
    FailureReport::show(m_owner, tr("Remove the template"), tr("The template was not removed."),
                        trashed,
                        tr("Close other programs that may use the file and remove it again."));
}

Status OwnTemplatesController::trashTemplate(const QString& name)
{
    const LibrarySet& libraries = m_window.libraries();
    const QString library = libraries.userFolder();
    const Result<QString> category = UserLibrary::categoryOf(libraries, name);
    if (!category)
        return category.status();
    Trashed trashed{name, *category, 0, {}, std::nullopt};
    QString thumbnail;
    if (const Result<QString> page = TemplateLibrary::findCategoryPage(library, *category)) {
        const QList<UserLibrary::Entry> entries =
            UserLibrary::readCategoryPage(FileIo::readAll(*page).valueOr(QByteArray()));
        for (qsizetype i = 0; i < entries.size(); ++i) {
            if (entries[i].name == name) {
                trashed.position = i;
                thumbnail = entries[i].thumbnail;
            }
        }
    }
    // Copies first, then the library's own removal, which is whole or not at
    // all: a failure or a kill in between leaves the template where it was.
    forgetTrashed();
    const Result<Trash::Item> file =
        Trash::putCopy(TemplateLibrary::templateFilePath(library, name));
    m_trashRefused = !file;
    if (!file)
        return file.status();
    trashed.templateFile = *file;
    if (!thumbnail.isEmpty()) {
        // Without its picture the template still comes back, with a placeholder.
        if (const Result<Trash::Item> picture =
                Trash::putCopy(TemplateLibrary::categoriesFolder(library) +
                               QStringLiteral("/thumbs/") + thumbnail))
            trashed.thumbnail = *picture;
    }
    if (const Status status = removeTemplate(name); !status) {
        Trash::discard(trashed.templateFile);
        if (trashed.thumbnail)
            Trash::discard(*trashed.thumbnail);
        return status;
    }
    m_trashed = trashed;
    m_undoAction->setEnabled(true);
    emit templateTrashed(name);
    return Status::success();
}

void OwnTemplatesController::forgetTrashed()
{
    m_trashed.reset();
    m_undoAction->setEnabled(false);
}

Status OwnTemplatesController::undoRemove()
{
    if (!m_trashed)
        return Status::failure(tr("There is no removal to undo."));
    const Trashed trashed = *m_trashed;
    const Result<QByteArray> packed = FileIo::readAll(trashed.templateFile.file);
    if (!packed) {
        // Emptied from the trash meanwhile: nothing left to put back.
        forgetTrashed();
        return packed.status();
    }
    const QByteArray png = trashed.thumbnail
                               ? FileIo::readAll(trashed.thumbnail->file).valueOr(QByteArray())
                               : QByteArray();
    const LibrarySet& libraries = m_window.libraries();
    // Taken meanwhile (added again, another renamed to it): a free name
    // beside it, so that neither template is lost.
    QString name = trashed.name;
    for (int n = 2; !UserLibrary::checkNewName(libraries, name) && n < 100; ++n)
        name = QStringLiteral("%1 (%2)").arg(trashed.name).arg(n);
    const Result<UserLibrary::Added> added =
        UserLibrary::restore(libraries, name, trashed.category, trashed.position, *packed, png);
    if (!added)
        return added.status();
    forgetTrashed();
    Trash::discard(trashed.templateFile);
    if (trashed.thumbnail)
        Trash::discard(*trashed.thumbnail);
    emit templatesChanged();
    emit templateRestored(trashed.name, added->name);
    m_window.showCategory(added->category);
    m_window.SelectTemplate(added->name);
    return Status::success();
}

Status OwnTemplatesController::removeTemplate(const QString& name)
{
    const QString category = m_window.currentCategory();
    if (const Status status = UserLibrary::remove(m_window.libraries(), name); !status)
        return status;
    emit templateRemoved(name);
    emit templatesChanged();
    // A category left empty is gone: the list then shows its first one.
    m_window.showCategory(category);
    return Status::success();
}
