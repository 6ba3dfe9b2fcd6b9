#include "frontend/FrontTable.h"

#include <algorithm>
#include <cmath>

#include "core/model/SD.h"
#include "formula/ModelFormula.h"
#include "watch/BestModels.h"

namespace {

std::string HeldOutText(const std::optional<TFitFigures>& heldOut, double TFitFigures::*figure) {
  return heldOut ? FormatModelError((*heldOut).*figure) : std::string();
}

// Characters as a reader counts them: UTF-8 continuation bytes take no place of their own.
std::size_t Width(const std::string& text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

}  // namespace

void TFrontTable::Show(const TModelFront& front) {
  rows_.clear();
  suggested_.reset();
  const TFrontModel* suggested = front.Suggested();
  for (const TFrontModel* model : front.Front()) {
    if (model == suggested) suggested_ = rows_.size();
    rows_.push_back(*model);
  }
  heldOut_ = front.HasHeldOut();
  // Formulas name the inputs as the searched set does; other names make them anew.
  const TSampleData& samples = front.Samples();
  if (inputs_.InputCount() != samples.InputCount() || inputs_.Names() != samples.Names()) {
    inputs_ = TSampleData(0, samples.InputCount());
    inputs_.SetNames(samples.Names());
    formulas_.clear();
  }
}

void TFrontTable::Clear() {
  rows_.clear();
  suggested_.reset();
  heldOut_ = false;
  formulas_.clear();
}

std::string TFrontTable::Header(TColumn column) {
  switch (column) {
    case SizeColumn:
      return "size";
    case ErrorColumn:
      return "error";
    case RmseColumn:
      return "RMSE";
    case RSquaredColumn:
      return "R\u00b2";
    case MatchesColumn:
      return "matches";
    case HeldOutErrorColumn:
      return "held-out error";
    case HeldOutRmseColumn:
      return "held-out RMSE";
    case HeldOutRSquaredColumn:
      return "held-out R\u00b2";
    case FormulaColumn:
    case ColumnCount:
      break;
  }
  return "formula";
}

const std::string& TFrontTable::Formula(const TFrontModel& model) {
  const std::string source = model.Model.EmitSource();
  const auto found = formulas_.find(source);
  if (found != formulas_.end()) return found->second;
  // The text alone: checking it against the samples is the formula line's work.
  const TModelFormula formula = MakeFormula(model.Model, inputs_);
  return formulas_
      .emplace(source, formula.Available ? formula.Plain : std::string("(too large to show)"))
      .first->second;
}

std::string TFrontTable::Text(std::size_t row, TColumn column) {
  const TFrontModel& model = rows_.at(row);
  switch (column) {
    case SizeColumn:
      return std::to_string(model.Size);
    case ErrorColumn:
      return FormatModelError(model.Fit.Error);
    case RmseColumn:
      return FormatModelError(model.Fit.Rmse);
    case RSquaredColumn:
      return FormatModelError(model.Fit.RSquared);
    case MatchesColumn:
      return FormatMatches(model.Matches, model.SampleCount);
    case HeldOutErrorColumn:
      return HeldOutText(model.HeldOut, &TFitFigures::Error);
    case HeldOutRmseColumn:
      return HeldOutText(model.HeldOut, &TFitFigures::Rmse);
    case HeldOutRSquaredColumn:
      return HeldOutText(model.HeldOut, &TFitFigures::RSquared);
    case FormulaColumn:
    case ColumnCount:
      break;
  }
  return Formula(model);
}

TFrontPlot FrontPlot(const TFrontTable& table) {
  TFrontPlot plot;
  std::optional<TErrorRange> range;
  std::int32_t largest = 0;
  for (std::size_t row = 0; row < table.RowCount(); ++row) {
    const TFrontModel& model = table.Model(row);
    largest = std::max(largest, model.Size);
    const double error = model.Fit.Error;
    if (!(error > 0) || !std::isfinite(error)) continue;
    if (!range) range = TErrorRange{error, error};
    range->Min = std::min(range->Min, error);
    range->Max = std::max(range->Max, error);
  }
  const TErrorRange errors = range.value_or(TErrorRange{1, 1});
  plot.ErrorAxis = LogAxisRange(errors);
  plot.SizeAxis = NiceCeiling(largest);
  for (std::size_t row = 0; row < table.RowCount(); ++row) {
    const TFrontModel& model = table.Model(row);
    if (!std::isfinite(model.Fit.Error)) continue;
    if (table.IsSuggested(row)) plot.Suggested = plot.Points.size();
    plot.Points.push_back({static_cast<double>(model.Size), LogAxisValue(model.Fit.Error, errors)});
  }
  return plot;
}

std::string SuggestionNote() {
  return "suggested: the smallest model whose held-out error is within " +
         std::to_string(static_cast<int>(TModelFront::SuggestionShare * 100 + 0.5)) +
         "% of the lowest";
}

std::vector<std::string> FrontTableLines(TFrontTable& table) {
  std::vector<TFrontTable::TColumn> columns = {TFrontTable::SizeColumn, TFrontTable::ErrorColumn,
                                               TFrontTable::RmseColumn, TFrontTable::RSquaredColumn,
                                               TFrontTable::MatchesColumn};
  if (table.HasHeldOut()) {
    columns.insert(columns.end(), {TFrontTable::HeldOutErrorColumn, TFrontTable::HeldOutRmseColumn,
                                   TFrontTable::HeldOutRSquaredColumn});
  }
  columns.push_back(TFrontTable::FormulaColumn);
  std::vector<std::vector<std::string>> cells(table.RowCount() + 1);
  for (const TFrontTable::TColumn column : columns)
    cells[0].push_back(TFrontTable::Header(column));
  for (std::size_t row = 0; row < table.RowCount(); ++row) {
    for (const TFrontTable::TColumn column : columns)
      cells[row + 1].push_back(table.Text(row, column));
  }
  std::vector<std::size_t> widths(columns.size(), 0);
  for (const std::vector<std::string>& line : cells) {
    for (std::size_t c = 0; c + 1 < line.size(); ++c)
      widths[c] = std::max(widths[c], Width(line[c]));
  }
  std::vector<std::string> lines;
  for (std::size_t row = 0; row < cells.size(); ++row) {
    const bool suggested = row > 0 && table.IsSuggested(row - 1);
    std::string text = suggested ? "*" : " ";
    for (std::size_t c = 0; c < cells[row].size(); ++c) {
      const std::string& cell = cells[row][c];
      const bool last = c + 1 == cells[row].size();
      // Numbers to the right, the formula to the left.
      const std::string pad(last ? 0 : widths[c] - Width(cell), ' ');
      text += "  " + pad + cell;
    }
    lines.push_back(std::move(text));
  }
  if (table.Suggested()) lines.push_back("* " + SuggestionNote());
  return lines;
}
