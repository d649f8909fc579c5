// Construction, model loading and release.
//
// Initialize creates three library instances (detector, filter, motion), loads their
// models from the model folder and turns on the detector's tracker. The detector and the
// filter are required; the motion model is optional. Destroy releases the instances and
// nothing else: detection state, tiles, tracks and settings stay.
#include "detector/TEVCustomFS.h"

#include <exception>
#include <iostream>

namespace {

// HSV on OpenCV's 8-bit scale. Fire: any hue and saturation, bright. Smoke: any hue,
// greyish, mid-bright. Hue bounds above 179 leave the hue unrestricted.
const std::pair<cv::Scalar, cv::Scalar> kFireColourRange{cv::Scalar(0, 0, 179, 0),
                                                         cv::Scalar(255, 255, 255, 0)};
const std::pair<cv::Scalar, cv::Scalar> kSmokeColourRange{cv::Scalar(0, 0, 51, 0),
                                                          cv::Scalar(180, 128, 204, 0)};

constexpr int kTensorRtEngine = 1;

}  // namespace

TEVCustomFS::TEVCustomFS() = default;

TEVCustomFS::~TEVCustomFS() {
  Destroy();
}

bool TEVCustomFS::Initialize(const std::string& modelDirectory, float threshold,
                             std::string& labelMap) {
  try {
    _modelDirectory = modelDirectory;
    _detectionScoreThreshold = threshold;

    _detector.reset(KESTROVIA::TEVLIB::Create());
    _filter.reset(KESTROVIA::TEVLIB::Create());
    _motionDetector.reset(KESTROVIA::TEVLIB::Create());
    _motionModelLoaded = false;

    _motionModelType = 19;
    _detectorDetectionType = 1;
    _filterDetectionType = 1;
    _motionDetectionType = 1;

    _engineType = _detector->GetEngineType();
    if (_engineType == kTensorRtEngine) {
      _detectorModelType = 31;
      _filterModelType = 31;
      std::cout << "NVIDIA GPU detected. Using TensorRT" << std::endl;
    } else {
      _detectorModelType = 30;
      _filterModelType = 30;
      std::cout << "CPU detected. Using OpenVINO and ONNX" << std::endl;
    }

    _fireColourRatio = 0.25;
    // Replaced, not appended: a repeated Initialize must not make every colour test slower.
    _fireColourRanges.assign(1, kFireColourRange);
    _smokeColourRanges.assign(1, kSmokeColourRange);

    // NaN would drop every detection forever; treat it like a threshold that is too low.
    if (!(_detectionScoreThreshold >= 0.25f)) {
      _detectionScoreThreshold = 0.25f;
    }

    _params = CustomParams{};

    _smokeScoreSetting = _defaultSmokeScore;

    const int loadEngine = _loadEngineOnCreate ? 1 : 0;
    if (_detector->LoadModelFromFolder("", "detector", "detector.names", 0.25f, 0.25f, 0.5f, 1,
                                       _detectorModelType, _detectorDetectionType, loadEngine,
                                       modelDirectory.c_str(), labelMap) != 1) {
      std::cerr << "TEVCustomFS::Initialize: Failed to load detector model." << std::endl;
      return false;
    }

    if (_detector->SetTracker(0, 1) != 1) {
      std::cerr << "TEVCustomFS::Initialize: Warning - Failed to enable ByteTrack tracker."
                << std::endl;
    }

    if (_filter->LoadModelFromFolder("", "filter", "filter.names", 0.25f, 0.5f, 0.5f, 1,
                                     _filterModelType, _filterDetectionType, loadEngine,
                                     modelDirectory.c_str(), _filterLabelMap) != 1) {
      std::cerr << "TEVCustomFS::Initialize: Failed to load filter model." << std::endl;
      return false;
    }

    std::string motionLabelMap;
    _motionModelLoaded =
        _motionDetector->LoadModelFromFolder("", "motion", "motion.names", _defaultSensitivity,
                                             0.5f, 0.5f, 1, _motionModelType, _motionDetectionType,
                                             loadEngine, "", motionLabelMap) == 1;
    if (!_motionModelLoaded) {
      std::cerr << "TEVCustomFS::Initialize: Warning - Motion detector not loaded (not "
                   "required for Stage A)."
                << std::endl;
    }
    return true;
  } catch (const std::exception& error) {
    std::cerr << "TEVCustomFS::Initialize: Exception: " << error.what() << std::endl;
    return false;
  } catch (...) {
    std::cerr << "TEVCustomFS::Initialize: Unknown exception." << std::endl;
    return false;
  }
}

bool TEVCustomFS::OptimizeModel(bool optimize) {
  if (!_detector || !_filter) {
    return false;
  }
  // An exception crossing the plug-in boundary takes the host down: report and fail.
  try {
    const bool detectorOptimized = _detector->Optimize(optimize) == 1;
    const bool filterOptimized = _filter->Optimize(optimize) == 1;
    return detectorOptimized && filterOptimized;
  } catch (const std::exception& error) {
    std::cerr << "TEVCustomFS::OptimizeModel: Exception: " << error.what() << std::endl;
  } catch (...) {
    std::cerr << "TEVCustomFS::OptimizeModel: Unknown exception." << std::endl;
  }
  return false;
}

bool TEVCustomFS::Destroy() {
  try {
    _frameFailures.Close();
    _detector.reset();
    _filter.reset();
    _motionDetector.reset();
    return true;
  } catch (...) {
    return false;
  }
}
