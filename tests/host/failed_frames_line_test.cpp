// Reading the module's failed-frames total from its console lines.
#include "platform/host/failed_frames_line.h"

#include <gtest/gtest.h>

namespace {

TEST(FailedFramesLine, ReadsTheTotalOfTheModulesLinesOnly) {
  const struct {
    const char* line;
    std::optional<std::uint64_t> total;
  } cases[] = {
      {"TEVCustomFS::RunInference: a frame failed and gave no detections: model gone (1 frame "
       "failed so far)",
       1},
      {"TEVCustomFS::RunInference: 41 more frames failed and gave no detections; the last: x "
       "(42 frames failed so far)",
       42},
      {"TEVCustomFS::Destroy: 3 more frames failed and gave no detections; the last: x (45 "
       "frames failed so far)",
       45},
      {"TEVCustomFS::Initialize: Warning - Motion detector not loaded", std::nullopt},
      {"tev-host: cam0: (2 frames failed so far)", std::nullopt},
      {"TEVCustomFS::RunInference: a frame failed (2 frames failed so far) and more", std::nullopt},
      {"TEVCustomFS::RunInference: x (99999999999999999999 frames failed so far)", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(tevhost::FailedFramesInLine(c.line), c.total);
  }
}

}  // namespace
