#include "platform/host/progress_line.h"

#include <cstdio>

#if defined(_WIN32)
#include <io.h>
#define TEV_IS_TERMINAL(file) _isatty(_fileno(file))
#else
#include <unistd.h>
#define TEV_IS_TERMINAL(file) isatty(fileno(file))
#endif

namespace tevhost {

ProgressLine::ProgressLine(const std::vector<std::unique_ptr<InputJob>>& jobs) : _jobs(jobs) {
  if (TEV_IS_TERMINAL(stderr)) {
    _thread = std::thread(&ProgressLine::Run, this);
  }
}

ProgressLine::~ProgressLine() {
  if (!_thread.joinable()) {
    return;
  }
  {
    std::lock_guard<std::mutex> lock(_mutex);
    _done = true;
  }
  _wake.notify_one();
  _thread.join();
  std::fprintf(stderr, "\r\033[K");
}

void ProgressLine::Run() {
  std::unique_lock<std::mutex> lock(_mutex);
  while (!_wake.wait_for(lock, std::chrono::milliseconds(500), [this] { return _done; })) {
    Print();
  }
}

void ProgressLine::Print() const {
  long frames = 0;
  int alarms = 0;
  for (const auto& job : _jobs) {
    frames += job->framesDone;
    alarms += job->alarmsStarted;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - _start).count();
  std::fprintf(stderr, "\r\033[Ktev-host: %ld frames, %.1f frames/s, %d alarm%s", frames,
               seconds > 0 ? frames / seconds : 0.0, alarms, alarms == 1 ? "" : "s");
  std::fflush(stderr);
}

}  // namespace tevhost
