// The median and the 95th percentile of a list of call times.
#pragma once

#include <vector>

namespace tevhost {

struct CallTimes {
  double medianMs = 0.0;
  double percentile95Ms = 0.0;
};

// Nearest-rank percentiles; an empty list gives zeros.
CallTimes SummariseCallTimes(std::vector<double> milliseconds);

}  // namespace tevhost
