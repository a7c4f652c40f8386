#pragma once

#include "core/html/htmlscan.h"

#include <QByteArray>
#include <QByteArrayView>

#include <functional>
#include <vector>

// Rewrites a page in place where its tags and style sheets say, keeping every
// other byte as it was. Tags are read by Html::scanHtml, as the engine reads
// them.
namespace PageRewrite {

struct Edit
{
    qsizetype begin = 0;
    qsizetype end = 0;
    QByteArray text;
};

struct Rules
{
    // Applied to the text of every <style> element and every style=""
    // attribute; returns the CSS unchanged where it has nothing to do.
    std::function<QByteArray(QByteArrayView)> styleSheet;
    // Adds the edits of one tag's other attributes, inside the tag.
    std::function<void(const QByteArray& html, const Html::HtmlTag& tag, std::vector<Edit>& edits)>
        tag;
    // Inside svg the browser reads a style element's content as markup, so
    // where that content holds markup of its own (other than one CDATA
    // section around the whole) its style sheet cannot be told for sure.
    // A rewrite that must leave nothing out empties such a style element.
    bool emptiesUnclearForeignStyles = false;
};

QByteArray rewrite(const QByteArray& html, const Rules& rules);

// Edits that give an attribute a new value, or take it out.
Edit replaceAttribute(const Html::HtmlAttribute& attribute, QByteArrayView value);
Edit dropAttribute(const Html::HtmlAttribute& attribute);

// Where a new element goes at the start of the head: after <head>, else after
// <html>, else after the doctype, else at the very start.
qsizetype headStart(const QByteArray& html);

} // namespace PageRewrite
