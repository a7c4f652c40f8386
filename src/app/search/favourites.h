#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

class LibrarySet;

// The templates the user marked as favourites, by name, kept in the settings
// across restarts in the order they were marked.
class Favourites : public QObject
{
    Q_OBJECT

public:
    explicit Favourites(QObject* parent = nullptr);

    const QStringList& names() const { return m_names; }
    QSet<QString> nameSet() const { return QSet<QString>(m_names.begin(), m_names.end()); }
    bool contains(const QString& name) const { return m_names.contains(name); }
    // The favourites `libraries` still hold, in order. A name the libraries
    // lost stays stored: a library folder that is missing for a while (an
    // unmounted disk) must not cost the user their favourites.
    QStringList present(const LibrarySet& libraries) const;

    // Each stores the list and says so; none writes when nothing changes.
    void add(const QString& name);
    void remove(const QString& name);
    void rename(const QString& oldName, const QString& newName);

signals:
    void changed();

private:
    void store();

    QStringList m_names;
};
