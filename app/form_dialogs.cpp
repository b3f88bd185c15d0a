#include "app/form_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>

namespace veldra {

// Every format the texture loader reads; the first entry holds them all.
const char* const kOpenPictureFilter =
    "すべての画像ファイル (*.png;*.gif;*.tif;*.tiff;*.webp;*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|"
    "*.png;*.gif;*.tif;*.tiff;*.webp;*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf|"
    "PNG イメージファイル (*.png)|*.png|GIF イメージファイル (*.gif)|*.gif|"
    "TIFF イメージファイル (*.tif;*.tiff)|*.tif;*.tiff|WebP イメージファイル (*.webp)|*.webp|"
    "JPEG イメージファイル (*.jpg)|*.jpg|JPEG イメージファイル (*.jpeg)|*.jpeg|ビットマップ "
    "(*.bmp)|*.bmp|アイコン (*.ico)|*.ico|エンハンス メタファイル (*.emf)|*.emf|メタファイル "
    "(*.wmf)|*.wmf|すべてのファイル (*)|*";
const char* const kSavePictureFilter = "ビットマップ (*.bmp)|*.bmp";

namespace {

const char* const kMessageTitle = "rw47_Veldra";

// Starts a dialog in `folder` with `fileName` preset; a missing folder falls back to
// the dialog's own choice.
QString StartPath(const QString& folder, const QString& fileName) {
    if (folder.isEmpty() || !QDir(folder).exists()) return fileName;
    return QDir(folder).filePath(fileName);
}

}  // namespace

QStringList ToNameFilters(const QString& filter) {
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    const QStringList parts = filter.split(u'|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        description.remove(trailingPatterns);
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == QStringLiteral("*.*")) p = QStringLiteral("*");
        }
        result << QStringLiteral("%1 (%2)").arg(description.trimmed(), patterns.join(u' '));
    }
    return result;
}

void TFormDialogs::ShowMessage(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, QString::fromUtf8(kMessageTitle), text);
}

void TFormDialogs::ShowError(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, QString::fromUtf8(kMessageTitle), text);
}

bool TFormDialogs::Ask(QWidget* parent, const QString& text) {
    return QMessageBox::question(parent, QString::fromUtf8(kMessageTitle), text,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

std::optional<QString> TFormDialogs::ChooseTexture(QWidget* parent, const QString& folder,
                                                   const QString& fileName) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(ToNameFilters(QString::fromUtf8(kOpenPictureFilter)));
    dialog.selectFile(StartPath(folder, fileName));
    if (!folder.isEmpty() && QDir(folder).exists()) dialog.setDirectory(folder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

std::optional<QString> TFormDialogs::ChooseOutput(QWidget* parent, const QString& folder,
                                                  const QString& fileName) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(ToNameFilters(QString::fromUtf8(kSavePictureFilter)));
    dialog.setDefaultSuffix(QStringLiteral("bmp"));
    if (!folder.isEmpty() && QDir(folder).exists()) dialog.setDirectory(folder);
    dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

}  // namespace veldra
