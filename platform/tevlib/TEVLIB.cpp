// The stand-in for the maker's inference library: the class the module imports, with
// engines chosen by what the model folder holds (engine_loader.h) and, once SetTracker has
// turned it on, ByteTrack per camera for engines that leave track ids to the library
// (camera_trackers.h). Tests can have every call recorded (call_record.h).
#include "inference/TEVLIB.h"

#include "platform/tevlib/call_record.h"
#include "platform/tevlib/class_names.h"
#include "platform/tevlib/engine_loader.h"
#include "platform/tevlib/tracking/camera_trackers.h"
#include "platform/tevlib/view_placement.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

namespace {

class Instance final : public KESTROVIA::TEVLIB {
 public:
  static Instance& Of(KESTROVIA::TEVLIB* instance) { return *static_cast<Instance*>(instance); }

  std::uint64_t id = NextId();
  std::mutex mutex;  // hosts may share an instance between threads
  std::string modelName;
  std::unique_ptr<tevlib::Engine> engine;
  bool tracking = false;  // the library assigns track ids
  tevlib::CameraTrackers trackers;

  // Records a call to this instance; `fill` writes what belongs to its kind. The call is only
  // built while recording is on, so that a shipped library pays one flag test per call.
  template <typename Fill>
  void Record(tevlib::CallKind kind, Fill fill) const {
    if (!tevlib::CallRecordingOn()) {
      return;
    }
    tevlib::RecordedCall call;
    call.kind = kind;
    call.instance = id;
    call.modelName = modelName;
    fill(call);
    tevlib::Record(std::move(call));
  }

  void Record(tevlib::CallKind kind) const {
    Record(kind, [](tevlib::RecordedCall&) {});
  }

 private:
  static std::uint64_t NextId() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
  }
};

std::string Text(const char* text) {
  return text == nullptr ? std::string() : text;
}

// TEVLIB_ENGINE_TYPE lets a test or a user pose as another engine; CPU otherwise.
int EngineTypeFromEnvironment() {
  const char* text = std::getenv("TEVLIB_ENGINE_TYPE");
  if (text == nullptr || *text == '\0') {
    return 0;
  }
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text, &end, 10);
  if (*end != '\0' || errno != 0 || value < std::numeric_limits<int>::min() ||
      value > std::numeric_limits<int>::max()) {
    return 0;
  }
  return static_cast<int>(value);
}

}  // namespace

namespace KESTROVIA {

TEVLIB* TEVLIB::Create() {
  auto* instance = new Instance();
  instance->Record(tevlib::CallKind::Create);
  return instance;
}

void TEVLIB::Destroy(TEVLIB* instance) {
  if (instance == nullptr) {
    return;
  }
  Instance* self = &Instance::Of(instance);
  self->Record(tevlib::CallKind::Destroy);
  delete self;
}

int TEVLIB::GetEngineType() {
  return EngineTypeFromEnvironment();
}

int TEVLIB::LoadModelFromFolder(const char* modelPath, const char* modelName,
                                const char* classNamesFile, float confThreshold,
                                float scoreThreshold, float nmsThreshold, int batchSize,
                                int modelType, int detectionType, int loadEngineOnCreate,
                                const char* folder, std::string& labelMap) {
  Instance& self = Instance::Of(this);
  std::lock_guard<std::mutex> lock(self.mutex);

  const tevlib::LoadArguments load{Text(modelPath),    Text(modelName), Text(classNamesFile),
                                   confThreshold,      scoreThreshold,  nmsThreshold,
                                   batchSize,          modelType,       detectionType,
                                   loadEngineOnCreate, Text(folder)};
  int result = 0;
  // Recorded once the load has ended, with what the instance then holds.
  const auto record = [&] {
    self.Record(tevlib::CallKind::LoadModelFromFolder, [&](tevlib::RecordedCall& call) {
      call.load = load;
      call.result = result;
      if (result == 1) {
        call.labelMap = labelMap;
      }
    });
  };

  // A load replaces whatever the instance held, also when it fails.
  self.engine.reset();
  self.modelName.clear();
  self.tracking = false;
  self.trackers = tevlib::CameraTrackers();

  tevlib::ModelSettings settings;
  if (!load.classNamesFile.empty()) {
    settings.classNames =
        tevlib::ReadClassNames(std::filesystem::path(load.folder) / load.classNamesFile);
  }
  settings.confidenceThreshold = confThreshold;
  settings.nmsThreshold = nmsThreshold;
  try {
    self.engine = tevlib::LoadEngine(load.folder, load.modelName, settings);
  } catch (...) {
    record();
    throw;
  }

  if (self.engine) {
    self.modelName = load.modelName;
    labelMap = tevlib::LabelMapText(settings.classNames);
    result = 1;
  }
  record();
  return result;
}

int TEVLIB::SetTracker(int trackerType, int enable) {
  Instance& self = Instance::Of(this);
  std::lock_guard<std::mutex> lock(self.mutex);

  int result = 0;
  // Only ByteTrack (type 0) is known, and there must be a model to track the output of.
  // enable 0 turns the library's tracking off again.
  using TrackIds = tevlib::Engine::TrackIds;
  if (trackerType == 0 && self.engine && self.engine->TrackIdSource() != TrackIds::Refused) {
    result = 1;
    self.tracking = enable != 0 && self.engine->TrackIdSource() == TrackIds::ByteTrack;
  }
  self.Record(tevlib::CallKind::SetTracker, [&](tevlib::RecordedCall& call) {
    call.trackerType = trackerType;
    call.trackerEnable = enable;
    call.result = result;
  });
  return result;
}

int TEVLIB::Optimize(bool optimize) {
  Instance& self = Instance::Of(this);
  std::lock_guard<std::mutex> lock(self.mutex);

  int result = 0;
  const auto record = [&] {
    self.Record(tevlib::CallKind::Optimize, [&](tevlib::RecordedCall& call) {
      call.optimize = optimize;
      call.result = result;
    });
  };
  try {
    result = self.engine ? self.engine->Optimize(optimize) : 0;
  } catch (...) {
    record();
    throw;
  }
  record();
  return result;
}

int TEVLIB::RunInference(cv::Mat image, const char* cameraId, std::vector<Object>& results) {
  Instance& self = Instance::Of(this);
  std::lock_guard<std::mutex> lock(self.mutex);

  const std::string camera = Text(cameraId);
  self.Record(tevlib::CallKind::RunInference, [&](tevlib::RecordedCall& call) {
    call.cameraId = camera;
    const tevlib::ViewPlacement placement = tevlib::LocateView(image);
    call.view = placement.view;
    call.frameSize = placement.frameSize;
  });

  results.clear();
  if (!self.engine) {
    return 0;
  }
  results = self.engine->Run(image, camera);
  if (self.tracking) {
    self.trackers.Assign(image, camera, results);
  }
  return 1;
}

}  // namespace KESTROVIA
