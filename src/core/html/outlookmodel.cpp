#include "core/html/outlookmodel.h"

#include "core/html/csschars.h"
#include "core/html/cssurls.h"
#include "core/html/htmlscan.h"

#include <QByteArrayList>
#include <QCoreApplication>
#include <QRegularExpression>

#include <optional>
#include <vector>

namespace OutlookModel {

namespace {

// The next place of a needle at or after a position that only grows. The last
// answer is reused while it still lies ahead, so thousands of openings that
// never close cost one scan of the page, not one each.
class ForwardSearch
{
public:
    ForwardSearch(const QByteArray& text, const char* needle) : m_text(text), m_needle(needle) {}

    qsizetype from(qsizetype at)
    {
        if (!m_searched || at < m_from || (m_found >= 0 && m_found < at)) {
            m_from = at;
            m_found = m_text.indexOf(m_needle, at);
            m_searched = true;
        }
        return m_found;
    }

private:
    const QByteArray& m_text;
    const char* m_needle;
    qsizetype m_from = 0;
    qsizetype m_found = -1;
    bool m_searched = false;
};

bool startsWithAt(const QByteArray& text, qsizetype at, QByteArrayView prefix)
{
    return at <= text.size() && QByteArrayView(text).sliced(at).startsWith(prefix);
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// "mso", "mso | IE", "gte mso 9", "(mso)|(IE)" hold for Outlook; "!mso" and
// "IE" do not.
bool holdsForOutlook(const QString& condition)
{
    if (condition.contains(QLatin1String("!mso"), Qt::CaseInsensitive))
        return false;
    for (qsizetype at = condition.indexOf(QLatin1String("mso"), 0, Qt::CaseInsensitive); at >= 0;
         at = condition.indexOf(QLatin1String("mso"), at + 1, Qt::CaseInsensitive)) {
        const bool startsWord =
            at == 0 || (!isWordChar(condition[at - 1]) && condition[at - 1] != QLatin1Char('!'));
        const bool endsWord = at + 3 == condition.size() || !isWordChar(condition[at + 3]);
        if (startsWord && endsWord)
            return true;
    }
    return false;
}

// Conditional comments as Outlook reads them: the content of "<!--[if mso]>
// ... <![endif]-->" shown, that of "<!--[if !mso]><!--> ... <!--<![endif]-->"
// taken out. A conditional whose end is missing stays the comment a browser
// reads it as; so does an ordinary comment, with whatever it hides.
QByteArray switchConditionals(const QByteArray& page)
{
    static constexpr char Open[] = "<!--[if ";
    static constexpr char HiddenEnd[] = "<![endif]-->";
    static constexpr char RevealedEnd[] = "<!--<![endif]-->";
    ForwardSearch hiddenEnd(page, HiddenEnd);
    ForwardSearch revealedEnd(page, RevealedEnd);
    ForwardSearch bracket(page, "]");
    ForwardSearch closeAngle(page, ">");
    QByteArray out;
    out.reserve(page.size());
    qsizetype copied = 0;
    qsizetype at = 0;
    while ((at = page.indexOf("<!--", at)) >= 0) {
        const qsizetype conditionBegin = at + qsizetype(sizeof(Open) - 1);
        // The condition runs to the first ']', which the comment's first '>'
        // must follow; a condition that held one would be over for a browser.
        const qsizetype close = startsWithAt(page, at, Open) ? bracket.from(conditionBegin) : -1;
        if (close > conditionBegin && closeAngle.from(conditionBegin) == close + 1) {
            const qsizetype contentBegin = close + 2;
            const bool revealed = startsWithAt(page, contentBegin, "<!-->");
            const qsizetype from = revealed ? contentBegin + 5 : contentBegin;
            const qsizetype end = revealed ? revealedEnd.from(from) : hiddenEnd.from(from);
            if (end >= 0) {
                out.append(QByteArrayView(page).sliced(copied, at - copied));
                const QString condition =
                    QString::fromUtf8(page.mid(conditionBegin, close - conditionBegin));
                if (holdsForOutlook(condition))
                    out.append(QByteArrayView(page).sliced(from, end - from));
                at = copied =
                    end + qsizetype(revealed ? sizeof(RevealedEnd) - 1 : sizeof(HiddenEnd) - 1);
                continue;
            }
        }
        at = Html::commentEnd(page, at);
    }
    out.append(QByteArrayView(page).sliced(copied));
    return out;
}

// Where a string that starts at `at` ends: at its closing quote, or before
// a newline, as the engine's tokenizer ends it.
qsizetype stringEnd(QByteArrayView css, qsizetype at)
{
    const char quote = css[at];
    for (++at; at < css.size(); ++at) {
        if (css[at] == '\\')
            ++at;
        else if (css[at] == quote)
            return at + 1;
        else if (CssChars::isNewline(css[at]))
            return at;
    }
    return css.size();
}

// Steps over a comment, a string or an escape at `at`; returns where the
// reading goes on, or `at` when none starts there.
qsizetype skipOpaque(QByteArrayView css, qsizetype at)
{
    const char c = css[at];
    if (c == '/' && at + 1 < css.size() && css[at + 1] == '*') {
        const qsizetype end = css.indexOf("*/", at + 2);
        return end < 0 ? css.size() : end + 2;
    }
    if (c == '"' || c == '\'')
        return stringEnd(css, at);
    if (c == '\\')
        return std::min(at + 2, css.size());
    return at;
}

// Where the @media rule whose prelude starts at `at` ends, or -1 when it
// never does. Braces in comments and strings do not count, as for the engine.
qsizetype mediaRuleEnd(QByteArrayView css, qsizetype at)
{
    int depth = 0;
    while (at < css.size()) {
        if (const qsizetype next = skipOpaque(css, at); next != at) {
            at = next;
            continue;
        }
        const char c = css[at++];
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (depth == 0)
                return at - 1; // the end of an enclosing block: a rule without a body
            if (--depth == 0)
                return at;
        } else if (c == ';' && depth == 0) {
            return at;
        }
    }
    return -1;
}

// The style sheet without its @media blocks, which the Word engine skips.
Result<QByteArray> withoutMedia(QByteArrayView css)
{
    QByteArray out;
    qsizetype copied = 0;
    qsizetype at = 0;
    while (at < css.size()) {
        if (const qsizetype next = skipOpaque(css, at); next != at) {
            at = next;
            continue;
        }
        const qsizetype nameEnd = at + 6;
        if (css[at] != '@' || nameEnd > css.size() ||
            qstrnicmp(css.data() + at + 1, "media", 5) != 0 ||
            (nameEnd < css.size() && CssChars::isNameChar(css[nameEnd]))) {
            ++at;
            continue;
        }
        const qsizetype end = mediaRuleEnd(css, nameEnd);
        if (end < 0)
            return Status::failure(QCoreApplication::translate(
                "OutlookModel", "an @media block in the style sheet has no end"));
        out.append(css.sliced(copied, at - copied));
        at = copied = end;
    }
    out.append(css.sliced(copied));
    return out;
}

struct Declaration
{
    QByteArray name; // lower case
    QByteArray value;
};

// The declarations of a style attribute, split where the engine splits them:
// not at a ';' inside a string or brackets. Comments are read as blanks.
std::vector<Declaration> declarations(QByteArrayView style)
{
    std::vector<Declaration> found;
    QByteArray item;
    int depth = 0;
    const auto finish = [&] {
        const qsizetype colon = item.indexOf(':');
        if (colon >= 0)
            found.push_back({item.left(colon).trimmed().toLower(), item.mid(colon + 1).trimmed()});
        item.clear();
    };
    qsizetype at = 0;
    while (at < style.size()) {
        const qsizetype next = skipOpaque(style, at);
        if (next != at) {
            item.append(style[at] == '/' ? QByteArrayView(" ") : style.sliced(at, next - at));
            at = next;
            continue;
        }
        const char c = style[at++];
        if (c == '(' || c == '[' || c == '{')
            ++depth;
        else if ((c == ')' || c == ']' || c == '}') && depth > 0)
            --depth;
        if (c == ';' && depth == 0)
            finish();
        else
            item.append(c);
    }
    finish();
    return found;
}

// The value as compared: lower case, without "!important", which makes no
// declaration count for an engine that ignores it.
QByteArray plainValue(const QByteArray& value)
{
    QByteArray plain = value.toLower();
    const qsizetype bang = plain.lastIndexOf('!');
    if (bang >= 0 && plain.mid(bang + 1).trimmed() == "important")
        plain.truncate(bang);
    return plain.trimmed();
}

// Whether `name` is the shorthand `property` or one of its sides.
bool isBox(const QByteArray& name, QByteArrayView property)
{
    if (!name.startsWith(property))
        return false;
    const QByteArrayView side = QByteArrayView(name).sliced(property.size());
    return side.isEmpty() || side == "-top" || side == "-right" || side == "-bottom" ||
           side == "-left";
}

// The inline style of one element as the Word engine applies it.
QByteArray restyle(const QByteArray& tag, QByteArrayView style)
{
    // Declarations it ignores wherever they stand.
    static const QByteArrayList ignoredNames = {"max-width",     "min-width",        "max-height",
                                                "border-radius", "background-image", "box-shadow",
                                                "overflow",      "opacity",          "position"};
    static const QByteArrayList ignoredDisplays = {"inline-block", "flex", "inline-flex", "grid",
                                                   "inline-grid"};
    // Padding it ignores on these elements (it honours it on table cells),
    // and margins on these.
    static const QByteArrayList noPadding = {"div", "a", "span"};
    static const QByteArrayList noMargin = {"span", "body"};
    static const QRegularExpression autoWord(QStringLiteral("\\bauto\\b"),
                                             QRegularExpression::CaseInsensitiveOption);

    std::vector<Declaration> kept;
    std::optional<QByteArray> alternative;
    for (Declaration& declaration : declarations(style)) {
        const QByteArray& name = declaration.name;
        const QByteArray value = plainValue(declaration.value);
        const QByteArray compact = QByteArray(value).replace(' ', QByteArray());
        if (ignoredNames.contains(name) || (name == "display" && ignoredDisplays.contains(compact)))
            continue;
        if (name == "background" && !CssUrls::find(declaration.value).isEmpty())
            continue;
        const bool padding = isBox(name, "padding");
        const bool margin = isBox(name, "margin");
        if ((padding && noPadding.contains(tag)) || (margin && noMargin.contains(tag)))
            continue;
        if (margin && value.contains("auto")) // it centres with align="center" only
            declaration.value = QString::fromUtf8(declaration.value)
                                    .replace(autoWord, QStringLiteral("0"))
                                    .toUtf8();
        if (tag == "span" && name == "display" && value != "none")
            continue; // a span stays inline: display:block does not make a line of its own
        if (tag == "img" && (name == "width" || name == "height"))
            continue; // it sizes images by their attributes
        if (name == "mso-padding-alt") {
            alternative = declaration.value;
            continue;
        }
        if (name == "mso-hide" && value == "all") {
            kept.push_back({"display", "none"});
            continue;
        }
        kept.push_back(std::move(declaration));
    }
    QByteArrayList out;
    for (const Declaration& declaration : kept) {
        if (!alternative || !isBox(declaration.name, "padding"))
            out.append(declaration.name + ':' + declaration.value);
    }
    if (alternative)
        out.append("padding:" + *alternative);
    return out.join(';');
}

struct Edit
{
    qsizetype begin;
    qsizetype end;
    QByteArray text;
};

} // namespace

Result<QString> outlookView(const QString& page)
{
    const QByteArray html = switchConditionals(page.toUtf8());
    const QByteArray lower = html.toLower();
    ForwardSearch xmlEnd(lower, "</xml>");
    std::vector<Edit> edits;
    std::optional<Status> failure;
    qsizetype removedUntil = 0;
    Html::scanHtml(html, [&](const Html::HtmlTag& tag) {
        if (failure || tag.begin < removedUntil)
            return;
        // The document settings are for Word, not content.
        if (tag.name == "xml") {
            if (const qsizetype end = xmlEnd.from(tag.end); end >= 0) {
                removedUntil = end + 6;
                edits.push_back({tag.begin, removedUntil, {}});
                return;
            }
        }
        for (const Html::HtmlAttribute& attribute : tag.attributes) {
            if (attribute.name != "style" || !attribute.hasValue)
                continue;
            const QByteArray style = Html::decodeEntities(QByteArrayView(html).sliced(
                attribute.valueBegin, attribute.valueEnd - attribute.valueBegin));
            edits.push_back({attribute.begin, attribute.end,
                             "style=\"" + Html::escapeAttribute(restyle(tag.name, style)) + '"'});
        }
        if (tag.name == "style" && tag.contentEnd >= 0) {
            const Result<QByteArray> css =
                withoutMedia(QByteArrayView(html).sliced(tag.end, tag.contentEnd - tag.end));
            if (!css)
                failure = css.status();
            else
                edits.push_back({tag.end, tag.contentEnd, *css});
        }
    });
    if (failure)
        return *failure;
    QByteArray out;
    out.reserve(html.size());
    qsizetype copied = 0;
    for (const Edit& edit : edits) {
        out.append(QByteArrayView(html).sliced(copied, edit.begin - copied));
        out.append(edit.text);
        copied = edit.end;
    }
    out.append(QByteArrayView(html).sliced(copied));
    return QString::fromUtf8(out);
}

} // namespace OutlookModel
