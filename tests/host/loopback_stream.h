// A camera on 127.0.0.1 for the tests of live inputs: a TCP server that sends JPEG frames
// as a multipart MJPEG stream (FFmpeg reads it as tcp://...), and that can be taken down and
// brought back on the same port.
#pragma once

#include <opencv2/core.hpp>

#include <string>
#include <vector>

namespace tevtest {

// count frames of size, for Serve.
std::vector<cv::Size> FramesOf(cv::Size size, int count);

class LoopbackStream {
 public:
  // Listens on a free port of 127.0.0.1.
  LoopbackStream();
  ~LoopbackStream();
  LoopbackStream(const LoopbackStream&) = delete;
  LoopbackStream& operator=(const LoopbackStream&) = delete;

  std::string Url() const { return "tcp://127.0.0.1:" + std::to_string(_port); }

  // Waits (at most 20 s) for a client and sends it one frame of each size, at 25 frames/s,
  // while it stays; then closes the connection, or leaves it open and silent with keepOpen.
  // False when no client came.
  bool Serve(const std::vector<cv::Size>& frames, bool keepOpen = false);
  // Stops listening: connections are refused until Listen.
  void Down();
  void Listen();

 private:
  int _port = 0;
  int _listener = -1;
  int _client = -1;
};

}  // namespace tevtest
