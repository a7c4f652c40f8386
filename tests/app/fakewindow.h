#pragma once

// A stand-in for the gallery's window, for trying one feature of it alone:
// it answers what the feature asks and records what the feature has it do.

#include "browserpane.h"
#include "gallerywindow.h"

#include <QStringList>
#include <QWebEngineProfile>
#include <QWidget>

class FakeWindow : public QWidget, public GalleryWindow
{
public:
    FakeWindow(const QString& shippedFolder, const QString& userFolder)
        : m_libraries(shippedFolder, userFolder), m_profile(new QWebEngineProfile(this))
    {
        categoryPane = new BrowserPane(m_profile, BrowserPane::Role::CategoryPage, this);
        categoryPane->setGeometry(0, 0, 400, 300);
        resize(800, 600);
    }
    // Pages must be gone before their profile.
    ~FakeWindow() override { delete categoryPane; }

    QString currentTemplate() const override { return shownTemplate; }
    const LibrarySet& libraries() const override { return m_libraries; }
    QString currentCategory() const override { return category; }
    QString currentLibrary() const override
    {
        const QString folder = m_libraries.folderOf(category);
        return folder.isEmpty() ? m_libraries.shippedFolder() : folder;
    }
    QString templateLibrary() const override
    {
        return m_libraries.templateFolder(shownTemplate, category);
    }
    void SelectTemplate(const QString& name) override
    {
        shownTemplate = name;
        selected << name;
    }
    void showCategory(const QString& name) override
    {
        category = name;
        shownCategories << name;
    }
    void announce(const QString& text) override { announced << text; }

    BrowserPane* categoryPane = nullptr;
    QString shownTemplate;
    QString category;
    QStringList selected;
    QStringList shownCategories;
    QStringList announced;

private:
    LibrarySet m_libraries;
    QWebEngineProfile* m_profile;
};
