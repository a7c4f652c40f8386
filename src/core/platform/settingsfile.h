#pragma once

#include "core/platform/status.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The text form of one application key's settings: a UTF-8 file of groups and
// typed values (described for users in docs/settings.md). Parsing
// is strict so that a damaged file is recognised and never rewritten; comments,
// blank lines and the order of everything else survive a change of one value.
namespace SettingsFile {

// Files above this size are treated as damaged rather than read.
inline constexpr qint64 MaxFileSize = 1024 * 1024;

enum class Kind { String, ExpandString, Dword, MultiString };

struct StoredValue
{
    Kind kind = Kind::String;
    QString text;       // String, ExpandString, MultiString (elements separated by U+0000)
    quint32 number = 0; // Dword
};

class Document
{
public:
    // Fails on anything that is not exactly the format, naming the line and the reason.
    static Result<Document> parse(const QByteArray& bytes);

    // Names and group levels compare case-insensitively, as registry keys do.
    std::optional<StoredValue> find(const QStringList& group, const QString& name) const;
    void set(const QStringList& group, const QString& name, const StoredValue& value);

    QByteArray serialize() const;

private:
    struct Entry
    {
        QString name;
        StoredValue value;
        qsizetype line = -1;
    };
    struct Group
    {
        QStringList path;      // empty: values before the first group header
        qsizetype header = -1; // line of "[...]", -1 for the leading values
        qsizetype last = -1;   // last line that belongs to the group's entries
        QList<Entry> entries;
        QHash<QString, qsizetype> entryIndex; // folded name -> position in entries
    };

    Group* findGroup(const QStringList& path);
    const Group* findGroup(const QStringList& path) const;
    void addGroup(const Group& group);
    static void addEntry(Group& group, const Entry& entry);
    void insertLine(qsizetype at, const QString& text);

    QStringList m_lines;
    QList<Group> m_groups;
    QHash<QStringList, qsizetype> m_groupIndex; // folded path -> position in m_groups
};

// One "name[:type]=value" line, escaped so that it parses back to the same value.
QString formatEntry(const QString& name, const StoredValue& value);
QString formatGroupHeader(const QStringList& path);

} // namespace SettingsFile
