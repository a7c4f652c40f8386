#include "core/mime/mimemessage.h"

#include "core/html/htmlurls.h"
#include "core/mime/mimebase64.h"

#include <gmime/gmime.h>

#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <mutex>

namespace Mime {

namespace {

void initialiseOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

QByteArray stripAngles(const char* id)
{
    QByteArray result = QByteArray(id).trimmed();
    if (result.startsWith('<') && result.endsWith('>') && result.size() >= 2)
        result = result.mid(1, result.size() - 2).trimmed();
    return result;
}

QString resolvedAgainst(const QString& base, const QString& reference)
{
    if (base.isEmpty())
        return reference;
    return QUrl(base).resolved(QUrl(reference)).toString(QUrl::FullyEncoded);
}

// A URL header as written: folded lines joined, and the quotes some
// programs put around it removed.
QString urlHeader(const char* value)
{
    QString url = QString::fromUtf8(value);
    url.replace(QRegularExpression(QStringLiteral("[\\r\\n]+[ \\t]*")), QString());
    url = url.trimmed();
    if (url.size() >= 2 && url.startsWith(QLatin1Char('"')) && url.endsWith(QLatin1Char('"')))
        url = url.mid(1, url.size() - 2).trimmed();
    return url;
}

bool isAbsoluteUrl(const QString& url)
{
    const QUrl parsed(url);
    return parsed.isValid() && !parsed.isRelative();
}

QString tooDeepProblem()
{
    return QStringLiteral("the message is nested more than %1 levels deep; the deeper parts are "
                          "not shown")
        .arg(MaxDepth);
}

struct ParseProblems
{
    QStringList* list;
    void add(const QString& text)
    {
        if (list && !list->contains(text))
            list->append(text);
    }
};

void onParserWarning(gint64, GMimeParserWarning code, const gchar*, gpointer data)
{
    auto* problems = static_cast<ParseProblems*>(data);
    switch (code) {
    case GMIME_WARN_TRUNCATED_MESSAGE:
        problems->add(QStringLiteral("the message is cut off; what arrived of it is shown"));
        break;
    case GMIME_WARN_MALFORMED_MESSAGE:
    case GMIME_CRIT_PART_WITHOUT_HEADERS_OR_CONTENT:
        problems->add(QStringLiteral("the message is malformed"));
        break;
    case GMIME_CRIT_MULTIPART_WITHOUT_BOUNDARY:
        problems->add(QStringLiteral("a multipart has no boundary"));
        break;
    case GMIME_CRIT_NESTING_OVERFLOW:
        // GMime stops deeper than we look: one problem, told once.
        problems->add(tooDeepProblem());
        break;
    default:
        // Duplicate headers, stray 8-bit bytes and the like are everyday
        // mail and change nothing on the page.
        break;
    }
}

struct Pending
{
    GMimeObject* object;
    int parent;
    int depth;
};

} // namespace

std::unique_ptr<Message> Message::parse(const QByteArray& data, QStringList* problems)
{
    initialiseOnce();
    std::unique_ptr<Message> message(new Message);
    ParseProblems collected{problems};
    message->m_options = g_mime_parser_options_new();
    g_mime_parser_options_set_warning_callback(message->m_options, onParserWarning, &collected);
    GMimeStream* stream = g_mime_stream_mem_new_with_buffer(data.constData(), size_t(data.size()));
    GMimeParser* parser = g_mime_parser_new_with_stream(stream);
    g_mime_parser_set_format(parser, GMIME_FORMAT_MESSAGE);
    message->m_message = g_mime_parser_construct_message(parser, message->m_options);
    g_object_unref(parser);
    g_object_unref(stream);
    g_mime_parser_options_set_warning_callback(message->m_options, nullptr, nullptr);

    if (!message->m_message) {
        collected.add(QStringLiteral("the data is not a MIME message"));
        return nullptr;
    }
    message->flatten(problems);
    return message;
}

Message::~Message()
{
    if (m_message)
        g_object_unref(m_message);
    if (m_options)
        g_mime_parser_options_free(m_options);
}

QString Message::subject() const
{
    const char* subject = g_mime_message_get_subject(m_message);
    return subject ? QString::fromUtf8(subject) : QString();
}

Message::Mailbox Message::sender() const
{
    Mailbox mailbox;
    InternetAddressList* from = g_mime_message_get_from(m_message);
    const int count = from ? internet_address_list_length(from) : 0;
    // A group ("Team: a@x, b@y;") names no sender of its own: its first
    // member is the one a mail list would show.
    for (int i = 0; i < count && mailbox.address.isEmpty(); ++i) {
        InternetAddress* address = internet_address_list_get_address(from, i);
        if (INTERNET_ADDRESS_IS_GROUP(address)) {
            InternetAddressList* members =
                internet_address_group_get_members(INTERNET_ADDRESS_GROUP(address));
            address = members && internet_address_list_length(members) > 0
                          ? internet_address_list_get_address(members, 0)
                          : nullptr;
        }
        if (!address || !INTERNET_ADDRESS_IS_MAILBOX(address))
            continue;
        mailbox.name = QString::fromUtf8(internet_address_get_name(address));
        mailbox.address =
            QString::fromUtf8(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address)));
    }
    return mailbox;
}

void Message::flatten(QStringList* problems)
{
    ParseProblems collected{problems};
    std::vector<Pending> stack;
    if (GMimeObject* root = g_mime_message_get_mime_part(m_message))
        stack.push_back({root, -1, 0});

    while (!stack.empty()) {
        const Pending next = stack.back();
        stack.pop_back();
        GMimeObject* object = next.object;

        Part part;
        part.parent = next.parent;
        part.depth = next.depth;
        if (GMimeContentType* type = g_mime_object_get_content_type(object)) {
            part.type = QByteArray(g_mime_content_type_get_media_type(type)).toLower();
            part.subtype = QByteArray(g_mime_content_type_get_media_subtype(type)).toLower();
            part.charset = QByteArray(g_mime_content_type_get_parameter(type, "charset")).trimmed();
            if (const char* start = g_mime_content_type_get_parameter(type, "start"))
                part.startId = stripAngles(start);
        }
        if (const char* id = g_mime_object_get_content_id(object))
            part.contentId = stripAngles(id);
        if (const char* disposition = g_mime_object_get_disposition(object)) {
            part.attachment = g_ascii_strcasecmp(disposition, "attachment") == 0;
            part.explicitInline = g_ascii_strcasecmp(disposition, "inline") == 0;
        }

        // A base on the local disk is never used: references resolved against
        // it would reach files beside the page.
        QString base = next.parent >= 0 ? m_parts[size_t(next.parent)].base : QString();
        if (const char* contentBase = g_mime_object_get_header(object, "Content-Base")) {
            const QString resolved = resolvedAgainst(base, urlHeader(contentBase));
            if (!Html::isFileUrl(Html::cleanUrl(resolved.toUtf8())))
                base = resolved;
        }
        if (const char* location = g_mime_object_get_header(object, "Content-Location")) {
            part.location = resolvedAgainst(base, urlHeader(location));
            if (isAbsoluteUrl(part.location) &&
                !Html::isFileUrl(Html::cleanUrl(part.location.toUtf8())))
                base = part.location;
        }
        part.base = base;

        const int index = int(m_parts.size());
        if (next.parent >= 0)
            m_parts[size_t(next.parent)].children.push_back(index);

        const bool tooDeep = next.depth >= MaxDepth;
        if (GMIME_IS_PART(object)) {
            part.object = object;
            if (const char* name = g_mime_part_get_filename(GMIME_PART(object)))
                part.fileName = QString::fromUtf8(name);
            if (part.fileName.trimmed().isEmpty() && !part.location.isEmpty())
                part.fileName = QUrl(part.location).fileName();
        } else if (GMIME_IS_MULTIPART(object) && !tooDeep) {
            GMimeMultipart* multipart = GMIME_MULTIPART(object);
            // Pushed in reverse so children come out in their order.
            for (int i = g_mime_multipart_get_count(multipart) - 1; i >= 0; --i) {
                if (GMimeObject* child = g_mime_multipart_get_part(multipart, i))
                    stack.push_back({child, index, next.depth + 1});
            }
        } else if (GMIME_IS_MESSAGE_PART(object) && !tooDeep) {
            GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object));
            if (GMimeObject* child = inner ? g_mime_message_get_mime_part(inner) : nullptr)
                stack.push_back({child, index, next.depth + 1});
        } else if (tooDeep) {
            collected.add(tooDeepProblem());
        }
        m_parts.push_back(std::move(part));
    }
}

QByteArray Message::content(int index) const
{
    GMimeObject* object = m_parts[size_t(index)].object;
    if (!object || !GMIME_IS_PART(object))
        return QByteArray();
    GMimeDataWrapper* wrapper = g_mime_part_get_content(GMIME_PART(object));
    if (!wrapper)
        return QByteArray();

    // Images are most of a newsletter's bytes: they are read straight from
    // the parsed buffer and decoded in one pass instead of through GMime's
    // stream filters.
    GMimeStream* raw = g_mime_data_wrapper_get_stream(wrapper);
    const GMimeContentEncoding encoding = g_mime_data_wrapper_get_encoding(wrapper);
    if (raw && GMIME_IS_STREAM_MEM(raw) && encoding == GMIME_CONTENT_ENCODING_BASE64) {
        if (GByteArray* buffer = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(raw))) {
            const gint64 size = gint64(buffer->len);
            const gint64 begin = std::clamp<gint64>(raw->bound_start, 0, size);
            const gint64 end =
                raw->bound_end < 0 ? size : std::clamp<gint64>(raw->bound_end, begin, size);
            return decodeBase64(QByteArrayView(reinterpret_cast<const char*>(buffer->data) + begin,
                                               qsizetype(end - begin)));
        }
    }

    GMimeStream* sink = g_mime_stream_mem_new();
    g_mime_data_wrapper_write_to_stream(wrapper, sink);
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(sink));
    QByteArray result(reinterpret_cast<const char*>(bytes->data), qsizetype(bytes->len));
    g_object_unref(sink);
    return result;
}

} // namespace Mime
