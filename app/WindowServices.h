#pragma once
// The window's modal conversations with the user: message boxes, the error box and the
// file dialogs. The window reaches them only through these members, so that tests put
// answers in their place and never block on a modal box.

#include <functional>
#include <memory>
#include <optional>

#include <QMessageBox>
#include <QString>

class QDialog;
class QFileDialog;
class QSettings;
class QWidget;
enum class TUnreadableChoice;

// What to do with a model found since it was last copied or saved, as the window closes.
enum class TModelCloseAnswer { Copy, Save, Discard, Cancel };

struct TWindowServices {
  // A one-line confirmation with the application title as caption and one "OK" button.
  std::function<void(QWidget* parent, const QString& text)> ShowMessage;
  // The application's error box: caption, error icon, "OK".
  std::function<void(QWidget* parent, const QString& text)> ShowError;
  // Runs the prepared dialog; the chosen path, or nothing when the user cancelled.
  std::function<std::optional<QString>(QFileDialog& dialog)> RunFileDialog;
  // Runs a prepared dialog of the window's own (the import dialog); true when accepted.
  std::function<bool(QDialog& dialog)> RunDialog;
  // Asks whether to save before the window closes: QMessageBox::Save, Discard or Cancel.
  std::function<QMessageBox::StandardButton(QWidget* parent, const QString& text)> AskToSave;
  // Asks what becomes of the rows of a file or paste that did not read: the choice, or
  // nothing when the user cancelled the load.
  std::function<std::optional<TUnreadableChoice>(QWidget* parent, const QString& text)>
      AskUnreadable;
  // Asks whether to copy or save the model on show before the window closes.
  std::function<TModelCloseAnswer(QWidget* parent, const QString& text)> AskAboutModel;
  // Runs a command's long work off the window's thread (TBusyWork); false when the user
  // cancelled it. Unset: the work runs at once, on the caller's thread.
  std::function<bool(QWidget* parent, const QString& label, std::function<void()> work)> RunBusy;
  // The user's decimal separator as the system announces it.
  std::function<QString()> SystemDecimalPoint;
  // Where the window keeps the recent files and the last folder between runs; without it the
  // window keeps nothing.
  std::function<std::unique_ptr<QSettings>()> Settings;
};

// An error's text in the application's error box, as every command that fails shows it.
void ShowErrorBox(const TWindowServices& services, QWidget* parent, const char* what);

// Hides the list of completions of the dialog's file name: after a typed name and Return it
// would otherwise stay over the window until the next click.
void DismissCompletion(QFileDialog& dialog);

// The real boxes and dialogs of the desktop.
[[nodiscard]] TWindowServices DesktopServices();
