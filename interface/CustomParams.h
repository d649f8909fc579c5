// Settings exchanged with the host: the kinds of region the user may draw, the tunable
// parameters and the regions drawn. The host fills one through ConfigureParameters and
// hands it back through SetParameters.
#pragma once

#include <opencv2/core.hpp>

#include <cstdint>
#include <string>
#include <vector>

// One kind of region the user may draw.
struct CustomROIConfig {
  bool firstOption = false;
  bool secondOption = false;
  bool thirdOption = false;
  std::int32_t minCount = 0;
  std::int32_t maxCount = 0;
  std::string kindName;  // e.g. "ExclusiveROIs"
  std::string kindLabel;
};

// One tunable parameter. Values travel as text.
struct CustomParameter {
  std::string name;  // e.g. "SmokeScore"
  std::string dataType;
  std::int32_t kindCode = 0;
  std::int32_t upperLimit = 0;
  std::int32_t lowerLimit = 0;
  std::string defaultValue;
  std::vector<std::string> options;
  std::string startValue;
  std::string value;  // what the host hands back, read as a decimal number
};

// One region drawn by the user, corners in frame pixels.
struct CustomROI {
  std::string name;
  std::vector<cv::Point> points;
  std::string label;
  std::string kindName;  // contains "ExclusiveROIs" for an exclusive region
  std::int32_t code = 0;
};

struct CustomParams {
  std::vector<CustomROIConfig> roiConfigs;
  std::vector<std::string> textItems;
  std::vector<CustomParameter> parameters;
  std::vector<CustomROI> rois;
};
