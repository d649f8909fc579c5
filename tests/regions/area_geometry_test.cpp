#include "tests/support/peer_test.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using KESTROVIA::Object;

class Geometry : public PeerTest {
 protected:
  static cv::Mat Frame(cv::Size size) { return cv::Mat(size, CV_8UC3, cv::Scalar::all(0)); }

  static Object WithBox(const cv::Rect& box) {
    Object object;
    object.box = box;
    return object;
  }
};

TEST_F(Geometry, CropSideFollowsTheLargerFrameSide) {
  const struct {
    cv::Size size;
    int side;
  } cases[] = {
      {{640, 480}, 224},   {{641, 10}, 320},    {{1280, 720}, 320},  {{10, 1281}, 480},
      {{1920, 1080}, 480}, {{1921, 1080}, 640}, {{1080, 1921}, 640}, {{200, 150}, 224},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.size);
    EXPECT_EQ(peer.CalculateOptimalCropSize(Frame(c.size)), c.side);
  }
}

TEST_F(Geometry, RefinedAreaIsTheCropSquareAroundTheDetection) {
  const struct {
    cv::Size frame;
    cv::Rect box;
    cv::Rect area;
  } cases[] = {
      {{1920, 1080}, {100, 100, 40, 40}, {0, 0, 480, 480}},
      {{1920, 1080}, {1800, 1000, 60, 60}, {1440, 600, 480, 480}},
      {{1920, 1080}, {900, 500, 100, 100}, {710, 310, 480, 480}},
      {{640, 480}, {600, 450, 30, 20}, {416, 256, 224, 224}},
      // Truncating halves: 7 / 2 = 3 and 224 / 2 = 112.
      {{640, 480}, {300, 200, 7, 7}, {191, 91, 224, 224}},
      // A box reaching past the frame's left edge.
      {{640, 480}, {-50, 100, 20, 20}, {0, 0, 224, 224}},
      {{3840, 2160}, {3830, 2150, 10, 10}, {3200, 1520, 640, 640}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.frame << " " << c.box);
    peer.RefineDetectedArea(Frame(c.frame), WithBox(c.box));
    EXPECT_EQ(peer.detectedArea(), c.area);
  }
}

TEST_F(Geometry, RefinedAreaStaysInsideFramesSmallerThanTheCropSide) {
  const struct {
    cv::Size frame;
    cv::Rect box;
    cv::Rect area;
  } cases[] = {
      // 200 x 150 is below the crop side 224 on both axes: the whole frame, from any corner.
      {{200, 150}, {0, 0, 10, 10}, {0, 0, 200, 150}},
      {{200, 150}, {190, 0, 10, 10}, {0, 0, 200, 150}},
      {{200, 150}, {0, 140, 10, 10}, {0, 0, 200, 150}},
      {{200, 150}, {190, 140, 10, 10}, {0, 0, 200, 150}},
      {{200, 150}, {95, 70, 10, 10}, {0, 0, 200, 150}},
      // Wide enough but too low: the square keeps its width and gets the frame's height.
      {{300, 150}, {290, 140, 10, 10}, {76, 0, 224, 150}},
      {{300, 150}, {0, 0, 10, 10}, {0, 0, 224, 150}},
      {{150, 300}, {140, 290, 10, 10}, {0, 76, 150, 224}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.frame << " " << c.box);
    peer.RefineDetectedArea(Frame(c.frame), WithBox(c.box));
    EXPECT_EQ(peer.detectedArea(), c.area);
    EXPECT_EQ(peer.detectedArea() & cv::Rect(cv::Point(0, 0), c.frame), peer.detectedArea());
  }
}

TEST_F(Geometry, IntersectionOverUnion) {
  const struct {
    cv::Rect a;
    cv::Rect b;
    float iou;
  } cases[] = {
      {{0, 0, 10, 10}, {0, 0, 10, 10}, 1.0f},
      {{0, 0, 10, 10}, {10, 0, 10, 10}, 0.0f},  // touching edges share no pixel
      {{0, 0, 10, 10}, {5, 0, 10, 10}, 50.0f / 150.0f},
      {{0, 0, 20, 20}, {5, 5, 10, 10}, 100.0f / 400.0f},
      {{0, 0, 10, 10}, {50, 50, 10, 10}, 0.0f},
      {{0, 0, 0, 10}, {0, 0, 10, 10}, 0.0f},
      {{0, 0, 10, 10}, {0, 0, 10, 0}, 0.0f},
      {{5, 5, -10, 10}, {0, 0, 10, 10}, 0.0f},
      {{0, 0, 0, 0}, {0, 0, 0, 0}, 0.0f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.a << " " << c.b);
    EXPECT_EQ(peer.calculateIoU(c.a, c.b), c.iou);
    EXPECT_EQ(peer.calculateIoU(c.b, c.a), c.iou);
  }
}

TEST_F(Geometry, OverlapTestsNeedAnIoUAboveTheThreshold) {
  const cv::Rect box(0, 0, 10, 10);
  const float third = peer.calculateIoU(box, {5, 0, 10, 10});
  const struct {
    std::vector<cv::Rect> others;
    float threshold;
    bool overlapping;
  } cases[] = {
      {{}, 0.0f, false},
      {{{9, 9, 10, 10}}, 0.0f, true},  // one shared pixel is enough at threshold 0
      {{{10, 0, 10, 10}}, 0.0f, false},
      {{{5, 0, 10, 10}}, third, false},  // equal to the threshold does not count
      {{{5, 0, 10, 10}}, std::nextafter(third, 0.0f), true},
      {{{50, 50, 5, 5}, {0, 0, 10, 10}}, 0.99f, true},  // any element of the list
      {{{50, 50, 5, 5}, {5, 0, 10, 10}}, 0.5f, false},
      {{{0, 0, 10, 10}}, 1.0f, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "threshold " << c.threshold << ", " << c.others.size() << " others");
    std::vector<Object> objects;
    for (const cv::Rect& other : c.others) {
      objects.push_back(WithBox(other));
    }
    EXPECT_EQ(peer.IsROIOverlapping(box, c.others, c.threshold), c.overlapping);
    EXPECT_EQ(peer.IsOverlapping(WithBox(box), c.others, c.threshold), c.overlapping);
    EXPECT_EQ(peer.IsOverlapping(WithBox(box), objects, c.threshold), c.overlapping);
  }
}

TEST_F(Geometry, ABoxIsInsideARegionByTheShareOfItsOwnArea) {
  const cv::Rect box(100, 100, 20, 20);
  const int big = std::numeric_limits<int>::max() / 2;
  const struct {
    const char* what;
    std::vector<cv::Rect> regions;
    float threshold;
    bool inside;
  } cases[] = {
      {"no region", {}, 0.001f, false},
      {"inside a whole-frame region", {{0, 0, 1920, 1080}}, 0.001f, true},
      {"half inside", {{110, 0, 500, 500}}, 0.001f, true},
      {"half inside, threshold one half", {{110, 0, 500, 500}}, 0.5f, false},
      {"touching the region's edge", {{120, 100, 50, 50}}, 0.001f, false},
      {"one shared pixel of 400", {{119, 119, 50, 50}}, 0.001f, true},
      {"one shared pixel of 400, threshold 0.01", {{119, 119, 50, 50}}, 0.01f, false},
      {"away from it", {{500, 500, 50, 50}}, 0.001f, false},
      {"the second region", {{500, 500, 50, 50}, {90, 90, 40, 40}}, 0.999f, true},
      {"a region spanning half of int", {{-big, -big, 2 * big, 2 * big}}, 0.001f, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(peer.IsInsideRegion(box, c.regions, c.threshold), c.inside);
  }
  // An empty box is inside nothing.
  EXPECT_FALSE(peer.IsInsideRegion({100, 100, 0, 20}, {{0, 0, 1920, 1080}}, 0.001f));
}

TEST_F(Geometry, DistanceToTheRectangleCentre) {
  const struct {
    cv::Point point;
    cv::Rect rectangle;
    double distance;
  } cases[] = {
      {{5, 5}, {0, 0, 11, 11}, 0.0},  // 11 / 2 truncates to 5
      {{0, 0}, {0, 0, 6, 8}, 5.0},
      {{10, 20}, {0, 0, 0, 0}, std::sqrt(500.0)},
      {{0, 0}, {0, 0, -3, -5}, std::sqrt(5.0)},  // -3 / 2 truncates towards zero to -1
      {{-100000, 0}, {100000, 0, 0, 0}, 200000.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.point << " " << c.rectangle);
    EXPECT_DOUBLE_EQ(peer.calculateDistanceToCenter(c.point, c.rectangle), c.distance);
  }
}

TEST_F(Geometry, MinimumSquareAroundDetections) {
  const struct {
    std::vector<cv::Rect> boxes;
    int minimumSide;
    cv::Rect square;
  } cases[] = {
      {{}, 64, {0, 0, 64, 64}},
      {{{100, 100, 50, 30}}, 64, {90, 80, 70, 70}},
      {{{100, 100, 50, 30}}, 100, {75, 65, 100, 100}},
      // The union of all boxes decides; not clipped, so the origin can be negative.
      {{{0, 0, 10, 10}, {90, 40, 10, 10}}, 0, {-10, -35, 120, 120}},
      {{{0, 0, 10, 10}}, 64, {-27, -27, 64, 64}},
      {{{0, 0, 5, 3}}, 0, {-10, -11, 25, 25}},
      {{{7, 7, 1, 1}}, 10, {-3, -3, 21, 21}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.boxes.size() << " boxes, minimum " << c.minimumSide);
    std::vector<Object> objects;
    for (const cv::Rect& box : c.boxes) {
      objects.push_back(WithBox(box));
    }
    EXPECT_EQ(peer.GenerateMinimumSquareBoundingBox(objects, c.minimumSide), c.square);
  }
}

}  // namespace
