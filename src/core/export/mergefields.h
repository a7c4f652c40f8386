#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The merge fields a template may hold ("[unsubscribe_url]", "[first_name]",
// ...), each written once here with its sample value and the form every
// mailing service the export knows writes it in. A template writes a field as
// its name in square brackets; that is also the generic service's form.
namespace MergeFields {

enum class Service {
    Generic,
    Mailchimp,
    Listmonk,
    Mautic,
    MailPoet,
    Brevo,
    CampaignMonitor,
    SendGrid,
};

struct ServiceInfo
{
    Service id;
    const char* key;  // stored in settings and given to the library tool
    const char* name; // shown to the user; a product name, not translated
};

struct Field
{
    const char* name;   // "unsubscribe_url"; the template writes "[unsubscribe_url]"
    const char* label;  // QT_TRANSLATE_NOOP("MergeFields", ...)
    const char* sample; // what a test message shows in its place
    bool isUrl;         // written into href and the like
};

// Every service, generic first, in the order a list offers them.
const QList<ServiceInfo>& services();
const ServiceInfo& service(Service id);
std::optional<Service> serviceFromKey(QStringView key);

// Every field, in the table's order.
const QList<Field>& fields();

// "[name]", the form a template writes a field in.
QByteArray token(const Field& field);

// How `service` writes `field`. `html` is the tag in a page's text; `url` the
// tag inside an attribute value such as a link's address, without spaces
// where the service allows it (null: as `html`); `plain` the tag in a
// plain-text part; `linkElement`, when set, the element that takes the place
// of a whole <a href="[field]"> link (a service that gives the address only as
// an element of its own). Null where the service has no such form. No form
// holds a quote, '&', '<' or '>', so none needs escaping in an attribute.
struct Form
{
    const char* html = nullptr;
    const char* url = nullptr;
    const char* plain = nullptr;
    const char* linkElement = nullptr;
};
Form form(Service service, const Field& field);

struct Result
{
    QByteArray text;
    // The fields left in their generic form because the service has no form
    // for them where they stand, each named once as "[name]".
    QStringList unconverted;
};

// Rewrites every field of an HTML page into `service`'s forms: in text, in
// attribute values (re-quoted where a form needs it) and, for a service that
// writes a link as an element of its own, a whole <a href="[field]"> link.
// The content of scripts and style sheets is left alone.
Result toService(const QByteArray& html, Service service);
// The same for a plain-text part.
Result toServicePlain(const QByteArray& text, Service service);

// Every field of an HTML page replaced by its sample value, escaped for where
// it stands; for a test message.
QByteArray fillSamples(const QByteArray& html);
// The same for a plain-text part or a subject.
QByteArray fillSamplesPlain(const QByteArray& text);

} // namespace MergeFields
