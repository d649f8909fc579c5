#include "tests/support/peer_test.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr int kTrack = 7;
constexpr float kHigh = 0.9f;
constexpr float kLow = 0.2f;
const float kNaN = std::numeric_limits<float>::quiet_NaN();

class TrackHistory : public PeerTest {
 protected:
  void Record(float confidence, int trackId = kTrack) {
    peer.UpdateTrackHistory(trackId, 0, cv::Rect(100, 100, 40, 40), confidence, 120.0);
  }
  void RecordMany(int count, float confidence) {
    for (int index = 0; index < count; ++index) {
      Record(confidence);
    }
  }
  // One follow frame in which kTrack is missing.
  void Miss(int frames = 1) {
    for (int frame = 0; frame < frames; ++frame) {
      peer.AgeTracks({});
    }
  }
  const TEVCustomFSTestPeer::TrackRecord& Track(int trackId = kTrack) {
    return peer.trackHistory().at(trackId);
  }
};

TEST_F(TrackHistory, FirstDetectionCreatesARecordWithOneEntry) {
  peer.UpdateTrackHistory(kTrack, 2, cv::Rect(10, 20, 30, 40), 0.7f, 88.5);
  const auto& track = Track();
  EXPECT_EQ(track.trackId, kTrack);
  EXPECT_EQ(track.classId, 2);
  EXPECT_EQ(track.bboxHistory, std::deque<cv::Rect>{cv::Rect(10, 20, 30, 40)});
  EXPECT_EQ(track.highConfHistory, std::deque<int>{1});
  EXPECT_EQ(track.vMeanHistory, std::deque<double>{88.5});
  EXPECT_EQ(track.highConfVotes, 1);
  EXPECT_EQ(track.totalVotes, 1);
  EXPECT_EQ(track.age, 1);
  EXPECT_FALSE(track.confirmed);
  EXPECT_EQ(track.missedFrames, 0);
  EXPECT_FALSE(peer.IsTrackConfirmed(kTrack));
  EXPECT_FALSE(peer.IsTrackLowConfirmed(kTrack));
}

TEST_F(TrackHistory, LaterDetectionsAppendAtTheBackAndKeepTheFirstClass) {
  peer.UpdateTrackHistory(kTrack, 0, cv::Rect(1, 1, 10, 10), 0.9f, 10.0);
  peer.UpdateTrackHistory(kTrack, 2, cv::Rect(2, 2, 10, 10), 0.1f, 20.0);
  const auto& track = Track();
  EXPECT_EQ(track.classId, 0);
  EXPECT_EQ(track.bboxHistory, (std::deque<cv::Rect>{{1, 1, 10, 10}, {2, 2, 10, 10}}));
  EXPECT_EQ(track.highConfHistory, (std::deque<int>{1, 0}));
  EXPECT_EQ(track.vMeanHistory, (std::deque<double>{10.0, 20.0}));
}

// One step of a track's life in the follow stage.
struct Step {
  enum Kind { kDetected, kSeenFrameEnds, kMissed } kind;
  float confidence;
  int times;
};
constexpr Step Detected(float confidence, int times = 1) {
  return {Step::kDetected, confidence, times};
}
constexpr Step SeenFrameEnds() {
  return {Step::kSeenFrameEnds, 0.0f, 1};
}
constexpr Step Missed(int frames) {
  return {Step::kMissed, 0.0f, frames};
}

TEST_F(TrackHistory, VotesFollowTheSlidingWindow) {
  const struct {
    const char* name;
    std::vector<Step> steps;
    std::size_t entries;
    int highConfVotes;
    int age;
    bool confirmedField;
    bool confirmed;
    bool lowConfirmed;
  } cases[] = {
      {"seven high votes", {Detected(kHigh, 7)}, 7, 7, 7, false, false, true},
      {"eighth high vote confirms", {Detected(kHigh, 8)}, 8, 8, 8, true, true, true},
      {"five votes", {Detected(kLow, 5)}, 5, 0, 5, false, false, false},
      {"sixth vote low-confirms", {Detected(kLow, 6)}, 6, 0, 6, false, false, true},
      {"0.5 is high, just below is not",
       {Detected(0.5f), Detected(std::nextafter(0.5f, 0.0f))},
       2,
       1,
       2,
       false,
       false,
       false},
      {"NaN is not high", {Detected(kNaN)}, 1, 0, 1, false, false, false},
      {"16th update drops the oldest, high entry",
       {Detected(kHigh), Detected(kLow, 15)},
       15,
       0,
       16,
       false,
       false,
       true},
      {"full window gives up one entry in five missed frames",
       {Detected(kHigh, 15), Missed(5)},
       14,
       14,
       20,
       true,
       true,
       true},
      {"six entries survive 30 missed frames",
       {Detected(kLow, 6), Missed(30)},
       6,
       0,
       36,
       false,
       false,
       true},
      {"a frame that saw the track leaves it alone",
       {Detected(kHigh, 15), SeenFrameEnds()},
       15,
       15,
       15,
       true,
       true,
       true},
      {"two detections in one frame",
       {Detected(kHigh), SeenFrameEnds(), Detected(kHigh, 2), SeenFrameEnds()},
       3,
       3,
       3,
       false,
       false,
       false},
      {"confirmation is lost as high entries leave",
       {Detected(kHigh, 8), Detected(kLow, 8)},
       15,
       7,
       16,
       true,
       false,
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    peer.trackHistory().clear();
    for (const Step& step : c.steps) {
      for (int repeat = 0; repeat < step.times; ++repeat) {
        switch (step.kind) {
          case Step::kDetected:
            Record(step.confidence);
            break;
          case Step::kSeenFrameEnds:
            peer.AgeTracks({kTrack});
            break;
          case Step::kMissed:
            Miss();
            break;
        }
      }
    }
    const auto& track = Track();
    EXPECT_EQ(track.bboxHistory.size(), c.entries);
    EXPECT_EQ(track.highConfHistory.size(), c.entries);
    EXPECT_EQ(track.vMeanHistory.size(), c.entries);
    EXPECT_EQ(track.totalVotes, static_cast<int>(c.entries));
    EXPECT_EQ(track.highConfVotes, c.highConfVotes);
    EXPECT_EQ(track.age, c.age);
    EXPECT_EQ(track.confirmed, c.confirmedField);
    EXPECT_EQ(peer.IsTrackConfirmed(kTrack), c.confirmed);
    EXPECT_EQ(peer.IsTrackLowConfirmed(kTrack), c.lowConfirmed);
  }
}

TEST_F(TrackHistory, CountersMoveStepByStepAndStopAtZero) {
  RecordMany(15, kHigh);
  auto& track = peer.trackHistory().at(kTrack);
  track.highConfVotes = 0;
  track.totalVotes = 0;
  Miss();
  EXPECT_EQ(track.bboxHistory.size(), 14u);
  EXPECT_EQ(track.highConfVotes, 0);
  EXPECT_EQ(track.totalVotes, 0);
}

TEST_F(TrackHistory, VoteTestsAreFalseForUnknownAndClearedTracks) {
  EXPECT_FALSE(peer.IsTrackConfirmed(3));
  EXPECT_FALSE(peer.IsTrackLowConfirmed(3));
  RecordMany(8, kHigh);
  ASSERT_TRUE(peer.IsTrackConfirmed(kTrack));
  peer.ResetDetectionState();
  EXPECT_FALSE(peer.IsTrackConfirmed(kTrack));
  EXPECT_FALSE(peer.IsTrackLowConfirmed(kTrack));
}

TEST_F(TrackHistory, RecordMissed30FramesInARowStaysAndIsErasedAtThe31st) {
  RecordMany(15, kHigh);
  Miss(30);
  ASSERT_EQ(peer.trackHistory().count(kTrack), 1u);
  EXPECT_EQ(Track().missedFrames, 30);
  EXPECT_EQ(Track().age, 45);
  Miss();
  EXPECT_EQ(peer.trackHistory().count(kTrack), 0u);
  EXPECT_FALSE(peer.IsTrackLowConfirmed(kTrack));
}

TEST_F(TrackHistory, DetectionRestartsTheMissedCount) {
  Record(kHigh);
  Miss(30);
  Record(kHigh);
  EXPECT_EQ(Track().missedFrames, 0);
  Miss(30);
  ASSERT_EQ(peer.trackHistory().count(kTrack), 1u);
  EXPECT_EQ(Track().totalVotes, 2);
  Miss();
  EXPECT_EQ(peer.trackHistory().count(kTrack), 0u);
}

TEST_F(TrackHistory, OnlyTracksMissingFromTheFrameAgeAndLeave) {
  const int seen = 1;
  const int missed = 2;
  Record(kHigh, seen);
  Record(kHigh, missed);
  for (int frame = 0; frame < 31; ++frame) {
    Record(kHigh, seen);
    peer.AgeTracks({seen});
  }
  ASSERT_EQ(peer.trackHistory().size(), 1u);
  EXPECT_EQ(Track(seen).missedFrames, 0);
  EXPECT_EQ(Track(seen).age, 32);
}

class AddConfirmedDetection : public TrackHistory {};

TEST_F(AddConfirmedDetection, RaisesTheScoreToTheThresholdAndAppendsTheDetection) {
  const struct {
    float confidence;
    float reported;
  } cases[] = {{0.3f, 0.5f}, {0.8f, 0.8f}, {0.5f, 0.5f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.confidence);
    peer.detectionScoreThreshold() = 0.5f;
    peer.detectionActive() = false;
    peer.noDetectionCount() = 12;
    peer.positiveDetection() = false;
    peer.positiveDetectionCount() = 4;
    std::vector<KESTROVIA::Object> output(2);
    output[0].className = "earlier";
    KESTROVIA::Object detection;
    detection.classId = 2;
    detection.trackId = kTrack;
    detection.className = "smoke";
    detection.confidence = c.confidence;
    detection.box = cv::Rect(5, 6, 7, 8);
    detection.cameraId = "cam-1";

    peer.AddConfirmedDetection(detection, output);

    ASSERT_EQ(output.size(), 3u);
    EXPECT_EQ(output[0].className, "earlier");
    const KESTROVIA::Object& reported = output.back();
    EXPECT_EQ(reported.confidence, c.reported);
    EXPECT_EQ(reported.classId, 2);
    EXPECT_EQ(reported.trackId, kTrack);
    EXPECT_EQ(reported.className, "smoke");
    EXPECT_EQ(reported.box, cv::Rect(5, 6, 7, 8));
    EXPECT_EQ(reported.cameraId, "cam-1");
    EXPECT_TRUE(peer.detectionActive());
    EXPECT_EQ(peer.noDetectionCount(), 0);
    EXPECT_TRUE(peer.positiveDetection());
    EXPECT_EQ(peer.positiveDetectionCount(), 4);
  }
}

}  // namespace
