#include "core/mime/mimebody.h"

namespace Mime {

namespace {

bool isDisplayableText(const Part& part)
{
    return part.isLeaf() && !part.attachment && part.is("text") &&
           (part.subtype == "html" || part.subtype == "plain");
}

// The depth of this recursion is bounded by the depth of the flattened tree.
BodyChoice choose(const std::vector<Part>& parts, int index)
{
    const Part& part = parts[size_t(index)];
    if (part.isLeaf())
        return isDisplayableText(part) ? BodyChoice{index, part.subtype == "html"} : BodyChoice{};

    if (part.is("multipart", "alternative")) {
        // The last alternative is the richest; HTML wins over plain text.
        BodyChoice plain;
        for (auto it = part.children.rbegin(); it != part.children.rend(); ++it) {
            const BodyChoice candidate = choose(parts, *it);
            if (candidate.html)
                return candidate;
            if (candidate.part >= 0 && plain.part < 0)
                plain = candidate;
        }
        return plain;
    }

    if (part.is("multipart", "related") && !part.children.empty()) {
        int root = part.children.front();
        if (!part.startId.isEmpty()) {
            for (int child : part.children) {
                if (parts[size_t(child)].contentId == part.startId) {
                    root = child;
                    break;
                }
            }
        }
        return choose(parts, root);
    }

    if (part.attachment)
        return {};

    // Mixed and anything else: the first part that has something to show,
    // the way a mail program shows the first inline part as the message text.
    for (int child : part.children) {
        const BodyChoice candidate = choose(parts, child);
        if (candidate.part >= 0)
            return candidate;
    }
    return {};
}

bool isWithin(const std::vector<Part>& parts, int index, int ancestor)
{
    for (int at = index; at >= 0; at = parts[size_t(at)].parent) {
        if (at == ancestor)
            return true;
    }
    return false;
}

} // namespace

BodyChoice chooseBody(const std::vector<Part>& parts)
{
    return parts.empty() ? BodyChoice{} : choose(parts, 0);
}

std::vector<int> imagesShownAfterBody(const std::vector<Part>& parts, const BodyChoice& body)
{
    // The related group of the body holds the body's own resources, which
    // the page places itself.
    int group = -1;
    for (int at = body.part; at >= 0; at = parts[size_t(at)].parent) {
        if (parts[size_t(at)].is("multipart", "related")) {
            group = at;
            break;
        }
    }
    std::vector<int> shown;
    for (int i = 0; i < int(parts.size()); ++i) {
        const Part& part = parts[size_t(i)];
        if (!part.isLeaf() || !part.is("image") || part.attachment)
            continue;
        // Nothing can refer to a picture without a name or id: wherever it
        // sits, the message carries it to be seen.
        const bool anonymous = part.fileName.trimmed().isEmpty() && part.contentId.isEmpty();
        if (anonymous) {
            shown.push_back(i);
            continue;
        }
        if (part.parent < 0 || !parts[size_t(part.parent)].is("multipart", "mixed"))
            continue;
        if (group >= 0 && isWithin(parts, i, group))
            continue;
        shown.push_back(i);
    }
    return shown;
}

} // namespace Mime
