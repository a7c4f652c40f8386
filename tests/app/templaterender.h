#pragma once

// Shared by the render tests: stage a built template as the preview does,
// load it in the engine, and measure what a reader would see.

#include "core/gallery/library/templatestaging.h"
#include "enginewait.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

namespace TemplateRender {

// The library is built beside the library tool.
inline QString libraryFolder()
{
    return QFileInfo(QStringLiteral(QUILLERY_TOOL)).absolutePath();
}

inline QFileInfoList templateFiles()
{
    return QDir(libraryFolder() + QLatin1String("/templates"))
        .entryInfoList({QStringLiteral("*.dat")}, QDir::Files, QDir::Name);
}

// Stages the template into folder/msg as the preview does; returns the
// page's path, or an empty string with the reason in `error`. A shipped
// template must be whole: a page with a problem is refused.
inline QString decodeToPage(const QString& datPath, const QString& folder, QString* error)
{
    const Result<TemplateStaging::DecodedTemplate> decoded =
        TemplateStaging::decodeTemplateFile(datPath);
    const Result<TemplateStaging::StagedPage> staged =
        decoded ? TemplateStaging::stageDecoded(*decoded, folder + QLatin1String("/msg"),
                                                QStringLiteral("msg.html"))
                : decoded.status();
    if (!staged) {
        *error = staged.status().message();
        return {};
    }
    if (!staged->problem.isEmpty()) {
        *error = staged->problem;
        return {};
    }
    return staged->page;
}

// What the page shows: its size, its images, its structure, and every piece
// of visible text whose colour has a contrast below 4.5:1 with the background
// painted behind it.
inline const char* const Measure = R"js(
(() => {
  const rgb = s => { const m = s.match(/rgba?\(([^)]+)\)/); if (!m) return null;
                     const p = m[1].split(',').map(Number);
                     return {r: p[0], g: p[1], b: p[2], a: p.length > 3 ? p[3] : 1}; };
  const channel = v => { v /= 255; return v <= 0.03928 ? v / 12.92 : Math.pow((v + 0.055) / 1.055, 2.4); };
  const lum = c => 0.2126 * channel(c.r) + 0.7152 * channel(c.g) + 0.0722 * channel(c.b);
  const behind = el => { for (let e = el; e; e = e.parentElement) {
                           const c = rgb(getComputedStyle(e).backgroundColor);
                           if (c && c.a > 0.5) return c; }
                         return {r: 255, g: 255, b: 255, a: 1}; };
  const lowContrast = [];
  const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
  while (walker.nextNode()) {
    const text = walker.currentNode.textContent.trim();
    const el = walker.currentNode.parentElement;
    if (!text || !el.getClientRects().length) continue;
    const a = lum(rgb(getComputedStyle(el).color)), b = lum(behind(el));
    const ratio = (Math.max(a, b) + 0.05) / (Math.min(a, b) + 0.05);
    if (ratio < 4.5) lowContrast.push(text.slice(0, 40) + ' (' + ratio.toFixed(2) + ':1)');
  }
  // Columns the template lays out side by side: those its rows for the Word
  // engine put in one table row. Each pair of neighbours that stacks instead.
  const stackedColumns = [];
  for (const cell of document.querySelectorAll('td')) {
    let row = [];
    const rows = [row];
    for (const node of cell.childNodes) {
      if (node.nodeType === Node.COMMENT_NODE && node.textContent.includes('<tr>'))
        rows.push(row = []);
      else if (node.nodeType === Node.ELEMENT_NODE && node.classList.contains('q-col'))
        row.push(node);
    }
    for (const r of rows)
      for (let i = 1; i < r.length; ++i) {
        const a = r[i - 1].getBoundingClientRect(), b = r[i].getBoundingClientRect();
        if (b.top >= a.bottom || a.top >= b.bottom)
          stackedColumns.push(r[i].innerText.trim().replace(/\s+/g, ' ').slice(0, 40));
      }
  }
  return JSON.stringify({
    innerWidth: window.innerWidth,
    scrollWidth: document.documentElement.scrollWidth,
    lang: document.documentElement.lang,
    layoutTablesWithoutRole: Array.from(document.querySelectorAll('table'))
                                  .filter(t => t.getAttribute('role') !== 'presentation').length,
    imagesWithoutAlt: Array.from(document.images).filter(i => !i.hasAttribute('alt')).length,
    images: Array.from(document.images).map(i => ({src: i.getAttribute('src'), complete: i.complete,
                                                   width: i.naturalWidth})),
    lowContrast: lowContrast,
    stackedColumns: stackedColumns
  });
})()
)js";

inline QJsonObject evaluate(QWebEngineView& view)
{
    QJsonObject result;
    QEventLoop loop;
    view.page()->runJavaScript(QString::fromLatin1(Measure), [&](const QVariant& value) {
        result = QJsonDocument::fromJson(value.toString().toUtf8()).object();
        loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    return result;
}

// Resizes and waits until the page's layout viewport has followed.
inline QJsonObject measureAt(QWebEngineView& view, int width)
{
    view.resize(width, 900);
    QJsonObject m;
    EngineWait::until(
        [&] {
            m = evaluate(view);
            return m.value(QLatin1String("innerWidth")).toInt() == width;
        },
        10000);
    return m;
}

inline bool load(QWebEngineView& view, const QString& page)
{
    QSignalSpy finished(&view, &QWebEngineView::loadFinished);
    view.load(QUrl::fromLocalFile(page));
    return finished.wait(30000) && finished.first().first().toBool();
}

// The first <img> not decoded with real pixels, or an empty string.
inline QString missingImage(const QJsonObject& m)
{
    for (const QJsonValue& image : m.value(QLatin1String("images")).toArray()) {
        const QJsonObject i = image.toObject();
        if (!i.value(QLatin1String("complete")).toBool() ||
            i.value(QLatin1String("width")).toInt() <= 0)
            return i.value(QLatin1String("src")).toString();
    }
    return {};
}

inline QString lowContrast(const QJsonObject& m)
{
    QStringList texts;
    for (const QJsonValue& text : m.value(QLatin1String("lowContrast")).toArray())
        texts.append(text.toString());
    return texts.join(QLatin1String("; "));
}

} // namespace TemplateRender
