#include "platform/host/frame_source.h"

#include "platform/host/host_failure.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>

namespace tevhost {
namespace {

namespace fs = std::filesystem;

// The module takes 8-bit three-channel BGR frames only.
cv::Mat ToBgr(const cv::Mat& frame) {
  cv::Mat eightBit = frame;
  if (frame.depth() == CV_16U) {
    frame.convertTo(eightBit, CV_8U, 1.0 / 257.0);
  } else if (frame.depth() != CV_8U) {
    frame.convertTo(eightBit, CV_8U);
  }
  cv::Mat bgr;
  switch (eightBit.channels()) {
    case 1:
      cv::cvtColor(eightBit, bgr, cv::COLOR_GRAY2BGR);
      return bgr;
    case 4:
      cv::cvtColor(eightBit, bgr, cv::COLOR_BGRA2BGR);
      return bgr;
    default:
      return eightBit;
  }
}

double RateOf(const cv::VideoCapture& capture, double fallbackFps) {
  const double fps = capture.get(cv::CAP_PROP_FPS);
  return std::isfinite(fps) && fps > 0.0 && fps <= 1000.0 ? fps : fallbackFps;
}

// A stream that does not answer, or stops sending, must not hold a call for ever: opening
// and each read give up after this long (FFmpeg, which reads the network streams).
constexpr int kStreamTimeoutMs = 5000;

cv::VideoCapture OpenStream(const std::string& url) {
  return cv::VideoCapture(url, cv::CAP_FFMPEG,
                          {cv::CAP_PROP_OPEN_TIMEOUT_MSEC, kStreamTimeoutMs,
                           cv::CAP_PROP_READ_TIMEOUT_MSEC, kStreamTimeoutMs});
}

class CaptureSource : public FrameSource {
 public:
  // An opened capture or not: check IsOpened. live: a camera or a stream.
  CaptureSource(cv::VideoCapture capture, double fallbackFps, bool live)
      : _capture(std::move(capture)), _fps(RateOf(_capture, fallbackFps)), _live(live) {
    _frameCount = static_cast<long>(_capture.get(cv::CAP_PROP_FRAME_COUNT));
  }

  bool IsOpened() const { return _capture.isOpened(); }

  bool Read(cv::Mat& frame) override {
    cv::Mat read;
    if (!_capture.read(read) || read.empty()) {
      // Files know their length: ending before it means a frame could not be decoded.
      if (!_live && _frameCount > 0 && _framesRead < _frameCount) {
        _endNote = "ended after " + std::to_string(_framesRead) + " of " +
                   std::to_string(_frameCount) + " frames: the next one could not be read";
      } else if (_live) {
        _endNote = "the stream ended after " + std::to_string(_framesRead) + " frames";
      }
      return false;
    }
    ++_framesRead;
    frame = ToBgr(read);
    return true;
  }

  std::string EndNote() const override { return _endNote; }
  double FramesPerSecond() const override { return _fps; }

 private:
  cv::VideoCapture _capture;
  double _fps;
  bool _live;
  long _frameCount = 0;
  long _framesRead = 0;
  std::string _endNote;
};

class FolderSource : public FrameSource {
 public:
  FolderSource(std::vector<fs::path> images, double fps) : _images(std::move(images)), _fps(fps) {}

  bool Read(cv::Mat& frame) override {
    if (_next >= _images.size()) {
      return false;
    }
    const fs::path& image = _images[_next++];
    cv::Mat read = cv::imread(image.string(), cv::IMREAD_UNCHANGED);
    if (read.empty()) {
      _endNote = "ended at " + image.filename().string() + ", which could not be decoded";
      _next = _images.size();
      return false;
    }
    frame = ToBgr(read);
    return true;
  }

  std::string EndNote() const override { return _endNote; }
  double FramesPerSecond() const override { return _fps; }

 private:
  std::vector<fs::path> _images;
  double _fps;
  std::size_t _next = 0;
  std::string _endNote;
};

bool IsCameraIndex(const std::string& input) {
  return !input.empty() && input.size() < 4 &&
         std::all_of(input.begin(), input.end(), [](unsigned char c) { return std::isdigit(c); });
}

std::unique_ptr<FrameSource> OpenFolder(const fs::path& folder, double fallbackFps) {
  std::vector<fs::path> images;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    // Files OpenCV recognises as images by their first bytes; the rest is skipped.
    if (entry.is_regular_file() && cv::haveImageReader(entry.path().string())) {
      images.push_back(entry.path());
    }
  }
  if (error) {
    throw HostFailure(FailureKind::Input,
                      "cannot read the image folder " + folder.string() + ": " + error.message());
  }
  if (images.empty()) {
    throw HostFailure(FailureKind::Input, "the image folder " + folder.string() +
                                              " holds no image OpenCV can read (PNG, JPEG...)");
  }
  std::sort(images.begin(), images.end());
  return std::make_unique<FolderSource>(std::move(images), fallbackFps);
}

}  // namespace

std::unique_ptr<FrameSource> OpenFrameSource(const std::string& input, double fallbackFps) {
  if (IsCameraIndex(input) && !fs::exists(input)) {
    auto camera =
        std::make_unique<CaptureSource>(cv::VideoCapture(std::stoi(input)), fallbackFps, true);
    if (!camera->IsOpened()) {
      throw HostFailure(FailureKind::Input, "cannot open camera " + input +
                                                ": check that it is connected and not in use");
    }
    return camera;
  }
  const bool stream = input.find("://") != std::string::npos;
  if (!stream && fs::is_directory(input)) {
    return OpenFolder(input, fallbackFps);
  }
  if (!stream && !fs::exists(input)) {
    throw HostFailure(FailureKind::Input, "cannot open input " + input +
                                              ": no such file or folder (give a video file, an "
                                              "image folder, a camera index or a stream URL)");
  }
  auto capture = std::make_unique<CaptureSource>(
      stream ? OpenStream(input) : cv::VideoCapture(input), fallbackFps, stream);
  if (!capture->IsOpened()) {
    throw HostFailure(FailureKind::Input,
                      "cannot open input " + input +
                          (stream ? ": the stream does not answer or its format "
                                    "is not supported"
                                  : ": not a video or image OpenCV can read"));
  }
  return capture;
}

}  // namespace tevhost
