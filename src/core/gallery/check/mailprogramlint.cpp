#include "core/gallery/check/mailprogramlint.h"

#include "core/gallery/check/mailprogramtable.h"
#include "core/html/htmlscan.h"
#include "core/views/cssrules.h"

#include <QHash>

#include <algorithm>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <vector>

namespace MailProgramLint {

namespace {

using MailProgramTable::RuleKind;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || static_cast<unsigned char>(c) >= 0x80;
}

QByteArray withoutComments(QByteArrayView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '/' && i + 1 < text.size() && text[i + 1] == '*') {
            const qsizetype close = text.indexOf("*/", i + 2);
            i = close < 0 ? text.size() : close + 1;
            continue;
        }
        out += text[i];
    }
    return out;
}

// Splits at `separator` outside quotes, parentheses and brackets, as the
// linter's CSS parser splits selector lists and declaration blocks.
QList<QByteArray> splitTopLevel(QByteArrayView text, char separator)
{
    QList<QByteArray> parts;
    int depth = 0;
    char quote = 0;
    qsizetype begin = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            if (c == '\\')
                ++i;
            else if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '(' || c == '[') {
            ++depth;
        } else if ((c == ')' || c == ']') && depth > 0) {
            --depth;
        } else if (c == separator && depth == 0) {
            parts.append(text.sliced(begin, i - begin).toByteArray());
            begin = i + 1;
        }
    }
    parts.append(text.sliced(begin).toByteArray());
    return parts;
}

// The shapes the linter's selector parser sees at the top level of one
// selector; what sits inside :not(...) and the like is not its own.
struct SelectorShape
{
    bool adjacent = false, child = false, descendant = false, sibling = false;
    bool attribute = false, id = false, type = false, universal = false;
    int classes = 0;
};

SelectorShape selectorShape(QByteArrayView selector)
{
    SelectorShape shape;
    bool pendingBlank = false;
    bool afterCombinator = true; // at the start, as after a combinator
    const qsizetype size = selector.size();
    auto compound = [&] {
        if (pendingBlank && !afterCombinator)
            shape.descendant = true;
        pendingBlank = false;
        afterCombinator = false;
    };
    auto skipName = [&](qsizetype i) {
        while (i < size && (isNameChar(selector[i]) || selector[i] == '\\')) {
            if (selector[i] == '\\')
                ++i;
            ++i;
        }
        return i;
    };
    qsizetype i = 0;
    while (i < size) {
        const char c = selector[i];
        if (isBlank(c)) {
            pendingBlank = true;
            ++i;
        } else if (c == '>' || c == '+' || c == '~') {
            (c == '>' ? shape.child : c == '+' ? shape.adjacent : shape.sibling) = true;
            pendingBlank = false;
            afterCombinator = true;
            ++i;
        } else if (c == '.' || c == '#') {
            compound();
            (c == '.' ? ++shape.classes : (shape.id = true, 0));
            i = skipName(i + 1);
        } else if (c == '[') {
            compound();
            qsizetype at = i + 1;
            while (at < size && isBlank(selector[at]))
                ++at;
            const qsizetype nameEnd = skipName(at);
            const QByteArray name = selector.sliced(at, nameEnd - at).toByteArray().toLower();
            if (name == "class")
                ++shape.classes;
            else if (name == "id")
                shape.id = true;
            else
                shape.attribute = true;
            char quote = 0;
            for (i = nameEnd; i < size; ++i) {
                if (quote) {
                    if (selector[i] == '\\')
                        ++i;
                    else if (selector[i] == quote)
                        quote = 0;
                } else if (selector[i] == '"' || selector[i] == '\'') {
                    quote = selector[i];
                } else if (selector[i] == ']') {
                    ++i;
                    break;
                }
            }
        } else if (c == ':') {
            compound();
            i = skipName(selector.sliced(i).startsWith("::") ? i + 2 : i + 1);
            if (i < size && selector[i] == '(') {
                int depth = 0;
                for (; i < size; ++i) {
                    if (selector[i] == '(')
                        ++depth;
                    else if (selector[i] == ')' && --depth == 0) {
                        ++i;
                        break;
                    }
                }
            }
        } else if (c == '*') {
            compound();
            shape.universal = true;
            ++i;
        } else if (isNameChar(c) || c == '\\') {
            compound();
            shape.type = true;
            i = skipName(i);
        } else {
            ++i;
        }
    }
    return shape;
}

bool selectorHas(const SelectorShape& shape, const char* detector)
{
    const QByteArrayView name(detector);
    if (name == "Adjacent sibling combinator")
        return shape.adjacent;
    if (name == "Attribute selector")
        return shape.attribute;
    if (name == "Chaining selectors")
        return shape.classes >= 2;
    if (name == "Child combinator")
        return shape.child;
    if (name == "Class selector")
        return shape.classes > 0;
    if (name == "Descendant combinator")
        return shape.descendant;
    if (name == "General sibling combinator")
        return shape.sibling;
    if (name == "ID selector")
        return shape.id;
    if (name == "Type selector")
        return shape.type;
    if (name == "Universal selector *")
        return shape.universal;
    // "Grouping selectors": the linter parses each selector of a list alone,
    // so it never sees a group.
    return false;
}

bool hasUnit(QByteArrayView value, const char* unit)
{
    const qsizetype length = qsizetype(std::strlen(unit));
    for (qsizetype at = value.indexOf(unit, 1); at > 0; at = value.indexOf(unit, at + 1)) {
        if (value[at - 1] >= '0' && value[at - 1] <= '9')
            return true;
    }
    Q_UNUSED(length);
    return false;
}

bool hasWord(QByteArrayView value, const char* word)
{
    const qsizetype length = qsizetype(std::strlen(word));
    auto isWordChar = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_';
    };
    for (qsizetype at = value.indexOf(word); at >= 0; at = value.indexOf(word, at + 1)) {
        const bool startOk = at == 0 || !isWordChar(value[at - 1]);
        const bool endOk = at + length >= value.size() || !isWordChar(value[at + length]);
        if (startOk && endOk)
            return true;
    }
    return false;
}

// A declaration as the linter's CSS parsers split one: "name: value", both
// trimmed and without comments.
struct Declaration
{
    QByteArray name;
    QByteArray value;
};

QList<Declaration> declarations(QByteArrayView block)
{
    QList<Declaration> out;
    for (const QByteArray& part : splitTopLevel(block, ';')) {
        const QByteArray text = withoutComments(part);
        const qsizetype colon = text.indexOf(':');
        if (colon < 0)
            continue;
        Declaration declaration{text.left(colon).trimmed(), text.mid(colon + 1).trimmed()};
        if (!declaration.name.isEmpty())
            out.append(declaration);
    }
    return out;
}

// The top-level at-rules of a sheet by the names the linter gives them:
// "@-webkit-keyframes x {...}" is "keyframes".
QList<QByteArray> topLevelAtRules(QByteArrayView css)
{
    QList<QByteArray> names;
    int depth = 0;
    bool statementStart = true;
    for (qsizetype i = 0; i < css.size(); ++i) {
        const char c = css[i];
        if (c == '/' && i + 1 < css.size() && css[i + 1] == '*') {
            const qsizetype close = css.indexOf("*/", i + 2);
            i = close < 0 ? css.size() : close + 1;
            continue;
        }
        if (c == '"' || c == '\'') {
            for (++i; i < css.size() && css[i] != c && css[i] != '\n'; ++i) {
                if (css[i] == '\\')
                    ++i;
            }
            continue;
        }
        if (c == '{') {
            ++depth;
            statementStart = false;
        } else if (c == '}') {
            depth = std::max(depth - 1, 0);
            statementStart = depth == 0;
        } else if (c == ';' && depth == 0) {
            statementStart = true;
        } else if (c == '@' && depth == 0 && statementStart) {
            qsizetype end = i + 1;
            while (end < css.size() && isNameChar(css[end]))
                ++end;
            QByteArray name = css.sliced(i + 1, end - i - 1).toByteArray().toLower();
            if (name.startsWith('-')) {
                const qsizetype dash = name.indexOf('-', 1);
                name = dash < 0 ? name : name.mid(dash + 1);
            }
            names.append(name);
            statementStart = false;
            i = end - 1;
        } else if (!isBlank(c)) {
            statementStart = false;
        }
    }
    return names;
}

// The rules by what they look at, so that each element or declaration is
// held against its own few only.
std::vector<MailProgramTable::Rule> rulesOf(std::initializer_list<RuleKind> kinds)
{
    std::vector<MailProgramTable::Rule> rules;
    for (const MailProgramTable::Rule& rule : MailProgramTable::Rules) {
        if (std::find(kinds.begin(), kinds.end(), rule.kind) != kinds.end())
            rules.push_back(rule);
    }
    return rules;
}

const std::vector<MailProgramTable::Rule>& declarationRules()
{
    static const auto rules = rulesOf({RuleKind::Property, RuleKind::PropertyValue, RuleKind::Unit,
                                       RuleKind::Word, RuleKind::Keyword});
    return rules;
}

const std::vector<MailProgramTable::Rule>& selectorRules()
{
    static const auto rules = rulesOf({RuleKind::Pseudo, RuleKind::Selector});
    return rules;
}

const std::vector<MailProgramTable::Rule>& atRules()
{
    static const auto rules = rulesOf({RuleKind::AtRule});
    return rules;
}

const std::vector<MailProgramTable::Rule>& elementRules()
{
    static const auto rules =
        rulesOf({RuleKind::Element, RuleKind::Attribute, RuleKind::ElementAttribute,
                 RuleKind::ElementAttributeEquals, RuleKind::ElementAttributePrefix});
    return rules;
}

class Matcher
{
public:
    explicit Matcher(const QByteArray& html) : m_html(html) {}

    Raw run()
    {
        Html::scanHtml(m_html, [this](const Html::HtmlTag& tag) { visit(tag); });
        return std::move(m_raw);
    }

private:
    void use(int feature, const Place& place)
    {
        const MailProgramTable::Feature& entry = MailProgramTable::Features[feature];
        const QString title = QString::fromUtf8(entry.title);
        if (entry.unsupported)
            m_raw.unsupported[title] |= entry.unsupported;
        if (entry.noData)
            m_raw.noData[title] |= entry.noData;
        if ((entry.unsupported || entry.noData) && !m_raw.places.contains(title))
            m_raw.places.insert(title, place);
    }

    void checkDeclaration(const Declaration& declaration, const Place& place)
    {
        for (const MailProgramTable::Rule& rule : declarationRules()) {
            bool hit = false;
            switch (rule.kind) {
            case RuleKind::Property:
                hit = declaration.name == rule.a;
                break;
            case RuleKind::PropertyValue:
                hit = declaration.name == rule.a && declaration.value == rule.b;
                break;
            case RuleKind::Unit:
                hit = hasUnit(declaration.value, rule.a);
                break;
            case RuleKind::Word:
                hit = hasWord(declaration.value, rule.a);
                break;
            case RuleKind::Keyword:
                hit = declaration.value.contains(rule.a);
                break;
            default:
                break;
            }
            if (hit)
                use(rule.feature, place);
        }
    }

    void checkSheet(QByteArrayView css, const Place& place)
    {
        CssRules::forEachRule(css, [&](QByteArrayView selectors, QByteArrayView block) {
            for (const Declaration& declaration : declarations(block))
                checkDeclaration(declaration, place);
            for (const QByteArray& part : splitTopLevel(withoutComments(selectors), ',')) {
                const QByteArray selector = part.trimmed();
                if (selector.isEmpty())
                    continue;
                const SelectorShape shape = selectorShape(selector);
                for (const MailProgramTable::Rule& rule : selectorRules()) {
                    if ((rule.kind == RuleKind::Pseudo && selector.contains(rule.a)) ||
                        (rule.kind == RuleKind::Selector && selectorHas(shape, rule.a)))
                        use(rule.feature, place);
                }
            }
        });
        for (const QByteArray& name : topLevelAtRules(css)) {
            for (const MailProgramTable::Rule& rule : atRules()) {
                if (rule.kind == RuleKind::AtRule && name == rule.a)
                    use(rule.feature, place);
            }
        }
    }

    Place placeOf(const Html::HtmlTag& tag)
    {
        for (; m_lineAt < tag.begin; ++m_lineAt) {
            if (m_html[m_lineAt] == '\n')
                ++m_line;
        }
        const QString name = QString::fromLatin1(tag.name);
        return {name, m_counts[name]++, m_line};
    }

    void visit(const Html::HtmlTag& tag)
    {
        if (tag.name.startsWith('!'))
            return;
        const Place place = placeOf(tag);
        // The linter reads style sheets apart and walks only the other
        // elements: a <style> or <script> element is never one of its tags.
        if (tag.name == "style" || tag.name == "script") {
            if (tag.name == "style" && tag.contentEnd >= tag.end)
                checkSheet(QByteArrayView(m_html).sliced(tag.end, tag.contentEnd - tag.end), place);
            return;
        }
        // The first of attributes named alike counts, as in the browser.
        QHash<QByteArray, QByteArray> values;
        QList<QByteArray> names;
        for (const Html::HtmlAttribute& attribute : tag.attributes) {
            if (values.contains(attribute.name))
                continue;
            names.append(attribute.name);
            values.insert(attribute.name, attribute.hasValue
                                              ? Html::decodeEntities(QByteArrayView(m_html).sliced(
                                                    attribute.valueBegin,
                                                    attribute.valueEnd - attribute.valueBegin))
                                              : QByteArray(""));
        }
        for (const MailProgramTable::Rule& rule : elementRules()) {
            bool hit = false;
            const QByteArrayView b(rule.b);
            const qsizetype newline = b.indexOf('\n');
            switch (rule.kind) {
            case RuleKind::Element:
                hit = tag.name == rule.a;
                break;
            case RuleKind::Attribute:
                hit = values.contains(rule.a);
                break;
            case RuleKind::ElementAttribute:
                hit = tag.name == rule.a && values.contains(rule.b);
                break;
            case RuleKind::ElementAttributeEquals:
            case RuleKind::ElementAttributePrefix: {
                if (tag.name != rule.a || newline < 0)
                    break;
                const QByteArray name = b.first(newline).toByteArray();
                const QByteArrayView wanted = b.sliced(newline + 1);
                if (!values.contains(name))
                    break;
                const QByteArray& value = values[name];
                hit = rule.kind == RuleKind::ElementAttributeEquals ? value == wanted
                                                                    : value.startsWith(wanted);
                break;
            }
            default:
                break;
            }
            if (hit)
                use(rule.feature, place);
        }
        if (values.contains("style")) {
            // An inline style is read into an object: the last value of a
            // property wins, and an empty one is dropped.
            QList<Declaration> kept;
            for (const Declaration& declaration : declarations(values["style"])) {
                if (declaration.value.isEmpty())
                    continue;
                auto same = std::find_if(kept.begin(), kept.end(), [&](const Declaration& d) {
                    return d.name == declaration.name;
                });
                if (same != kept.end())
                    same->value = declaration.value;
                else
                    kept.append(declaration);
            }
            for (const Declaration& declaration : kept)
                checkDeclaration(declaration, place);
        }
    }

    const QByteArray& m_html;
    Raw m_raw;
    QHash<QString, int> m_counts;
    qsizetype m_lineAt = 0;
    int m_line = 1;
};

QStringList programNames(std::uint32_t mask)
{
    QStringList names;
    for (std::size_t i = 0; i < MailProgramTable::Clients.size(); ++i) {
        if (mask & (1u << i))
            names.append(QString::fromUtf8(MailProgramTable::Clients[i].name));
    }
    return names;
}

QString urlOf(const QString& title)
{
    for (const MailProgramTable::Feature& feature : MailProgramTable::Features) {
        if (title == QLatin1String(feature.title))
            return QString::fromUtf8(feature.url);
    }
    return {};
}

} // namespace

Raw lintRaw(const QByteArray& html)
{
    return Matcher(html).run();
}

Report lint(const QByteArray& html)
{
    const Raw raw = lintRaw(html);
    Report report;
    for (auto it = raw.unsupported.cbegin(); it != raw.unsupported.cend(); ++it) {
        std::uint32_t failed = 0;
        std::uint32_t excused = 0;
        QString reason;
        for (std::size_t i = 0; i < MailProgramTable::Clients.size(); ++i) {
            if (!(it.value() & (1u << i)))
                continue;
            const auto exception = std::find_if(
                MailProgramTable::Exceptions.begin(), MailProgramTable::Exceptions.end(),
                [&](const MailProgramTable::Exception& e) {
                    return e.client == int(i) && it.key() == QLatin1String(e.feature);
                });
            if (exception != MailProgramTable::Exceptions.end()) {
                excused |= 1u << i;
                reason = QString::fromUtf8(exception->reason);
            } else {
                failed |= 1u << i;
            }
        }
        const Place place = raw.places.value(it.key());
        if (failed)
            report.unsupported.append({it.key(), urlOf(it.key()), programNames(failed), {}, place});
        if (excused)
            report.excused.append(
                {it.key(), urlOf(it.key()), programNames(excused), reason, place});
    }
    for (auto it = raw.noData.cbegin(); it != raw.noData.cend(); ++it)
        report.noData.append(
            {it.key(), urlOf(it.key()), programNames(it.value()), {}, raw.places.value(it.key())});
    return report;
}

} // namespace MailProgramLint
