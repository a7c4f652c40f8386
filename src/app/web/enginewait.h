#pragma once

#include <QString>
#include <QVariant>

#include <functional>

class QWebEnginePage;

// Waiting on the web engine without starving it: QTest::qWait and sleeping
// both hold back the engine's own messages, so a tiny page would take
// seconds. Everything here spins a local event loop instead.
namespace EngineWait {

// Polls until `done` holds; false when it still does not after `timeoutMs`.
bool until(const std::function<bool()>& done, int timeoutMs);

// Lets `ms` pass with events flowing, for the compositor to paint.
void settle(int ms);

// The value of `script` run in the application's isolated world, so it works
// with the page's own scripts off; an invalid QVariant when none came in time.
QVariant evaluate(QWebEnginePage* page, const QString& script, int timeoutMs = 10000);

} // namespace EngineWait
