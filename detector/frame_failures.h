// Frames RunInference could not process, made visible: a failing model would otherwise
// give a run without alarms and without a word. Each failure is counted; the error stream
// gets one line at the first failure, then at most one a minute while failures go on, and
// one when the models are destroyed if failures came after the last line. Every line ends
// with the total, "<N> frame(s) failed so far", which hosts may read.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

class FrameFailures {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::seconds kLineInterval{60};

  // One frame failed with the exception's text.
  void Failed(const std::string& what, Clock::time_point now = Clock::now());
  // The models go: report failures not yet reported.
  void Close();

  std::uint64_t Count() const { return _count; }

 private:
  void WriteLine(const char* operation, const std::string& text);

  std::uint64_t _count = 0;
  std::uint64_t _countAtLastLine = 0;
  std::optional<Clock::time_point> _lastLine;
  std::string _lastWhat;
};
