#include "platform/eval/ground_truth.h"

#include "platform/host/host_failure.h"
#include "platform/host/json_file.h"
#include "platform/json/bounded_json.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>

namespace teveval {
namespace {

using nlohmann::json;
using tevhost::FailureKind;
using tevhost::HostFailure;

[[noreturn]] void Fail(const std::string& path, const std::string& problem) {
  throw HostFailure(FailureKind::Usage, "ground truth " + path + ": " + problem +
                                            " (see the README's ground-truth format)");
}

std::string Describe(const TruthRun& run, const char* singular, std::size_t index) {
  return std::string(singular) + " " + std::to_string(index + 1) + " (" + run.kind + ", frames " +
         std::to_string(run.firstFrame) + " to " + std::to_string(run.lastFrame) + ")";
}

long FrameField(const std::string& path, const json& entry, const char* field,
                const std::string& where) {
  const auto value = entry.find(field);
  if (value == entry.end() || !value->is_number_integer() || value->get<long long>() < 0) {
    Fail(path, where + " needs \"" + std::string(field) + "\", a frame number from 0");
  }
  return static_cast<long>(value->get<long long>());
}

cv::Rect Box(const std::string& path, const json& value, const std::string& where) {
  if (!value.is_array() || value.size() != 4 ||
      !std::all_of(value.begin(), value.end(), [](const json& n) { return n.is_number(); })) {
    Fail(path, where + ": a box is [x, y, width, height] in frame pixels, not " +
                   tevjson::Abridged(value.dump()));
  }
  return cv::Rect(value[0].get<int>(), value[1].get<int>(), value[2].get<int>(),
                  value[3].get<int>());
}

// One run of "events" (name field "class") or "distractors" (name field "kind").
TruthRun Run(const std::string& path, const json& entry, const char* singular,
             const char* nameField, std::size_t index) {
  const std::string where = std::string(singular) + " " + std::to_string(index + 1);
  if (!entry.is_object()) {
    Fail(path, where + " must be an object, not " + tevjson::Abridged(entry.dump()));
  }
  TruthRun run;
  const auto name = entry.find(nameField);
  if (name == entry.end() || !name->is_string()) {
    Fail(path, where + " needs \"" + std::string(nameField) + "\", a string");
  }
  run.kind = name->get<std::string>();
  run.firstFrame = FrameField(path, entry, "firstFrame", where);
  run.lastFrame = FrameField(path, entry, "lastFrame", where);
  if (run.lastFrame < run.firstFrame) {
    Fail(path, Describe(run, singular, index) + " ends before it starts");
  }
  const auto boxes = entry.find("boxes");
  if (boxes != entry.end()) {
    if (!boxes->is_array()) {
      Fail(path, where + ": \"boxes\" must be a list of {\"frame\": n, \"box\": [x, y, w, h]}");
    }
    for (const json& box : *boxes) {
      if (!box.is_object() || !box.contains("box")) {
        Fail(path, where + ": \"boxes\" must be a list of {\"frame\": n, \"box\": [x, y, w, h]}");
      }
      const long frame = FrameField(path, box, "frame", where + ", a box,");
      if (frame < run.firstFrame || frame > run.lastFrame) {
        Fail(path, Describe(run, singular, index) + " has a box for frame " +
                       std::to_string(frame) + ", outside its frames");
      }
      run.boxes.emplace_back(frame, Box(path, box.at("box"), where));
    }
  }
  return run;
}

// The runs of the list key; one of them is called a singular in messages.
std::vector<TruthRun> Runs(const std::string& path, const json& truth, const char* key,
                           const char* singular, const char* nameField, bool required) {
  std::vector<TruthRun> runs;
  const auto entries = truth.find(key);
  if (entries == truth.end()) {
    if (required) {
      Fail(path, "\"" + std::string(key) + "\" is missing; give [] for a clip without any");
    }
    return runs;
  }
  if (!entries->is_array()) {
    Fail(path, "\"" + std::string(key) + "\" must be a list");
  }
  for (std::size_t index = 0; index < entries->size(); ++index) {
    runs.push_back(Run(path, (*entries)[index], singular, nameField, index));
  }
  return runs;
}

}  // namespace

std::string TruthPathFor(const std::string& clip) {
  std::filesystem::path path(clip);
  if (!path.has_filename()) {
    path = path.parent_path();
  }
  return path.replace_extension().string() + ".truth.json";
}

ClipTruth ReadGroundTruth(const std::string& path) {
  const json truth = tevhost::ReadJsonFile(
      path, "ground truth",
      "write it beside the clip, named after it (see the README's ground-truth format)");
  if (!truth.is_object()) {
    Fail(path, "must hold a JSON object with \"fps\" and \"events\", not " +
                   std::string(truth.type_name()));
  }
  ClipTruth clip;
  clip.path = path;
  const auto fps = truth.find("fps");
  // Bounded as tev-host's --fps: a rate of 1e-7 would make the timelines' time axis endless.
  if (fps == truth.end() || !fps->is_number() ||
      !(fps->get<double>() >= 0.1 && fps->get<double>() <= 1000.0)) {
    Fail(path, "\"fps\" must be the clip's frame rate, a number from 0.1 to 1000");
  }
  clip.fps = fps->get<double>();
  const auto frames = truth.find("frames");
  if (frames != truth.end()) {
    if (!frames->is_number_integer() || frames->get<long long>() < 1) {
      Fail(path, "\"frames\" must be the clip's frame count, a whole number from 1");
    }
    clip.frames = static_cast<long>(frames->get<long long>());
  }
  const auto scenario = truth.find("scenario");
  if (scenario != truth.end() && scenario->is_string()) {
    clip.scenario = scenario->get<std::string>();
  }
  clip.events = Runs(path, truth, "events", "event", "class", true);
  for (std::size_t index = 0; index < clip.events.size(); ++index) {
    const std::string& kind = clip.events[index].kind;
    if (kind != "fire" && kind != "smoke") {
      Fail(path, "event " + std::to_string(index + 1) + " has class \"" + tevjson::Abridged(kind) +
                     "\"; an event is \"fire\" or \"smoke\" (list other things as distractors)");
    }
  }
  clip.distractors = Runs(path, truth, "distractors", "distractor", "kind", false);
  if (clip.frames) {
    CheckRunsWithin(clip, *clip.frames);
  }
  return clip;
}

void CheckRunsWithin(const ClipTruth& truth, long frameCount) {
  const auto check = [&](const std::vector<TruthRun>& runs, const char* list) {
    for (std::size_t index = 0; index < runs.size(); ++index) {
      if (runs[index].lastFrame >= frameCount) {
        Fail(truth.path, Describe(runs[index], list, index) + " lies beyond the clip's " +
                             std::to_string(frameCount) + " frames (frames count from 0)");
      }
    }
  };
  check(truth.events, "event");
  check(truth.distractors, "distractor");
}

}  // namespace teveval
