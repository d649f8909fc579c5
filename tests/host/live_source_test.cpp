// A live source on its own: a video file stands in for the camera through the opener, so
// that dropping, reconnecting and stopping are seen without a network.
#include "platform/host/live_source.h"
#include "platform/host/frame_source.h"
#include "tests/host/program_run.h"
#include "tests/support/model_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using tevhost::LinkChange;
using tevhost::LiveInput;
using tevhost::LiveOptions;
using tevhost::SourceFrame;

class LiveSource : public testing::Test {
 protected:
  void SetUp() override { tevtest::WriteVideo(_video, {160, 120}, 20, 25.0); }

  // A camera that is the video, after failing as many openings as failures.
  LiveInput Camera(int failures = 0) {
    return {[this, failures] {
              return ++_openings > failures ? cv::VideoCapture(_video) : cv::VideoCapture();
            },
            "the camera is not there"};
  }

  std::atomic<int> _openings{0};

 private:
  tevtest::ModelFolder _scratch;
  const std::string _video = _scratch.File("camera.avi");
};

TEST_F(LiveSource, KeepsTheNewestFramesWhileTheReaderIsBusyAndCountsTheRest) {
  LiveInput camera = Camera();
  LiveOptions options;
  options.reconnect = false;
  cv::VideoCapture opened = camera.open();
  const auto source = tevhost::StartLiveSource(camera, std::move(opened), 25.0, options);
  // Nobody reads until all 20 frames have arrived: all but the newest 2 are dropped.
  for (int wait = 0; wait < 200 && source->DroppedFrames() < 18; ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ASSERT_EQ(source->DroppedFrames(), 18);

  SourceFrame first;
  SourceFrame second;
  SourceFrame none;
  ASSERT_TRUE(source->Read(first));
  ASSERT_TRUE(source->Read(second));
  EXPECT_FALSE(source->Read(none));
  EXPECT_EQ(first.image.size(), cv::Size(160, 120));
  EXPECT_LE(first.timestampMs, second.timestampMs);
  EXPECT_EQ(source->EndNote(), "");  // it ended where it said it would
}

TEST_F(LiveSource, ASourceThatCannotBeOpenedIsTriedAgainAndItsReturnReported) {
  std::vector<LinkChange> changes;
  LiveOptions options;
  options.onLinkChange = [&changes](const LinkChange& change) { changes.push_back(change); };
  const auto source = tevhost::StartLiveSource(Camera(1), cv::VideoCapture(), 25.0, options);

  SourceFrame frame;
  ASSERT_TRUE(source->Read(frame));
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_TRUE(changes[0].lost);
  EXPECT_EQ(changes[0].cause, "the camera is not there");
  EXPECT_FALSE(changes[1].lost);
  // The second opening comes after the first wait of the back-off, 1 s.
  EXPECT_GE(changes[1].outageSeconds, 1.0);
  EXPECT_GE(frame.timestampMs, 1000.0);
  EXPECT_EQ(_openings, 2);
  EXPECT_EQ(source->Reconnects(), 1);
}

TEST_F(LiveSource, StopsWaitingOnceTheRunIsStopped) {
  std::atomic<bool> stop{false};
  LiveOptions options;
  options.stop = &stop;
  const auto source = tevhost::StartLiveSource(Camera(1000), cv::VideoCapture(), 25.0, options);
  std::thread stopper([&stop] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    stop = true;
  });
  SourceFrame frame;
  EXPECT_FALSE(source->Read(frame));
  stopper.join();
  EXPECT_TRUE(stop);
}

}  // namespace
