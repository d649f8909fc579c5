// One object over a million frames in which tracks appear and vanish all the time: memory
// stays flat and the track table bounded. Labelled "soak": run by make test-soak, not by
// make test.
#include "tests/stages/stage_fixture.h"

#include <unistd.h>
#include <fstream>

namespace {

using tevtest::Detection;
using tevtest::Frame;
using tevtest::Script;

constexpr int kFrames = 1000000;
constexpr int kWarmUpFrames = 100000;

// Resident memory of this process, in bytes.
long ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  long size = 0;
  long resident = 0;
  statm >> size >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

// 600 calls with three tracks each, new ids every 20 calls and boxes that move, then 100
// calls without anything, so that holds are given up and searches start again; repeated.
std::string ChangingTracksScript() {
  std::vector<std::vector<std::string>> calls;
  for (int call = 0; call < 600; ++call) {
    std::vector<std::string> detections;
    for (int track = 0; track < 3; ++track) {
      const int id = (call / 20) * 3 + track;
      detections.push_back(Detection(track == 2 ? 2 : 0, 0.9,
                                     {(call * 3 + track * 10) % 40, 5 + 15 * track, 20, 14}, id));
    }
    calls.push_back(detections);
  }
  calls.resize(700);
  return Script(calls, R"("after":"cycle")");
}

using Soak = StageTest;

TEST_F(Soak, MemoryAndTrackTableStayBoundedOverAMillionFrames) {
  Models(ChangingTracksScript());
  const cv::Mat frame = Frame(64, 64, cv::Scalar(0, 120, 255));
  std::size_t largestTable = 0;
  std::size_t reports = 0;
  long residentAfterWarmUp = 0;
  for (int index = 0; index < kFrames; ++index) {
    reports += Run(frame).size();
    largestTable = std::max(largestTable, peer.trackHistory().size());
    if (index + 1 == kWarmUpFrames) {
      residentAfterWarmUp = ResidentBytes();
    }
  }
  const long growth = ResidentBytes() - residentAfterWarmUp;
  EXPECT_LT(growth, 1L << 20) << "resident memory grew by " << growth << " bytes";
  // Tracks live 20 frames and are forgotten 31 frames after their last detection.
  EXPECT_LE(largestTable, 9u);
  EXPECT_GT(reports, 0u);
}

}  // namespace
