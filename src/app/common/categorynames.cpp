#include "categorynames.h"

#include "core/gallery/userlibrary/userlibrary.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace {

struct Shipped
{
    const char* name;
    const char* description;
};

// The shipped library's categories, as library/sources names and describes
// them; tst_categorynames holds the two to each other.
const Shipped ShippedCategories[] = {
    {QT_TRANSLATE_NOOP("CategoryNames", "Retail"),
     QT_TRANSLATE_NOOP("CategoryNames",
                       "Sales, launches and loyalty mailings for shops and brands.")},
    {QT_TRANSLATE_NOOP("CategoryNames", "Food and Drink"),
     QT_TRANSLATE_NOOP("CategoryNames",
                       "Menus, tastings and openings for cafés, bakeries and restaurants.")},
    {QT_TRANSLATE_NOOP("CategoryNames", "Business"),
     QT_TRANSLATE_NOOP("CategoryNames",
                       "Product news, invitations and reports for companies and start-ups.")},
    {QT_TRANSLATE_NOOP("CategoryNames", "Education"),
     QT_TRANSLATE_NOOP("CategoryNames",
                       "Newsletters and invitations for schools, colleges, camps and libraries.")},
    {QT_TRANSLATE_NOOP("CategoryNames", "Nonprofit"),
     QT_TRANSLATE_NOOP("CategoryNames", "Appeals, thank-yous and impact stories for charities.")},
    {QT_TRANSLATE_NOOP("CategoryNames", "Real Estate"),
     QT_TRANSLATE_NOOP("CategoryNames", "Listings, open houses and market updates for agents.")},
    {QT_TRANSLATE_NOOP("CategoryNames", "Travel and Events"),
     QT_TRANSLATE_NOOP("CategoryNames", "Trips, festivals, races and weekends away.")},
};

// The user's default category, and the description every page of the
// user's library carries (UserLibrary::categoryPage).
const char* const MyTemplates = QT_TRANSLATE_NOOP("CategoryNames", "My templates");
const char* const OwnDescription = QT_TRANSLATE_NOOP("CategoryNames", "Your own templates.");

QString translated(const char* text)
{
    return QCoreApplication::translate("CategoryNames", text);
}

const Shipped* shippedOf(const LibrarySet::Category& category)
{
    if (category.own)
        return nullptr;
    for (const Shipped& shipped : ShippedCategories) {
        if (category.name == QLatin1String(shipped.name))
            return &shipped;
    }
    return nullptr;
}

} // namespace

namespace CategoryNames {

QString shown(const LibrarySet::Category& category)
{
    if (category.own)
        return category.name == UserLibrary::DefaultCategory ? translated(MyTemplates)
                                                             : category.name;
    if (const Shipped* shipped = shippedOf(category))
        return translated(shipped->name);
    return category.name;
}

PageWords pageWords(const LibrarySet::Category& category)
{
    PageWords words;
    if (category.own) {
        words.heading = category.name;
        words.description = QString::fromLatin1(OwnDescription);
        words.shownDescription = translated(OwnDescription);
    } else if (const Shipped* shipped = shippedOf(category)) {
        words.heading = category.name;
        words.description = QString::fromUtf8(shipped->description);
        words.shownDescription = translated(shipped->description);
    } else {
        words.heading = words.shownHeading = category.name;
        return words;
    }
    words.shownHeading = shown(category);
    return words;
}

} // namespace CategoryNames

CategoryPageWords::CategoryPageWords(QWebEngineView* pane) : QObject(pane), m_pane(pane)
{
    connect(pane->page(), &QWebEnginePage::loadFinished, this, &CategoryPageWords::apply);
}

void CategoryPageWords::setWords(const CategoryNames::PageWords& words)
{
    m_words = words;
}

void CategoryPageWords::apply()
{
    if (!m_words.translated())
        return;
    // Only the library's own words are replaced, and as text: a page that
    // says something else keeps it, and nothing in a name can become markup.
    static const QString function = QStringLiteral(R"((function (from, to, fromText, toText, lang) {
  var heading = document.querySelector('h1');
  if (!heading || heading.textContent.trim() !== from) return;
  if (to !== from) { heading.textContent = to; heading.lang = lang; }
  if (document.title === from) document.title = to;
  var text = heading.nextElementSibling;
  if (text && text.tagName === 'P' && text.textContent.trim() === fromText && toText !== fromText) {
    text.textContent = toText;
    text.lang = lang;
  }
}))");
    // The language of the translation in use, for screen readers' voices, as
    // the search page names it.
    const QString language = QCoreApplication::translate("SearchPage", "en");
    const QByteArray arguments =
        QJsonDocument(QJsonArray{m_words.heading, m_words.shownHeading, m_words.description,
                                 m_words.shownDescription, language})
            .toJson(QJsonDocument::Compact);
    m_pane->page()->runJavaScript(function + QStringLiteral(".apply(null, ") +
                                      QString::fromUtf8(arguments) + QLatin1Char(')'),
                                  QWebEngineScript::ApplicationWorld);
}
