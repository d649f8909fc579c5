#include "platform/host/call_times.h"

#include <algorithm>
#include <cmath>

namespace tevhost {
namespace {

// The smallest value that at least share of the sorted values do not exceed.
double NearestRank(const std::vector<double>& sorted, double share) {
  const auto rank = static_cast<std::size_t>(std::ceil(share * sorted.size()));
  return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

}  // namespace

CallTimes SummariseCallTimes(std::vector<double> milliseconds) {
  if (milliseconds.empty()) {
    return {};
  }
  std::sort(milliseconds.begin(), milliseconds.end());
  return {NearestRank(milliseconds, 0.5), NearestRank(milliseconds, 0.95)};
}

double NearestRankPercentile(std::vector<double> values, double share) {
  if (values.empty()) {
    return 0.0;
  }
  std::sort(values.begin(), values.end());
  return NearestRank(values, share);
}

}  // namespace tevhost
