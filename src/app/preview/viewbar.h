#pragma once

#include "previewviews.h"

#include <QList>
#include <QWidget>

#include <utility>

class QAction;
class QMenu;
class QToolButton;

// The row of toggles at the right end of the preview's title bar that chooses
// how the preview shows a template: Desktop | Phone, the colours, images
// blocked, plain text, inbox line, and the Check report beside them. Where the bar is too narrow
// for the row and the title, the row folds into one "View" menu button. Every toggle has a shortcut
// of the window; none is a stop of the keyboard's tab walk and a click leaves the keyboard where it
// was.
class ViewBar : public QWidget
{
    Q_OBJECT

public:
    explicit ViewBar(QWidget* parent = nullptr);

    const PreviewViews::View& view() const { return m_view; }
    // Shows `view` as chosen, without reporting it.
    void setView(const PreviewViews::View& view);
    // Whether the previewed template has dark colours of its own; the Dark
    // view says when it has none, since it then shows the template as it is.
    void setOwnDarkRules(bool has);
    // The chosen view in words, for screen readers: "View: Phone, Dark".
    QString description() const;

    // The user's brands (id, name), the chosen one and whether the preview
    // wears it; shown without reporting.
    void setBrands(const QList<std::pair<QString, QString>>& brands, const QString& chosen,
                   bool on);
    bool isBrandOn() const;
    // Whether the previewed template marks places for a brand, and why the
    // brand could not be put on it, if it could not.
    void setBrandState(bool hasSlots, const QString& problem);

    // Places the row at the right end of `titleBar`, unfolded when the title
    // starting at `titleLeft` keeps `titleWanted` pixels before it, folded
    // otherwise. Returns the x where the row begins.
    int placeIn(const QRect& titleBar, int titleLeft, int titleWanted);
    bool isFolded() const { return m_folded; }

    // The Check view: the pre-send report beside the preview, in whatever
    // view the preview shows.
    bool isCheckShown() const;
    void setCheckShown(bool shown);

signals:
    void viewChosen(const PreviewViews::View& view);
    // The brand toggle or its key: the template as shipped or in the brand.
    void brandSwitched(bool on);
    void brandChosen(const QString& id);
    void brandEditorWanted();
    void checkToggled(bool shown);

private:
    QAction* addToggle(const QString& objectName, const QString& text, const QString& toolTip,
                       const QKeySequence& shortcut);
    QToolButton* addButton(QAction* action, const QString& picture);
    void choose(const PreviewViews::View& view);
    void showChoice();
    void layoutRow();
    void showBrandTip();

    PreviewViews::View m_view;
    bool m_ownDarkRules = true;
    bool m_folded = false;

    QAction* m_desktop = nullptr;
    QAction* m_phone = nullptr;
    QAction* m_light = nullptr;
    QAction* m_dark = nullptr;
    QAction* m_inverted = nullptr;
    QAction* m_nextColours = nullptr;
    QAction* m_imagesBlocked = nullptr;
    QAction* m_plainText = nullptr;
    QAction* m_inboxLine = nullptr;
    QAction* m_brand = nullptr;
    QAction* m_editBrands = nullptr;
    QMenu* m_brandMenu = nullptr;
    bool m_brandSlots = true;
    QString m_brandProblem;
    QAction* m_check = nullptr;

    QList<QToolButton*> m_row; // in the order shown, the colours button third
    QToolButton* m_colours = nullptr;
    QToolButton* m_menuButton = nullptr;
    QMenu* m_menu = nullptr;
};
