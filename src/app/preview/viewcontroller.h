#pragma once

#include "previewviews.h"

#include <QObject>
#include <QString>

class GalleryWindow;
class QWidget;
class ViewBar;

// How the preview shows a template to the user, as one group of its
// recipients would see it: the view bar in the preview's title bar, the
// chosen view and its setting, kept for the next start.
class ViewController : public QObject
{
    Q_OBJECT

public:
    // The bar is a child of `barParent`, which places it.
    ViewController(GalleryWindow& window, QWidget* barParent, QObject* parent = nullptr);

    ViewBar* bar() const { return m_bar; }
    const PreviewViews::View& view() const;

    // The view the last session left, shown on the bar; read once the
    // window can say when the settings cannot be read.
    const PreviewViews::View& load();
    // Whether the previewed template has dark colours of its own.
    void setOwnDarkRules(bool has);

signals:
    // The user chose `view` on the bar or by its key.
    void viewChanged(const PreviewViews::View& view);

private:
    void choose(const PreviewViews::View& view);

    GalleryWindow& m_window;
    ViewBar* m_bar = nullptr;
    PreviewViews::StoredView* m_stored = nullptr;
};
