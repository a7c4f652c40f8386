#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

typedef struct _GMimeObject GMimeObject;

namespace Mime {

// One node of a parsed message. The tree is kept flat, parents before their
// children, so that nothing after the parse walks GMime's objects recursively.
struct Part
{
    int parent = -1;
    int depth = 0;
    std::vector<int> children;
    QByteArray type;      // lower case: "text", "multipart", ...
    QByteArray subtype;   // lower case: "html", "related", ...
    QByteArray charset;   // as labelled, may be empty
    QByteArray contentId; // without angle brackets
    QByteArray startId;   // the "start" of a multipart/related, without angle brackets
    QString location;     // Content-Location as given, possibly relative
    QString base;         // the absolute URL relative references of this part resolve against
    QString fileName;     // decoded, not yet safe for the file system
    bool attachment = false;
    bool explicitInline = false;
    GMimeObject* object = nullptr; // leaves only: where the content comes from

    bool is(const char* t) const { return type == t; }
    bool is(const char* t, const char* s) const { return type == t && subtype == s; }
    bool isLeaf() const { return object != nullptr; }
};

} // namespace Mime
