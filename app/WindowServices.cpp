#include "app/WindowServices.h"

#include <QDialog>
#include <QAbstractItemView>
#include <QCompleter>
#include <QFileDialog>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>

#include "app/AppTitle.h"
#include "app/BusyWork.h"
#include "exchange/SampleRead.h"
#include "frontend/WindowText.h"

namespace {

void ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
  QMessageBox box(icon, AppTitle, text, QMessageBox::Ok, parent);
  box.exec();
}

}  // namespace

void ShowErrorBox(const TWindowServices& services, QWidget* parent, const char* what) {
  services.ShowError(parent, QString::fromStdString(ErrorBoxText(what)));
}

void DismissCompletion(QFileDialog& dialog) {
  for (QCompleter* completer : dialog.findChildren<QCompleter*>()) {
    if (QAbstractItemView* popup = completer->popup()) popup->hide();
  }
}

TWindowServices DesktopServices() {
  TWindowServices services;
  services.ShowMessage = [](QWidget* parent, const QString& text) {
    ShowBox(parent, QMessageBox::NoIcon, text);
  };
  services.ShowError = [](QWidget* parent, const QString& text) {
    ShowBox(parent, QMessageBox::Critical, text);
  };
  services.RunFileDialog = [](QFileDialog& dialog) -> std::optional<QString> {
    const int answer = dialog.exec();
    DismissCompletion(dialog);
    if (answer != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
  };
  services.RunDialog = [](QDialog& dialog) { return dialog.exec() == QDialog::Accepted; };
  services.AskToSave = [](QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, AppTitle, text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Save);
    return static_cast<QMessageBox::StandardButton>(box.exec());
  };
  services.AskUnreadable = [](QWidget* parent,
                              const QString& text) -> std::optional<TUnreadableChoice> {
    QMessageBox box(QMessageBox::Question, AppTitle, text, QMessageBox::Cancel, parent);
    QPushButton* leave =
        box.addButton(QStringLiteral("Load without them"), QMessageBox::AcceptRole);
    QPushButton* asZero = box.addButton(QStringLiteral("Load as (0, 0)"), QMessageBox::AcceptRole);
    box.setDefaultButton(leave);
    box.exec();
    if (box.clickedButton() == leave) return TUnreadableChoice::Leave;
    if (box.clickedButton() == asZero) return TUnreadableChoice::AsZero;
    return std::nullopt;
  };
  services.AskAboutModel = [](QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, AppTitle, text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    QPushButton* copy = box.addButton(QStringLiteral("Copy"), QMessageBox::AcceptRole);
    box.setDefaultButton(QMessageBox::Save);
    const int answer = box.exec();
    if (box.clickedButton() == copy) return TModelCloseAnswer::Copy;
    if (answer == QMessageBox::Save) return TModelCloseAnswer::Save;
    if (answer == QMessageBox::Discard) return TModelCloseAnswer::Discard;
    return TModelCloseAnswer::Cancel;
  };
  services.RunBusy = [](QWidget* parent, const QString& label, std::function<void()> work) {
    return TBusyWork::Run(parent, label, std::move(work));
  };
  services.SystemDecimalPoint = [] { return QLocale::system().decimalPoint(); };
  services.Settings = [] {
    return std::make_unique<QSettings>(QSettings::UserScope, QStringLiteral("movar-tester"),
                                       QStringLiteral("movar-tester"));
  };
  return services;
}
