#pragma once

#include "core/platform/status.h"

#include <QString>
#include <QVariant>

// One read or one write of a per-user setting. The key path keeps the registry's
// shape ("Software\" + application + "\" + section, a backslash naming a deeper
// key); on this platform the application key is the file
// <config folder>/<application>.ini and the rest of the path is its group.
class cRegistry
{
public:
    enum : quint32 { HKEY_CURRENT_USER = 0x80000001u };
    enum : quint32 {
        REG_SZ = 1,
        REG_EXPAND_SZ = 2,
        REG_DWORD = 4,
        REG_DWORD_BIG_ENDIAN = 5,
        REG_MULTI_SZ = 7,
    };

    quint32 ClassKey = HKEY_CURRENT_USER;
    QString SectionKey;
    QString ValueKey;
    // Before a write it chooses between text (REG_SZ, switched to REG_EXPAND_SZ by
    // the "%...%" rule), a number (REG_DWORD) and a list (REG_MULTI_SZ); a read
    // replaces it with the type found.
    quint32 ValueType = REG_SZ;
    QVariant Default;

    // The stored value (text or quint32), or Default when it is missing or cannot be read.
    QVariant value();
    // False when nothing was stored; the previous file is then untouched. A
    // file that is not in the format is renamed aside (see setAsidePath())
    // and a fresh one holds the value.
    bool setValue(const QVariant& value);
    // Where the last setValue() put a damaged file, or empty.
    const QString& setAsidePath() const { return m_setAside; }

    // Why the last value() or setValue() fell back or failed; success for a plain missing value.
    const Status& status() const { return m_status; }

    // The file that holds SectionKey, or empty when SectionKey names no per-user key.
    QString filePath() const;

    // A "%", then at least one character, then another "%".
    static bool isExpandable(const QString& text);
    // Replaces each %NAME% of a set environment variable; other text stays as it is.
    static QString expandEnvironment(const QString& text);

    // Test seam: runs once the new content is complete in the temporary file and
    // before it replaces the old file. Returning false abandons the write there.
    using ReplaceHook = bool (*)(const QString& path);
    static void setReplaceHook(ReplaceHook hook);

private:
    Status m_status = Status::success();
    QString m_setAside;
};
