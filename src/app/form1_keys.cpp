#include "form1.h"

#include "buttonplus.h"
#include "core/gallery/templatelibrary.h"

#include <QComboBox>
#include <QShortcut>

#include <algorithm>

namespace {

QString keyText(const QKeySequence& key)
{
    return key.toString(QKeySequence::NativeText);
}

} // namespace

// Every command works from the keyboard wherever the focus is in the window:
// the command buttons never keep it (it goes on to the category page), so the
// keys belong to the window, not to a button.
void Form1::createShortcuts()
{
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
    if (next != at)
        SelectTemplate(names.at(next));
}

void Form1::stepCategory(int step)
{
    const int next = cboCategory->currentIndex() + step;
    if (next < 0 || next >= cboCategory->count())
        return;
    cboCategory->setCurrentIndex(next);
    cboCategory_Click();
}
