#include "appidentity.h"

#include <QApplication>
#include <QIcon>

static void initResources()
{
    Q_INIT_RESOURCE(quillery);
}

namespace AppIdentity {

void apply()
{
    initResources();
    QApplication::setApplicationName(ProductName);
    QApplication::setApplicationVersion(QStringLiteral(QUILLERY_VERSION));
    // The name of the desktop entry shipped in dist/, without ".desktop".
    QGuiApplication::setDesktopFileName(QStringLiteral("app.quillery.Quillery"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/quillery/quillery.svg")));
}

} // namespace AppIdentity
