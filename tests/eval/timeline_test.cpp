// The timeline's ground-truth rows: runs that overlap in time are drawn on rows of their
// own, so that none hides another; runs that follow one another share a row.
#include "platform/eval/timeline.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

using teveval::TruthRun;

teveval::ClipResult Clip(std::vector<TruthRun> events) {
  teveval::ClipResult clip;
  clip.clip = "clip.avi";
  clip.truth.fps = 10.0;
  clip.truth.events = std::move(events);
  clip.run.frames = 40;
  clip.run.size = {160, 120};
  clip.module.score.events.resize(clip.truth.events.size());
  clip.raw.score.events.resize(clip.truth.events.size());
  return clip;
}

// The image rows in which column x has the colour.
std::set<int> RowsOfColour(const cv::Mat& image, int x, const cv::Vec3b& colour) {
  std::set<int> rows;
  for (int y = 0; y < image.rows; ++y) {
    if (image.at<cv::Vec3b>(y, x) == colour) {
      rows.insert(y);
    }
  }
  return rows;
}

const cv::Vec3b kFire(40, 40, 220);
const cv::Vec3b kSmoke(130, 130, 130);

TEST(Timeline, DrawsOverlappingEventsOnSeparateRows) {
  const cv::Mat image = teveval::DrawTimeline(Clip({{"fire", 5, 29, {}}, {"smoke", 10, 39, {}}}));
  // Frame 20 of 40, where both run: at x = 90 + 20 * (1000 - 90 - 12) / 40.
  const int x = 90 + 20 * 898 / 40 + 2;
  const std::set<int> fire = RowsOfColour(image, x, kFire);
  const std::set<int> smoke = RowsOfColour(image, x, kSmoke);
  ASSERT_FALSE(fire.empty());
  ASSERT_FALSE(smoke.empty());
  EXPECT_LT(*fire.rbegin(), *smoke.begin());
}

TEST(Timeline, KeepsEventsThatFollowOneAnotherOnOneRow) {
  const cv::Mat apart = teveval::DrawTimeline(Clip({{"fire", 0, 9, {}}, {"smoke", 10, 19, {}}}));
  const cv::Mat overlapping =
      teveval::DrawTimeline(Clip({{"fire", 0, 10, {}}, {"smoke", 10, 19, {}}}));
  const cv::Mat single = teveval::DrawTimeline(Clip({{"fire", 0, 9, {}}}));
  EXPECT_EQ(apart.rows, single.rows);
  EXPECT_GT(overlapping.rows, single.rows);
}

}  // namespace
