#include "import/CsvDialect.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "import/CsvNumber.h"
#include "import/CsvReader.h"

namespace {

constexpr std::size_t SampleBytes = 64 * 1024;
constexpr std::size_t SampleRecords = 200;
constexpr char Delimiters[] = {',', ';', '\t'};

using TRows = std::vector<std::vector<std::string>>;

// The first records under a delimiter; a record cut off by the end of the sample is left out.
TRows SampleRows(std::string_view text, char delimiter) {
  const bool cut = text.size() > SampleBytes;
  const std::string_view sample = text.substr(0, SampleBytes);
  TCsvReader reader(sample, delimiter);
  TCsvRecord record;
  TRows rows;
  while (rows.size() < SampleRecords && reader.Next(record)) {
    if (cut && reader.Position() >= sample.size()) break;
    rows.emplace_back(record.Fields.begin(), record.Fields.end());
  }
  return rows;
}

[[nodiscard]] bool IsNumber(std::string_view cell, char separator) {
  return ParseCsvNumber(cell, separator).has_value();
}

[[nodiscard]] bool IsBlank(std::string_view cell) {
  return cell.find_first_not_of(" \t") == std::string_view::npos;
}

struct TJudgement {
  double Score = -1;  // share of the cells of well-formed rows that are numbers, times their share
  double Consistency = 0;
  std::size_t Width = 0;
  char DecimalSeparator = '.';
};

std::size_t ModalWidth(const TRows& rows) {
  std::map<std::size_t, std::size_t> widths;
  for (const auto& row : rows)
    ++widths[row.size()];
  std::size_t width = 0;
  std::size_t most = 0;
  for (const auto& [size, count] : widths) {
    if (count >= most) {  // a tie goes to the wider rows
      width = size;
      most = count;
    }
  }
  return width;
}

TJudgement Judge(const TRows& rows, char delimiter) {
  TJudgement judgement;
  if (rows.empty()) return judgement;
  judgement.Width = ModalWidth(rows);
  if (judgement.Width < 2) return judgement;
  std::size_t consistent = 0;
  std::size_t points = 0;
  std::size_t commas = 0;
  for (const auto& row : rows) {
    if (row.size() != judgement.Width) continue;
    ++consistent;
    for (const std::string& cell : row) {
      points += IsNumber(cell, '.') ? 1 : 0;
      commas += IsNumber(cell, ',') ? 1 : 0;
    }
  }
  const bool comma = commas > points || (commas == points && delimiter == ';');
  judgement.DecimalSeparator = comma ? ',' : '.';
  judgement.Consistency = static_cast<double>(consistent) / static_cast<double>(rows.size());
  const double numbers = static_cast<double>(comma ? commas : points);
  judgement.Score = numbers / static_cast<double>(rows.size() * judgement.Width);
  return judgement;
}

[[nodiscard]] bool Better(const TJudgement& a, const TJudgement& b) {
  if (a.Score != b.Score) return a.Score > b.Score;
  if (a.Consistency != b.Consistency) return a.Consistency > b.Consistency;
  return a.Width > b.Width;
}

bool JudgeHeader(const TRows& rows, char separator) {
  if (rows.empty()) return false;
  const auto& first = rows.front();
  bool anyNumber = false;
  bool anyText = false;
  for (const std::string& cell : first) {
    if (IsNumber(cell, separator)) {
      anyNumber = true;
    } else if (!IsBlank(cell)) {
      anyText = true;
    }
  }
  if (!anyText) return false;
  if (rows.size() == 1) return !anyNumber;
  bool numbersBelow = false;
  for (std::size_t column = 0; column < first.size(); ++column) {
    std::size_t numbers = 0;
    std::size_t cells = 0;
    for (std::size_t r = 1; r < rows.size(); ++r) {
      if (column >= rows[r].size() || IsBlank(rows[r][column])) continue;
      ++cells;
      numbers += IsNumber(rows[r][column], separator) ? 1 : 0;
    }
    numbersBelow = numbersBelow || numbers > 0;
    const bool text = !IsBlank(first[column]) && !IsNumber(first[column], separator);
    if (text && numbers * 2 > cells) return true;
  }
  return !anyNumber && numbersBelow;
}

}  // namespace

TCsvDialect DetectCsvDialect(std::string_view text) {
  TCsvDialect dialect;
  TJudgement best;
  TRows bestRows;
  for (const char delimiter : Delimiters) {
    TRows rows = SampleRows(text, delimiter);
    const TJudgement judgement = Judge(rows, delimiter);
    if (judgement.Width < 2 || !Better(judgement, best)) continue;
    best = judgement;
    dialect.Delimiter = delimiter;
    dialect.DecimalSeparator = judgement.DecimalSeparator;
    bestRows = std::move(rows);
  }
  if (best.Width < 2) bestRows = SampleRows(text, dialect.Delimiter);
  dialect.Header = JudgeHeader(bestRows, dialect.DecimalSeparator);
  return dialect;
}

bool DetectCsvHeader(std::string_view text, char delimiter, char decimalSeparator) {
  return JudgeHeader(SampleRows(text, delimiter), decimalSeparator);
}
