#pragma once

#include "core/gallery/check/sendcheck.h"

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The report of the Check view: a verdict per section and, under it, each
// finding in plain words. It lies over the category page while the view is
// on, so that the preview beside it stays in sight for the findings chosen
// here. Every text of a finding may quote the template and is shown as plain
// text.
class CheckPanel : public QWidget
{
    Q_OBJECT

public:
    explicit CheckPanel(QWidget* parent = nullptr);

    // Shows `report` for `name`; the spam section says it is still being
    // scored while `spamRunning`.
    void showReport(const QString& name, const SendCheck::Report& report, bool spamRunning);
    // Before any report: what is being done, or why there is nothing.
    void showMessage(const QString& text);
    // A line under the report: what a choice or the link check did.
    void setStatus(const QString& text);
    QString status() const;
    void setLinkCheckRunning(bool running);

    QTreeWidget* tree() const { return m_tree; }

signals:
    void findingChosen(const SendCheck::Locator& where);
    void linkCheckAsked();

private:
    void choose(QTreeWidgetItem* item);

    QLabel* m_title = nullptr;
    QTreeWidget* m_tree = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_links = nullptr;
    QLabel* m_status = nullptr;
};
