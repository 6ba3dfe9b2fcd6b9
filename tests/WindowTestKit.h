#pragma once
// What every window test needs: a window whose boxes and dialogs answer from a script
// instead of blocking, and short ways to reach its controls by their object names.

#include <functional>
#include <optional>

#include <QAbstractItemModel>
#include <QFile>
#include <QTemporaryDir>
#include <QDialog>
#include <QFileDialog>
#include <QLineSeries>
#include <QList>
#include <QStringList>
#include <QTableView>

#include "app/BusyWork.h"
#include "app/SampleChart.h"
#include "app/Unit1.h"
#include "app/WindowServices.h"
#include "exchange/SampleRead.h"

struct TScriptedServices {
  QStringList Messages;
  QStringList Errors;
  QList<std::optional<QString>> DialogAnswers;  // taken in order; cancel when empty
  QList<QFileDialog*> DialogsShown;
  QString DecimalPoint = QStringLiteral(".");
  // The window's own dialogs: what the user does in them; true accepts. Cancel when unset.
  std::function<bool(QDialog&)> DialogScript;
  QList<QMessageBox::StandardButton> SaveAnswers;  // taken in order; Discard when empty
  QStringList SaveQuestions;
  // What becomes of rows that did not read; taken in order, left out when empty.
  QList<std::optional<TUnreadableChoice>> UnreadableAnswers;
  QStringList UnreadableQuestions;
  // What to do with a model not yet copied or saved as the window closes; Discard when empty.
  QList<TModelCloseAnswer> ModelAnswers;
  QStringList ModelQuestions;
  QStringList BusyLabels;   // the long works run, by their labels
  bool CancelBusy = false;  // the user cancels every long work
  bool RealBusy = false;    // long works run off the window's thread, as on the desktop

  [[nodiscard]] TWindowServices Services() {
    TWindowServices services;
    services.ShowMessage = [this](QWidget*, const QString& text) { Messages.append(text); };
    services.ShowError = [this](QWidget*, const QString& text) { Errors.append(text); };
    services.RunFileDialog = [this](QFileDialog& dialog) -> std::optional<QString> {
      DialogsShown.append(&dialog);
      return DialogAnswers.isEmpty() ? std::nullopt : DialogAnswers.takeFirst();
    };
    services.RunDialog = [this](QDialog& dialog) { return DialogScript && DialogScript(dialog); };
    services.AskToSave = [this](QWidget*, const QString& text) {
      SaveQuestions.append(text);
      return SaveAnswers.isEmpty() ? QMessageBox::Discard : SaveAnswers.takeFirst();
    };
    services.AskUnreadable = [this](QWidget*, const QString& text) {
      UnreadableQuestions.append(text);
      return UnreadableAnswers.isEmpty() ? std::optional(TUnreadableChoice::Leave)
                                         : UnreadableAnswers.takeFirst();
    };
    services.AskAboutModel = [this](QWidget*, const QString& text) {
      ModelQuestions.append(text);
      return ModelAnswers.isEmpty() ? TModelCloseAnswer::Discard : ModelAnswers.takeFirst();
    };
    services.RunBusy = [this](QWidget* parent, const QString& label, std::function<void()> work) {
      BusyLabels.append(label);
      if (RealBusy) return TBusyWork::Run(parent, label, std::move(work));
      work();  // a cancelled work still runs to its end
      return !CancelBusy;
    };
    services.SystemDecimalPoint = [this] { return DecimalPoint; };
    return services;
  }
};

template <typename T>
T* Control(const QObject& form, const char* name) {
  T* control = form.findChild<T*>(QString::fromLatin1(name));
  if (!control) qFatal("no control %s", name);
  return control;
}

inline QAbstractItemModel& Grid(const TForm1& form) {
  return *Control<QTableView>(form, "sgTest")->model();
}

inline QString Cell(const TForm1& form, int row, int column) {
  return Grid(form).index(row, column).data().toString();
}

// The series' points as the chart holds them, every one of them.
inline QList<QPointF> ChartPoints(const TForm1& form, int series) {
  QList<QPointF> points;
  for (const TSamplePoint& p : Control<TSampleChart>(form, "chTest")->Points(series)) {
    points.append(QPointF(p.X, p.Y));
  }
  return points;
}

// The set's samples as points, in the order of the set.
inline QList<QPointF> Rows(const TSampleData& samples) {
  QList<QPointF> rows;
  for (std::int32_t i = 0; i < samples.Count(); ++i)
    rows.append({samples.GetX(i), samples.GetY(i)});
  return rows;
}

// A file of the given content in dir; its path.
inline QString Write(const QTemporaryDir& dir, const char* name, const QByteArray& content) {
  const QString path = dir.filePath(QString::fromLatin1(name));
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(content);
  return path;
}

// Rows given in the order of the set; the grid and the chart are refreshed.
inline void ShowRows(TForm1& form, std::initializer_list<QPointF> rows) {
  TSampleData& samples = form.SampleSet();
  samples.SetCount(static_cast<std::int32_t>(rows.size()));
  std::int32_t i = 0;
  for (const QPointF& p : rows) {
    samples.SetX(i, p.x());
    samples.SetY(i++, p.y());
  }
  samples.UpdateBounds();
  form.btPlotClick();
}
