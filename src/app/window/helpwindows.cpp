#include "helpwindows.h"

#include "appfonts.h"
#include "core/platform/opener.h"
#include "dialogstyle.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QUrl>
#include <QVBoxLayout>

static void initHelpResources()
{
    Q_INIT_RESOURCE(help);
}

namespace {

const QString GuidePath = QStringLiteral(":/help/user-guide.md");

// A heading's anchor as the guide's own links write it: lower case, blanks
// as hyphens, punctuation dropped.
QString slugOf(const QString& heading)
{
    static const QRegularExpression dropped(QStringLiteral("[^\\w\\- ]"),
                                            QRegularExpression::UseUnicodePropertiesOption);
    QString slug = heading.trimmed().toLower();
    slug.remove(dropped);
    slug.replace(QLatin1Char(' '), QLatin1Char('-'));
    return slug;
}

// Markdown headings carry no anchors in a text document; the guide's table
// of contents needs them.
void anchorHeadings(QTextDocument* document)
{
    QHash<QString, int> seen;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 0 || block.text().isEmpty())
            continue;
        QString slug = slugOf(block.text());
        const int earlier = seen.value(slug, 0);
        seen.insert(slug, earlier + 1);
        if (earlier > 0)
            slug += QStringLiteral("-%1").arg(earlier);
        QTextCursor cursor(block);
        cursor.select(QTextCursor::BlockUnderCursor);
        QTextCharFormat anchor;
        anchor.setAnchor(true);
        anchor.setAnchorNames({slug});
        cursor.mergeCharFormat(anchor);
    }
}

// The screenshots are as wide as the window they show; the guide shows them
// at a width that leaves room to read beside no scroll bar.
void fitImages(QTextDocument* document, int width)
{
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat image = fragment.charFormat().toImageFormat();
            const QImage picture(QStringLiteral(":/help/") + image.name());
            if (picture.isNull() || picture.width() <= width)
                continue;
            image.setWidth(width);
            image.setHeight(qreal(picture.height()) * width / picture.width());
            QTextCursor cursor(document);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(image);
        }
    }
}

QString withoutMnemonic(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    if (text.endsWith(QChar(0x2026)))
        text.chop(1);
    return text;
}

} // namespace

namespace HelpWindows {

QList<Key> keysOf(const QWidget& window)
{
    QList<Key> keys;
    const auto add = [&keys](const QList<QKeySequence>& sequences, const QString& command) {
        if (sequences.isEmpty())
            return;
        // The settings notice shares the export notice's keys.
        for (const Key& key : keys) {
            if (key.keys == sequences && key.command == command)
                return;
        }
        keys.append({sequences, command});
    };
    // The window's own keys first, then those of its parts (the view bar,
    // the notices), each in the order they were made.
    for (const Qt::FindChildOptions options :
         {Qt::FindDirectChildrenOnly, Qt::FindChildrenRecursively}) {
        for (const QShortcut* shortcut : window.findChildren<QShortcut*>(QString(), options))
            add(shortcut->keys(), shortcut->whatsThis());
        for (const QAction* action : window.findChildren<QAction*>(QString(), options)) {
            add(action->shortcuts(), action->whatsThis().isEmpty() ? withoutMnemonic(action->text())
                                                                   : action->whatsThis());
        }
    }
    return keys;
}

QString keysText(const QList<QKeySequence>& keys)
{
    QStringList texts;
    for (const QKeySequence& key : keys)
        texts << key.toString(QKeySequence::NativeText);
    //: Between two keys that do the same, in the keyboard-shortcut overview: "F10 or Ctrl+M".
    return texts.join(QCoreApplication::translate("HelpWindows", " or "));
}

} // namespace HelpWindows

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent)
{
    initHelpResources();
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(tr("Quillery user guide"));
    setAccessibleName(tr("Quillery user guide"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(860, 680);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpText"));
    m_browser->setAccessibleName(tr("User guide"));
    // Every link is decided here: nothing is fetched, no other file opens.
    m_browser->setOpenLinks(false);
    m_browser->setOpenExternalLinks(false);
    m_browser->setSource(QUrl(QStringLiteral("qrc") + GuidePath), QTextDocument::MarkdownResource);
    anchorHeadings(m_browser->document());
    fitImages(m_browser->document(), 760);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpWindow::follow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(tr("Close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_browser);
    layout->addWidget(buttons);
    m_browser->setFocus();
    DialogStyle::apply(this);
}

void HelpWindow::follow(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    if (scheme == u"http" || scheme == u"https") {
        Module1::OpenDocument(url.toString(), QString());
        return;
    }
    // A place in the guide itself: "#heading", or the guide's own name with one.
    const QString path = url.path();
    if (url.hasFragment() && scheme.isEmpty() && url.host().isEmpty() &&
        (path.isEmpty() || path == u"user-guide.md")) {
        m_browser->scrollToAnchor(url.fragment(QUrl::FullyDecoded));
        return;
    }
    if (scheme == u"qrc" && url.hasFragment() && path == GuidePath.mid(1)) {
        m_browser->scrollToAnchor(url.fragment(QUrl::FullyDecoded));
        return;
    }
    // Anything else (another document, a file, a program's scheme) does nothing.
}

ShortcutOverview::ShortcutOverview(const QWidget& window, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("shortcutOverview"));
    setWindowTitle(tr("Keyboard shortcuts"));
    setAccessibleName(tr("Keyboard shortcuts"));
    setAttribute(Qt::WA_DeleteOnClose);

    const QList<HelpWindows::Key> keys = HelpWindows::keysOf(window);
    m_table = new QTableWidget(int(keys.size()), 2, this);
    m_table->setObjectName(QStringLiteral("shortcutTable"));
    m_table->setAccessibleName(tr("Keyboard shortcuts"));
    m_table->setHorizontalHeaderLabels({tr("Keys"), tr("Command")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setTabKeyNavigation(false);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < keys.size(); ++row) {
        m_table->setItem(row, 0, new QTableWidgetItem(HelpWindows::keysText(keys[row].keys)));
        m_table->setItem(row, 1, new QTableWidgetItem(keys[row].command));
    }
    m_table->resizeColumnToContents(0);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(tr("Close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addWidget(buttons);
    resize(680, 620);
    m_table->setFocus();
    DialogStyle::apply(this);
}

AboutBox::AboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(tr("About Quillery"));
    setAccessibleName(tr("About Quillery"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_text = new QTextBrowser(this);
    m_text->setObjectName(QStringLiteral("aboutText"));
    m_text->setAccessibleName(tr("About Quillery"));
    m_text->setOpenLinks(false);
    const auto item = [](const QString& name, const QString& licence) {
        return QStringLiteral("<li><b>%1</b>: %2</li>")
            .arg(name.toHtmlEscaped(), licence.toHtmlEscaped());
    };
    QString html = QStringLiteral("<h2>Quillery 1</h2><p>") +
                   tr("Version %1").arg(QStringLiteral(QUILLERY_VERSION)).toHtmlEscaped() +
                   QStringLiteral("</p><p>") +
                   tr("A gallery of ready-made e-mail newsletter templates.").toHtmlEscaped() +
                   QStringLiteral("</p><p>") +
                   tr("Quillery and its template library are proprietary software: all rights "
                      "reserved.")
                       .toHtmlEscaped() +
                   QStringLiteral("</p><h3>") + tr("Software it uses").toHtmlEscaped() +
                   QStringLiteral("</h3><ul>");
    html += item(QStringLiteral("Qt %1").arg(QString::fromLatin1(qVersion())),
                 tr("GNU Lesser General Public License, version 3 (LGPL-3), or GNU General "
                    "Public License, version 2 (GPL-2)"));
    html += item(tr("Qt WebEngine, with the Chromium code it contains"),
                 tr("LGPL-3 or GPL-2; the Chromium code under BSD-style licences"));
    html += item(QStringLiteral("GMime 3"),
                 tr("GNU Lesser General Public License, version 2.1 or later (LGPL-2.1+)"));
    html += item(QStringLiteral("libzip"), tr("BSD 3-clause licence"));
    html += QStringLiteral("</ul><h3>") + tr("Fonts").toHtmlEscaped() + QStringLiteral("</h3><ul>");
    html += item(tr("Tahoma from Wine (the window's font)"),
                 tr("GNU Lesser General Public License, version 2.1 or later (LGPL-2.1+)"));
    html += item(tr("Liberation 2, Carlito, Caladea (templates)"),
                 tr("SIL Open Font License, version 1.1 (OFL-1.1)"));
    html += item(tr("URW base35 (templates)"),
                 tr("GNU Affero General Public License, version 3, with a font exception"));
    html += item(tr("DejaVu (templates)"), tr("the Bitstream Vera font licence"));
    html += QStringLiteral("</ul><p>") +
            tr("The fonts are those of Debian's packages fonts-wine, fonts-liberation2, "
               "fonts-crosextra-carlito, fonts-crosextra-caladea, fonts-urw-base35 and "
               "fonts-dejavu-core; each package's copyright file in /usr/share/doc/ holds the "
               "full licence.")
                .toHtmlEscaped() +
            QStringLiteral("</p>");
    m_text->setHtml(html);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(tr("Close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(buttons);
    resize(560, 520);
    m_text->setFocus();
    DialogStyle::apply(this);
}

QString AboutBox::text() const
{
    return m_text->toPlainText();
}
