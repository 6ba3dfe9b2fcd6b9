#pragma once
// TFrontTable: the front of a run as a table, one row per model, smallest first: size,
// error, RMSE, R², matches, the held-out figures when rows were held out, and the formula.
// The window shows it and shows a chosen row's model everywhere; movar-search --front prints
// it with FrontTableLines. The rows are copies: the front may change while they are shown.

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "watch/ModelFront.h"
#include "watch/ProgressHistory.h"

class TFrontTable {
 public:
  enum TColumn {
    SizeColumn,
    ErrorColumn,
    RmseColumn,
    RSquaredColumn,
    MatchesColumn,
    HeldOutErrorColumn,
    HeldOutRmseColumn,
    HeldOutRSquaredColumn,
    FormulaColumn,
    ColumnCount
  };

  // Takes the rows of the front as it is now; formulas already made are kept.
  void Show(const TModelFront& front);
  void Clear();

  [[nodiscard]] std::size_t RowCount() const noexcept { return rows_.size(); }
  // Whether the held-out columns have figures; without held-out rows a view hides them.
  [[nodiscard]] bool HasHeldOut() const noexcept { return heldOut_; }
  [[nodiscard]] static std::string Header(TColumn column);
  // Numbers as the best models show them: six significant digits, the user's decimal
  // separator. The formula is made the first time its row is asked for (GiNaC: call from
  // one thread at a time).
  [[nodiscard]] std::string Text(std::size_t row, TColumn column);
  [[nodiscard]] bool IsSuggested(std::size_t row) const noexcept { return suggested_ == row; }
  [[nodiscard]] std::optional<std::size_t> Suggested() const noexcept { return suggested_; }
  // The model of a row, to show its text, its predictions and its formula.
  [[nodiscard]] const TFrontModel& Model(std::size_t row) const { return rows_.at(row); }

 private:
  [[nodiscard]] const std::string& Formula(const TFrontModel& model);

  std::vector<TFrontModel> rows_;
  std::optional<std::size_t> suggested_;
  bool heldOut_ = false;
  std::map<std::string, std::string> formulas_;  // by model source
  TSampleData inputs_;  // no rows: the input count and names the formulas use
};

// The front as its chart draws it: error against size, the error on a log axis.
struct TFrontPlot {
  std::vector<TSamplePoint> Points;  // (size, LogAxisValue of the error), smallest first
  std::optional<std::size_t> Suggested;
  TErrorRange ErrorAxis{0.1, 10};
  double SizeAxis = 1;  // the size axis runs from 0 to here
};
[[nodiscard]] TFrontPlot FrontPlot(const TFrontTable& table);

// "suggested: the smallest model whose held-out error is within 5% of the lowest"
[[nodiscard]] std::string SuggestionNote();

// The table as lines of text: a header, then one line per row with its cells aligned and
// the formula last; the suggested row is marked "*" and a line under the table says why.
[[nodiscard]] std::vector<std::string> FrontTableLines(TFrontTable& table);
