// The settings file: {"SmokeScore": 0.7, "Sensitivity": 0.5, "MinObjectSize": 0.03,
// "ExclusiveROIs": [[x, y, w, h], ...]}. Keys are the parameter names and region kinds of
// the detector's schema; a region is a rectangle in frame pixels.
#pragma once

#include "interface/ITEVCustomClass.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

namespace tevhost {

class SettingsFile {
 public:
  // Reads and parses the file. Throws HostFailure (Usage) when it cannot be read or is
  // not a JSON object, with the JSON error.
  static SettingsFile Read(const std::string& path);
  // Read, or nothing for an empty path (the detector's defaults).
  static std::optional<SettingsFile> ReadIfGiven(const std::string& path);

  // The settings as the detector takes them through SetParameters: its schema from
  // ConfigureParameters, every parameter's value filled (from the file, else its
  // default) and one region per rectangle with its four corners clockwise from the
  // top-left. Throws HostFailure (Usage) naming the key for an unknown key or a value of
  // the wrong type or range.
  CustomParams ParametersFor(ITEVCustomClass& detector) const;

 private:
  SettingsFile(std::string path, nlohmann::json values);
  void SetValue(CustomParameter& parameter, const nlohmann::json& value) const;
  void AddRegions(const CustomROIConfig& kind, const nlohmann::json& value,
                  std::vector<CustomROI>& regions) const;
  [[noreturn]] void Fail(const std::string& key, const std::string& problem) const;

  std::string _path;
  nlohmann::json _values;
};

}  // namespace tevhost
