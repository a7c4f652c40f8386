#include "form1.h"

#include "categorynames.h"

#include "appfonts.h"
#include "browserpane.h"
#include "core/gallery/library/templatelibrary.h"
#include "core/gallery/search/searchpage.h"
#include "core/platform/settingsstore.h"
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

QString tr(const char* text)
{
    return QCoreApplication::translate("Form1", text);
}

// Names travel in one setting, each percent-encoded and separated by spaces.
QStringList decodeRecent(const QString& setting)
{
    QStringList names;
    for (const QString& part : setting.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString name = QUrl::fromPercentEncoding(part.toUtf8());
        if (TemplateLibrary::IsPlainTemplateName(name) && !names.contains(name))
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

void Form1::createSearch()
{
    m_recent = decodeRecent(modSettings::ReadSetting(SettingKeys::Recent));

    // The field lies over the top of the category page while a search is
    // open, so no control of the window moves for it.
    txtSearch = new QLineEdit(WebBrowser1->parentWidget());
    txtSearch->setObjectName(QStringLiteral("txtSearch"));
    txtSearch->setAccessibleName(tr("Search all templates"));
    txtSearch->setPlaceholderText(tr("Search all templates by name, subject or text"));
    txtSearch->setToolTip(tr("Search all templates (Ctrl+F); empty, it lists the recent ones. "
                             "Esc closes, Down goes to the results."));
    txtSearch->setClearButtonEnabled(true);
    // The clear button is a picture only; screen readers need its name.
    for (QAction* action : txtSearch->findChildren<QAction*>()) {
        action->setText(tr("Clear search"));
        action->setToolTip(tr("Clear search"));
    }
    for (QToolButton* button : txtSearch->findChildren<QToolButton*>())
        button->setAccessibleName(tr("Clear search"));
    txtSearch->setFont(AppFonts::tahoma(11.25));
    txtSearch->setStyleSheet(QStringLiteral(
        "QLineEdit{background:#FFFFFF;color:#404040;border:2px solid #FF8000;padding:0 6px}"));
    txtSearch->hide();
    txtSearch->installEventFilter(new SearchKeys(
        txtSearch, [this] { previewFirstResult(); }, [this] { enterResults(); },
        [this] { closeSearch(); },
        [this](const QKeySequence& pressed) {
            for (const QShortcut* shortcut : findChildren<QShortcut*>()) {
                if (shortcut->isEnabled() && shortcut->keys().contains(pressed))
                    return true;
            }
            for (const QAction* action : findChildren<QAction*>()) {
                if (action->isEnabled() && action->shortcuts().contains(pressed))
                    return true;
            }
            return false;
        }));
    WebBrowser1->installEventFilter(new PaneWatch(txtSearch, [this] { placeSearchBar(); }));

    auto* delay = new QTimer(this);
    delay->setObjectName(QStringLiteral("searchDelay"));
    delay->setSingleShot(true);
    delay->setInterval(120);
    connect(delay, &QTimer::timeout, this, &Form1::showSearchResults);
    connect(txtSearch, &QLineEdit::textEdited, delay, qOverload<>(&QTimer::start));

    auto* find = new QShortcut(QKeySequence::Find, this);
    find->setContext(Qt::WindowShortcut);
    find->setWhatsThis(tr("Search every template; empty, the recent ones"));
    connect(find, &QShortcut::activated, this, &Form1::openSearch);

    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                          QStringLiteral("/quillery/search-index");
    m_searchIndex = new SearchIndexLoader({m_appFolder, m_libraries.userFolder()}, cache, this);
    m_searchPages = new SearchPageBuilder(this);
    connect(m_searchPages, &SearchPageBuilder::built, this, &Form1::showSearchPage);
    connect(m_searchIndex, &SearchIndexLoader::ready, this, [this] {
        if (txtSearch->isVisible())
            showSearchResults();
    });
    // Read once the first preview is on screen: the start does not wait for it.
    connect(this, &Form1::previewShown, this, &Form1::rememberRecent);
    connect(
        this, &Form1::previewShown, m_searchIndex, [this] { m_searchIndex->start(); },
        Qt::SingleShotConnection);
}

void Form1::placeSearchBar()
{
    const QRect pane = WebBrowser1->geometry();
    txtSearch->setGeometry(pane.x(), pane.y(), pane.width(), SearchBarHeight);
}

void Form1::openSearch()
{
    placeSearchBar();
    txtSearch->show();
    txtSearch->raise();
    txtSearch->setFocus();
    txtSearch->selectAll();
    showSearchResults();
}

void Form1::leaveSearch()
{
    if (!txtSearch || !txtSearch->isVisible())
        return;
    txtSearch->hide();
    WebBrowser1->setLocalRoot(TemplateLibrary::categoriesFolder(currentLibrary()));
}

// Back to the chosen category's page; the preview stays as it is.
void Form1::closeSearch()
{
    leaveSearch();
    const Result<QString> page =
        TemplateLibrary::FindCategoryPage(currentLibrary(), currentCategory());
    if (page)
        WebBrowser1->Navigate2(*page);
    WebBrowser1->setFocus();
}

void Form1::showSearchResults()
{
    if (!txtSearch->isVisible())
        return;
    const QString query = txtSearch->text().simplified();
    const TemplateSearch::Index* index = m_searchIndex->index();
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
        m_searchIndex->start();
        heading = tr("Searching for \u201c%1\u201d").arg(query);
        note = tr("Still reading the templates; the results follow in a moment.");
    } else {
        int total = 0;
        shown = index->find(query, SearchPage::MaxShown, &total);
        heading = total == 1 ? tr("1 template for \u201c%1\u201d").arg(query)
                             : tr("%1 templates for \u201c%2\u201d").arg(total).arg(query);
        if (total == 0)
            note = tr("No template has these words in its name, subject or text.");
        else if (total > shown.size())
            note = tr("The first %1 are shown; add a word to narrow the search.").arg(shown.size());
    }
    m_searchResults.clear();
    for (const TemplateSearch::Entry& entry : shown.mid(0, SearchPage::MaxShown))
        m_searchResults.append(entry.name);
    // The count, and what to do when there is none, as the page says them.
    announce(note.isEmpty() ? heading : heading + QStringLiteral(". ") + note);
    // Each result names its category as the list does.
    for (TemplateSearch::Entry& entry : shown)
        entry.category = CategoryNames::shown(
            {entry.category, entry.library, entry.library == m_libraries.userFolder()});
    // The pictures are read off the window's thread; the page follows when it is built.
    m_searchPages->build(heading, note, shown);
}

void Form1::showSearchPage(const QString& heading, const QByteArray& page)
{
    // Closed while the page was built: the category pane stays as it is.
    if (!txtSearch->isVisible())
        return;
    if (!m_searchFolder || !m_searchFolder->isValid())
        m_searchFolder = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                                         QStringLiteral("/quillery-search-XXXXXX"));
    // A new file each time: the pane loads it as a new page.
    static int serial = 0;
    const QString path = m_searchFolder->filePath(QStringLiteral("results-%1.html").arg(++serial));
    for (const QString& old : QDir(m_searchFolder->path()).entryList(QDir::Files))
        QFile::remove(m_searchFolder->filePath(old));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(page) < 0) {
        WebBrowser1->setHtml(SearchPage::build(heading, file.errorString(), {}));
        return;
    }
    file.close();
    WebBrowser1->setLocalRoot(m_searchFolder->path());
    WebBrowser1->Navigate2(path);
}

void Form1::previewFirstResult()
{
    if (auto* delay = findChild<QTimer*>(QStringLiteral("searchDelay")); delay->isActive()) {
        delay->stop();
        showSearchResults();
    }
    if (m_searchResults.isEmpty())
        return;
    SelectTemplate(m_searchResults.first());
    announce(tr("Preview: %1").arg(m_searchResults.first()));
}

void Form1::enterResults()
{
    // The page of the last keystroke may not be there yet.
    bool pending = false;
    if (auto* delay = findChild<QTimer*>(QStringLiteral("searchDelay")); delay->isActive()) {
        delay->stop();
        showSearchResults();
        pending = true;
    }
    WebBrowser1->setFocus();
    // The first result, with the page's focus ring on it; Tab and the arrow
    // keys go on from there, Return previews it.
    const auto focusFirst = [this] {
        WebBrowser1->page()->runJavaScript(
            QStringLiteral("(function(){var a=document.querySelector('a[href*=\"#\"]');"
                           "if(a){a.focus();a.scrollIntoView({block:'nearest'});}})()"),
            QWebEngineScript::ApplicationWorld);
    };
    if (pending)
        connect(WebBrowser1->page(), &QWebEnginePage::loadFinished, this, focusFirst,
                Qt::SingleShotConnection);
    else
        focusFirst();
}

void Form1::rememberRecent(const QString& name)
{
    // A view switch shows the same template again: nothing to write.
    if (name.isEmpty() || !m_previewChosen || m_recent.value(0) == name)
        return;
    m_recent.removeAll(name);
    m_recent.prepend(name);
    m_recent = m_recent.mid(0, MaxRecent);
    modSettings::WriteSetting(SettingKeys::Recent, encodeRecent(m_recent));
}

void Form1::forgetRecent(const QString& name, const QString& renamedTo)
{
    const qsizetype at = m_recent.indexOf(name);
    if (at < 0)
        return;
    if (renamedTo.isEmpty() || m_recent.contains(renamedTo))
        m_recent.removeAt(at);
    else
        m_recent[at] = renamedTo;
    modSettings::WriteSetting(SettingKeys::Recent, encodeRecent(m_recent));
}
