#include "tests/host/loopback_stream.h"

#include <opencv2/imgcodecs.hpp>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <thread>
#include <vector>

namespace tevtest {
namespace {

void CloseIfOpen(int& fd) {
  if (fd >= 0) {
    close(fd);
    fd = -1;
  }
}

bool SendAll(int fd, const std::vector<uchar>& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t written = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (written <= 0) {
      return false;
    }
    sent += static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

std::vector<cv::Size> FramesOf(cv::Size size, int count) {
  return std::vector<cv::Size>(static_cast<std::size_t>(count), size);
}

LoopbackStream::LoopbackStream() {
  Listen();
}

LoopbackStream::~LoopbackStream() {
  CloseIfOpen(_client);
  CloseIfOpen(_listener);
}

void LoopbackStream::Listen() {
  // Not inherited by tev-host, which would go on listening after Down.
  _listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int yes = 1;
  setsockopt(_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(_port));
  socklen_t length = sizeof address;
  if (bind(_listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      listen(_listener, 4) != 0 ||
      getsockname(_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  _port = ntohs(address.sin_port);
}

void LoopbackStream::Down() {
  CloseIfOpen(_client);
  CloseIfOpen(_listener);
}

bool LoopbackStream::Serve(const std::vector<cv::Size>& frames, bool keepOpen) {
  CloseIfOpen(_client);
  pollfd waiting{_listener, POLLIN, 0};
  if (poll(&waiting, 1, 20000) != 1) {
    return false;
  }
  _client = accept4(_listener, nullptr, nullptr, SOCK_CLOEXEC);
  if (_client < 0) {
    return false;
  }
  for (std::size_t index = 0; index < frames.size(); ++index) {
    // Frames that differ, as a camera's do.
    const cv::Mat frame(frames[index], CV_8UC3, cv::Scalar(40.0 + index % 100, 60, 80));
    std::vector<uchar> jpeg;
    cv::imencode(".jpg", frame, jpeg);
    // Each JPEG a part of a multipart stream, as MJPEG cameras send them: FFmpeg opens it at
    // its first part, where bare JPEGs one after another keep it probing for seconds.
    const std::string header =
        "--frame\r\nContent-Type: image/jpeg\r\nContent-Length: " + std::to_string(jpeg.size()) +
        "\r\n\r\n";
    jpeg.insert(jpeg.begin(), header.begin(), header.end());
    jpeg.push_back('\r');
    jpeg.push_back('\n');
    if (!SendAll(_client, jpeg)) {
      break;  // the client left
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
  }
  if (!keepOpen) {
    CloseIfOpen(_client);
  }
  return true;
}

}  // namespace tevtest
