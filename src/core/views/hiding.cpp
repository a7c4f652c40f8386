#include "core/views/hiding.h"

#include "core/views/cssrules.h"

#include <QRegularExpression>
#include <QString>

namespace Hiding {

namespace {

// A length or number that is zero, in any unit: "0", "0px", "0.0em", "0%".
bool isZero(const QString& value)
{
    static const QRegularExpression zero(QStringLiteral("^[+-]?(0+(\\.0*)?|\\.0+)[a-z%]*$"));
    return zero.match(value).hasMatch();
}

// Font sizes at which no reader can read the text: 0 in any unit, 1px.
bool isUnreadableSize(const QString& value)
{
    if (isZero(value))
        return true;
    static const QRegularExpression pixels(QStringLiteral("^([0-9]*\\.?[0-9]+)px$"));
    const QRegularExpressionMatch match = pixels.match(value);
    return match.hasMatch() && match.captured(1).toDouble() <= 1.0;
}

void addSelectors(QByteArrayView prelude, HiddenNames& names)
{
    static const QRegularExpression comments(QStringLiteral("/\\*.*?(\\*/|$)"),
                                             QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression simple(
        QStringLiteral("^[a-zA-Z][a-zA-Z0-9]*?([.#])([A-Za-z_][A-Za-z0-9_-]*)$|^([.#])([A-Za-z_]"
                       "[A-Za-z0-9_-]*)$"));
    QString selectors = QString::fromUtf8(prelude);
    selectors.remove(comments);
    for (const QString& selector : selectors.split(QLatin1Char(','))) {
        const QRegularExpressionMatch match = simple.match(selector.trimmed());
        if (!match.hasMatch())
            continue;
        const bool elementNamed = match.capturedLength(1) > 0;
        const QString kind = match.captured(elementNamed ? 1 : 3);
        const QByteArray name = match.captured(elementNamed ? 2 : 4).toUtf8();
        (kind == QLatin1String(".") ? names.classes : names.ids).insert(name);
    }
}

} // namespace

bool hidesElement(const QByteArray& declarations)
{
    QString css = QString::fromUtf8(declarations).toLower();
    static const QRegularExpression comments(QStringLiteral("/\\*.*?(\\*/|$)"),
                                             QRegularExpression::DotMatchesEverythingOption);
    css.remove(comments);
    bool overflowHidden = false;
    bool zeroBox = false;
    for (const QString& declaration : css.split(QLatin1Char(';'))) {
        const qsizetype colon = declaration.indexOf(QLatin1Char(':'));
        if (colon < 0)
            continue;
        const QString property = declaration.left(colon).trimmed();
        QString value = declaration.mid(colon + 1).trimmed();
        value.remove(QStringLiteral("!important"));
        value = value.simplified();
        if ((property == QLatin1String("display") && value == QLatin1String("none")) ||
            (property == QLatin1String("visibility") &&
             (value == QLatin1String("hidden") || value == QLatin1String("collapse"))) ||
            (property == QLatin1String("opacity") && isZero(value)) ||
            (property == QLatin1String("mso-hide") && value == QLatin1String("all")) ||
            (property == QLatin1String("font-size") && isUnreadableSize(value)))
            return true;
        if (property == QLatin1String("overflow") && value == QLatin1String("hidden"))
            overflowHidden = true;
        if ((property == QLatin1String("max-height") || property == QLatin1String("height") ||
             property == QLatin1String("max-width") || property == QLatin1String("width")) &&
            isZero(value))
            zeroBox = true;
    }
    return overflowHidden && zeroBox;
}

bool HiddenNames::hide(const QByteArray& html, const Html::HtmlTag& tag) const
{
    if (classes.isEmpty() && ids.isEmpty())
        return false;
    if (ids.contains(tag.attribute(html, "id")))
        return true;
    const QByteArray classList = tag.attribute(html, "class");
    for (const QByteArray& name : classList.simplified().split(' ')) {
        if (classes.contains(name))
            return true;
    }
    return false;
}

HiddenNames hiddenNames(const QByteArray& html, const std::vector<Html::HtmlTag>& tags)
{
    HiddenNames names;
    for (const Html::HtmlTag& tag : tags) {
        if (tag.name != "style" || tag.contentEnd < 0)
            continue;
        CssRules::forEachRule(QByteArrayView(html).sliced(tag.end, tag.contentEnd - tag.end),
                              [&](QByteArrayView selectors, QByteArrayView declarations) {
                                  if (hidesElement(declarations.toByteArray()))
                                      addSelectors(selectors, names);
                              });
    }
    return names;
}

} // namespace Hiding
