#include "core/views/viewcss.h"

#include "core/html/csschars.h"

#include <QString>

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

namespace ViewCss {

namespace {

using namespace CssChars;

// Reads a style sheet as the engine's tokenizer does, without building
// tokens: every call moves forward, so a scan ends after at most one step per
// byte whatever the input.
class Reader
{
public:
    explicit Reader(QByteArrayView css) : m_css(css) {}

    qsizetype size() const { return m_css.size(); }
    char at(qsizetype i) const { return i < m_css.size() ? m_css[i] : '\0'; }

    bool validEscape(qsizetype i) const
    {
        return at(i) == '\\' && i + 1 < m_css.size() && !isNewline(at(i + 1));
    }

    bool startsComment(qsizetype i) const { return at(i) == '/' && at(i + 1) == '*'; }

    // Past a comment that starts at i; an unterminated one runs to the end.
    qsizetype afterComment(qsizetype i) const
    {
        const qsizetype close = m_css.indexOf("*/", i + 2);
        return close < 0 ? m_css.size() : close + 2;
    }

    // Past a string whose quote is at i: after its closing quote, or at the
    // newline or end that cuts it short.
    qsizetype afterString(qsizetype i) const
    {
        const char quote = m_css[i];
        qsizetype at = i + 1;
        while (at < m_css.size()) {
            const char c = m_css[at];
            if (c == quote)
                return at + 1;
            if (isNewline(c))
                return at;
            at += c == '\\' ? 2 : 1;
        }
        return m_css.size();
    }

    // Past an escape at i: a backslash and one character, or up to six hex
    // digits and one blank.
    qsizetype afterEscape(qsizetype i, char32_t* code = nullptr) const
    {
        qsizetype at = i + 1;
        if (hexValue(this->at(at)) < 0) {
            if (code)
                *code = char32_t(static_cast<unsigned char>(this->at(at)));
            return std::min(at + 1, m_css.size());
        }
        char32_t value = 0;
        for (int digits = 0; digits < 6 && hexValue(this->at(at)) >= 0; ++digits)
            value = value * 16 + char32_t(hexValue(m_css[at++]));
        if (this->at(at) == '\r' && this->at(at + 1) == '\n')
            at += 2;
        else if (isSpace(this->at(at)))
            ++at;
        if (code)
            *code = value;
        return at;
    }

    // Past blanks and comments.
    qsizetype afterBlanks(qsizetype i) const
    {
        while (i < m_css.size()) {
            if (isSpace(m_css[i]))
                ++i;
            else if (startsComment(i))
                i = afterComment(i);
            else
                break;
        }
        return i;
    }

    bool startsName(qsizetype i) const { return isNameChar(at(i)) || validEscape(i); }

    // The name that starts at i, escapes resolved and ASCII lower-cased;
    // returns its end, i itself when no name starts there.
    qsizetype readName(qsizetype i, QByteArray* name) const
    {
        name->clear();
        while (i < m_css.size()) {
            if (validEscape(i)) {
                char32_t code = 0;
                i = afterEscape(i, &code);
                if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
                    code = 0xFFFD;
                name->append(QString::fromUcs4(&code, 1).toUtf8().toLower());
            } else if (isNameChar(m_css[i])) {
                const char c = m_css[i++];
                name->append(c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c);
            } else {
                break;
            }
        }
        return i;
    }

    // Past a skippable piece at i (comment, string, escape), or i itself.
    qsizetype afterQuoted(qsizetype i) const
    {
        if (startsComment(i))
            return afterComment(i);
        if (at(i) == '"' || at(i) == '\'')
            return afterString(i);
        if (validEscape(i))
            return afterEscape(i);
        return i;
    }

    // Past the parenthesis that closes a block whose contents start at i.
    qsizetype afterBlock(qsizetype i) const
    {
        int depth = 1;
        while (i < m_css.size()) {
            const qsizetype skipped = afterQuoted(i);
            if (skipped != i) {
                i = skipped;
                continue;
            }
            const char c = m_css[i++];
            if (c == '(')
                ++depth;
            else if (c == ')' && --depth == 0)
                return i;
        }
        return i;
    }

    // Where the prelude of an at-rule that goes on at i ends: at its block
    // or its semicolon, outside parentheses, as the engine reads it.
    qsizetype preludeEnd(qsizetype i) const
    {
        int depth = 0;
        while (i < m_css.size()) {
            const qsizetype skipped = afterQuoted(i);
            if (skipped != i) {
                i = skipped;
                continue;
            }
            const char c = m_css[i];
            if (c == '(')
                ++depth;
            else if (c == ')' && depth > 0)
                --depth;
            else if ((c == '{' || c == ';') && depth == 0)
                return i;
            ++i;
        }
        return i;
    }

    // Past the url( ... ) whose contents start at i: a quoted URL is a
    // function, an unquoted one runs to the first unescaped parenthesis.
    qsizetype afterUrl(qsizetype i) const
    {
        qsizetype at = i;
        while (isSpace(this->at(at)))
            ++at;
        if (this->at(at) == '"' || this->at(at) == '\'')
            return afterBlock(i);
        while (at < m_css.size() && m_css[at] != ')')
            at += m_css[at] == '\\' ? 2 : 1;
        return std::min(at + 1, m_css.size());
    }

private:
    QByteArrayView m_css;
};

// Collects a rewritten copy: the text between the replaced ranges is copied
// as it was.
class Output
{
public:
    explicit Output(QByteArrayView source) : m_source(source) {}

    void replace(qsizetype begin, qsizetype end, QByteArrayView text)
    {
        m_out.append(m_source.sliced(m_copied, begin - m_copied));
        m_out.append(text);
        m_copied = end;
    }

    QByteArray finish()
    {
        m_out.append(m_source.sliced(m_copied));
        return m_out;
    }

private:
    QByteArrayView m_source;
    QByteArray m_out;
    qsizetype m_copied = 0;
};

// A media feature that holds on every screen, and one that holds on none
// (only on character-cell terminals). Each takes the place of a colour
// scheme feature inside its parentheses, so that any query around it, with
// "not", "and", "or" or nested conditions, reads as it would on a device in
// dark mode.
constexpr char alwaysTrue[] = "(min-width: 0px)";
constexpr char neverTrue[] = "(grid)";

} // namespace

namespace {

// What a media feature reads as in a view: holds, does not, or stays as the
// template wrote it.
enum class Verdict { AsWritten, Holds, Fails };

// Decides a feature from its name and value, both lower case; a feature
// written without a value ("(hover)") has an empty one.
using Decide = Verdict (*)(const QByteArray& name, const QByteArray& value, void* context);

// Every (name: value) and (name) of a media list decided by `decide`; the
// ones it holds or fails take the place of the feature inside its
// parentheses, so that any query around it, with "not", "and", "or" or
// nested conditions, reads as it would on the device the view shows.
QByteArray rewriteMediaList(QByteArrayView media, Decide decide, void* context)
{
    const Reader reader(media);
    Output out(media);
    qsizetype i = 0;
    while (i < reader.size()) {
        const qsizetype skipped = reader.afterQuoted(i);
        if (skipped != i) {
            i = skipped;
            continue;
        }
        if (media[i] != '(') {
            ++i;
            continue;
        }
        // ( name : value ) or ( name ), blanks and comments anywhere.
        QByteArray name;
        QByteArray value;
        qsizetype at = reader.afterBlanks(reader.readName(reader.afterBlanks(i + 1), &name));
        if (!name.isEmpty() && reader.at(at) == ':') {
            // A keyword or a length ("29.9375em"), escapes resolved.
            at = reader.afterBlanks(at + 1);
            while (at < reader.size()) {
                QByteArray piece;
                if (reader.startsName(at)) {
                    at = reader.readName(at, &piece);
                    value += piece;
                } else if (media[at] == '.' || media[at] == '+') {
                    value += media[at++];
                } else {
                    break;
                }
            }
            at = reader.afterBlanks(at);
        }
        const Verdict verdict = !name.isEmpty() && reader.at(at) == ')'
                                    ? decide(name, value, context)
                                    : Verdict::AsWritten;
        if (verdict != Verdict::AsWritten) {
            out.replace(i, at + 1, verdict == Verdict::Holds ? alwaysTrue : neverTrue);
            i = at + 1;
            continue;
        }
        ++i;
    }
    return out.finish();
}

// The same for every @media and @import prelude of a style sheet, nested ones
// included.
QByteArray rewriteStyleSheet(QByteArrayView css, Decide decide, void* context)
{
    const Reader reader(css);
    Output out(css);
    qsizetype i = 0;
    while (i < reader.size()) {
        const qsizetype skipped = reader.afterQuoted(i);
        if (skipped != i) {
            i = skipped;
            continue;
        }
        if (css[i] != '@' || !reader.startsName(i + 1)) {
            ++i;
            continue;
        }
        QByteArray name;
        const qsizetype preludeBegin = reader.readName(i + 1, &name);
        if (name != "media" && name != "import") {
            i = preludeBegin;
            continue;
        }
        // The block after the prelude is read on as usual, so that the
        // rules nested in it are found too.
        const qsizetype preludeEnd = reader.preludeEnd(preludeBegin);
        const QByteArrayView prelude = css.sliced(preludeBegin, preludeEnd - preludeBegin);
        const QByteArray rewritten = rewriteMediaList(prelude, decide, context);
        if (rewritten != prelude)
            out.replace(preludeBegin, preludeEnd, rewritten);
        i = preludeEnd;
    }
    return out.finish();
}

Verdict decideDark(const QByteArray& name, const QByteArray& value, void* context)
{
    if (name != "prefers-color-scheme" || (value != "dark" && value != "light"))
        return Verdict::AsWritten;
    const bool dark = value == "dark";
    if (auto* found = static_cast<SchemeFeatures*>(context))
        (dark ? found->dark : found->light) = true;
    return dark ? Verdict::Holds : Verdict::Fails;
}

// A length in CSS pixels: px, or em and rem at the engine's 16 px; other
// units are left to the engine.
std::optional<double> cssPixels(const QByteArray& value)
{
    static const std::pair<const char*, double> units[] = {{"px", 1}, {"rem", 16}, {"em", 16}};
    for (const auto& [unit, factor] : units) {
        if (value.endsWith(unit)) {
            bool ok = false;
            const double number = value.chopped(qsizetype(std::strlen(unit))).toDouble(&ok);
            return ok ? std::optional<double>(number * factor) : std::nullopt;
        }
    }
    if (value == "0")
        return 0.0;
    return std::nullopt;
}

Verdict verdict(bool holds)
{
    return holds ? Verdict::Holds : Verdict::Fails;
}

Verdict decidePhone(const QByteArray& name, const QByteArray& value, void*)
{
    if (name == "pointer" || name == "any-pointer") {
        if (value.isEmpty())
            return Verdict::Holds;
        if (value == "coarse" || value == "fine" || value == "none")
            return verdict(value == "coarse");
    }
    if (name == "hover" || name == "any-hover") {
        if (value.isEmpty())
            return Verdict::Fails;
        if (value == "none" || value == "hover")
            return verdict(value == "none");
    }
    if (name == "device-width" || name == "min-device-width" || name == "max-device-width") {
        const std::optional<double> pixels = cssPixels(value);
        if (!pixels)
            return Verdict::AsWritten;
        if (name == "device-width")
            return verdict(*pixels == PhoneDeviceWidth);
        return verdict(name == "min-device-width" ? PhoneDeviceWidth >= *pixels
                                                  : PhoneDeviceWidth <= *pixels);
    }
    return Verdict::AsWritten;
}

} // namespace

QByteArray darkMediaList(QByteArrayView media, SchemeFeatures* found)
{
    return rewriteMediaList(media, decideDark, found);
}

QByteArray darkStyleSheet(QByteArrayView css, SchemeFeatures* found)
{
    return rewriteStyleSheet(css, decideDark, found);
}

QByteArray phoneMediaList(QByteArrayView media)
{
    return rewriteMediaList(media, decidePhone, nullptr);
}

QByteArray phoneStyleSheet(QByteArrayView css)
{
    return rewriteStyleSheet(css, decidePhone, nullptr);
}

QByteArray styleSheetWithoutUrls(QByteArrayView css)
{
    const Reader reader(css);
    Output out(css);
    qsizetype i = 0;
    while (i < reader.size()) {
        const char c = css[i];
        if (reader.startsComment(i)) {
            i = reader.afterComment(i);
        } else if (c == '"' || c == '\'') {
            i = reader.afterString(i);
        } else if (c == '@' && reader.startsName(i + 1)) {
            // An at-rule of an unknown name is skipped whole, strings and
            // all; so is every @import, under a name of its own.
            QByteArray name;
            const qsizetype nameEnd = reader.readName(i + 1, &name);
            if (name == "import")
                out.replace(i, nameEnd, "@blocked-import");
            i = nameEnd;
        } else if (reader.startsName(i)) {
            QByteArray name;
            const qsizetype nameEnd = reader.readName(i, &name);
            if (reader.at(nameEnd) != '(') {
                i = nameEnd;
                continue;
            }
            qsizetype end = nameEnd + 1;
            if (name == "url")
                end = reader.afterUrl(nameEnd + 1);
            else if (name == "image-set" || name == "-webkit-image-set" || name == "src")
                end = reader.afterBlock(nameEnd + 1);
            else {
                i = nameEnd + 1;
                continue;
            }
            out.replace(i, end, "none");
            i = end;
        } else {
            i = c == '\\' ? std::min(i + 2, reader.size()) : i + 1;
        }
    }
    return out.finish();
}

} // namespace ViewCss
