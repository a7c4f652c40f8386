#pragma once

#include "core/brand/brandkit.h"
#include "core/platform/status.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

// The user's brands: one readable JSON file per brand and its logo PNG beside
// it, in one folder. Every file is written atomically; a broken file is
// reported by name and the others still load.
class BrandStore
{
public:
    explicit BrandStore(QString folder = defaultFolder());

    // $XDG_DATA_HOME/quillery/brands, ~/.local/share/quillery/brands by default.
    static QString defaultFolder();
    QString folder() const { return m_folder; }

    struct Loaded
    {
        QList<BrandKit> brands; // sorted by name
        QStringList problems;   // one per file that could not be read, naming it
    };
    Loaded load() const;

    // Validates (brandProblems), draws `logoSource` (PNG/JPEG/SVG) to a PNG
    // beside the brand file when not empty, and writes atomically; sets
    // brand.id for a new brand and brand.logoFile for a new logo. On a failure
    // nothing on disk has changed and `brand` is as it was.
    Status save(BrandKit& brand, const QString& logoSource = {});
    Status remove(const QString& id);

    // The brand file's form, for the tool and the tests.
    static QByteArray toJson(const BrandKit& brand, const QString& logoName);
    // `path` names the file in messages; `folder` is where its logo lies.
    static Result<BrandKit> fromJson(const QByteArray& json, const QString& path,
                                     const QString& folder);

private:
    QString m_folder;
};

namespace BrandLogo {
inline constexpr qint64 MaxFileBytes = 10 * 1024 * 1024;
inline constexpr qint64 MaxPixels = 20'000'000;
// The size the store keeps a logo at, at most: twice the widest slot a
// template gives it, so that the slot can draw it at twice its size.
inline constexpr int MaxStoredWidth = 1200;
inline constexpr int MaxStoredHeight = 600;

// Reads and draws a logo file: PNG or JPEG as it is, SVG only when it holds no
// script, no event handler and no reference outside itself. Refuses a file
// that is not one of those, larger than MaxFileBytes or MaxPixels. The message
// names the path and the reason.
Result<QImage> load(const QString& path);
// What an SVG holds that the local-only rules refuse, or an empty string.
QString svgHazard(const QByteArray& svg);
} // namespace BrandLogo
