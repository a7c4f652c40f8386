#include "viewbar.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QSvgRenderer>
#include <QToolButton>

using PreviewViews::Content;
using PreviewViews::View;
using PreviewViews::Width;
using RecipientView::Colours;

namespace {

constexpr int ButtonWidth = 26;
constexpr int ButtonHeight = 24;
constexpr int IconSize = 16;
constexpr int Gap = 2;             // between the buttons of a group
constexpr int GroupGap = 8;        // between the groups
constexpr int Inset = 4;           // from the title bar's right end
constexpr int MenuArrowWidth = 12; // the brand button's part that opens its menu

const QColor Ink(0x40, 0x40, 0x40);
const QColor Faded(0xA0, 0xA0, 0xA0);

const char* const ButtonStyle =
    "QToolButton{background:#E0E0E0;color:#404040;border:none;border-radius:2px;padding:0;"
    "font:13px}"
    "QToolButton:hover{background:#D0D0D0}"
    // Tab reaches the toggles; the one with the focus wears a dark frame.
    "QToolButton:focus{border:2px solid #404040}"
    "QToolButton:checked,QToolButton[altered=\"true\"]{background:#FF8000;color:#FFFFFF}"
    "QToolButton:checked:hover,QToolButton[altered=\"true\"]:hover{background:#FF9933}"
    // A toggle that does nothing to what is shown is greyed, chosen or not.
    "QToolButton:disabled{background:#E0E0E0;color:#A0A0A0}"
    "QToolButton::menu-indicator{image:none;width:0}"
    "QToolButton::menu-button{border:none;width:12px}"
    "QToolButton::menu-arrow{image:url(:/quillery/chevron.svg);width:8px;height:8px}";

const char* const MenuStyle =
    "QMenu{background:#FFFFFF;border:1px solid #C0C0C0;color:#404040;padding:2px}"
    "QMenu::item{padding:5px 24px 5px 24px}"
    "QMenu::item:selected{background:#FF8000;color:#FFFFFF}"
    "QMenu::item:disabled{color:#A0A0A0}"
    "QMenu::separator{height:1px;background:#E0E0E0;margin:3px 6px}";

// A monochrome picture of the window's own style in one colour.
QPixmap tinted(const QString& svg, const QColor& colour, bool mirrored)
{
    const qreal ratio = qApp->devicePixelRatio();
    QPixmap pixmap(QSize(IconSize, IconSize) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    if (mirrored)
        painter.setTransform(QTransform(-1, 0, 0, 1, IconSize, 0));
    QSvgRenderer(svg).render(&painter, QRectF(0, 0, IconSize, IconSize));
    painter.resetTransform();
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(QRect(0, 0, IconSize, IconSize), colour);
    return pixmap;
}

// Grey on the bar, white on the orange of a chosen toggle.
QIcon toggleIcon(const QString& svg, bool mirrored = false)
{
    QIcon icon;
    icon.addPixmap(tinted(svg, Ink, mirrored), QIcon::Normal, QIcon::Off);
    icon.addPixmap(tinted(svg, Qt::white, mirrored), QIcon::Normal, QIcon::On);
    icon.addPixmap(tinted(svg, Faded, mirrored), QIcon::Disabled, QIcon::Off);
    icon.addPixmap(tinted(svg, Faded, mirrored), QIcon::Disabled, QIcon::On);
    return icon;
}

QString withShortcut(const QString& text, const QAction* action)
{
    return QStringLiteral("%1 (%2)").arg(text,
                                         action->shortcut().toString(QKeySequence::NativeText));
}

} // namespace

ViewBar::ViewBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("viewBar"));
    setAccessibleName(tr("View"));
    setStyleSheet(QString::fromLatin1(ButtonStyle));

    m_desktop = addToggle(QStringLiteral("viewDesktopAction"), tr("Desktop"),
                          tr("Desktop: the template as wide as the preview, as in a "
                             "desktop mail program's reading pane"),
                          QKeySequence(Qt::CTRL | Qt::Key_1));
    m_phone = addToggle(QStringLiteral("viewPhoneAction"), tr("Phone"),
                        tr("Phone: the template on a screen %1 pixels wide, where its "
                           "own rules for phones apply")
                            .arg(PreviewViews::PhoneWidth),
                        QKeySequence(Qt::CTRL | Qt::Key_2));
    m_light = addToggle(QStringLiteral("viewLightAction"), tr("Light"),
                        tr("Light: the template's colours as they are"), {});
    m_dark = addToggle(QStringLiteral("viewDarkAction"), tr("Dark"),
                       tr("Dark: the template's own dark colours"), {});
    m_inverted = addToggle(QStringLiteral("viewInvertedAction"), tr("Inverted"),
                           tr("Inverted: colours turned round, as some mail programs "
                              "do to templates without dark colours"),
                           {});
    m_nextColours =
        addToggle(QStringLiteral("viewNextColoursAction"), tr("Next colours"),
                  tr("Light, then Dark, then Inverted"), QKeySequence(Qt::CTRL | Qt::Key_3));
    m_nextColours->setCheckable(false);
    m_imagesBlocked = addToggle(QStringLiteral("viewImagesBlockedAction"), tr("Images blocked"),
                                tr("Images blocked: as a mail program that loads no "
                                   "pictures until asked, with their alternative texts"),
                                QKeySequence(Qt::CTRL | Qt::Key_4));
    m_plainText = addToggle(QStringLiteral("viewPlainTextAction"), tr("Plain text"),
                            tr("Plain text: the message's plain-text part, as a "
                               "reader of plain-text mail sees it"),
                            QKeySequence(Qt::CTRL | Qt::Key_5));
    m_inboxLine = addToggle(QStringLiteral("viewInboxLineAction"), tr("Inbox line"),
                            tr("Inbox line: sender, subject and preheader as a mail "
                               "list shows them, on a phone and on a desktop"),
                            QKeySequence(Qt::CTRL | Qt::Key_6));
    m_check = addToggle(QStringLiteral("viewCheckAction"), tr("Check"),
                        tr("Check: a report on the template before sending it, beside the "
                           "preview: mail programs, spam, accessibility, size and links"),
                        QKeySequence(Qt::CTRL | Qt::Key_8));
    connect(m_check, &QAction::toggled, this, [this] { showChoice(); });
    connect(m_check, &QAction::toggled, this, &ViewBar::checkToggled);

    m_brand = addToggle(QStringLiteral("viewBrandAction"), tr("In my brand"),
                        tr("In my brand: the template with your brand's logo, name, colours "
                           "and links, as the exports then write it"),
                        QKeySequence(Qt::CTRL | Qt::Key_7));
    connect(m_brand, &QAction::triggered, this, &ViewBar::brandSwitched);
    m_brand->setWhatsThis(tr("The template in your brand, or as shipped"));
    m_editBrands = new QAction(tr("Edit brands\u2026"), this);
    m_editBrands->setObjectName(QStringLiteral("editBrandsAction"));
    m_editBrands->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B));
    m_editBrands->setShortcutContext(Qt::WindowShortcut);
    m_editBrands->setWhatsThis(tr("Edit your brands"));
    addAction(m_editBrands);
    connect(m_editBrands, &QAction::triggered, this, &ViewBar::brandEditorWanted);
    m_brandMenu = new QMenu(tr("Brand"), this);
    m_brandMenu->setObjectName(QStringLiteral("brandMenu"));
    m_brandMenu->setStyleSheet(QString::fromLatin1(MenuStyle));

    // Radio marks in the menu; the choice itself is kept in m_view.
    for (const auto& members :
         {QList<QAction*>{m_desktop, m_phone}, QList<QAction*>{m_light, m_dark, m_inverted},
          QList<QAction*>{m_plainText, m_inboxLine}}) {
        auto* group = new QActionGroup(this);
        group->setExclusionPolicy(members.size() == 2 && members.first() == m_plainText
                                      ? QActionGroup::ExclusionPolicy::ExclusiveOptional
                                      : QActionGroup::ExclusionPolicy::Exclusive);
        for (QAction* action : members)
            group->addAction(action);
    }

    connect(m_desktop, &QAction::triggered, this, [this] {
        View view = m_view;
        view.width = Width::Desktop;
        choose(view);
    });
    connect(m_phone, &QAction::triggered, this, [this] {
        View view = m_view;
        view.width = Width::Phone;
        choose(view);
    });
    for (const auto& [action, colours] :
         {std::pair{m_light, Colours::Light}, std::pair{m_dark, Colours::Dark},
          std::pair{m_inverted, Colours::Inverted}}) {
        connect(action, &QAction::triggered, this, [this, colours] {
            View view = m_view;
            view.colours = colours;
            choose(view);
        });
    }
    connect(m_nextColours, &QAction::triggered, this, [this] {
        View view = m_view;
        view.colours = view.colours == Colours::Light  ? Colours::Dark
                       : view.colours == Colours::Dark ? Colours::Inverted
                                                       : Colours::Light;
        choose(view);
    });
    connect(m_imagesBlocked, &QAction::triggered, this, [this](bool checked) {
        View view = m_view;
        view.imagesBlocked = checked;
        choose(view);
    });
    connect(m_plainText, &QAction::triggered, this, [this](bool checked) {
        View view = m_view;
        view.content = checked ? Content::PlainText : Content::Page;
        choose(view);
    });
    connect(m_inboxLine, &QAction::triggered, this, [this](bool checked) {
        View view = m_view;
        view.content = checked ? Content::InboxLine : Content::Page;
        choose(view);
    });

    addButton(m_desktop, QStringLiteral("view-desktop"))->setAccessibleName(tr("Desktop width"));
    addButton(m_phone, QStringLiteral("view-phone"))->setAccessibleName(tr("Phone width"));
    // One button steps through the colours; its name says which is on.
    m_colours = addButton(nullptr, QString());
    m_colours->setObjectName(QStringLiteral("viewColours"));
    m_colours->setCheckable(true);
    connect(m_colours, &QToolButton::clicked, m_nextColours, &QAction::trigger);
    addButton(m_imagesBlocked, QStringLiteral("view-images"))
        ->setAccessibleName(tr("Images blocked"));
    addButton(m_plainText, QStringLiteral("view-plaintext"))->setAccessibleName(tr("Plain text"));
    addButton(m_inboxLine, QStringLiteral("view-inbox"))->setAccessibleName(tr("Inbox line"));
    // A group of its own: the brand changes the template, not how it is seen.
    QToolButton* brandButton = addButton(m_brand, QStringLiteral("view-brand"));
    brandButton->setAccessibleName(tr("In my brand"));
    brandButton->setMenu(m_brandMenu);
    brandButton->setPopupMode(QToolButton::MenuButtonPopup);
    brandButton->setFixedSize(ButtonWidth + MenuArrowWidth, ButtonHeight);
    addButton(m_check, QStringLiteral("view-check"))->setAccessibleName(tr("Check before sending"));

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("viewMenu"));
    m_menu->setStyleSheet(QString::fromLatin1(MenuStyle));
    m_menu->addActions({m_desktop, m_phone});
    m_menu->addSeparator();
    m_menu->addActions({m_light, m_dark, m_inverted, m_nextColours});
    m_menu->addSeparator();
    m_menu->addActions({m_imagesBlocked, m_plainText, m_inboxLine});
    m_menu->addSeparator();
    m_menu->addAction(m_brand);
    m_menu->addMenu(m_brandMenu);
    m_menu->addAction(m_check);
    m_menuButton = new QToolButton(this);
    m_menuButton->setObjectName(QStringLiteral("viewMenuButton"));
    m_menuButton->setText(tr("View \u25BE"));
    m_menuButton->setAccessibleName(tr("View"));
    m_menuButton->setToolTip(tr("How recipients will see the template: width, "
                                "colours, images, plain text, inbox line"));
    m_menuButton->setMenu(m_menu);
    m_menuButton->setPopupMode(QToolButton::InstantPopup);
    m_menuButton->setFocusPolicy(Qt::TabFocus);
    m_menuButton->hide();

    setBrands({}, QString(), false);
    showChoice();
    layoutRow();
}

QAction* ViewBar::addToggle(const QString& objectName, const QString& text, const QString& toolTip,
                            const QKeySequence& shortcut)
{
    auto* action = new QAction(text, this);
    action->setObjectName(objectName);
    action->setCheckable(true);
    action->setShortcut(shortcut);
    action->setToolTip(shortcut.isEmpty() ? toolTip : withShortcut(toolTip, action));
    // The window's shortcuts work wherever the keyboard is, also while the
    // row is folded into its menu.
    action->setShortcutContext(Qt::WindowShortcut);
    //: In the keyboard-shortcut overview: %1 is a view of the preview ("Phone").
    action->setWhatsThis(tr("The preview's view: %1").arg(text));
    addAction(action);
    return action;
}

QToolButton* ViewBar::addButton(QAction* action, const QString& picture)
{
    auto* button = new QToolButton(this);
    if (action) {
        // The button copies the action's picture whenever the action changes.
        action->setIcon(toggleIcon(QStringLiteral(":/quillery/%1.svg").arg(picture)));
        action->setIconVisibleInMenu(false);
        button->setDefaultAction(action);
        button->setObjectName(action->objectName().chopped(int(qstrlen("Action"))));
    }
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setIconSize(QSize(IconSize, IconSize));
    button->setFixedSize(ButtonWidth, ButtonHeight);
    // Tab reaches the toggle; a click leaves the keyboard where it was.
    button->setFocusPolicy(Qt::TabFocus);
    button->setAutoRaise(true);
    m_row.append(button);
    return button;
}

void ViewBar::setView(const View& view)
{
    m_view = view;
    showChoice();
}

bool ViewBar::isCheckShown() const
{
    return m_check->isChecked();
}

void ViewBar::setCheckShown(bool shown)
{
    m_check->setChecked(shown);
}

void ViewBar::setOwnDarkRules(bool has)
{
    if (m_ownDarkRules == has)
        return;
    m_ownDarkRules = has;
    showChoice();
}

QString ViewBar::description() const
{
    QStringList parts;
    switch (m_view.content) {
    case Content::PlainText:
        parts << (m_view.width == Width::Phone ? tr("Phone") : tr("Desktop")) << tr("Plain text");
        break;
    case Content::InboxLine:
        parts << tr("Inbox line");
        break;
    case Content::Page:
        parts << (m_view.width == Width::Phone ? tr("Phone") : tr("Desktop"));
        parts << (m_view.colours == Colours::Dark       ? tr("Dark")
                  : m_view.colours == Colours::Inverted ? tr("Inverted")
                                                        : tr("Light"));
        if (m_view.imagesBlocked)
            parts << tr("Images blocked");
        break;
    }
    return tr("View: %1").arg(parts.join(QStringLiteral(", ")));
}

void ViewBar::choose(const View& view)
{
    const bool changed = !(view == m_view);
    m_view = view;
    showChoice();
    if (changed)
        emit viewChosen(m_view);
}

void ViewBar::showChoice()
{
    m_desktop->setChecked(m_view.width == Width::Desktop);
    m_phone->setChecked(m_view.width == Width::Phone);
    m_light->setChecked(m_view.colours == Colours::Light);
    m_dark->setChecked(m_view.colours == Colours::Dark);
    m_inverted->setChecked(m_view.colours == Colours::Inverted);
    m_imagesBlocked->setChecked(m_view.imagesBlocked);
    m_plainText->setChecked(m_view.content == Content::PlainText);
    m_inboxLine->setChecked(m_view.content == Content::InboxLine);

    // Toggles that do nothing to what is shown are off: the inbox line draws
    // both widths, and only the page has colours and pictures.
    const bool page = m_view.showsPage();
    for (QAction* action : {m_light, m_dark, m_inverted, m_nextColours, m_imagesBlocked})
        action->setEnabled(page);
    m_desktop->setEnabled(m_view.content != Content::InboxLine);
    m_phone->setEnabled(m_view.content != Content::InboxLine);
    m_colours->setEnabled(page);

    QString state;
    QString detail;
    switch (m_view.colours) {
    case Colours::Light:
        state = tr("Light");
        detail = tr("the template's colours as they are. Next: Dark");
        break;
    case Colours::Dark:
        state = tr("Dark");
        detail = m_ownDarkRules ? tr("the template's own dark colours, as mail programs that "
                                     "honour them show it. Next: Inverted")
                                : tr("this template has no dark colours of its own, so mail "
                                     "programs that honour them show it as it is. Next: Inverted");
        break;
    case Colours::Inverted:
        state = tr("Inverted");
        detail = tr("an approximation of the colour inversion some mail programs "
                    "apply to templates without dark colours. Next: Light");
        break;
    }
    m_colours->setChecked(m_view.colours != Colours::Light);
    m_colours->setIcon(toggleIcon(QStringLiteral(":/quillery/view-colours.svg"),
                                  m_view.colours == Colours::Inverted));
    m_colours->setAccessibleName(tr("Colours: ") + state);
    m_colours->setToolTip(
        withShortcut(tr("Colours: %1 \u2014 %2").arg(state, detail), m_nextColours));

    // Folded, the menu button says that the preview is not the plain one.
    m_menuButton->setProperty("altered", !(m_view == View()) || m_check->isChecked());
    m_menuButton->style()->unpolish(m_menuButton);
    m_menuButton->style()->polish(m_menuButton);
}

void ViewBar::setBrands(const QList<std::pair<QString, QString>>& brands, const QString& chosen,
                        bool on)
{
    m_brand->setChecked(on);
    m_brandMenu->clear();
    qDeleteAll(m_brandMenu->findChildren<QActionGroup*>(Qt::FindDirectChildrenOnly));
    auto* group = new QActionGroup(m_brandMenu);
    for (const auto& [id, name] : brands) {
        // A brand's name is the user's text, shown as it is.
        QString label = name;
        auto* action =
            m_brandMenu->addAction(label.replace(QLatin1Char('&'), QStringLiteral("&&")));
        action->setObjectName(QStringLiteral("brand:") + id);
        action->setCheckable(true);
        action->setChecked(id == chosen);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, id = id] { emit brandChosen(id); });
    }
    if (brands.isEmpty()) {
        QAction* none = m_brandMenu->addAction(tr("No brands yet"));
        none->setEnabled(false);
    }
    m_brandMenu->addSeparator();
    m_brandMenu->addAction(m_editBrands);
    showBrandTip();
}

bool ViewBar::isBrandOn() const
{
    return m_brand->isChecked();
}

void ViewBar::setBrandState(bool hasSlots, const QString& problem)
{
    m_brandSlots = hasSlots;
    m_brandProblem = problem;
    showBrandTip();
}

void ViewBar::showBrandTip()
{
    QString tip = withShortcut(tr("In my brand: the template with your brand's logo, name, "
                                  "colours and links, as the exports then write it"),
                               m_brand);
    if (!m_brandProblem.isEmpty())
        tip = tr("The brand could not be put on this template: %1").arg(m_brandProblem);
    else if (!m_brandSlots)
        tip = tr("This template has no brand slots");
    m_brand->setToolTip(tip);
    m_brand->setStatusTip(tip);
}

int ViewBar::placeIn(const QRect& titleBar, int titleLeft, int titleWanted)
{
    int rowWidth = 0;
    for (int i = 0; i < m_row.size(); ++i)
        rowWidth += m_row[i]->width() + (i == 0 ? 0 : i % 2 == 0 ? GroupGap : Gap);
    const int right = titleBar.x() + titleBar.width() - Inset;
    m_folded = right - rowWidth - titleLeft < titleWanted;
    const int width = m_folded ? m_menuButton->sizeHint().width() + 8 : rowWidth;
    setGeometry(right - width, titleBar.y() + (titleBar.height() - ButtonHeight) / 2, width,
                ButtonHeight);
    layoutRow();
    return x();
}

void ViewBar::layoutRow()
{
    for (QToolButton* button : m_row)
        button->setVisible(!m_folded);
    m_menuButton->setVisible(m_folded);
    if (m_folded) {
        m_menuButton->setGeometry(0, 0, width(), ButtonHeight);
        return;
    }
    int x = 0;
    for (int i = 0; i < m_row.size(); ++i) {
        if (i > 0)
            x += i % 2 == 0 ? GroupGap : Gap;
        m_row[i]->move(x, 0);
        x += m_row[i]->width();
    }
}
