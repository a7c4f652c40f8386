#include "core/mime/mimecomponent.h"

#include <gmime/gmime.h>

#include <QCoreApplication>

#include <mutex>

namespace {

void initialiseOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

struct TextRewrite
{
    const MimeComponent::Outgoing* outgoing;
};

void rewriteTextPart(GMimeObject*, GMimeObject* part, gpointer data)
{
    if (!GMIME_IS_TEXT_PART(part))
        return;
    GMimeContentType* type = g_mime_object_get_content_type(part);
    if (!g_mime_content_type_is_type(type, "text", "plain") &&
        !g_mime_content_type_is_type(type, "text", "html"))
        return;
    // An attachment that happens to be text is the sender's file, not the message.
    GMimeContentDisposition* disposition = g_mime_object_get_content_disposition(part);
    if (disposition && g_mime_content_disposition_is_attachment(disposition))
        return;
    const auto* rewrite = static_cast<TextRewrite*>(data);
    if (!rewrite->outgoing->fill)
        return;
    char* raw = g_mime_text_part_get_text(GMIME_TEXT_PART(part));
    if (!raw)
        return;
    const QByteArray before(raw);
    g_free(raw);
    const QByteArray after =
        rewrite->outgoing->fill(before, g_mime_content_type_is_type(type, "text", "html"));
    if (after == before)
        return;
    g_mime_text_part_set_text(GMIME_TEXT_PART(part), after.constData());
    // Long HTML lines would break SMTP's line limit if sent as they are.
    g_mime_part_set_content_encoding(
        GMIME_PART(part),
        g_mime_part_get_best_content_encoding(GMIME_PART(part), GMIME_ENCODING_CONSTRAINT_7BIT));
}

// GMime writes a cleared address list back as an empty header, which some
// servers refuse; a header without addresses is left out instead.
QByteArray withoutEmptyAddressHeaders(const QByteArray& message)
{
    const qsizetype end = message.indexOf("\r\n\r\n");
    if (end < 0)
        return message;
    QList<QByteArray> lines = message.left(end).split('\n');
    lines.removeIf([](const QByteArray& line) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0 || !line.mid(colon + 1).trimmed().isEmpty())
            return false;
        const QByteArray name = line.left(colon).toLower();
        return name == "cc" || name == "bcc" || name == "reply-to" || name == "sender";
    });
    return lines.join('\n') + message.mid(end);
}

} // namespace

QByteArray MimeComponent::outgoingMessage(const QByteArray& message, const Outgoing& outgoing,
                                          QString* error)
{
    if (message.size() > MaxMessageSize) {
        *error = QCoreApplication::translate("MimeComponent", "the message is larger than %1 MB")
                     .arg(MaxMessageSize / (1024 * 1024));
        return {};
    }
    initialiseOnce();
    GMimeStream* stream =
        g_mime_stream_mem_new_with_buffer(message.constData(), size_t(message.size()));
    GMimeParser* parser = g_mime_parser_new_with_stream(stream);
    g_mime_parser_set_format(parser, GMIME_FORMAT_MESSAGE);
    GMimeMessage* parsed = g_mime_parser_construct_message(parser, nullptr);
    g_object_unref(parser);
    g_object_unref(stream);
    if (!parsed || !g_mime_message_get_mime_part(parsed)) {
        if (parsed)
            g_object_unref(parsed);
        *error = QCoreApplication::translate("MimeComponent", "the data is not a MIME message");
        return {};
    }

    InternetAddressList* from = g_mime_message_get_from(parsed);
    QByteArray fromName = outgoing.fromName.toUtf8();
    if (fromName.isEmpty() && internet_address_list_length(from) > 0) {
        const char* name = internet_address_get_name(internet_address_list_get_address(from, 0));
        fromName = name ? QByteArray(name) : QByteArray();
    }
    internet_address_list_clear(from);
    internet_address_list_add(
        from, internet_address_mailbox_new(fromName.isEmpty() ? nullptr : fromName.constData(),
                                           outgoing.fromAddress.toUtf8().constData()));
    // Replies to a test go to the tester, not to a list's own address.
    internet_address_list_clear(g_mime_message_get_reply_to(parsed));
    InternetAddressList* to = g_mime_message_get_addresses(parsed, GMIME_ADDRESS_TYPE_TO);
    internet_address_list_clear(to);
    for (const QString& address : outgoing.to)
        internet_address_list_add(
            to, internet_address_mailbox_new(nullptr, address.toUtf8().constData()));
    internet_address_list_clear(g_mime_message_get_addresses(parsed, GMIME_ADDRESS_TYPE_CC));
    internet_address_list_clear(g_mime_message_get_addresses(parsed, GMIME_ADDRESS_TYPE_BCC));

    QByteArray subject = g_mime_message_get_subject(parsed);
    if (outgoing.fill)
        subject = outgoing.fill(subject, false);
    const QByteArray newSubject = outgoing.subjectPrefix.toUtf8() + subject;
    g_mime_message_set_subject(parsed, newSubject.constData(), "utf-8");
    g_mime_message_set_message_id(parsed, outgoing.messageId.constData());
    const QDateTime date = outgoing.date.isValid() ? outgoing.date : QDateTime::currentDateTime();
    GTimeZone* zone = g_time_zone_new_offset(date.offsetFromUtc());
    GDateTime* when = g_date_time_new_from_unix_local(date.toSecsSinceEpoch());
    GDateTime* zoned = g_date_time_to_timezone(when, zone);
    g_mime_message_set_date(parsed, zoned);
    g_date_time_unref(zoned);
    g_date_time_unref(when);
    g_time_zone_unref(zone);

    TextRewrite rewrite{&outgoing};
    g_mime_message_foreach(parsed, rewriteTextPart, &rewrite);

    GMimeFormatOptions* format = g_mime_format_options_new();
    g_mime_format_options_set_newline_format(format, GMIME_NEWLINE_FORMAT_DOS);
    GMimeStream* out = g_mime_stream_mem_new();
    g_mime_object_write_to_stream(GMIME_OBJECT(parsed), format, out);
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out));
    QByteArray result(reinterpret_cast<const char*>(bytes->data), qsizetype(bytes->len));
    g_object_unref(out);
    g_mime_format_options_free(format);
    g_object_unref(parsed);
    return withoutEmptyAddressHeaders(result);
}
