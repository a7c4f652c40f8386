#include "form1.h"

#include "announcer.h"
#include "appfonts.h"
#include "appidentity.h"
#include "brandchoice.h"
#include "brandeditor.h"
#include "browserpane.h"
#include "buttonplus.h"
#include "categorymark.h"
#include "categorynames.h"
#include "checkcontroller.h"
#include "checkpanel.h"
#include "commandmenu.h"
#include "core/brand/brandstore.h"
#include "core/export/templateexport.h"
#include "core/gallery/library/templatelibrary.h"
#include "core/gallery/userlibrary/userlibrary.h"
#include "core/platform/opener.h"
#include "core/platform/settingsstore.h"
#include "core/platform/workspace.h"
#include "core/window/hovertable.h"
#include "exportcontroller.h"
#include "exportnotice.h"
#include "failurereport.h"
#include "favourites.h"
#include "form2.h"
#include "helpwindows.h"
#include "keyscontroller.h"
#include "owntemplatescontroller.h"
#include "plaintext.h"
#include "previewloader.h"
#include "previewpages.h"
#include "searchcontroller.h"
#include "sendtestdialog.h"
#include "splitterbar.h"
#include "viewbar.h"
#include "viewcontroller.h"
#include "windowplacecontroller.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QSvgRenderer>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QWebEngineProfile>

#include <cmath>

// The pictures live in this static library; its users need not know.
static void initResources()
{
    Q_INIT_RESOURCE(quillery);
}

using LayoutModel::TwipRect;
using LayoutModel::TwipsPerPixel;
using PreviewPages::messagePage;

namespace {

// What the category list keeps of each entry besides its name.
constexpr int LibraryFolderRole = Qt::UserRole + 1;
constexpr int OwnCategoryRole = Qt::UserRole + 2;

// Shown after an own category's name in the list; never part of the name.
const char* const OwnMarker = QT_TRANSLATE_NOOP("Form1", " (yours)");

// Marks the favourites' entry of the category list. Its data stays empty:
// every category name is a file name of a library, and no name is left over
// for an entry that is none.
constexpr int FavouritesRole = Qt::UserRole + 3;

// The window's caption and the name its file gives itself are the product's.
const QString& DesignerCaption = AppIdentity::ProductName;
const QString& FileDescription = AppIdentity::ProductName;

int toPixels(float twips)
{
    return int(std::lround(twips / TwipsPerPixel));
}

QRect toPixels(const TwipRect& r)
{
    return QRect(toPixels(r.left), toPixels(r.top), toPixels(r.width), toPixels(r.height));
}

QCursor handPointer()
{
    QSvgRenderer renderer(QStringLiteral(":/quillery/hand.svg"));
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    return QCursor(pixmap, 4, 0);
}

} // namespace

Form1::Form1(const QString& appFolder, QWidget* parent)
    : QWidget(parent), m_appFolder(appFolder), m_libraries(appFolder, UserLibrary::defaultFolder())
{
    initResources();
    AppFonts::ensureLoaded();
    setWindowTitle(DesignerCaption);
    setWindowIcon(QIcon(QStringLiteral(":/quillery/quillery.svg")));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);
    m_place = new WindowPlaceController(this, this);

    // Starting the web engine takes a while; the first preview ends the wait.
    setBusy(true);
    // Off the record: the gallery keeps no cache or cookies of its own.
    m_profile = new QWebEngineProfile(this);
    createControls();
    m_keys = new KeysController(*this, this, {cmdButton.begin(), cmdButton.end()}, cboCategory,
                                WebBrowser1, this);
    connect(m_keys, &KeysController::categoryChosen, this, [this] { cboCategory_Click(); });
    connect(m_keys, &KeysController::helpRequested, this, &Form1::showHelp);
    connect(m_keys, &KeysController::shortcutsRequested, this, &Form1::showShortcutOverview);
    connect(m_keys, &KeysController::sendTestRequested, this, &Form1::showSendTest);
    connect(m_keys, &KeysController::serviceExportRequested, this,
            [this] { m_exports->exportForService(); });
    m_own = new OwnTemplatesController(*this, this, this);
    // After the keys and the user's templates, whose actions its menus show.
    m_commands = new CommandMenu(*this, WebBrowser1, WebBrowser2, this);
    // A change of the user's templates cut off by a kill is finished or taken
    // back before the lists are read.
    if (const Status repaired = UserLibrary::repair(m_libraries.userFolder()); !repaired)
        qWarning("%s", qPrintable(repaired.message()));
    m_search = new SearchController(*this, WebBrowser1, this);
    connect(this, &Form1::previewShown, m_search,
            [this](const QString& name) { m_search->previewShown(name, m_previewChosen); });
    connect(m_own, &OwnTemplatesController::templateRenamed, m_search,
            [this](const QString& oldName, const QString& newName) {
                m_search->forgetRecent(oldName, newName);
            });
    connect(m_own, &OwnTemplatesController::templateRemoved, m_search,
            [this](const QString& name) { m_search->forgetRecent(name); });
    // Before the list is filled again for the change, so that it lists the
    // favourites as they are after it.
    connect(m_own, &OwnTemplatesController::templateRenamed, m_search->favourites(),
            &Favourites::rename);
    connect(m_own, &OwnTemplatesController::templateRemoved, this, [this](const QString& name) {
        m_removedFavourite = isFavourite(name) ? name : QString();
        m_search->favourites()->remove(name);
    });
    createFavouriteAction();
    connect(m_own, &OwnTemplatesController::templateTrashed, this, [this](const QString& name) {
        m_undoNotice->showAction(tr("\u201c%1\u201d is in the trash").arg(name),
                                 //: The button that puts a removed template back.
                                 tr("Undo"), QKeySequence(QKeySequence::Undo),
                                 [this] { m_own->undoAction()->trigger(); });
    });
    connect(m_own, &OwnTemplatesController::templateRestored, this,
            [this](const QString& wanted, const QString& name) {
                if (!m_removedFavourite.isEmpty() && m_removedFavourite == wanted)
                    m_search->favourites()->add(name);
                m_removedFavourite.clear();
                if (wanted == name)
                    announce(tr("\u201c%1\u201d is back").arg(name));
                else
                    m_undoNotice->showMessage(
                        tr("\u201c%1\u201d is back as \u201c%2\u201d: its name was taken "
                           "meanwhile")
                            .arg(wanted, name));
            });
    connect(m_own, &OwnTemplatesController::templatesChanged, m_search, &SearchController::reindex);
    m_keys->setTabWalk([this] { return tabWalk(); });
    m_keys->orderTabs();
    loadForm();
    if (cboCategory->count() == 0)
        setBusy(false);
    PaintUI();
}

Form1::~Form1()
{
    if (m_placeDelay && m_placeDelay->isActive())
        storePlace();
    modSettings::setTroubleHandler(nullptr);
    // The editor's preview page goes before the window's profile.
    delete m_brandEditor;
    // The renderer's engine page goes before the window's.
    delete m_own;
    m_own = nullptr;
    setBusy(false);
    // Pages must be gone before their profile.
    delete WebBrowser1;
    delete WebBrowser2;
}

void Form1::createControls()
{
    const QFont labelFont = AppFonts::tahoma(13.5);
    const char* const titles[] = {QT_TR_NOOP(" Choose a template"), QT_TR_NOOP(" Preview"),
                                  QT_TR_NOOP(" Export")};
    for (int i = 0; i < 3; ++i) {
        lblTitle[i] = new QLabel(tr(titles[i]), this);
        lblTitle[i]->setObjectName(QStringLiteral("lblTitle%1").arg(i));
        lblTitle[i]->setFont(labelFont);
        // Template names are shown as they are, never as markup.
        lblTitle[i]->setTextFormat(Qt::PlainText);
        lblTitle[i]->setStyleSheet(QStringLiteral("color:#404040;background:transparent"));
        lblTitle[i]->adjustSize();
    }
    // The category list covers this label by design; the tops of its glyphs
    // would show above the list, so it is not drawn at all.
    lblTitle[0]->hide();

    imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setCursor(handPointer());
    imgLogo->hide();

    cboCategory = new QComboBox(this);
    cboCategory->setObjectName(QStringLiteral("cboCategory"));
    cboCategory->setAccessibleName(tr("Category"));
    // Some screen readers take a list's name from its label, not from the list,
    // which reads out its current entry; the hidden title is that label.
    lblTitle[0]->setAccessibleName(tr("Category"));
    lblTitle[0]->setBuddy(cboCategory);
    cboCategory->setFont(labelFont);
    cboCategory->setView(new QListView(cboCategory));
    // A styled delegate, so that the list rows take the padding of the style sheet.
    cboCategory->setItemDelegate(new QStyledItemDelegate(cboCategory));
    cboCategory->setStyleSheet(QStringLiteral(
        "QComboBox{background:#E0E0E0;color:#404040;border:none;padding-left:6px}"
        // The list has no frame; a keyboard user still has to see where focus is.
        "QComboBox:focus{border:2px solid #FF8000;padding-left:4px}"
        "QComboBox::drop-down{border:none;width:30px}"
        "QComboBox::down-arrow{image:url(:/quillery/chevron.svg);width:14px;height:14px}"
        "QComboBox QAbstractItemView{background:#FFFFFF;border:1px solid #C0C0C0;outline:0}"
        "QComboBox QAbstractItemView::item{min-height:28px;padding-left:6px;color:#404040;"
        "background:#FFFFFF}"
        "QComboBox QAbstractItemView::item:selected{background:#FF8000;color:#FFFFFF}"));
    connect(cboCategory, &QComboBox::activated, this, [this] { cboCategory_Click(); });

    Picture1 = new QWidget(this);
    Picture2 = new QWidget(this);
    for (QWidget* frame : {Picture1, Picture2}) {
        frame->setAutoFillBackground(true);
        frame->setPalette(this->palette());
    }
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture2->setObjectName(QStringLiteral("Picture2"));
    WebBrowser1 = new BrowserPane(m_profile, BrowserPane::Role::CategoryPage, Picture1);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setAccessibleName(tr("Category page"));
    WebBrowser2 = new BrowserPane(m_profile, BrowserPane::Role::Preview, Picture2);
    WebBrowser2->setObjectName(QStringLiteral("WebBrowser2"));
    WebBrowser2->setAccessibleName(tr("Preview"));
    connect(WebBrowser1, &BrowserPane::BeforeNavigate2, this, &Form1::WebBrowser1_BeforeNavigate2);
    connect(WebBrowser2, &BrowserPane::DocumentComplete, this,
            &Form1::WebBrowser2_DocumentComplete);
    connect(WebBrowser2, &BrowserPane::DownloadComplete, this,
            &Form1::WebBrowser2_DownloadComplete);
    m_mark = new CategoryMark(WebBrowser1);
    m_pageWords = new CategoryPageWords(WebBrowser1);
    m_preview = new PreviewLoader(m_appFolder, WebBrowser2, this);
    // What the user sees of a choice besides the preview follows its load.
    connect(m_preview, &PreviewLoader::loaded, m_mark, &CategoryMark::applyHeld);
    connect(m_preview, &PreviewLoader::abandoned, m_mark, &CategoryMark::applyHeld);
    connect(m_preview, &PreviewLoader::shown, this, &Form1::previewShown);
    connect(m_preview, &PreviewLoader::shown, this, [this] { setBusy(false); });
    connect(m_preview, &PreviewLoader::abandoned, this, [this] { setBusy(false); });
    connect(WebBrowser2, &BrowserPane::GotFocus, WebBrowser1, [this] { WebBrowser1->setFocus(); });
    m_views = new ViewController(*this, this, this);
    connect(m_views, &ViewController::viewChanged, this, [this](const PreviewViews::View& view) {
        placeControls();
        m_preview->setView(view);
    });
    connect(m_preview, &PreviewLoader::ownDarkRulesFound, m_views,
            &ViewController::setOwnDarkRules);
    m_brands = new BrandChoice(BrandStore::defaultFolder(), this);
    connect(m_views->bar(), &ViewBar::brandSwitched, this, &Form1::switchBrand);
    connect(m_views->bar(), &ViewBar::brandChosen, m_brands, &BrandChoice::choose);
    connect(m_views->bar(), &ViewBar::brandEditorWanted, this, &Form1::showBrandEditor);
    connect(m_brands, &BrandChoice::changed, this, &Form1::brandsChanged);
    connect(m_preview, &PreviewLoader::brandStateFound, m_views->bar(), &ViewBar::setBrandState);
    // The report lies over the category page, so that the preview it points
    // into keeps its place and size.
    m_check = new CheckController(*this, WebBrowser2, this, this);
    connect(m_views, &ViewController::viewChanged, m_check, &CheckController::setView);
    connect(m_views->bar(), &ViewBar::checkToggled, m_check, [this](bool shown) {
        placeControls();
        m_check->setShown(shown);
    });
    connect(m_preview, &PreviewLoader::shown, m_check, &CheckController::previewShown);

    picSplitter = new SplitterBar(this);
    picSplitter->setObjectName(QStringLiteral("picSplitter"));
    picSplitter->setAccessibleName(tr("Divider between the category page and the preview"));
    connect(picSplitter, &SplitterBar::MouseDown, this, &Form1::picSplitter_MouseDown);
    connect(picSplitter, &SplitterBar::MouseMove, this, &Form1::picSplitter_MouseMove);
    connect(picSplitter, &SplitterBar::MouseUp, this, &Form1::picSplitter_MouseUp);
    connect(picSplitter, &SplitterBar::GotFocus, this, [this] { WebBrowser1->setFocus(); });

    struct Design
    {
        const char* caption;
        quint32 color;
        const char* picture;
        const char* name; // read out in place of the terse caption
        const char* toolTip;
    };
    const Design designs[] = {
        {QT_TR_NOOP("> html"), HoverTable::Orange, "folder",
         QT_TR_NOOP("Export as an HTML page\u2026"),
         QT_TR_NOOP("Export the previewed template as an HTML page with its images folder")},
        {QT_TR_NOOP("> eml"), HoverTable::Orange, "envelope",
         QT_TR_NOOP("Export as an .eml message\u2026"),
         QT_TR_NOOP("Export the previewed template as an .eml message for a mail program")},
        {QT_TR_NOOP("> Rookpost"), HoverTable::Teal, "rookpost", QT_TR_NOOP("Hand to Rookpost"),
         QT_TR_NOOP("Hand the previewed template to Rookpost")},
        {QT_TR_NOOP("More"), HoverTable::Green, "dots", QT_TR_NOOP("More"),
         QT_TR_NOOP("More: the website, the layout, help and About")},
        // The caption is the program's name, set by ShowTitle.
        {"QY1", HoverTable::Grey, "globe", QT_TR_NOOP("Quillery website"),
         QT_TR_NOOP("Open the Quillery website in the browser")}};
    for (int i = 0; i < 5; ++i) {
        auto* button = new ButtonPlus(i, this);
        button->setObjectName(QStringLiteral("cmdButton%1").arg(i));
        button->setCaption(tr(designs[i].caption));
        button->setAccessibleName(tr(designs[i].name));
        button->setToolTip(tr(designs[i].toolTip));
        button->setBackColor(designs[i].color);
        const QString picture = QStringLiteral(":/quillery/%1.svg").arg(designs[i].picture);
        if (i == 4) {
            button->setFont(AppFonts::tahoma(15.75));
            button->setPicture(picture, 32);
            button->setFace(ButtonPlus::Face::PictureBesideCaption);
            button->setFramed(true);
        } else {
            button->setFont(labelFont);
            button->setPicture(picture, 64);
        }
        connect(button, &ButtonPlus::MouseEnter, this, &Form1::PaintHoverIn);
        connect(button, &ButtonPlus::MouseLeave, this, &Form1::PaintHoverOut);
        connect(button, &ButtonPlus::Click, this, &Form1::cmdButton_Click);
        // Tab stops here; a click hands the keyboard on to the category page.
        connect(button, &ButtonPlus::GotFocus, this, [this, button] {
            if (button->focusReason() == Qt::MouseFocusReason)
                WebBrowser1->setFocus();
        });
        cmdButton[i] = button;
    }
    cmdButton[2]->hide();
    // Last, so that it lies over the preview and its buttons come last in the tab walk.
    m_exports = new ExportController(*this, this, WebBrowser2, WebBrowser1, this);
    m_exports->setBrands(m_brands);
    m_check->setMessageSource([this]() -> Result<QByteArray> {
        QString brandName;
        Result<TemplateStaging::DecodedTemplate> decoded =
            m_exports->messageToExport(CurrentTemplate, &brandName);
        if (!decoded)
            return decoded.status();
        return std::move(decoded->message);
    });
    m_settingsNotice =
        new ExportNotice(WebBrowser1, WebBrowser1, this, QStringLiteral("settingsNotice"));
    m_undoNotice = new ExportNotice(WebBrowser1, WebBrowser1, this, QStringLiteral("undoNotice"));
    modSettings::setTroubleHandler(
        [this](const modSettings::Trouble& trouble) { saySettingsTrouble(trouble); });
    m_announcer = new Announcer(this);
    placeControls();
}

// Every splitter move or search would say it again: once is enough, and the
// standard error has each one.
void Form1::saySettingsTrouble(const modSettings::Trouble& trouble)
{
    if (trouble.kind == modSettings::Trouble::SetAside) {
        if (m_settingsSetAsideSaid)
            return;
        m_settingsSetAsideSaid = true;
        m_settingsNotice->showMessage(
            tr("The settings file was damaged: it is kept as \u201c%1\u201d and the settings "
               "start afresh")
                .arg(QDir::toNativeSeparators(trouble.asidePath)));
        return;
    }
    if (m_settingsTroubleSaid)
        return;
    m_settingsTroubleSaid = true;
    m_settingsNotice->showMessage(
        tr("Settings cannot be stored, and changes last only until the gallery closes: %1")
            .arg(FailureReport::inWords(trouble.message)));
}

void Form1::loadForm()
{
    cmdButton[2]->setVisible(!GetRPPath().isEmpty());
    for (ButtonPlus* button : cmdButton)
        button->setCursor(imgLogo->cursor());
    ShowTitle();
    m_preview->setView(m_views->load());
    m_brands->reload();
    if (!m_brands->problems().isEmpty())
        m_settingsNotice->showMessage(tr("Brand files that could not be read: %1")
                                          .arg(m_brands->problems().join(QStringLiteral("; "))));
    m_check->setView(m_views->view());
    LoadCategories();
    const QString split = modSettings::ReadSetting(SettingKeys::Split);
    m_split = LayoutModel::splitFromSetting(split);
    m_geometry.picSplitter.left = float(shownSplit()) * TwipsPerPixel;
    picSplitter->move(toPixels(m_geometry.picSplitter.left), picSplitter->y());
    setWindowTitle(DesignerCaption + QStringLiteral(" | ") + QStringLiteral(QUILLERY_VERSION));
}

QString Form1::GetRPPath() const
{
    return ExportController::rookpostPath();
}

void Form1::AddTemplate()
{
    m_own->add();
}

void Form1::RenameTemplate()
{
    m_own->rename();
}

void Form1::RemoveTemplate()
{
    m_own->remove();
}

Status Form1::addOwnTemplate(const QString& file, const QString& category, const QString& name)
{
    return m_own->addTemplate(file, category, name);
}

Status Form1::renameOwnTemplate(const QString& oldName, const QString& newName)
{
    return m_own->renameTemplate(oldName, newName);
}

Status Form1::removeOwnTemplate(const QString& name)
{
    return m_own->removeTemplate(name);
}

void Form1::dragEnterEvent(QDragEnterEvent* event)
{
    if (m_own->acceptsDrop(event->mimeData()))
        event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event)
{
    if (!m_own->acceptsDrop(event->mimeData()))
        return;
    event->acceptProposedAction();
    m_own->drop(event->mimeData());
}

void Form1::ExportHtml()
{
    m_exports->exportHtml();
}

void Form1::ExportEml()
{
    m_exports->exportEml();
}

void Form1::ExportRookpost()
{
    m_exports->exportRookpost();
}

void Form1::ShowTitle()
{
    cmdButton[4]->setCaption(FileDescription);
}

void Form1::LoadCategories()
{
    refillCategories(QString());
    if (cboCategory->count() > 0) {
        restorePlace();
    } else if (!QFileInfo(m_appFolder).isDir()) {
        // Started on a library that is not there: say so where the user looks.
        WebBrowser1->setHtml(
            messagePage(tr("The library cannot be opened"),
                        tr("%1 is not a folder. Start Quillery with --library and a folder that "
                           "holds categories/ and templates/, as quillery-library build writes "
                           "them, or without --library for the library installed with it.")
                            .arg(QDir::toNativeSeparators(m_appFolder))));
    } else {
        // Say why the gallery is empty rather than leave two blank panes.
        WebBrowser1->setHtml(messagePage(
            tr("No templates"),
            tr("There are no category pages in %1.")
                .arg(QDir::toNativeSeparators(TemplateLibrary::categoriesFolder(m_appFolder)))));
    }
}

void Form1::restorePlace()
{
    m_storedCategory = modSettings::ReadSetting(SettingKeys::LastCategory);
    m_storedTemplate = modSettings::ReadSetting(SettingKeys::LastTemplate);
    // A category the library no longer lists starts at the first, as a first
    // start does; an empty one is the favourites, which head the list.
    if (!m_storedCategory.isEmpty()) {
        const int at = cboCategory->findData(m_storedCategory);
        if (at >= 0)
            cboCategory->setCurrentIndex(at);
    }
    // The template too, unless the library lost it; then the category's first.
    m_restoring =
        !m_storedTemplate.isEmpty() && m_libraries.hasTemplate(m_storedTemplate) &&
        (m_storedCategory.isEmpty() ? showsFavourites() : currentCategory() == m_storedCategory);
    cboCategory_Click(true);
    m_restoring = false;
}

void Form1::rememberPlace()
{
    if (CurrentTemplate.isEmpty())
        return;
    const QString category = currentCategory();
    if (category == m_storedCategory && CurrentTemplate == m_storedTemplate)
        return;
    m_storedCategory = category;
    m_storedTemplate = CurrentTemplate;
    // Each write goes to disk; stepping through thumbnails would pay for it on
    // every click, so the place is written once the clicks pause, or at close.
    if (!m_placeDelay) {
        m_placeDelay = new QTimer(this);
        m_placeDelay->setObjectName(QStringLiteral("placeStoreDelay"));
        m_placeDelay->setSingleShot(true);
        m_placeDelay->setInterval(500);
        connect(m_placeDelay, &QTimer::timeout, this, &Form1::storePlace);
    }
    m_placeDelay->start();
}

void Form1::storePlace()
{
    modSettings::WriteSetting(SettingKeys::LastCategory, m_storedCategory);
    modSettings::WriteSetting(SettingKeys::LastTemplate, m_storedTemplate);
}

QString Form1::currentCategory() const
{
    if (showsFavourites())
        return QString();
    const QVariant name = cboCategory->currentData();
    return name.isValid() ? name.toString() : cboCategory->currentText();
}

QString Form1::currentLibrary() const
{
    // Kept in the list when it was filled: a click lists no folder.
    const QString folder = cboCategory->currentData(LibraryFolderRole).toString();
    return folder.isEmpty() ? m_appFolder : folder;
}

QString Form1::templateLibrary() const
{
    return m_libraries.templateFolderFor(CurrentTemplate,
                                         cboCategory->currentData(LibraryFolderRole).toString());
}

bool Form1::showsFavourites() const
{
    return cboCategory->currentData(FavouritesRole).toBool();
}

QStringList Form1::shownTemplates() const
{
    if (showsFavourites())
        return m_search->favourites()->present(m_libraries);
    return GalleryWindow::shownTemplates();
}

void Form1::refillCategories(const QString& category)
{
    const QSignalBlocker blocker(cboCategory);
    cboCategory->clear();
    // At the top, where a list of favourites is looked for, and only while
    // there are any: an empty entry first would be what a new user sees first.
    if (m_search && !m_search->favourites()->present(m_libraries).isEmpty()) {
        cboCategory->addItem(tr("Favourites"));
        cboCategory->setItemData(0, true, FavouritesRole);
        cboCategory->setItemData(0, tr("Your favourite templates"), Qt::AccessibleDescriptionRole);
    }
    for (const LibrarySet::Category& entry : m_libraries.categories()) {
        const QString shown = CategoryNames::shown(entry);
        cboCategory->addItem(entry.own ? shown + tr(OwnMarker) : shown, entry.name);
        cboCategory->setItemData(cboCategory->count() - 1, entry.folder, LibraryFolderRole);
        cboCategory->setItemData(cboCategory->count() - 1, entry.own, OwnCategoryRole);
        if (entry.own)
            cboCategory->setItemData(cboCategory->count() - 1, tr("One of your own categories"),
                                     Qt::AccessibleDescriptionRole);
    }
    // An empty name is the favourites, or the first entry when there are none.
    cboCategory->setCurrentIndex(category.isEmpty() ? 0
                                                    : std::max(0, cboCategory->findData(category)));
    enableExports();
}

void Form1::announce(const QString& text)
{
    if (m_announcer)
        m_announcer->say(text);
}

QList<QWidget*> Form1::tabWalk() const
{
    // Top to bottom, left to right: the title button, the list, the search
    // field over the page, the page and the export notice over the preview,
    // the view toggles in the preview's title bar, the buttons on the right.
    QList<QWidget*> walk{cmdButton[4], cboCategory};
    if (m_search)
        walk << m_search->field();
    walk << WebBrowser1 << m_check->panel()->tree();
    for (QPushButton* button : m_check->panel()->findChildren<QPushButton*>())
        walk << button;
    for (QPushButton* button : m_undoNotice->findChildren<QPushButton*>())
        walk << button;
    for (QPushButton* button : m_exports->notice()->findChildren<QPushButton*>())
        walk << button;
    for (QToolButton* button :
         m_views->bar()->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
        walk << button;
    for (int i = 0; i < 4; ++i)
        walk << cmdButton[i];
    return walk;
}

template <typename Window, typename... Made>
static void raiseOrOpen(QPointer<QWidget>& slot, Made&&... made)
{
    if (!slot)
        slot = new Window(std::forward<Made>(made)...);
    slot->show();
    slot->raise();
    slot->activateWindow();
}

void Form1::switchBrand(bool on)
{
    if (on && m_brands->brands().isEmpty()) {
        // Nothing to wear yet: the toggle stays off until a brand is saved.
        m_brandWanted = true;
        brandsChanged();
        showBrandEditor();
        return;
    }
    m_brands->setOn(on);
    const std::optional<BrandKit> brand = m_brands->active();
    //: Said to screen readers when the brand toggle is switched; %1 is the brand's name.
    announce(brand ? tr("In the brand \u201c%1\u201d").arg(brand->name) : tr("As shipped"));
}

void Form1::brandsChanged()
{
    QList<std::pair<QString, QString>> brands;
    for (const BrandKit& brand : m_brands->brands())
        brands.append({brand.id, brand.name});
    // On without a brand to wear shows as off: the preview is as shipped.
    m_views->bar()->setBrands(brands, m_brands->chosenId(), m_brands->isOn() && !brands.isEmpty());
    const std::optional<BrandKit> active = m_brands->active();
    if (active == m_shownBrand)
        return;
    m_shownBrand = active;
    m_preview->setBrand(active);
}

void Form1::showBrandEditor()
{
    if (m_brandEditor) {
        m_brandEditor->raise();
        m_brandEditor->activateWindow();
        return;
    }
    // The editor shows the previewed template, and follows the preview while
    // it is open; without a template it shows the fields alone.
    const auto previewed = [this] {
        QByteArray message;
        if (!CurrentTemplate.isEmpty()) {
            if (const auto decoded =
                    TemplateExport::decodePreviewed(templateLibrary(), CurrentTemplate))
                message = decoded->message;
        }
        return message;
    };
    auto* editor = new BrandEditor(m_brands->folder(), previewed(), CurrentTemplate, m_profile,
                                   m_brands->chosenId(), this);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->setWindowFlag(Qt::Window);
    connect(this, &Form1::previewShown, editor,
            [editor, previewed](const QString& name) { editor->setTemplate(previewed(), name); });
    connect(editor, &BrandEditor::brandSaved, this, [this](const QString& id) {
        m_brands->reload();
        m_brands->choose(id);
        if (m_brandWanted) {
            m_brandWanted = false;
            m_brands->setOn(true);
        }
    });
    connect(editor, &BrandEditor::brandRemoved, m_brands, &BrandChoice::reload);
    connect(editor, &QDialog::finished, this, [this] { m_brandWanted = false; });
    m_brandEditor = editor;
    editor->show();
}

BrandEditor* Form1::brandEditor() const
{
    return m_brandEditor;
}

void Form1::showHelp()
{
    raiseOrOpen<HelpWindow>(m_helpWindow, this);
}

void Form1::showShortcutOverview()
{
    // Read afresh each time: the keys are those the window has now.
    if (m_keysWindow)
        m_keysWindow->close();
    raiseOrOpen<ShortcutOverview>(m_keysWindow, *this, this);
}

void Form1::showAbout()
{
    raiseOrOpen<AboutBox>(m_aboutBox, this);
}

void Form1::showSendTest()
{
    if (m_sendTest && !m_sendTest->isSending()) {
        // It names the template it sends: a new preview gets a dialog of its own.
        m_sendTest->close();
        m_sendTest = nullptr;
    }
    if (!m_sendTest) {
        m_sendTest = new SendTestDialog(templateLibrary(), CurrentTemplate, this);
        m_sendTest->setAttribute(Qt::WA_DeleteOnClose);
        m_sendTest->setMessageStep([this](const QByteArray& message) {
            QString brandName;
            return m_exports->inBrand(message, &brandName);
        });
    }
    m_sendTest->show();
    m_sendTest->raise();
    m_sendTest->activateWindow();
}

void Form1::showCommandsMenu()
{
    // Beside the More button the panel was opened from.
    const QPoint corner = cmdButton[3]->mapToGlobal(QPoint(0, 0));
    m_commands->popupCommands(corner);
}

void Form1::showCategory(const QString& category)
{
    refillCategories(category);
    cboCategory_Click();
}

void Form1::createFavouriteAction()
{
    m_favouriteAction = new QAction(tr("Add to favourites"), this);
    m_favouriteAction->setObjectName(QStringLiteral("favouriteAction"));
    const QKeySequence key(Qt::CTRL | Qt::Key_D);
    m_favouriteAction->setShortcut(key);
    m_favouriteAction->setShortcutContext(Qt::WindowShortcut);
    m_favouriteAction->setAutoRepeat(false);
    m_favouriteAction->setWhatsThis(
        tr("Add the previewed template to your favourites, or take it off them"));
    m_favouriteAction->setToolTip(
        m_favouriteAction->whatsThis() +
        QStringLiteral(" (%1)").arg(key.toString(QKeySequence::NativeText)));
    connect(m_favouriteAction, &QAction::triggered, this, &Form1::toggleFavourite);
    addAction(m_favouriteAction);
    connect(m_search->favourites(), &Favourites::changed, this, &Form1::favouritesChanged);
    updateFavouriteAction();
}

bool Form1::isFavourite(const QString& name) const
{
    return m_search->favourites()->contains(name);
}

void Form1::toggleFavourite()
{
    if (CurrentTemplate.isEmpty() || !m_libraries.hasTemplate(CurrentTemplate))
        return;
    setFavourite(CurrentTemplate, !isFavourite(CurrentTemplate));
}

void Form1::setFavourite(const QString& name, bool favourite)
{
    if (favourite == isFavourite(name))
        return;
    if (favourite)
        m_search->favourites()->add(name);
    else
        m_search->favourites()->remove(name);
    //: Said to screen readers after Ctrl+D; %1 is the template's name.
    announce(favourite ? tr("%1 is one of your favourites now").arg(name)
                       : tr("%1 is no longer one of your favourites").arg(name));
}

void Form1::favouritesChanged()
{
    updateFavouriteAction();
    const bool listed =
        cboCategory->count() > 0 && cboCategory->itemData(0, FavouritesRole).toBool();
    const bool wanted = !m_search->favourites()->present(m_libraries).isEmpty();
    if (listed == wanted)
        return;
    if (showsFavourites()) {
        // The last one went: the list shows its first category instead.
        showCategory(QString());
        return;
    }
    const QString category = currentCategory();
    refillCategories(category);
}

void Form1::updateFavouriteAction()
{
    if (!m_favouriteAction)
        return;
    const bool favourite = isFavourite(CurrentTemplate);
    m_favouriteAction->setEnabled(!CurrentTemplate.isEmpty());
    m_favouriteAction->setText(favourite ? tr("Remove from favourites") : tr("Add to favourites"));
}

void Form1::enableExports()
{
    // With nothing to export, the exports say so by being greyed out.
    const bool any = cboCategory->count() > 0;
    for (int i = 0; i < 3; ++i)
        cmdButton[i]->setEnabled(any);
}

void Form1::cboCategory_Click(bool previewFirst)
{
    if (cboCategory->currentIndex() < 0)
        return;
    // Category pages show only what lies in their own folder.
    WebBrowser1->setLocalRoot(TemplateLibrary::categoriesFolder(currentLibrary()));
    if (m_search)
        m_search->leave();
    if (showsFavourites()) {
        m_pageWords->setWords({});
        m_search->showFavourites();
        m_selectingFirst = true;
        SelectTemplate(m_restoring ? m_storedTemplate
                                   : m_search->favourites()->present(m_libraries).value(0));
        m_selectingFirst = false;
        WebBrowser1->setFocus();
        return;
    }
    const Result<QString> page =
        TemplateLibrary::findCategoryPage(currentLibrary(), currentCategory());
    if (!page) {
        // A page that is not the library's own is never shown; both panes say why.
        WebBrowser1->setHtml(messagePage(
            tr("The category \u201c%1\u201d cannot be shown").arg(cboCategory->currentText()),
            FailureReport::inWords(page.status().message())));
        SelectTemplate(QString(), page.status().message());
    } else {
        m_pageWords->setWords(
            CategoryNames::pageWords({currentCategory(), currentLibrary(),
                                      cboCategory->currentData(OwnCategoryRole).toBool()}));
        if (!previewFirst)
            WebBrowser1->Navigate2(*page);
        m_selectingFirst = true;
        SelectTemplate(m_restoring ? m_storedTemplate : TemplateLibrary::GetFirstLink(*page));
        m_selectingFirst = false;
        // The engine's first load makes its first renderer: at the start the
        // preview's goes first, and the category page follows at once.
        if (previewFirst)
            WebBrowser1->Navigate2(*page);
    }
    WebBrowser1->setFocus();
}

void Form1::WebBrowser1_BeforeNavigate2(const QUrl& url, bool* cancel)
{
    // The fragment is the template's name; a "#" in a folder name is part of
    // the path, not a link.
    if (!url.hasFragment())
        return;
    *cancel = true;
    SelectTemplate(url.fragment(QUrl::FullyDecoded));
}

void Form1::SelectTemplate(const QString& name)
{
    SelectTemplate(name, QString());
}

void Form1::SelectTemplate(const QString& name, const QString& categoryProblem)
{
    CurrentTemplate = name;
    m_previewChosen = !m_selectingFirst;
    m_previewTitle = tr(" Preview: ") + name;
    showPreviewTitle();
    m_preview->setLibrary(m_libraries.templateFolderFor(
        name, cboCategory->currentData(LibraryFolderRole).toString()));
    setBusy(true);
    m_mark->holdTemplate(name);
    updateFavouriteAction();
    rememberPlace();
    m_preview->show(name, categoryProblem);
}

// A long name is cut short inside its title bar, never over the next one,
// and shown whole in the tooltip.
void Form1::showPreviewTitle()
{
    // The view bar keeps its row unfolded while the title keeps its start.
    const QFontMetrics metrics = lblTitle[1]->fontMetrics();
    const int wanted = std::min(metrics.horizontalAdvance(m_previewTitle),
                                metrics.horizontalAdvance(tr(" Preview: ")) + 120);
    const int rowLeft =
        m_views->bar()->placeIn(toPixels(m_geometry.shpTitle[1]), lblTitle[1]->x(), wanted);
    if (m_previewTitle.isEmpty())
        return;
    const int room = std::max(0, rowLeft - lblTitle[1]->x() - 4);
    const QString shown =
        lblTitle[1]->fontMetrics().elidedText(m_previewTitle, Qt::ElideRight, room);
    lblTitle[1]->setText(shown);
    lblTitle[1]->setToolTip(shown == m_previewTitle ? QString()
                                                    : PlainText::toolTip(CurrentTemplate));
    lblTitle[1]->adjustSize();
}

void Form1::WebBrowser2_DocumentComplete(const QUrl& url)
{
    m_preview->documentComplete(url);
}

void Form1::WebBrowser2_DownloadComplete(const QUrl& url)
{
    m_preview->downloadComplete(url);
}

void Form1::PaintHoverIn(int index)
{
    if (index < 0 || index >= int(cmdButton.size()))
        return;
    if (const auto hover = HoverTable::hoverColourOf(cmdButton[index]->BackColor()))
        cmdButton[index]->setBackColor(*hover);
}

void Form1::PaintHoverOut(int index)
{
    if (index < 0 || index >= int(cmdButton.size()))
        return;
    if (const auto base = HoverTable::baseColourOf(cmdButton[index]->BackColor()))
        cmdButton[index]->setBackColor(*base);
}

void Form1::cmdButton_Click(int index)
{
    PaintHoverOut(index);
    switch (index) {
    case 0:
        ExportHtml();
        break;
    case 1:
        ExportEml();
        break;
    case 2:
        ExportRookpost();
        break;
    case 3:
        showMorePanel();
        break;
    case 4:
        Module1::OpenHomePage();
        break;
    default:
        break;
    }
}

void Form1::showMorePanel()
{
    // A fresh panel every time; it is gone when exec() returns.
    Form2 panel(this);
    panel.exec();
}

void Form1::ResetLayout()
{
    m_split = LayoutModel::DefaultSplitPixels;
    PaintUI();
    modSettings::WriteSetting(SettingKeys::Split, QStringLiteral("0"));
}

void Form1::picSplitter_MouseDown()
{
    SplitterDragging = true;
}

void Form1::picSplitter_MouseMove(float x)
{
    if (!SplitterDragging)
        return;
    long long column = LayoutModel::dragColumn(m_geometry.picSplitter.left, x);
    // In a narrow window the place shown stands for a proportionally larger one.
    if (shownSplit() != m_split)
        column = std::llround(double(column) * m_split / std::max(1, shownSplit()));
    if (column < LayoutModel::MinSplitPixels || column > LayoutModel::MaxSplitPixels)
        return;
    m_split = int(column);
    PaintUI();
}

void Form1::picSplitter_MouseUp()
{
    SplitterDragging = false;
    modSettings::WriteSetting(SettingKeys::Split,
                              LayoutModel::splitSettingText(float(m_split) * TwipsPerPixel));
}

int Form1::shownSplit() const
{
    const int least = toPixels(LayoutModel::minimumScale().width);
    if (width() >= least || width() <= 0)
        return m_split;
    return int(std::lround(double(m_split) * width() / least));
}

void Form1::PaintUI()
{
    m_geometry.picSplitter.left = float(shownSplit()) * TwipsPerPixel;
    LayoutModel::PaintUI(m_geometry, float(width()) * TwipsPerPixel,
                         float(height()) * TwipsPerPixel);
    placeControls();
}

void Form1::placeControls()
{
    const auto& g = m_geometry;
    cmdButton[4]->setGeometry(toPixels(g.cmdButton[4]));
    picSplitter->setGeometry(toPixels(g.picSplitter));
    cboCategory->setGeometry(toPixels(g.cboCategory));
    for (int i = 0; i < 3; ++i)
        lblTitle[i]->move(toPixels(g.lblTitle[i].left), toPixels(g.lblTitle[i].top));
    Picture1->setGeometry(toPixels(g.Picture1));
    WebBrowser1->setGeometry(toPixels(g.WebBrowser1));
    m_check->panel()->setGeometry(Picture1->geometry());
    Picture2->setGeometry(toPixels(g.Picture2));
    const PreviewViews::View& view = m_views->view();
    const PreviewViews::PanePlace pane =
        PreviewViews::panePlace(view, toPixels(g.WebBrowser2), Picture2->width());
    WebBrowser2->setGeometry(pane.rect);
    WebBrowser2->setZoomFactor(pane.zoom);
    // Around a phone-wide pane, the frame shows where the phone's screen ends.
    QPalette frame = Picture2->palette();
    frame.setColor(QPalette::Window, view.isPhoneWide() ? QColor(0xE0, 0xE0, 0xE0) : Qt::white);
    Picture2->setPalette(frame);
    for (int i = 0; i < 4; ++i)
        cmdButton[i]->setGeometry(toPixels(g.cmdButton[i]));
    imgLogo->setGeometry(toPixels(g.imgLogo));
    showPreviewTitle();
    update();
}

void Form1::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PaintUI();
}

void Form1::paintEvent(QPaintEvent*)
{
    // Shapes are drawn on the window itself, under every child control.
    QPainter painter(this);
    const QColor silver(0xC0, 0xC0, 0xC0);
    for (int i = 1; i <= 2; ++i) {
        const QRect bar = toPixels(m_geometry.shpTitle[i]);
        painter.fillRect(bar, QColor(0xE0, 0xE0, 0xE0));
        painter.setPen(silver);
        painter.drawRect(bar.adjusted(0, 0, -1, -1));
    }
    painter.setPen(silver);
    painter.setBrush(Qt::NoBrush);
    for (const TwipRect& frame : {m_geometry.Shape1, m_geometry.Shape2})
        painter.drawRect(toPixels(frame).adjusted(0, 0, -1, -1));
}

bool Form1::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        ShowTitle();
    return QWidget::event(event);
}

void Form1::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    // The panes set pointers of their own, which a pointer set on the window
    // would not override; the application's override does, for this window
    // and whatever it opens meanwhile.
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}
