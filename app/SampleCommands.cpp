#include "app/SampleCommands.h"

#include <exception>

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QSettings>

#include "app/ImportDialog.h"
#include "app/ModelBox.h"
#include "app/Named.h"
#include "app/RecentFiles.h"
#include "app/RecentFilesMenu.h"
#include "app/SampleHistory.h"
#include "app/TestDataBox.h"
#include "app/WindowServices.h"
#include "core/model/Random.h"
#include "exchange/ClipboardData.h"
#include "exchange/SampleFile.h"
#include "exchange/SampleRead.h"
#include "frontend/SeriesPoints.h"
#include "frontend/WindowText.h"
#include "import/CsvImport.h"
#include "import/CsvText.h"

// A set read off the window's thread, with its points ordered for the chart.
struct TLoadedSamples {
  std::optional<TSampleRead> Pending;  // some rows did not read: the user chooses first
  TSampleData Set;
  std::vector<TSamplePoint> Ordered;
  std::string Note;  // why nothing was pasted
  bool Read = true;  // false: the text held no pair, nothing changes

  // A read whose rows all read becomes the set at once; any other waits for the choice.
  void Settle(TSampleRead&& read) {
    if (read.Unreadable() > 0) {
      Pending.emplace(std::move(read));
      return;
    }
    std::move(read).MoveInto(Set, TUnreadableChoice::Leave);
    Ordered = SeriesPoints(Set);
  }
};

TSampleCommands::TSampleCommands(TSampleData& samples, TTestDataBox& data, TModelBox& model,
                                 const TWindowServices& services, QWidget& window)
    : QObject(&window),
      samples_(samples),
      data_(data),
      model_(model),
      services_(services),
      window_(window),
      recent_(std::make_unique<TRecentFiles>(services.Settings ? services.Settings() : nullptr)),
      history_(new TSampleHistory(samples, this)) {
  CreateDialogs();
  connect(history_, &TSampleHistory::Restored, this, &TSampleCommands::Plot);
}

TSampleCommands::~TSampleCommands() = default;

void TSampleCommands::CreateDialogs() {
  const QString filter = QStringLiteral("Movar Sample (*.mvs)");
  OpenDialog1 = Named<QFileDialog>("OpenDialog1", &window_);
  OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
  OpenDialog1->setFileMode(QFileDialog::AnyFile);  // a typed missing name ends in the error box
  SaveDialog1 = Named<QFileDialog>("SaveDialog1", &window_);
  SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
  SaveDialog1->setFileMode(QFileDialog::AnyFile);
  SaveDialog1->setOption(QFileDialog::DontConfirmOverwrite);
  for (QFileDialog* dialog : {OpenDialog1, SaveDialog1}) {
    dialog->setNameFilter(filter);
    dialog->setDefaultSuffix(QStringLiteral("mvs"));
    if (!recent_->LastFolder().isEmpty()) dialog->setDirectory(recent_->LastFolder());
  }
  OpenDialog2 = Named<QFileDialog>("OpenDialog2", &window_);
  OpenDialog2->setWindowTitle(QStringLiteral("Import"));
  OpenDialog2->setAcceptMode(QFileDialog::AcceptOpen);
  OpenDialog2->setFileMode(QFileDialog::ExistingFile);
  OpenDialog2->setNameFilters(
      {QStringLiteral("Text data (*.csv *.tsv *.txt)"), QStringLiteral("All files (*)")});
}

void TSampleCommands::Bind(const TSampleActions& actions) {
  actions_ = actions;
}

void TSampleCommands::SetLocked(bool locked) {
  locked_ = locked;
  for (QAction* command : {actions_.Open, actions_.Recent->menuAction(), actions_.Import,
                           actions_.Save, actions_.Paste, actions_.PastePopup}) {
    command->setEnabled(!locked);
  }
  history_->SetLocked(locked);
}

void TSampleCommands::ShowMessage(const QString& text) {
  services_.ShowMessage(&window_, text);
}

void TSampleCommands::ShowError(const char* what) {
  ShowErrorBox(services_, &window_, what);
}

void TSampleCommands::Generate(const QString& step, bool random,
                               std::optional<std::uint32_t> seed) {
  if (locked_) return;
  const QString note = history_->Record(step, TSampleOrigin::Generated, [&](TSampleData& samples) {
    if (samples.Count() != GeneratedSampleCount) samples.SetCount(GeneratedSampleCount);
    if (seed) SetSeed(*seed);
    if (random) {
      samples.GenerateRandom();
    } else {
      samples.GenerateSine();
    }
    return true;
  });
  model_.SetSampleSource(random ? "the generated random sample" : "the generated sine sample");
  Plot();
  if (!note.isEmpty()) ShowMessage(note);
}

void TSampleCommands::Plot() {
  Show(SeriesPoints(samples_));
}

void TSampleCommands::Show(std::vector<TSamplePoint> ordered) {
  model_.SamplesReplaced();
  data_.Show(std::move(ordered));
  emit Shown();
}

bool TSampleCommands::RunBusy(const QString& label, std::function<void()> work) {
  if (!services_.RunBusy) {
    work();
    return true;
  }
  return services_.RunBusy(&window_, label, std::move(work));
}

bool TSampleCommands::ChooseUnreadable(const QString& label,
                                       const std::shared_ptr<TLoadedSamples>& loaded) {
  if (!loaded->Pending) return true;
  const QString question = QString::fromStdString(UnreadableQuestion(*loaded->Pending));
  const std::optional<TUnreadableChoice> choice = services_.AskUnreadable
                                                      ? services_.AskUnreadable(&window_, question)
                                                      : TUnreadableChoice::Leave;
  if (!choice) return false;
  return RunBusy(label, [loaded, choice = *choice] {
    std::move(*loaded->Pending).MoveInto(loaded->Set, choice);
    loaded->Ordered = SeriesPoints(loaded->Set);
  });
}

QString TSampleCommands::TakeSamples(const QString& step, TSampleOrigin origin,
                                     TSampleData&& loaded, std::vector<TSamplePoint> ordered,
                                     const QString& fileName) {
  const QString note = history_->Record(
      step, origin,
      [&](TSampleData& samples) {
        // The window's set stays the same object; its margin is the run's, not the load's.
        loaded.SetMargin(samples.GetMargin());
        samples = std::move(loaded);
        return true;
      },
      fileName);
  Show(std::move(ordered));
  return note;
}

void TSampleCommands::Open() {
  if (locked_) return;
  const std::optional<QString> path = services_.RunFileDialog(*OpenDialog1);
  if (!path) return;
  OpenDialog1->selectFile(*path);
  OpenFile(*path);
}

void TSampleCommands::OpenFile(const QString& path) {
  if (locked_) return;  // the samples never change under a running search
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("csv") || suffix == QLatin1String("tsv")) {
    ImportFile(path);
    return;
  }
  // A .txt of blank-separated pairs is a sample file the import could not split.
  if (suffix == QLatin1String("txt") && ImportFile(path, TImportWhen::Columns)) return;
  auto loaded = std::make_shared<TLoadedSamples>();
  const std::string fileName = QFile::encodeName(path).toStdString();
  try {
    const QString label = QStringLiteral("Opening %1").arg(path);
    const bool done =
        RunBusy(label, [loaded, fileName] { loaded->Settle(ReadSampleFile(fileName)); });
    if (!done || !ChooseUnreadable(label, loaded)) return;
  } catch (const std::exception& error) {
    recent_->Forget(path);
    actions_.Recent->Refresh();
    ShowError(error.what());
    return;
  }
  const QString undoNote = TakeSamples(
      actions_.Open->text() + QLatin1Char(' ') + QFileInfo(path).fileName(), TSampleOrigin::File,
      std::move(loaded->Set), std::move(loaded->Ordered), QFileInfo(path).fileName());
  RememberFile(path);
  model_.SetSampleSource(QFileInfo(path).fileName().toStdString());
  if (!undoNote.isEmpty()) ShowMessage(undoNote);
}

void TSampleCommands::Import() {
  if (locked_) return;
  const std::optional<QString> path = services_.RunFileDialog(*OpenDialog2);
  if (!path) return;
  OpenDialog2->selectFile(*path);
  ImportFile(*path);
}

bool TSampleCommands::ImportFile(const QString& path, TImportWhen when) {
  if (locked_) return true;
  const std::string fileName = QFile::encodeName(path).toStdString();
  struct TRead {
    std::string Text;
    bool Columns = true;
  };
  auto read = std::make_shared<TRead>();
  try {
    const bool done = RunBusy(QStringLiteral("Importing %1").arg(path), [read, fileName, when] {
      read->Text = ReadCsvFile(fileName);
      if (when == TImportWhen::Columns) read->Columns = SplitsIntoColumns(read->Text);
    });
    if (!done) return true;
  } catch (const std::exception& error) {
    ShowError(error.what());
    return true;
  }
  if (!read->Columns) return false;
  const QString name = QFileInfo(path).fileName();
  ImportText(std::shared_ptr<const std::string>(read, &read->Text), name, fileName,
             QStringLiteral("Import ") + name, TSampleOrigin::Imported);
  return true;
}

void TSampleCommands::ImportText(const std::shared_ptr<const std::string>& text,
                                 const QString& name, const std::string& fileName,
                                 const QString& step, TSampleOrigin origin) {
  try {
    TImportDialog dialog(*text, name, &window_);
    if (!services_.RunDialog(dialog)) return;
    struct TImported {
      TCsvImportResult Result;
      std::vector<TSamplePoint> Ordered;
    };
    auto imported = std::make_shared<TImported>();
    const bool done = RunBusy(QStringLiteral("Importing %1").arg(name),
                              [text, imported, fileName, settings = dialog.Settings()] {
                                imported->Result = fileName.empty()
                                                       ? ImportCsv(*text, settings)
                                                       : ImportCsvFile(fileName, *text, settings);
                                imported->Ordered = SeriesPoints(imported->Result.Samples);
                              });
    if (!done) return;
    const QString summary = QString::fromStdString(ImportSummary(imported->Result));
    const QString undoNote =
        TakeSamples(step, origin, std::move(imported->Result.Samples), std::move(imported->Ordered),
                    fileName.empty() ? QString() : name);
    model_.SetSampleSource(fileName.empty() ? "samples pasted from the clipboard"
                                            : name.toStdString());
    ShowMessage(summary + (undoNote.isEmpty() ? QString() : QLatin1Char(' ') + undoNote));
  } catch (const std::exception& error) {
    ShowError(error.what());
  }
}

void TSampleCommands::Save() {
  SaveSamples();
}

bool TSampleCommands::SaveSamples() {
  const std::optional<QString> path = services_.RunFileDialog(*SaveDialog1);
  if (!path) return false;
  SaveDialog1->selectFile(*path);
  try {
    SaveToFile(samples_, QFile::encodeName(*path).toStdString());
  } catch (const std::exception& error) {
    ShowError(error.what());
    return false;
  }
  history_->MarkSaved(QFileInfo(*path).fileName());
  RememberFile(*path);
  return true;
}

void TSampleCommands::RememberFile(const QString& path) {
  recent_->Remember(path);
  actions_.Recent->Refresh();
}

// Pasted and imported samples exist nowhere else: closing asks before they go.
bool TSampleCommands::ConfirmClose() {
  if (!history_->Unsaved()) return true;
  const QString came = history_->Origin() == TSampleOrigin::Pasted ? QStringLiteral("pasted")
                                                                   : QStringLiteral("imported");
  const QMessageBox::StandardButton answer = services_.AskToSave(
      &window_,
      QStringLiteral("The %1 test data has not been saved. Save it before closing?").arg(came));
  if (answer == QMessageBox::Save) return SaveSamples();
  return answer == QMessageBox::Discard;
}

void TSampleCommands::CopyData() {
  auto* data = new QMimeData();
  data->setText(QString::fromStdString(FormatClipboardData(samples_)));
  QGuiApplication::clipboard()->setMimeData(data);
  ShowMessage(QStringLiteral("Test data copied."));
}

void TSampleCommands::Paste() {
  if (locked_) return;
  std::string text = QGuiApplication::clipboard()->text().toStdString();
  // A table with a header or several columns: the user picks its columns.
  if (PasteIsTable(text)) {
    ImportText(std::make_shared<const std::string>(std::move(text)),
               QStringLiteral("the clipboard"), {}, actions_.Paste->text(), TSampleOrigin::Pasted);
    return;
  }
  auto loaded = std::make_shared<TLoadedSamples>();
  const QString label = QStringLiteral("Pasting the samples");
  try {
    const bool done = RunBusy(label, [loaded, text = std::move(text)] {
      TSampleRead read = ReadClipboardData(text);
      loaded->Read = read.Readable() > 0;
      if (loaded->Read) {
        loaded->Settle(std::move(read));
      } else {
        loaded->Note = NothingPastedNote(read);
      }
    });
    if (!done) return;
    if (!loaded->Read) {
      if (!loaded->Note.empty()) ShowMessage(QString::fromStdString(loaded->Note));
      return;
    }
    if (!ChooseUnreadable(label, loaded)) return;
  } catch (const std::exception& error) {
    ShowError(error.what());
    return;
  }
  const QString undoNote = TakeSamples(actions_.Paste->text(), TSampleOrigin::Pasted,
                                       std::move(loaded->Set), std::move(loaded->Ordered));
  model_.SetSampleSource("samples pasted from the clipboard");
  QString message = QStringLiteral("Test data pasted.");
  if (!undoNote.isEmpty()) message += QLatin1Char(' ') + undoNote;
  ShowMessage(message);
}
