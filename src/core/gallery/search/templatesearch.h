#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <array>

// Finding a template by a word of its name, subject or text, across every
// category of every library the gallery shows.
namespace TemplateSearch {

struct Entry
{
    QString name;      // as its category page links it
    QString category;  // the first category whose page links it
    QString library;   // the library folder that holds it
    QString thumbnail; // the picture its category page shows, or empty
    QString subject;
    QString text; // the start of its plain text, as much as the search reads
    bool operator==(const Entry&) const = default;
};

// Case folded without accents, in every script, so that "creme" finds
// "Crème", "ελληνικα" "Ελληνικά" and "grusse" "Grüße".
QString fold(const QString& text);

class Index
{
public:
    // Every template linked from the category pages of `libraries`, in
    // order: shipped first, then the user's. `cacheFile`, when given, keeps
    // what was read, so a template whose file is unchanged is not decoded
    // again at the next start; a cache that cannot be read is rebuilt.
    static Index build(const QStringList& libraries, const QString& cacheFile = QString());

    // The entries holding every word of `query` (in any order, a word may be
    // the start of a longer one; words split by the Unicode rules, and a run
    // of a script written without spaces, as Chinese or Japanese, found
    // anywhere in a run), best first: a word in the name counts more
    // than one in the subject, and that more than one in the text; among
    // equals, the user's `favourites` come first. At most `limit`; `total`,
    // when given, receives how many matched in all.
    QList<Entry> find(const QString& query, int limit, int* total = nullptr,
                      const QSet<QString>& favourites = {}) const;

    qsizetype size() const { return m_entries.size(); }
    const QList<Entry>& entries() const { return m_entries; }

private:
    QList<Entry> m_entries;
    // Name, subject, text: folded, each word after a space.
    QList<std::array<QString, 3>> m_folded;
};

} // namespace TemplateSearch
