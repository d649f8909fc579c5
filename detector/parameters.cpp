// Settings schema and parsing.
//
// ConfigureParameters hands the host the schema: one region kind ("ExclusiveROIs"), three
// decimal parameters ("SmokeScore", "Sensitivity", "MinObjectSize") and the regions
// already known. GetModelParameters turns the settings handed back (_params) into
// _exclusiveROIs, _smokeScoreSetting, _motionScoreThreshold and _minObjectRatio, once in
// the object's life, on the first frame that reaches detection.
#include "detector/TEVCustomFS.h"
#include "detector/fixed_text.h"

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <limits>
#include <stdexcept>

namespace {

const char* const kExclusiveKind = "ExclusiveROIs";

bool Contains(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

// Below 0 gives 0, above 1 gives 1; NaN stays NaN.
float ClampToUnit(float value) {
  if (value < 0.0f) {
    return 0.0f;
  }
  if (value > 1.0f) {
    return 1.0f;
  }
  return value;
}

CustomParameter DecimalParameter(const char* name, int upperLimit, float defaultValue) {
  CustomParameter parameter;
  parameter.name = name;
  parameter.dataType = "float";
  parameter.kindCode = 2;
  parameter.upperLimit = upperLimit;
  parameter.lowerLimit = 0;
  parameter.defaultValue = FixedText(defaultValue);
  parameter.startValue = parameter.defaultValue;
  return parameter;
}

int SaturatedInt(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

// The smallest rectangle holding all corners of a region, whatever order they were drawn
// in. For corners listed clockwise from the top-left this is the rectangle from
// top-left, top-right and bottom-right.
cv::Rect RegionRectangle(const std::vector<cv::Point>& points) {
  auto [left, right] =
      std::minmax_element(points.begin(), points.end(),
                          [](const cv::Point& a, const cv::Point& b) { return a.x < b.x; });
  auto [top, bottom] =
      std::minmax_element(points.begin(), points.end(),
                          [](const cv::Point& a, const cv::Point& b) { return a.y < b.y; });
  return cv::Rect(left->x, top->y, SaturatedInt(std::int64_t{right->x} - left->x),
                  SaturatedInt(std::int64_t{bottom->y} - top->y));
}

// Reads a parameter's value as std::stof does. A value without a number, or outside the
// range of float, is reported on stderr and gives false.
bool ReadValue(const CustomParameter& parameter, float& value) {
  try {
    value = std::stof(parameter.value);
    return true;
  } catch (const std::invalid_argument&) {
    std::cerr << "TEVCustomFS: Warning - parameter \"" << parameter.name << "\" has value \""
              << parameter.value << "\", which is not a number; the setting is ignored."
              << std::endl;
  } catch (const std::out_of_range&) {
    std::cerr << "TEVCustomFS: Warning - parameter \"" << parameter.name << "\" has value \""
              << parameter.value << "\", which is out of range; the setting is ignored."
              << std::endl;
  }
  return false;
}

}  // namespace

bool TEVCustomFS::ConfigureParameters(CustomParams& params) {
  params.roiConfigs.clear();
  if (_params.roiConfigs.empty()) {
    CustomROIConfig exclusive;
    exclusive.firstOption = true;
    exclusive.secondOption = false;
    exclusive.thirdOption = false;
    exclusive.minCount = 0;
    exclusive.maxCount = 20;
    exclusive.kindName = kExclusiveKind;
    exclusive.kindLabel = "All Corners";
    params.roiConfigs.push_back(exclusive);
  } else {
    params.roiConfigs = _params.roiConfigs;
  }

  params.textItems.clear();

  params.parameters.clear();
  params.parameters.push_back(DecimalParameter("SmokeScore", 1, _defaultSmokeScore));
  params.parameters.push_back(DecimalParameter("Sensitivity", 1, _defaultSensitivity));
  params.parameters.push_back(
      DecimalParameter("MinObjectSize", 10, DEFAULT_MIN_OBJECT_RATIO * 100.0f));

  params.rois = _params.rois;
  return true;
}

void TEVCustomFS::GetModelParameters() {
  if (_parametersLoaded) {
    return;
  }

  // Rebuilt on every pass, so a pass repeated after a failure cannot add a region twice.
  _exclusiveROIs.clear();
  for (const CustomROI& region : _params.rois) {
    if (Contains(region.kindName, kExclusiveKind) && region.points.size() >= 3) {
      _exclusiveROIs.push_back(RegionRectangle(region.points));
    }
  }

  // The first name that matches decides; a later record of the same name wins.
  for (const CustomParameter& parameter : _params.parameters) {
    float value = 0.0f;
    if (Contains(parameter.name, "SmokeScore")) {
      if (ReadValue(parameter, value)) {
        _smokeScoreSetting = value;
      }
    } else if (Contains(parameter.name, "Sensitivity")) {
      if (ReadValue(parameter, value)) {
        _motionScoreThreshold = ClampToUnit(1.0f - value);
      }
    } else if (Contains(parameter.name, "MinObjectSize")) {
      _minObjectRatio =
          ReadValue(parameter, value) ? ClampToUnit(value / 100.0f) : DEFAULT_MIN_OBJECT_RATIO;
    }
  }

  _parametersLoaded = true;
}
