// Optimal matching of rows (tracks) to columns (detections) by cost, with a cost limit:
// leaving a row or a column unmatched costs limit / 2, so a pair is matched only when that
// makes the total smaller, and never when it costs more than limit. The solution minimises
// the total cost over all matchings (Hungarian method with potentials, on the square
// problem that adds one "unmatched" partner per row and per column).
#pragma once

#include <opencv2/core.hpp>

#include <utility>
#include <vector>

namespace tevlib {

struct Assignment {
  std::vector<std::pair<int, int>> matches;  // (row, column), rows ascending
  std::vector<int> unmatchedRows;            // ascending
  std::vector<int> unmatchedColumns;         // ascending
};

// cost: one row per track, one column per detection, finite values.
Assignment AssignWithLimit(const cv::Mat_<double>& cost, double limit);

}  // namespace tevlib
