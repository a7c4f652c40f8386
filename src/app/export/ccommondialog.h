#pragma once

#include "core/platform/status.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

class GCommonDialog;

// The Save As dialog as the exports drive it: settings in, one modal run,
// the chosen file out. One object serves one export.
class cCommonDialog
{
public:
    // Flag bits that count, in the values the exports pass.
    static constexpr int OverwritePrompt = 2;
    static constexpr int HideReadOnly = 4;

    cCommonDialog();
    ~cCommonDialog();
    cCommonDialog(const cCommonDialog&) = delete;
    cCommonDialog& operator=(const cCommonDialog&) = delete;

    QString DialogTitle() const { return m_dialogTitle; }
    void setDialogTitle(const QString& title) { m_dialogTitle = title; }
    // Appended, after a dot, to a name typed without an extension.
    QString DefaultExt() const { return m_defaultExt; }
    void setDefaultExt(const QString& extension) { m_defaultExt = extension; }
    // Entries separated by "|" or ":", each a display text and a pattern
    // ("Pages|*.htm;*.html"); an entry with no pattern filters by its text.
    // Out: the chosen entry as the dialog showed it, or empty on cancel.
    QString Filter() const { return m_filter; }
    void setFilter(const QString& filter) { m_filter = filter; }
    int FilterIndex() const { return m_filterIndex; }
    void setFilterIndex(int index) { m_filterIndex = index; }
    // In: the proposed name. Out: the chosen full path, or empty on cancel.
    QString Filename() const { return m_filename; }
    void setFilename(const QString& name) { m_filename = name; }
    QString FileTitle() const { return m_fileTitle; }
    QString InitDir() const { return m_initDir; }
    void setInitDir(const QString& folder) { m_initDir = folder; }
    bool CancelError() const { return m_cancelError; }
    void setCancelError(bool on) { m_cancelError = on; }
    int flags() const { return m_flags; }
    void setFlags(int flags) { m_flags = flags; }
    // The window the dialog is modal to.
    QWidget* Owner() const { return m_owner; }
    void setOwner(QWidget* owner) { m_owner = owner; }

    // Shows the dialog and returns when it closes. A cancel fails only when
    // CancelError is set; either way Filename is then empty.
    Status ShowSave();

private:
    GCommonDialog& lowerLayer();

    QString m_dialogTitle;
    QString m_defaultExt;
    QString m_filter;
    int m_filterIndex = 1;
    QString m_filename;
    QString m_fileTitle;
    QString m_initDir;
    bool m_cancelError = false;
    int m_flags = 0;
    QPointer<QWidget> m_owner;
    std::unique_ptr<GCommonDialog> m_lower;
};
