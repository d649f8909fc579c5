// What the stand-in inference library has been asked to do, for tests: the creation and
// destruction of instances and every LoadModelFromFolder, SetTracker, Optimize and
// RunInference call, in the order they were made, across all instances of the process.
//
// Recording is off until SetCallRecording(true): a shipped library records nothing, so that
// cameras running in parallel never queue on the record's lock. Tests turn it on.
//
// The record keeps the most recent kRecordCapacity calls, so that a long run through the
// stand-in (a host on a video) stays bounded in memory.
#pragma once

#include "inference/tevlib_export.h"

#include <opencv2/core.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tevlib {

enum class CallKind { Create, Destroy, LoadModelFromFolder, SetTracker, Optimize, RunInference };

struct LoadArguments {
  std::string modelPath;
  std::string modelName;
  std::string classNamesFile;
  float confThreshold = 0.0f;
  float scoreThreshold = 0.0f;
  float nmsThreshold = 0.0f;
  int batchSize = 0;
  int modelType = 0;
  int detectionType = 0;
  int loadEngineOnCreate = 0;
  std::string folder;
};

struct RecordedCall {
  CallKind kind = CallKind::Create;
  std::uint64_t instance = 0;  // serial number of the instance, counted from 1
  std::string modelName;       // the model loaded in the instance (after a load: its result)
  int result = 0;              // LoadModelFromFolder, SetTracker, Optimize
  LoadArguments load;          // LoadModelFromFolder
  std::string labelMap;        // LoadModelFromFolder: the label map written on success
  int trackerType = 0;         // SetTracker
  int trackerEnable = 0;       // SetTracker
  bool optimize = false;       // Optimize
  std::string cameraId;        // RunInference
  cv::Rect view;               // RunInference: the image's place in its whole frame
  cv::Size frameSize;          // RunInference: size of the whole frame
};

inline constexpr std::size_t kRecordCapacity = 16384;

TEVLIB_API std::vector<RecordedCall> RecordedCalls();
TEVLIB_API std::vector<RecordedCall> RecordedCalls(CallKind kind);
TEVLIB_API void ClearRecordedCalls();
TEVLIB_API void SetCallRecording(bool on);

// The library's own entry points, not exported. Whether calls are being recorded: callers
// test it before building a call, so that nothing is built while recording is off.
bool CallRecordingOn();
// Appends one call while recording is on; does nothing, and takes no lock, while it is off.
void Record(RecordedCall call);

}  // namespace tevlib
