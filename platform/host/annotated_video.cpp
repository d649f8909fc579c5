#include "platform/host/annotated_video.h"

#include <opencv2/imgproc.hpp>

#include <filesystem>

namespace tevhost {
namespace {

int FourccFor(const std::string& path) {
  const std::string extension = std::filesystem::path(path).extension().string();
  if (extension == ".avi") {
    return cv::VideoWriter::fourcc('M', 'J', 'P', 'G');
  }
  if (extension == ".mp4") {
    return cv::VideoWriter::fourcc('m', 'p', '4', 'v');
  }
  return 0;
}

}  // namespace

bool IsAnnotatedVideoName(const std::string& path) {
  return FourccFor(path) != 0;
}

bool AnnotatedVideo::Write(const cv::Mat& annotated) {
  if (_failed) {
    return false;
  }
  if (!_writer.isOpened()) {
    _size = annotated.size();
    _failed = !_writer.open(_path, FourccFor(_path), _fps, _size);
    if (_failed) {
      return false;
    }
  }
  // A stream that changes its frame size goes on at the size the file was started with.
  if (annotated.size() != _size) {
    cv::Mat resized;
    cv::resize(annotated, resized, _size, 0.0, 0.0, cv::INTER_AREA);
    _writer.write(resized);
  } else {
    _writer.write(annotated);
  }
  ++_frames;
  return true;
}

std::string AnnotatedVideo::Close() {
  if (!_writer.isOpened()) {
    return _failed ? "it cannot be opened for writing" : "";
  }
  _writer.release();
  cv::VideoCapture check(_path);
  const long readable =
      check.isOpened() ? static_cast<long>(check.get(cv::CAP_PROP_FRAME_COUNT)) : 0;
  if (readable == _frames) {
    return "";
  }
  return "it holds " + std::to_string(readable) + " of the " + std::to_string(_frames) +
         " frames written (is the disk full?)";
}

}  // namespace tevhost
