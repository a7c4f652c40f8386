#include "searchcontroller.h"

#include "categorynames.h"

#include "appfonts.h"
#include "browserpane.h"
#include "core/gallery/library/templatelibrary.h"
#include "core/gallery/search/searchpage.h"
#include "core/platform/settingsstore.h"
#include "favourites.h"
#include "gallerywindow.h"
#include "searchindexloader.h"
#include "searchpagebuilder.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineScript>

namespace {

constexpr int MaxRecent = 12;
constexpr int SearchBarHeight = 30;

// Names travel in one setting, each percent-encoded and separated by spaces.
QStringList decodeRecent(const QString& setting)
{
    QStringList names;
    for (const QString& part : setting.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString name = QUrl::fromPercentEncoding(part.toUtf8());
        if (TemplateLibrary::isPlainTemplateName(name) && !names.contains(name))
            names.append(name);
    }
    return names.mid(0, MaxRecent);
}

QString encodeRecent(const QStringList& names)
{
    QStringList parts;
    for (const QString& name : names)
        parts.append(QString::fromLatin1(QUrl::toPercentEncoding(name)));
    return parts.join(QLatin1Char(' '));
}

// Keys of the search field: Return previews the first result, Down goes to
// the results, Esc closes the search. The window's commands work here too: a
// line edit takes some Ctrl keys (Ctrl+E, the end of the line) for itself.
class SearchKeys : public QObject
{
public:
    SearchKeys(QObject* parent, std::function<void()> preview, std::function<void()> toResults,
               std::function<void()> close, std::function<bool(const QKeySequence&)> isCommand)
        : QObject(parent), m_preview(std::move(preview)), m_toResults(std::move(toResults)),
          m_close(std::move(close)), m_isCommand(std::move(isCommand))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ShortcutOverride) {
            auto* key = static_cast<QKeyEvent*>(event);
            // Esc is the field's, also while the export notice would take it.
            if (key->key() == Qt::Key_Escape) {
                event->accept();
                return true;
            }
            // Left unaccepted, the key goes on to the window's command.
            if (m_isCommand(QKeySequence(key->keyCombination())))
                return true;
            return QObject::eventFilter(watched, event);
        }
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Escape:
            m_close();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            m_preview();
            return true;
        case Qt::Key_Down:
            m_toResults();
            return true;
        default:
            return QObject::eventFilter(watched, event);
        }
    }

private:
    std::function<void()> m_preview;
    std::function<void()> m_toResults;
    std::function<void()> m_close;
    std::function<bool(const QKeySequence&)> m_isCommand;
};

// Follows the category pane, which the layout moves and sizes.
class PaneWatch : public QObject
{
public:
    PaneWatch(QObject* parent, std::function<void()> place)
        : QObject(parent), m_place(std::move(place))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Move)
            m_place();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_place;
};

} // namespace

SearchController::SearchController(GalleryWindow& window, BrowserPane* categoryPane,
                                   QObject* parent)
    : QObject(parent), m_window(window), m_pane(categoryPane)
{
    m_recent = decodeRecent(modSettings::ReadSetting(SettingKeys::Recent));
    m_favourites = new Favourites(this);
    connect(m_favourites, &Favourites::changed, this, [this] {
        if (m_favouritesShown)
            showFavourites();
        else if (m_field->isVisible())
            showResults();
    });

    // The field lies over the top of the category page while a search is
    // open, so no control of the window moves for it.
    m_field = new QLineEdit(m_pane->parentWidget());
    m_field->setObjectName(QStringLiteral("txtSearch"));
    m_field->setAccessibleName(tr("Search all templates"));
    m_field->setPlaceholderText(tr("Search all templates by name, subject or text"));
    m_field->setToolTip(tr("Search all templates (Ctrl+F); empty, it lists the recent ones. "
                           "Esc closes, Down goes to the results."));
    m_field->setClearButtonEnabled(true);
    // The clear button is a picture only; screen readers need its name.
    for (QAction* action : m_field->findChildren<QAction*>()) {
        action->setText(tr("Clear search"));
        action->setToolTip(tr("Clear search"));
    }
    for (QToolButton* button : m_field->findChildren<QToolButton*>())
        button->setAccessibleName(tr("Clear search"));
    m_field->setFont(AppFonts::tahoma(11.25));
    m_field->setStyleSheet(QStringLiteral(
        "QLineEdit{background:#FFFFFF;color:#404040;border:2px solid #FF8000;padding:0 6px}"));
    m_field->hide();
    QWidget* const windowWidget = m_pane->window();
    m_field->installEventFilter(new SearchKeys(
        m_field, [this] { previewFirstResult(); }, [this] { enterResults(); }, [this] { close(); },
        [windowWidget](const QKeySequence& pressed) {
            for (const QShortcut* shortcut : windowWidget->findChildren<QShortcut*>()) {
                if (shortcut->isEnabled() && shortcut->keys().contains(pressed))
                    return true;
            }
            for (const QAction* action : windowWidget->findChildren<QAction*>()) {
                if (action->isEnabled() && action->shortcuts().contains(pressed))
                    return true;
            }
            return false;
        }));
    m_pane->installEventFilter(new PaneWatch(m_field, [this] { placeField(); }));

    m_delay = new QTimer(this);
    m_delay->setObjectName(QStringLiteral("searchDelay"));
    m_delay->setSingleShot(true);
    m_delay->setInterval(120);
    connect(m_delay, &QTimer::timeout, this, &SearchController::showResults);
    connect(m_field, &QLineEdit::textEdited, m_delay, qOverload<>(&QTimer::start));

    // A write waits for a pause: each one goes to the disk before it returns,
    // and would hold up whatever the next click loads.
    m_storeDelay = new QTimer(this);
    m_storeDelay->setObjectName(QStringLiteral("recentStoreDelay"));
    m_storeDelay->setSingleShot(true);
    m_storeDelay->setInterval(500);
    connect(m_storeDelay, &QTimer::timeout, this, &SearchController::storeRecent);

    auto* find = new QShortcut(QKeySequence::Find, windowWidget);
    find->setContext(Qt::WindowShortcut);
    find->setWhatsThis(tr("Search every template; empty, the recent ones"));
    connect(find, &QShortcut::activated, this, &SearchController::open);

    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                          QStringLiteral("/quillery/search-index");
    m_index = new SearchIndexLoader(
        {m_window.libraries().shippedFolder(), m_window.libraries().userFolder()}, cache, this);
    m_pages = new SearchPageBuilder(this);
    connect(m_pages, &SearchPageBuilder::built, this, &SearchController::showPage);
    connect(m_index, &SearchIndexLoader::ready, this, [this] {
        if (m_field->isVisible())
            showResults();
        else if (m_favouritesShown)
            showFavourites();
    });
}

SearchController::~SearchController()
{
    // The window closes right after a preview: the list is still kept.
    if (m_storeDelay->isActive())
        storeRecent();
}

void SearchController::placeField()
{
    const QRect pane = m_pane->geometry();
    m_field->setGeometry(pane.x(), pane.y(), pane.width(), SearchBarHeight);
}

void SearchController::open()
{
    placeField();
    m_field->show();
    m_field->raise();
    m_field->setFocus();
    m_field->selectAll();
    showResults();
}

void SearchController::leave()
{
    m_favouritesShown = false;
    if (!m_field->isVisible())
        return;
    m_field->hide();
    m_pane->setLocalRoot(TemplateLibrary::categoriesFolder(m_window.currentLibrary()));
}

void SearchController::close()
{
    leave();
    if (m_window.showsFavourites()) {
        showFavourites();
        m_pane->setFocus();
        return;
    }
    const Result<QString> page =
        TemplateLibrary::findCategoryPage(m_window.currentLibrary(), m_window.currentCategory());
    if (page)
        m_pane->Navigate2(*page);
    m_pane->setFocus();
}

void SearchController::reindex()
{
    m_index->start();
}

void SearchController::previewShown(const QString& name, bool chosen)
{
    if (chosen)
        rememberRecent(name);
    if (!m_indexStarted) {
        m_indexStarted = true;
        m_index->start();
    }
}
void SearchController::showResults()
{
    if (!m_field->isVisible())
        return;
    const QString query = m_field->text().simplified();
    const TemplateSearch::Index* index = m_index->index();
    QString heading;
    QString note;
    QList<TemplateSearch::Entry> shown;
    if (query.isEmpty()) {
        heading = tr("Recent templates");
        if (index) {
            for (const QString& name : m_recent) {
                for (const TemplateSearch::Entry& entry : index->entries()) {
                    if (entry.name == name) {
                        shown.append(entry);
                        break;
                    }
                }
            }
        }
        note = shown.isEmpty() ? tr("The templates you preview are listed here. Type a word to "
                                    "search every template.")
                               : tr("Type a word to search every template.");
    } else if (!index) {
        m_index->start();
        heading = tr("Searching for \u201c%1\u201d").arg(query);
        note = tr("Still reading the templates; the results follow in a moment.");
    } else {
        int total = 0;
        shown = index->find(query, SearchPage::MaxShown, &total, m_favourites->nameSet());
        heading = total == 1 ? tr("1 template for \u201c%1\u201d").arg(query)
                             : tr("%1 templates for \u201c%2\u201d").arg(total).arg(query);
        if (total == 0)
            note = tr("No template has these words in its name, subject or text.");
        else if (total > shown.size())
            note = tr("The first %1 are shown; add a word to narrow the search.").arg(shown.size());
    }
    m_results.clear();
    for (const TemplateSearch::Entry& entry : shown.mid(0, SearchPage::MaxShown))
        m_results.append(entry.name);
    // The count, and what to do when there is none, as the page says them.
    m_window.announce(note.isEmpty() ? heading : heading + QStringLiteral(". ") + note);
    // Each result names its category as the list does.
    for (TemplateSearch::Entry& entry : shown)
        entry.category = CategoryNames::shown(
            {entry.category, entry.library, entry.library == m_window.libraries().userFolder()});
    // The pictures are read off the window's thread; the page follows when it is built.
    m_pages->build(heading, note, shown);
}

void SearchController::showFavourites()
{
    m_favouritesShown = true;
    const TemplateSearch::Index* index = m_index->index();
    QList<TemplateSearch::Entry> shown;
    QString note;
    if (!index) {
        m_index->start();
        note = tr("Still reading the templates; your favourites follow in a moment.");
    } else {
        for (const QString& name : m_favourites->present(m_window.libraries())) {
            for (const TemplateSearch::Entry& entry : index->entries()) {
                if (entry.name.compare(name, Qt::CaseInsensitive) == 0) {
                    shown.append(entry);
                    break;
                }
            }
        }
        if (shown.isEmpty())
            note = tr("Press Ctrl+D to add the previewed template to your favourites.");
    }
    for (TemplateSearch::Entry& entry : shown)
        entry.category = CategoryNames::shown(
            {entry.category, entry.library, entry.library == m_window.libraries().userFolder()});
    m_pages->build(tr("Favourites"), note, shown.mid(0, SearchPage::MaxShown));
}

void SearchController::showPage(const QString& heading, const QByteArray& page)
{
    // Closed while the page was built: the category pane stays as it is.
    if (!m_field->isVisible() && !m_favouritesShown)
        return;
    if (!m_folder || !m_folder->isValid())
        m_folder = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                                   QStringLiteral("/quillery-search-XXXXXX"));
    // A new file each time: the pane loads it as a new page.
    static int serial = 0;
    const QString path = m_folder->filePath(QStringLiteral("results-%1.html").arg(++serial));
    for (const QString& old : QDir(m_folder->path()).entryList(QDir::Files))
        QFile::remove(m_folder->filePath(old));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(page) < 0) {
        m_pane->setHtml(SearchPage::build(heading, file.errorString(), {}));
        return;
    }
    file.close();
    m_pane->setLocalRoot(m_folder->path());
    m_pane->Navigate2(path);
}

void SearchController::previewFirstResult()
{
    if (m_delay->isActive()) {
        m_delay->stop();
        showResults();
    }
    if (m_results.isEmpty())
        return;
    m_window.SelectTemplate(m_results.first());
    m_window.announce(tr("Preview: %1").arg(m_results.first()));
}

void SearchController::enterResults()
{
    // The page of the last keystroke may not be there yet.
    bool pending = false;
    if (m_delay->isActive()) {
        m_delay->stop();
        showResults();
        pending = true;
    }
    m_pane->setFocus();
    // The first result, with the page's focus ring on it; Tab and the arrow
    // keys go on from there, Return previews it.
    const auto focusFirst = [this] {
        m_pane->page()->runJavaScript(
            QStringLiteral("(function(){var a=document.querySelector('a[href*=\"#\"]');"
                           "if(a){a.focus();a.scrollIntoView({block:'nearest'});}})()"),
            QWebEngineScript::ApplicationWorld);
    };
    if (pending)
        connect(m_pane->page(), &QWebEnginePage::loadFinished, this, focusFirst,
                Qt::SingleShotConnection);
    else
        focusFirst();
}

void SearchController::rememberRecent(const QString& name)
{
    // A view switch shows the same template again: nothing to write.
    if (name.isEmpty() || m_recent.value(0) == name)
        return;
    m_recent.removeAll(name);
    m_recent.prepend(name);
    m_recent = m_recent.mid(0, MaxRecent);
    storeRecentSoon();
}

void SearchController::forgetRecent(const QString& name, const QString& renamedTo)
{
    const qsizetype at = m_recent.indexOf(name);
    if (at < 0)
        return;
    if (renamedTo.isEmpty() || m_recent.contains(renamedTo))
        m_recent.removeAt(at);
    else
        m_recent[at] = renamedTo;
    storeRecent();
}

void SearchController::storeRecentSoon()
{
    m_storeDelay->start();
}

void SearchController::storeRecent() const
{
    m_storeDelay->stop();
    modSettings::WriteSetting(SettingKeys::Recent, encodeRecent(m_recent));
}
