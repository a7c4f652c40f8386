#include "core/html/htmlnesting.h"

#include <QHash>

#include <bit>
#include <climits>
#include <cstring>
#include <vector>

namespace HtmlNesting {

namespace {

// What the tree builder needs to know of an element. The first group are the
// sets whose nearest open member every open element remembers, so that each
// decision below takes constant time however deep the page is.
enum Flag : quint32 {
    Special = 1u << 0,        // stops the search for li, dd, dt and ordinary end tags
    ScopeBarrier = 1u << 1,   // an end tag of a block does not close across it
    TableOnly = 1u << 2,      // table
    TableFamily = 1u << 3,    // anything that makes a table context
    RowContext = 1u << 4,     // where a cell's row is
    SectionContext = 1u << 5, // where a row's section is
    ListItem = 1u << 6,
    ListBarrier = 1u << 7,
    DefItem = 1u << 8,
    DefBarrier = 1u << 9,
    Paragraph = 1u << 10,
    Foreign = 1u << 11,

    Void = 1u << 12,
    Formatting = 1u << 13,
    ClosesParagraph = 1u << 14,
    Ignored = 1u << 15,  // html, head, body: every page has exactly one
    RawText = 1u << 16,  // its content is text up to its end tag
    ToTheEnd = 1u << 17, // plaintext: no end tag ends it
    Cell = 1u << 18,
    Row = 1u << 19,
    Section = 1u << 20, // tbody, thead, tfoot, caption, colgroup
    Option = 1u << 21,
    OptGroup = 1u << 22,
};

quint32 flagsOf(const QByteArray& name)
{
    static const QHash<QByteArray, quint32> table = [] {
        QHash<QByteArray, quint32> flags;
        auto add = [&](std::initializer_list<const char*> names, quint32 flag) {
            for (const char* n : names)
                flags[QByteArray(n)] |= flag;
        };
        add({"address", "applet",     "area",     "article",    "aside",     "base",     "basefont",
             "bgsound", "blockquote", "body",     "br",         "button",    "caption",  "center",
             "col",     "colgroup",   "dd",       "details",    "dir",       "div",      "dl",
             "dt",      "embed",      "fieldset", "figcaption", "figure",    "footer",   "form",
             "frame",   "frameset",   "h1",       "h2",         "h3",        "h4",       "h5",
             "h6",      "head",       "header",   "hgroup",     "hr",        "html",     "iframe",
             "img",     "input",      "keygen",   "li",         "link",      "listing",  "main",
             "marquee", "menu",       "meta",     "nav",        "noembed",   "noframes", "noscript",
             "object",  "ol",         "p",        "param",      "plaintext", "pre",      "script",
             "search",  "section",    "select",   "source",     "style",     "summary",  "table",
             "tbody",   "td",         "template", "textarea",   "tfoot",     "th",       "thead",
             "title",   "tr",         "track",    "ul",         "wbr",       "xmp",      "svg",
             "math"},
            Special);
        add({"applet", "caption", "html", "table", "td", "th", "marquee", "object", "template",
             "button", "svg", "math"},
            ScopeBarrier);
        add({"table"}, TableOnly | RowContext | SectionContext);
        add({"table", "tbody", "thead", "tfoot", "tr", "td", "th", "caption", "colgroup"},
            TableFamily);
        add({"tbody", "thead", "tfoot"}, RowContext | SectionContext | Section);
        add({"caption", "colgroup"}, Section);
        add({"tr"}, RowContext | Row);
        add({"td", "th"}, Cell);
        add({"li"}, ListItem);
        add({"dd", "dt"}, DefItem);
        add({"p"}, Paragraph);
        add({"svg", "math"}, Foreign);
        add({"option"}, Option);
        add({"optgroup"}, OptGroup);
        add({"area", "base", "basefont", "bgsound", "br", "col", "embed", "frame", "hr", "img",
             "input", "keygen", "link", "meta", "param", "source", "track", "wbr"},
            Void);
        add({"a", "b", "big", "code", "em", "font", "i", "nobr", "s", "small", "strike", "strong",
             "tt", "u"},
            Formatting);
        add({"address", "article",   "aside",   "blockquote", "center",     "details", "dialog",
             "dir",     "div",       "dl",      "fieldset",   "figcaption", "figure",  "footer",
             "form",    "h1",        "h2",      "h3",         "h4",         "h5",      "h6",
             "header",  "hgroup",    "main",    "menu",       "nav",        "ol",      "p",
             "pre",     "section",   "summary", "ul",         "listing",    "search",  "hr",
             "xmp",     "plaintext", "li",      "dd",         "dt"},
            ClosesParagraph);
        add({"html", "head", "body"}, Ignored);
        add({"script", "style", "textarea", "title", "xmp", "noembed", "noframes", "iframe",
             "plaintext"},
            RawText);
        add({"plaintext"}, ToTheEnd);
        // The item barriers are the special elements minus the ones an item may
        // sit in without ending the search.
        for (auto it = flags.begin(); it != flags.end(); ++it) {
            const QByteArray& n = it.key();
            const bool pass = n == "address" || n == "div" || n == "p";
            if ((it.value() & Special) && !pass && n != "li")
                it.value() |= ListBarrier;
            if ((it.value() & Special) && !pass && n != "dd" && n != "dt")
                it.value() |= DefBarrier;
        }
        return flags;
    }();
    return table.value(name, 0);
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

struct Token
{
    enum Kind { Text, StartTag, EndTag, Markup } kind = Text;
    qsizetype begin = 0;
    qsizetype end = 0;
    QByteArray name; // lower case
    bool selfClosing = false;
};

// Reads the attributes of a tag from `at` as the browser's tokenizer does, so
// that a '>' inside a quoted value does not end it; returns where it ends.
qsizetype readTagRest(QByteArrayView html, qsizetype at, bool* selfClosing)
{
    const qsizetype size = html.size();
    const char* data = html.data();
    *selfClosing = false;
    while (at < size) {
        const char c = data[at];
        if (c == '>') {
            return at + 1;
        } else if (c == '/') {
            *selfClosing = at + 1 < size && data[at + 1] == '>';
            ++at;
            continue;
        } else if (isSpace(c)) {
            ++at;
            continue;
        }
        *selfClosing = false;
        // The name; a leading '=' belongs to it.
        ++at;
        while (at < size && !isSpace(data[at]) && data[at] != '/' && data[at] != '>' &&
               data[at] != '=')
            ++at;
        qsizetype look = at;
        while (look < size && isSpace(data[look]))
            ++look;
        if (look >= size || data[look] != '=')
            continue;
        at = look + 1;
        while (at < size && isSpace(data[at]))
            ++at;
        if (at < size && (data[at] == '"' || data[at] == '\'')) {
            const void* close = std::memchr(data + at + 1, data[at], size_t(size - at - 1));
            at = close ? static_cast<const char*>(close) - data + 1 : size;
        } else {
            while (at < size && !isSpace(data[at]) && data[at] != '>')
                ++at;
        }
    }
    return size;
}

qsizetype commentEnd(QByteArrayView html, qsizetype at)
{
    // `at` is just after "<!--"; "<!-->" and "<!--->" end at once.
    const QByteArrayView rest = html.sliced(at);
    if (rest.startsWith('>'))
        return at + 1;
    if (rest.startsWith("->"))
        return at + 2;
    for (qsizetype dash = html.indexOf("--", at); dash >= 0; dash = html.indexOf("--", dash + 1)) {
        const QByteArrayView after = html.sliced(dash + 2);
        if (after.startsWith('>'))
            return dash + 3;
        if (after.startsWith("!>"))
            return dash + 4;
    }
    return html.size();
}

Token nextToken(QByteArrayView html, qsizetype at)
{
    const qsizetype size = html.size();
    const char* data = html.data();
    Token token;
    token.begin = at;
    if (data[at] != '<') {
        const void* open = std::memchr(data + at, '<', size_t(size - at));
        token.end = open ? static_cast<const char*>(open) - data : size;
        return token;
    }
    const char next = at + 1 < size ? data[at + 1] : '\0';
    const bool end = next == '/';
    const qsizetype nameAt = at + (end ? 2 : 1);
    if (nameAt < size && isAsciiLetter(data[nameAt])) {
        qsizetype nameEnd = nameAt + 1;
        while (nameEnd < size && !isSpace(data[nameEnd]) && data[nameEnd] != '/' &&
               data[nameEnd] != '>')
            ++nameEnd;
        token.kind = end ? Token::EndTag : Token::StartTag;
        token.name = html.sliced(nameAt, nameEnd - nameAt).toByteArray().toLower();
        token.end = readTagRest(html, nameEnd, &token.selfClosing);
        return token;
    }
    token.kind = Token::Markup;
    if (html.sliced(at).startsWith("<!--")) {
        token.end = commentEnd(html, at + 4);
    } else if (next == '!' || next == '?' || end) {
        const qsizetype close = html.indexOf('>', at + 1);
        token.end = close < 0 ? size : close + 1;
    } else {
        token.kind = Token::Text;
        token.end = at + 1;
    }
    return token;
}

// Where the text of a raw text element ends: at "</name" followed by a blank,
// '/' or '>', whatever the case.
qsizetype rawTextEnd(QByteArrayView html, const QByteArray& name, qsizetype at)
{
    const qsizetype size = html.size();
    const char* data = html.data();
    while (at < size) {
        const void* open = std::memchr(data + at, '<', size_t(size - at));
        if (!open)
            break;
        at = static_cast<const char*>(open) - data;
        const qsizetype after = at + 2 + name.size();
        if (after <= size && data[at + 1] == '/' &&
            qstrnicmp(data + at + 2, name.constData(), size_t(name.size())) == 0 &&
            (after == size || isSpace(data[after]) || data[after] == '/' || data[after] == '>'))
            return at;
        ++at;
    }
    return size;
}

constexpr int TrackedSets = 12;

struct OpenElement
{
    QByteArray name;
    quint32 flags = 0;
    int previousSameName = -1;
    int nearest[TrackedSets];
};

// The stack of open elements of the browser's tree builder, cut down to what
// decides the depth. Tags that would open an element deeper than `limit` are
// left out and recorded as edits for Flatten.
class Walker
{
public:
    Walker(QByteArrayView html, int limit) : m_html(html), m_limit(limit) {}

    int run();
    QByteArray flattened() const;
    int removed() const { return m_removed; }

private:
    struct Edit
    {
        qsizetype begin;
        qsizetype end;
        QByteArray replacement;
    };

    int depth() const { return int(m_stack.size()); }
    // The index of the innermost open element of the set, -1 for none.
    int nearest(Flag set) const
    {
        return m_stack.empty() ? -1 : m_stack.back().nearest[std::countr_zero(quint32(set))];
    }
    int lastOpen(const QByteArray& name) const { return m_lastByName.value(name, -1); }
    void push(const QByteArray& name, quint32 flags);
    void popTo(int index, QByteArray* closed);
    void startTag(const Token& token, quint32 flags, qsizetype* at);
    void endTag(const Token& token, quint32 flags);
    void closeImplied(quint32 flags, QByteArray* closed);
    bool tableBlocked(quint32 flags) const;
    int implicitParents(quint32 flags) const;

    QByteArrayView m_html;
    int m_limit;
    std::vector<OpenElement> m_stack;
    QHash<QByteArray, int> m_lastByName;
    QHash<QByteArray, int> m_pendingDropped; // left out, not yet closed
    std::vector<Edit> m_edits;
    int m_maxDepth = 0;
    int m_removed = 0;
};

void Walker::push(const QByteArray& name, quint32 flags)
{
    OpenElement element;
    element.name = name;
    element.flags = flags;
    const int index = depth();
    for (int set = 0; set < TrackedSets; ++set) {
        const int below = m_stack.empty() ? -1 : m_stack.back().nearest[set];
        element.nearest[set] = (flags & (1u << set)) ? index : below;
    }
    auto last = m_lastByName.find(name);
    if (last == m_lastByName.end()) {
        m_lastByName.insert(name, index);
    } else {
        element.previousSameName = *last;
        *last = index;
    }
    m_stack.push_back(std::move(element));
    m_maxDepth = std::max(m_maxDepth, depth());
}

void Walker::popTo(int index, QByteArray* closed)
{
    while (depth() > index) {
        OpenElement& top = m_stack.back();
        if (top.previousSameName < 0)
            m_lastByName.remove(top.name);
        else
            m_lastByName[top.name] = top.previousSameName;
        if (closed)
            closed->append("</" + top.name + '>');
        m_stack.pop_back();
    }
    // Whatever was left out inside the closed elements is closed with them.
    if (!m_pendingDropped.isEmpty())
        m_pendingDropped.clear();
}

// Closes what a browser closes when this start tag opens.
void Walker::closeImplied(quint32 flags, QByteArray* closed)
{
    auto closeItem = [&](int item, int barrier) {
        if (item >= 0 && item > barrier)
            popTo(item, closed);
    };
    if (flags & ListItem)
        closeItem(nearest(ListItem), nearest(ListBarrier));
    if (flags & DefItem)
        closeItem(nearest(DefItem), nearest(DefBarrier));
    if (flags & ClosesParagraph)
        closeItem(nearest(Paragraph), nearest(ScopeBarrier));
    if ((flags & (Option | OptGroup)) && !m_stack.empty() && m_stack.back().name == "option")
        popTo(depth() - 1, closed);
    if ((flags & OptGroup) && !m_stack.empty() && m_stack.back().name == "optgroup")
        popTo(depth() - 1, closed);
    if (flags & Cell) {
        const int row = nearest(RowContext);
        if (row >= 0)
            popTo(row + 1, closed);
    } else if (flags & Row) {
        const int section = nearest(SectionContext);
        if (section >= 0)
            popTo(section + 1, closed);
    } else if (flags & Section) {
        const int table = nearest(TableOnly);
        if (table >= 0)
            popTo(table + 1, closed);
    }
}

// Table parts outside any table are dropped by a browser: they open nothing.
bool Walker::tableBlocked(quint32 flags) const
{
    return (flags & (Cell | Row | Section)) && nearest(TableFamily) < 0;
}

// A cell or row straight in a table gets the section and row the browser adds.
int Walker::implicitParents(quint32 flags) const
{
    if (m_stack.empty() || !(flags & (Cell | Row)))
        return 0;
    const quint32 top = m_stack.back().flags;
    if (top & TableOnly)
        return (flags & Cell) ? 2 : 1;
    // tbody, thead or tfoot
    const bool inSection = (top & SectionContext) && !(top & TableOnly);
    return (flags & Cell) && inSection ? 1 : 0;
}

void Walker::startTag(const Token& token, quint32 flags, qsizetype* at)
{
    *at = token.end;
    if ((flags & Ignored) || tableBlocked(flags))
        return;
    const bool foreign = nearest(Foreign) >= 0;
    if (foreign) {
        // Inside svg and math every element's content is markup.
        flags &= ~(RawText | ToTheEnd);
    }
    QByteArray closed;
    closeImplied(flags, &closed);
    const bool selfClosed = token.selfClosing && (foreign || (flags & Foreign));
    if ((flags & (Void | RawText)) || selfClosed) {
        // A leaf holds no elements: it nests nothing and is never too deep.
        if (flags & RawText)
            *at = (flags & ToTheEnd) ? m_html.size() : rawTextEnd(m_html, token.name, token.end);
        return;
    }
    const int implicit = implicitParents(flags);
    const int elementDepth = depth() + implicit + 1;
    if (elementDepth > m_limit) {
        // What the tag closed by opening stays closed without it.
        m_edits.push_back({token.begin, token.end, closed});
        ++m_pendingDropped[token.name];
        ++m_removed;
        return;
    }
    if (implicit == 2 || (implicit == 1 && (flags & Row)))
        push("tbody", flagsOf("tbody"));
    if (implicit >= 1 && (flags & Cell))
        push("tr", flagsOf("tr"));
    push(token.name, flags);
}

void Walker::endTag(const Token& token, quint32 flags)
{
    if (flags & Ignored)
        return;
    auto pending = m_pendingDropped.find(token.name);
    if (pending != m_pendingDropped.end()) {
        m_edits.push_back({token.begin, token.end, QByteArray()});
        ++m_removed;
        if (--*pending == 0)
            m_pendingDropped.erase(pending);
        return;
    }
    const int open = lastOpen(token.name);
    if (open < 0)
        return;
    // A barrier above the element keeps the end tag from reaching it; for a
    // formatting element the browser moves the block out instead, which
    // leaves the depth as it was.
    int barrier;
    if (flags & TableFamily)
        barrier = nearest(TableOnly);
    else if (flags & Special)
        barrier = nearest(ScopeBarrier);
    else
        barrier = nearest(Special);
    if (barrier > open)
        return;
    popTo(open, nullptr);
}

int Walker::run()
{
    qsizetype at = 0;
    while (at < m_html.size()) {
        const Token token = nextToken(m_html, at);
        if (token.kind == Token::StartTag) {
            startTag(token, flagsOf(token.name), &at);
        } else {
            if (token.kind == Token::EndTag)
                endTag(token, flagsOf(token.name));
            at = token.end;
        }
    }
    return m_maxDepth;
}

QByteArray Walker::flattened() const
{
    QByteArray out;
    out.reserve(m_html.size());
    qsizetype copied = 0;
    for (const Edit& edit : m_edits) {
        out.append(m_html.sliced(copied, edit.begin - copied));
        // A '<' of the text must not join what follows the removed tag into
        // a new one ("<" + "<div>" + "img ...>").
        if (out.endsWith('<')) {
            out.chop(1);
            out.append("&lt;");
        }
        out.append(edit.replacement);
        copied = edit.end;
    }
    out.append(m_html.sliced(copied));
    return out;
}

} // namespace

int depth(QByteArrayView html)
{
    Walker walker(html, INT_MAX);
    return walker.run();
}

QByteArray flatten(const QByteArray& html, int* removed)
{
    Walker walker(html, MaxDepth);
    walker.run();
    if (removed)
        *removed = walker.removed();
    return walker.removed() == 0 ? html : walker.flattened();
}

} // namespace HtmlNesting
