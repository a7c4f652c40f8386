#include "core/brand/brandapply.h"

#include "core/html/htmlscan.h"

#include <QSet>

namespace BrandApply {

namespace {

const char ColoursMeta[] = "quillery-brand-colours";

} // namespace

Slots slotsOf(const QByteArray& html)
{
    QSet<QString> slotNames;
    QSet<QString> roles;
    Html::scanHtml(html, [&](const Html::HtmlTag& tag) {
        const QByteArray slot = tag.attribute(html, "data-brand");
        if (!slot.isNull() && !slot.isEmpty())
            slotNames.insert(QString::fromUtf8(slot));
        if (tag.name == "meta" && tag.attribute(html, "name") == ColoursMeta) {
            const QByteArray content = tag.attribute(html, "content");
            for (const QByteArray& pair : content.split(';')) {
                const qsizetype eq = pair.indexOf('=');
                if (eq > 0)
                    roles.insert(QString::fromUtf8(pair.mid(eq + 1).trimmed()));
            }
        }
    });
    Slots found{QStringList(slotNames.begin(), slotNames.end()),
                QStringList(roles.begin(), roles.end())};
    found.slotNames.sort();
    found.colourRoles.sort();
    return found;
}

bool hasSlots(const QByteArray& html)
{
    const Slots found = slotsOf(html);
    return !found.slotNames.isEmpty() || !found.colourRoles.isEmpty();
}

Result<Branded> applyToMessage(const QByteArray& message, const BrandKit& brand)
{
    Q_UNUSED(brand);
    return Branded{message, {}};
}

} // namespace BrandApply
