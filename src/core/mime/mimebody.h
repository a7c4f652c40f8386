#pragma once

#include "core/mime/mimeparts.h"

#include <vector>

namespace Mime {

struct BodyChoice
{
    int part = -1; // -1: the message has no text to show
    bool html = false;
};

// Picks the part a mail program would show: the HTML of a multipart/alternative
// (also inside or around multipart/related), a single HTML part, or the plain
// text when there is no HTML.
BodyChoice chooseBody(const std::vector<Part>& parts);

// Images a mail program shows after the body: inline images of a mixed
// multipart that are not part of the chosen body's related group, and images
// with neither a file name nor a Content-ID anywhere. The caller skips those
// the page already shows.
std::vector<int> imagesShownAfterBody(const std::vector<Part>& parts, const BodyChoice& body);

} // namespace Mime
