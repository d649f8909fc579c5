// Global operator new and a cv::MatAllocator that count while counting is on.
#include "bench/allocation_counter.h"

#include <opencv2/core.hpp>

#include <atomic>
#include <cstdlib>
#include <new>

namespace tevbench {
namespace {

std::atomic<bool> counting{false};
std::atomic<std::size_t> threshold{0};
std::atomic<std::size_t> allocations{0};
std::atomic<std::size_t> atLeast{0};
std::atomic<std::size_t> largest{0};

void Count(std::size_t bytes) {
  if (!counting.load(std::memory_order_relaxed)) {
    return;
  }
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (bytes >= threshold.load(std::memory_order_relaxed)) {
    atLeast.fetch_add(1, std::memory_order_relaxed);
  }
  std::size_t seen = largest.load(std::memory_order_relaxed);
  while (bytes > seen && !largest.compare_exchange_weak(seen, bytes)) {
  }
}

// Hands every request to OpenCV's own allocator and counts the new buffers.
class CountingMatAllocator : public cv::MatAllocator {
 public:
  cv::UMatData* allocate(int dims, const int* sizes, int type, void* data, std::size_t* step,
                         cv::AccessFlag flags, cv::UMatUsageFlags usage) const override {
    cv::UMatData* allocated = Standard()->allocate(dims, sizes, type, data, step, flags, usage);
    if (data == nullptr && allocated != nullptr) {
      Count(allocated->size);
    }
    return allocated;
  }
  bool allocate(cv::UMatData* data, cv::AccessFlag flags, cv::UMatUsageFlags usage) const override {
    return Standard()->allocate(data, flags, usage);
  }
  void deallocate(cv::UMatData* data) const override { Standard()->deallocate(data); }

 private:
  static cv::MatAllocator* Standard() { return cv::Mat::getStdAllocator(); }
};

CountingMatAllocator matAllocator;

}  // namespace

void StartCountingAllocations(std::size_t bytes) {
  threshold = bytes;
  allocations = 0;
  atLeast = 0;
  largest = 0;
  cv::Mat::setDefaultAllocator(&matAllocator);
  counting = true;
}

AllocationTally StopCountingAllocations() {
  counting = false;
  cv::Mat::setDefaultAllocator(cv::Mat::getStdAllocator());
  return {allocations.load(), atLeast.load(), largest.load()};
}

}  // namespace tevbench

void* operator new(std::size_t bytes) {
  tevbench::Count(bytes);
  if (void* memory = std::malloc(bytes == 0 ? 1 : bytes)) {
    return memory;
  }
  throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
  std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}
