#include "core/export/mergefields.h"

#include "core/html/htmlscan.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <functional>
#include <vector>

namespace MergeFields {

namespace {

constexpr int ServiceCount = int(Service::SendGrid) + 1;

// One row per field, one form per service in the order of Service. Checked
// against each service's documentation of its merge tags; the user guide
// names which version of each syntax this is.
struct Row
{
    Field field;
    std::array<Form, ServiceCount> forms;
};

const std::vector<Row>& table()
{
    // Generic, Mailchimp, listmonk, Mautic, MailPoet, Brevo, Campaign Monitor, SendGrid
    static const std::vector<Row> rows{
        {{"first_name", QT_TRANSLATE_NOOP("MergeFields", "First name"), "Alex", false},
         {{{"[first_name]"},
           {"*|FNAME|*"},
           {"{{ .Subscriber.FirstName }}", "{{.Subscriber.FirstName}}"},
           {"{contactfield=firstname}"},
           {"[subscriber:firstname]"},
           {"{{ contact.FIRSTNAME }}", "{{contact.FIRSTNAME}}"},
           {"[firstname,fallback=]"},
           {"{{first_name}}"}}}},
        {{"last_name", QT_TRANSLATE_NOOP("MergeFields", "Last name"), "Morgan", false},
         {{{"[last_name]"},
           {"*|LNAME|*"},
           {"{{ .Subscriber.LastName }}", "{{.Subscriber.LastName}}"},
           {"{contactfield=lastname}"},
           {"[subscriber:lastname]"},
           {"{{ contact.LASTNAME }}", "{{contact.LASTNAME}}"},
           {"[lastname,fallback=]"},
           {"{{last_name}}"}}}},
        {{"email", QT_TRANSLATE_NOOP("MergeFields", "E-mail address"), "alex@example.com", false},
         {{{"[email]"},
           {"*|EMAIL|*"},
           {"{{ .Subscriber.Email }}", "{{.Subscriber.Email}}"},
           {"{contactfield=email}"},
           {"[subscriber:email]"},
           {"{{ contact.EMAIL }}", "{{contact.EMAIL}}"},
           {"[email]"},
           {"{{email}}"}}}},
        {{"unsubscribe_url", QT_TRANSLATE_NOOP("MergeFields", "Unsubscribe link"),
          "https://example.com/unsubscribe", true},
         {{{"[unsubscribe_url]"},
           {"*|UNSUB|*"},
           {"{{ UnsubscribeURL }}", "{{UnsubscribeURL}}"},
           {"{unsubscribe_url}"},
           {"[link:subscription_unsubscribe_url]"},
           {"{{ unsubscribe }}", "{{unsubscribe}}"},
           {nullptr, nullptr, "[unsubscribe]", "unsubscribe"},
           {"{{{unsubscribe}}}"}}}},
        {{"preferences_url", QT_TRANSLATE_NOOP("MergeFields", "Preferences link"),
          "https://example.com/preferences", true},
         {{{"[preferences_url]"},
           {"*|UPDATE_PROFILE|*"},
           {"{{ ManageURL }}", "{{ManageURL}}"},
           {},
           {"[link:subscription_manage_url]"},
           {"{{ update_profile }}", "{{update_profile}}"},
           {nullptr, nullptr, "[preferences]", "preferences"},
           {"{{{unsubscribe_preferences}}}"}}}},
        {{"web_version_url", QT_TRANSLATE_NOOP("MergeFields", "Web version link"),
          "https://example.com/web-version", true},
         {{{"[web_version_url]"},
           {"*|ARCHIVE|*"},
           {"{{ MessageURL }}", "{{MessageURL}}"},
           {"{webview_url}"},
           {"[link:newsletter_view_in_browser_url]"},
           {"{{ mirror }}", "{{mirror}}"},
           {nullptr, nullptr, "[webversion]", "webversion"},
           {}}}},
    };
    return rows;
}

const Row* rowNamed(QByteArrayView name)
{
    for (const Row& row : table()) {
        if (name == row.field.name)
            return &row;
    }
    return nullptr;
}

// What a field becomes where it stands; a null result keeps the field as it is.
using Substitute = std::function<QByteArray(const Row&)>;

// Replaces every "[name]" of a known field in `text` by `substitute`, naming
// in `kept` the fields it keeps.
QByteArray replaceTokens(QByteArrayView text, const Substitute& substitute, QStringList* kept)
{
    QByteArray out;
    out.reserve(text.size());
    qsizetype at = 0;
    // Kept across candidates: a page of '[' with one ']' at its end would
    // otherwise be scanned to that end once for every '['.
    qsizetype close = -1;
    while (at < text.size()) {
        const qsizetype open = text.indexOf('[', at);
        if (open < 0)
            break;
        if (close <= open)
            close = text.indexOf(']', open + 1);
        if (close < 0)
            break;
        // A '[' before the ']' starts the candidate afresh ("[[first_name]").
        const qsizetype nextOpen = text.indexOf('[', open + 1);
        if (nextOpen >= 0 && nextOpen < close) {
            out.append(text.sliced(at, nextOpen - at));
            at = nextOpen;
            continue;
        }
        out.append(text.sliced(at, open - at));
        const Row* row = rowNamed(text.sliced(open + 1, close - open - 1));
        const QByteArray replacement = row ? substitute(*row) : QByteArray();
        if (replacement.isNull()) {
            out.append(text.sliced(open, close + 1 - open));
            if (row && kept) {
                const QString name = QString::fromLatin1(text.sliced(open, close + 1 - open));
                if (!kept->contains(name))
                    kept->append(name);
            }
        } else {
            out.append(replacement);
        }
        at = close + 1;
    }
    out.append(text.sliced(at));
    return out;
}

bool containsField(QByteArrayView text)
{
    bool found = false;
    replaceTokens(
        text,
        [&](const Row&) {
            found = true;
            return QByteArray();
        },
        nullptr);
    return found;
}

QByteArray escapeText(QByteArrayView text)
{
    QByteArray out;
    for (const char c : text) {
        if (c == '&')
            out.append("&amp;");
        else if (c == '<')
            out.append("&lt;");
        else if (c == '>')
            out.append("&gt;");
        else
            out.append(c);
    }
    return out;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// How a page's fields are rewritten in its text and in its attribute values.
struct Rewrite
{
    Substitute text;
    Substitute attribute;
    // The element a whole link to the field becomes; empty for none.
    std::function<QByteArray(const Row&)> linkElement;
};

// The attribute written anew when its value holds a field: quoted, since a
// form may hold spaces that an unquoted value would end at.
QByteArray rewriteAttribute(const QByteArray& html, const Html::HtmlAttribute& attribute,
                            const Rewrite& rewrite, QStringList* kept)
{
    const QByteArray raw = html.mid(attribute.begin, attribute.end - attribute.begin);
    if (!attribute.hasValue)
        return raw;
    const QByteArrayView value = QByteArrayView(html).sliced(
        attribute.valueBegin, attribute.valueEnd - attribute.valueBegin);
    if (!containsField(value))
        return raw;
    const char before = attribute.valueBegin > 0 ? html.at(attribute.valueBegin - 1) : '\0';
    const bool quoted = before == '"' || before == '\'';
    const char quote = quoted ? before : '"';
    QByteArray replaced = replaceTokens(value, rewrite.attribute, kept);
    if (!quoted)
        replaced.replace('"', "&quot;");
    return html.mid(attribute.begin, attribute.valueBegin - attribute.begin - (quoted ? 1 : 0)) +
           quote + replaced + quote;
}

// Where the end tag of the link whose start tag ends at `from` begins and
// ends, or -1 when another link starts first or it never ends.
std::pair<qsizetype, qsizetype> linkEnd(const QByteArray& html, qsizetype from,
                                        qsizetype nextLinkBegin)
{
    qsizetype at = from;
    while (true) {
        const qsizetype found = html.indexOf("</", at);
        if (found < 0 || (nextLinkBegin >= 0 && found > nextLinkBegin))
            return {-1, -1};
        const qsizetype nameAt = found + 2;
        if (nameAt + 1 <= html.size() && (html.at(nameAt) | 0x20) == 'a' &&
            (nameAt + 1 == html.size() || isSpace(html.at(nameAt + 1)) ||
             html.at(nameAt + 1) == '>' || html.at(nameAt + 1) == '/')) {
            const qsizetype close = html.indexOf('>', nameAt);
            return {found, close < 0 ? html.size() : close + 1};
        }
        at = nameAt;
    }
}

QByteArray rewriteHtml(const QByteArray& html, const Rewrite& rewrite, QStringList* kept)
{
    struct Edit
    {
        qsizetype begin;
        qsizetype end;
        QByteArray text;
    };
    std::vector<Html::HtmlTag> tags;
    Html::scanHtml(html, [&](const Html::HtmlTag& tag) { tags.push_back(tag); });

    std::vector<Edit> edits;
    for (size_t i = 0; i < tags.size(); ++i) {
        const Html::HtmlTag& tag = tags[i];
        if (!edits.empty() && tag.begin < edits.back().end)
            continue; // inside a link already rewritten as a whole
        if (tag.name == "a" && rewrite.linkElement) {
            const QByteArray href = tag.attribute(html, "href").trimmed();
            const Row* row = href.size() > 2 && href.startsWith('[') && href.endsWith(']')
                                 ? rowNamed(QByteArrayView(href).sliced(1, href.size() - 2))
                                 : nullptr;
            const QByteArray element = row ? rewrite.linkElement(*row) : QByteArray();
            qsizetype nextLink = -1;
            for (size_t j = i + 1; j < tags.size() && nextLink < 0; ++j) {
                if (tags[j].name == "a")
                    nextLink = tags[j].begin;
            }
            const auto [closeBegin, closeEnd] = element.isEmpty()
                                                    ? std::pair<qsizetype, qsizetype>{-1, -1}
                                                    : linkEnd(html, tag.end, nextLink);
            if (closeBegin >= 0) {
                QByteArray start = '<' + element;
                for (const Html::HtmlAttribute& attribute : tag.attributes) {
                    if (attribute.name != "href")
                        start += ' ' + rewriteAttribute(html, attribute, rewrite, kept);
                }
                start += '>';
                edits.push_back({tag.begin, tag.end, start});
                // The link's content keeps its own tags and fields.
                QByteArray content =
                    rewriteHtml(html.mid(tag.end, closeBegin - tag.end), rewrite, kept);
                edits.push_back({tag.end, closeEnd, content + "</" + element + '>'});
                continue;
            }
        }
        QByteArray rebuilt;
        qsizetype at = tag.begin;
        for (const Html::HtmlAttribute& attribute : tag.attributes) {
            rebuilt += html.mid(at, attribute.begin - at) +
                       rewriteAttribute(html, attribute, rewrite, kept);
            at = attribute.end;
        }
        rebuilt += html.mid(at, tag.end - at);
        edits.push_back({tag.begin, tag.end, rebuilt});
        if (tag.contentEnd >= 0) {
            const QByteArray content = html.mid(tag.end, tag.contentEnd - tag.end);
            // A title and a text area hold text; scripts and style sheets are
            // left as they are.
            const bool isText = tag.name == "title" || tag.name == "textarea";
            edits.push_back({tag.end, tag.contentEnd,
                             isText ? replaceTokens(content, rewrite.text, kept) : content});
        }
    }

    QByteArray out;
    out.reserve(html.size() + html.size() / 16);
    qsizetype at = 0;
    for (const Edit& edit : edits) {
        out += replaceTokens(QByteArrayView(html).sliced(at, edit.begin - at), rewrite.text, kept);
        out += edit.text;
        at = edit.end;
    }
    out += replaceTokens(QByteArrayView(html).sliced(at), rewrite.text, kept);
    return out;
}

// In the table's order, whatever order the page gave them in.
void sortByTable(QStringList* names)
{
    const auto position = [](const QString& name) {
        const std::vector<Row>& rows = table();
        for (size_t i = 0; i < rows.size(); ++i) {
            if (name == QString::fromLatin1(token(rows[i].field)))
                return i;
        }
        return rows.size();
    };
    std::sort(names->begin(), names->end(),
              [&](const QString& a, const QString& b) { return position(a) < position(b); });
}

} // namespace

const QList<ServiceInfo>& services()
{
    static const QList<ServiceInfo> all{
        {Service::Generic, "generic", QT_TRANSLATE_NOOP("MergeFields", "Generic ([name] fields)")},
        {Service::Mailchimp, "mailchimp", "Mailchimp"},
        {Service::Listmonk, "listmonk", "listmonk"},
        {Service::Mautic, "mautic", "Mautic"},
        {Service::MailPoet, "mailpoet", "MailPoet"},
        {Service::Brevo, "brevo", "Brevo"},
        {Service::CampaignMonitor, "campaign-monitor", "Campaign Monitor"},
        {Service::SendGrid, "sendgrid", "SendGrid"},
    };
    return all;
}

const ServiceInfo& service(Service id)
{
    return services().at(int(id));
}

std::optional<Service> serviceFromKey(QStringView key)
{
    for (const ServiceInfo& info : services()) {
        if (key.compare(QLatin1StringView(info.key), Qt::CaseInsensitive) == 0)
            return info.id;
    }
    return std::nullopt;
}

const QList<Field>& fields()
{
    static const QList<Field> all = [] {
        QList<Field> list;
        for (const Row& row : table())
            list.append(row.field);
        return list;
    }();
    return all;
}

QByteArray token(const Field& field)
{
    return '[' + QByteArray(field.name) + ']';
}

Form form(Service service, const Field& field)
{
    const Row* row = rowNamed(field.name);
    return row ? row->forms.at(size_t(service)) : Form{};
}

Result toService(const QByteArray& html, Service service)
{
    const size_t index = size_t(service);
    Rewrite rewrite;
    rewrite.text = [index](const Row& row) { return QByteArray(row.forms[index].html); };
    rewrite.attribute = [index](const Row& row) {
        const Form& form = row.forms[index];
        return QByteArray(form.url ? form.url : form.html);
    };
    if (std::any_of(table().begin(), table().end(),
                    [index](const Row& row) { return row.forms[index].linkElement; })) {
        rewrite.linkElement = [index](const Row& row) {
            return QByteArray(row.forms[index].linkElement);
        };
    }
    Result result;
    result.text = rewriteHtml(html, rewrite, &result.unconverted);
    sortByTable(&result.unconverted);
    return result;
}

Result toServicePlain(const QByteArray& text, Service service)
{
    const size_t index = size_t(service);
    Result result;
    result.text = replaceTokens(
        text,
        [index](const Row& row) {
            const Form& form = row.forms[index];
            return QByteArray(form.plain ? form.plain : form.html);
        },
        &result.unconverted);
    sortByTable(&result.unconverted);
    return result;
}

QByteArray fillSamples(const QByteArray& html)
{
    Rewrite rewrite;
    rewrite.text = [](const Row& row) { return escapeText(row.field.sample); };
    rewrite.attribute = [](const Row& row) { return Html::escapeAttribute(row.field.sample); };
    return rewriteHtml(html, rewrite, nullptr);
}

QByteArray fillSamplesPlain(const QByteArray& text)
{
    return replaceTokens(
        text, [](const Row& row) { return QByteArray(row.field.sample); }, nullptr);
}

} // namespace MergeFields
