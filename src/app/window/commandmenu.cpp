#include "commandmenu.h"

#include "browserpane.h"
#include "core/export/templatecopy.h"
#include "core/export/templateexport.h"
#include "core/gallery/library/templatelibrary.h"
#include "core/platform/opener.h"
#include "core/platform/workspace.h"
#include "failurereport.h"
#include "form1.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDrag>
#include <QFileInfo>
#include <QIcon>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTextDocumentFragment>
#include <QWebEngineContextMenuRequest>
#include <QWebEnginePage>
#include <QWebEngineScript>

namespace {

// The link that has the keyboard on a page, and where it ends, in the page's pixels.
const char* const FocusedLinkScript =
    "(function(){var e=document.activeElement;"
    "var a=e&&e.closest?e.closest('a[href]'):null;if(!a)return null;"
    "var r=a.getBoundingClientRect();return {href:a.href,x:r.left,y:r.bottom};})()";

} // namespace

CommandMenu::CommandMenu(Form1& window, BrowserPane* categoryPane, BrowserPane* preview,
                         QObject* parent)
    : QObject(parent), m_window(window), m_categoryPane(categoryPane), m_preview(preview),
      m_runDrag([](QDrag* drag) { drag->exec(Qt::CopyAction); })
{
    // Its entries preview their template before they run; nothing is left to do.
    m_previewAction = addCommand("previewAction", tr("Preview"), QString(), {}, nullptr);
    m_copyHtml =
        addCommand("copyHtmlAction", tr("Copy HTML"),
                   tr("Copy the previewed template's HTML, its pictures inside it as data: URLs"),
                   {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H)}, &CommandMenu::copyHtml);
    m_copyRichText = addCommand(
        "copyRichTextAction", tr("Copy as rich text"),
        tr("Copy the previewed template as rich text, with its pictures, for a mail composer "
           "or a word processor"),
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)}, &CommandMenu::copyRichText);
    m_showInFolder =
        addCommand("showInFolderAction", tr("Show in folder"),
                   tr("Show the folder of the previewed template, when it is one "
                      "of yours"),
                   {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L)}, &CommandMenu::showInFolder);
    addCommand("contextMenuAction", tr("Open the context menu"),
               tr("Open the menu of the thumbnail that has the keyboard, or of the preview"),
               {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)},
               &CommandMenu::popupContextMenuAtFocus);

    // The engine's own menu offers reloading and saving the page, which
    // bypass the panes' rules; this one offers the gallery's commands.
    for (BrowserPane* pane : {m_categoryPane, m_preview}) {
        pane->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(pane, &QWidget::customContextMenuRequested, this,
                [this, pane](const QPoint& pos) { paneMenuRequested(pane, pos); });
    }
    connect(m_categoryPane->page(), &QWebEnginePage::linkHovered, this,
            [this](const QString& url) { m_hoveredTemplate = templateOfLink(QUrl(url)); });
    m_categoryPane->installEventFilter(this);
    watchPaneChildren();
}

CommandMenu::~CommandMenu() = default;

QMenu* CommandMenu::shownMenu() const
{
    return m_shown;
}

QAction* CommandMenu::addCommand(const char* name, const QString& text, const QString& whatsThis,
                                 const QList<QKeySequence>& keys, void (CommandMenu::*run)())
{
    auto* action = new QAction(text, &m_window);
    action->setObjectName(QLatin1String(name));
    action->setWhatsThis(whatsThis);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setAutoRepeat(false);
    if (run)
        connect(action, &QAction::triggered, this, run);
    m_window.addAction(action);
    return action;
}

QString CommandMenu::target() const
{
    return m_menuTarget.isEmpty() ? m_window.currentTemplate() : m_menuTarget;
}

QString CommandMenu::templateOfLink(const QUrl& link) const
{
    // Category pages and the search results link a template as "#" and its name.
    if (!link.hasFragment())
        return {};
    const QString name = link.fragment(QUrl::FullyDecoded);
    return TemplateLibrary::isPlainTemplateName(name) && m_window.libraries().hasTemplate(name)
               ? name
               : QString();
}

QMenu* CommandMenu::contextMenu(Place place, const QString& name, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(place == Place::Thumbnail ? QStringLiteral("thumbnailMenu")
                                                  : QStringLiteral("previewMenu"));
    // Template names are untrusted: the menu's title is read out, never shown as markup,
    // and an "&" in a name must not become a mnemonic.
    menu->setTitle(QString(name).replace(QLatin1Char('&'), QStringLiteral("&&")));
    menu->setAccessibleName(tr("Commands for %1").arg(name));
    const bool own = m_window.libraries().isOwnTemplate(name);
    const auto find = [this](const char* objectName) {
        return m_window.findChild<QAction*>(QLatin1String(objectName), Qt::FindDirectChildrenOnly);
    };
    QList<QAction*> entries;
    if (place == Place::Thumbnail)
        entries << m_previewAction << nullptr;
    entries << find("exportHtmlAction") << find("exportEmlAction");
    if (!m_window.GetRPPath().isEmpty())
        entries << find("handOffAction");
    entries << find("serviceExportAction") << find("sendTestAction");
    entries << nullptr << m_copyHtml << m_copyRichText;
    if (own)
        entries << nullptr << m_showInFolder << find("renameTemplateAction")
                << find("removeTemplateAction");
    if (QAction* favourite = find("favouriteAction"))
        entries << nullptr << favourite;
    for (QAction* command : entries) {
        if (!command) {
            menu->addSeparator();
            continue;
        }
        // An entry of its own, so that it can preview its template first.
        // It shows the command's key as text: a key of its own would make
        // the command's ambiguous, and the keyboard overview would list it twice.
        const QKeySequence key = command->shortcut();
        QAction* entry =
            menu->addAction(key.isEmpty() ? command->text()
                                          : command->text() + QLatin1Char('\t') +
                                                key.toString(QKeySequence::NativeText));
        entry->setObjectName(command->objectName());
        entry->setEnabled(command->isEnabled());
        if (command == m_window.favouriteAction()) {
            // The action says what it does to the previewed template; the
            // entry says it for its own, and needs no preview to do it.
            const bool favourite = m_window.isFavourite(name);
            entry->setText(entry->text().replace(
                command->text(),
                favourite ? QCoreApplication::translate("Form1", "Remove from favourites")
                          : QCoreApplication::translate("Form1", "Add to favourites")));
            entry->setEnabled(true);
            connect(entry, &QAction::triggered, this,
                    [this, name, favourite] { m_window.setFavourite(name, !favourite); });
            continue;
        }
        connect(entry, &QAction::triggered, this, [this, command, name] {
            if (name != m_window.currentTemplate())
                m_window.SelectTemplate(name);
            // The command reads its template from here while it runs.
            m_menuTarget = name;
            command->trigger();
            m_menuTarget.clear();
        });
    }
    return menu;
}

QMenu* CommandMenu::commandsMenu(QWidget* parent)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("commandsMenu"));
    menu->setAccessibleName(tr("Every command"));
    // In the keyboard overview's order: the window's own first, then its parts'.
    QList<QAction*> seen;
    for (const Qt::FindChildOptions options :
         {Qt::FindDirectChildrenOnly, Qt::FindChildrenRecursively}) {
        for (QAction* action : m_window.findChildren<QAction*>(QString(), options)) {
            if (seen.contains(action) || action->shortcuts().isEmpty() || action->text().isEmpty())
                continue;
            if (action->objectName() == QLatin1String("handOffAction") &&
                m_window.GetRPPath().isEmpty())
                continue;
            seen << action;
            menu->addAction(action);
        }
    }
    return menu;
}

void CommandMenu::popup(QMenu* menu, const QPoint& globalPos)
{
    if (m_shown)
        m_shown->deleteLater();
    m_shown = menu;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    connect(menu, &QMenu::aboutToHide, menu, [menu] {
        // An entry runs after the menu has hidden; it is deleted after that.
        QMetaObject::invokeMethod(menu, &QObject::deleteLater, Qt::QueuedConnection);
    });
    menu->popup(globalPos);
}

void CommandMenu::popupCommands(const QPoint& globalPos)
{
    popup(commandsMenu(&m_window), globalPos);
}

void CommandMenu::popupContextMenu(Place place, const QString& name, const QPoint& globalPos)
{
    if (name.isEmpty())
        return;
    popup(contextMenu(place, name, &m_window), globalPos);
}

void CommandMenu::paneMenuRequested(BrowserPane* pane, const QPoint& pos)
{
    const QPoint at = pane->mapToGlobal(pos);
    if (pane == m_preview) {
        popupContextMenu(Place::Preview, m_window.currentTemplate(), at);
        return;
    }
    const QWebEngineContextMenuRequest* request = pane->lastContextMenuRequest();
    if (request)
        popupContextMenu(Place::Thumbnail, templateOfLink(request->linkUrl()), at);
}

void CommandMenu::popupContextMenuAtFocus()
{
    const QWidget* focus = QApplication::focusWidget();
    const bool onPage = focus && (focus == m_categoryPane || m_categoryPane->isAncestorOf(focus));
    const QPoint previewCorner = m_preview->mapToGlobal(QPoint(16, 16));
    if (!onPage) {
        popupContextMenu(Place::Preview, m_window.currentTemplate(), previewCorner);
        return;
    }
    QPointer<CommandMenu> self(this);
    m_categoryPane->page()->runJavaScript(
        QString::fromLatin1(FocusedLinkScript), QWebEngineScript::ApplicationWorld,
        [self, previewCorner](const QVariant& result) {
            if (!self)
                return;
            const QVariantMap link = result.toMap();
            const QString name = self->templateOfLink(QUrl(link.value("href").toString()));
            if (name.isEmpty()) {
                self->popupContextMenu(Place::Preview, self->m_window.currentTemplate(),
                                       previewCorner);
                return;
            }
            const qreal zoom = self->m_categoryPane->zoomFactor();
            const QPoint at(int(link.value("x").toDouble() * zoom),
                            int(link.value("y").toDouble() * zoom));
            self->popupContextMenu(Place::Thumbnail, name, self->m_categoryPane->mapToGlobal(at));
        });
}

std::unique_ptr<QMimeData> CommandMenu::copyData(const QString& name, CopyAs as, Status* status)
{
    const Result<QString> copies = modGetDirs::ensureWorkspaceFolder(QStringLiteral("copy"));
    if (!copies) {
        *status = copies.status();
        return nullptr;
    }
    // Each copy in a folder of its own: two copies of the gallery share the workspace.
    QTemporaryDir work(*copies + QStringLiteral("/XXXXXX"));
    if (!work.isValid()) {
        *status = Status::failure(QDir::toNativeSeparators(*copies) + QStringLiteral(": ") +
                                  work.errorString());
        return nullptr;
    }
    const Result<TemplateCopy::PortablePage> page = TemplateCopy::portablePage(
        m_window.libraries().templateFolder(name, m_window.currentCategory()), name, work.path());
    if (!page) {
        *status = page.status();
        return nullptr;
    }
    auto data = std::make_unique<QMimeData>();
    const QString html = QString::fromUtf8(page->html);
    if (as == CopyAs::Html) {
        data->setText(html);
    } else {
        data->setHtml(html);
        data->setText(QTextDocumentFragment::fromHtml(html).toPlainText());
        // A target that takes no HTML still gets a picture: the first of each kind.
        for (const TemplateCopy::Picture& picture : page->pictures) {
            if (!data->hasFormat(picture.mimeType))
                data->setData(picture.mimeType, picture.data);
        }
    }
    *status = Status::success();
    return data;
}

void CommandMenu::copyHtml()
{
    copy(CopyAs::Html);
}

void CommandMenu::copyRichText()
{
    copy(CopyAs::RichText);
}

void CommandMenu::copy(CopyAs as)
{
    const QString name = target();
    if (name.isEmpty())
        return;
    Status status = Status::success();
    std::unique_ptr<QMimeData> data = copyData(name, as, &status);
    if (!data) {
        FailureReport::show(&m_window,
                            as == CopyAs::Html ? tr("Copy HTML") : tr("Copy as rich text"),
                            tr("The template could not be copied."), status,
                            tr("Make room in the temporary folder named above and copy again."));
        return;
    }
    QApplication::clipboard()->setMimeData(data.release());
    m_window.announce(as == CopyAs::Html ? tr("Copied the HTML of %1").arg(name)
                                         : tr("Copied %1 as rich text").arg(name));
}

void CommandMenu::showInFolder()
{
    const QString name = target();
    if (name.isEmpty() || !m_window.libraries().isOwnTemplate(name))
        return;
    const Result<QString> file =
        TemplateLibrary::findTemplateFile(m_window.libraries().userFolder(), name);
    if (!file) {
        FailureReport::show(&m_window, tr("Show in folder"),
                            tr("The template's folder could not be shown."), file.status(),
                            tr("Choose the template again and try once more."));
        return;
    }
    Module1::OpenDocument(QFileInfo(*file).absolutePath(), QString());
}

std::unique_ptr<QMimeData> CommandMenu::dragData(const QString& name, Status* status)
{
    // The previous drag's file goes now: its target has long had it.
    m_dragFolder.reset();
    const Result<QString> drags = modGetDirs::ensureWorkspaceFolder(QStringLiteral("drag"));
    if (!drags) {
        *status = drags.status();
        return nullptr;
    }
    auto folder = std::make_unique<QTemporaryDir>(*drags + QStringLiteral("/XXXXXX"));
    if (!folder->isValid()) {
        *status = Status::failure(QDir::toNativeSeparators(*drags) + QStringLiteral(": ") +
                                  folder->errorString());
        return nullptr;
    }
    const QString file = folder->filePath(name + QStringLiteral(".eml"));
    const Status exported = TemplateExport::exportEmlTo(
        m_window.libraries().templateFolder(name, m_window.currentCategory()), name, file);
    if (!exported) {
        *status = exported;
        return nullptr;
    }
    m_dragFolder = std::move(folder);
    auto data = std::make_unique<QMimeData>();
    data->setUrls({QUrl::fromLocalFile(file)});
    *status = Status::success();
    return data;
}

void CommandMenu::startDrag(const QString& name)
{
    Status status = Status::success();
    std::unique_ptr<QMimeData> data = dragData(name, &status);
    if (!data) {
        // After the press has ended, not under the pointer's grab.
        QMetaObject::invokeMethod(
            this,
            [this, status] {
                FailureReport::show(&m_window, tr("Drag a template"),
                                    tr("The template could not be made into a message file."),
                                    status,
                                    tr("Make room in the temporary folder named above and drag "
                                       "the template again."));
            },
            Qt::QueuedConnection);
        return;
    }
    auto* drag = new QDrag(m_categoryPane);
    drag->setMimeData(data.release());
    drag->setPixmap(QIcon(QStringLiteral(":/quillery/envelope.svg")).pixmap(48, 48));
    m_runDrag(drag);
    drag->deleteLater();
}

void CommandMenu::watchPaneChildren()
{
    for (QWidget* child : m_categoryPane->findChildren<QWidget*>())
        child->installEventFilter(this);
}

bool CommandMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_categoryPane) {
        // The engine makes the widget that takes the page's pointer anew.
        if (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildPolished)
            watchPaneChildren();
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        m_pressedTemplate.clear();
        if (mouse->button() == Qt::LeftButton && !m_hoveredTemplate.isEmpty()) {
            m_pressedTemplate = m_hoveredTemplate;
            m_pressPos = mouse->position().toPoint();
        }
        return false;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (m_pressedTemplate.isEmpty() || !(mouse->buttons() & Qt::LeftButton))
            return false;
        // The page would start a drag of its own, of the link's address.
        if ((mouse->position().toPoint() - m_pressPos).manhattanLength() <
            QApplication::startDragDistance())
            return true;
        const QString name = m_pressedTemplate;
        m_pressedTemplate.clear();
        auto* widget = static_cast<QWidget*>(watched);
        startDrag(name);
        // The drag took the release; the page must not stay pressed, and
        // its release away from the link is no click.
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(-1, -1),
                            widget->mapToGlobal(QPointF(-1, -1)), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(widget, &release);
        return true;
    }
    case QEvent::MouseButtonRelease:
        m_pressedTemplate.clear();
        return false;
    default:
        return false;
    }
}
