// Runs work over the indices 0..count-1 on up to `threads` worker threads; each index once,
// taken in order as the workers come free. Returns when all are done.
#pragma once

#include <cstddef>
#include <functional>

namespace tevhost {

void ForEachInParallel(std::size_t count, int threads,
                       const std::function<void(std::size_t)>& work);

}  // namespace tevhost
