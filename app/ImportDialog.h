#pragma once
// The dialog of File > Import: a preview of the first rows of a delimited file, where the
// user confirms the delimiter, the decimal separator and whether the first row is a header,
// and picks the columns by their header name or number: y in one box, the inputs ticked in a
// list, or one input picked in the x box. Rows that would be skipped are shown greyed, and a
// choice that cannot be imported says why. It only gathers the settings; the window imports
// with them.

#include <cstdint>
#include <string_view>
#include <vector>

#include <QDialog>

#include "import/CsvImport.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QTableWidget;

class TImportDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int PreviewRows = 20;
  static constexpr int PreviewColumns = 200;

  // text: the decoded file; it must outlive the dialog. It starts from what DetectCsvImport
  // finds in it.
  TImportDialog(std::string_view text, const QString& fileName, QWidget* parent);

  [[nodiscard]] TCsvImportSettings Settings() const;

 private:
  void createControls(const QString& fileName);
  void DialectChanged();
  void ColumnsChanged();
  void XChosen(int index);
  void InputTicked(QListWidgetItem* item);
  // The x box and the ticks as the inputs are now.
  void ShowInputs();
  void FillColumnBoxes(const TCsvPreview& preview);
  void ShowPreview(const TCsvPreview& preview);
  [[nodiscard]] TCsvPreview Preview() const;

  std::string_view text_;
  TCsvImportSettings detected_;
  QComboBox* cbDelimiter = nullptr;
  QComboBox* cbDecimal = nullptr;
  QCheckBox* opHeader = nullptr;
  QComboBox* cbColumnX = nullptr;
  QComboBox* cbColumnY = nullptr;
  QListWidget* lsInputs = nullptr;    // a ticked column is an input
  std::vector<std::int32_t> inputs_;  // the input columns from 1, in column order
  QTableWidget* sgPreview = nullptr;
  QLabel* lbNote = nullptr;
  QDialogButtonBox* buttons_ = nullptr;
};
