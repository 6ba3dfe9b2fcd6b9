#include "app/ImportDialog.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// A cell of a file gone wrong (a quote never closed) can hold the rest of the file.
constexpr std::size_t PreviewCellLength = 200;

template <typename Widget, typename... Args>
Widget* Named(const char* name, Args&&... args) {
  auto* widget = new Widget(std::forward<Args>(args)...);
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// "2: time", or "Column 2" without a header name.
QString ColumnTitle(const TCsvPreview& preview, int column) {
  const auto index = static_cast<std::size_t>(column);
  if (index < preview.Header.size() && !preview.Header[index].empty())
    return QStringLiteral("%1: %2")
        .arg(column + 1)
        .arg(Text(std::string_view(preview.Header[index]).substr(0, PreviewCellLength)));
  return QStringLiteral("Column %1").arg(column + 1);
}

void SelectData(QComboBox& box, QVariant value) {
  const int index = box.findData(value);
  if (index >= 0) box.setCurrentIndex(index);
}

}  // namespace

TImportDialog::TImportDialog(std::string_view text, const QString& fileName, QWidget* parent)
    : QDialog(parent), text_(text), detected_(DetectCsvImport(text)) {
  setObjectName(QStringLiteral("ImportDialog1"));
  setWindowTitle(QStringLiteral("Import"));
  for (const TColumnChoice& choice : detected_.X)
    inputs_.push_back(choice.Number);
  // More columns of numbers than a set takes inputs: start from the first, which imports,
  // rather than a choice the user would untick column by column.
  if (std::ssize(inputs_) > MaxInputs) inputs_.resize(1);
  createControls(fileName);
  const TCsvPreview preview = Preview();
  FillColumnBoxes(preview);
  SelectData(*cbColumnY, detected_.Y.Number);
  ShowPreview(Preview());
  resize(640, 480);
}

void TImportDialog::createControls(const QString& fileName) {
  auto* file = Named<QLabel>("lbFile", QStringLiteral("File: %1").arg(fileName), this);
  file->setTextInteractionFlags(Qt::TextSelectableByMouse);

  sgPreview = Named<QTableWidget>("sgPreview", this);
  sgPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
  sgPreview->setSelectionMode(QAbstractItemView::NoSelection);
  sgPreview->setWordWrap(false);
  sgPreview->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  sgPreview->verticalHeader()->setDefaultSectionSize(
      sgPreview->verticalHeader()->minimumSectionSize());

  cbDelimiter = Named<QComboBox>("cbDelimiter", this);
  cbDelimiter->addItem(QStringLiteral("Comma (,)"), QChar(','));
  cbDelimiter->addItem(QStringLiteral("Semicolon (;)"), QChar(';'));
  cbDelimiter->addItem(QStringLiteral("Tab"), QChar('\t'));
  cbDecimal = Named<QComboBox>("cbDecimal", this);
  cbDecimal->addItem(QStringLiteral("Point (.)"), QChar('.'));
  cbDecimal->addItem(QStringLiteral("Comma (,)"), QChar(','));
  opHeader = Named<QCheckBox>("opHeader", QStringLiteral("First row is a header"), this);
  SelectData(*cbDelimiter, QChar(detected_.Dialect.Delimiter));
  SelectData(*cbDecimal, QChar(detected_.Dialect.DecimalSeparator));
  opHeader->setChecked(detected_.Dialect.Header);

  cbColumnX = Named<QComboBox>("cbColumnX", this);
  cbColumnY = Named<QComboBox>("cbColumnY", this);
  lsInputs = Named<QListWidget>("lsInputs", this);
  lsInputs->setFlow(QListView::LeftToRight);
  lsInputs->setWrapping(true);
  lsInputs->setResizeMode(QListView::Adjust);
  lsInputs->setSpacing(2);
  lsInputs->setSelectionMode(QAbstractItemView::NoSelection);
  lsInputs->setMaximumHeight(2 * lsInputs->fontMetrics().height() + 16);
  lbNote = Named<QLabel>("lbNote", this);
  lbNote->setWordWrap(true);

  buttons_ =
      Named<QDialogButtonBox>("buttons", QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons_->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Import"));

  auto* format = new QGridLayout();
  format->addWidget(new QLabel(QStringLiteral("Delimiter:"), this), 0, 0);
  format->addWidget(cbDelimiter, 0, 1);
  format->addWidget(new QLabel(QStringLiteral("Decimal separator:"), this), 0, 2);
  format->addWidget(cbDecimal, 0, 3);
  format->addWidget(opHeader, 0, 4);
  format->addWidget(new QLabel(QStringLiteral("x column:"), this), 1, 0);
  format->addWidget(cbColumnX, 1, 1);
  format->addWidget(new QLabel(QStringLiteral("y column:"), this), 1, 2);
  format->addWidget(cbColumnY, 1, 3);
  auto* inputsCaption = new QLabel(QStringLiteral("Inputs:"), this);
  inputsCaption->setBuddy(lsInputs);
  format->addWidget(inputsCaption, 2, 0, Qt::AlignTop);
  format->addWidget(lsInputs, 2, 1, 1, 5);
  format->setColumnStretch(5, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(file);
  layout->addWidget(sgPreview, 1);
  layout->addLayout(format);
  layout->addWidget(lbNote);
  layout->addWidget(buttons_);

  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  for (QComboBox* box : {cbDelimiter, cbDecimal})
    connect(box, &QComboBox::currentIndexChanged, this, &TImportDialog::DialectChanged);
  connect(opHeader, &QCheckBox::toggled, this, &TImportDialog::DialectChanged);
  connect(cbColumnX, &QComboBox::currentIndexChanged, this, &TImportDialog::XChosen);
  connect(cbColumnY, &QComboBox::currentIndexChanged, this, &TImportDialog::ColumnsChanged);
  connect(lsInputs, &QListWidget::itemChanged, this, &TImportDialog::InputTicked);
}

TCsvImportSettings TImportDialog::Settings() const {
  TCsvImportSettings settings;
  settings.Dialect.Delimiter = static_cast<char>(cbDelimiter->currentData().toChar().unicode());
  settings.Dialect.DecimalSeparator =
      static_cast<char>(cbDecimal->currentData().toChar().unicode());
  settings.Dialect.Header = opHeader->isChecked();
  settings.X.clear();
  for (const std::int32_t column : inputs_)
    settings.X.push_back(TColumnChoice::ByNumber(column));
  settings.Y = TColumnChoice::ByNumber(std::max(cbColumnY->currentData().toInt(), 1));
  return settings;
}

TCsvPreview TImportDialog::Preview() const {
  return PreviewCsv(text_, Settings(), PreviewRows);
}

void TImportDialog::DialectChanged() {
  const TCsvPreview preview = Preview();
  FillColumnBoxes(preview);
  ShowPreview(Preview());  // the columns may have moved back into range
}

void TImportDialog::ColumnsChanged() {
  ShowPreview(Preview());
}

// Picking x in its box makes it the one input, as the box did before inputs could be ticked.
void TImportDialog::XChosen(int index) {
  if (index < 0) return;
  inputs_ = {index + 1};
  ShowInputs();
  ShowPreview(Preview());
}

void TImportDialog::InputTicked(QListWidgetItem* item) {
  const std::int32_t column = lsInputs->row(item) + 1;
  std::erase(inputs_, column);
  if (item->checkState() == Qt::Checked) {
    inputs_.insert(std::upper_bound(inputs_.begin(), inputs_.end(), column), column);
  }
  ShowInputs();
  ShowPreview(Preview());
}

void TImportDialog::ShowInputs() {
  {
    const QSignalBlocker quiet(cbColumnX);
    // The box shows x while there is one input; several are shown by their ticks.
    cbColumnX->setPlaceholderText(
        inputs_.empty() ? QStringLiteral("none") : QStringLiteral("%1 inputs").arg(inputs_.size()));
    cbColumnX->setCurrentIndex(inputs_.size() == 1 ? inputs_.front() - 1 : -1);
  }
  const QSignalBlocker quiet(lsInputs);
  for (int row = 0; row < lsInputs->count(); ++row) {
    const bool input = std::find(inputs_.begin(), inputs_.end(), row + 1) != inputs_.end();
    lsInputs->item(row)->setCheckState(input ? Qt::Checked : Qt::Unchecked);
  }
}

// One item per column of the preview; a choice that is still there stays chosen.
void TImportDialog::FillColumnBoxes(const TCsvPreview& preview) {
  const int columns = std::max(preview.Columns, 1);
  {
    const QSignalBlocker quiet(cbColumnY);
    const int chosen = cbColumnY->currentData().toInt();
    cbColumnY->clear();
    for (int column = 0; column < columns; ++column)
      cbColumnY->addItem(ColumnTitle(preview, column), column + 1);
    const int keep = chosen >= 1 && chosen <= columns ? chosen : std::min(2, columns);
    cbColumnY->setCurrentIndex(keep - 1);
  }
  {
    const QSignalBlocker quiet(cbColumnX);
    cbColumnX->clear();
    for (int column = 0; column < columns; ++column)
      cbColumnX->addItem(ColumnTitle(preview, column), column + 1);
  }
  {
    const QSignalBlocker quiet(lsInputs);
    lsInputs->clear();
    for (int column = 0; column < columns; ++column) {
      auto* item = new QListWidgetItem(ColumnTitle(preview, column), lsInputs);
      item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
    }
  }
  std::erase_if(inputs_, [columns](std::int32_t column) { return column > columns; });
  if (inputs_.empty()) inputs_ = {1};
  ShowInputs();
}

void TImportDialog::ShowPreview(const TCsvPreview& preview) {
  const int y = cbColumnY->currentData().toInt() - 1;
  // A header of a million columns takes minutes to lay out.
  const int shown = std::min(preview.Columns, PreviewColumns);
  const auto inputAt = [this](int column) {
    const auto found = std::find(inputs_.begin(), inputs_.end(), column + 1);
    return found == inputs_.end() ? -1 : static_cast<int>(found - inputs_.begin());
  };
  sgPreview->clear();
  sgPreview->setRowCount(static_cast<int>(preview.Rows.size()));
  sgPreview->setColumnCount(shown);
  QStringList titles;
  for (int column = 0; column < shown; ++column) {
    QString title = ColumnTitle(preview, column);
    if (const int input = inputAt(column); input >= 0) {
      title +=
          inputs_.size() == 1 ? QStringLiteral(" [x]") : QStringLiteral(" [x%1]").arg(input + 1);
    }
    if (column == y) title += QStringLiteral(" [y]");
    titles << title;
  }
  sgPreview->setHorizontalHeaderLabels(titles);

  const QColor chosen = palette().color(QPalette::AlternateBase);
  const QColor skipped = palette().color(QPalette::Disabled, QPalette::Text);
  int skippedRows = 0;
  for (std::size_t r = 0; r < preview.Rows.size(); ++r) {
    const bool readable = preview.Readable[r];
    skippedRows += readable ? 0 : 1;
    const auto& row = preview.Rows[r];
    for (std::size_t c = 0; c < std::min(row.size(), static_cast<std::size_t>(shown)); ++c) {
      auto* cell =
          new QTableWidgetItem(Text(std::string_view(row[c]).substr(0, PreviewCellLength)));
      const int column = static_cast<int>(c);
      if (inputAt(column) >= 0 || column == y) cell->setBackground(chosen);
      if (!readable) {
        cell->setForeground(skipped);
        cell->setToolTip(QStringLiteral("Skipped: ") + Text(preview.Skipped[r]) + QLatin1Char('.'));
      }
      sgPreview->setItem(static_cast<int>(r), column, cell);
    }
  }
  sgPreview->resizeColumnsToContents();

  QString note;
  if (!preview.ColumnError.empty()) {
    note = Text(preview.ColumnError);
  } else if (preview.Rows.empty()) {
    note = QStringLiteral("The file holds no rows of data.");
  } else {
    note = preview.Columns > shown
               ? QStringLiteral(
                     "The first %1 rows of data and the first %2 of their %3 columns "
                     "are shown")
                     .arg(preview.Rows.size())
                     .arg(shown)
                     .arg(preview.Columns)
               : QStringLiteral("The first %1 rows of data are shown").arg(preview.Rows.size());
    note += skippedRows == 0 ? (inputs_.size() == 1
                                    ? QStringLiteral("; each has numbers in both chosen columns.")
                                    : QStringLiteral("; each has numbers in every chosen column."))
                             : QStringLiteral("; %1 of them will be skipped: %2.")
                                   .arg(skippedRows)
                                   .arg(Text(SkippedReasons(preview)));
  }
  lbNote->setText(note);
  buttons_->button(QDialogButtonBox::Ok)
      ->setEnabled(!preview.Rows.empty() && preview.ColumnError.empty());
}
