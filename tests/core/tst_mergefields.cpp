#include "core/export/mergefields.h"

#include <QTest>

using MergeFields::Service;

class TestMergeFields : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void footerPerService_data();
    void footerPerService();
    void plainTextPerService_data();
    void plainTextPerService();
    void whereAFieldStands_data();
    void whereAFieldStands();
    void samples_data();
    void samples();
    void formsNeedNoEscapingAndEveryServiceUnsubscribes();
    void serviceKeys();
};

// The footer every shipped template ends with, reduced to its fields.
static const QByteArray footer =
    "<p>Hi [first_name],</p><p><a href=\"[unsubscribe_url]\" style=\"color:#555\">Unsubscribe</a> "
    "&middot; <a href=\"[preferences_url]\">Update your preferences</a> &middot; "
    "<a href=\"[web_version_url]\">View in your browser</a></p>";

void TestMergeFields::footerPerService_data()
{
    QTest::addColumn<Service>("service");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QStringList>("unconverted");

    QTest::newRow("generic") << Service::Generic << footer << QStringList();
    QTest::newRow("Mailchimp")
        << Service::Mailchimp
        << QByteArray(
               "<p>Hi *|FNAME|*,</p><p><a href=\"*|UNSUB|*\" style=\"color:#555\">Unsubscribe"
               "</a> &middot; <a href=\"*|UPDATE_PROFILE|*\">Update your preferences</a> "
               "&middot; <a href=\"*|ARCHIVE|*\">View in your browser</a></p>")
        << QStringList();
    QTest::newRow("listmonk")
        << Service::Listmonk
        << QByteArray("<p>Hi {{ .Subscriber.FirstName }},</p><p><a href=\"{{UnsubscribeURL}}\" "
                      "style=\"color:#555\">Unsubscribe</a> &middot; <a href=\"{{ManageURL}}\">"
                      "Update your preferences</a> &middot; <a href=\"{{MessageURL}}\">View in "
                      "your browser</a></p>")
        << QStringList();
    QTest::newRow("Mautic has no preferences link")
        << Service::Mautic
        << QByteArray("<p>Hi {contactfield=firstname},</p><p><a href=\"{unsubscribe_url}\" "
                      "style=\"color:#555\">Unsubscribe</a> &middot; <a href=\"[preferences_url]\">"
                      "Update your preferences</a> &middot; <a href=\"{webview_url}\">View in "
                      "your browser</a></p>")
        << QStringList{"[preferences_url]"};
    QTest::newRow("MailPoet")
        << Service::MailPoet
        << QByteArray("<p>Hi [subscriber:firstname],</p><p><a href=\""
                      "[link:subscription_unsubscribe_url]\" style=\"color:#555\">Unsubscribe</a> "
                      "&middot; <a href=\"[link:subscription_manage_url]\">Update your preferences"
                      "</a> &middot; <a href=\"[link:newsletter_view_in_browser_url]\">View in "
                      "your browser</a></p>")
        << QStringList();
    QTest::newRow("Brevo")
        << Service::Brevo
        << QByteArray(
               "<p>Hi {{ contact.FIRSTNAME }},</p><p><a href=\"{{unsubscribe}}\" "
               "style=\"color:#555\">Unsubscribe</a> &middot; <a href=\"{{update_profile}}\">"
               "Update your preferences</a> &middot; <a href=\"{{mirror}}\">View in your "
               "browser</a></p>")
        << QStringList();
    QTest::newRow("Campaign Monitor writes links as its own elements")
        << Service::CampaignMonitor
        << QByteArray("<p>Hi [firstname,fallback=],</p><p><unsubscribe style=\"color:#555\">"
                      "Unsubscribe</unsubscribe> &middot; <preferences>Update your preferences"
                      "</preferences> &middot; <webversion>View in your browser</webversion></p>")
        << QStringList();
    QTest::newRow("SendGrid has no web version link")
        << Service::SendGrid
        << QByteArray("<p>Hi {{first_name}},</p><p><a href=\"{{{unsubscribe}}}\" "
                      "style=\"color:#555\">Unsubscribe</a> &middot; <a href=\""
                      "{{{unsubscribe_preferences}}}\">Update your preferences</a> &middot; "
                      "<a href=\"[web_version_url]\">View in your browser</a></p>")
        << QStringList{"[web_version_url]"};
}

void TestMergeFields::footerPerService()
{
    QFETCH(Service, service);
    QFETCH(QByteArray, expected);
    QFETCH(QStringList, unconverted);
    const MergeFields::Result result = MergeFields::toService(footer, service);
    QCOMPARE(result.text, expected);
    QCOMPARE(result.unconverted, unconverted);
}

void TestMergeFields::plainTextPerService_data()
{
    QTest::addColumn<Service>("service");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QStringList>("unconverted");

    QTest::newRow("Mailchimp") << Service::Mailchimp
                               << QByteArray("Hi *|FNAME|*\nUnsubscribe (*|UNSUB|*)")
                               << QStringList();
    QTest::newRow("listmonk keeps its spaces in text")
        << Service::Listmonk
        << QByteArray("Hi {{ .Subscriber.FirstName }}\nUnsubscribe "
                      "({{ UnsubscribeURL }})")
        << QStringList();
    QTest::newRow("Campaign Monitor's plain-text tag")
        << Service::CampaignMonitor
        << QByteArray("Hi [firstname,fallback=]\nUnsubscribe ([unsubscribe])") << QStringList();
}

void TestMergeFields::plainTextPerService()
{
    QFETCH(Service, service);
    QFETCH(QByteArray, expected);
    QFETCH(QStringList, unconverted);
    const MergeFields::Result result =
        MergeFields::toServicePlain("Hi [first_name]\nUnsubscribe ([unsubscribe_url])", service);
    QCOMPARE(result.text, expected);
    QCOMPARE(result.unconverted, unconverted);
}

void TestMergeFields::whereAFieldStands_data()
{
    QTest::addColumn<Service>("service");
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QStringList>("unconverted");

    QTest::newRow("unquoted value gets quotes for a form with spaces")
        << Service::Listmonk << QByteArray("<img alt=[first_name] src=a.png>")
        << QByteArray("<img alt=\"{{.Subscriber.FirstName}}\" src=a.png>") << QStringList();
    QTest::newRow("single quotes stay")
        << Service::Brevo << QByteArray("<a href='[unsubscribe_url]'>x</a>")
        << QByteArray("<a href='{{unsubscribe}}'>x</a>") << QStringList();
    QTest::newRow("the rest of the value stays as written")
        << Service::Mailchimp
        << QByteArray("<a href=\"https://x.example/?e=[email]&amp;a=1\">x</a>")
        << QByteArray("<a href=\"https://x.example/?e=*|EMAIL|*&amp;a=1\">x</a>") << QStringList();
    QTest::newRow("the title is text")
        << Service::Mailchimp << QByteArray("<title>For [first_name]</title>")
        << QByteArray("<title>For *|FNAME|*</title>") << QStringList();
    QTest::newRow("scripts and style sheets are left alone")
        << Service::Mailchimp
        << QByteArray("<style>a[href=\"[email]\"]{}</style><script>x=\"[email]\"</script>")
        << QByteArray("<style>a[href=\"[email]\"]{}</style><script>x=\"[email]\"</script>")
        << QStringList();
    QTest::newRow("placeholders that are no fields stay")
        << Service::Mailchimp
        << QByteArray("<!--[if mso]><p>[Street address], [[first_name]]</p><![endif]-->")
        << QByteArray("<!--[if mso]><p>[Street address], [*|FNAME|*]</p><![endif]-->")
        << QStringList();
    QTest::newRow("Campaign Monitor: a link's other attributes and content stay")
        << Service::CampaignMonitor
        << QByteArray("<A class=f HREF=\" [unsubscribe_url] \" title=\"[first_name]\"><b>Leave"
                      "</b> [email]</A >.")
        << QByteArray("<unsubscribe class=f title=\"[firstname,fallback=]\"><b>Leave</b> [email]"
                      "</unsubscribe>.")
        << QStringList();
    QTest::newRow("Campaign Monitor: an address outside a link has no form")
        << Service::CampaignMonitor
        << QByteArray("<p>Leave: [unsubscribe_url]</p><img src=\"[web_version_url]\">")
        << QByteArray("<p>Leave: [unsubscribe_url]</p><img src=\"[web_version_url]\">")
        << QStringList{"[unsubscribe_url]", "[web_version_url]"};
    QTest::newRow("Campaign Monitor: a link that never ends stays")
        << Service::CampaignMonitor << QByteArray("<a href=\"[unsubscribe_url]\">Leave")
        << QByteArray("<a href=\"[unsubscribe_url]\">Leave") << QStringList{"[unsubscribe_url]"};
    QTest::newRow("Campaign Monitor: a link whose end follows another link stays")
        << Service::CampaignMonitor
        << QByteArray("<a href=\"[unsubscribe_url]\">Leave<a href=\"x\">y</a>")
        << QByteArray("<a href=\"[unsubscribe_url]\">Leave<a href=\"x\">y</a>")
        << QStringList{"[unsubscribe_url]"};
}

void TestMergeFields::whereAFieldStands()
{
    QFETCH(Service, service);
    QFETCH(QByteArray, html);
    QFETCH(QByteArray, expected);
    QFETCH(QStringList, unconverted);
    const MergeFields::Result result = MergeFields::toService(html, service);
    QCOMPARE(result.text, expected);
    QCOMPARE(result.unconverted, unconverted);
}

void TestMergeFields::samples_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("footer")
        << footer
        << QByteArray("<p>Hi Alex,</p><p><a href=\"https://example.com/unsubscribe\" "
                      "style=\"color:#555\">Unsubscribe</a> &middot; <a href=\""
                      "https://example.com/preferences\">Update your preferences</a> &middot; "
                      "<a href=\"https://example.com/web-version\">View in your browser</a></p>");
    QTest::newRow("unquoted, title, address")
        << QByteArray("<title>[first_name] [last_name]</title><a href=[email]>[email]</a>")
        << QByteArray(
               "<title>Alex Morgan</title><a href=\"alex@example.com\">alex@example.com</a>");
}

void TestMergeFields::samples()
{
    QFETCH(QByteArray, html);
    QFETCH(QByteArray, expected);
    QCOMPARE(MergeFields::fillSamples(html), expected);
    QCOMPARE(MergeFields::fillSamplesPlain("[Street address], [first_name] <[email]>"),
             QByteArray("[Street address], Alex <alex@example.com>"));
}

void TestMergeFields::formsNeedNoEscapingAndEveryServiceUnsubscribes()
{
    for (const MergeFields::ServiceInfo& info : MergeFields::services()) {
        bool unsubscribes = false;
        for (const MergeFields::Field& field : MergeFields::fields()) {
            const MergeFields::Form form = MergeFields::form(info.id, field);
            for (const char* text : {form.html, form.url, form.plain}) {
                const QByteArray value(text);
                QVERIFY2(!value.contains('"') && !value.contains('\'') && !value.contains('&') &&
                             !value.contains('<') && !value.contains('>'),
                         text);
                // A form in an attribute may not hold spaces where a url form exists.
                if (text == form.url)
                    QVERIFY2(!value.contains(' '), text);
            }
            if (QByteArrayView(field.name) == "unsubscribe_url")
                unsubscribes = form.html || form.linkElement;
        }
        QVERIFY2(unsubscribes, info.key);
    }
}

void TestMergeFields::serviceKeys()
{
    for (const MergeFields::ServiceInfo& info : MergeFields::services()) {
        const auto found = MergeFields::serviceFromKey(QString::fromLatin1(info.key));
        QVERIFY(found);
        QCOMPARE(*found, info.id);
        QCOMPARE(MergeFields::service(info.id).key, info.key);
    }
    QCOMPARE(MergeFields::serviceFromKey(u"MailChimp").value_or(Service::Generic),
             Service::Mailchimp);
    QVERIFY(!MergeFields::serviceFromKey(u"nope"));
}

QTEST_APPLESS_MAIN(TestMergeFields)
#include "tst_mergefields.moc"
