#pragma once

// Reads from and acts on a page in a browser pane, from the isolated world, so
// it works with the page's own scripts switched off.

#include "enginewait.h"

#include <QTest>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <functional>

// Waits until `done` holds; false when it still does not after `timeoutMs`.
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs = 20000)
{
    return EngineWait::until(done, timeoutMs);
}

inline QVariant evaluate(QWebEngineView* view, const QString& script)
{
    return EngineWait::evaluate(view->page(), script);
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
