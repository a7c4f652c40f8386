#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class BrowserPane;
class Favourites;
class GalleryWindow;
class QLineEdit;
class QTemporaryDir;
class QTimer;
class SearchIndexLoader;
class SearchPageBuilder;

// Finding a template across every category, and the templates previewed
// last: the search field over the category page, the index read off the
// window's thread, the page of results in the category pane, and the recent
// list with its setting.
class SearchController : public QObject
{
    Q_OBJECT

public:
    // The field lies over `categoryPane`, and the results page is shown in
    // it.
    SearchController(GalleryWindow& window, BrowserPane* categoryPane, QObject* parent = nullptr);
    ~SearchController() override;

    QLineEdit* field() const { return m_field; }
    // The user's favourites: ranked first among equal results, and shown as
    // a category of their own by showFavourites.
    Favourites* favourites() const { return m_favourites; }
    // The recent templates, the latest first.
    const QStringList& recent() const { return m_recent; }

    // Ctrl+F: the field over the category page, with what the query finds.
    void open();
    // Back to the chosen category's page; the preview stays as it is.
    void close();
    // The field goes; the category pane is left to whoever shows a page next.
    void leave();
    // The favourites' page in the category pane, in the order they were
    // marked; it follows every change of them until the pane shows another page.
    void showFavourites();
    // The templates changed: the index is read again.
    void reindex();
    // A preview is on screen; one the user chose counts as recently used.
    // The index is read once the first preview is there: the start does not
    // wait for it.
    void previewShown(const QString& name, bool chosen);
    // A removed template leaves the recent ones; a renamed one keeps its place.
    void forgetRecent(const QString& name, const QString& renamedTo = QString());

private:
    void placeField();
    void showResults();
    void showPage(const QString& heading, const QByteArray& page);
    // From the field: preview the first result, or put the keyboard on it.
    void previewFirstResult();
    void enterResults();
    void rememberRecent(const QString& name);
    void storeRecent() const;
    void storeRecentSoon();

    GalleryWindow& m_window;
    BrowserPane* m_pane;
    QLineEdit* m_field = nullptr;
    QTimer* m_delay = nullptr;
    QTimer* m_storeDelay = nullptr; // the recent list's write, once the clicks pause
    SearchIndexLoader* m_index = nullptr;
    SearchPageBuilder* m_pages = nullptr;
    std::unique_ptr<QTemporaryDir> m_folder;
    bool m_indexStarted = false;
    Favourites* m_favourites = nullptr;
    bool m_favouritesShown = false; // the pane shows the favourites' page
    QStringList m_recent;           // names, the latest first
    QStringList m_results;          // the names the results page shows, in order
};
