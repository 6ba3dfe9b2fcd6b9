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
  // The user's decimal separator as the system announces it.
  std::function<QString()> SystemDecimalPoint;
  // Where the window keeps the recent files and the last folder between runs; without it the
  // window keeps nothing.
  std::function<std::unique_ptr<QSettings>()> Settings;
};

// The real boxes and dialogs of the desktop.
[[nodiscard]] TWindowServices DesktopServices();
