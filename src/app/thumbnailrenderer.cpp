#include "thumbnailrenderer.h"

#include "core/gallery/templatestaging.h"
#include "core/platform/fileio.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineScript>
#include <QWebEngineSettings>

namespace {

void waitFor(QObject* sender, const char* signal, int timeoutMs)
{
    QEventLoop loop;
    QObject::connect(sender, signal, &loop, SLOT(quit()));
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
}

void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

ThumbnailRenderer::ThumbnailRenderer()
{
    m_view.setAttribute(Qt::WA_DontShowOnScreen);
    // Drawn beside the window, it must not take the keyboard from it.
    m_view.setAttribute(Qt::WA_ShowWithoutActivating);
    m_view.page()->settings()->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    m_view.show();
}

QImage ThumbnailRenderer::render(const QString& page, int width, int height)
{
    m_view.resize(width, height > 0 ? height : 800);
    m_view.setLocalRoot(QFileInfo(page).path());
    m_view.Navigate2(page);
    waitFor(&m_view, SIGNAL(loadFinished(bool)), 20000);
    if (height == 0) {
        int full = 800;
        QEventLoop loop;
        // The page's own scripts are off, and with them the main world: measure from ours.
        m_view.page()->runJavaScript(QStringLiteral("document.documentElement.scrollHeight"),
                                     QWebEngineScript::ApplicationWorld,
                                     [&](const QVariant& value) {
                                         full = value.toInt();
                                         loop.quit();
                                     });
        loop.exec();
        m_view.resize(width, full);
    }
    settle(700); // let the compositor paint the decoded images
    return m_view.grab().toImage();
}

Result<QImage> ThumbnailRenderer::renderTemplate(const QString& libraryPath, int width, int height)
{
    QTemporaryDir work;
    if (!work.isValid())
        return Status::failure(QDir::toNativeSeparators(work.path()) +
                               QCoreApplication::translate(
                                   "ThumbnailRenderer", ": no working folder for the thumbnail"));
    const Result<TemplateStaging::DecodedTemplate> decoded =
        TemplateStaging::DecodeTemplateFile(libraryPath);
    if (!decoded)
        return decoded.status();
    const Result<TemplateStaging::StagedPage> staged = TemplateStaging::StageDecoded(
        *decoded, work.filePath(QStringLiteral("msg")), QStringLiteral("msg.html"));
    if (!staged)
        return staged.status();
    if (staged->html.isEmpty())
        return Status::failure(
            QDir::toNativeSeparators(libraryPath) +
            QCoreApplication::translate("ThumbnailRenderer", ": there is no page to draw: ") +
            staged->problem);
    return render(staged->page, width, height);
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
