#pragma once
// TBestModels: the distinct best programs of a run, at most Capacity of them, the one that
// matches the most samples first and, among equal matches, the one with the smaller error.
// Two programs are the same when their model source is; each keeps what it takes to show
// it again: its predictions and its model text.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/search/SearchRun.h"

struct TBestModel {
  double Error = 0;       // over every sample
  std::int32_t Size = 0;  // live instructions (ModelSize)
  std::int32_t Matches = 0;
  std::int32_t SampleCount = 0;
  std::string Formula;                    // empty until the model is given as a formula
  std::optional<TTuringEvaluator> Model;  // the program, for its formula and code
  std::vector<double> Predictions;
  std::vector<std::string> Lines;
};

class TBestModels {
 public:
  static constexpr std::size_t Capacity = 10;

  void Clear() noexcept { models_.clear(); }
  // Place, then RemoveLast on a full list, then Insert: the row the model now has, or
  // nothing when it is listed already or ranks below a full list.
  std::optional<std::size_t> Offer(const TModelUpdate& update);

  // The row the model would take; nothing as for Offer.
  [[nodiscard]] std::optional<std::size_t> Place(const TModelUpdate& update) const;
  void Insert(std::size_t row, const TModelUpdate& update);
  void RemoveLast() { models_.pop_back(); }
  void SetFormula(std::size_t row, std::string formula) {
    models_.at(row).Formula = std::move(formula);
  }

  [[nodiscard]] std::size_t Size() const noexcept { return models_.size(); }
  [[nodiscard]] const TBestModel& At(std::size_t row) const { return models_.at(row); }

 private:
  std::vector<TBestModel> models_;
};

// "0.0123457": six significant figures, the user's decimal separator.
[[nodiscard]] std::string FormatModelError(double error);

// "37 of 100".
[[nodiscard]] std::string FormatMatches(std::int32_t matches, std::int32_t sampleCount);

// Whether a ranks before b. An error that is not a number ranks after every other.
[[nodiscard]] bool RanksBefore(const TBestModel& a, const TBestModel& b) noexcept;
