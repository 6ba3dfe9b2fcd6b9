#include "watch/ModelFront.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/model/Liveness.h"

namespace {

// An error that is not a number is worse than any other.
bool Lower(double a, double b) noexcept {
  return a < b || (std::isnan(b) && !std::isnan(a));
}

}  // namespace

TModelFront::TModelFront(const TSampleData& samples, const TSampleData* heldOut)
    : samples_(samples), heldOut_(heldOut) {}

void TModelFront::Clear() noexcept {
  kept_.clear();
  ++changes_;
}

bool TModelFront::Offer(const TModelUpdate& update) {
  if (!update.Model) return false;
  const std::int32_t size = ModelSize(*update.Model);
  const auto place =
      std::lower_bound(kept_.begin(), kept_.end(), size,
                       [](const TFrontModel& model, std::int32_t s) { return model.Size < s; });
  const bool first = place == kept_.end() || place->Size != size;
  if (!first && !Lower(update.Error, place->Fit.Error)) return false;
  TFrontModel model;
  model.Size = size;
  model.Fit = Fit(update.Predictions, samples_);
  model.Fit.Error = update.Error;  // as the search summed it
  model.Matches = update.Matches;
  model.SampleCount = update.SampleCount;
  if (heldOut_ != nullptr) model.HeldOut = ModelFit(*update.Model, *heldOut_);
  model.Attempt = update.Attempt;
  model.Seed = update.Seed;
  model.Generation = update.Generation;
  model.Model = *update.Model;
  model.Predictions = update.Predictions;
  model.Lines = update.Lines;
  if (first) {
    kept_.insert(place, std::move(model));
  } else {
    *place = std::move(model);
  }
  ++changes_;
  return true;
}

std::vector<const TFrontModel*> TModelFront::Front() const {
  std::vector<const TFrontModel*> front;
  for (const TFrontModel& model : kept_) {
    if (std::isnan(model.Fit.Error)) continue;
    if (front.empty() || model.Fit.Error < front.back()->Fit.Error) front.push_back(&model);
  }
  return front;
}

const TFrontModel* TModelFront::Suggested() const {
  if (heldOut_ == nullptr) return nullptr;
  const std::vector<const TFrontModel*> front = Front();
  double lowest = std::numeric_limits<double>::infinity();
  for (const TFrontModel* model : front) {
    if (Lower(model->HeldOut->Error, lowest)) lowest = model->HeldOut->Error;
  }
  for (const TFrontModel* model : front) {
    if (model->HeldOut->Error <= lowest * (1 + SuggestionShare)) return model;
  }
  // Held-out errors that are all infinite or not numbers: none does better than another.
  return front.empty() ? nullptr : front.front();
}
