// Turns a frame's detections into the host's records. The last score gate: only
// detections whose confidence reaches _detectionScoreThreshold reach the host (NaN never
// does). Track ids, outlines, masks and key points are not handed on.
#include "detector/TEVCustomFS.h"
#include "detector/fixed_text.h"

std::vector<CustomObject> TEVCustomFS::ConvertToCustomObjects(
    const std::vector<KESTROVIA::Object>& objects) {
  std::vector<CustomObject> customObjects;
  if (objects.empty()) {
    return customObjects;
  }
  customObjects.reserve(objects.size());
  const std::string extraInfo = "Detection Score Threshold:" + FixedText(_detectionScoreThreshold);

  for (const KESTROVIA::Object& object : objects) {
    if (!(object.confidence >= _detectionScoreThreshold)) {
      continue;
    }
    CustomObject& customObject = customObjects.emplace_back();
    customObject.classId = object.classId;
    customObject.className = object.className;
    customObject.confidence = object.confidence;
    customObject.box = object.box;
    customObject.extraInfo = extraInfo;
    customObject.cameraId = object.cameraId;
  }
  return customObjects;
}
