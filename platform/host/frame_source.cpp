#include "platform/host/frame_source.h"

#include "platform/host/capture_frames.h"
#include "platform/host/host_failure.h"
#include "platform/host/live_source.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/videoio.hpp>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace tevhost {
namespace {

namespace fs = std::filesystem;

// A stream that does not answer, or stops sending, must not hold a call for ever: opening
// and each read give up after this long (FFmpeg, which reads the network streams).
constexpr int kStreamTimeoutMs = 5000;

class VideoFileSource : public FrameSource {
 public:
  VideoFileSource(cv::VideoCapture capture, double fallbackFps)
      : _capture(std::move(capture)),
        _fps(RateOf(_capture, fallbackFps)),
        _frameCount(static_cast<long>(_capture.get(cv::CAP_PROP_FRAME_COUNT))) {}

  bool Read(SourceFrame& frame) override {
    cv::Mat read;
    if (!_capture.read(read) || read.empty()) {
      // Files know their length: ending before it means a frame could not be decoded.
      if (_frameCount > 0 && _framesRead < _frameCount) {
        _endNote = "ended after " + std::to_string(_framesRead) + " of " +
                   std::to_string(_frameCount) + " frames: the next one could not be read";
      }
      return false;
    }
    frame = {ToBgr(read), _framesRead * 1000.0 / _fps};
    ++_framesRead;
    return true;
  }

  std::string EndNote() const override { return _endNote; }
  double FramesPerSecond() const override { return _fps; }

 private:
  cv::VideoCapture _capture;
  double _fps;
  long _frameCount;
  long _framesRead = 0;
  std::string _endNote;
};

class FolderSource : public FrameSource {
 public:
  FolderSource(std::vector<fs::path> images, double fps, std::string openingNote)
      : _images(std::move(images)), _fps(fps), _openingNote(std::move(openingNote)) {}

  bool Read(SourceFrame& frame) override {
    if (_next >= _images.size()) {
      return false;
    }
    const fs::path& image = _images[_next];
    cv::Mat read = cv::imread(image.string(), cv::IMREAD_UNCHANGED);
    if (read.empty()) {
      _endNote = "ended at " + image.filename().string() + ", which could not be decoded";
      _next = _images.size();
      return false;
    }
    frame = {ToBgr(read), _next * 1000.0 / _fps};
    ++_next;
    return true;
  }

  std::string EndNote() const override { return _endNote; }
  std::string OpeningNote() const override { return _openingNote; }
  double FramesPerSecond() const override { return _fps; }

 private:
  std::vector<fs::path> _images;
  double _fps;
  std::string _openingNote;
  std::size_t _next = 0;
  std::string _endNote;
};

// Whether the name says image (.jpg, .png...) whatever the file holds.
bool HasImageExtension(const fs::path& file) {
  static const char* const kExtensions[] = {
      ".bmp", ".dib", ".jpg", ".jpeg", ".jpe", ".jp2", ".png", ".webp", ".pbm", ".pgm", ".ppm",
      ".pnm", ".pxm", ".tif", ".tiff", ".exr", ".hdr", ".pic", ".sr",   ".ras", ".pfm"};
  std::string extension = file.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return std::find(std::begin(kExtensions), std::end(kExtensions), extension) !=
         std::end(kExtensions);
}

// "passed over 2 files named as images that OpenCV cannot read: a.jpg, b.png", or empty.
std::string PassedOverNote(std::vector<std::string> names) {
  if (names.empty()) {
    return "";
  }
  std::sort(names.begin(), names.end());
  constexpr std::size_t kNamesShown = 5;
  std::string note = "passed over " + std::to_string(names.size()) +
                     (names.size() == 1 ? " file" : " files") +
                     " named as images that OpenCV cannot read (empty, cut short or not an "
                     "image): ";
  for (std::size_t index = 0; index < names.size() && index < kNamesShown; ++index) {
    note += (index > 0 ? ", " : "") + names[index];
  }
  return names.size() > kNamesShown ? note + "..." : note;
}

bool IsCameraIndex(const std::string& input) {
  return !input.empty() && input.size() < 4 &&
         std::all_of(input.begin(), input.end(), [](unsigned char c) { return std::isdigit(c); }) &&
         !fs::exists(input);
}

bool IsStream(const std::string& input) {
  return input.find("://") != std::string::npos;
}

std::unique_ptr<FrameSource> OpenFolder(const fs::path& folder, double fallbackFps) {
  std::vector<fs::path> images;
  std::vector<std::string> passedOver;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    // Files OpenCV recognises as images by their first bytes; of the rest, the ones that are
    // named as images are said.
    if (!entry.is_regular_file()) {
      continue;
    }
    if (cv::haveImageReader(entry.path().string())) {
      images.push_back(entry.path());
    } else if (HasImageExtension(entry.path())) {
      passedOver.push_back(entry.path().filename().string());
    }
  }
  if (error) {
    throw HostFailure(FailureKind::Input,
                      "cannot read the image folder " + folder.string() + ": " + error.message());
  }
  if (images.empty()) {
    const std::string note = PassedOverNote(passedOver);
    throw HostFailure(FailureKind::Input, "the image folder " + folder.string() +
                                              " holds no image OpenCV can read (PNG, JPEG...)" +
                                              (note.empty() ? "" : "; " + note));
  }
  std::sort(images.begin(), images.end());
  return std::make_unique<FolderSource>(std::move(images), fallbackFps,
                                        PassedOverNote(std::move(passedOver)));
}

std::unique_ptr<FrameSource> OpenFile(const std::string& input, double fallbackFps) {
  if (fs::is_directory(input)) {
    return OpenFolder(input, fallbackFps);
  }
  if (!fs::exists(input)) {
    throw HostFailure(FailureKind::Input, "cannot open input " + input +
                                              ": no such file or folder (give a video file, an "
                                              "image folder, a camera index or a stream URL)");
  }
  // OpenCV says only that it failed: the system says why a file cannot be read at all (no
  // permission, too many open files).
  errno = 0;
  if (std::FILE* readable = std::fopen(input.c_str(), "rb")) {
    std::fclose(readable);
  } else {
    throw HostFailure(FailureKind::Input, "cannot open input " + input + ": " +
                                              (errno != 0 ? std::strerror(errno) : "not readable"));
  }
  errno = 0;
  cv::VideoCapture capture(input);
  if (!capture.isOpened()) {
    // Out of file descriptors inside the decoder looks like a file it cannot read.
    const bool outOfFiles = errno == EMFILE || errno == ENFILE;
    throw HostFailure(FailureKind::Input,
                      "cannot open input " + input + ": " +
                          (outOfFiles ? std::string(std::strerror(errno)) +
                                            " (raise the limit, ulimit -n, or run fewer --jobs)"
                                      : "not a video or image OpenCV can read"));
  }
  return std::make_unique<VideoFileSource>(std::move(capture), fallbackFps);
}

LiveInput LiveInputFor(const std::string& input) {
  if (IsCameraIndex(input)) {
    return {[index = std::stoi(input)] { return cv::VideoCapture(index); },
            "cannot open camera " + input + ": check that it is connected and not in use"};
  }
  return {
      [input] {
        return cv::VideoCapture(input, cv::CAP_FFMPEG,
                                {cv::CAP_PROP_OPEN_TIMEOUT_MSEC, kStreamTimeoutMs,
                                 cv::CAP_PROP_READ_TIMEOUT_MSEC, kStreamTimeoutMs});
      },
      "cannot open input " + input + ": the stream does not answer or its format is not supported"};
}

}  // namespace

bool IsLiveInput(const std::string& input) {
  return IsCameraIndex(input) || IsStream(input);
}

std::unique_ptr<FrameSource> OpenFrameSource(const std::string& input, double fallbackFps,
                                             const LiveOptions& live) {
  if (!IsLiveInput(input)) {
    return OpenFile(input, fallbackFps);
  }
  LiveInput liveInput = LiveInputFor(input);
  cv::VideoCapture opened;
  if (!live.reconnect) {
    opened = liveInput.open();
    if (!opened.isOpened()) {
      throw HostFailure(FailureKind::Input, liveInput.cannotOpen);
    }
  }
  return StartLiveSource(std::move(liveInput), std::move(opened), fallbackFps, live);
}

void CheckInput(const std::string& input, double fallbackFps) {
  if (!IsLiveInput(input)) {
    OpenFile(input, fallbackFps);
  }
}

}  // namespace tevhost
