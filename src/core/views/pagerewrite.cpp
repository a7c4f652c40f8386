#include "core/views/pagerewrite.h"

#include <algorithm>
#include <utility>

namespace PageRewrite {

namespace {

QByteArray applied(const QByteArray& html, std::vector<Edit> edits)
{
    if (edits.empty())
        return html;
    std::stable_sort(edits.begin(), edits.end(),
                     [](const Edit& a, const Edit& b) { return a.begin < b.begin; });
    QByteArray out;
    out.reserve(html.size());
    qsizetype copied = 0;
    for (const Edit& edit : edits) {
        if (edit.begin < copied) // overlaps one already made
            continue;
        out.append(QByteArrayView(html).sliced(copied, edit.begin - copied));
        out.append(edit.text);
        copied = edit.end;
    }
    out.append(QByteArrayView(html).sliced(copied));
    return out;
}

// Inside svg or math the browser reads a style element's content as markup,
// so the scanner reports no end for it; its style sheet is the text up to
// the "</style" that closes it.
qsizetype foreignStyleEnd(const QByteArray& html, qsizetype from)
{
    for (qsizetype at = html.indexOf("</", from); at >= 0; at = html.indexOf("</", at + 2)) {
        if (at + 7 <= html.size() && qstrnicmp(html.constData() + at + 2, "style", 5) == 0)
            return at;
    }
    return html.size();
}

// The style sheet in a foreign style element's content: all of it, or the
// inside of one CDATA section around it; (-1, -1) when markup makes it
// unclear.
std::pair<qsizetype, qsizetype> foreignStyleSheet(const QByteArray& html, qsizetype begin,
                                                  qsizetype end)
{
    const QByteArrayView content = QByteArrayView(html).sliced(begin, end - begin);
    const QByteArrayView trimmed = content.trimmed();
    if (trimmed.startsWith("<![CDATA[")) {
        const qsizetype open = begin + content.indexOf("<![CDATA[") + 9;
        const qsizetype close = html.indexOf("]]>", open);
        if (close >= 0 && close + 3 <= end &&
            QByteArrayView(html).sliced(close + 3, end - close - 3).trimmed().isEmpty() &&
            !QByteArrayView(html).sliced(open, close - open).contains('<'))
            return {open, close};
        return {-1, -1};
    }
    if (content.contains('<'))
        return {-1, -1};
    return {begin, end};
}

void addStyleEdit(const Rules& rules, const QByteArray& html, qsizetype begin, qsizetype end,
                  std::vector<Edit>& edits)
{
    const QByteArrayView css = QByteArrayView(html).sliced(begin, end - begin);
    QByteArray rewritten = rules.styleSheet(css);
    if (rewritten != css)
        edits.push_back({begin, end, std::move(rewritten)});
}

} // namespace

QByteArray rewrite(const QByteArray& html, const Rules& rules)
{
    // First the style sheets of foreign style elements, whose text the
    // scanner reads as markup and so also visits as tags; then, over that,
    // every tag and every other style sheet.
    std::vector<Edit> foreign;
    qsizetype lastEnd = 0;
    Html::scanHtml(html, [&](const Html::HtmlTag& tag) {
        if (tag.name != "style" || !tag.foreign || tag.begin < lastEnd)
            return;
        lastEnd = foreignStyleEnd(html, tag.end);
        const auto [begin, end] = foreignStyleSheet(html, tag.end, lastEnd);
        if (rules.emptiesUnclearForeignStyles && begin < 0)
            foreign.push_back({tag.end, lastEnd, QByteArray()});
        else if (begin >= 0)
            addStyleEdit(rules, html, begin, end, foreign);
        else
            addStyleEdit(rules, html, tag.end, lastEnd, foreign);
    });
    const QByteArray page = applied(html, std::move(foreign));

    std::vector<Edit> edits;
    Html::scanHtml(page, [&](const Html::HtmlTag& tag) {
        if (tag.name == "style" && tag.contentEnd >= 0)
            addStyleEdit(rules, page, tag.end, tag.contentEnd, edits);
        for (const Html::HtmlAttribute& attribute : tag.attributes) {
            if (attribute.name != "style" || !attribute.hasValue)
                continue;
            const QByteArray css = Html::decodeEntities(QByteArrayView(page).sliced(
                attribute.valueBegin, attribute.valueEnd - attribute.valueBegin));
            const QByteArray rewritten = rules.styleSheet(css);
            if (rewritten != css)
                edits.push_back(replaceAttribute(attribute, rewritten));
        }
        if (rules.tag)
            rules.tag(page, tag, edits);
    });
    return applied(page, std::move(edits));
}

Edit replaceAttribute(const Html::HtmlAttribute& attribute, QByteArrayView value)
{
    return {attribute.begin, attribute.end,
            attribute.name + "=\"" + Html::escapeAttribute(value) + '"'};
}

Edit dropAttribute(const Html::HtmlAttribute& attribute)
{
    return {attribute.begin, attribute.end, QByteArray()};
}

qsizetype headStart(const QByteArray& html)
{
    qsizetype head = -1;
    qsizetype root = -1;
    qsizetype doctype = -1;
    Html::scanHtml(html, [&](const Html::HtmlTag& tag) {
        if (tag.foreign)
            return;
        if (tag.name == "head" && head < 0)
            head = tag.end;
        else if (tag.name == "html" && root < 0)
            root = tag.end;
        else if (tag.name == "!doctype" && doctype < 0)
            doctype = tag.end;
    });
    return head >= 0 ? head : root >= 0 ? root : doctype >= 0 ? doctype : 0;
}

} // namespace PageRewrite
