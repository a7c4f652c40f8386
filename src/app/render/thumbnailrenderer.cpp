#include "thumbnailrenderer.h"

#include "core/gallery/library/templatestaging.h"
#include "core/platform/fileio.h"
#include "enginewait.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineSettings>

ThumbnailRenderer::ThumbnailRenderer()
{
    m_view.setAttribute(Qt::WA_DontShowOnScreen);
    // Drawn beside the window, it must not take the keyboard from it.
    m_view.setAttribute(Qt::WA_ShowWithoutActivating);
    // Never the reason the program keeps running once its windows are closed.
    m_view.setAttribute(Qt::WA_QuitOnClose, false);
    m_view.page()->settings()->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    // The engine puts its drawing surface into the view at the first load;
    // done to a view already shown, that makes the toolkit show the window
    // anew, this time on screen, as a second window of the program. A load
    // before show() gives the view its surface while it is still hidden.
    QEventLoop loop;
    QObject::connect(&m_view, &QWebEngineView::loadFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    m_view.setHtml(QString());
    loop.exec();
    m_view.show();
}

bool ThumbnailRenderer::load(const QString& page, int width, int height)
{
    m_view.resize(width, height);
    m_view.setLocalRoot(QFileInfo(page).path());
    bool loaded = false;
    QEventLoop loop;
    const QMetaObject::Connection done =
        QObject::connect(&m_view, &QWebEngineView::loadFinished, &loop, [&](bool ok) {
            loaded = ok;
            loop.quit();
        });
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    m_view.Navigate2(page);
    loop.exec();
    QObject::disconnect(done);
    return loaded;
}

QVariant ThumbnailRenderer::evaluate(const QString& script)
{
    return EngineWait::evaluate(m_view.page(), script);
}

QImage ThumbnailRenderer::render(const QString& page, int width, int height)
{
    load(page, width, height > 0 ? height : 800);
    if (height == 0) {
        const QVariant full = evaluate(QStringLiteral("document.documentElement.scrollHeight"));
        m_view.resize(width, full.isValid() ? full.toInt() : 800);
    }
    EngineWait::settle(700); // let the compositor paint the decoded images
    return m_view.grab().toImage();
}

Result<QString> ThumbnailRenderer::stageTemplate(const QString& libraryPath, const QString& folder)
{
    const Result<TemplateStaging::DecodedTemplate> decoded =
        TemplateStaging::decodeTemplateFile(libraryPath);
    if (!decoded)
        return decoded.status();
    const Result<TemplateStaging::StagedPage> staged = TemplateStaging::stageDecoded(
        *decoded, folder + QLatin1String("/msg"), QStringLiteral("msg.html"));
    if (!staged)
        return staged.status();
    if (staged->html.isEmpty())
        return Status::failure(
            QDir::toNativeSeparators(libraryPath) +
            QCoreApplication::translate("ThumbnailRenderer", ": there is no page to draw: ") +
            staged->problem);
    return staged->page;
}

Result<QImage> ThumbnailRenderer::renderTemplate(const QString& libraryPath, int width, int height)
{
    QTemporaryDir work;
    if (!work.isValid())
        return Status::failure(QDir::toNativeSeparators(work.path()) +
                               QCoreApplication::translate(
                                   "ThumbnailRenderer", ": no working folder for the thumbnail"));
    const Result<QString> page = stageTemplate(libraryPath, work.path());
    if (!page)
        return page.status();
    return render(*page, width, height);
}

Result<QImage> ThumbnailRenderer::renderTemplate(const QString& libraryPath)
{
    const Result<QImage> shot =
        renderTemplate(libraryPath, TemplateWidth, TemplateWidth * ThumbHeight / ThumbWidth);
    if (!shot)
        return shot;
    return shot->scaled(ThumbWidth, ThumbHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

Status ThumbnailRenderer::writeThumbnail(const QString& libraryPath, const QString& target)
{
    const Result<QImage> thumb = renderTemplate(libraryPath);
    if (!thumb)
        return thumb.status();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!thumb->save(&buffer, "PNG"))
        return Status::failure(
            QDir::toNativeSeparators(target) +
            QCoreApplication::translate("ThumbnailRenderer", ": the thumbnail cannot be encoded"));
    QDir().mkpath(QFileInfo(target).path());
    return FileIo::writeAtomically(target, png);
}
