#include "platform/host/schema_json.h"

namespace tevhost {

nlohmann::ordered_json ParamsToJson(const CustomParams& params) {
  nlohmann::ordered_json roiConfigs = nlohmann::ordered_json::array();
  for (const CustomROIConfig& kind : params.roiConfigs) {
    roiConfigs.push_back({{"kindName", kind.kindName},
                          {"kindLabel", kind.kindLabel},
                          {"firstOption", kind.firstOption},
                          {"secondOption", kind.secondOption},
                          {"thirdOption", kind.thirdOption},
                          {"minCount", kind.minCount},
                          {"maxCount", kind.maxCount}});
  }
  nlohmann::ordered_json parameters = nlohmann::ordered_json::array();
  for (const CustomParameter& parameter : params.parameters) {
    parameters.push_back({{"name", parameter.name},
                          {"dataType", parameter.dataType},
                          {"kindCode", parameter.kindCode},
                          {"lowerLimit", parameter.lowerLimit},
                          {"upperLimit", parameter.upperLimit},
                          {"defaultValue", parameter.defaultValue},
                          {"startValue", parameter.startValue},
                          {"options", parameter.options},
                          {"value", parameter.value}});
  }
  nlohmann::ordered_json rois = nlohmann::ordered_json::array();
  for (const CustomROI& region : params.rois) {
    nlohmann::ordered_json points = nlohmann::ordered_json::array();
    for (const cv::Point& point : region.points) {
      points.push_back({point.x, point.y});
    }
    rois.push_back({{"name", region.name},
                    {"kindName", region.kindName},
                    {"label", region.label},
                    {"code", region.code},
                    {"points", points}});
  }
  return {{"roiConfigs", roiConfigs},
          {"textItems", params.textItems},
          {"parameters", parameters},
          {"rois", rois}};
}

}  // namespace tevhost
