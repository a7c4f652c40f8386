#include "app/galleryfixture.h"
#include "app/openwindow.h"
#include "app/pagetools.h"
#include "app/windowcontrols.h"

#include "accessibilityswitch.h"
#include "browserpane.h"
#include "form1.h"
#include "searchindexloader.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

// The desktop's accessibility service, as a desktop with a screen reader runs
// it on the session bus: its status, and the address of the bus that
// assistive tools use (here the session bus itself).
class A11yStatus : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.a11y.Status")
    Q_PROPERTY(bool IsEnabled READ isEnabled)
    Q_PROPERTY(bool ScreenReaderEnabled READ screenReaderEnabled)

public:
    explicit A11yStatus(QObject* parent) : QDBusAbstractAdaptor(parent) {}
    bool enabled = false;
    bool screenReader = false;
    bool isEnabled() const { return enabled; }
    bool screenReaderEnabled() const { return screenReader; }
};

class A11yBus : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.a11y.Bus")

public:
    explicit A11yBus(QObject* parent) : QDBusAbstractAdaptor(parent) {}

public slots:
    QString GetAddress() { return qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"); }
};

namespace {

struct Node
{
    QAccessible::Role role;
    QString name;
    QString description;
};

// Every node under `face`, depth first, as an assistive tool walks them.
void walk(QAccessibleInterface* face, QList<Node>& nodes, int depth = 0)
{
    if (!face || !face->isValid() || depth > 40 || nodes.size() > 2000)
        return;
    nodes.append(
        {face->role(), face->text(QAccessible::Name), face->text(QAccessible::Description)});
    for (int i = 0; i < face->childCount(); ++i)
        walk(face->child(i), nodes, depth + 1);
}

QList<Node> treeOf(QWidget* pane)
{
    QList<Node> nodes;
    walk(QAccessible::queryAccessibleInterface(pane), nodes);
    return nodes;
}

QStringList linkNames(const QList<Node>& nodes)
{
    QStringList names;
    for (const Node& node : nodes) {
        if (node.role == QAccessible::Link)
            names << node.name;
    }
    return names;
}

bool hasText(const QList<Node>& nodes, const QString& text)
{
    return std::any_of(nodes.begin(), nodes.end(),
                       [&](const Node& node) { return node.name.contains(text); });
}

// What assistive tools are told, in place of the platform's bridge.
struct Heard
{
    struct Event
    {
        QString object;
        QAccessible::Event type;
        QString text; // the name, or the value of a value change
    };
    static QList<Event>& events()
    {
        static QList<Event> list;
        return list;
    }
    static void record(QAccessibleEvent* event)
    {
        QObject* object = event->object();
        if (!object || !event->accessibleInterface())
            return;
        QString text = event->accessibleInterface()->text(QAccessible::Name);
        if (event->type() == QAccessible::ValueChanged)
            text = static_cast<QAccessibleValueChangeEvent*>(event)->value().toString();
        events().append({object->objectName(), event->type(), text});
    }
    // What the window said without moving the focus.
    static QStringList said()
    {
        QStringList texts;
        for (const Event& event : events()) {
            if (event.object == u"announcer" && event.type == QAccessible::Alert)
                texts << event.text;
        }
        return texts;
    }
};

} // namespace

class TestScreenReader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void switchFollowsTheDesktop_data();
    void switchFollowsTheDesktop();
    void panesAreReadByAssistiveTools();
    void keysAreAnnounced_data();
    void keysAreAnnounced();
    void categoryListReportsItsChange();
    void searchCountIsSaid();

private:
    QObject m_service;
    A11yStatus* m_status = nullptr;
};

void TestScreenReader::initTestCase()
{
    QVERIFY2(!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"),
             "runs on a session bus of its own (dbus-run-session)");
    qunsetenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY");
    qunsetenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON");
    m_status = new A11yStatus(&m_service);
    new A11yBus(&m_service);
    QDBusConnection bus = QDBusConnection::sessionBus();
    QVERIFY(bus.isConnected());
    QVERIFY(bus.registerObject(QStringLiteral("/org/a11y/bus"), &m_service,
                               QDBusConnection::ExportAdaptors));
}

void TestScreenReader::switchFollowsTheDesktop_data()
{
    QTest::addColumn<bool>("serviceRuns");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("screenReader");
    QTest::addColumn<bool>("on");
    QTest::newRow("no accessibility service") << false << true << true << false;
    QTest::newRow("assistive tools off") << true << false << false << false;
    QTest::newRow("assistive tools on") << true << true << false << true;
    QTest::newRow("a screen reader on") << true << false << true << true;
}

void TestScreenReader::switchFollowsTheDesktop()
{
    QFETCH(bool, serviceRuns);
    QFETCH(bool, enabled);
    QFETCH(bool, screenReader);
    QFETCH(bool, on);
    QDBusConnection bus = QDBusConnection::sessionBus();
    m_status->enabled = enabled;
    m_status->screenReader = screenReader;
    if (serviceRuns)
        QVERIFY(bus.registerService(QStringLiteral("org.a11y.Bus")));
    QCOMPARE(AccessibilitySwitch::assistiveTechnologyOn(bus), on);
    bus.unregisterService(QStringLiteral("org.a11y.Bus"));
}

// With a screen reader on, as the program finds at its start, both panes
// show their pages to assistive tools: the thumbnails' links, each named
// once, the previewed one described as such, and the template's text. From here on the screen
// reader stays on.
void TestScreenReader::panesAreReadByAssistiveTools()
{
    m_status->enabled = false;
    m_status->screenReader = true;
    QVERIFY(QDBusConnection::sessionBus().registerService(QStringLiteral("org.a11y.Bus")));
    // The program's own decision, before the engine starts.
    QVERIFY(AccessibilitySwitch::applyBeforeEngineStarts());
    QCOMPARE(qgetenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY"), QByteArray("1"));
    // Qt's bridge to assistive tools follows the same service.
    QVERIFY(waitUntil([] { return QAccessible::isActive(); }, 20000));
    QAccessible::installUpdateHandler(&Heard::record);

    GalleryFixture fixture;
    fixture.addFile("categories/Letters.html",
                    "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body><ul>"
                    "<li><a id=\"Autumn\" href=\"#Autumn\"><img alt=\"Preview of the template "
                    "Autumn\" width=\"30\" height=\"30\"><span>Autumn</span></a></li>"
                    "<li><a id=\"Winter\" href=\"#Winter\"><img alt=\"Preview of the template "
                    "Winter\" width=\"30\" height=\"30\"><span>Winter</span></a></li>"
                    "</ul></body></html>");
    fixture.addTemplate("Autumn", "<p>Leaves and lanterns for the season.</p>");
    fixture.addTemplate("Winter");
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    form.show();
    QVERIFY(shown.count() > 0 || shown.wait(30000));
    auto* categories = control<BrowserPane>(form, "WebBrowser1");
    auto* preview = control<BrowserPane>(form, "WebBrowser2");

    // The engine's tree follows the page's attributes a moment later: wait
    // for the names and descriptions, not only for the mark.
    QList<Node> page;
    const auto descriptionsOf = [](const QList<Node>& nodes) {
        QStringList descriptions;
        for (const Node& node : nodes) {
            if (node.role == QAccessible::Link)
                descriptions << node.description;
        }
        return descriptions;
    };
    const bool pageRead = waitUntil(
        [&] {
            page = treeOf(categories);
            return evaluate(categories, "document.getElementById('Autumn')"
                                        ".getAttribute('aria-current')") == "true" &&
                   linkNames(page) == QStringList{"Autumn", "Winter"} &&
                   descriptionsOf(page) == QStringList{"Previewed", QString()};
        },
        30000);
    if (!pageRead) {
        for (const Node& node : page)
            qDebug() << node.role << node.name;
    }
    QVERIFY(pageRead);
    // Read once, by the words the thumbnail shows; the previewed one says so.
    QCOMPARE(linkNames(page), (QStringList{"Autumn", "Winter"}));
    QCOMPARE(descriptionsOf(page), (QStringList{"Previewed", QString()}));

    QList<Node> text;
    QVERIFY(waitUntil(
        [&] {
            text = treeOf(preview);
            return hasText(text, "Leaves and lanterns");
        },
        30000));
    QVERIFY(hasText(text, "Autumn"));
}

void TestScreenReader::keysAreAnnounced_data()
{
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<QString>("said");
    QTest::newRow("next template") << (Qt::CTRL | Qt::Key_Down) << "Preview: Winter, 2 of 2";
    QTest::newRow("next category")
        << (Qt::CTRL | Qt::Key_PageDown) << "Category Travel, 2 of 2; preview: Trip";
    QTest::newRow("phone view") << (Qt::CTRL | Qt::Key_2) << "View: Phone, Light";
    QTest::newRow("colours") << (Qt::CTRL | Qt::Key_3) << "View: Desktop, Dark";
    QTest::newRow("plain text") << (Qt::CTRL | Qt::Key_5) << "View: Desktop, Plain text";
}

// A key that changes what is shown away from the focus says so.
void TestScreenReader::keysAreAnnounced()
{
    QFETCH(QKeyCombination, key);
    QFETCH(QString, said);
    OpenWindow window;
    window.open();
    Heard::events().clear();
    if (QTest::currentTestFailed())
        return;
    window.press(key);
    QCOMPARE(Heard::said(), QStringList{said});
}

// Ctrl+PgDown changes the list while the focus is elsewhere: its new entry is
// reported, and the list reads as it is shown.
void TestScreenReader::categoryListReportsItsChange()
{
    OpenWindow window;
    window.open();
    Heard::events().clear();
    if (QTest::currentTestFailed())
        return;
    window.press(Qt::CTRL | Qt::Key_PageDown);
    QStringList changes;
    for (const Heard::Event& event : Heard::events()) {
        if (event.object == u"cboCategory" && event.type == QAccessible::ValueChanged)
            changes << event.text;
    }
    QCOMPARE(changes, QStringList{"Travel"});
    QAccessibleInterface* list =
        QAccessible::queryAccessibleInterface(control(*window.form, "cboCategory"));
    QCOMPARE(list->text(QAccessible::Value), QStringLiteral("Travel"));
}

void TestScreenReader::searchCountIsSaid()
{
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    OpenWindow window;
    window.open();
    Heard::events().clear();
    if (QTest::currentTestFailed())
        return;
    auto* index = window.form->findChild<SearchIndexLoader*>();
    QSignalSpy ready(index, &SearchIndexLoader::ready);
    QVERIFY(index->index() || ready.wait(20000));
    window.press(Qt::CTRL | Qt::Key_F);
    auto* field = control<QLineEdit>(*window.form, "txtSearch");
    QCOMPARE(QApplication::focusWidget(), field);
    QTest::keyClicks(field, "winter");
    QVERIFY(waitUntil([] { return Heard::said().join(u'|').contains(u"winter"); }));
    QCOMPARE(Heard::said().last(), QString::fromUtf8("1 template for \u201cwinter\u201d"));
}

QTEST_MAIN(TestScreenReader)
#include "tst_screenreader.moc"
