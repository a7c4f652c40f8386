#include "keyscontroller.h"

#include "buttonplus.h"
#include "core/gallery/library/templatelibrary.h"
#include "gallerywindow.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <functional>

namespace {

QString keyText(const QKeySequence& key)
{
    return key.toString(QKeySequence::NativeText);
}

// The engine makes the widget that takes the category page's keys, and may
// replace it when the page changes; the walk must then include the new one.
class KeyWidgetWatch : public QObject
{
public:
    KeyWidgetWatch(QObject* parent, std::function<void()> changed)
        : QObject(parent), m_changed(std::move(changed))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ChildPolished || event->type() == QEvent::ChildRemoved)
            m_changed();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_changed;
};

} // namespace

KeysController::KeysController(GalleryWindow& window, QWidget* windowWidget,
                               const QList<ButtonPlus*>& buttons, QComboBox* categories,
                               QWidget* pane, QObject* parent)
    : QObject(parent), m_window(window), m_windowWidget(windowWidget), m_categories(categories),
      m_pane(pane)
{
    // The buttons are stops of the keyboard's walk as well; a click on one
    // leaves the keyboard on the category page.
    for (ButtonPlus* button : buttons)
        button->setFocusPolicy(Qt::StrongFocus);
    auto* reorder = new QTimer(this);
    reorder->setSingleShot(true);
    reorder->setInterval(0);
    connect(reorder, &QTimer::timeout, this, &KeysController::orderTabs);
    m_pane->installEventFilter(new KeyWidgetWatch(this, [reorder] { reorder->start(); }));

    // Each key is an action of the window that says what it does: the keyboard
    // overview reads it from here, and the menus show the same action, so
    // that a menu entry and its key never disagree.
    const auto bind = [this](const QList<QKeySequence>& keys, bool repeats, const QString& command,
                             auto run) {
        auto* action = new QAction(command, m_windowWidget);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setWhatsThis(command);
        // A held key must not stack up save dialogs or panels.
        action->setAutoRepeat(repeats);
        connect(action, &QAction::triggered, this, run);
        m_windowWidget->addAction(action);
        return action;
    };
    const auto press = [&buttons, &bind](int index, const QList<QKeySequence>& keys,
                                         const QString& command, const QString& menuText,
                                         const char* name) {
        ButtonPlus* button = buttons.at(index);
        QAction* action = bind(keys, false, command, [button] {
            // The mailer's button is there only while the mailer is installed.
            if (!button->isHidden())
                button->click();
        });
        action->setText(menuText);
        action->setObjectName(QLatin1String(name));
        button->setToolTip(button->toolTip() + QStringLiteral(" (%1)").arg(keyText(keys.first())));
    };
    press(0, {QKeySequence(Qt::CTRL | Qt::Key_E)},
          tr("Export the previewed template as an HTML page (\u201c> html\u201d)"),
          tr("Export as HTML\u2026"), "exportHtmlAction");
    press(1, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E)},
          tr("Export it as an .eml message (\u201c> eml\u201d)"), tr("Export as .eml\u2026"),
          "exportEmlAction");
    press(2, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M)},
          tr("Hand it to Rookpost (\u201c> Rookpost\u201d, while that button is shown)"),
          tr("Hand to Rookpost"), "handOffAction");
    press(3, {QKeySequence(Qt::Key_F10), QKeySequence(Qt::CTRL | Qt::Key_M)},
          tr("Open the More panel"), tr("More\u2026"), "moreAction");

    // Beside the two exports' keys; neither has a button, as the row of
    // buttons is full, so the menus are where they are found.
    QAction* serviceExport =
        bind({QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_E)}, false,
             tr("Export it for a mailing service (a zip with the service's merge tags)"),
             [this] { emit serviceExportRequested(); });
    serviceExport->setText(tr("Export for a mailing service\u2026"));
    serviceExport->setObjectName(QStringLiteral("serviceExportAction"));
    QAction* sendTest = bind({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T)}, false,
                             tr("Send a test of the previewed template to an inbox"),
                             [this] { emit sendTestRequested(); });
    sendTest->setText(tr("Send a test\u2026"));
    sendTest->setObjectName(QStringLiteral("sendTestAction"));

    // F1 is help on every desktop; the title button keeps the home page.
    bind({QKeySequence(Qt::Key_F1)}, false, tr("Open the user guide"),
         [this] { emit helpRequested(); });
    // On most layouts "?" takes Shift: the desktop reports Ctrl+Shift+?, a
    // layout with "?" on a key of its own Ctrl+?.
    bind({QKeySequence(Qt::CTRL | Qt::Key_Question),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Question)},
         false, tr("Show the keyboard shortcuts"), [this] { emit shortcutsRequested(); });

    // Ctrl+Q everywhere, and whatever else the desktop uses to quit.
    QList<QKeySequence> quit{QKeySequence(Qt::CTRL | Qt::Key_Q)};
    for (const QKeySequence& key : QKeySequence::keyBindings(QKeySequence::Quit)) {
        if (!quit.contains(key))
            quit.append(key);
    }
    bind(quit, false, tr("Close the window"), [this] { m_windowWidget->close(); });

    bind({QKeySequence(Qt::CTRL | Qt::Key_Down)}, true,
         tr("Preview the next template of the category page"), [this] { stepTemplate(1); });
    bind({QKeySequence(Qt::CTRL | Qt::Key_Up)}, true,
         tr("Preview the previous template of the category page"), [this] { stepTemplate(-1); });
    bind({QKeySequence(Qt::CTRL | Qt::Key_PageDown)}, true, tr("Show the next category"),
         [this] { stepCategory(1); });
    bind({QKeySequence(Qt::CTRL | Qt::Key_PageUp)}, true, tr("Show the previous category"),
         [this] { stepCategory(-1); });
}

void KeysController::setTabWalk(std::function<QList<QWidget*>()> walk)
{
    m_walk = std::move(walk);
}

void KeysController::orderTabs()
{
    if (!m_walk)
        return;
    // Qt stops at the pane and hands the focus to the engine's widget, its
    // focus proxy; the pane has to stand in the walk itself, or Qt would stop
    // there wherever it happens to lie in the chain. Qt orders only widgets
    // that take focus, and passes the policy on to the proxy, which the
    // engine gives this policy anyway.
    if (!(m_pane->focusPolicy() & Qt::TabFocus))
        m_pane->setFocusPolicy(Qt::StrongFocus);
    // The pane moves with its proxy right behind it.
    const QList<QWidget*> walk = m_walk();
    for (qsizetype i = 0; i + 1 < walk.size(); ++i)
        QWidget::setTabOrder(walk[i], walk[i + 1]);
}

void KeysController::stepTemplate(int step)
{
    const QStringList names = m_window.shownTemplates();
    if (names.isEmpty())
        return;
    const qsizetype at = names.indexOf(m_window.currentTemplate());
    qsizetype next = 0;
    if (at < 0)
        next = step > 0 ? 0 : names.size() - 1;
    else
        next = std::clamp<qsizetype>(at + step, 0, names.size() - 1);
    if (next == at)
        return;
    m_window.SelectTemplate(names.at(next));
    //: Said to screen readers after Ctrl+Down or Ctrl+Up: %1 is the template, %2 its place, %3 how
    //: many.
    m_window.announce(
        tr("Preview: %1, %2 of %3").arg(names.at(next)).arg(next + 1).arg(names.size()));
}

void KeysController::stepCategory(int step)
{
    const int next = m_categories->currentIndex() + step;
    if (next < 0 || next >= m_categories->count())
        return;
    m_categories->setCurrentIndex(next);
    emit categoryChosen();
    //: Said to screen readers after Ctrl+PgDown or Ctrl+PgUp: %1 is the category, %2 its place, %3
    //: how many, %4 the template previewed.
    m_window.announce(tr("Category %1, %2 of %3; preview: %4")
                          .arg(m_categories->currentText())
                          .arg(next + 1)
                          .arg(m_categories->count())
                          .arg(m_window.currentTemplate()));
}
