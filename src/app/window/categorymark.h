#pragma once

#include <QObject>
#include <QString>

class QWebEngineView;

// Marks, on the category page, the links to the template the preview shows,
// so the user sees which thumbnail is previewed apart from the one under the
// pointer or the keyboard focus. The mark follows every choice and is set
// again on every page the pane loads.
class CategoryMark : public QObject
{
    Q_OBJECT

public:
    // `pane` shows the category pages; the mark lives as long as it.
    explicit CategoryMark(QWebEngineView* pane);

    // Moves the mark to the links of `name`; an empty name marks nothing.
    void setTemplate(const QString& name);

    // Takes `name` for the pages the pane loads from now on, and moves the
    // mark on the page shown at applyHeld(): the script runs in a renderer of
    // its own and would compete with the preview's load for the processor.
    void holdTemplate(const QString& name);
    void applyHeld();

private:
    void apply();

    QWebEngineView* m_pane;
    QString m_function; // the marking script, a function of the name
    QString m_name;
    bool m_held = false;
};
