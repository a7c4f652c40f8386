#pragma once

#include "core/mime/mimeparts.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

typedef struct _GMimeMessage GMimeMessage;
typedef struct _GMimeParserOptions GMimeParserOptions;

namespace Mime {

// The deepest nesting of multiparts and attached messages that is looked
// into; anything below is left out of the page.
inline constexpr int MaxDepth = 64;

// A parsed message that owns its GMime objects and the bytes they refer to.
class Message
{
public:
    // Parses `data`. Problems that still leave something to show (a missing
    // closing boundary, too deep nesting) are listed in `problems`.
    static std::unique_ptr<Message> parse(const QByteArray& data, QStringList* problems);
    ~Message();
    Message(const Message&) = delete;
    Message& operator=(const Message&) = delete;

    const std::vector<Part>& parts() const { return m_parts; }
    QString subject() const;
    // The first mailbox of From, encoded words decoded; both empty when the
    // message has no From or it names no mailbox.
    struct Mailbox
    {
        QString name;
        QString address;
    };
    Mailbox sender() const;
    // The part's content with its transfer encoding undone.
    QByteArray content(int index) const;

private:
    Message() = default;
    void flatten(QStringList* problems);

    // GMime's objects may refer to the options they were parsed with.
    GMimeParserOptions* m_options = nullptr;
    GMimeMessage* m_message = nullptr;
    std::vector<Part> m_parts;
};

} // namespace Mime
