#include "core/platform/settingsfile.h"

#include <QStringDecoder>

namespace SettingsFile {

namespace {

enum class Context { Name, Value, GroupLevel };

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7f;
}

QStringView trimBlanks(QStringView s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && isBlank(s[begin]))
        ++begin;
    while (end > begin && isBlank(s[end - 1]))
        --end;
    return s.sliced(begin, end - begin);
}

// Characters that would otherwise end or change the meaning of the token they stand in.
bool needsPunctuationEscape(QChar c, Context context)
{
    switch (context) {
    case Context::Name:
        return QStringView(u"=:[];#").contains(c);
    case Context::GroupLevel:
        return QStringView(u"/[]").contains(c);
    case Context::Value:
        return false;
    }
    return false;
}

QString escape(const QString& text, Context context)
{
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const ushort u = c.unicode();
        if (c == u'\\') {
            out += u"\\\\";
        } else if (c == u'\n') {
            out += u"\\n";
        } else if (c == u'\r') {
            out += u"\\r";
        } else if (c == u'\t') {
            out += u"\\t";
        } else if (u == 0) {
            out += u"\\0";
        } else if (isControl(c)) {
            out += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
        } else if (c == u' ' && (i == 0 || i == text.size() - 1)) {
            // Blanks around names and values are trimmed on reading.
            out += u"\\s";
        } else if (needsPunctuationEscape(c, context)) {
            out += u'\\';
            out += c;
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (c.isSurrogate()) {
            // A lone surrogate has no UTF-8 form; keep it as a number.
            out += QStringLiteral("\\u%1").arg(u, 4, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<uint> hexValue(QStringView digits)
{
    uint value = 0;
    for (QChar c : digits) {
        const int digit = QStringView(u"0123456789abcdef").indexOf(c.toLower());
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + uint(digit);
    }
    return value;
}

std::optional<QString> unescape(QStringView raw)
{
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] != u'\\') {
            out += raw[i];
            continue;
        }
        if (++i >= raw.size())
            return std::nullopt;
        const QChar c = raw[i];
        if (c == u'n') {
            out += u'\n';
        } else if (c == u'r') {
            out += u'\r';
        } else if (c == u't') {
            out += u'\t';
        } else if (c == u'0') {
            out += QChar(0);
        } else if (c == u's') {
            out += u' ';
        } else if (c == u'x' || c == u'u') {
            const qsizetype width = c == u'x' ? 2 : 4;
            if (i + width >= raw.size())
                return std::nullopt;
            const auto value = hexValue(raw.sliced(i + 1, width));
            if (!value)
                return std::nullopt;
            out += QChar(char16_t(*value));
            i += width;
        } else if (QStringView(u"\\=:[];#/").contains(c)) {
            out += c;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

// Position of the first `c` that is not preceded by an escaping backslash.
qsizetype findUnescaped(QStringView s, QChar c)
{
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'\\')
            ++i;
        else if (s[i] == c)
            return i;
    }
    return -1;
}

QList<QStringView> splitUnescaped(QStringView s, QChar separator)
{
    QList<QStringView> parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'\\') {
            ++i;
        } else if (s[i] == separator) {
            parts.append(s.sliced(start, i - start));
            start = i + 1;
        }
    }
    parts.append(s.sliced(start));
    return parts;
}

// Lookups fold case once instead of comparing case-insensitively entry by
// entry, so a large file costs time in proportion to its size.
QStringList foldedPath(const QStringList& path)
{
    QStringList folded;
    folded.reserve(path.size());
    for (const QString& level : path)
        folded.append(level.toCaseFolded());
    return folded;
}

QString kindTag(Kind kind)
{
    switch (kind) {
    case Kind::String:
        return {};
    case Kind::ExpandString:
        return QStringLiteral("expand");
    case Kind::Dword:
        return QStringLiteral("dword");
    case Kind::MultiString:
        return QStringLiteral("multi");
    }
    return {};
}

std::optional<Kind> kindFromTag(QStringView tag)
{
    for (Kind kind : {Kind::String, Kind::ExpandString, Kind::Dword, Kind::MultiString}) {
        if (tag == kindTag(kind))
            return kind;
    }
    return std::nullopt;
}

std::optional<quint32> parseDword(QStringView digits)
{
    if (digits.isEmpty() || digits.size() > 10)
        return std::nullopt;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    const qulonglong value = digits.toULongLong();
    if (value > 0xffffffffULL)
        return std::nullopt;
    return quint32(value);
}

} // namespace

QString formatEntry(const QString& name, const StoredValue& value)
{
    QString line = escape(name, Context::Name);
    const QString tag = kindTag(value.kind);
    if (!tag.isEmpty())
        line += u':' + tag;
    line += u'=';
    line += value.kind == Kind::Dword ? QString::number(value.number)
                                      : escape(value.text, Context::Value);
    return line;
}

QString formatGroupHeader(const QStringList& path)
{
    QStringList levels;
    for (const QString& level : path)
        levels.append(escape(level, Context::GroupLevel));
    return u'[' + levels.join(u'/') + u']';
}

Result<Document> Document::parse(const QByteArray& bytes)
{
    auto fail = [](qsizetype line, const QString& reason) {
        return Status::failure(line < 0 ? reason
                                        : QStringLiteral("line %1: %2").arg(line + 1).arg(reason));
    };
    if (bytes.size() > MaxFileSize)
        return fail(-1, QStringLiteral("larger than %1 bytes").arg(MaxFileSize));

    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return fail(-1, QStringLiteral("not valid UTF-8"));

    Document doc;
    doc.m_lines = text.split(u'\n');
    if (doc.m_lines.last().isEmpty())
        doc.m_lines.removeLast();
    doc.addGroup(Group());

    for (qsizetype i = 0; i < doc.m_lines.size(); ++i) {
        QString& line = doc.m_lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        for (QChar c : line) {
            if (isControl(c) && c != u'\t')
                return fail(i, QStringLiteral("control character U+%1")
                                   .arg(c.unicode(), 4, 16, QLatin1Char('0')));
        }
        const QStringView t = trimBlanks(line);
        if (t.isEmpty() || t.startsWith(u';') || t.startsWith(u'#'))
            continue;

        if (t.startsWith(u'[')) {
            if (t.size() < 2 || !t.endsWith(u']'))
                return fail(i, QStringLiteral("unterminated group header"));
            Group group;
            group.header = group.last = i;
            for (QStringView raw : splitUnescaped(t.sliced(1, t.size() - 2), u'/')) {
                const auto level = unescape(trimBlanks(raw));
                if (!level)
                    return fail(i, QStringLiteral("bad escape in group header"));
                if (level->isEmpty())
                    return fail(i, QStringLiteral("empty key name in group header"));
                group.path.append(*level);
            }
            if (doc.findGroup(group.path))
                return fail(i, QStringLiteral("group appears twice"));
            doc.addGroup(group);
            continue;
        }

        const qsizetype eq = findUnescaped(t, u'=');
        if (eq < 0)
            return fail(i, QStringLiteral("expected name=value"));
        const QStringView left = trimBlanks(t.first(eq));
        const QStringView right = trimBlanks(t.sliced(eq + 1));
        const qsizetype colon = findUnescaped(left, u':');
        const auto name = unescape(colon < 0 ? left : trimBlanks(left.first(colon)));
        if (!name)
            return fail(i, QStringLiteral("bad escape in value name"));
        const auto kind =
            kindFromTag(colon < 0 ? QStringView() : trimBlanks(left.sliced(colon + 1)));
        if (!kind || (colon >= 0 && *kind == Kind::String))
            return fail(i, QStringLiteral("unknown value type"));

        Entry entry;
        entry.name = *name;
        entry.line = i;
        entry.value.kind = *kind;
        if (*kind == Kind::Dword) {
            const auto number = parseDword(right);
            if (!number)
                return fail(i, QStringLiteral("not a number from 0 to 4294967295"));
            entry.value.number = *number;
        } else {
            const auto value = unescape(right);
            if (!value)
                return fail(i, QStringLiteral("bad escape in value"));
            entry.value.text = *value;
        }

        Group& group = doc.m_groups.last();
        if (group.entryIndex.contains(entry.name.toCaseFolded()))
            return fail(i, QStringLiteral("value appears twice in its group"));
        addEntry(group, entry);
        group.last = i;
    }
    return doc;
}

const Document::Group* Document::findGroup(const QStringList& path) const
{
    const qsizetype index = m_groupIndex.value(foldedPath(path), -1);
    return index < 0 ? nullptr : &m_groups[index];
}

Document::Group* Document::findGroup(const QStringList& path)
{
    const qsizetype index = m_groupIndex.value(foldedPath(path), -1);
    return index < 0 ? nullptr : &m_groups[index];
}

void Document::addGroup(const Group& group)
{
    m_groupIndex.insert(foldedPath(group.path), m_groups.size());
    m_groups.append(group);
}

void Document::addEntry(Group& group, const Entry& entry)
{
    group.entryIndex.insert(entry.name.toCaseFolded(), group.entries.size());
    group.entries.append(entry);
}

std::optional<StoredValue> Document::find(const QStringList& group, const QString& name) const
{
    const Group* g = findGroup(group);
    if (!g)
        return std::nullopt;
    const qsizetype index = g->entryIndex.value(name.toCaseFolded(), -1);
    return index < 0 ? std::nullopt : std::optional<StoredValue>(g->entries[index].value);
}

void Document::insertLine(qsizetype at, const QString& text)
{
    m_lines.insert(at, text);
    for (Group& group : m_groups) {
        if (group.header >= at)
            ++group.header;
        if (group.last >= at)
            ++group.last;
        for (Entry& entry : group.entries) {
            if (entry.line >= at)
                ++entry.line;
        }
    }
}

void Document::set(const QStringList& group, const QString& name, const StoredValue& value)
{
    const QString line = formatEntry(name, value);
    Group* g = findGroup(group);
    if (!g) {
        if (!m_lines.isEmpty() && !trimBlanks(m_lines.last()).isEmpty())
            m_lines.append(QString());
        Group added;
        added.path = group;
        added.header = added.last = m_lines.size();
        m_lines.append(formatGroupHeader(group));
        addGroup(added);
        g = &m_groups.last();
    }
    if (const qsizetype index = g->entryIndex.value(name.toCaseFolded(), -1); index >= 0) {
        Entry& entry = g->entries[index];
        m_lines[entry.line] = line;
        entry.value = value;
        return;
    }
    qsizetype at = g->last + 1;
    if (g->header < 0 && g->last < 0) // the first value outside any group goes before the first one
        at = m_groups.size() > 1 ? m_groups[1].header : m_lines.size();
    insertLine(at, line);
    addEntry(*g, Entry{name, value, at});
    g->last = at;
}

QByteArray Document::serialize() const
{
    QByteArray out;
    for (const QString& line : m_lines) {
        out += line.toUtf8();
        out += '\n';
    }
    return out;
}

} // namespace SettingsFile
