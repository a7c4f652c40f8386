#include "exportnotice.h"

#include "appfonts.h"
#include "core/platform/opener.h"
#include "filemanager.h"
#include "plaintext.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>

namespace {

constexpr int Height = 44;
constexpr int Margin = 8;
// Keeps the page's vertical scroll bar free to the right of the notice.
constexpr int ScrollBarRoom = 16;
constexpr int DefaultTimeout = 8000;

const QString OpenFolderKeys = QStringLiteral("Ctrl+Shift+O");

// The keys as the user's keyboard labels them, in the user's language.
QString shownKeys()
{
    return QKeySequence(OpenFolderKeys).toString(QKeySequence::NativeText);
}

// Screen readers read out an alert as it appears, and again when it raises one.
QAccessibleInterface* alertFactory(const QString&, QObject* object)
{
    if (auto* notice = qobject_cast<ExportNotice*>(object))
        return new QAccessibleWidget(notice, QAccessible::AlertMessage);
    return nullptr;
}

} // namespace

ExportNotice::ExportNotice(QWidget* anchor, QWidget* focusAfter, QWidget* parent,
                           const QString& name)
    : QFrame(parent), m_anchor(anchor), m_focusAfter(focusAfter)
{
    static const bool alertsInstalled = [] {
        QAccessible::installFactory(alertFactory);
        return true;
    }();
    Q_UNUSED(alertsInstalled);
    setObjectName(name);
    setAccessibleDescription(
        tr("Export finished. %1 opens the folder of the file.").arg(shownKeys()));
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral(
                      "ExportNotice{background:#404040;border:none;border-radius:4px}"
                      "QLabel{color:#FFFFFF;background:transparent}"
                      "QPushButton{border:2px solid transparent;border-radius:3px;padding:3px 10px}"
                      // Buttons that only a keyboard reaches must show where the focus is.
                      "QPushButton:focus{border-color:#FFFFFF}"
                      "QPushButton#%1Open{background:#FF8000;color:#1A1A1A}"
                      "QPushButton#%1Open:hover{background:#FFA040}"
                      "QPushButton#%1OpenFile{background:#FF8000;color:#1A1A1A}"
                      "QPushButton#%1Action{background:#FF8000;color:#1A1A1A}"
                      "QPushButton#%1Action:hover{background:#FFA040}"
                      "QPushButton#%1OpenFile:hover{background:#FFA040}"
                      "QPushButton#%1Close{background:transparent;color:#FFFFFF;padding:0}"
                      "QPushButton#%1Close:hover{background:#606060}")
                      .arg(name));
    const QFont font = AppFonts::tahoma(12);

    m_text = new QLabel(this);
    m_text->setObjectName(name + QStringLiteral("Text"));
    // File names are shown as they are, never as markup.
    m_text->setTextFormat(Qt::PlainText);
    m_text->setFont(font);

    m_open = new QPushButton(tr("Open folder"), this);
    m_open->setObjectName(name + QStringLiteral("Open"));
    m_open->setFont(font);
    m_open->setAccessibleName(tr("Open folder"));
    m_open->setAccessibleDescription(
        tr("Opens the folder of the exported file in the file manager"));
    m_open->setToolTip(tr("Open the folder of the exported file (%1)").arg(shownKeys()));
    connect(m_open, &QPushButton::clicked, this, &ExportNotice::openFolder);

    //: Opens the exported page or message in the user's program for it.
    m_openFile = new QPushButton(tr("Open"), this);
    m_openFile->setObjectName(name + QStringLiteral("OpenFile"));
    m_openFile->setFont(font);
    m_openFile->setAccessibleName(tr("Open"));
    m_openFile->setAccessibleDescription(
        tr("Opens the exported file in the program the desktop opens it with"));
    m_openFile->setToolTip(tr("Open the exported file in the program the desktop opens it with"));
    connect(m_openFile, &QPushButton::clicked, this, &ExportNotice::openFile);

    m_action = new QPushButton(this);
    m_action->setObjectName(name + QStringLiteral("Action"));
    m_action->setFont(font);
    m_action->hide();
    connect(m_action, &QPushButton::clicked, this, [this] {
        const std::function<void()> run = m_run;
        dismiss();
        if (run)
            run();
    });

    m_close = new QPushButton(QStringLiteral("\u00d7"), this);
    m_close->setObjectName(name + QStringLiteral("Close"));
    m_close->setFont(AppFonts::tahoma(15));
    m_close->setAccessibleName(tr("Close"));
    m_close->setAccessibleDescription(tr("Closes the export notice"));
    m_close->setToolTip(tr("Close this notice (Esc)"));
    connect(m_close, &QPushButton::clicked, this, &ExportNotice::dismiss);

    // Only while the notice is shown: a hidden widget's shortcut does not fire.
    m_openShortcut = new QShortcut(QKeySequence(OpenFolderKeys), this);
    connect(m_openShortcut, &QShortcut::activated, this, &ExportNotice::openFolder);
    m_openShortcut->setWhatsThis(
        tr("Open the folder of the file just exported (while the export notice is shown)"));
    // Esc closes it wherever the keyboard is in the window: after an export
    // that is the category page, not the notice.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &ExportNotice::dismiss);
    escape->setWhatsThis(tr("Close the export notice; in the search field, close the search"));

    m_timer.setSingleShot(true);
    m_timer.setInterval(DefaultTimeout);
    connect(&m_timer, &QTimer::timeout, this, &ExportNotice::expire);

    // The anchor moves with its frame when the splitter or the window does.
    for (QWidget* w = m_anchor; w && w != parent; w = w->parentWidget())
        w->installEventFilter(this);
    hide();
}

void ExportNotice::showExported(const QString& filePath, const QString& text)
{
    m_filePath = filePath;
    m_open->show();
    m_openFile->show();
    m_action->hide();
    m_openShortcut->setEnabled(true);
    place();
    raise();
    show();
    // Right after the category page, whose engine may have made its widget
    // anew since: a Tab past the page's last link comes here, and a Backtab
    // from the window's first control.
    if (m_focusAfter) {
        QWidget* proxy = m_focusAfter->focusProxy();
        setTabOrder(proxy ? proxy : m_focusAfter, m_open);
        setTabOrder(m_open, m_openFile);
        setTabOrder(m_openFile, m_close);
    }
    say(text.isEmpty() ? tr("Exported \u201c%1\u201d").arg(QFileInfo(filePath).fileName()) : text);
}

void ExportNotice::showMessage(const QString& text)
{
    m_filePath.clear();
    m_open->hide();
    m_openFile->hide();
    m_action->hide();
    m_openShortcut->setEnabled(false);
    m_close->setAccessibleDescription(tr("Closes the notice"));
    setAccessibleDescription(tr("Esc closes the notice."));
    place();
    raise();
    show();
    if (m_focusAfter) {
        QWidget* proxy = m_focusAfter->focusProxy();
        setTabOrder(proxy ? proxy : m_focusAfter, m_close);
    }
    say(text);
    // Nothing done by itself: it stays until it is closed.
    m_timer.stop();
    setToolTip(text);
}

void ExportNotice::showAction(const QString& text, const QString& actionText,
                              const QKeySequence& keys, std::function<void()> action)
{
    m_filePath.clear();
    m_run = std::move(action);
    m_open->hide();
    m_openFile->hide();
    m_openShortcut->setEnabled(false);
    m_action->setText(actionText);
    m_action->setAccessibleName(actionText);
    m_action->setToolTip(
        QStringLiteral("%1 (%2)").arg(actionText, keys.toString(QKeySequence::NativeText)));
    m_action->show();
    m_close->setAccessibleDescription(tr("Closes the notice"));
    setAccessibleDescription(QString());
    place();
    raise();
    show();
    if (m_focusAfter) {
        QWidget* proxy = m_focusAfter->focusProxy();
        setTabOrder(proxy ? proxy : m_focusAfter, m_action);
        setTabOrder(m_action, m_close);
    }
    say(text);
}

void ExportNotice::say(const QString& text)
{
    m_message = text;
    setAccessibleName(text);
    setToolTip(PlainText::toolTip(QDir::toNativeSeparators(m_filePath)));
    layOut();
    m_timer.start();
    if (isVisible()) {
        QAccessibleEvent alert(this, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
}

void ExportNotice::openFolder()
{
    const QString file = m_filePath;
    const QString folder = QFileInfo(file).absolutePath();
    // The file selected where the file manager can do it; else its folder.
    FileManager::showItem(file, this, [this, folder] {
        // OpenDocument reports a failure as true.
        if (Module1::OpenDocument(folder, QString()))
            say(tr("The folder \u201c%1\u201d could not be opened")
                    .arg(QDir::toNativeSeparators(folder)));
    });
}

void ExportNotice::openFile()
{
    if (Module1::OpenDocument(m_filePath, QString()))
        say(tr("\u201c%1\u201d could not be opened").arg(QDir::toNativeSeparators(m_filePath)));
}

void ExportNotice::dismiss()
{
    const bool hadFocus = isAncestorOf(QApplication::focusWidget());
    m_timer.stop();
    hide();
    if (hadFocus && m_focusAfter)
        m_focusAfter->setFocus();
}

void ExportNotice::expire()
{
    // Someone reading it or about to press a button: ask again later.
    if (underMouse() || isAncestorOf(QApplication::focusWidget())) {
        m_timer.start();
        return;
    }
    hide();
}

void ExportNotice::place()
{
    const QPoint topLeft = m_anchor->mapTo(parentWidget(), QPoint(0, 0));
    const int width = std::max(0, m_anchor->width() - 2 * Margin - ScrollBarRoom);
    setGeometry(topLeft.x() + Margin,
                topLeft.y() + std::max(0, m_anchor->height() - Height - Margin), width, Height);
}

void ExportNotice::layOut()
{
    const int buttonHeight = Height - 2 * Margin;
    const int closeLeft = width() - Margin - buttonHeight;
    m_close->setGeometry(closeLeft, Margin, buttonHeight, buttonHeight);
    const int actionWidth = m_action->isHidden() ? 0 : m_action->sizeHint().width();
    const int actionLeft = closeLeft - Margin / 2 - actionWidth;
    m_action->setGeometry(actionLeft, Margin, actionWidth, buttonHeight);
    const int openFileWidth = m_openFile->isHidden() ? 0 : m_openFile->sizeHint().width();
    const int openFileLeft = actionLeft - (actionWidth ? Margin / 2 : 0) - openFileWidth;
    m_openFile->setGeometry(openFileLeft, Margin, openFileWidth, buttonHeight);
    const int openWidth = m_open->isHidden() ? 0 : m_open->sizeHint().width();
    const int openLeft = openFileLeft - Margin / 2 - openWidth;
    m_open->setGeometry(openLeft, Margin, openWidth, buttonHeight);
    // A long name is cut short; the tooltip has the whole path.
    const int textWidth = std::max(0, openLeft - 2 * Margin);
    m_text->setGeometry(2 * Margin, 0, textWidth, Height);
    m_text->setText(m_text->fontMetrics().elidedText(m_message, Qt::ElideMiddle, textWidth));
}

bool ExportNotice::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize)
        place();
    return QFrame::eventFilter(watched, event);
}

void ExportNotice::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        dismiss();
        return;
    }
    QFrame::keyPressEvent(event);
}

void ExportNotice::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    layOut();
}
