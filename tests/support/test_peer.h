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

  std::vector<KESTROVIA::Object> FindExcludedObjects(const cv::Mat& frame,
                                                     const std::string& cameraId, cv::Mat& image) {
    return d.FindExcludedObjects(frame, cameraId, image);
  }
  std::vector<KESTROVIA::Object> FindMovementObjects(const cv::Mat& frame,
                                                     const std::string& cameraId, cv::Mat& image) {
    return d.FindMovementObjects(frame, cameraId, image);
  }

  static double MeanBoxBrightness(const cv::Mat& frame, const cv::Rect& box) {
    return TEVCustomFS::MeanBoxBrightness(frame, box);
  }

  bool IsDetectedAreaValid(const cv::Rect& rect) const { return d.IsDetectedAreaValid(rect); }
  void ResetDetectedArea() { d.ResetDetectedArea(); }
  void UpdatePositiveDetection() { d.UpdatePositiveDetection(); }
  void UpdateNoDetectionCondition() { d.UpdateNoDetectionCondition(); }
  void ResetDetectionState() { d.ResetDetectionState(); }

  const std::vector<ImageSection>& divideImage(const cv::Mat& frame) { return d.divideImage(frame); }
  void UpdatePriorityRegion(const cv::Mat& frame) { d.UpdatePriorityRegion(frame); }
  cv::Rect getRegionByPriority(int priority) const { return d.getRegionByPriority(priority); }
  int getHighestPriorityRegion() const { return d.getHighestPriorityRegion(); }
  int getLowestPriorityRegion() const { return d.getLowestPriorityRegion(); }
  void RankCachedSectionsByWarmColor(const cv::Mat& frame) {
    d.RankCachedSectionsByWarmColor(frame);
  }
  static void ClassifyWarmPixels(const std::uint8_t* bgr, int pixels, std::uint8_t* warm) {
    TEVCustomFS::ClassifyWarmPixels(bgr, pixels, warm);
  }
  static std::vector<int> CountWarmPixels(const cv::Mat& frame,
                                          const std::vector<cv::Rect>& areas) {
    return TEVCustomFS::CountWarmPixels(frame, areas);
  }

  int CalculateOptimalCropSize(const cv::Mat& frame) const {
    return d.CalculateOptimalCropSize(frame);
  }
  void RefineDetectedArea(const cv::Mat& frame, const KESTROVIA::Object& detection) {
    d.RefineDetectedArea(frame, detection);
  }
  float calculateIoU(const cv::Rect& a, const cv::Rect& b) const { return d.calculateIoU(a, b); }
  bool IsOverlapping(const KESTROVIA::Object& object, const std::vector<KESTROVIA::Object>& others,
                     float threshold) const {
    return d.IsOverlapping(object, others, threshold);
  }
  bool IsOverlapping(const KESTROVIA::Object& object, const std::vector<cv::Rect>& rectangles,
                     float threshold) const {
    return d.IsOverlapping(object, rectangles, threshold);
  }
  bool IsROIOverlapping(const cv::Rect& rectangle, const std::vector<cv::Rect>& rectangles,
                        float threshold) const {
    return d.IsROIOverlapping(rectangle, rectangles, threshold);
  }
  bool IsInsideRegion(const cv::Rect& box, const std::vector<cv::Rect>& regions,
                      float threshold) const {
    return d.IsInsideRegion(box, regions, threshold);
  }
  double calculateDistanceToCenter(const cv::Point& point, const cv::Rect& rectangle) const {
    return d.calculateDistanceToCenter(point, rectangle);
  }
  cv::Rect GenerateMinimumSquareBoundingBox(const std::vector<KESTROVIA::Object>& objects,
                                            int minimumSide) const {
    return d.GenerateMinimumSquareBoundingBox(objects, minimumSide);
  }

  void UpdateTrackHistory(int trackId, int classId, const cv::Rect& box, float confidence,
                          double vMean) {
    d.UpdateTrackHistory(trackId, classId, box, confidence, vMean);
  }
  void AgeTracks(const std::unordered_set<int>& seenTrackIds) { d.AgeTracks(seenTrackIds); }
  bool IsTrackConfirmed(int trackId) const { return d.IsTrackConfirmed(trackId); }
  bool IsTrackLowConfirmed(int trackId) const { return d.IsTrackLowConfirmed(trackId); }
  void AddConfirmedDetection(KESTROVIA::Object& detection, std::vector<KESTROVIA::Object>& output) {
    d.AddConfirmedDetection(detection, output);
  }
  bool HasBboxMovement(int trackId) const { return d.HasBboxMovement(trackId); }
  bool HasFireFlicker(int trackId) const { return d.HasFireFlicker(trackId); }
  bool ValidateMotionCorrelation(const std::vector<cv::Rect>& motionRegions) const {
    return d.ValidateMotionCorrelation(motionRegions);
  }

  bool DetectFireNSmokeColourInFrame(const cv::Mat& frame, const cv::Rect& box,
                                     const std::vector<ColourRange>& ranges, float ratio) const {
    return d.DetectFireNSmokeColourInFrame(frame, box, ranges, ratio);
  }
  bool IsFireDetected(cv::Mat frame, cv::Rect box) const { return d.IsFireDetected(frame, box); }
  bool IsSmokeDetected(cv::Mat frame, cv::Rect box) const { return d.IsSmokeDetected(frame, box); }
  bool IsFireOrSmoke(int classId, float score) const { return d.IsFireOrSmoke(classId, score); }
  bool IsObjectLargeEnough(const cv::Rect& box, const cv::Size& frameSize) const {
    return d.IsObjectLargeEnough(box, frameSize);
  }

  bool MajorityColourInFrame(cv::Mat image, ColourRange range, float ratio) const {
    return d.MajorityColourInFrame(image, range, ratio);
  }
  bool MajorityColourInFrame(cv::Mat image, std::vector<ColourRange> ranges, float ratio) const {
    return d.MajorityColourInFrame(image, ranges, ratio);
  }
  bool detectReflection(const cv::Mat& image) const { return d.detectReflection(image); }
  bool detectScreenFlicker(const std::vector<cv::Mat>& frames) const {
    return d.detectScreenFlicker(frames);
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
  bool& motionModelLoaded() { return d._motionModelLoaded; }

  TEVCustomFS& d;
};
