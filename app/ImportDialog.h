#pragma once
// The dialog of File > Import: a preview of the first rows of a delimited file, where the
// user confirms the delimiter, the decimal separator and whether the first row is a header,
// and picks the x and y columns by their header name or number. Rows that would be skipped
// are shown greyed. It only gathers the settings; the window imports with them.

#include <string_view>

#include <QDialog>

#include "import/CsvImport.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
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
  QTableWidget* sgPreview = nullptr;
  QLabel* lbNote = nullptr;
  QDialogButtonBox* buttons_ = nullptr;
};
