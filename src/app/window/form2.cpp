#include "form2.h"

#include "appfonts.h"
#include "buttonplus.h"
#include "core/platform/opener.h"
#include "core/window/hovertable.h"
#include "core/window/layoutmodel.h"
#include "form1.h"

#include <QLabel>

namespace {

QRect fromTwips(float left, float top, float width, float height)
{
    const float p = LayoutModel::TwipsPerPixel;
    return QRect(qRound(left / p), qRound(top / p), qRound(width / p), qRound(height / p));
}

} // namespace

Form2::Form2(Form1* owner)
    : QDialog(owner, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      m_owner(owner)
{
    setWindowTitle(QStringLiteral(" "));
    // The caption bar stays blank; a screen reader still names the panel.
    setAccessibleName(tr("More"));
    setModal(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);
    // The designed row keeps its place; the help row and the send row are
    // added below it.
    setFixedSize(fromTwips(0, 0, 7935, 3765).size());

    // The panel's free left part carries the program's picture.
    auto* logo = new QLabel(this);
    logo->setPixmap(windowIcon().pixmap(96, 96));
    logo->setGeometry(fromTwips(480, 360, 1440, 1440));

    // A caption has the width of its button; the name read out for it need not.
    struct Caption
    {
        const char* source;
        const char* disambiguation;
    };
    struct Design
    {
        int index;
        QRect place;
        Caption caption;
        quint32 color;
        const char* picture;
        const char* name;
        const char* toolTip;
        qreal points;
    };
    const Caption NoCaption{"", ""};
    const Design designs[] = {
        {3, fromTwips(2400, 240, 1935, 1815), QT_TRANSLATE_NOOP3("Form2", "Website", "caption"),
         HoverTable::Green, "globe", QT_TR_NOOP("Website"),
         QT_TR_NOOP("Open the Quillery website in the browser"), 13.5},
        {1, fromTwips(4560, 240, 1935, 1815),
         QT_TRANSLATE_NOOP3("Form2", "Reset layout", "caption"), HoverTable::Green, "panes",
         QT_TR_NOOP("Reset layout"),
         QT_TR_NOOP("Put the divider between the panes back where it started"), 13.5},
        {2, fromTwips(6720, 240, 975, 975), NoCaption, HoverTable::Silver, "cross",
         QT_TR_NOOP("Close"), QT_TR_NOOP("Close this panel"), 13.5},
        // Under the picture, first in the row: every command with its key.
        {7, fromTwips(480, 2295, 1695, 495), QT_TRANSLATE_NOOP3("Form2", "Commands", "caption"),
         HoverTable::Green, nullptr, QT_TR_NOOP("Every command"),
         QT_TR_NOOP("A menu of every command of the window with its key"), 11.25},
        {4, fromTwips(2400, 2295, 1935, 495), QT_TRANSLATE_NOOP3("Form2", "Help", "caption"),
         HoverTable::Green, nullptr, QT_TR_NOOP("User guide"),
         QT_TR_NOOP("Open the user guide (F1)"), 11.25},
        {5, fromTwips(4560, 2295, 1935, 495), QT_TRANSLATE_NOOP3("Form2", "Keys", "caption"),
         HoverTable::Green, nullptr, QT_TR_NOOP("Keyboard shortcuts"),
         QT_TR_NOOP("Show the keyboard shortcuts (Ctrl+?)"), 11.25},
        {6, fromTwips(6720, 2295, 975, 495), QT_TRANSLATE_NOOP3("Form2", "About", "caption"),
         HoverTable::Green, nullptr, QT_TR_NOOP("About Quillery"),
         QT_TR_NOOP("The version and the licences"), 11.25},
        {8, fromTwips(2400, 3030, 5297, 495),
         QT_TRANSLATE_NOOP3("Form2", "Send a test\u2026", "caption"), HoverTable::Green, nullptr,
         QT_TR_NOOP("Send a test"),
         QT_TR_NOOP("Send the previewed template to an inbox as a test (Ctrl+Shift+T)"), 11.25}};
    for (const Design& d : designs) {
        auto* button = new ButtonPlus(d.index, this);
        button->setObjectName(QStringLiteral("cmdButton%1").arg(d.index));
        button->setGeometry(d.place);
        button->setCaption(tr(d.caption.source, d.caption.disambiguation));
        button->setBackColor(d.color);
        button->setFont(AppFonts::tahoma(d.points));
        if (d.picture)
            button->setPicture(QStringLiteral(":/quillery/%1.svg").arg(d.picture), 64);
        button->setAccessibleName(tr(d.name));
        button->setToolTip(tr(d.toolTip));
        connect(button, &ButtonPlus::MouseEnter, this, &Form2::PaintHoverIn);
        connect(button, &ButtonPlus::MouseLeave, this, &Form2::PaintHoverOut);
        connect(button, &ButtonPlus::Click, this, &Form2::cmdButton_Click);
        // Unlike the main window's, these keep the focus: Tab walks them in
        // the order they stand, Space and Enter press them.
        button->setFocusPolicy(Qt::StrongFocus);
        cmdButton[d.index] = button;
    }
    cmdButton[3]->setFocus();
    for (ButtonPlus* button : cmdButton) {
        if (button && owner && owner->imgLogo)
            button->setCursor(owner->imgLogo->cursor());
    }
}

void Form2::showEvent(QShowEvent* event)
{
    // At the centre of the main window, wherever the window system would put it.
    if (m_owner) {
        QRect place = rect();
        place.moveCenter(m_owner->geometry().center());
        setGeometry(place);
    }
    QDialog::showEvent(event);
}

void Form2::PaintHoverIn(int index)
{
    if (index < 1 || index >= int(cmdButton.size()))
        return;
    if (const auto hover = HoverTable::hoverColourOf(cmdButton[index]->BackColor()))
        cmdButton[index]->setBackColor(*hover);
}

void Form2::PaintHoverOut(int index)
{
    if (index < 1 || index >= int(cmdButton.size()))
        return;
    if (const auto base = HoverTable::baseColourOf(cmdButton[index]->BackColor()))
        cmdButton[index]->setBackColor(*base);
}

void Form2::cmdButton_Click(int index)
{
    PaintHoverOut(index);
    switch (index) {
    case 1:
        if (m_owner)
            m_owner->ResetLayout();
        break;
    case 3:
        Module1::OpenHomePage();
        break;
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
        // Opened once the panel has closed, so that they do not belong to it.
        if (m_owner) {
            QMetaObject::invokeMethod(
                m_owner,
                [owner = m_owner, index] {
                    if (index == 4)
                        owner->showHelp();
                    else if (index == 5)
                        owner->showShortcutOverview();
                    else if (index == 7)
                        owner->showCommandsMenu();
                    else if (index == 8)
                        owner->showSendTest();
                    else
                        owner->showAbout();
                },
                Qt::QueuedConnection);
        }
        break;
    default:
        break;
    }
    accept();
}
