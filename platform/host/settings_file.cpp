#include "platform/host/settings_file.h"

#include "platform/host/host_failure.h"
#include "platform/host/json_file.h"
#include "platform/json/bounded_json.h"

#include <algorithm>
#include <optional>

namespace tevhost {
namespace {

using nlohmann::json;

constexpr long long kLargestCoordinate = 1000000;

std::string KnownKeys(const CustomParams& schema) {
  std::string keys;
  for (const CustomParameter& parameter : schema.parameters) {
    keys += (keys.empty() ? "\"" : ", \"") + parameter.name + "\"";
  }
  for (const CustomROIConfig& kind : schema.roiConfigs) {
    keys += (keys.empty() ? "\"" : ", \"") + kind.kindName + "\"";
  }
  return keys;
}

// [x, y, width, height] in frame pixels, or nothing when the value is not one.
std::optional<cv::Rect> Rectangle(const json& value) {
  if (!value.is_array() || value.size() != 4) {
    return std::nullopt;
  }
  long long numbers[4];
  for (int index = 0; index < 4; ++index) {
    if (!value[index].is_number_integer()) {
      return std::nullopt;
    }
    numbers[index] = value[index].get<long long>();
    if (numbers[index] < (index < 2 ? 0 : 1) || numbers[index] > kLargestCoordinate) {
      return std::nullopt;
    }
  }
  return cv::Rect(static_cast<int>(numbers[0]), static_cast<int>(numbers[1]),
                  static_cast<int>(numbers[2]), static_cast<int>(numbers[3]));
}

// Corners clockwise from the top-left, as the detector reads a region.
std::vector<cv::Point> Corners(const cv::Rect& rectangle) {
  return {rectangle.tl(),
          {rectangle.x + rectangle.width, rectangle.y},
          rectangle.br(),
          {rectangle.x, rectangle.y + rectangle.height}};
}

}  // namespace

SettingsFile::SettingsFile(std::string path, json values)
    : _path(std::move(path)), _values(std::move(values)) {}

SettingsFile SettingsFile::Read(const std::string& path) {
  json values = ReadJsonFile(path, "settings file", "check its path");
  if (!values.is_object()) {
    throw HostFailure(FailureKind::Usage,
                      "settings file " + path +
                          " must hold a JSON object such as {\"SmokeScore\": 0.7}, not " +
                          values.type_name());
  }
  return SettingsFile(path, std::move(values));
}

std::optional<SettingsFile> SettingsFile::ReadIfGiven(const std::string& path) {
  if (path.empty()) {
    return std::nullopt;
  }
  return Read(path);
}

CustomParams SettingsFile::ParametersFor(ITEVCustomClass& detector) const {
  CustomParams params;
  detector.ConfigureParameters(params);
  for (CustomParameter& parameter : params.parameters) {
    parameter.value = parameter.defaultValue;
  }
  for (const auto& [key, value] : _values.items()) {
    const auto parameter =
        std::find_if(params.parameters.begin(), params.parameters.end(),
                     [&key = key](const CustomParameter& known) { return known.name == key; });
    const auto kind =
        std::find_if(params.roiConfigs.begin(), params.roiConfigs.end(),
                     [&key = key](const CustomROIConfig& known) { return known.kindName == key; });
    if (parameter != params.parameters.end()) {
      SetValue(*parameter, value);
    } else if (kind != params.roiConfigs.end()) {
      AddRegions(*kind, value, params.rois);
    } else {
      Fail(key, "is not a setting of this detector; the settings are " + KnownKeys(params));
    }
  }
  return params;
}

void SettingsFile::SetValue(CustomParameter& parameter, const json& value) const {
  if (!value.is_number() || value.get<double>() < parameter.lowerLimit ||
      value.get<double>() > parameter.upperLimit) {
    Fail(parameter.name, "must be a number from " + std::to_string(parameter.lowerLimit) + " to " +
                             std::to_string(parameter.upperLimit) + ", not " +
                             tevjson::Abridged(value.dump()));
  }
  // The detector reads values as decimal text; JSON's own text keeps every digit given.
  parameter.value = value.dump();
}

void SettingsFile::AddRegions(const CustomROIConfig& kind, const json& value,
                              std::vector<CustomROI>& regions) const {
  const std::string shape =
      "must be a list of rectangles [x, y, width, height] in frame pixels (whole numbers, x and "
      "y from 0, width and height from 1)";
  if (!value.is_array()) {
    Fail(kind.kindName, shape + ", not " + tevjson::Abridged(value.dump()));
  }
  if (static_cast<long long>(value.size()) > kind.maxCount) {
    Fail(kind.kindName, "holds " + std::to_string(value.size()) + " rectangles; at most " +
                            std::to_string(kind.maxCount) + " are allowed");
  }
  for (std::size_t index = 0; index < value.size(); ++index) {
    const std::optional<cv::Rect> rectangle = Rectangle(value[index]);
    if (!rectangle) {
      Fail(kind.kindName, shape + "; rectangle " + std::to_string(index + 1) + " is " +
                              tevjson::Abridged(value[index].dump()));
    }
    CustomROI region;
    region.name = kind.kindName + " " + std::to_string(index + 1);
    region.points = Corners(*rectangle);
    region.label = kind.kindLabel;
    region.kindName = kind.kindName;
    regions.push_back(std::move(region));
  }
}

void SettingsFile::Fail(const std::string& key, const std::string& problem) const {
  throw HostFailure(FailureKind::Usage,
                    "settings file " + _path + ": \"" + tevjson::Abridged(key) + "\" " + problem);
}

}  // namespace tevhost
