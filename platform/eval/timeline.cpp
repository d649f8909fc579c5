#include "platform/eval/timeline.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace teveval {
namespace {

constexpr int kWidth = 1000;
constexpr int kLabelWidth = 90;
constexpr int kMargin = 12;
constexpr int kTitleHeight = 28;
constexpr int kRowHeight = 30;
constexpr int kBarHeight = 16;
constexpr int kTickHeight = 5;
constexpr int kAxisHeight = 26;
constexpr int kLegendHeight = 18;

const cv::Scalar kBackground(255, 255, 255);
const cv::Scalar kText(40, 40, 40);
const cv::Scalar kGrid(225, 225, 225);
const cv::Scalar kFire(40, 40, 220);
const cv::Scalar kSmoke(130, 130, 130);
const cv::Scalar kDistractor(225, 185, 130);
const cv::Scalar kCaught(60, 160, 40);    // an alarm on an event
const cv::Scalar kFalse(20, 140, 250);    // an alarm on no event
const cv::Scalar kDetection(90, 90, 90);  // a frame with detections

void Label(cv::Mat& image, const std::string& text, cv::Point at, double scale = 0.45,
           const cv::Scalar& colour = kText) {
  cv::putText(image, text, at, cv::FONT_HERSHEY_SIMPLEX, scale, colour, 1, cv::LINE_AA);
}

class Axis {
 public:
  explicit Axis(long frames) : _frames(std::max(1L, frames)) {}

  int X(long frame) const {
    return kLabelWidth + static_cast<int>(static_cast<double>(frame) * Span() / _frames);
  }
  // The pixels frames first to last cover, at least one wide.
  cv::Range Pixels(long first, long last) const {
    return cv::Range(X(first), std::max(X(first) + 1, X(last + 1)));
  }
  static int Span() { return kWidth - kLabelWidth - kMargin; }

 private:
  long _frames;
};

void Bar(cv::Mat& image, const Axis& axis, long first, long last, int top,
         const cv::Scalar& colour) {
  const cv::Range x = axis.Pixels(first, last);
  cv::rectangle(image, cv::Rect(x.start, top, x.end - x.start, kBarHeight), colour, cv::FILLED);
}

void ModeRow(cv::Mat& image, const Axis& axis, int top, const char* name, const ModeRun& run,
             const AlarmScore& score) {
  Label(image, name, {kMargin, top + kBarHeight - 3});
  for (std::size_t index = 0; index < run.alarms.size(); ++index) {
    Bar(image, axis, run.alarms[index].firstFrame, run.alarms[index].lastFrame, top,
        score.falseAlarm[index] ? kFalse : kCaught);
  }
  for (std::size_t frame = 0; frame < run.sightings.size(); ++frame) {
    if (!run.sightings[frame].empty()) {
      const cv::Range x = axis.Pixels(static_cast<long>(frame), static_cast<long>(frame));
      cv::rectangle(image, cv::Rect(x.start, top + kBarHeight + 2, x.end - x.start, kTickHeight),
                    kDetection, cv::FILLED);
    }
  }
}

// What the colours mean, on the bottom line.
void Legend(cv::Mat& image) {
  const struct {
    cv::Scalar colour;
    const char* meaning;
  } entries[] = {{kCaught, "alarm on an event"},
                 {kFalse, "false alarm"},
                 {kDetection, "frame with detections"}};
  const int top = image.rows - kLegendHeight;
  int x = kLabelWidth;
  for (const auto& entry : entries) {
    cv::rectangle(image, cv::Rect(x, top + 2, 10, 10), entry.colour, cv::FILLED);
    Label(image, entry.meaning, {x + 14, top + 11}, 0.4);
    x += 170;
  }
}

// The truth's runs (distractors, then events) on as few rows as keep runs that overlap in
// time apart: each run goes on the first row whose runs all end before it starts.
struct TruthBar {
  const TruthRun* run;
  bool event;
};

std::vector<std::vector<TruthBar>> TruthRows(const ClipTruth& truth) {
  std::vector<TruthBar> runs;
  for (const TruthRun& run : truth.distractors) {
    runs.push_back({&run, false});
  }
  for (const TruthRun& run : truth.events) {
    runs.push_back({&run, true});
  }
  std::stable_sort(runs.begin(), runs.end(), [](const TruthBar& a, const TruthBar& b) {
    return a.run->firstFrame < b.run->firstFrame;
  });
  std::vector<std::vector<TruthBar>> rows;
  for (const TruthBar& run : runs) {
    const auto free = std::find_if(rows.begin(), rows.end(), [&run](const auto& row) {
      return row.back().run->lastFrame < run.run->firstFrame;
    });
    if (free == rows.end()) {
      rows.push_back({run});
    } else {
      free->push_back(run);
    }
  }
  if (rows.empty()) {
    rows.emplace_back();
  }
  return rows;
}

}  // namespace

cv::Mat DrawTimeline(const ClipResult& clip) {
  const long frames = std::max(clip.run.frames, 1L);
  const Axis axis(frames);
  const std::vector<std::vector<TruthBar>> truthRows = TruthRows(clip.truth);
  const int rows = static_cast<int>(truthRows.size()) + 2;
  const int height = kTitleHeight + rows * kRowHeight + kAxisHeight + kLegendHeight;
  cv::Mat image(height, kWidth, CV_8UC3, kBackground);

  const double fps = clip.truth.fps;
  const double seconds = frames / fps;
  const int step = seconds <= 12 ? 1 : seconds <= 60 ? 5 : seconds <= 300 ? 30 : 60;
  const int axisTop = kTitleHeight + rows * kRowHeight;
  for (int second = 0; second <= seconds; second += step) {
    const int x = axis.X(static_cast<long>(std::lround(second * fps)));
    cv::line(image, {x, kTitleHeight}, {x, axisTop}, kGrid);
    Label(image, std::to_string(second) + " s", {x - 8, axisTop + 18}, 0.4);
  }

  std::string title = ClipName(clip.clip);
  if (!clip.truth.scenario.empty()) {
    title += "  (" + clip.truth.scenario + ")";
  }
  title += "  " + std::to_string(clip.run.size.width) + "x" + std::to_string(clip.run.size.height) +
           ", " + std::to_string(clip.run.frames) + " frames";
  Label(image, title, {kMargin, 19}, 0.5);
  Legend(image);

  Label(image, "truth", {kMargin, kTitleHeight + (kRowHeight - kBarHeight) / 2 + kBarHeight - 3});
  for (std::size_t row = 0; row < truthRows.size(); ++row) {
    const int top = kTitleHeight + static_cast<int>(row) * kRowHeight + (kRowHeight - kBarHeight) / 2;
    for (const auto& [run, event] : truthRows[row]) {
      Bar(image, axis, run->firstFrame, run->lastFrame, top,
          !event ? kDistractor : run->kind == "fire" ? kFire : kSmoke);
      Label(image, run->kind, {axis.X(run->firstFrame) + 3, top + kBarHeight - 3}, 0.4,
            event ? kBackground : kText);
    }
  }
  const int modesTop = kTitleHeight + static_cast<int>(truthRows.size()) * kRowHeight;
  ModeRow(image, axis, modesTop + (kRowHeight - kBarHeight) / 2 - 3, "module", clip.run.module,
          clip.module.score);
  ModeRow(image, axis, modesTop + kRowHeight + (kRowHeight - kBarHeight) / 2 - 3, "raw",
          clip.run.raw, clip.raw.score);
  return image;
}

}  // namespace teveval
