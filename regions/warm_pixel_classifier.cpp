// Warm colour of 8-bit BGR pixels without converting the frame.
//
// Input: 8-bit BGR pixels: a run of them, or a CV_8UC3 frame with areas inside it.
// Output: 255 (warm) or 0 per pixel, or the number of warm pixels in each area (0 for an
// empty one). A pixel is warm when cv::cvtColor with COLOR_BGR2HSV followed by the
// ranking's two cv::inRange tests (H 0..30 or 160..180, S 100..255, V 150..255) would mark
// it: the decision reproduces OpenCV's 8-bit integer arithmetic exactly, and the tests
// compare it with that sequence over every colour. Changes nothing but the output, and
// allocates nothing but the list of counts.
//
// OpenCV's 8-bit conversion, with v = max(B, G, R) and d = v - min(B, G, R):
//   S = (d * round(255 * 4096 / v) + 2048) >> 12
//   H = (n * round(180 * 4096 / (6 * d)) + 2048) >> 12, plus 180 if negative, where
//   n = G - B if R is the maximum, else B - R + 2d if G is, else R - G + 4d.
// Blue-maximum hues lie in 90..150 and are never warm.
#include "detector/TEVCustomFS.h"
#include "regions/simd_compat.h"

#include <opencv2/core/hal/intrin.hpp>

#include <algorithm>
#include <vector>

namespace {

using namespace tevsimd;
using cv::v_float32x4;
using cv::v_int16x8;
using cv::v_int32x4;
using cv::v_uint16x8;
using cv::v_uint32x4;
using cv::v_uint8x16;

constexpr int kLanes = 16;  // pixels per vector step

// S >= 100 for V >= 150. There OpenCV's rounded table gives exactly 510 d >= 199 v, written
// as 255 d >= ceil(199 v / 2) to stay within 16 bits.
v_uint16x8 SaturationAtLeast100(const v_uint16x8& v, const v_uint16x8& d) {
  return v_reinterpret_as_u16(
      v_ge(v_mul(d, cv::v_setall_u16(255)),
           cv::v_shr<1>(v_add(v_mul(v, cv::v_setall_u16(199)), cv::v_setall_u16(1)))));
}

// The hue numerator, signed 16 bits: -n = B - G where R is the maximum, so that both hue
// tests below are upper bounds, and n = B - R + 2d where G is.
v_int16x8 HueNumerator(const v_uint16x8& b, const v_uint16x8& g, const v_uint16x8& r,
                       const v_uint16x8& d, const v_uint16x8& redMax) {
  const v_int16x8 red = v_ne(v_reinterpret_as_s16(redMax), cv::v_setzero_s16());
  return v_select(red, v_sub(v_reinterpret_as_s16(b), v_reinterpret_as_s16(g)),
                  v_add(v_sub(v_reinterpret_as_s16(b), v_reinterpret_as_s16(r)),
                        v_reinterpret_as_s16(v_add(d, d))));
}

// Warm hue of four lanes. With R the maximum the hue is warm when it is >= -20 before
// negative hues wrap to 160..179, i.e. (B - G) * div <= 83968; with G the maximum when it
// is <= 30, i.e. (B - R + 2d) * div <= 124927. div = round(122880 / d) comes out exactly
// from a float division, since 122880 / d is never within 0.001 of a half, and the
// products are exact in float: below 2^24 where d >= 59 (smaller d are already cold).
v_uint32x4 HueWarm(const v_int32x4& n, const v_uint32x4& d, const v_uint32x4& redMax) {
  const v_float32x4 dividend = cv::v_setall_f32(122880.0f);
  const v_float32x4 divisor = v_max(v_cvt_f32(v_reinterpret_as_s32(d)), cv::v_setall_f32(1.0f));
  const v_float32x4 div = v_cvt_f32(v_round(v_div(dividend, divisor)));
  const v_float32x4 limit = v_select(v_reinterpret_as_f32(v_ne(redMax, cv::v_setzero_u32())),
                                     cv::v_setall_f32(83968.0f), cv::v_setall_f32(124927.0f));
  return v_reinterpret_as_u32(v_le(v_mul(v_cvt_f32(n), div), limit));
}

v_uint8x16 HueWarm(const v_int16x8& nLow, const v_int16x8& nHigh, const v_uint16x8& dLow,
                   const v_uint16x8& dHigh, const v_uint16x8& redLow, const v_uint16x8& redHigh) {
  v_int32x4 n[4];
  v_uint32x4 d[4];
  v_uint32x4 red[4];
  v_expand(nLow, n[0], n[1]);
  v_expand(nHigh, n[2], n[3]);
  v_expand(dLow, d[0], d[1]);
  v_expand(dHigh, d[2], d[3]);
  v_expand(redLow, red[0], red[1]);
  v_expand(redHigh, red[2], red[3]);
  return v_pack_b(HueWarm(n[0], d[0], red[0]), HueWarm(n[1], d[1], red[1]),
                  HueWarm(n[2], d[2], red[2]), HueWarm(n[3], d[3], red[3]));
}

// Warm lanes (0xFF) of 16 consecutive BGR pixels.
v_uint8x16 WarmLanes(const std::uint8_t* bgr) {
  v_uint8x16 b;
  v_uint8x16 g;
  v_uint8x16 r;
  cv::v_load_deinterleave(bgr, b, g, r);
  const v_uint8x16 v = v_max(b, v_max(g, r));
  const v_uint8x16 d = v_sub(v, v_min(b, v_min(g, r)));
  const v_uint8x16 redMax = v_eq(r, v);  // R wins ties, as in OpenCV
  const v_uint8x16 greenMax = v_and(v_eq(g, v), v_not(redMax));

  // Necessary conditions, cheap in 8 bits: V >= 150, and S >= 100 needs d >= 59 there.
  // Most pixels of a frame stop here.
  v_uint8x16 warm = v_and(v_and(v_ge(v, cv::v_setall_u8(150)), v_ge(d, cv::v_setall_u8(59))),
                          v_or(redMax, greenMax));
  if (!v_check_any(warm)) {
    return warm;
  }

  v_uint16x8 vLow, vHigh, dLow, dHigh;
  v_expand(v, vLow, vHigh);
  v_expand(d, dLow, dHigh);
  warm = v_and(warm, v_pack(SaturationAtLeast100(vLow, dLow), SaturationAtLeast100(vHigh, dHigh)));
  if (!v_check_any(warm)) {
    return warm;
  }

  v_uint16x8 bLow, bHigh, gLow, gHigh, rLow, rHigh, redLow, redHigh;
  v_expand(b, bLow, bHigh);
  v_expand(g, gLow, gHigh);
  v_expand(r, rLow, rHigh);
  v_expand(redMax, redLow, redHigh);
  return v_and(warm, HueWarm(HueNumerator(bLow, gLow, rLow, dLow, redLow),
                             HueNumerator(bHigh, gHigh, rHigh, dHigh, redHigh), dLow, dHigh, redLow,
                             redHigh));
}

// 255 or 0 for each of `pixels` BGR pixels.
void ClassifyRun(const std::uint8_t* bgr, int pixels, std::uint8_t* warm) {
  int done = 0;
  for (; done + kLanes <= pixels; done += kLanes) {
    cv::v_store(warm + done, WarmLanes(bgr + 3 * done));
  }
  if (done < pixels) {
    // The last few pixels go through the same lanes, padded with black.
    std::uint8_t padded[3 * kLanes] = {};
    std::uint8_t lanes[kLanes];
    std::copy(bgr + 3 * done, bgr + 3 * pixels, padded);
    cv::v_store(lanes, WarmLanes(padded));
    std::copy(lanes, lanes + (pixels - done), warm + done);
  }
}

// The number of warm pixels among `pixels` BGR pixels.
int CountRun(const std::uint8_t* bgr, int pixels) {
  const int tail = pixels % kLanes;
  // An 8-bit lane counter holds 255 steps before it must be flushed into the total.
  constexpr int kStepsPerFlush = 255;
  int count = 0;
  v_uint8x16 lanes = cv::v_setzero_u8();
  int steps = 0;
  for (int done = 0; done < pixels - tail; done += kLanes) {
    // A warm lane is 0xFF, i.e. -1: subtracting it counts one.
    lanes = cv::v_sub_wrap(lanes, WarmLanes(bgr + 3 * done));
    if (++steps == kStepsPerFlush) {
      count += static_cast<int>(cv::v_reduce_sum(lanes));
      lanes = cv::v_setzero_u8();
      steps = 0;
    }
  }
  count += static_cast<int>(cv::v_reduce_sum(lanes));
  if (tail > 0) {
    std::uint8_t warm[kLanes];
    ClassifyRun(bgr + 3 * (pixels - tail), tail, warm);
    count += static_cast<int>(std::count(warm, warm + tail, std::uint8_t{255}));
  }
  return count;
}

}  // namespace

void TEVCustomFS::ClassifyWarmPixels(const std::uint8_t* bgr, int pixels, std::uint8_t* warm) {
  ClassifyRun(bgr, pixels, warm);
}

std::vector<int> TEVCustomFS::CountWarmPixels(const cv::Mat& frame,
                                              const std::vector<cv::Rect>& areas) {
  CV_CheckTypeEQ(frame.type(), CV_8UC3, "warm pixels are counted in 8-bit BGR");
  const cv::Rect frameRect(0, 0, frame.cols, frame.rows);
  for (const cv::Rect& area : areas) {
    CV_Assert(area.empty() || (area & frameRect) == area);
  }
  // Down the frame's rows, every area's part of a row in turn, rather than area by area: the
  // frame is then read in memory order, which keeps large frames fast, where the rows of one
  // tile lie a memory page or more apart.
  std::vector<int> counts(areas.size(), 0);
  for (int row = 0; row < frame.rows; ++row) {
    const std::uint8_t* pixels = frame.ptr<std::uint8_t>(row);
    for (std::size_t index = 0; index < areas.size(); ++index) {
      const cv::Rect& area = areas[index];
      if (!area.empty() && row >= area.y && row < area.y + area.height) {
        counts[index] += CountRun(pixels + 3 * area.x, area.width);
      }
    }
  }
  return counts;
}
