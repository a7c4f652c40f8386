#pragma once

// Reads from and acts on a page in a browser pane, from the isolated world, so
// it works with the page's own scripts switched off.

#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <functional>

// Waits until `done` holds, polling, without qWait, which would starve the
// engine; false when it still does not hold after `timeoutMs`.
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs = 20000)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    poll.start(20);
    if (!done())
        loop.exec();
    return done();
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
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    return result;
}

// The centre of the element with this id, in the view's coordinates.
inline QPoint centreOf(QWebEngineView* view, const QString& id)
{
    const QVariantList xy =
        evaluate(view, QStringLiteral("(function(){var r=document.getElementById(%1)"
                                      ".getBoundingClientRect();return [r.left+r.width/2,"
                                      "r.top+r.height/2];})()")
                           .arg(QLatin1Char('\'') + id + QLatin1Char('\'')))
            .toList();
    return xy.size() == 2 ? QPoint(int(xy[0].toDouble()), int(xy[1].toDouble())) : QPoint(-1, -1);
}

inline void clickElement(QWebEngineView* view, const QString& id)
{
    const QPoint point = centreOf(view, id);
    QVERIFY2(point.x() >= 0, qPrintable(QStringLiteral("no element %1").arg(id)));
    QTest::mouseClick(view->focusProxy(), Qt::LeftButton, {}, point);
}
