#pragma once

#include "core/gallery/library/libraryset.h"
#include "core/gallery/library/templatelibrary.h"

#include <QString>
#include <QStringList>

// What a feature of the gallery's window may ask of the window: the template
// the preview shows, the libraries, the category the list shows, and the few
// things it may have the window do. Form1 is one; a test is another, so that
// each feature is tried without the whole window.
class GalleryWindow
{
public:
    virtual ~GalleryWindow() = default;

    // The template the preview shows, as chosen last.
    virtual QString currentTemplate() const = 0;
    virtual const LibrarySet& libraries() const = 0;
    // The category the list shows, as its library names it, and that library's folder.
    virtual QString currentCategory() const = 0;
    virtual QString currentLibrary() const = 0;
    // The library folder the previewed template is read from.
    virtual QString templateLibrary() const = 0;
    // Whether the list shows the user's favourites rather than a category;
    // currentCategory() is empty then.
    virtual bool showsFavourites() const { return false; }
    // The templates the category pane shows, in its order.
    virtual QStringList shownTemplates() const
    {
        const Result<QString> page =
            TemplateLibrary::findCategoryPage(currentLibrary(), currentCategory());
        return page ? TemplateLibrary::templateLinks(*page) : QStringList();
    }

    // Previews `name`, as a click on its thumbnail does.
    virtual void SelectTemplate(const QString& name) = 0;
    // Fills the category list afresh, shows `category` (or the first one) and
    // its page.
    virtual void showCategory(const QString& category) = 0;
    // Says `text` to assistive tools without moving the focus.
    virtual void announce(const QString& text) = 0;
};
