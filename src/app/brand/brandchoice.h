#pragma once

#include "core/brand/brandkit.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <optional>

// The user's brands as the window knows them and the one the preview and the
// exports put on templates, when that is switched on. The choice outlives the
// session (SettingKeys::BrandOn, SettingKeys::Brand); the brands are read from
// the brands folder, where a broken file costs only itself. The stored choice
// is written a moment after it changes, off the toggle's path to the page,
// and at the latest when the choice goes.
class BrandChoice : public QObject
{
    Q_OBJECT

public:
    // Reads the stored choice; the brands are read by reload().
    explicit BrandChoice(const QString& folder, QObject* parent = nullptr);
    ~BrandChoice() override;

    QString folder() const { return m_folder; }
    // Reads the brands folder again; what could not be read is in problems().
    void reload();
    const QList<BrandKit>& brands() const { return m_brands; }
    // One line per brand file that could not be read, naming it.
    const QStringList& problems() const { return m_problems; }

    bool isOn() const { return m_on; }
    // The chosen brand's id; the first brand's when the stored one is gone.
    QString chosenId() const;
    // The brand templates wear: none while switched off or without brands.
    std::optional<BrandKit> active() const;
    std::optional<BrandKit> brand(const QString& id) const;

    void setOn(bool on);
    void choose(const QString& id);
    // Writes a changed choice to the settings now rather than a moment later.
    void store();

signals:
    // The brands, the choice or the switch changed.
    void changed();

private:
    QString m_folder;
    QList<BrandKit> m_brands;
    QStringList m_problems;
    bool m_on = false;
    QString m_chosen;
    bool m_onChanged = false;
    bool m_chosenChanged = false;
    QTimer m_storeTimer;
};
