#pragma once

#include "core/gallery/library/libraryset.h"

#include <QObject>
#include <QString>

class QWebEngineView;

// Category names as the user reads them. The libraries name their categories
// in English, in file names and on their pages, and keep doing so: the names
// are keys of the settings and of the user's library. Only what is shown is
// translated, and only what the program itself named: the shipped
// categories and the user's default one. A category the user named keeps
// that name, whatever it is.
namespace CategoryNames {

// The name the category list shows for `category` (without the window's
// marker for the user's own).
QString shown(const LibrarySet::Category& category);

// A category page's heading and description as the library wrote them, and
// as the user reads them; equal when there is nothing to translate.
struct PageWords
{
    QString heading;
    QString description;
    QString shownHeading;
    QString shownDescription;
    bool translated() const { return heading != shownHeading || description != shownDescription; }
};
PageWords pageWords(const LibrarySet::Category& category);

} // namespace CategoryNames

// Puts the shown heading and description on the category page the pane
// loads, in place of the library's English, once each page has loaded; a
// page whose words are not the library's own is left as it is.
class CategoryPageWords : public QObject
{
    Q_OBJECT

public:
    explicit CategoryPageWords(QWebEngineView* pane);

    void setWords(const CategoryNames::PageWords& words);

private:
    void apply();

    QWebEngineView* m_pane;
    CategoryNames::PageWords m_words;
};
