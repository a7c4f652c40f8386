#pragma once

#include "app/galleryfixture.h"
#include "app/pagetools.h"
#include "app/windowcontrols.h"
#include "browserpane.h"
#include "form1.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// A window on two categories, open and with its first preview shown, the
// keyboard on the category page.
struct OpenWindow
{
    GalleryFixture fixture;
    std::unique_ptr<Form1> form;
    QStringList shown;

    void open()
    {
        fixture.addCategory("Letters.html", {"Autumn", "Winter"});
        fixture.addCategory("Travel.html", {"Trip"});
        for (const char* name : {"Autumn", "Winter", "Trip"})
            fixture.addTemplate(QString::fromLatin1(name));
        form = std::make_unique<Form1>(fixture.appFolder());
        QObject::connect(form.get(), &Form1::previewShown, form.get(),
                         [this](const QString& name) { shown << name; });
        auto* page = control<BrowserPane>(*form, "WebBrowser1");
        QSignalSpy pageLoaded(page, &BrowserPane::DocumentComplete);
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QVERIFY(waitUntil([this] { return !shown.isEmpty(); }));
        QVERIFY(pageLoaded.count() > 0 || pageLoaded.wait(20000));
        page->setFocus();
        QVERIFY(waitUntil([page] { return QApplication::focusWidget() == page->focusProxy(); }));
    }
    void press(QKeyCombination key)
    {
        QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
    }
};
