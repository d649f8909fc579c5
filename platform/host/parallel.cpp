#include "platform/host/parallel.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace tevhost {

void ForEachInParallel(std::size_t count, int threads,
                       const std::function<void(std::size_t)>& work) {
  std::atomic<std::size_t> next{0};
  const auto worker = [&] {
    for (std::size_t index = next++; index < count; index = next++) {
      work(index);
    }
  };
  std::vector<std::thread> workers;
  const std::size_t workerCount = std::min<std::size_t>(std::max(threads, 1), count);
  for (std::size_t started = 0; started < workerCount; ++started) {
    workers.emplace_back(worker);
  }
  for (std::thread& running : workers) {
    running.join();
  }
}

}  // namespace tevhost
