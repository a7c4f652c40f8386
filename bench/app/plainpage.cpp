// Shows one finished page in a bare engine view of the gallery's size and
// says so on stdout when it has loaded: the reference for the gallery's start.

#include <QApplication>
#include <QUrl>
#include <QWebEngineView>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QWebEngineView view;
    view.resize(1317, 675);
    QObject::connect(
        &view, &QWebEngineView::loadFinished, &app,
        [](bool ok) {
            std::fputs("page loaded\n", stdout);
            std::fflush(stdout);
            QCoreApplication::exit(ok ? 0 : 1);
        },
        Qt::QueuedConnection);
    view.show();
    view.load(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[1])));
    return app.exec();
}
