// The gallery on the library it ships with: every category page opens, every
// thumbnail click previews its template (names with blanks and accents too),
// and every preview shows all of its images after its files are removed.

#include "app/galleryfixture.h"
#include "app/pagetools.h"
#include "app/waits.h"
#include "app/windowcontrols.h"

#include "browserpane.h"
#include "core/gallery/library/templatelibrary.h"
#include "core/platform/fileio.h"
#include "form1.h"

#include <QComboBox>
#include <QDirIterator>
#include <QSignalSpy>
#include <QTest>

namespace {

QString builtLibrary()
{
    return QFileInfo(QStringLiteral(QUILLERY_TOOL)).absolutePath();
}

// Waits until the left pane has finished loading the page at `path`.
bool waitForPage(Form1& form, const QString& path)
{
    const QString script = QStringLiteral("document.readyState === 'complete' ? "
                                          "decodeURIComponent(location.pathname) : ''");
    return waitUntil([&] {
        return evaluate(control<BrowserPane>(form, "WebBrowser1"), script).toString() == path;
    });
}

// Clicks the link whose href is "#" + name, scrolled into view first.
void clickLink(Form1& form, const QString& name)
{
    const QString script =
        QStringLiteral("(function(){var a=Array.from(document.querySelectorAll('a')).find("
                       "function(e){return e.getAttribute('href')==='#'+%1;});if(!a)return [];"
                       "a.scrollIntoView({block:'center'});var r=a.getBoundingClientRect();"
                       "return [r.left+r.width/2,r.top+r.height/2];})()")
            .arg(QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\\\"")) +
                 QLatin1Char('"'));
    const QVariantList xy = evaluate(control<BrowserPane>(form, "WebBrowser1"), script).toList();
    QVERIFY2(xy.size() == 2, qPrintable(QStringLiteral("no link to %1").arg(name)));
    QTest::mouseClick(control<BrowserPane>(form, "WebBrowser1")->focusProxy(), Qt::LeftButton, {},
                      QPoint(int(xy[0].toDouble()), int(xy[1].toDouble())));
}

} // namespace

class TestShippedLibrary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyThumbnailPreviewsItsTemplate()
    {
        GalleryFixture fixture;
        QDirIterator files(
            builtLibrary(),
            {QStringLiteral("*.html"), QStringLiteral("*.png"), QStringLiteral("*.dat")},
            QDir::Files, QDirIterator::Subdirectories);
        int copied = 0;
        while (files.hasNext()) {
            const QString path = files.next();
            const QString relative = QDir(builtLibrary()).relativeFilePath(path);
            if (!relative.startsWith(QLatin1String("categories/")) &&
                !relative.startsWith(QLatin1String("templates/")))
                continue;
            fixture.addFile(relative, FileIo::readAll(path).valueOr(QByteArray()));
            ++copied;
        }
        QVERIFY(copied > 60);

        Form1 form(fixture.appFolder());
        QSignalSpy shown(&form, &Form1::previewShown);
        form.show();
        const QStringList categories = TemplateLibrary::categoryNames(fixture.appFolder());
        QCOMPARE(control<QComboBox>(form, "cboCategory")->count(), categories.size());
        QSet<QString> previewed;
        for (int i = 0; i < categories.size(); ++i) {
            if (i > 0) {
                control<QComboBox>(form, "cboCategory")->setCurrentIndex(i);
                Q_EMIT control<QComboBox>(form, "cboCategory")->activated(i);
            }
            const QString page =
                TemplateLibrary::categoryPagePath(fixture.appFolder(), categories[i]);
            QVERIFY2(waitForPreview(shown, TemplateLibrary::GetFirstLink(page)), qPrintable(page));
            QVERIFY2(waitForPage(form, page), qPrintable(page));

            const QStringList names =
                evaluate(
                    control<BrowserPane>(form, "WebBrowser1"),
                    QStringLiteral(
                        "Array.from(document.querySelectorAll('a')).map("
                        "function(a){return a.getAttribute('href');}).filter("
                        "function(h){return h&&h[0]==='#';}).map(function(h){return h.slice(1);})"))
                    .toStringList();
            QVERIFY(names.size() >= 5);
            for (const QString& name : names) {
                clickLink(form, name);
                QVERIFY2(waitForPreview(shown, name), qPrintable(name));
                QCOMPARE(form.currentTemplate(), name);
                const QVariantList images =
                    evaluate(
                        control<BrowserPane>(form, "WebBrowser2"),
                        QStringLiteral("[document.images.length, Array.from(document.images).every("
                                       "function(i){return i.complete&&i.naturalWidth>0;})]"))
                        .toList();
                QVERIFY2(images.size() == 2 && images[0].toInt() >= 2 && images[1].toBool(),
                         qPrintable(name + QLatin1String(": not every image is shown")));
                previewed.insert(name);
            }
        }
        QVERIFY2(previewed.contains(QStringLiteral("Café Menu")), "a name with an accent");
        QVERIFY2(previewed.size() >= 30, qPrintable(QString::number(previewed.size())));
    }
};

QTEST_MAIN(TestShippedLibrary)
#include "tst_shippedlibrary.moc"
