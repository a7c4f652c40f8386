#include "form1.h"

#include "browserpane.h"
#include "buttonplus.h"
#include "core/gallery/templatelibrary.h"
#include "exportcontroller.h"
#include "exportnotice.h"
#include "searchcontroller.h"
#include "viewbar.h"
#include "viewcontroller.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
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

// Every command works from the keyboard wherever the focus is in the window,
// so the keys belong to the window, not to a button; the buttons are stops of
// the keyboard's walk as well, and a click on one leaves the keyboard on the
// category page.
void Form1::createShortcuts()
{
    for (ButtonPlus* button : cmdButton)
        button->setFocusPolicy(Qt::StrongFocus);
    auto* reorder = new QTimer(this);
    reorder->setSingleShot(true);
    reorder->setInterval(0);
    connect(reorder, &QTimer::timeout, this, &Form1::orderTabs);
    WebBrowser1->installEventFilter(new KeyWidgetWatch(this, [reorder] { reorder->start(); }));

    const auto bind = [this](const QList<QKeySequence>& keys, bool repeats, auto action) {
        auto* shortcut = new QShortcut(this);
        shortcut->setKeys(keys);
        shortcut->setContext(Qt::WindowShortcut);
        // A held key must not stack up save dialogs or panels.
        shortcut->setAutoRepeat(repeats);
        connect(shortcut, &QShortcut::activated, this, action);
    };
    const auto press = [this, &bind](int index, const QList<QKeySequence>& keys) {
        ButtonPlus* button = cmdButton[index];
        bind(keys, false, [button] {
            // The mailer's button is there only while the mailer is installed.
            if (!button->isHidden())
                button->click();
        });
        button->setToolTip(button->toolTip() + QStringLiteral(" (%1)").arg(keyText(keys.first())));
    };
    press(0, {QKeySequence(Qt::CTRL | Qt::Key_E)});
    press(1, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E)});
    press(2, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M)});
    press(3, {QKeySequence(Qt::Key_F10), QKeySequence(Qt::CTRL | Qt::Key_M)});
    press(4, {QKeySequence(Qt::Key_F1)});

    // Ctrl+Q everywhere, and whatever else the desktop uses to quit.
    QList<QKeySequence> quit{QKeySequence(Qt::CTRL | Qt::Key_Q)};
    for (const QKeySequence& key : QKeySequence::keyBindings(QKeySequence::Quit)) {
        if (!quit.contains(key))
            quit.append(key);
    }
    bind(quit, false, [this] { close(); });

    bind({QKeySequence(Qt::CTRL | Qt::Key_Down)}, true, [this] { stepTemplate(1); });
    bind({QKeySequence(Qt::CTRL | Qt::Key_Up)}, true, [this] { stepTemplate(-1); });
    bind({QKeySequence(Qt::CTRL | Qt::Key_PageDown)}, true, [this] { stepCategory(1); });
    bind({QKeySequence(Qt::CTRL | Qt::Key_PageUp)}, true, [this] { stepCategory(-1); });
}

void Form1::orderTabs()
{
    // Qt stops at the pane and hands the focus to the engine's widget, its
    // focus proxy; the pane has to stand in the walk itself, or Qt would stop
    // there wherever it happens to lie in the chain. Qt orders only widgets
    // that take focus, and passes the policy on to the proxy, which the
    // engine gives this policy anyway.
    if (!(WebBrowser1->focusPolicy() & Qt::TabFocus))
        WebBrowser1->setFocusPolicy(Qt::StrongFocus);
    // Top to bottom, left to right: the title button, the list, the search
    // field over the page, the page and the export notice over the preview,
    // the view toggles in the preview's title bar, the buttons on the right.
    // The pane moves with its proxy right behind it.
    QList<QWidget*> walk{cmdButton[4], cboCategory};
    if (m_search)
        walk << m_search->field();
    walk << WebBrowser1;
    for (QPushButton* button : m_exports->notice()->findChildren<QPushButton*>())
        walk << button;
    for (QToolButton* button :
         m_views->bar()->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
        walk << button;
    for (int i = 0; i < 4; ++i)
        walk << cmdButton[i];
    for (qsizetype i = 0; i + 1 < walk.size(); ++i)
        QWidget::setTabOrder(walk[i], walk[i + 1]);
}

// Steps through the templates in the order the category page shows them and
// stops at either end, as the category keys do.
void Form1::stepTemplate(int step)
{
    const Result<QString> page =
        TemplateLibrary::FindCategoryPage(currentLibrary(), currentCategory());
    if (!page)
        return;
    const QStringList names = TemplateLibrary::TemplateLinks(*page);
    if (names.isEmpty())
        return;
    const qsizetype at = names.indexOf(CurrentTemplate);
    qsizetype next = 0;
    if (at < 0)
        next = step > 0 ? 0 : names.size() - 1;
    else
        next = std::clamp<qsizetype>(at + step, 0, names.size() - 1);
    if (next == at)
        return;
    SelectTemplate(names.at(next));
    //: Said to screen readers after Ctrl+Down or Ctrl+Up: %1 is the template, %2 its place, %3 how
    //: many.
    announce(tr("Preview: %1, %2 of %3").arg(names.at(next)).arg(next + 1).arg(names.size()));
}

void Form1::stepCategory(int step)
{
    const int next = cboCategory->currentIndex() + step;
    if (next < 0 || next >= cboCategory->count())
        return;
    cboCategory->setCurrentIndex(next);
    cboCategory_Click();
    //: Said to screen readers after Ctrl+PgDown or Ctrl+PgUp: %1 is the category, %2 its place, %3
    //: how many, %4 the template previewed.
    announce(tr("Category %1, %2 of %3; preview: %4")
                 .arg(cboCategory->currentText())
                 .arg(next + 1)
                 .arg(cboCategory->count())
                 .arg(CurrentTemplate));
}
