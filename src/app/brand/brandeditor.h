#pragma once

#include "core/brand/brandkit.h"

#include <QByteArray>
#include <QDialog>
#include <QMap>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

class BrowserPane;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class QWebEngineProfile;

// Makes, changes and removes the user's brands, each field with its problems
// said in words, beside the previewed template as it looks in the brand being
// edited. What is typed is kept only by Save, and then whole or not at all.
class BrandEditor : public QDialog
{
    Q_OBJECT

public:
    // The brands are those of `folder`; `message` is the previewed template's
    // decoded message (empty when none is shown), drawn in `profile`'s panes.
    BrandEditor(const QString& folder, const QByteArray& message, const QString& templateName,
                QWebEngineProfile* profile, const QString& chosenId, QWidget* parent = nullptr);
    ~BrandEditor() override;

    // The brand as the fields hold it now.
    BrandKit edited() const;
    // What stops the edited brand from being saved, then what was done to
    // keep its colours readable, as the editor shows them.
    QStringList problems() const { return m_problems; }
    QStringList adjustments() const { return m_adjustments; }
    // The template the preview beside the fields shows from now on.
    void setTemplate(const QByteArray& message, const QString& templateName);
    // A logo file for the edited brand, as if picked or dropped.
    void setLogoSource(const QString& path);
    // Saves the edited brand; false, with the reason shown, when it cannot.
    bool save();

signals:
    // A brand was saved (its id) or removed: the window reads the brands again.
    void brandSaved(const QString& id);
    void brandRemoved(const QString& id);
    // The preview beside the fields shows the edited brand.
    void previewShown();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void reject() override;

private:
    void buildFields();
    void loadBrands(const QString& select);
    void showBrand(const BrandKit& brand);
    void brandSelected();
    void addBrand();
    void removeBrand();
    void chooseLogo();
    void chooseColour(const QString& role);
    void fieldEdited(); // a field changed: check and preview a moment later
    void refresh();
    void showPreview(const BrandKit& brand);
    // False when the user keeps editing rather than lose the changes.
    bool settleChanges();
    QString logoProblem() const;

    QString m_folder;
    QByteArray m_message;
    QWebEngineProfile* m_profile;
    QList<BrandKit> m_brands;
    BrandKit m_brand; // as saved, or the new one's start
    bool m_dirty = false;
    bool m_filling = false;
    QString m_logoSource;    // a logo picked and not saved yet
    QString m_logoDrawnFrom; // the source m_logoPreview was drawn from
    QString m_logoPreview;   // it drawn to PNG for the preview
    QString m_logoError;
    QStringList m_problems;
    QStringList m_adjustments;
    QString m_previewProblem; // why the preview cannot show the brand; saving still may
    QString m_fileProblems;

    QListWidget* m_list = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_remove = nullptr;
    QLabel* m_loadProblems = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_tagline = nullptr;
    QLineEdit* m_logo = nullptr;
    QPushButton* m_logoButton = nullptr;
    QPushButton* m_logoClear = nullptr;
    QMap<QString, QLineEdit*> m_colours; // role -> hex entry
    QComboBox* m_headingFonts = nullptr;
    QComboBox* m_bodyFonts = nullptr;
    QPlainTextEdit* m_address = nullptr;
    QLineEdit* m_website = nullptr;
    QLineEdit* m_viewInBrowser = nullptr;
    QLineEdit* m_unsubscribe = nullptr;
    QMap<QString, QLineEdit*> m_social;
    BrowserPane* m_preview = nullptr;
    QLabel* m_problemsLabel = nullptr;
    QPushButton* m_save = nullptr;

    QTimer m_delay;
    std::unique_ptr<QTemporaryDir> m_work;
    quint64 m_serial = 0;
};
