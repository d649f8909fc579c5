#include "interface/ITEVCustomClass.h"

#include <utility>

namespace {

// Empties target, then appends a copy of each element of source. A failing copy leaves
// the elements appended so far.
template <typename T>
void ReplaceWithCopies(std::vector<T>& target, const std::vector<T>& source) {
  target.clear();
  for (const T& element : source) {
    target.push_back(element);
  }
}

// A moved-from std::string or std::vector is only "valid but unspecified"; callers rely
// on it being empty.
void LeaveEmpty(std::string& modelDirectory, CustomParams& params) {
  modelDirectory.clear();
  params.roiConfigs.clear();
  params.textItems.clear();
  params.parameters.clear();
  params.rois.clear();
}

}  // namespace

ITEVCustomClass::ITEVCustomClass() = default;

ITEVCustomClass::ITEVCustomClass(const ITEVCustomClass& other) = default;

ITEVCustomClass::ITEVCustomClass(ITEVCustomClass&& other) noexcept
    : _modelDirectory(std::move(other._modelDirectory)),
      _scoreThreshold(other._scoreThreshold),
      _params(std::move(other._params)),
      _loadEngineOnCreate(other._loadEngineOnCreate) {
  LeaveEmpty(other._modelDirectory, other._params);
}

ITEVCustomClass& ITEVCustomClass::operator=(const ITEVCustomClass& other) = default;

ITEVCustomClass& ITEVCustomClass::operator=(ITEVCustomClass&& other) noexcept {
  if (this == &other) {
    return *this;
  }
  _modelDirectory = std::move(other._modelDirectory);
  _scoreThreshold = other._scoreThreshold;
  _params = std::move(other._params);
  _loadEngineOnCreate = other._loadEngineOnCreate;
  LeaveEmpty(other._modelDirectory, other._params);
  return *this;
}

ITEVCustomClass::~ITEVCustomClass() = default;

bool ITEVCustomClass::SetParameters(const CustomParams& params) {
  if (&params == &_params) {
    return true;  // emptying a list before copying it would lose it
  }
  try {
    ReplaceWithCopies(_params.roiConfigs, params.roiConfigs);
    ReplaceWithCopies(_params.textItems, params.textItems);
    ReplaceWithCopies(_params.parameters, params.parameters);
    ReplaceWithCopies(_params.rois, params.rois);
    return true;
  } catch (...) {
    return false;
  }
}

void ITEVCustomClass::SetLoadEngineOnCreate(bool loadEngineOnCreate) {
  _loadEngineOnCreate = loadEngineOnCreate;
}
