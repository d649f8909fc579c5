// The annotated video of one input: frames with their reports drawn on, written as MJPG
// in .avi or MPEG-4 in .mp4. Opened on the first frame, at its size; later frames of another
// size are scaled to it.
#pragma once

#include <opencv2/core.hpp>
#include <opencv2/videoio.hpp>

#include <string>

namespace tevhost {

// Whether the file name's extension names a format the annotated video can be written in.
bool IsAnnotatedVideoName(const std::string& path);

class AnnotatedVideo {
 public:
  AnnotatedVideo(std::string path, double fps) : _path(std::move(path)), _fps(fps) {}

  // Appends an annotated frame. Returns false when the file cannot be opened; nothing more
  // is written then.
  bool Write(const cv::Mat& annotated);

  // Finishes the file (its index is written now) and reads it back, since OpenCV does not
  // report failed writes: empty when it holds every frame written, else why not.
  std::string Close();

  const std::string& Path() const { return _path; }
  long Frames() const { return _frames; }

 private:
  std::string _path;
  double _fps;
  cv::VideoWriter _writer;
  cv::Size _size;
  bool _failed = false;
  long _frames = 0;
};

}  // namespace tevhost
