// A progress line on standard error while the inputs run, when it is a terminal: frames so
// far, frames per second, alarms so far. Rewritten in place twice a second and cleared at
// the end.
#pragma once

#include "platform/host/input_run.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tevhost {

class ProgressLine {
 public:
  // The jobs must outlive the line.
  explicit ProgressLine(const std::vector<std::unique_ptr<InputJob>>& jobs);
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

 private:
  void Run();
  void Print() const;

  const std::vector<std::unique_ptr<InputJob>>& _jobs;
  const std::chrono::steady_clock::time_point _start = std::chrono::steady_clock::now();
  std::mutex _mutex;
  std::condition_variable _wake;
  bool _done = false;
  std::thread _thread;
};

}  // namespace tevhost
