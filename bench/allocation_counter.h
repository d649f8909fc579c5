// Counts the process's heap allocations while counting is on: every global operator new
// (the standard containers, OpenCV's AutoBuffer) and every cv::Mat buffer (OpenCV takes
// those from its own allocator, not from operator new). Linked into one benchmark
// program only, since it replaces the global operator new.
#pragma once

#include <cstddef>

namespace tevbench {

struct AllocationTally {
  std::size_t allocations = 0;  // all of them
  std::size_t atLeast = 0;      // of at least the threshold's bytes
  std::size_t largest = 0;      // bytes of the largest
};

// Adds up the tallies of several stretches; largest is the largest of all.
inline AllocationTally& operator+=(AllocationTally& sum, const AllocationTally& more) {
  sum.allocations += more.allocations;
  sum.atLeast += more.atLeast;
  sum.largest = sum.largest > more.largest ? sum.largest : more.largest;
  return sum;
}

// Starts a fresh tally; allocations of threshold bytes or more are counted apart.
void StartCountingAllocations(std::size_t threshold);
AllocationTally StopCountingAllocations();

}  // namespace tevbench
