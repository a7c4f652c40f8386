#include "core/html/cssurls.h"

#include "core/html/csschars.h"

#include <QString>

namespace CssUrls {

namespace {

using namespace CssChars;

// Functions whose string arguments are fetched as URLs.
bool takesUrlStrings(const QByteArray& function)
{
    return function == "url" || function == "src" || function == "image-set" ||
           function == "-webkit-image-set";
}

class Tokenizer
{
public:
    explicit Tokenizer(QByteArrayView css) : m_css(css) {}

    QList<Url> run()
    {
        while (m_at < m_css.size())
            step();
        return m_found;
    }

private:
    char at(qsizetype i) const { return i < m_css.size() ? m_css[i] : '\0'; }

    bool validEscape(qsizetype i) const
    {
        return at(i) == '\\' && i + 1 < m_css.size() && !isNewline(at(i + 1));
    }

    void step()
    {
        const char c = m_css[m_at];
        const qsizetype start = m_at;
        if (c == '/' && at(m_at + 1) == '*') {
            const qsizetype close = m_css.indexOf("*/", m_at + 2);
            m_at = close < 0 ? m_css.size() : close + 2;
        } else if (c == '"' || c == '\'') {
            const QByteArray text = consumeString(c);
            if (m_importPending || (!m_functions.isEmpty() && takesUrlStrings(m_functions.last())))
                add(start, text);
        } else if (c == '@' && (isNameChar(at(m_at + 1)) || validEscape(m_at + 1))) {
            ++m_at;
            m_importPending = consumeName().toLower() == "import";
        } else if (isNameChar(c) || validEscape(m_at)) {
            const QByteArray name = consumeName().toLower();
            if (at(m_at) != '(')
                return;
            ++m_at;
            while (isSpace(at(m_at)))
                ++m_at;
            if (name == "url" && at(m_at) != '"' && at(m_at) != '\'')
                add(start, consumeUnquotedUrl());
            else
                m_functions.append(name);
        } else if (c == '(') {
            m_functions.append(QByteArray());
            ++m_at;
        } else if (c == ')') {
            if (!m_functions.isEmpty())
                m_functions.removeLast();
            ++m_at;
        } else {
            if (c == ';' || c == '{' || c == '}') {
                m_importPending = false;
                m_functions.clear();
            }
            ++m_at;
        }
    }

    void add(qsizetype offset, const QByteArray& url)
    {
        m_found.append({offset, url.trimmed()});
        m_importPending = false;
    }

    // At a backslash that starts a valid escape: appends what it stands for.
    void consumeEscape(QByteArray& out)
    {
        ++m_at;
        if (hexValue(at(m_at)) < 0) {
            out.append(m_css[m_at++]);
            return;
        }
        char32_t code = 0;
        for (int digits = 0; digits < 6 && hexValue(at(m_at)) >= 0; ++digits)
            code = code * 16 + char32_t(hexValue(m_css[m_at++]));
        if (at(m_at) == '\r' && at(m_at + 1) == '\n')
            m_at += 2;
        else if (isSpace(at(m_at)))
            ++m_at;
        if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            code = 0xFFFD;
        out.append(QString::fromUcs4(&code, 1).toUtf8());
    }

    QByteArray consumeName()
    {
        QByteArray name;
        while (m_at < m_css.size()) {
            if (validEscape(m_at))
                consumeEscape(name);
            else if (isNameChar(m_css[m_at]))
                name.append(m_css[m_at++]);
            else
                break;
        }
        return name;
    }

    QByteArray consumeString(char quote)
    {
        QByteArray text;
        ++m_at;
        while (m_at < m_css.size()) {
            const char c = m_css[m_at];
            if (c == quote) {
                ++m_at;
                break;
            }
            if (isNewline(c)) // an unterminated string ends at the line
                break;
            if (c == '\\' && isNewline(at(m_at + 1)))
                m_at += 2;
            else if (validEscape(m_at))
                consumeEscape(text);
            else
                text.append(m_css[m_at++]);
        }
        return text;
    }

    // The contents of url( ... ) without quotes, up to the closing parenthesis.
    // A malformed one is not fetched, but is returned all the same: reporting
    // it costs nothing, missing a trick would.
    QByteArray consumeUnquotedUrl()
    {
        QByteArray url;
        while (m_at < m_css.size() && m_css[m_at] != ')') {
            if (validEscape(m_at))
                consumeEscape(url);
            else
                url.append(m_css[m_at++]);
        }
        if (m_at < m_css.size())
            ++m_at;
        return url;
    }

    QByteArrayView m_css;
    qsizetype m_at = 0;
    QList<QByteArray> m_functions; // the open functions, innermost last
    bool m_importPending = false;  // after @import, before its URL
    QList<Url> m_found;
};

} // namespace

QList<Url> find(QByteArrayView css)
{
    return Tokenizer(css).run();
}

} // namespace CssUrls
