#pragma once

// A small template library in a temporary application folder, with private
// settings and temp folders, for tests of the gallery window.

#include "core/gallery/library/templatedecoding.h"
#include "core/platform/fileio.h"
#include "core/platform/workspace.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

class GalleryFixture
{
public:
    // Settings and the temp folder are read from the environment at every
    // use, so each fixture gets fresh ones.
    explicit GalleryFixture(const QString& appFolderName = QStringLiteral("app"))
        : m_savedConfig(qgetenv("XDG_CONFIG_HOME")), m_savedTemp(qgetenv("TMPDIR")),
          m_savedData(qgetenv("XDG_DATA_HOME"))
    {
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
        // The user's own templates: none but what a test adds.
        qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
        qputenv("TMPDIR", m_temp.path().toLocal8Bit());
        m_app = m_root.path() + QLatin1Char('/') + appFolderName;
        QDir().mkpath(m_app + QStringLiteral("/categories"));
        QDir().mkpath(m_app + QStringLiteral("/templates"));
    }

    // The next fixture's temporary folders must not land inside this one's,
    // which is about to be deleted: a missing TMPDIR sends them to "/".
    ~GalleryFixture()
    {
        restore("XDG_CONFIG_HOME", m_savedConfig);
        restore("TMPDIR", m_savedTemp);
        restore("XDG_DATA_HOME", m_savedData);
    }
    GalleryFixture(const GalleryFixture&) = delete;
    GalleryFixture& operator=(const GalleryFixture&) = delete;

    QString appFolder() const { return m_app; }
    QString configFolder() const { return m_config.path(); }
    QString dataFolder() const { return m_data.path(); }
    // This copy's preview folder: in a temp folder of its own, no other copy
    // has taken the name of the process id.
    QString msgFolder() const
    {
        return modGetDirs::WorkspaceDir() + QStringLiteral("/msg/") +
               QString::number(QCoreApplication::applicationPid());
    }

    void addFile(const QString& relativePath, const QByteArray& content)
    {
        const QString path = m_app + QLatin1Char('/') + relativePath;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QVERIFY(FileIo::writeAtomically(path, content));
    }

    // A category page whose links name the templates, the first one first.
    void addCategory(const QString& fileName, const QStringList& templates)
    {
        QByteArray html = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>";
        for (const QString& name : templates) {
            html += "<p><a id=\"" + name.toUtf8().toPercentEncoding() + "\" href=\"#" +
                    name.toUtf8() + "\" style=\"display:inline-block;width:120px;height:40px\">" +
                    name.toHtmlEscaped().toUtf8() + "</a></p>";
        }
        html += "</body></html>";
        addFile(QStringLiteral("categories/") + fileName, html);
    }

    // A multipart/related message: a titled HTML part and one red PNG by Content-ID.
    static QByteArray message(const QString& title, const QByteArray& extraBody = {})
    {
        QImage image(24, 24, QImage::Format_RGB32);
        image.fill(Qt::red);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        const QByteArray html =
            "<html><head><title>" + title.toUtf8() + "</title></head><body><h1>" + title.toUtf8() +
            "</h1><img id=\"logo\" src=\"cid:logo@fixture\">" + extraBody + "</body></html>";
        return "MIME-Version: 1.0\r\n"
               "Subject: " +
               title.toUtf8() +
               "\r\n"
               "Content-Type: multipart/related; boundary=\"b1\"\r\n\r\n"
               "--b1\r\n"
               "Content-Type: text/html; charset=utf-8\r\n"
               "Content-Transfer-Encoding: 8bit\r\n\r\n" +
               html +
               "\r\n--b1\r\n"
               "Content-Type: image/png; name=\"logo.png\"\r\n"
               "Content-ID: <logo@fixture>\r\n"
               "Content-Transfer-Encoding: base64\r\n\r\n" +
               png.toBase64() + "\r\n--b1--\r\n";
    }

    void addTemplate(const QString& name, const QByteArray& extraBody = {})
    {
        const auto packed = Module1::packTemplate(message(name, extraBody));
        QVERIFY2(packed, qPrintable(packed.status().message()));
        addFile(QStringLiteral("templates/") + name + QStringLiteral(".dat"), *packed);
    }

private:
    static void restore(const char* name, const QByteArray& value)
    {
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    QByteArray m_savedConfig;
    QByteArray m_savedTemp;
    QByteArray m_savedData;
    QTemporaryDir m_root;
    QTemporaryDir m_config;
    QTemporaryDir m_data;
    QTemporaryDir m_temp;
    QString m_app;
};
