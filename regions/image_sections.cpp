// Scan tiles of the frame and their search order.
//
// divideImage cuts a frame into 1 to 12 tiles (more for larger frames), orders them by the
// distance of their centres from the frame centre and numbers them 1..n in that order. The
// list is kept in _cachedSections and rebuilt only when the frame size changes.
// UpdatePriorityRegion advances _currentPriority by one per search frame and, at the start
// of every cycle, has the tiles re-ranked by warm colour. The get* members only read the list.
// Changes: _cachedSections, _cachedImageSize, _currentPriority.
#include "detector/TEVCustomFS.h"

#include <algorithm>
#include <cmath>
#include <iostream>

namespace {

struct TileGrid {
  int rows;
  int columns;
};

// Larger frames get more tiles so that each tile stays close to the detector's input size.
TileGrid GridForLargerSide(int largerSide) {
  int target = 10;
  if (largerSide <= 480) {
    target = 1;
  } else if (largerSide <= 960) {
    target = 2;
  } else if (largerSide <= 1280) {
    target = 4;
  } else if (largerSide <= 1920) {
    target = 6;
  } else if (largerSide <= 2560) {
    target = 8;
  }
  const int rows = static_cast<int>(std::sqrt(static_cast<double>(target)));
  return {rows, (target + rows - 1) / rows};
}

// Distances of grid tiles are either equal or differ by far more than this.
constexpr double kDistanceTolerance = 1e-5;

}  // namespace

const std::vector<TEVCustomFS::ImageSection>& TEVCustomFS::divideImage(const cv::Mat& frame) {
  if (frame.empty()) {
    std::cerr << "Error: Empty image!" << std::endl;
    return _cachedSections;
  }
  const cv::Size size(frame.cols, frame.rows);
  if (size == _cachedImageSize) {
    return _cachedSections;
  }
  _cachedImageSize = size;
  _cachedSections.clear();

  const int width = size.width;
  const int height = size.height;
  const TileGrid grid = GridForLargerSide(std::max(width, height));
  const int tileWidth = width / grid.columns;
  const int tileHeight = height / grid.rows;
  const cv::Point centre(width / 2, height / 2);

  struct Tile {
    cv::Rect region;
    double distance;
  };
  std::vector<Tile> tiles;
  tiles.reserve(static_cast<std::size_t>(grid.rows * grid.columns));
  for (int r = 0; r < grid.rows; ++r) {
    for (int c = 0; c < grid.columns; ++c) {
      // The last column and row absorb the remainders, so the tiles cover the frame exactly.
      const cv::Rect region(
          c * tileWidth, r * tileHeight,
          c == grid.columns - 1 ? width - (grid.columns - 1) * tileWidth : tileWidth,
          r == grid.rows - 1 ? height - (grid.rows - 1) * tileHeight : tileHeight);
      tiles.push_back({region, calculateDistanceToCenter(centre, region)});
    }
  }

  // Nearest to the centre first; equal distances top to bottom, then left to right. The
  // tiles are generated in that tie order already, so a stable sort gives the same order as
  // any sort would, and it stays well-behaved even if the tolerance made the comparison
  // inconsistent.
  std::stable_sort(tiles.begin(), tiles.end(), [](const Tile& a, const Tile& b) {
    if (std::abs(a.distance - b.distance) > kDistanceTolerance) {
      return a.distance < b.distance;
    }
    if (a.region.y != b.region.y) {
      return a.region.y < b.region.y;
    }
    return a.region.x < b.region.x;
  });

  int priority = 1;
  for (const Tile& tile : tiles) {
    _cachedSections.push_back({tile.region, priority++});
  }
  return _cachedSections;
}

void TEVCustomFS::UpdatePriorityRegion(const cv::Mat& frame) {
  divideImage(frame);
  const int sectionCount = getLowestPriorityRegion();
  if (sectionCount == 0) {
    _currentPriority = 0;
    return;
  }
  if (_currentPriority != 0 && _currentPriority < sectionCount) {
    ++_currentPriority;
    return;
  }
  // A new cycle: search first where the frame at hand shows the most warm colour.
  RankCachedSectionsByWarmColor(frame);
  _currentPriority = getHighestPriorityRegion();
}

cv::Rect TEVCustomFS::getRegionByPriority(int priority) const {
  const auto found = std::find_if(
      _cachedSections.begin(), _cachedSections.end(),
      [priority](const ImageSection& section) { return section.priority == priority; });
  return found == _cachedSections.end() ? cv::Rect(0, 0, 0, 0) : found->region;
}

int TEVCustomFS::getHighestPriorityRegion() const {
  return _cachedSections.empty() ? 0 : 1;
}

int TEVCustomFS::getLowestPriorityRegion() const {
  return static_cast<int>(_cachedSections.size());
}
