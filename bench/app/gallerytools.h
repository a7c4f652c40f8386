#pragma once

// Drives the running gallery from a benchmark: waits on its signals without
// starving the engine, reads its panes, finds its thumbnails.

#include "browserpane.h"
#include "form1.h"

#include <QEventLoop>
#include <QFile>
#include <QObject>
#include <QPoint>
#include <QTemporaryDir>
#include <QTimer>
#include <QVariant>
#include <QWebEngineScript>
#include <QWebEngineView>

// Runs the event loop until `signal` of `sender` comes or 30 s have passed.
template <typename Sender, typename Signal> bool waitFor(Sender* sender, Signal signal)
{
    QEventLoop loop;
    bool came = false;
    auto connection = QObject::connect(sender, signal, &loop, [&] {
        came = true;
        loop.quit();
    });
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(connection);
    return came;
}

inline QVariant evaluate(QWebEngineView* view, const QString& script)
{
    QVariant result;
    QEventLoop loop;
    view->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                                [&](const QVariant& value) {
                                    result = value;
                                    loop.quit();
                                });
    loop.exec();
    return result;
}

// The centre of the thumbnail of `name` on the category page, or (-1, -1).
inline QPoint thumbnailOf(Form1& form, const QString& name)
{
    const QVariantList xy =
        evaluate(form.findChild<BrowserPane*>(QStringLiteral("WebBrowser1")),
                 QStringLiteral("(function(){for(const a of document.querySelectorAll('a'))"
                                "{if(decodeURIComponent(a.hash.slice(1))===%1){"
                                "const r=a.getBoundingClientRect();"
                                "return [r.left+r.width/2,r.top+r.height/2];}}return [];})()")
                     .arg("'" + QString(name).replace("'", "\\'") + "'"))
            .toList();
    return xy.size() == 2 ? QPoint(int(xy[0].toDouble()), int(xy[1].toDouble())) : QPoint(-1, -1);
}

// The gallery fits itself to the screen: the offscreen platform's own 800x600
// one would make its panes smaller than a desktop's. Call before the
// application is made; the screen's description goes into `folder`.
inline void useDesktopScreen(const QTemporaryDir& folder)
{
    QFile screens(folder.filePath(QStringLiteral("screens.json")));
    if (screens.open(QIODevice::WriteOnly))
        screens.write(R"({"screens": [{"name": "desktop", "width": 1400, "height": 900}]})");
    screens.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
}

// A desktop-sized offscreen screen, the engine as the tests run it, and
// settings and temp files of the benchmark's own in `folder`. Call before the
// application is made.
inline void useBenchEnvironment(const QTemporaryDir& folder)
{
    useDesktopScreen(folder);
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-logging");
    qputenv("QT_LOGGING_RULES", "qt.webenginecontext.debug=false");
    qputenv("XDG_CONFIG_HOME", folder.path().toLocal8Bit());
    qputenv("TMPDIR", folder.path().toLocal8Bit());
}
