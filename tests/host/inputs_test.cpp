// The kinds of input tev-host reads besides video files: image folders, in the order of
// their file names, and inputs that end early without ending the run.
#include "tests/host/host_fixture.h"

#include <opencv2/imgcodecs.hpp>

#include <filesystem>
#include <fstream>

namespace {

using tevtest::HostTest;
using tevtest::json;

class ImageFolder : public HostTest {
 protected:
  void Image(const std::string& name, cv::Size size) const {
    ASSERT_TRUE(
        cv::imwrite(Scratch("images/" + name), cv::Mat(size, CV_8UC3, cv::Scalar::all(90))));
  }

  // The frame sizes the detector saw, in the order it saw them.
  std::vector<json> FrameSizesSeen() const {
    std::vector<json> sizes;
    for (const json& call : DetectorCalls()) {
      sizes.push_back(call.at("frame"));
    }
    return sizes;
  }

  void SetUp() override {
    HostTest::SetUp();
    std::filesystem::create_directories(Scratch("images"));
  }
};

TEST_F(ImageFolder, ImagesAreReadInTheOrderOfTheirNamesSkippingOtherFiles) {
  Image("frame-3.png", {250, 250});
  Image("frame-1.png", {300, 200});
  Image("frame-2.jpg", {200, 300});
  std::ofstream(Scratch("images/notes.txt")) << "not an image\n";

  const tevtest::ProgramRun run = Host({Scratch("images")});

  ASSERT_EQ(run.exitStatus, 0) << run.err;
  const std::vector<json> expected = {{300, 200}, {200, 300}, {250, 250}};
  EXPECT_EQ(FrameSizesSeen(), expected);
  EXPECT_NE(run.out.find("frames read      3\n"), std::string::npos) << run.out;
}

TEST_F(ImageFolder, FilesNamedAsImagesThatCannotBeReadAreNamedNotPassedOverSilently) {
  Image("frame-1.png", {300, 200});
  std::ofstream(Scratch("images/frame-2.jpg"));  // empty: a copy that was cut short
  std::ofstream(Scratch("images/notes.txt")) << "not an image\n";

  const tevtest::ProgramRun run = Host({Scratch("images")});

  ASSERT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_NE(run.out.find("frames read      1\n"), std::string::npos) << run.out;
  EXPECT_NE(run.err.find("passed over 1 file named as images that OpenCV cannot read"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("frame-2.jpg"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("notes.txt"), std::string::npos) << run.err;
}

TEST_F(ImageFolder, AnImageThatCannotBeDecodedEndsThatInputOnly) {
  Image("frame-1.png", {300, 200});
  Image("frame-3.png", {250, 250});
  // A PNG signature followed by nothing: taken for an image, but it does not decode.
  std::ofstream(Scratch("images/frame-2.png"), std::ios::binary) << "\x89PNG\r\n\x1a\n";
  const std::string video = Scratch("hall.avi");
  tevtest::WriteVideo(video, {320, 240}, 4, 10.0);

  const tevtest::ProgramRun run = Host({Scratch("images"), video});

  ASSERT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_NE(run.out.find("frames read      1 (ended at frame-2.png, which could not be decoded)"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("frames read      4\n"), std::string::npos) << run.out;
  EXPECT_NE(run.err.find("frame-2.png"), std::string::npos) << run.err;
}

// Each input is opened when its turn comes: forty videos run one at a time under a limit of 24
// open files, which all of them open at once would exceed.
TEST_F(HostTest, ManyInputsRunUnderALowOpenFileLimit) {
  const std::string video = Scratch("hall.avi");
  tevtest::WriteVideo(video, {160, 120}, 3, 10.0);
  std::string inputs;
  for (int input = 0; input < 40; ++input) {
    inputs += " " + video;
  }
  const tevtest::ProgramRun run =
      tevtest::RunProgram("/bin/bash", {"-c", "ulimit -n 24 && exec " TEV_HOST_FILE " --models " +
                                                  models.Path() + " --jobs 1" + inputs});

  ASSERT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_NE(run.out.find("tev-host: 40 inputs, 120 frames"), std::string::npos) << run.out;
}

TEST_F(HostTest, AVideoCutShortEndsCleanlyAtItsLastWholeFrame) {
  const std::string video = Scratch("hall.avi");
  tevtest::WriteVideo(video, {320, 240}, 20, 10.0);
  std::filesystem::resize_file(video, std::filesystem::file_size(video) / 2);

  const tevtest::ProgramRun run = Host({video, "--events", Scratch("events.jsonl")});

  ASSERT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_NE(run.out.find(" of 20 frames: the next one could not be read)"), std::string::npos)
      << run.out;
}

}  // namespace
