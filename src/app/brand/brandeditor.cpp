#include "brandeditor.h"

#include "browserpane.h"
#include "core/brand/brandapply.h"
#include "core/brand/brandstore.h"
#include "core/gallery/library/templatestaging.h"
#include "dialogstyle.h"
#include "plaintext.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// A brand's colours as the editor starts a new one: readable on each other.
const QColor NewMain(0x1F, 0x4E, 0x79);
const QColor NewAccent(0xC0, 0x50, 0x00);
const QColor NewText(0x22, 0x22, 0x22);
const QColor NewBackground(0xFF, 0xFF, 0xFF);

const char* const Roles[] = {"main", "accent", "text", "background", "accent2"};

QString roleLabel(const QString& role)
{
    if (role == QLatin1String("main"))
        return BrandEditor::tr("Main colour (header band)");
    if (role == QLatin1String("accent"))
        return BrandEditor::tr("Accent (buttons, links)");
    if (role == QLatin1String("text"))
        return BrandEditor::tr("Text colour");
    if (role == QLatin1String("background"))
        return BrandEditor::tr("Page background");
    return BrandEditor::tr("Second accent (optional)");
}

QColor& roleOf(BrandKit& brand, const QString& role)
{
    if (role == QLatin1String("main"))
        return brand.main;
    if (role == QLatin1String("accent"))
        return brand.accent;
    if (role == QLatin1String("text"))
        return brand.text;
    if (role == QLatin1String("background"))
        return brand.background;
    return brand.accent2;
}

// #RGB or #RRGGBB, the "#" optional; anything else is not taken for a colour.
QColor parseHex(const QString& text)
{
    static const QRegularExpression hex(QStringLiteral("^#?([0-9A-Fa-f]{3}|[0-9A-Fa-f]{6})$"));
    const QRegularExpressionMatch match = hex.match(text.trimmed());
    if (!match.hasMatch())
        return QColor();
    return QColor(QLatin1Char('#') + match.captured(1));
}

QString hexOf(const QColor& colour)
{
    return colour.isValid() ? colour.name(QColor::HexRgb).toUpper() : QString();
}

QLabel* plainLabel(QWidget* parent, const QString& name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    // Brand names, paths and messages are the user's text and shown as written.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return label;
}

} // namespace

BrandEditor::BrandEditor(const QString& folder, const QByteArray& message,
                         const QString& templateName, QWebEngineProfile* profile,
                         const QString& chosenId, QWidget* parent)
    : QDialog(parent), m_folder(folder), m_message(message), m_profile(profile),
      m_work(std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                             QStringLiteral("/quillery-brand-XXXXXX")))
{
    setObjectName(QStringLiteral("brandEditor"));
    setWindowTitle(tr("Brands"));
    setAcceptDrops(true);
    buildFields();

    m_delay.setSingleShot(true);
    m_delay.setInterval(250);
    connect(&m_delay, &QTimer::timeout, this, &BrandEditor::refresh);

    setTemplate(message, templateName);
    loadBrands(chosenId);
    DialogStyle::apply(this);
    resize(1190, 720);
}

void BrandEditor::setTemplate(const QByteArray& message, const QString& templateName)
{
    m_message = message;
    if (templateName.isEmpty())
        m_preview->setAccessibleDescription(tr("No template is previewed"));
    else
        //: %1 is the previewed template's name.
        m_preview->setAccessibleDescription(tr("The template \u201c%1\u201d in the brand being "
                                               "edited")
                                                .arg(templateName));
    if (m_list->currentRow() >= 0)
        refresh();
}

BrandEditor::~BrandEditor()
{
    // The pane's page goes before the profile it was made in.
    delete m_preview;
}

void BrandEditor::buildFields()
{
    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    auto* listLabel = new QLabel(tr("&Brands"), left);
    m_list = new QListWidget(left);
    m_list->setObjectName(QStringLiteral("brandList"));
    m_list->setAccessibleName(tr("Brands"));
    listLabel->setBuddy(m_list);
    m_add = new QPushButton(tr("&Add"), left);
    m_add->setObjectName(QStringLiteral("addBrandButton"));
    m_add->setAccessibleName(tr("Add a brand"));
    m_remove = new QPushButton(tr("&Remove"), left);
    m_remove->setObjectName(QStringLiteral("removeBrandButton"));
    m_remove->setAccessibleName(tr("Remove the brand"));
    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(m_add);
    listButtons->addWidget(m_remove);
    m_loadProblems = plainLabel(left, QStringLiteral("brandFileProblems"));
    m_loadProblems->setAccessibleName(tr("Brand files that could not be read"));
    leftLayout->addWidget(listLabel);
    leftLayout->addWidget(m_list, 1);
    leftLayout->addLayout(listButtons);
    leftLayout->addWidget(m_loadProblems);
    connect(m_list, &QListWidget::currentRowChanged, this, &BrandEditor::brandSelected);
    connect(m_add, &QPushButton::clicked, this, &BrandEditor::addBrand);
    connect(m_remove, &QPushButton::clicked, this, &BrandEditor::removeBrand);

    auto* fields = new QWidget;
    auto* form = new QFormLayout(fields);
    auto line = [this, fields, form](const QString& name, const QString& label) {
        auto* edit = new QLineEdit(fields);
        edit->setObjectName(name);
        QString spoken = label;
        edit->setAccessibleName(spoken.remove(QLatin1Char('&')));
        form->addRow(label, edit);
        connect(edit, &QLineEdit::textEdited, this, &BrandEditor::fieldEdited);
        return edit;
    };
    m_name = line(QStringLiteral("brandName"), tr("&Name"));
    m_name->setToolTip(tr("The sender's name; also the logo's alternative text"));
    m_tagline = line(QStringLiteral("brandTagline"), tr("&Tagline"));

    auto* logoRow = new QHBoxLayout;
    m_logo = new QLineEdit(fields);
    m_logo->setObjectName(QStringLiteral("brandLogo"));
    m_logo->setReadOnly(true);
    m_logo->setAccessibleName(tr("Logo"));
    m_logo->setPlaceholderText(tr("No logo: choose a file or drop one here"));
    m_logoButton = new QPushButton(tr("C&hoose\u2026"), fields);
    m_logoButton->setObjectName(QStringLiteral("brandLogoButton"));
    m_logoButton->setAccessibleName(tr("Choose a logo"));
    m_logoClear = new QPushButton(tr("No logo"), fields);
    m_logoClear->setObjectName(QStringLiteral("brandLogoClear"));
    m_logoClear->setAccessibleName(tr("Remove the logo"));
    logoRow->addWidget(m_logo, 1);
    logoRow->addWidget(m_logoButton);
    logoRow->addWidget(m_logoClear);
    auto* logoLabel = new QLabel(tr("&Logo"), fields);
    logoLabel->setBuddy(m_logoButton);
    form->addRow(logoLabel, logoRow);
    connect(m_logoButton, &QPushButton::clicked, this, &BrandEditor::chooseLogo);
    connect(m_logoClear, &QPushButton::clicked, this, [this] {
        m_logoSource.clear();
        m_brand.logoFile.clear();
        m_logo->clear();
        fieldEdited();
    });

    for (const char* role : Roles) {
        const QString id = QString::fromLatin1(role);
        auto* row = new QHBoxLayout;
        auto* edit = new QLineEdit(fields);
        edit->setObjectName(QStringLiteral("brandColour_") + id);
        edit->setAccessibleName(roleLabel(id));
        edit->setPlaceholderText(QStringLiteral("#RRGGBB"));
        edit->setMaxLength(7);
        auto* pick = new QToolButton(fields);
        pick->setObjectName(QStringLiteral("brandColourPick_") + id);
        pick->setText(tr("Pick\u2026"));
        //: %1 is a colour's role, such as "Text colour".
        pick->setAccessibleName(tr("Pick the colour: %1").arg(roleLabel(id)));
        pick->setFocusPolicy(Qt::StrongFocus);
        pick->setFixedWidth(64);
        row->addWidget(edit, 1);
        row->addWidget(pick);
        form->addRow(roleLabel(id), row);
        m_colours.insert(id, edit);
        connect(edit, &QLineEdit::textEdited, this, [this, edit, pick] {
            fieldEdited();
            const QColor colour = parseHex(edit->text());
            pick->setStyleSheet(colour.isValid()
                                    ? QStringLiteral("QToolButton{border:1px solid #808080;"
                                                     "border-left:12px solid %1}")
                                          .arg(colour.name())
                                    : QString());
        });
        connect(pick, &QToolButton::clicked, this, [this, id] { chooseColour(id); });
    }

    auto fonts = [this, fields, form](const QString& name, const QString& label) {
        auto* box = new QComboBox(fields);
        box->setObjectName(name);
        box->addItems(BrandFonts::stacks());
        QString spoken = label;
        box->setAccessibleName(spoken.remove(QLatin1Char('&')));
        form->addRow(label, box);
        connect(box, &QComboBox::activated, this, &BrandEditor::fieldEdited);
        return box;
    };
    m_headingFonts = fonts(QStringLiteral("brandHeadingFonts"), tr("&Heading fonts"));
    m_bodyFonts = fonts(QStringLiteral("brandBodyFonts"), tr("Bod&y fonts"));

    m_address = new QPlainTextEdit(fields);
    m_address->setObjectName(QStringLiteral("brandAddress"));
    m_address->setAccessibleName(tr("Postal address"));
    m_address->setTabChangesFocus(true);
    m_address->setFixedHeight(m_address->fontMetrics().lineSpacing() * 4 + 12);
    form->addRow(tr("&Postal address"), m_address);
    connect(m_address, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_filling)
            fieldEdited();
    });
    m_website = line(QStringLiteral("brandWebsite"), tr("&Website"));
    m_viewInBrowser = line(QStringLiteral("brandViewInBrowser"), tr("&View in browser"));
    m_unsubscribe = line(QStringLiteral("brandUnsubscribe"), tr("&Unsubscribe"));
    for (const QString& network : BrandSocial::networks()) {
        QLineEdit* edit =
            line(QStringLiteral("brandSocial_") + network, BrandSocial::label(network));
        edit->setPlaceholderText(QStringLiteral("https://"));
        m_social.insert(network, edit);
    }
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("brandFields"));
    scroll->setWidget(fields);
    scroll->setWidgetResizable(true);
    scroll->setMinimumWidth(400);

    auto* right = new QWidget(this);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    m_preview = new BrowserPane(m_profile, BrowserPane::Role::Preview, right);
    m_preview->setObjectName(QStringLiteral("brandPreview"));
    m_preview->setAccessibleName(tr("Preview in the brand"));
    m_preview->setMinimumWidth(360);
    m_problemsLabel = plainLabel(right, QStringLiteral("brandProblems"));
    m_problemsLabel->setAccessibleName(tr("Problems and adjustments"));
    rightLayout->addWidget(m_preview, 1);
    rightLayout->addWidget(m_problemsLabel);
    connect(m_preview, &BrowserPane::DocumentComplete, this, [this](const QUrl& url) {
        // Earlier previews' files go once the latest is on screen.
        const QString latest = QFileInfo(url.toLocalFile()).absolutePath();
        const QDir work(m_work->path());
        for (const QString& name : work.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            if (name.startsWith(QLatin1String("p")) && work.filePath(name) != latest)
                QDir(work.filePath(name)).removeRecursively();
        }
        emit previewShown();
    });

    auto* buttons = new QDialogButtonBox(this);
    m_save = buttons->addButton(tr("&Save"), QDialogButtonBox::ApplyRole);
    m_save->setObjectName(QStringLiteral("saveBrandButton"));
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("closeBrandsButton"));
    connect(m_save, &QPushButton::clicked, this, &BrandEditor::save);
    connect(close, &QPushButton::clicked, this, &BrandEditor::reject);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(left);
    splitter->addWidget(scroll);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setStretchFactor(2, 2);
    splitter->setChildrenCollapsible(false);
    // The fields whole, without scrolling sideways; the preview takes the rest.
    splitter->setSizes({170, 520, 500});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addWidget(buttons);

    // The fields in reading order, then the preview's problems and the buttons.
    QWidget* previous = m_list;
    for (QWidget* next : std::initializer_list<QWidget*>{m_add, m_remove, m_name, m_tagline,
                                                         m_logoButton, m_logoClear}) {
        setTabOrder(previous, next);
        previous = next;
    }
    for (const char* role : Roles) {
        QLineEdit* edit = m_colours.value(QString::fromLatin1(role));
        setTabOrder(previous, edit);
        auto* pick =
            findChild<QToolButton*>(QStringLiteral("brandColourPick_") + QString::fromLatin1(role));
        setTabOrder(edit, pick);
        previous = pick;
    }
    for (QWidget* next : std::initializer_list<QWidget*>{
             m_headingFonts, m_bodyFonts, m_address, m_website, m_viewInBrowser, m_unsubscribe}) {
        setTabOrder(previous, next);
        previous = next;
    }
    for (const QString& network : BrandSocial::networks()) {
        setTabOrder(previous, m_social.value(network));
        previous = m_social.value(network);
    }
    setTabOrder(previous, m_save);
    setTabOrder(m_save, close);
}

void BrandEditor::loadBrands(const QString& select)
{
    BrandStore::Loaded loaded = BrandStore(m_folder).load();
    m_brands = loaded.brands;
    m_fileProblems = loaded.problems.join(QLatin1Char('\n'));
    m_loadProblems->setText(m_fileProblems);
    m_loadProblems->setVisible(!m_fileProblems.isEmpty());
    m_filling = true;
    m_list->clear();
    int row = 0;
    for (int i = 0; i < m_brands.size(); ++i) {
        auto* item = new QListWidgetItem(m_brands[i].name, m_list);
        item->setData(Qt::UserRole, m_brands[i].id);
        if (m_brands[i].id == select)
            row = i;
    }
    m_filling = false;
    if (m_brands.isEmpty())
        addBrand();
    else
        m_list->setCurrentRow(row);
}

void BrandEditor::brandSelected()
{
    if (m_filling || m_list->currentRow() < 0)
        return;
    const QString id = m_list->currentItem()->data(Qt::UserRole).toString();
    if (id == m_brand.id && !m_brand.id.isEmpty())
        return;
    if (!settleChanges()) {
        // Back to the brand being edited, without asking again.
        m_filling = true;
        for (int i = 0; i < m_list->count(); ++i) {
            if (m_list->item(i)->data(Qt::UserRole).toString() == m_brand.id)
                m_list->setCurrentRow(i);
        }
        m_filling = false;
        return;
    }
    // A new brand left unsaved goes from the list.
    for (int i = m_list->count() - 1; i >= 0; --i) {
        if (m_list->item(i)->data(Qt::UserRole).toString().isEmpty() && i != m_list->currentRow())
            delete m_list->takeItem(i);
    }
    for (const BrandKit& brand : std::as_const(m_brands)) {
        if (brand.id == id) {
            showBrand(brand);
            return;
        }
    }
}

void BrandEditor::showBrand(const BrandKit& brand)
{
    m_filling = true;
    m_brand = brand;
    m_logoSource.clear();
    m_name->setText(brand.name);
    m_tagline->setText(brand.tagline);
    m_logo->setText(QDir::toNativeSeparators(brand.logoFile));
    for (const char* role : Roles) {
        QLineEdit* edit = m_colours.value(QString::fromLatin1(role));
        edit->setText(hexOf(roleOf(m_brand, QString::fromLatin1(role))));
        emit edit->textEdited(edit->text()); // the swatch beside it
    }
    m_headingFonts->setCurrentIndex(std::max(0, m_headingFonts->findText(brand.headingFonts)));
    m_bodyFonts->setCurrentIndex(std::max(0, m_bodyFonts->findText(brand.bodyFonts)));
    m_address->setPlainText(brand.address);
    m_website->setText(brand.website);
    m_viewInBrowser->setText(brand.viewInBrowser);
    m_unsubscribe->setText(brand.unsubscribe);
    for (auto it = m_social.cbegin(); it != m_social.cend(); ++it)
        it.value()->setText(brand.social.value(it.key()));
    m_remove->setEnabled(!brand.id.isEmpty());
    m_filling = false;
    m_dirty = false;
    m_delay.stop();
    refresh();
}

BrandKit BrandEditor::edited() const
{
    BrandKit brand = m_brand;
    brand.name = m_name->text().trimmed();
    brand.tagline = m_tagline->text().trimmed();
    for (const char* role : Roles)
        roleOf(brand, QString::fromLatin1(role)) =
            parseHex(m_colours.value(QString::fromLatin1(role))->text());
    brand.headingFonts = m_headingFonts->currentText();
    brand.bodyFonts = m_bodyFonts->currentText();
    brand.address = m_address->toPlainText().trimmed();
    brand.website = m_website->text().trimmed();
    brand.viewInBrowser = m_viewInBrowser->text().trimmed();
    brand.unsubscribe = m_unsubscribe->text().trimmed();
    brand.social.clear();
    for (auto it = m_social.cbegin(); it != m_social.cend(); ++it) {
        const QString url = it.value()->text().trimmed();
        if (!url.isEmpty())
            brand.social.insert(it.key(), url);
    }
    return brand;
}

void BrandEditor::fieldEdited()
{
    if (m_filling)
        return;
    m_dirty = true;
    m_delay.start();
}

QString BrandEditor::logoProblem() const
{
    return m_logoSource.isEmpty() ? QString() : m_logoError;
}

void BrandEditor::setLogoSource(const QString& path)
{
    m_logoSource = path;
    m_logo->setText(QDir::toNativeSeparators(path));
    // Drawn once here: a bad file is said at once, and the preview shows a good one.
    m_logoError.clear();
    m_logoPreview.clear();
    m_logoDrawnFrom = path;
    const Result<QImage> image = BrandLogo::load(path);
    if (!image) {
        m_logoError = image.status().message();
    } else {
        const QString png =
            QDir(m_work->path()).filePath(QStringLiteral("logo%1.png").arg(++m_serial));
        if (image->save(png, "PNG"))
            m_logoPreview = png;
    }
    m_dirty = true;
    m_delay.stop();
    refresh();
}

void BrandEditor::chooseLogo()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("Choose a logo"),
                                                      QFileInfo(m_logoSource).absolutePath(),
                                                      tr("Pictures (*.png *.jpg *.jpeg *.svg)"));
    if (!path.isEmpty())
        setLogoSource(path);
}

void BrandEditor::chooseColour(const QString& role)
{
    QLineEdit* edit = m_colours.value(role);
    const QColor start = parseHex(edit->text());
    const QColor colour =
        QColorDialog::getColor(start.isValid() ? start : Qt::white, this, roleLabel(role));
    if (!colour.isValid())
        return;
    edit->setText(hexOf(colour));
    emit edit->textEdited(edit->text());
    edit->setFocus();
}

void BrandEditor::refresh()
{
    BrandKit brand = edited();
    QStringList problems;
    for (const char* role : Roles) {
        const QString text = m_colours.value(QString::fromLatin1(role))->text().trimmed();
        if (!text.isEmpty() && !parseHex(text).isValid())
            //: %1 is a colour's role, %2 what the user typed.
            problems << tr("%1: \u201c%2\u201d is not a colour; write it as #RRGGBB, such as "
                           "#1F4E79.")
                            .arg(roleLabel(QString::fromLatin1(role)), text);
    }
    if (const QString logo = logoProblem(); !logo.isEmpty())
        problems << logo;
    problems << brandProblems(brand);
    problems.removeDuplicates();
    m_problems = problems;
    m_adjustments.clear();
    m_previewProblem.clear();

    if (!m_logoSource.isEmpty())
        brand.logoFile = m_logoPreview;
    showPreview(brand);

    QStringList lines = m_problems;
    if (!m_previewProblem.isEmpty())
        lines << m_previewProblem;
    lines << m_adjustments;
    m_problemsLabel->setText(lines.join(QLatin1Char('\n')));
    m_save->setEnabled(m_problems.isEmpty());
}

void BrandEditor::showPreview(const BrandKit& brand)
{
    if (m_message.isEmpty() || !m_work->isValid()) {
        m_preview->setHtml(QStringLiteral("<p>%1</p>").arg(tr("No template is previewed.")));
        return;
    }
    const Result<BrandApply::Branded> branded = BrandApply::applyToMessage(m_message, brand);
    if (!branded) {
        m_previewProblem = branded.status().message();
        return;
    }
    m_adjustments = branded->adjustments;
    // Each preview in a folder of its own: the one still loading keeps its files.
    const QString folder = QDir(m_work->path()).filePath(QStringLiteral("p%1").arg(++m_serial));
    const Result<TemplateStaging::StagedPage> staged =
        TemplateStaging::stageMessage(branded->message, folder, QStringLiteral("brand.html"));
    if (!staged) {
        m_previewProblem = staged.status().message();
        return;
    }
    m_preview->setLocalRoot(folder);
    m_preview->Navigate2(staged->page);
}

bool BrandEditor::save()
{
    m_delay.stop();
    refresh();
    if (!m_problems.isEmpty()) {
        m_problemsLabel->setFocus();
        return false;
    }
    BrandKit brand = edited();
    BrandStore store(m_folder);
    if (const Status saved = store.save(brand, m_logoSource); !saved) {
        m_problems << saved.message();
        m_problemsLabel->setText(m_problems.join(QLatin1Char('\n')));
        return false;
    }
    m_dirty = false;
    m_brand = brand;
    loadBrands(brand.id);
    emit brandSaved(brand.id);
    return true;
}

void BrandEditor::addBrand()
{
    if (!settleChanges())
        return;
    BrandKit brand;
    brand.main = NewMain;
    brand.accent = NewAccent;
    brand.text = NewText;
    brand.background = NewBackground;
    const QStringList stacks = BrandFonts::stacks();
    if (!stacks.isEmpty()) {
        brand.headingFonts = stacks.first();
        brand.bodyFonts = stacks.first();
    }
    m_filling = true;
    auto* item = new QListWidgetItem(tr("New brand"), m_list);
    item->setData(Qt::UserRole, QString());
    m_list->setCurrentItem(item);
    m_filling = false;
    showBrand(brand);
    m_name->setFocus();
}

void BrandEditor::removeBrand()
{
    if (m_brand.id.isEmpty())
        return;
    //: %1 is the brand's name.
    const auto answer =
        PlainText::message(this, QMessageBox::Question, tr("Remove brand"),
                           tr("Remove the brand \u201c%1\u201d and its logo?").arg(m_brand.name),
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    const QString id = m_brand.id;
    if (const Status removed = BrandStore(m_folder).remove(id); !removed) {
        m_problemsLabel->setText(removed.message());
        return;
    }
    m_dirty = false;
    m_brand = BrandKit();
    loadBrands(QString());
    emit brandRemoved(id);
}

bool BrandEditor::settleChanges()
{
    if (!m_dirty)
        return true;
    const QString name = m_name->text().trimmed();
    const auto answer = PlainText::message(
        this, QMessageBox::Question, tr("Brands"),
        //: %1 is the brand's name.
        tr("Save the changes to the brand \u201c%1\u201d?")
            .arg(name.isEmpty() ? tr("New brand") : name),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Discard) {
        m_dirty = false;
        return true;
    }
    return answer == QMessageBox::Save && save();
}

void BrandEditor::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.first().isLocalFile())
        event->acceptProposedAction();
}

void BrandEditor::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return;
    event->acceptProposedAction();
    setLogoSource(urls.first().toLocalFile());
}

void BrandEditor::reject()
{
    if (settleChanges())
        QDialog::reject();
}
