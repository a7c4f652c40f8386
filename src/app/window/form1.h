#pragma once

#include "core/brand/brandkit.h"
#include "core/gallery/library/libraryset.h"
#include "core/platform/settingsstore.h"
#include "core/platform/status.h"
#include "core/window/layoutmodel.h"
#include "gallerywindow.h"
#include "previewviews.h"

#include <QPointer>
#include <QRect>
#include <QString>
#include <QUrl>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>

class Announcer;
class BrandChoice;
class BrandEditor;
class BrowserPane;
class ButtonPlus;
class CategoryMark;
class CheckController;
class CategoryPageWords;
class CommandMenu;
class ExportController;
class SendTestDialog;
class ExportNotice;
class KeysController;
class QComboBox;
class QTimer;
class QLabel;
class QLineEdit;
class SearchController;
class OwnTemplatesController;
class PreviewLoader;
class QAction;
class QWebEngineProfile;
class SplitterBar;
class ViewController;
class WindowPlaceController;

// The gallery's main window: the category list and page on the left, the
// preview in the middle, the command buttons on the right, all placed by
// PaintUI from the window size and the splitter position.
class Form1 : public QWidget, public GalleryWindow
{
    Q_OBJECT

public:
    // The application key of the window's own settings (the splitter, the
    // window's place, the last export's folder); every value of it is in
    // core/platform/settingkeys.h.
    static inline const QString SettingsKey = QString::fromLatin1(SettingKeys::Gallery);

    // appFolder holds "categories/" and "templates/"; it is never written.
    // The user's own templates are in UserLibrary::defaultFolder().
    explicit Form1(const QString& appFolder, QWidget* parent = nullptr);
    ~Form1() override;

    const QString& appFolder() const { return m_appFolder; }
    const LibrarySet& libraries() const override { return m_libraries; }
    // The category the list shows, as its library names it, and that library's folder.
    QString currentCategory() const override;
    QString currentLibrary() const override;
    // The library folder the previewed template is read from.
    QString templateLibrary() const override;
    bool showsFavourites() const override;
    QStringList shownTemplates() const override;
    // The template the preview shows, as chosen last; the exports work on it.
    QString currentTemplate() const override { return CurrentTemplate; }
    const LayoutModel::Form1Geometry& geometryModel() const { return m_geometry; }

    void PaintUI();
    void PaintHoverIn(int index);
    void PaintHoverOut(int index);
    void ShowTitle();
    void LoadCategories();
    void SelectTemplate(const QString& name) override;
    void showCategory(const QString& category) override;
    // Says `text` to assistive tools without moving the focus.
    void announce(const QString& text) override;
    // The sibling mailer's executable, or empty when it is not installed.
    QString GetRPPath() const;
    // The More panel's "Reset layout": splitter back to 450 pixels, stored as 0.
    void ResetLayout();
    // The three exports of the previewed template; each tells the user why
    // it wrote nothing (ExportController).
    void ExportHtml();
    void ExportEml();
    void ExportRookpost();
    // The user's own templates (OwnTemplatesController). The first three ask, then
    // report in a message box; the last three do the work and say why not.
    void AddTemplate();
    void RenameTemplate();
    void RemoveTemplate();
    Status addOwnTemplate(const QString& file, const QString& category, const QString& name);
    Status renameOwnTemplate(const QString& oldName, const QString& newName);
    Status removeOwnTemplate(const QString& name);
    // The user guide (F1), the keys (Ctrl+?) and the About box, one of each
    // at a time; each opens anew or comes to the front.
    void showHelp();
    void showShortcutOverview();
    void showAbout();
    // "Send a test" of the previewed template; one at a time, beside the
    // window, which stays in use while it sends.
    void showSendTest();
    // Every command with its key, from the More panel.
    void showCommandsMenu();
    // The menus of the window's commands, and copying and dragging templates out.
    CommandMenu* commandMenu() const { return m_commands; }
    // Ctrl+D: the previewed template joins the favourites, or leaves them.
    // The action's text says which; a menu may show it as it is.
    QAction* favouriteAction() const { return m_favouriteAction; }
    void toggleFavourite();
    // For a template other than the previewed one, as a thumbnail's menu offers it.
    void setFavourite(const QString& name, bool favourite);
    bool isFavourite(const QString& name) const;
    // The brand editor beside the previewed template, one at a time.
    void showBrandEditor();
    BrandEditor* brandEditor() const;

signals:
    // A preview page has loaded and its working files are gone.
    void previewShown(const QString& templateName);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The More panel takes its buttons' pointer from the window's logo.
    friend class Form2;

    // Controls, named as the window was designed.
    QComboBox* cboCategory = nullptr;
    std::array<ButtonPlus*, 5> cmdButton{};
    std::array<QLabel*, 3> lblTitle{};
    SplitterBar* picSplitter = nullptr;
    QWidget* Picture1 = nullptr;
    QWidget* Picture2 = nullptr;
    BrowserPane* WebBrowser1 = nullptr;
    BrowserPane* WebBrowser2 = nullptr;
    QLabel* imgLogo = nullptr;

    void createControls();
    void loadForm();
    // `previewFirst`: the preview's load starts before the category page's.
    void cboCategory_Click(bool previewFirst = false);
    void cmdButton_Click(int index);
    void WebBrowser1_BeforeNavigate2(const QUrl& url, bool* cancel);
    void WebBrowser2_DocumentComplete(const QUrl& url);
    void WebBrowser2_DownloadComplete(const QUrl& url);
    void picSplitter_MouseDown();
    void picSplitter_MouseMove(float x);
    void picSplitter_MouseUp();
    void showMorePanel();
    // The preview of `name`, or of the reason why a category's page cannot be shown.
    void SelectTemplate(const QString& name, const QString& categoryProblem);
    void placeControls();
    // The keyboard's walk through the window, in reading order.
    QList<QWidget*> tabWalk() const;
    void showPreviewTitle();
    // Fills the category list afresh and shows `category`, or the first one.
    void refillCategories(const QString& category);
    void enableExports();
    void createFavouriteAction();
    void favouritesChanged();
    void updateFavouriteAction();
    // Where the user left off, shown again at the next start.
    void rememberPlace();
    void storePlace();
    void restorePlace();
    QString m_storedCategory;
    QString m_storedTemplate;
    bool m_restoring = false;
    QTimer* m_placeDelay = nullptr;
    // The pointer shows that the gallery is busy but still takes clicks.
    void setBusy(bool busy);

    QString m_appFolder;
    LibrarySet m_libraries;
    OwnTemplatesController* m_own = nullptr; // the user's own templates: add, rename, remove
    QString CurrentTemplate;
    QString m_previewTitle; // " Preview: " and the name, before it is cut to fit
    LayoutModel::Form1Geometry m_geometry = LayoutModel::Form1Geometry::design();
    bool SplitterDragging = false;
    // The preview shows what the user chose, not the template a start or a
    // category change put there; only the first counts as recently used.
    bool m_selectingFirst = false;
    bool m_previewChosen = false;
    // The splitter's place as the user left it; a window narrower than the
    // layout's minimum shows it proportionally further left.
    int m_split = LayoutModel::DefaultSplitPixels;
    int shownSplit() const;
    bool m_busy = false;
    // The window's keys and the keyboard's walk.
    KeysController* m_keys = nullptr;
    CommandMenu* m_commands = nullptr;
    // The window's place, remembered or fitted to the screen.
    WindowPlaceController* m_place = nullptr;
    QWebEngineProfile* m_profile = nullptr;
    PreviewLoader* m_preview = nullptr;
    // The recipients' views of the preview, chosen on the view bar.
    ViewController* m_views = nullptr;
    // The user's brands and the one the preview and the exports wear.
    BrandChoice* m_brands = nullptr;
    QPointer<BrandEditor> m_brandEditor;
    // The brand the preview was last given, so that only a change shows it again.
    std::optional<BrandKit> m_shownBrand;
    // The toggle was pressed with no brand yet: the first one saved is switched on.
    bool m_brandWanted = false;
    void switchBrand(bool on);
    void brandsChanged();
    // The pre-send report of the Check view, over the category page.
    CheckController* m_check = nullptr;
    // Finding a template across every category, and the recent ones.
    SearchController* m_search = nullptr;
    Announcer* m_announcer = nullptr;
    QAction* m_favouriteAction = nullptr;
    CategoryMark* m_mark = nullptr;           // the previewed template's thumbnail
    CategoryPageWords* m_pageWords = nullptr; // the category page's heading in the user's language
    // The exports of the previewed template, with their notice over the preview.
    ExportController* m_exports = nullptr;
    QPointer<SendTestDialog> m_sendTest;
    // The user guide, the keyboard overview and the About box, while open.
    QPointer<QWidget> m_helpWindow;
    QPointer<QWidget> m_keysWindow;
    QPointer<QWidget> m_aboutBox;
    // The last removal of an own template, with Undo, over the category page.
    ExportNotice* m_undoNotice = nullptr;
    // The template removed last was a favourite: put back, it is one again.
    QString m_removedFavourite;
    // Settings that cannot be stored, said once, over the category page.
    ExportNotice* m_settingsNotice = nullptr;
    bool m_settingsTroubleSaid = false;
    bool m_settingsSetAsideSaid = false;
    void saySettingsTrouble(const modSettings::Trouble& trouble);
};
