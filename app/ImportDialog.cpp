#include "app/ImportDialog.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
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
  createControls(fileName);
  const TCsvPreview preview = Preview();
  FillColumnBoxes(preview);
  SelectData(*cbColumnX, detected_.X.front().Number);
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
  for (QComboBox* box : {cbColumnX, cbColumnY})
    connect(box, &QComboBox::currentIndexChanged, this, &TImportDialog::ColumnsChanged);
}

TCsvImportSettings TImportDialog::Settings() const {
  TCsvImportSettings settings;
  settings.Dialect.Delimiter = static_cast<char>(cbDelimiter->currentData().toChar().unicode());
  settings.Dialect.DecimalSeparator =
      static_cast<char>(cbDecimal->currentData().toChar().unicode());
  settings.Dialect.Header = opHeader->isChecked();
  settings.X = {TColumnChoice::ByNumber(std::max(cbColumnX->currentData().toInt(), 1))};
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

// One item per column of the preview; a choice that is still there stays chosen.
void TImportDialog::FillColumnBoxes(const TCsvPreview& preview) {
  const int columns = std::max(preview.Columns, 1);
  const int fallback[] = {1, std::min(2, columns)};
  int which = 0;
  for (QComboBox* box : {cbColumnX, cbColumnY}) {
    const QSignalBlocker quiet(box);
    const int chosen = box->currentData().toInt();
    box->clear();
    for (int column = 0; column < columns; ++column)
      box->addItem(ColumnTitle(preview, column), column + 1);
    const int keep = chosen >= 1 && chosen <= columns ? chosen : fallback[which];
    box->setCurrentIndex(keep - 1);
    ++which;
  }
}

void TImportDialog::ShowPreview(const TCsvPreview& preview) {
  const int x = cbColumnX->currentData().toInt() - 1;
  const int y = cbColumnY->currentData().toInt() - 1;
  // A header of a million columns takes minutes to lay out.
  const int shown = std::min(preview.Columns, PreviewColumns);
  sgPreview->clear();
  sgPreview->setRowCount(static_cast<int>(preview.Rows.size()));
  sgPreview->setColumnCount(shown);
  QStringList titles;
  for (int column = 0; column < shown; ++column) {
    QString title = ColumnTitle(preview, column);
    if (column == x) title += QStringLiteral(" [x]");
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
      if (column == x || column == y) cell->setBackground(chosen);
      if (!readable) {
        cell->setForeground(skipped);
        cell->setToolTip(QStringLiteral("Skipped: a chosen cell is not a number."));
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
    note += skippedRows == 0
                ? QStringLiteral("; each has numbers in both chosen columns.")
                : QStringLiteral("; %1 of them will be skipped: a chosen cell is not a number.")
                      .arg(skippedRows);
  }
  lbNote->setText(note);
  buttons_->button(QDialogButtonBox::Ok)
      ->setEnabled(!preview.Rows.empty() && preview.ColumnError.empty());
}
