#include "checkpanel.h"

#include "appfonts.h"

#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

using SendCheck::Finding;
using SendCheck::Locator;
using SendCheck::Section;
using SendCheck::Severity;
using SendCheck::Verdict;

namespace {

// Where an item's element is kept: the tag, and its place among those of the tag.
constexpr int TagRole = Qt::UserRole;
constexpr int IndexRole = Qt::UserRole + 1;
constexpr int LineRole = Qt::UserRole + 2;

QString severityWords(Severity severity)
{
    switch (severity) {
    case Severity::Problem:
        return CheckPanel::tr("Problem");
    case Severity::Warning:
        return CheckPanel::tr("Warning");
    case Severity::Note:
        break;
    }
    return CheckPanel::tr("Note");
}

QString verdictWords(const SendCheck::Report& report, Section section, bool running)
{
    if (running)
        return CheckPanel::tr("checking\u2026");
    const Verdict verdict = report.verdict(section);
    QString words = verdict == Verdict::Problems   ? CheckPanel::tr("problems")
                    : verdict == Verdict::Warnings ? CheckPanel::tr("warnings")
                                                   : CheckPanel::tr("passes");
    // A section that did not run all its checks does not pass on them.
    if (!report.complete(section))
        words = verdict == Verdict::Passes ? CheckPanel::tr("not fully checked")
                                           : CheckPanel::tr("%1, not fully checked").arg(words);
    return words;
}

void setWhere(QTreeWidgetItem* item, const Locator& where)
{
    if (!where.isValid())
        return;
    item->setData(0, TagRole, where.tag);
    item->setData(0, IndexRole, where.index);
    item->setData(0, LineRole, where.line);
}

// A finding is read whole: its line wraps to the report's width instead of
// ending in an ellipsis, which would hide what it says.
class WrappingDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem item(option);
        initStyleOption(&item, index);
        const auto* view = qobject_cast<const QTreeView*>(item.widget);
        if (!view)
            return QStyledItemDelegate::sizeHint(option, index);
        int depth = 1;
        for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
            ++depth;
        const int width = std::max(40, view->columnWidth(0) - view->indentation() * depth - 12);
        const QRect text =
            item.fontMetrics.boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap, item.text);
        return QSize(width, text.height() + 4);
    }
};

QTreeWidgetItem* addLine(QTreeWidgetItem* parent, const QString& text)
{
    auto* item = new QTreeWidgetItem(parent, {text});
    item->setToolTip(0, text);
    return item;
}

} // namespace

CheckPanel::CheckPanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("checkPanel"));
    setAccessibleName(tr("Check before sending"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);

    m_title = new QLabel(tr("Check before sending"), this);
    m_title->setObjectName(QStringLiteral("checkTitle"));
    m_title->setTextFormat(Qt::PlainText);
    m_title->setFont(AppFonts::tahoma(13.5));
    m_title->setWordWrap(true);
    layout->addWidget(m_title);

    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("checkReport"));
    m_tree->setAccessibleName(tr("Check report"));
    m_tree->setAccessibleDescription(
        tr("A verdict for each section and its findings; Enter on a finding shows it in the "
           "preview"));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setWordWrap(true);
    m_tree->setUniformRowHeights(false);
    m_tree->header()->setStretchLastSection(true);
    m_tree->setTextElideMode(Qt::ElideNone);
    m_tree->setFocusPolicy(Qt::StrongFocus);
    m_tree->setItemDelegate(new WrappingDelegate(m_tree));
    // A new width wraps the lines anew.
    connect(m_tree->header(), &QHeaderView::sectionResized, m_tree, [this] {
        QMetaObject::invokeMethod(m_tree, &QTreeView::doItemsLayout, Qt::QueuedConnection);
    });
    layout->addWidget(m_tree, 1);
    connect(m_tree, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { choose(item); });
    connect(m_tree, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { choose(item); });

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("checkProgress"));
    m_progress->setAccessibleName(tr("Spam check under way"));
    m_progress->setRange(0, 0);
    m_progress->setTextVisible(false);
    m_progress->setMaximumHeight(8);
    m_progress->hide();
    layout->addWidget(m_progress);

    // The program's one network action says so where it is started.
    m_links = new QPushButton(tr("Check links now (uses the network)"), this);
    m_links->setObjectName(QStringLiteral("checkLinksButton"));
    m_links->setToolTip(tr("Asks each web address of the template's links for its answer: "
                           "the only thing Quillery sends over the network, and only now"));
    m_links->setEnabled(false);
    layout->addWidget(m_links);
    connect(m_links, &QPushButton::clicked, this, &CheckPanel::linkCheckAsked);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("checkStatus"));
    m_status->setTextFormat(Qt::PlainText);
    m_status->setWordWrap(true);
    layout->addWidget(m_status);
}

void CheckPanel::showReport(const QString& name, const SendCheck::Report& report, bool spamRunning)
{
    m_title->setText(tr("Check before sending: %1").arg(name));
    m_progress->setVisible(spamRunning);
    // The same item stays chosen across the update that brings the spam score.
    const QString chosen = m_tree->currentItem() ? m_tree->currentItem()->text(0) : QString();
    m_tree->clear();
    QTreeWidgetItem* current = nullptr;
    for (const Section section : SendCheck::AllSections) {
        const bool running = spamRunning && section == Section::Spam;
        auto* top =
            new QTreeWidgetItem(m_tree, {tr("%1: %2").arg(SendCheck::sectionTitle(section),
                                                          verdictWords(report, section, running))});
        top->setData(0, Qt::AccessibleTextRole, top->text(0));
        if (running) {
            addLine(top, tr("SpamAssassin is scoring the message; this can take up to a "
                            "minute, and the rest of the report is ready meanwhile."));
        } else {
            for (const SendCheck::Gap& gap : report.notChecked) {
                if (gap.section == section)
                    addLine(top, tr("Not checked: %1").arg(gap.what));
            }
        }
        for (const Finding& finding : report.findingsOf(section)) {
            QTreeWidgetItem* item =
                addLine(top, tr("%1: %2").arg(severityWords(finding.severity), finding.text));
            setWhere(item, finding.where);
        }
        if (section == Section::Links) {
            for (const SendCheck::LinkEntry& link : report.links) {
                const QString words =
                    link.text.trimmed().isEmpty() ? tr("(no words)") : link.text.simplified();
                QTreeWidgetItem* item =
                    addLine(top, tr("Link \u201c%1\u201d \u2192 %2").arg(words, link.url));
                setWhere(item, link.where);
            }
        }
        top->setExpanded(report.verdict(section) != Verdict::Passes || !report.complete(section));
        for (int i = 0; i < top->childCount(); ++i) {
            if (!chosen.isEmpty() && top->child(i)->text(0) == chosen)
                current = top->child(i);
        }
        if (!chosen.isEmpty() && top->text(0) == chosen)
            current = top;
    }
    m_tree->setCurrentItem(current ? current : m_tree->topLevelItem(0));
    m_links->setEnabled(!report.links.isEmpty());
}

void CheckPanel::showMessage(const QString& text)
{
    m_tree->clear();
    addLine(m_tree->invisibleRootItem(), text);
    m_progress->hide();
    m_links->setEnabled(false);
}

void CheckPanel::setStatus(const QString& text)
{
    m_status->setText(text);
}

QString CheckPanel::status() const
{
    return m_status->text();
}

void CheckPanel::setLinkCheckRunning(bool running)
{
    m_links->setEnabled(!running);
    m_links->setText(running ? tr("Checking links\u2026")
                             : tr("Check links now (uses the network)"));
}

void CheckPanel::choose(QTreeWidgetItem* item)
{
    if (!item || !item->data(0, IndexRole).isValid())
        return;
    emit findingChosen({item->data(0, TagRole).toString(), item->data(0, IndexRole).toInt(),
                        item->data(0, LineRole).toInt()});
}
