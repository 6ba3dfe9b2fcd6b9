#pragma once
// The commands that make, read, write and exchange the window's sample set: "Sample
// generate", "Open" and the recent files, "Import", "Save", "Copy Data", "Paste Data", and
// the question before unsaved samples are lost by closing. Each replaces the set's contents
// as one step of its history and shows the new set; long reads run off the window's thread
// into a set of their own, so a cancelled or failed one leaves the window's set as it was.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QObject>
#include <QString>

#include "core/model/SD.h"

class QAction;
class QFileDialog;
class QWidget;
class TModelBox;
class TRecentFiles;
class TRecentFilesMenu;
class TSampleHistory;
class TTestDataBox;
struct TLoadedSamples;
struct TWindowServices;
enum class TSampleOrigin;

// The menu items of the commands that change or save the samples: the captions of "Open"
// and "Paste Data" name their steps, and all are off while a search holds the set.
struct TSampleActions {
  QAction* Open = nullptr;
  QAction* Import = nullptr;
  QAction* Save = nullptr;
  QAction* Paste = nullptr;
  QAction* PastePopup = nullptr;
  TRecentFilesMenu* Recent = nullptr;
};

class TSampleCommands : public QObject {
  Q_OBJECT

 public:
  static constexpr std::int32_t GeneratedSampleCount = 100;

  TSampleCommands(TSampleData& samples, TTestDataBox& data, TModelBox& model,
                  const TWindowServices& services, QWidget& window);
  ~TSampleCommands() override;

  [[nodiscard]] TSampleHistory& History() const noexcept { return *history_; }
  [[nodiscard]] const TRecentFiles& Recent() const noexcept { return *recent_; }
  void Bind(const TSampleActions& actions);
  // While a search runs the set is lent to it: the commands that would replace it do
  // nothing, whoever calls them, and their menu items are off.
  void SetLocked(bool locked);
  [[nodiscard]] bool Locked() const noexcept { return locked_; }

  // step: the generator's caption; seed: drawn from, when given.
  void Generate(const QString& step, bool random, std::optional<std::uint32_t> seed);
  // Shows the set as it is now.
  void Plot();
  void Open();
  // A .csv, .tsv or .txt file goes to the import dialog; any other is read as a sample file,
  // and so is a .txt that the import cannot split into columns.
  void OpenFile(const QString& path);
  void Import();
  enum class TImportWhen { Always, Columns };
  // False when `when` asks for columns and the file has none; nothing is read then.
  bool ImportFile(const QString& path, TImportWhen when = TImportWhen::Always);
  void Save();
  void CopyData();
  void Paste();
  // Asks before pasted or imported samples that were never saved are lost; false keeps the
  // window open.
  [[nodiscard]] bool ConfirmClose();

 signals:
  // The set on show was replaced or changed.
  void Shown();

 private:
  void CreateDialogs();
  void Show(std::vector<TSamplePoint> ordered);
  [[nodiscard]] bool RunBusy(const QString& label, std::function<void()> work);
  // When rows did not read, asks the user what becomes of them and makes the set the choice
  // keeps, off the window's thread; false when the user cancelled.
  [[nodiscard]] bool ChooseUnreadable(const QString& label,
                                      const std::shared_ptr<TLoadedSamples>& loaded);
  // Replaces the contents of the window's set by a set read off its thread, as a step of the
  // history, and shows it; the step's note when it could not be kept. fileName: of the file
  // it was read from, empty for none.
  QString TakeSamples(const QString& step, TSampleOrigin origin, TSampleData&& loaded,
                      std::vector<TSamplePoint> ordered, const QString& fileName = {});
  // Asks for the columns of text in the import dialog and replaces the set with what it
  // imports, as a step; fileName names the file in errors, empty for the clipboard.
  void ImportText(const std::shared_ptr<const std::string>& text, const QString& name,
                  const std::string& fileName, const QString& step, TSampleOrigin origin);
  bool SaveSamples();
  void RememberFile(const QString& path);
  void ShowMessage(const QString& text);
  void ShowError(const char* what);

  TSampleData& samples_;
  TTestDataBox& data_;
  TModelBox& model_;
  const TWindowServices& services_;
  QWidget& window_;
  std::unique_ptr<TRecentFiles> recent_;
  TSampleHistory* history_ = nullptr;
  TSampleActions actions_;
  bool locked_ = false;
  QFileDialog* OpenDialog1 = nullptr;
  QFileDialog* SaveDialog1 = nullptr;
  QFileDialog* OpenDialog2 = nullptr;  // the file to import
};
