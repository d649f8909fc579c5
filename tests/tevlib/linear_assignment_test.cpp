#include "platform/tevlib/tracking/linear_assignment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>

namespace {

using tevlib::Assignment;
using tevlib::AssignWithLimit;

// Total cost of an assignment: matched pairs plus limit / 2 for each row or column left over.
double TotalCost(const cv::Mat_<double>& cost, const Assignment& assignment, double limit) {
  double total = 0;
  for (const auto& [r, c] : assignment.matches) {
    total += cost(r, c);
  }
  return total + (assignment.unmatchedRows.size() + assignment.unmatchedColumns.size()) * limit / 2;
}

// The lowest total over every partial matching that uses no pair above limit.
double BruteForceCost(const cv::Mat_<double>& cost, double limit) {
  std::vector<bool> used(cost.cols, false);
  std::function<double(int)> best = [&](int row) -> double {
    if (row == cost.rows) {
      return std::count(used.begin(), used.end(), false) * limit / 2;
    }
    double lowest = limit / 2 + best(row + 1);
    for (int c = 0; c < cost.cols; ++c) {
      if (!used[c] && cost(row, c) <= limit) {
        used[c] = true;
        lowest = std::min(lowest, cost(row, c) + best(row + 1));
        used[c] = false;
      }
    }
    return lowest;
  };
  return best(0);
}

TEST(LinearAssignment, FindsTheOptimumWhereGreedyChoiceFails) {
  // Greedy takes (0, 0) first and must then pay 0.9 for row 1.
  const cv::Mat_<double> cost = (cv::Mat_<double>(2, 2) << 0.1, 0.2, 0.15, 0.9);
  const Assignment assignment = AssignWithLimit(cost, 1.0);
  const std::vector<std::pair<int, int>> expected = {{0, 1}, {1, 0}};
  EXPECT_EQ(assignment.matches, expected);
  EXPECT_TRUE(assignment.unmatchedRows.empty());
  EXPECT_TRUE(assignment.unmatchedColumns.empty());
}

TEST(LinearAssignment, LeavesPairsAboveTheLimitUnmatched) {
  const cv::Mat_<double> cost = (cv::Mat_<double>(2, 3) << 0.3, 0.9, 0.95,  //
                                 0.85, 0.9, 0.81);
  const Assignment assignment = AssignWithLimit(cost, 0.8);
  const std::vector<std::pair<int, int>> expected = {{0, 0}};
  EXPECT_EQ(assignment.matches, expected);
  EXPECT_EQ(assignment.unmatchedRows, std::vector<int>{1});
  EXPECT_EQ(assignment.unmatchedColumns, (std::vector<int>{1, 2}));
}

TEST(LinearAssignment, EmptySidesLeaveEverythingUnmatched) {
  const Assignment noColumns = AssignWithLimit(cv::Mat_<double>(3, 0), 0.8);
  EXPECT_TRUE(noColumns.matches.empty());
  EXPECT_EQ(noColumns.unmatchedRows, (std::vector<int>{0, 1, 2}));

  const Assignment noRows = AssignWithLimit(cv::Mat_<double>(0, 2), 0.8);
  EXPECT_TRUE(noRows.matches.empty());
  EXPECT_EQ(noRows.unmatchedColumns, (std::vector<int>{0, 1}));
}

TEST(LinearAssignment, MatchesTheBruteForceOptimumOnRandomMatrices) {
  cv::RNG rng(20240601);
  for (int trial = 0; trial < 300; ++trial) {
    const int rows = rng.uniform(1, 6);
    const int columns = rng.uniform(1, 6);
    cv::Mat_<double> cost(rows, columns);
    rng.fill(cost, cv::RNG::UNIFORM, 0.0, 1.0);
    const double limit = rng.uniform(0.2, 1.0);
    SCOPED_TRACE(testing::Message() << "trial " << trial << " limit " << limit << "\n" << cost);

    const Assignment assignment = AssignWithLimit(cost, limit);
    EXPECT_NEAR(TotalCost(cost, assignment, limit), BruteForceCost(cost, limit), 1e-9);
    EXPECT_EQ(assignment.matches.size() + assignment.unmatchedRows.size(),
              static_cast<std::size_t>(rows));
    EXPECT_EQ(assignment.matches.size() + assignment.unmatchedColumns.size(),
              static_cast<std::size_t>(columns));
    for (const auto& [r, c] : assignment.matches) {
      EXPECT_LE(cost(r, c), limit);
    }
  }
}

}  // namespace
