#include "platform/tevlib/tracking/byte_tracker.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using tevlib::ByteTracker;
using tevlib::TrackInput;

TrackInput At(float x, float y, float score = 0.9f, int classId = 0) {
  return {cv::Rect2f(x, y, 40, 80), score, classId};
}

// The id given to a single target on each frame.
int Step(ByteTracker& tracker, const TrackInput& target) {
  const std::vector<int> ids = tracker.Update({target});
  EXPECT_EQ(ids.size(), 1u);
  return ids.empty() ? 0 : ids[0];
}

TEST(ByteTrack, KeepsIdOfTargetMovingAtConstantSpeed) {
  ByteTracker tracker;
  const int first = Step(tracker, At(10, 50));
  EXPECT_GT(first, 0);
  for (int frame = 1; frame < 80; ++frame) {
    ASSERT_EQ(Step(tracker, At(10 + 6.0f * frame, 50 + 1.5f * frame)), first) << frame;
  }
}

TEST(ByteTrack, TwoCrossingTargetsKeepTheirIds) {
  ByteTracker tracker;
  std::vector<int> firstIds = tracker.Update({At(50, 100), At(350, 130)});
  ASSERT_EQ(firstIds.size(), 2u);
  EXPECT_NE(firstIds[0], firstIds[1]);
  for (int frame = 1; frame <= 60; ++frame) {
    const std::vector<int> ids =
        tracker.Update({At(50 + 5.0f * frame, 100), At(350 - 5.0f * frame, 130)});
    ASSERT_EQ(ids, firstIds) << frame;  // the boxes overlap most around frame 30
  }
}

TEST(ByteTrack, LostTargetKeepsItsIdFor30FramesOnly) {
  struct Case {
    float speed;  // pixels a frame, also while unseen
    int missing;  // frames without the target
    bool sameId;
  };
  const Case cases[] = {{3, 10, true}, {3, 40, false}, {0, 30, true}, {0, 31, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "speed " << c.speed << ", missing " << c.missing);
    ByteTracker tracker;
    int frame = 0;
    int id = 0;
    for (; frame < 20; ++frame) {
      id = Step(tracker, At(20 + c.speed * frame, 40));
    }
    for (int gap = 0; gap < c.missing; ++gap, ++frame) {
      EXPECT_TRUE(tracker.Update({}).empty());
    }
    const int back = Step(tracker, At(20 + c.speed * frame, 40));
    if (c.sameId) {
      EXPECT_EQ(back, id);
    } else {
      EXPECT_GT(back, id);  // a new id, never an old one again
    }
  }
}

TEST(ByteTrack, WeakDetectionsGetIdsThatLast) {
  ByteTracker tracker;
  EXPECT_EQ(Step(tracker, At(300, 300)), 1);
  const int weak = Step(tracker, At(10, 10, 0.2f));  // appears later: starts unconfirmed
  EXPECT_EQ(weak, 2);
  for (int frame = 0; frame < 10; ++frame) {
    EXPECT_EQ(Step(tracker, At(10 + 2.0f * frame, 10, 0.2f)), weak) << frame;
  }
}

TEST(ByteTrack, DetectionsMatchOnlyTracksOfTheirClass) {
  ByteTracker tracker;
  const std::vector<int> first = tracker.Update({At(100, 100, 0.9f, 0), At(102, 100, 0.8f, 2)});
  ASSERT_EQ(first.size(), 2u);
  EXPECT_NE(first[0], first[1]);
  // The smoke now lies exactly where the fire was: by overlap alone the two would swap ids.
  EXPECT_EQ(tracker.Update({At(110, 100, 0.9f, 0), At(100, 100, 0.8f, 2)}), first);
}

TEST(ByteTrack, MemoryStaysBoundedOverManyFramesOfComingAndGoingTargets) {
  // A new target every 10 frames, each seen for 12 frames at a place of its own: at most 2
  // are in view, and at most 4 lost ones are kept (for 30 frames after they were last seen).
  constexpr int kFrames = 100000;
  constexpr int kEvery = 10;
  constexpr int kLife = 12;
  ByteTracker tracker;
  int lastId = 0;
  std::size_t mostHeld = 0;
  for (int frame = 0; frame < kFrames; ++frame) {
    std::vector<TrackInput> targets;  // newest first
    for (int born = frame / kEvery * kEvery; born > frame - kLife && born >= 0; born -= kEvery) {
      const int slot = born / kEvery % 16;
      targets.push_back(At(60.0f * (slot % 4) + 0.5f * (frame - born), 100.0f * (slot / 4)));
    }
    const std::vector<int> ids = tracker.Update(targets);
    ASSERT_EQ(ids.size(), targets.size());
    for (int id : ids) {
      ASSERT_GT(id, 0);
    }
    if (!ids.empty() && ids.front() > lastId) {
      ASSERT_EQ(ids.front(), lastId + 1) << frame;  // the newest target, numbered in turn
      lastId = ids.front();
    }
    mostHeld = std::max(mostHeld, tracker.HeldTracks());
  }
  EXPECT_EQ(lastId, kFrames / kEvery);  // one id per target, none reused
  EXPECT_LE(mostHeld, 6u);
}

}  // namespace
