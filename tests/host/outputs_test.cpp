// tev-host's outputs are never lost silently: a write that fails ends the run with exit
// status 5, a line naming the file and the cause, and the summary; event files hold whole
// lines only; an annotated video is finished on every way out (end, SIGTERM, SIGHUP, a
// closed pipe) and listed only when it holds its frames; outputs are opened only once the
// inputs, settings and models are good, and never over an input.
#include "tests/host/host_fixture.h"

#include <opencv2/videoio.hpp>

#include <sys/mount.h>

#include <filesystem>
#include <fstream>

namespace {

using tevtest::HostTest;
using tevtest::json;

class Outputs : public HostTest {
 protected:
  // A detector that reports the fire on every frame: an event line per frame.
  void SetUp() override { UseDetector(tevtest::FireOnEveryCall(/*log=*/false)); }

  std::string Video(int frames) const {
    const std::string path = Scratch("hall-" + std::to_string(frames) + ".avi");
    if (!std::filesystem::exists(path)) {
      tevtest::WriteVideo(path, {320, 240}, frames, 25.0);
    }
    return path;
  }

  // tev-host with args in a bash script line, for pipes and signals; its exit status.
  tevtest::ProgramRun Script(const std::string& script) const {
    return tevtest::RunProgram("/bin/bash", {"-c", script});
  }

  std::string HostCommand(const std::string& args) const {
    return std::string(TEV_HOST_FILE) + " --models " + models.Path() + " " + args;
  }
};

long PlayableFrames(const std::string& path) {
  cv::VideoCapture video(path);
  long frames = 0;
  cv::Mat frame;
  while (video.isOpened() && video.read(frame)) {
    ++frames;
  }
  return frames;
}

TEST_F(Outputs, EventsThatCannotBeWrittenEndTheRunWithStatus5AfterTheSummary) {
  const tevtest::ProgramRun run = Host({Video(20), "--events", "/dev/full"});
  EXPECT_EQ(run.exitStatus, 5);
  EXPECT_NE(run.err.find("tev-host: cannot write the events file /dev/full: No space left on "
                         "device"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.out.find("tev-host: 1 input"), std::string::npos) << run.out;
}

// A filesystem of one page fills up after some twenty event lines.
class SmallFilesystem {
 public:
  explicit SmallFilesystem(const std::string& folder) : _folder(folder) {
    std::filesystem::create_directories(folder);
    _mounted = mount("tev-test", folder.c_str(), "tmpfs", 0, "size=4k") == 0;
  }
  ~SmallFilesystem() {
    if (_mounted) {
      umount(_folder.c_str());
    }
  }
  bool Mounted() const { return _mounted; }

 private:
  std::string _folder;
  bool _mounted = false;
};

TEST_F(Outputs, AFullDiskLeavesAnEventsFileOfWholeLines) {
  const SmallFilesystem disk(Scratch("small"));
  if (!disk.Mounted()) {
    GTEST_SKIP() << "mounting a tmpfs needs root; /dev/full is tested above";
  }
  const std::string events = Scratch("small/events.jsonl");
  const tevtest::ProgramRun run = Host({Video(2000), "--events", events});
  EXPECT_EQ(run.exitStatus, 5) << run.err;
  EXPECT_NE(run.err.find("cannot write the events file " + events + ": No space left on device"),
            std::string::npos)
      << run.err;
  std::ifstream in(events);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '\n');
  const std::vector<json> lines = tevtest::ReadJsonLines(events);  // throws on a half line
  EXPECT_GT(lines.size(), 5u);
}

TEST_F(Outputs, AnAnnotatedVideoThatCannotBeWrittenIsReportedNotListed) {
  const std::string video = Scratch("full.avi");
  std::filesystem::create_symlink("/dev/full", video);
  const tevtest::ProgramRun run = Host({Video(20), "--annotate", video});
  EXPECT_EQ(run.exitStatus, 5);
  EXPECT_NE(run.err.find("cannot write the annotated video " + video +
                         ": it holds 0 of the 20 "
                         "frames written"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(run.out.find("annotated video"), std::string::npos) << run.out;
}

TEST_F(Outputs, OutputsOverAnInputOrTheSettingsAreRefusedBeforeAnything) {
  const std::string settings = Scratch("site.json");
  std::ofstream(settings) << R"({"SmokeScore": 0.7})";
  const struct {
    const char* what;
    std::vector<std::string> args;
    const char* problem;
  } cases[] = {
      {"events over the video", {Video(20), "--events", Video(20)}, "would overwrite an input"},
      {"events over the settings",
       {Video(20), "--settings", settings, "--events", settings},
       "would overwrite the settings file"},
      {"annotated video over the video",
       {Video(20), "--annotate", Video(20)},
       "would overwrite an input"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto before = std::filesystem::file_size(Video(20));
    const tevtest::ProgramRun run = Host(c.args);
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_NE(run.err.find(c.problem), std::string::npos) << run.err;
    EXPECT_EQ(std::filesystem::file_size(Video(20)), before);
    EXPECT_EQ(tevtest::ReadJson(settings), json({{"SmokeScore", 0.7}}));
  }
}

TEST_F(Outputs, ARunRefusedForItsSettingsLeavesTheEventsOfTheLastRun) {
  const std::string events = Scratch("events.jsonl");
  std::ofstream(events) << "{\"event\": \"alarm-start\"}\n";
  const tevtest::ProgramRun run =
      Host({Video(20), "--settings", Scratch("none.json"), "--events", events});
  EXPECT_EQ(run.exitStatus, 2);
  EXPECT_EQ(tevtest::ReadJsonLines(events).size(), 1u);
}

// Each way a run can be ended from outside: the video is finished and playable, and the
// summary is written.
TEST_F(Outputs, SignalsAndAClosedPipeEndTheRunWithASummaryAndAPlayableVideo) {
  const struct {
    const char* what;
    const char* video;
    std::string script;  // $H: tev-host with the models and the long clip; $V: the video
    int exitStatus;
  } cases[] = {
      {"SIGTERM", "term.avi",
       "$H --annotate $V & pid=$!; WAIT_FOR_VIDEO; kill -TERM $pid; wait $pid", 0},
      {"SIGHUP", "hup.mp4", "$H --annotate $V & pid=$!; WAIT_FOR_VIDEO; kill -HUP $pid; wait $pid",
       0},
      {"closed pipe", "pipe.avi",
       "$H --annotate $V --events - | head -n 1 > /dev/null; exit ${PIPESTATUS[0]}", 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string video = Scratch(c.video);
    // The signal comes once the video has its first frame: the run is under way.
    const std::string waitForVideo = "for i in $(seq 600); do [ -s $V ] && break; sleep 0.05; done";
    std::string script = c.script;
    const std::size_t wait = script.find("WAIT_FOR_VIDEO");
    if (wait != std::string::npos) {
      script.replace(wait, std::string("WAIT_FOR_VIDEO").size(), waitForVideo);
    }
    const tevtest::ProgramRun run =
        Script("H='" + HostCommand(Video(2000)) + "'; V='" + video + "'; " + script);
    EXPECT_EQ(run.exitStatus, c.exitStatus) << run.err;
    const std::string summary = run.out + run.err;
    EXPECT_NE(summary.find("tev-host: 1 input"), std::string::npos) << summary;
    const long frames = PlayableFrames(video);
    EXPECT_GT(frames, 0);
    EXPECT_LT(frames, 2000);  // ended early
  }
}

}  // namespace
