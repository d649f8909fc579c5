#include "platform/tevlib/tracking/linear_assignment.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tevlib {
namespace {

// Minimum-cost perfect matching on a square matrix; returns the column of each row.
// Shortest augmenting paths with row and column potentials, O(n^3).
std::vector<int> SolveSquare(const cv::Mat_<double>& cost) {
  const int n = cost.rows;
  const double infinity = std::numeric_limits<double>::infinity();
  // 1-based, index 0 is the virtual start of each augmenting path.
  std::vector<double> rowPotential(n + 1, 0.0);
  std::vector<double> columnPotential(n + 1, 0.0);
  std::vector<int> rowOfColumn(n + 1, 0);
  std::vector<int> previousColumn(n + 1, 0);
  std::vector<double> slack(n + 1);
  std::vector<char> used(n + 1);
  for (int row = 1; row <= n; ++row) {
    rowOfColumn[0] = row;
    int column = 0;
    std::fill(slack.begin(), slack.end(), infinity);
    std::fill(used.begin(), used.end(), 0);
    do {
      used[column] = 1;
      const int currentRow = rowOfColumn[column];
      double delta = infinity;
      int nextColumn = 0;
      for (int j = 1; j <= n; ++j) {
        if (used[j]) {
          continue;
        }
        const double reduced =
            cost(currentRow - 1, j - 1) - rowPotential[currentRow] - columnPotential[j];
        if (reduced < slack[j]) {
          slack[j] = reduced;
          previousColumn[j] = column;
        }
        if (slack[j] < delta) {
          delta = slack[j];
          nextColumn = j;
        }
      }
      for (int j = 0; j <= n; ++j) {
        if (used[j]) {
          rowPotential[rowOfColumn[j]] += delta;
          columnPotential[j] -= delta;
        } else {
          slack[j] -= delta;
        }
      }
      column = nextColumn;
    } while (rowOfColumn[column] != 0);
    do {
      const int previous = previousColumn[column];
      rowOfColumn[column] = rowOfColumn[previous];
      column = previous;
    } while (column != 0);
  }
  std::vector<int> columnOfRow(n, -1);
  for (int j = 1; j <= n; ++j) {
    columnOfRow[rowOfColumn[j] - 1] = j - 1;
  }
  return columnOfRow;
}

}  // namespace

Assignment AssignWithLimit(const cv::Mat_<double>& cost, double limit) {
  // Only rows and columns with a pair within the limit can be matched; the rest are left out
  // of the square problem (tracks far from every detection, as lost ones mostly are).
  std::vector<int> rows;
  std::vector<bool> columnInPlay(cost.cols, false);
  for (int r = 0; r < cost.rows; ++r) {
    bool inPlay = false;
    for (int c = 0; c < cost.cols; ++c) {
      if (cost(r, c) <= limit) {
        inPlay = true;
        columnInPlay[c] = true;
      }
    }
    if (inPlay) {
      rows.push_back(r);
    }
  }
  std::vector<int> columns;
  for (int c = 0; c < cost.cols; ++c) {
    if (columnInPlay[c]) {
      columns.push_back(c);
    }
  }

  // Square problem: rows, then one "unmatched" partner per column; columns, then one per row.
  // Forbidden cells cost more than leaving everything unmatched, so no optimum uses them.
  const int rowCount = static_cast<int>(rows.size());
  const int columnCount = static_cast<int>(columns.size());
  const int size = rowCount + columnCount;
  const double forbidden = (std::abs(limit) + 1.0) * size + 1.0;
  cv::Mat_<double> square(size, size, forbidden);
  for (int r = 0; r < rowCount; ++r) {
    for (int c = 0; c < columnCount; ++c) {
      const double pair = cost(rows[r], columns[c]);
      if (pair <= limit) {
        square(r, c) = pair;
      }
    }
    square(r, columnCount + r) = limit / 2;
  }
  for (int c = 0; c < columnCount; ++c) {
    square(rowCount + c, c) = limit / 2;
    for (int r = 0; r < rowCount; ++r) {
      square(rowCount + c, columnCount + r) = 0.0;
    }
  }

  std::vector<int> columnOfRow(cost.rows, -1);
  const std::vector<int> solution = size > 0 ? SolveSquare(square) : std::vector<int>();
  for (int r = 0; r < rowCount; ++r) {
    if (solution[r] < columnCount) {
      columnOfRow[rows[r]] = columns[solution[r]];
    }
  }

  Assignment result;
  std::vector<bool> columnMatched(cost.cols, false);
  for (int r = 0; r < cost.rows; ++r) {
    if (columnOfRow[r] >= 0) {
      result.matches.emplace_back(r, columnOfRow[r]);
      columnMatched[columnOfRow[r]] = true;
    } else {
      result.unmatchedRows.push_back(r);
    }
  }
  for (int c = 0; c < cost.cols; ++c) {
    if (!columnMatched[c]) {
      result.unmatchedColumns.push_back(c);
    }
  }
  return result;
}

}  // namespace tevlib
