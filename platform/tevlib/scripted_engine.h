// A model that serves prepared detection lists, one per RunInference call, from a JSON
// script: call n gets entry n of "calls".
//
//   {
//     "coordinates": "view" | "frame",        boxes in the image's or the whole frame's
//                                              pixels (default "view")
//     "after": "empty" | "repeat-last" | "cycle",
//                                              what calls beyond the list get (default "empty")
//     "calls": [ [ {"classId": 0, "trackId": 3, "confidence": 0.9,
//                   "box": [x, y, w, h], "className": "fire"}, ... ],
//                {"throw": "std"} | {"throw": "other"}, ... ],
//     "log": true,                             append one JSON line per call to
//                                              <folder>/<modelName>.calls.jsonl
//     "optimize": 0 | 1 | {"throw": ...},      result of Optimize (default 1)
//     "tracker": 0 | 1,                        result of SetTracker(0, 1) (default 1); the
//                                              script's trackIds pass through either way
//     "load": {"throw": ...}                   make LoadModelFromFolder throw
//   }
//
// With "frame" coordinates the engine keeps the boxes that intersect the image's place in
// its frame, clips them to it and moves them into the image's pixels. A detection without
// "className" takes the name of its class from the model's class names. A "confidence" may
// also be "nan", "inf" or "-inf", to play a model that misbehaves. "std" throws a
// std::runtime_error, "other" a tevlib::ScriptedNonStdError.
#pragma once

#include "platform/tevlib/engine.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace tevlib {

// A script that cannot be read: bad JSON, or JSON that is not a script.
class ScriptError : public ModelError {
 public:
  using ModelError::ModelError;
};

class ScriptedEngine final : public Engine {
 public:
  // Throws ScriptError when the file is not a valid script.
  ScriptedEngine(const std::filesystem::path& script, const std::vector<std::string>& classNames);

  std::vector<KESTROVIA::Object> Run(const cv::Mat& image, const std::string& cameraId) override;
  int Optimize(bool optimize) override;
  TrackIds TrackIdSource() const override;

  enum class Failure { None, Std, Other };

  struct Entry {
    Failure failure = Failure::None;
    std::vector<KESTROVIA::Object> detections;
  };

 private:
  enum class After { Empty, RepeatLast, Cycle };

  const Entry* EntryForCall(std::size_t call) const;
  void AppendLog(std::size_t call, const cv::Mat& image, const std::string& cameraId,
                 const Entry* entry) const;

  bool _frameCoordinates = false;
  After _after = After::Empty;
  std::vector<Entry> _calls;
  std::filesystem::path _logFile;  // empty: no log
  int _optimizeResult = 1;
  Failure _optimizeFailure = Failure::None;
  bool _acceptsTracker = true;
  std::size_t _callCount = 0;
};

}  // namespace tevlib
