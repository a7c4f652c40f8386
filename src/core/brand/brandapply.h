#pragma once

#include "core/brand/brandkit.h"
#include "core/platform/status.h"

#include <QByteArray>
#include <QStringList>

// Puts a brand on a copy of a template's message. Templates mark what belongs
// to the sender: elements carry data-brand="SLOT" (logo, name, tagline,
// address, social, unsubscribe, view-in-browser, website), and an element
// or <style> whose colours come from the sender's theme lists their roles in
// data-brand-colours, one per "#rrggbb" it holds, in order ("-" for a colour
// of the template's own). Only the marks are rewritten, by scanning: nothing
// is executed.
namespace BrandApply {

struct Slots
{
    QStringList
        slotNames; // the slot names (`slots` is a Qt keyword) marked in the page, sorted, each once
    QStringList colourRoles; // the colour roles the page records, sorted
};
Slots slotsOf(const QByteArray& html);
bool hasSlots(const QByteArray& html);

struct Branded
{
    QByteArray message;
    QStringList adjustments; // e.g. contrast choices, translated plain text
};

// The decoded template message with the brand applied to a copy: the HTML
// part rewritten where the template marks slots and colour roles, the logo
// and the social icons added as related image parts. A message without slots
// comes back unchanged.
Result<Branded> applyToMessage(const QByteArray& message, const BrandKit& brand);

} // namespace BrandApply
