#include "viewcontroller.h"

#include "gallerywindow.h"
#include "viewbar.h"

ViewController::ViewController(GalleryWindow& window, QWidget* barParent, QObject* parent)
    : QObject(parent), m_window(window), m_bar(new ViewBar(barParent))
{
    connect(m_bar, &ViewBar::viewChosen, this, &ViewController::choose);
}

const PreviewViews::View& ViewController::view() const
{
    return m_bar->view();
}

const PreviewViews::View& ViewController::load()
{
    if (!m_stored)
        m_stored = new PreviewViews::StoredView(this);
    m_bar->setView(m_stored->view());
    return m_bar->view();
}

void ViewController::setOwnDarkRules(bool has)
{
    m_bar->setOwnDarkRules(has);
}

void ViewController::choose(const PreviewViews::View& view)
{
    // Shown first, stored a moment later: the write costs as much as the view.
    emit viewChanged(view);
    if (!m_stored)
        m_stored = new PreviewViews::StoredView(this);
    m_stored->store(view);
    m_window.announce(m_bar->description());
}
