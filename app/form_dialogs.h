#pragma once

// The modal parts of the window (message box, file dialogs) behind one small
// interface, so tests can answer them without blocking.

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace veldra {

// Texture picture filter of the open dialog, as the system writes it ("text|patterns|...").
extern const char* const kOpenPictureFilter;
// Output picture filter of the save dialog.
extern const char* const kSavePictureFilter;

// A "description|patterns|description|patterns" filter as Qt name filters
// ("description (pattern pattern)"); "*.*" matches every file.
QStringList ToNameFilters(const QString& filter);

class TFormDialogs {
  public:
    virtual ~TFormDialogs() = default;
    // A message box with an OK button.
    virtual void ShowMessage(QWidget* parent, const QString& text);
    // The same with the error icon: something the user asked for failed.
    virtual void ShowError(QWidget* parent, const QString& text);
    // A yes/no question whose default is No; true for Yes.
    virtual bool Ask(QWidget* parent, const QString& text);
    // The texture dialog: path must exist, file must exist. Empty when cancelled.
    virtual std::optional<QString> ChooseTexture(QWidget* parent, const QString& folder,
                                                 const QString& fileName);
    // The output dialog: asks before overwriting. Empty when cancelled.
    virtual std::optional<QString> ChooseOutput(QWidget* parent, const QString& folder,
                                                const QString& fileName);
};

}  // namespace veldra
