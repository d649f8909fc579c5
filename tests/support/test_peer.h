// The one way tests reach the detector's private members.
#pragma once

#include "detector/TEVCustomFS.h"

struct TEVCustomFSTestPeer {
  using Detector = TEVCustomFS;
  using ImageSection = TEVCustomFS::ImageSection;
  using TrackRecord = TEVCustomFS::TrackRecord;
  using ColourRange = TEVCustomFS::ColourRange;

  static constexpr int VOTE_WINDOW = TEVCustomFS::VOTE_WINDOW;
  static constexpr int VOTE_THRESHOLD = TEVCustomFS::VOTE_THRESHOLD;
  static constexpr int LOW_VOTE_THRESHOLD = TEVCustomFS::LOW_VOTE_THRESHOLD;
  static constexpr float HIGH_CONF_THRESHOLD = TEVCustomFS::HIGH_CONF_THRESHOLD;
  static constexpr float LOW_CONF_FIRE_THRESHOLD = TEVCustomFS::LOW_CONF_FIRE_THRESHOLD;
  static constexpr float BBOX_CHANGE_THRESHOLD = TEVCustomFS::BBOX_CHANGE_THRESHOLD;
  static constexpr double FLICKER_V_STD_THRESHOLD = TEVCustomFS::FLICKER_V_STD_THRESHOLD;
  static constexpr int FLICKER_MIN_SAMPLES = TEVCustomFS::FLICKER_MIN_SAMPLES;
  static constexpr float DEFAULT_MIN_OBJECT_RATIO = TEVCustomFS::DEFAULT_MIN_OBJECT_RATIO;

  explicit TEVCustomFSTestPeer(TEVCustomFS& detector) : d(detector) {}

  // operations
  void GetModelParameters() { d.GetModelParameters(); }
  std::vector<CustomObject> ConvertToCustomObjects(const std::vector<KESTROVIA::Object>& objects) {
    return d.ConvertToCustomObjects(objects);
  }

  // interface members
  std::string& modelDirectory() { return d._modelDirectory; }
  float& scoreThreshold() { return d._scoreThreshold; }
  CustomParams& params() { return d._params; }
  bool& loadEngineOnCreate() { return d._loadEngineOnCreate; }

  // detector members
  int& engineType() { return d._engineType; }
  TEVCustomFS::ModelInstance& motionDetector() { return d._motionDetector; }
  TEVCustomFS::ModelInstance& detector() { return d._detector; }
  TEVCustomFS::ModelInstance& filter() { return d._filter; }
  std::recursive_mutex& mutex() { return d._mutex; }
  cv::Rect& detectedArea() { return d._detectedArea; }
  int& noDetectionCount() { return d._noDetectionCount; }
  bool& detectionActive() { return d._detectionActive; }
  float& detectionScoreThreshold() { return d._detectionScoreThreshold; }
  std::string& filterLabelMap() { return d._filterLabelMap; }
  int& positiveDetectionCount() { return d._positiveDetectionCount; }
  bool& positiveDetection() { return d._positiveDetection; }
  double& fireColourRatio() { return d._fireColourRatio; }
  std::vector<ColourRange>& smokeColourRanges() { return d._smokeColourRanges; }
  std::vector<ColourRange>& fireColourRanges() { return d._fireColourRanges; }
  int& detectorModelType() { return d._detectorModelType; }
  int& detectorDetectionType() { return d._detectorDetectionType; }
  int& filterModelType() { return d._filterModelType; }
  int& filterDetectionType() { return d._filterDetectionType; }
  int& motionModelType() { return d._motionModelType; }
  int& motionDetectionType() { return d._motionDetectionType; }
  int& minDetectedAreaSize() { return d._minDetectedAreaSize; }
  float& defaultSmokeScore() { return d._defaultSmokeScore; }
  float& highScoreThreshold() { return d._highScoreThreshold; }
  int& maxMotionRegions() { return d._maxMotionRegions; }
  int& minFrameSize() { return d._minFrameSize; }
  float& roiOverlapThreshold() { return d._roiOverlapThreshold; }
  float& defaultSensitivity() { return d._defaultSensitivity; }
  std::unordered_set<int>& ignoredFilterClasses() { return d._ignoredFilterClasses; }
  cv::Size& cachedImageSize() { return d._cachedImageSize; }
  std::vector<ImageSection>& cachedSections() { return d._cachedSections; }
  int& currentPriority() { return d._currentPriority; }
  bool& parametersLoaded() { return d._parametersLoaded; }
  std::vector<cv::Rect>& exclusiveROIs() { return d._exclusiveROIs; }
  float& smokeScoreSetting() { return d._smokeScoreSetting; }
  float& motionScoreThreshold() { return d._motionScoreThreshold; }
  float& minObjectRatio() { return d._minObjectRatio; }
  std::unordered_map<int, TrackRecord>& trackHistory() { return d._trackHistory; }

  TEVCustomFS& d;
};
