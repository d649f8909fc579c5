// The median and the 95th percentile of a list of call times, and nearest-rank percentiles
// of any list of values.
#pragma once

#include <vector>

namespace tevhost {

struct CallTimes {
  double medianMs = 0.0;
  double percentile95Ms = 0.0;
};

// Nearest-rank percentiles; an empty list gives zeros.
CallTimes SummariseCallTimes(std::vector<double> milliseconds);

// The smallest value that at least share (0 to 1) of the values do not exceed; 0 for an
// empty list.
double NearestRankPercentile(std::vector<double> values, double share);

}  // namespace tevhost
