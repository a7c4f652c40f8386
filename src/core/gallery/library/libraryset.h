#pragma once

#include <QList>
#include <QString>

// The shipped library and the user's own, as the window lists them: the one
// place that knows which library folder a category's pages and templates are in.
class LibrarySet
{
public:
    struct Category
    {
        QString name;   // as the library names it, without any marker the window adds
        QString folder; // the library folder holding its page and templates
        bool own = false;
    };

    LibrarySet(QString shippedFolder, QString userFolder);

    const QString& shippedFolder() const { return m_shippedFolder; }
    const QString& userFolder() const { return m_userFolder; }

    // The shipped categories in listing order, then the user's. A category of
    // the user's that shares a shipped one's name is left out: a name picks one page.
    QList<Category> categories() const;

    // The library folder of `category`: the shipped one wins; empty when neither has it.
    QString folderOf(const QString& category) const;
    bool isOwn(const QString& category) const;

    // The library folder `name` is read from while `category` is shown: the
    // category's own library when it holds the template (a link of its page),
    // else the one that holds it (a search result), the shipped one first.
    QString templateFolder(const QString& name, const QString& category) const;
    // The same for a category whose library folder the caller knows already
    // (from categories()): no listing of the libraries' categories.
    QString templateFolderFor(const QString& name, const QString& categoryFolder) const;

    // Whether a template of that name, in any case, is in either library.
    bool hasTemplate(const QString& name) const;
    // Whether the user's library holds the template file of `name`.
    bool isOwnTemplate(const QString& name) const;

private:
    QString m_shippedFolder;
    QString m_userFolder;
};
