#include "core/views/bodytext.h"

#include "core/html/htmlscan.h"
#include "core/views/hiding.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace BodyText {

namespace {

// Characters senders repeat after a preheader so that no text of the message
// follows it into the inbox line; they show nothing there themselves.
bool isFiller(char32_t c)
{
    return c == 0x200B || c == 0x200C || c == 0x034F || c == 0x00AD || c == 0x2060 || c == 0xFEFF ||
           c == 0x180E;
}

// The named references text in a newsletter uses beyond those Html::
// decodeEntities reads (which are the ones that matter in URLs).
struct Named
{
    const char* name; // with its semicolon
    char32_t code;
};
constexpr Named textEntities[] = {
    {"nbsp;", 0xA0},     {"zwnj;", 0x200C},  {"zwj;", 0x200D},    {"shy;", 0xAD},
    {"ensp;", 0x2002},   {"emsp;", 0x2003},  {"thinsp;", 0x2009}, {"copy;", 0xA9},
    {"reg;", 0xAE},      {"trade;", 0x2122}, {"mdash;", 0x2014},  {"ndash;", 0x2013},
    {"hellip;", 0x2026}, {"lsquo;", 0x2018}, {"rsquo;", 0x2019},  {"sbquo;", 0x201A},
    {"ldquo;", 0x201C},  {"rdquo;", 0x201D}, {"bdquo;", 0x201E},  {"laquo;", 0xAB},
    {"raquo;", 0xBB},    {"bull;", 0x2022},  {"middot;", 0xB7},   {"euro;", 0x20AC},
    {"pound;", 0xA3},    {"yen;", 0xA5},     {"cent;", 0xA2},     {"deg;", 0xB0},
    {"times;", 0xD7},    {"divide;", 0xF7},  {"rarr;", 0x2192},   {"larr;", 0x2190},
    {"hearts;", 0x2665}, {"star;", 0x2606},  {"check;", 0x2713},  {"eacute;", 0xE9},
    {"egrave;", 0xE8},   {"ecirc;", 0xEA},   {"aacute;", 0xE1},   {"agrave;", 0xE0},
    {"iacute;", 0xED},   {"oacute;", 0xF3},  {"uacute;", 0xFA},   {"auml;", 0xE4},
    {"ouml;", 0xF6},     {"uuml;", 0xFC},    {"Auml;", 0xC4},     {"Ouml;", 0xD6},
    {"Uuml;", 0xDC},     {"szlig;", 0xDF},   {"ccedil;", 0xE7},   {"ntilde;", 0xF1},
    {"iexcl;", 0xA1},    {"iquest;", 0xBF},  {"sect;", 0xA7},     {"plusmn;", 0xB1},
    {"nbsp", 0xA0},
};

// Text as the browser shows it: the names above become numeric references
// in one pass first, so that "&amp;nbsp;" stays the text "&nbsp;".
QString decodeText(QByteArrayView text)
{
    QByteArray numeric;
    numeric.reserve(text.size());
    for (qsizetype at = 0; at < text.size();) {
        bool replaced = false;
        if (text[at] == '&') {
            const QByteArrayView rest = text.sliced(at + 1);
            for (const Named& entity : textEntities) {
                if (rest.startsWith(entity.name)) {
                    numeric.append("&#" + QByteArray::number(uint(entity.code)) + ';');
                    at += 1 + qsizetype(std::strlen(entity.name));
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            numeric.append(text[at++]);
    }
    return QString::fromUtf8(Html::decodeEntities(numeric));
}

// Text with whitespace collapsed and fillers dropped, up to a bound.
class Collector
{
public:
    explicit Collector(qsizetype limit) : m_limit(limit) {}

    void add(const QString& text)
    {
        for (const char32_t c : QStringView(text).toUcs4()) {
            if (full())
                return;
            if (isFiller(c))
                continue;
            if (QChar::isSpace(c)) {
                m_space = true;
                continue;
            }
            if (m_space && !m_text.isEmpty())
                m_text.append(QLatin1Char(' '));
            m_space = false;
            m_text.append(QString::fromUcs4(&c, 1));
        }
    }
    void addBreak() { m_space = true; }
    void clear()
    {
        m_text.clear();
        m_space = false;
    }
    bool hasText() const { return !m_text.isEmpty(); }
    bool full() const { return m_text.size() >= m_limit; }
    const QString& text() const { return m_text; }

private:
    QString m_text;
    bool m_space = false;
    qsizetype m_limit;
};

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isHtmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isOneOf(const QByteArray& name, std::initializer_list<const char*> names)
{
    for (const char* candidate : names) {
        if (name == candidate)
            return true;
    }
    return false;
}

bool isVoid(const QByteArray& name)
{
    return isOneOf(name, {"area", "base", "br", "col", "embed", "hr", "img", "input", "link",
                          "meta", "source", "track", "wbr", "param", "keygen"});
}

// Elements whose start or end separates words; the rest run on in a line.
bool isInline(const QByteArray& name)
{
    return isOneOf(name, {"a",      "abbr",   "b",   "bdi",  "bdo", "big", "cite", "code",  "em",
                          "font",   "i",      "kbd", "mark", "q",   "s",   "samp", "small", "span",
                          "strike", "strong", "sub", "sup",  "u",   "var", "img",  "wbr"});
}

bool closesParagraph(const QByteArray& name)
{
    return isOneOf(name,
                   {"p",       "div",    "table",  "ul",      "ol",         "dl",  "h1",  "h2",
                    "h3",      "h4",     "h5",     "h6",      "blockquote", "pre", "hr",  "center",
                    "section", "header", "footer", "article", "aside",      "nav", "form"});
}

struct Open
{
    QByteArray name;
    bool hidden = false;
};

// Open elements deeper than this are read as if they were void: their text
// still counts, and nothing on the way can take unbounded memory.
constexpr size_t MaxOpen = 1024;

class Walker
{
public:
    Walker(const QByteArray& html, qsizetype limit)
        : m_html(html), m_preheader(limit), m_visible(limit)
    {
    }

    Start run()
    {
        std::vector<Html::HtmlTag> tags;
        Html::scanHtml(m_html, [&](const Html::HtmlTag& tag) { tags.push_back(tag); });
        m_hiddenNames = Hiding::hiddenNames(m_html, tags);
        m_inBody = std::none_of(tags.begin(), tags.end(), [](const Html::HtmlTag& tag) {
            return tag.name == "body" && !tag.foreign;
        });
        qsizetype at = 0;
        for (const Html::HtmlTag& tag : tags) {
            if (done())
                break;
            readGap(at, tag.begin);
            startTag(tag);
            at = std::max(at, tag.contentEnd >= 0 ? tag.contentEnd : tag.end);
        }
        if (!done())
            readGap(at, m_html.size());
        if (m_candidate >= 0 && m_preheader.hasText())
            m_found = true;
        return {m_found ? m_preheader.text() : QString(), m_visible.text()};
    }

private:
    bool done() const { return m_found || (m_visibleSeen && m_visible.full()); }

    void text(qsizetype begin, qsizetype end)
    {
        if (!m_inBody || begin >= end)
            return;
        const QString decoded = decodeText(QByteArrayView(m_html).sliced(begin, end - begin));
        if (m_candidate >= 0) {
            m_preheader.add(decoded);
        } else if (m_stack.empty() || !m_stack.back().hidden) {
            m_visible.add(decoded);
            m_visibleSeen = m_visibleSeen || m_visible.hasText();
        }
    }

    void addBreak()
    {
        m_preheader.addBreak();
        m_visible.addBreak();
    }

    void pop()
    {
        if (int(m_stack.size()) - 1 == m_candidate) {
            m_candidate = -1;
            if (m_preheader.hasText())
                m_found = true;
            else
                m_preheader.clear();
        }
        m_stack.pop_back();
    }

    void startTag(const Html::HtmlTag& tag)
    {
        const QByteArray& name = tag.name;
        if (name == "body" && !tag.foreign) {
            m_inBody = true;
            return;
        }
        if (name == "html" || name == "!doctype")
            return;
        if (!isInline(name))
            addBreak();
        while (!m_stack.empty() && m_stack.back().name == "p" && closesParagraph(name))
            pop();
        if (!m_stack.empty() &&
            ((name == "li" && m_stack.back().name == "li") ||
             (isOneOf(name, {"td", "th", "tr"}) && isOneOf(m_stack.back().name, {"td", "th"}))))
            pop();
        const bool selfClosing = tag.foreign && tag.end >= 2 && m_html[tag.end - 2] == '/';
        if (isVoid(name) || selfClosing || m_stack.size() >= MaxOpen)
            return;
        const bool parentHidden = !m_stack.empty() && m_stack.back().hidden;
        const bool container = isOneOf(name, {"head", "template"});
        const bool ownHidden =
            container || Hiding::hidesElement(tag.attribute(m_html, "style")) ||
            m_hiddenNames.hide(m_html, tag) ||
            std::any_of(tag.attributes.begin(), tag.attributes.end(),
                        [](const Html::HtmlAttribute& a) { return a.name == "hidden"; });
        m_stack.push_back({name, parentHidden || ownHidden});
        if (ownHidden && !container && !parentHidden && m_inBody && !m_visibleSeen &&
            m_candidate < 0)
            m_candidate = int(m_stack.size()) - 1;
    }

    void endTag(const QByteArray& name)
    {
        if (!isInline(name))
            addBreak();
        for (size_t i = m_stack.size(); i-- > 0;) {
            if (m_stack[i].name == name) {
                while (m_stack.size() > i)
                    pop();
                return;
            }
        }
    }

    // Text, end tags and comments between two start tags.
    void readGap(qsizetype from, qsizetype to)
    {
        qsizetype at = from;
        while (at < to && !done()) {
            const qsizetype open = m_html.indexOf('<', at);
            if (open < 0 || open >= to) {
                text(at, to);
                return;
            }
            text(at, open);
            const QByteArrayView rest = QByteArrayView(m_html).sliced(open, to - open);
            if (rest.startsWith("<!--")) {
                at = std::min(Html::commentEnd(m_html, open), to);
            } else if (rest.size() > 2 && rest[1] == '/' && isAsciiLetter(rest[2])) {
                qsizetype nameEnd = 2;
                while (nameEnd < rest.size() && !isHtmlSpace(rest[nameEnd]) &&
                       rest[nameEnd] != '/' && rest[nameEnd] != '>')
                    ++nameEnd;
                endTag(rest.sliced(2, nameEnd - 2).toByteArray().toLower());
                const qsizetype close = m_html.indexOf('>', open);
                at = close < 0 || close >= to ? to : close + 1;
            } else if (rest.size() > 1 && (rest[1] == '!' || rest[1] == '?' || rest[1] == '/')) {
                const qsizetype close = m_html.indexOf('>', open);
                at = close < 0 || close >= to ? to : close + 1;
            } else {
                text(open, open + 1);
                at = open + 1;
            }
        }
    }

    const QByteArray& m_html;
    Hiding::HiddenNames m_hiddenNames;
    std::vector<Open> m_stack;
    Collector m_preheader;
    Collector m_visible;
    bool m_inBody = false;
    bool m_visibleSeen = false;
    int m_candidate = -1; // the hidden element whose text is being read
    bool m_found = false;
};

} // namespace

Start read(const QByteArray& html, qsizetype limit)
{
    return Walker(html, limit).run();
}

} // namespace BodyText
