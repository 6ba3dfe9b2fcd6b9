#pragma once
// TModelFront: the trade-off between a model's size and its error over a run. For each size
// (live instructions, ModelSize) it keeps the model with the lowest error that the search
// showed, in the order the models came; the front is the kept models that beat every
// smaller one. With rows held out of the search, each kept model carries its figures on
// them, and the front suggests the smallest model that does about as well there as any.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/model/SD.h"
#include "core/model/TE.h"
#include "core/search/SearchRun.h"
#include "watch/FitFigures.h"

struct TFrontModel {
  std::int32_t Size = 0;
  TFitFigures Fit;  // over the samples searched
  std::int32_t Matches = 0;
  std::int32_t SampleCount = 0;
  std::optional<TFitFigures> HeldOut;  // over the rows held out of the search
  std::int32_t Attempt = 0;            // where it was found
  std::uint32_t Seed = 0;
  std::int32_t Generation = 0;
  TTuringEvaluator Model{1, 1};
  std::vector<double> Predictions;  // one per sample searched
  std::vector<std::string> Lines;   // the model text
};

class TModelFront {
 public:
  // The suggestion's tolerance: a held-out error at most this share above the lowest.
  static constexpr double SuggestionShare = 0.05;

  // samples: the rows the search scores; heldOut: rows kept out of it, or none. Both must
  // outlive the front and stay as they are while it holds models.
  explicit TModelFront(const TSampleData& samples, const TSampleData* heldOut = nullptr);

  // Keeps the model when it is the first of its size or its error is lower than that of
  // the one kept (a tie keeps the earlier); says whether it was kept.
  bool Offer(const TModelUpdate& update);
  void Clear() noexcept;

  // One model per size met, by size.
  [[nodiscard]] const std::vector<TFrontModel>& Kept() const noexcept { return kept_; }
  // The kept models whose error is lower than that of every smaller one, by size.
  [[nodiscard]] std::vector<const TFrontModel*> Front() const;
  // The smallest model of the front whose held-out error is at most SuggestionShare above
  // the lowest held-out error of the front; none without held-out rows.
  [[nodiscard]] const TFrontModel* Suggested() const;
  [[nodiscard]] bool HasHeldOut() const noexcept { return heldOut_ != nullptr; }
  // The rows the search scores, whose column names name the models' inputs.
  [[nodiscard]] const TSampleData& Samples() const noexcept { return samples_; }
  // Offers that changed what is kept, so that a view redraws only then.
  [[nodiscard]] std::uint64_t Changes() const noexcept { return changes_; }

 private:
  const TSampleData& samples_;
  const TSampleData* heldOut_;
  std::vector<TFrontModel> kept_;
  std::uint64_t changes_ = 0;
};
