// Live inputs come back: a stream served on 127.0.0.1 by the test changes its frame size,
// drops and is refused for a while, and stalls; tev-host reads the new size, reconnects with
// back-off, reports each loss and return, times frames by the clock across the outage, and
// ends promptly on SIGTERM while a read waits on the silent stream; no alarm spans an outage.
#include "tests/host/host_fixture.h"
#include "tests/host/loopback_stream.h"
#include "tests/support/read_file.h"

#include <signal.h>

#include <chrono>
#include <future>
#include <thread>

namespace {

using tevtest::EventsOfKind;
using tevtest::FramesOf;
using tevtest::HostTest;
using tevtest::json;
using tevtest::LoopbackStream;
using tevtest::ProgramRun;

const cv::Size kSmall(320, 240);
const cv::Size kLarge(480, 360);

class LiveInputs : public HostTest {
 protected:
  // A detector that reports the fire on every frame: every frame gives a timed event.
  void SetUp() override { UseDetector(tevtest::FireOnEveryCall(/*log=*/false)); }

  // tev-host on url with args, started beside the test; its pid is in Scratch("pid").
  std::future<ProgramRun> StartHost(const std::string& url, const std::string& args) const {
    const std::string command = "echo $$ > " + Scratch("pid") +
                                "; exec " TEV_HOST_FILE " --models " + models.Path() + " " + url +
                                " " + args;
    return std::async(std::launch::async, [command] {
      return tevtest::RunProgram("/bin/bash", {"-c", command});
    });
  }

  void Signal(int signal) const { kill(std::stoi(tevtest::ReadFile(Scratch("pid"))), signal); }
};

// Waits (at most 30 s) until the events file holds count events of kind.
bool WaitForEvents(const std::string& events, const std::string& kind, std::size_t count) {
  for (int tries = 0; tries < 600; ++tries) {
    if (EventsOfKind(tevtest::ReadJsonLines(events), kind).size() >= count) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

// The run's end, or a failure instead of a test that hangs.
ProgramRun Finished(std::future<ProgramRun>& host) {
  if (host.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
    ADD_FAILURE() << "tev-host did not end";
    std::abort();
  }
  return host.get();
}

TEST_F(LiveInputs, AStreamThatChangesSizeDropsAndStallsComesBackTimedByTheClock) {
  LoopbackStream camera;
  const std::string events = Scratch("events.jsonl");
  std::future<ProgramRun> host = StartHost(camera.Url(), "--events " + events + " --stats 1");

  // The size changes mid-connection; the reader opens the stream again for it.
  std::vector<cv::Size> frames = FramesOf(kSmall, 40);
  const std::vector<cv::Size> larger = FramesOf(kLarge, 40);
  frames.insert(frames.end(), larger.begin(), larger.end());
  ASSERT_TRUE(camera.Serve(frames));
  ASSERT_TRUE(camera.Serve(FramesOf(kLarge, 40)));
  // Down for 2.5 s: refused connections, retried with back-off.
  camera.Down();
  std::this_thread::sleep_for(std::chrono::milliseconds(2500));
  camera.Listen();
  // Back, then silent with the connection open: SIGTERM comes while a read waits.
  ASSERT_TRUE(camera.Serve(FramesOf(kLarge, 40), /*keepOpen=*/true));
  const bool cameBack = WaitForEvents(events, "input-restored", 2);
  Signal(SIGTERM);
  const ProgramRun run = Finished(host);

  ASSERT_TRUE(cameBack) << run.err;
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_NE(run.out.find("tev-host: 1 input"), std::string::npos) << run.out;
  EXPECT_NE(run.err.find("the frame size changed from 320x240 to 480x360"), std::string::npos)
      << run.err;

  const std::vector<json> all = tevtest::ReadJsonLines(events);
  const std::vector<json> lost = EventsOfKind(all, "input-lost");
  const std::vector<json> restored = EventsOfKind(all, "input-restored");
  ASSERT_GE(lost.size(), 2u) << run.err;
  ASSERT_GE(restored.size(), 2u) << run.err;
  EXPECT_NE(lost[0].at("cause").get<std::string>().find("frame size changed"), std::string::npos);
  EXPECT_NE(run.out.find("reconnects       " + std::to_string(restored.size())), std::string::npos)
      << run.out;

  // The outage: the loss before the 2.5 s down, the return after it, and the frames' times
  // jump by as much.
  const auto longest = std::max_element(
      restored.begin(), restored.end(),
      [](const json& a, const json& b) { return a.at("outageSeconds") < b.at("outageSeconds"); });
  EXPECT_GE(longest->at("outageSeconds").get<double>(), 2.5);
  const long firstAfter = longest->at("frame");
  const std::vector<json> detections = EventsOfKind(all, "detections");
  double before = -1.0;  // the last frame's time before the outage
  double after = -1.0;   // the first frame's time after it
  double previous = -1.0;
  for (const json& event : detections) {
    const double ms = event.at("timestampMs");
    EXPECT_GT(ms, previous);
    previous = ms;
    if (event.at("frame").get<long>() < firstAfter) {
      before = ms;
    } else if (after < 0.0) {
      after = ms;
    }
  }
  ASSERT_GT(before, 0.0);
  ASSERT_GT(after, 0.0);
  EXPECT_GE(after - before, longest->at("outageSeconds").get<double>() * 1000.0 - 1.0);

  // No alarm spans an outage: a loss ends the running one.
  for (const json& end : EventsOfKind(all, "alarm-end")) {
    for (const json& back : restored) {
      EXPECT_FALSE(end.at("firstFrame") < back.at("frame") && back.at("frame") <= end.at("frame"))
          << end << " spans " << back;
    }
  }

  const std::vector<json> stats = EventsOfKind(all, "stats");
  ASSERT_FALSE(stats.empty());
  EXPECT_GE(stats.back().at("reconnects").get<long>(), 1);
}

TEST_F(LiveInputs, WithoutReconnectADroppedStreamEndsItsInput) {
  LoopbackStream camera;
  std::future<ProgramRun> host = StartHost(camera.Url(), "--no-reconnect");
  ASSERT_TRUE(camera.Serve(FramesOf(kSmall, 20)));
  const ProgramRun run = Finished(host);

  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_NE(run.err.find("the stream ended after"), std::string::npos) << run.err;
  EXPECT_EQ(run.out.find("reconnects"), std::string::npos) << run.out;
}

}  // namespace
