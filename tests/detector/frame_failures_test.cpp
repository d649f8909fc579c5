// The failed-frame lines: the first failure at once, then at most one line a minute with
// the count, and the rest when the models are destroyed.
#include "detector/frame_failures.h"
#include "tests/support/console_capture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Clock = FrameFailures::Clock;
using std::chrono::seconds;

std::size_t Lines(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(FrameFailures, FirstFailureAtOnceThenAtMostOneLineAMinuteWithTheCount) {
  FrameFailures failures;
  tevtest::ConsoleCapture console;
  const Clock::time_point start{};
  // Seconds after start at which a frame fails, and the lines written by then.
  const struct {
    int second;
    std::size_t lines;
  } steps[] = {{0, 1}, {1, 1}, {30, 1}, {59, 1}, {60, 2}, {61, 2}, {119, 2}, {120, 3}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.second);
    failures.Failed("model gone", start + seconds(step.second));
    EXPECT_EQ(Lines(console.Err()), step.lines) << console.Err();
  }
  EXPECT_EQ(failures.Count(), 8u);
  const std::string err = console.Err();
  EXPECT_NE(err.find("a frame failed and gave no detections: model gone (1 frame failed so far)"),
            std::string::npos)
      << err;
  // At 60 s: the four since the first line; at 120 s: the three since then.
  EXPECT_NE(err.find("4 more frames failed and gave no detections; the last: model gone "
                     "(5 frames failed so far)"),
            std::string::npos)
      << err;
  EXPECT_NE(err.find("3 more frames failed and gave no detections; the last: model gone "
                     "(8 frames failed so far)"),
            std::string::npos)
      << err;
}

TEST(FrameFailures, CloseReportsOnlyWhatNoLineHasSaid) {
  FrameFailures failures;
  tevtest::ConsoleCapture console;
  failures.Close();  // nothing failed: nothing to say
  EXPECT_EQ(console.Err(), "");

  failures.Failed("first", Clock::time_point{});
  failures.Close();  // the one failure is already on its line
  EXPECT_EQ(Lines(console.Err()), 1u) << console.Err();

  failures.Failed("second", Clock::time_point{} + seconds(5));
  failures.Close();
  failures.Close();  // said once
  const std::string err = console.Err();
  EXPECT_EQ(Lines(err), 2u) << err;
  EXPECT_NE(err.find("TEVCustomFS::Destroy: 1 more frame failed and gave no detections; the "
                     "last: second (2 frames failed so far)"),
            std::string::npos)
      << err;
}

}  // namespace
