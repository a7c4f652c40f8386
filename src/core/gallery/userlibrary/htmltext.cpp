#include "core/gallery/userlibrary/htmltext.h"

#include "core/html/htmlscan.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

namespace HtmlText {

namespace {

constexpr int WrapColumn = 72;

// Elements that end a line of text; paragraphs and headings also end a paragraph.
const QSet<QByteArray>& lineElements()
{
    static const QSet<QByteArray> names{
        "br", "div", "tr", "li", "table",      "ul", "ol",      "p",      "h1",    "h2",
        "h3", "h4",  "h5", "h6", "blockquote", "hr", "section", "header", "footer"};
    return names;
}

bool endsParagraph(const QByteArray& name)
{
    return name == "p" || name == "table" || name == "blockquote" ||
           (name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6');
}

// Whose content a reader never sees.
bool isHiddenElement(const QByteArray& name)
{
    return name == "head" || name == "style" || name == "script" || name == "title" ||
           name == "template" || name == "noscript";
}

bool isVoidElement(const QByteArray& name)
{
    static const QSet<QByteArray> names{"area",  "base", "br",   "col",    "embed", "hr", "img",
                                        "input", "link", "meta", "source", "track", "wbr"};
    return names.contains(name);
}

// The named references text uses beyond the ASCII ones Html::decodeEntities
// knows: spaces, punctuation, and the accented letters of the Latin alphabets.
QString decodeText(const QByteArray& bytes)
{
    static const QHash<QString, QString> named{
        {"nbsp", "\u00a0"},  {"shy", ""},         {"zwnj", ""},         {"zwj", ""},
        {"copy", "\u00a9"},  {"reg", "\u00ae"},   {"trade", "\u2122"},  {"hellip", "\u2026"},
        {"mdash", "\u2014"}, {"ndash", "\u2013"}, {"lsquo", "\u2018"},  {"rsquo", "\u2019"},
        {"ldquo", "\u201c"}, {"rdquo", "\u201d"}, {"sbquo", "\u201a"},  {"bdquo", "\u201e"},
        {"laquo", "\u00ab"}, {"raquo", "\u00bb"}, {"bull", "\u2022"},   {"middot", "\u00b7"},
        {"euro", "\u20ac"},  {"pound", "\u00a3"}, {"yen", "\u00a5"},    {"cent", "\u00a2"},
        {"deg", "\u00b0"},   {"times", "\u00d7"}, {"divide", "\u00f7"}, {"szlig", "\u00df"},
        {"aelig", "\u00e6"}, {"AElig", "\u00c6"}, {"oslash", "\u00f8"}, {"Oslash", "\u00d8"}};
    static const QHash<QString, QChar> marks{{"acute", QChar(0x301)}, {"grave", QChar(0x300)},
                                             {"circ", QChar(0x302)},  {"uml", QChar(0x308)},
                                             {"tilde", QChar(0x303)}, {"ring", QChar(0x30a)},
                                             {"cedil", QChar(0x327)}};
    static const QRegularExpression reference(QStringLiteral("&([A-Za-z]+);"));
    const QString text = QString::fromUtf8(Html::decodeEntities(bytes));
    QString out;
    qsizetype last = 0;
    for (const QRegularExpressionMatch& match : reference.globalMatch(text)) {
        const QString name = match.captured(1);
        QString value;
        if (const auto it = named.constFind(name); it != named.constEnd())
            value = *it;
        else if (const auto mark = marks.constFind(name.mid(1)); mark != marks.constEnd())
            value = (name.left(1) + *mark).normalized(QString::NormalizationForm_C);
        else
            continue;
        out += QStringView(text).mid(last, match.capturedStart() - last);
        out += value;
        last = match.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out;
}

QString wrap(const QString& line)
{
    QStringList out;
    QString current;
    for (const QString& word : line.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!current.isEmpty() && current.size() + 1 + word.size() > WrapColumn) {
            out << current;
            current.clear();
        }
        current += (current.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    if (!current.isEmpty())
        out << current;
    return out.join(QLatin1Char('\n'));
}

// The text collected with '\n' for line ends and '\f' for paragraph ends, made into lines.
QString layOut(const QString& raw)
{
    static const QRegularExpression blanks(QStringLiteral("[ \\t\\r\\x{a0}\\x{34f}\\x{200c}]+"));
    QStringList paragraphs;
    for (const QString& block : raw.split(QLatin1Char('\f'))) {
        QStringList lines;
        for (QString line : block.split(QLatin1Char('\n'))) {
            line.replace(blanks, QStringLiteral(" "));
            line = line.trimmed();
            if (!line.isEmpty())
                lines << wrap(line);
        }
        if (!lines.isEmpty())
            paragraphs << lines.join(QLatin1Char('\n'));
    }
    return paragraphs.isEmpty() ? QString() : paragraphs.join(QStringLiteral("\n\n")) + '\n';
}

struct Open
{
    QByteArray name;
    bool hidden = false;
    QByteArray href;
    qsizetype textStart = 0;  // where the element's words begin in the collected text
    bool struck = false;      // drawn struck through, itself or by an element around it
    bool marksStrike = false; // opened the struck words' mark
};

// Struck text keeps its meaning ("was €1,099") only while it is marked as
// struck; plain text marks it the way plain-text mail and chat write it.
constexpr char StrikeMark[] = "~~";

bool drawsStruck(const QByteArray& name, const QByteArray& style)
{
    return name == "s" || name == "strike" || name == "del" || style.contains("line-through");
}

class Collector
{
public:
    explicit Collector(const QByteArray& html) : m_html(html)
    {
        Html::scanHtml(html, [this](const Html::HtmlTag& tag) {
            m_tagAt.insert(tag.begin, m_tags.size());
            m_tags.push_back(tag);
        });
    }

    QString run()
    {
        qsizetype pos = 0;
        while (pos < m_html.size()) {
            const qsizetype lt = m_html.indexOf('<', pos);
            text(m_html.mid(pos, (lt < 0 ? m_html.size() : lt) - pos));
            if (lt < 0)
                break;
            pos = markup(lt);
        }
        return layOut(m_out);
    }

private:
    bool hidden() const { return !m_stack.isEmpty() && m_stack.last().hidden; }

    void text(const QByteArray& bytes)
    {
        if (bytes.isEmpty() || hidden())
            return;
        QString words = decodeText(bytes);
        words.replace(QLatin1Char('\n'), QLatin1Char(' '));
        m_out += words;
    }

    // Reads the markup at `lt`; returns where the text goes on.
    qsizetype markup(qsizetype lt)
    {
        if (m_html.mid(lt, 4) == "<!--") {
            const qsizetype end = m_html.indexOf("-->", lt + 4);
            return end < 0 ? m_html.size() : end + 3;
        }
        if (m_html.mid(lt, 2) == "</") {
            const qsizetype end = m_html.indexOf('>', lt);
            static const QRegularExpression nameEnd(QStringLiteral("[\\s/>]"));
            QByteArray name = m_html.mid(lt + 2, (end < 0 ? m_html.size() : end) - lt - 2);
            const qsizetype cut = QString::fromLatin1(name).indexOf(nameEnd);
            if (cut >= 0)
                name.truncate(cut);
            close(name.toLower());
            return end < 0 ? m_html.size() : end + 1;
        }
        const auto found = m_tagAt.constFind(lt);
        if (found == m_tagAt.constEnd()) {
            const qsizetype end = m_html.indexOf('>', lt);
            if (m_html.mid(lt, 2) == "<!" || m_html.mid(lt, 2) == "<?")
                return end < 0 ? m_html.size() : end + 1;
            text("<");
            return lt + 1;
        }
        const Html::HtmlTag& tag = m_tags[*found];
        if (tag.name.startsWith('!'))
            return tag.end;
        open(tag);
        if (tag.contentEnd < 0)
            return tag.end;
        // Raw text (style, script, textarea...): skipped or taken whole.
        if (!isHiddenElement(tag.name))
            text(m_html.mid(tag.end, tag.contentEnd - tag.end));
        close(tag.name);
        const qsizetype end = m_html.indexOf('>', tag.contentEnd);
        return end < 0 ? m_html.size() : end + 1;
    }

    void open(const Html::HtmlTag& tag)
    {
        if (lineElements().contains(tag.name))
            m_out += QLatin1Char('\n');
        if (tag.name == "td" || tag.name == "th")
            m_out += QLatin1Char(' ');
        if (isVoidElement(tag.name))
            return;
        const QByteArray style = tag.attribute(m_html, "style").toLower().replace(' ', "");
        Open entry{tag.name,
                   hidden() || isHiddenElement(tag.name) ||
                       tag.attribute(m_html, "aria-hidden").toLower() == "true" ||
                       style.contains("display:none"),
                   tag.name == "a" ? tag.attribute(m_html, "href").trimmed() : QByteArray(),
                   m_out.size()};
        const bool struckAround = !m_stack.isEmpty() && m_stack.last().struck;
        entry.struck = struckAround || drawsStruck(tag.name, style);
        entry.marksStrike = entry.struck && !struckAround && !entry.hidden;
        if (entry.marksStrike) {
            m_out += QLatin1String(StrikeMark);
            entry.textStart = m_out.size();
        }
        m_stack.append(entry);
    }

    void close(const QByteArray& name)
    {
        for (qsizetype i = m_stack.size() - 1; i >= 0; --i) {
            if (m_stack[i].name != name)
                continue;
            const Open closed = m_stack[i];
            m_stack.resize(i);
            if (closed.hidden && !hidden())
                m_out += QLatin1Char(' ');
            if (closed.marksStrike)
                closeStrikeMark(closed.textStart);
            if (!closed.hidden && closed.name == "a" && isShownAddress(closed.href) &&
                !wordsAreAddress(m_out.mid(closed.textStart), closed.href))
                m_out += QStringLiteral(" (%1)").arg(QString::fromUtf8(closed.href));
            break;
        }
        if (endsParagraph(name))
            m_out += QLatin1Char('\f');
        else if (lineElements().contains(name))
            m_out += QLatin1Char('\n');
    }

    // Every target a reader could use or the sender fills in, merge-field
    // placeholders such as "[unsubscribe_url]" included: without it the words
    // "Unsubscribe" lead nowhere. A jump within the page and a script are no
    // address.
    static bool isShownAddress(const QByteArray& href)
    {
        const QByteArray lower = href.toLower();
        return !lower.isEmpty() && !lower.startsWith('#') && !lower.startsWith("javascript:") &&
               !lower.startsWith("vbscript:") && !lower.startsWith("data:");
    }

    // A link that shows its own address ("www.example.com", "a@b.example")
    // needs it no second time.
    static bool wordsAreAddress(const QString& words, const QByteArray& href)
    {
        QString address = QString::fromUtf8(href);
        if (address.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
            address = address.mid(7);
        static const QRegularExpression scheme(QStringLiteral("^https?://"),
                                               QRegularExpression::CaseInsensitiveOption);
        const auto bare = [](QString text) {
            text = text.trimmed().remove(scheme);
            return text.endsWith(QLatin1Char('/')) ? text.chopped(1) : text;
        };
        return !words.trimmed().isEmpty() &&
               bare(words).compare(bare(address), Qt::CaseInsensitive) == 0;
    }

    // Ends the struck words that began at `start`, right after their opening
    // mark: the marks hug the words, and struck text that held no words (a
    // struck picture) leaves no marks.
    void closeStrikeMark(qsizetype start)
    {
        const qsizetype mark = start - qsizetype(sizeof(StrikeMark) - 1);
        const QString words = m_out.mid(start);
        const auto isBlank = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\u00a0'; };
        qsizetype first = 0;
        while (first < words.size() && isBlank(words[first]))
            ++first;
        qsizetype last = words.size();
        while (last > first && isBlank(words[last - 1]))
            --last;
        m_out.truncate(mark);
        if (first == last) {
            m_out += words;
            return;
        }
        m_out += words.left(first) + QLatin1String(StrikeMark) + words.mid(first, last - first) +
                 QLatin1String(StrikeMark) + words.mid(last);
    }

    const QByteArray& m_html;
    std::vector<Html::HtmlTag> m_tags;
    QHash<qsizetype, size_t> m_tagAt;
    QList<Open> m_stack;
    QString m_out;
};

} // namespace

QString plainText(const QByteArray& html)
{
    return Collector(html).run();
}

} // namespace HtmlText
