// The fire-and-smoke detector that Create hands to hosts. Internal to the module: hosts see
// only the interface it implements.
//
// It drives three models through the inference library: "detector" finds fire (class 0)
// and smoke (class 2) and tracks them, "filter" finds objects that veto detections they
// overlap, "motion" is loaded when it can be. Each call of RunInference processes one
// frame under _mutex and returns the confirmed detections.
#pragma once

#include "detector/frame_failures.h"
#include "inference/TEVLIB.h"
#include "interface/ITEVCustomClass.h"
#include "interface/Object.h"

#include <opencv2/core.hpp>

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

class TEVCustomFS final : public ITEVCustomClass {
 public:
  TEVCustomFS();
  ~TEVCustomFS();
  TEVCustomFS(const TEVCustomFS&) = delete;
  TEVCustomFS& operator=(const TEVCustomFS&) = delete;

  bool Initialize(const std::string& modelDirectory, float threshold,
                  std::string& labelMap) override;
  bool OptimizeModel(bool optimize) override;
  std::vector<CustomObject> RunInference(const cv::Mat& frame,
                                         const std::string& cameraId) override;
  std::vector<CustomObject> RunInference(const cv::Mat& frame) override;
  bool ConfigureParameters(CustomParams& params) override;
  bool Destroy() override;

 private:
  friend struct TEVCustomFSTestPeer;

  using ModelInstance = std::unique_ptr<KESTROVIA::TEVLIB, void (*)(KESTROVIA::TEVLIB*)>;
  using ColourRange = std::pair<cv::Scalar, cv::Scalar>;  // HSV lower, upper; inclusive

  // One scan tile of the frame.
  struct ImageSection {
    cv::Rect region;
    int priority = 0;  // 1 is searched first; a list's priorities are 1..n
  };

  // The history of one track, keyed by its track id in _trackHistory.
  struct TrackRecord {
    std::int32_t trackId = 0;
    std::int32_t classId = 0;          // class of the first recorded detection
    std::deque<cv::Rect> bboxHistory;  // frame pixels, oldest first
    std::deque<int> highConfHistory;   // 1 where confidence >= HIGH_CONF_THRESHOLD
    std::deque<double> vMeanHistory;   // mean HSV value of each recorded box
    std::int32_t highConfVotes = 0;
    std::int32_t totalVotes = 0;
    std::int32_t age = 0;
    bool confirmed = false;         // set once, never cleared
    std::int32_t missedFrames = 0;  // consecutive follow frames without the track
  };

  static constexpr int VOTE_WINDOW = 15;
  static constexpr int VOTE_THRESHOLD = 8;
  static constexpr int LOW_VOTE_THRESHOLD = 6;
  static constexpr float HIGH_CONF_THRESHOLD = 0.5f;
  static constexpr float LOW_CONF_FIRE_THRESHOLD = 0.25f;
  static constexpr float BBOX_CHANGE_THRESHOLD = 0.05f;
  static constexpr double FLICKER_V_STD_THRESHOLD = 3.0;
  static constexpr int FLICKER_MIN_SAMPLES = 6;
  static constexpr float DEFAULT_MIN_OBJECT_RATIO = 0.0003f;

  // Settings: reads _params into the members that steer detection, once per object.
  void GetModelParameters();

  // Keeps the detections whose score reaches _detectionScoreThreshold, as host records.
  std::vector<CustomObject> ConvertToCustomObjects(const std::vector<KESTROVIA::Object>& objects);

  // Detection stages. The third argument is a scratch image the driver supplies; unused.
  std::vector<KESTROVIA::Object> FindNewDetectedArea(const cv::Mat& frame,
                                                     const std::string& cameraId, cv::Mat& image);
  std::vector<KESTROVIA::Object> ProcessExistingDetectedArea(const cv::Mat& frame,
                                                             const std::string& cameraId,
                                                             cv::Mat& image);
  std::vector<KESTROVIA::Object> FindExcludedObjects(const cv::Mat& frame,
                                                     const std::string& cameraId, cv::Mat& image);
  std::vector<KESTROVIA::Object> FindMovementObjects(const cv::Mat& frame,
                                                     const std::string& cameraId, cv::Mat& image);

  // A model's box that the stages can work with. Boxes far beyond any frame are malformed
  // output, and their arithmetic would overflow: they are ignored.
  static bool IsUsableBox(const cv::Rect& box);
  // Takes a detection of the detector run on _detectedArea into frame pixels and sets its
  // camera. False, and the detection is to be dropped, for an unusable box and for a box in
  // one of the user's exclusive regions.
  bool TakeIntoFrame(KESTROVIA::Object& detection, const std::string& cameraId) const;

  // Mean of max(B, G, R) over the part of box inside the 8-bit BGR frame, 0.0 when none
  // is: the mean HSV value of the clipped box, without converting the frame.
  static double MeanBoxBrightness(const cv::Mat& frame, const cv::Rect& box);

  // Detection state machine: searching, or holding _detectedArea.
  bool IsDetectedAreaValid(const cv::Rect& rect) const;
  void ResetDetectedArea();
  void UpdatePositiveDetection();
  void UpdateNoDetectionCondition();
  void ResetDetectionState();

  // Scan tiles of the frame and their search order.
  const std::vector<ImageSection>& divideImage(const cv::Mat& frame);
  void UpdatePriorityRegion(const cv::Mat& frame);
  cv::Rect getRegionByPriority(int priority) const;
  int getHighestPriorityRegion() const;
  int getLowestPriorityRegion() const;
  void RankCachedSectionsByWarmColor(const cv::Mat& frame);
  // Warm colour of the ranking for 8-bit BGR pixels, decided exactly as cv::cvtColor to HSV
  // and the ranking's two range tests would, without converting: 255 or 0 per pixel into
  // warm, or the number of warm pixels in each area (inside the CV_8UC3 frame).
  static void ClassifyWarmPixels(const std::uint8_t* bgr, int pixels, std::uint8_t* warm);
  static std::vector<int> CountWarmPixels(const cv::Mat& frame, const std::vector<cv::Rect>& areas);

  // Geometry of the followed area and overlap tests.
  int CalculateOptimalCropSize(const cv::Mat& frame) const;
  void RefineDetectedArea(const cv::Mat& frame, const KESTROVIA::Object& detection);
  float calculateIoU(const cv::Rect& a, const cv::Rect& b) const;
  bool IsOverlapping(const KESTROVIA::Object& object, const std::vector<KESTROVIA::Object>& others,
                     float threshold) const;
  bool IsOverlapping(const KESTROVIA::Object& object, const std::vector<cv::Rect>& rectangles,
                     float threshold) const;
  bool IsROIOverlapping(const cv::Rect& rectangle, const std::vector<cv::Rect>& rectangles,
                        float threshold) const;
  // Whether more than threshold of the box's own area lies inside one of the regions: a
  // small box within a large region is inside, which its tiny IoU with the region would miss.
  bool IsInsideRegion(const cv::Rect& box, const std::vector<cv::Rect>& regions,
                      float threshold) const;
  double calculateDistanceToCenter(const cv::Point& point, const cv::Rect& rectangle) const;
  cv::Rect GenerateMinimumSquareBoundingBox(const std::vector<KESTROVIA::Object>& objects,
                                            int minimumSide) const;

  // Per-track history, votes and cues.
  void UpdateTrackHistory(int trackId, int classId, const cv::Rect& box, float confidence,
                          double vMean);
  void AgeTracks(const std::unordered_set<int>& seenTrackIds);
  bool IsTrackConfirmed(int trackId) const;
  bool IsTrackLowConfirmed(int trackId) const;
  void AddConfirmedDetection(KESTROVIA::Object& detection, std::vector<KESTROVIA::Object>& output);
  bool HasBboxMovement(int trackId) const;
  bool HasFireFlicker(int trackId) const;
  bool ValidateMotionCorrelation(const std::vector<cv::Rect>& motionRegions) const;

  // Colour verification and the class, score and size gates.
  bool DetectFireNSmokeColourInFrame(const cv::Mat& frame, const cv::Rect& box,
                                     const std::vector<ColourRange>& ranges, float ratio) const;
  bool IsFireDetected(cv::Mat frame, cv::Rect box) const;
  bool IsSmokeDetected(cv::Mat frame, cv::Rect box) const;
  bool IsFireOrSmoke(int classId, float score) const;
  bool IsObjectLargeEnough(const cv::Rect& box, const cv::Size& frameSize) const;

  // Appearance checks beside the pipeline.
  bool MajorityColourInFrame(cv::Mat image, ColourRange range, float ratio) const;
  bool MajorityColourInFrame(cv::Mat image, std::vector<ColourRange> ranges, float ratio) const;
  bool detectReflection(const cv::Mat& image) const;
  bool detectScreenFlicker(const std::vector<cv::Mat>& frames) const;

  int _engineType = 0;  // reported by the detector instance; 1 = NVIDIA GPU
  ModelInstance _motionDetector{nullptr, &KESTROVIA::TEVLIB::Destroy};
  ModelInstance _detector{nullptr, &KESTROVIA::TEVLIB::Destroy};
  ModelInstance _filter{nullptr, &KESTROVIA::TEVLIB::Destroy};
  std::recursive_mutex _mutex;            // held for the whole of RunInference
  cv::Rect _detectedArea{0, 0, 0, 0};     // region searched or followed; zero when none
  int _noDetectionCount = 0;              // frames without detection while holding
  bool _detectionActive = false;          // an area is held
  float _detectionScoreThreshold = 0.5f;  // the host's threshold, at least 0.25
  std::string _filterLabelMap;
  int _positiveDetectionCount = 0;  // confirmed detections in a row
  bool _positiveDetection = false;
  double _fireColourRatio = 0.0;  // share the fire colour test must exceed
  std::vector<ColourRange> _smokeColourRanges;
  std::vector<ColourRange> _fireColourRanges;
  int _detectorModelType = 0;  // load arguments of the three models
  int _detectorDetectionType = 0;
  int _filterModelType = 0;
  int _filterDetectionType = 0;
  int _motionModelType = 0;
  int _motionDetectionType = 0;
  int _minDetectedAreaSize = 50;  // an area counts only if both sides exceed it
  float _defaultSmokeScore = 0.7f;
  float _highScoreThreshold = 0.5f;  // search accepts a candidate above it outright
  int _maxMotionRegions = 10;
  int _minFrameSize = 10;  // smallest frame side that is processed
  float _roiOverlapThreshold = 0.001f;
  float _defaultSensitivity = 0.5f;
  std::unordered_set<int> _ignoredFilterClasses{13, 59, 60, 68, 69, 70};  // never veto
  cv::Size _cachedImageSize{0, 0};  // frame size _cachedSections was built for
  std::vector<ImageSection> _cachedSections;
  int _currentPriority = 0;        // tile searched this frame
  bool _parametersLoaded = false;  // _params has been read
  std::vector<cv::Rect> _exclusiveROIs;
  float _smokeScoreSetting = 0.0f;  // score a followed smoke detection must reach
  float _motionScoreThreshold = 0.0f;
  float _minObjectRatio = DEFAULT_MIN_OBJECT_RATIO;  // smallest box area / frame area
  std::unordered_map<int, TrackRecord> _trackHistory;
  bool _motionModelLoaded = false;  // _motionDetector holds a loaded model
  bool _frameTypeReported = false;  // a frame that is not 8-bit BGR has been reported
  FrameFailures _frameFailures;      // frames whose processing threw
};
