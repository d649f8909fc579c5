// Objects driven from several threads: one object shared, and objects side by side.
#include "tests/e2e/scenario_fixture.h"

#include <atomic>
#include <numeric>
#include <thread>

namespace {

using tevtest::Detection;
using tevtest::FlameFrame;
using tevtest::FlameScript;
using tevtest::kFireBox;
using tevtest::Plugin;
using tevtest::Script;
using Concurrency = tevtest::Scenario;

TEST_F(Concurrency, ThreadsSharingAnObjectGetCompleteResults) {
  Plugin plugin = Start(
      Script({{Detection(0, 0.9, kFireBox, 1)}}, R"("coordinates":"frame","after":"repeat-last")"));
  constexpr int kThreads = 4;
  constexpr int kFrames = 25;
  std::atomic<int> incomplete{0};
  std::atomic<int> returned{0};
  std::vector<std::thread> threads;
  for (int thread = 0; thread < kThreads; ++thread) {
    threads.emplace_back([&, thread] {
      const std::string camera = "cam" + std::to_string(thread);
      for (int frame = 0; frame < kFrames; ++frame) {
        for (const CustomObject& object : plugin->RunInference(FlameFrame(frame), camera)) {
          ++returned;
          if (object.box != kFireBox || object.cameraId != camera || object.classId != 0 ||
              object.extraInfo != "Detection Score Threshold:0.500000") {
            ++incomplete;
          }
        }
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  // Results came back at all, so that "none incomplete" says something.
  EXPECT_GT(returned, 0);
  EXPECT_EQ(incomplete, 0);
  EXPECT_EQ(DetectorViews().size(), static_cast<std::size_t>(kThreads * kFrames));
}

TEST_F(Concurrency, ObjectsFedDifferentStreamsDoNotAffectEachOther) {
  constexpr int kFrames = 30;
  Plugin alone = Start(FlameScript(kFrames));
  std::vector<std::size_t> expected;
  for (int frame = 0; frame < kFrames; ++frame) {
    expected.push_back(alone->RunInference(FlameFrame(frame), "a").size());
  }
  // The stream reports fire on some frames, so that equal counts say something.
  ASSERT_GT(std::accumulate(expected.begin(), expected.end(), std::size_t{0}), 0u);

  Plugin fire = Start(FlameScript(kFrames));
  tevtest::ModelFolder quiet;
  tevtest::WriteEmptyModels(quiet);
  Plugin nothing(Create());
  std::string labelMap;
  {
    tevtest::ConsoleCapture console;
    ASSERT_TRUE(nothing->Initialize(quiet.Path(), 0.5f, labelMap));
  }
  for (int frame = 0; frame < kFrames; ++frame) {
    EXPECT_TRUE(nothing->RunInference(FlameFrame(frame), "b").empty());
    EXPECT_EQ(fire->RunInference(FlameFrame(frame), "a").size(), expected[frame]);
  }
}

TEST_F(Concurrency, ObjectsInParallelThreadsGiveTheResultsTheyGiveAlone) {
  constexpr int kFrames = 30;
  constexpr int kObjects = 4;
  std::vector<std::size_t> expected;
  {
    Plugin alone = Start(FlameScript(kFrames));
    for (int frame = 0; frame < kFrames; ++frame) {
      expected.push_back(alone->RunInference(FlameFrame(frame), "solo").size());
    }
  }
  ASSERT_GT(std::accumulate(expected.begin(), expected.end(), std::size_t{0}), 0u);
  std::vector<Plugin> plugins;
  for (int object = 0; object < kObjects; ++object) {
    plugins.push_back(Start(FlameScript(kFrames)));
  }
  std::vector<std::vector<std::size_t>> results(kObjects);
  std::vector<std::thread> threads;
  for (int object = 0; object < kObjects; ++object) {
    threads.emplace_back([&, object] {
      for (int frame = 0; frame < kFrames; ++frame) {
        results[object].push_back(plugins[object]->RunInference(FlameFrame(frame), "cam").size());
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  for (int object = 0; object < kObjects; ++object) {
    EXPECT_EQ(results[object], expected) << "object " << object;
  }
}

}  // namespace
