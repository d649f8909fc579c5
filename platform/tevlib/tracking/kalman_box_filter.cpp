#include "platform/tevlib/tracking/kalman_box_filter.h"

#include <algorithm>

namespace tevlib {
namespace {

constexpr double kPositionWeight = 1.0 / 20.0;
constexpr double kVelocityWeight = 1.0 / 160.0;
constexpr int kMeasured = 4;  // cx, cy, aspect, h

struct Measurement {
  double values[kMeasured];
};

Measurement Measure(const cv::Rect2f& box) {
  const double height = std::max(box.height, 1e-3f);
  return {{box.x + box.width / 2.0, box.y + box.height / 2.0, box.width / height, height}};
}

}  // namespace

KalmanBoxFilter::KalmanBoxFilter(const cv::Rect2f& box) {
  const Measurement z = Measure(box);
  std::copy(z.values, z.values + kMeasured, _mean);
  const double h = z.values[3];
  const double deviations[kSize] = {
      2 * kPositionWeight * h,  2 * kPositionWeight * h,  1e-2, 2 * kPositionWeight * h,
      10 * kVelocityWeight * h, 10 * kVelocityWeight * h, 1e-5, 10 * kVelocityWeight * h};
  for (int i = 0; i < kSize; ++i) {
    _covariance[i][i] = deviations[i] * deviations[i];
  }
}

void KalmanBoxFilter::Predict(bool heightMoves) {
  if (!heightMoves) {
    _mean[7] = 0.0;
  }
  const double h = _mean[3];
  for (int i = 0; i < kMeasured; ++i) {
    _mean[i] += _mean[kMeasured + i];
  }
  // P = F P F' with F = [I I; 0 I]: each position row gains its velocity row, then each
  // position column its velocity column.
  double(&p)[kSize][kSize] = _covariance;
  for (int i = 0; i < kMeasured; ++i) {
    for (int j = 0; j < kSize; ++j) {
      p[i][j] += p[kMeasured + i][j];
    }
  }
  for (int i = 0; i < kSize; ++i) {
    for (int j = 0; j < kMeasured; ++j) {
      p[i][j] += p[i][kMeasured + j];
    }
  }
  const double noise[kSize] = {kPositionWeight * h, kPositionWeight * h, 1e-2, kPositionWeight * h,
                               kVelocityWeight * h, kVelocityWeight * h, 1e-5, kVelocityWeight * h};
  for (int i = 0; i < kSize; ++i) {
    p[i][i] += noise[i] * noise[i];
  }
}

void KalmanBoxFilter::Update(const cv::Rect2f& box) {
  double(&p)[kSize][kSize] = _covariance;
  const double h = _mean[3];
  const double noise[kMeasured] = {kPositionWeight * h, kPositionWeight * h, 1e-1,
                                   kPositionWeight * h};
  // The measurement picks the first four states (H = [I 0]): H P H' is P's top-left block
  // and P H' its first four columns.
  cv::Matx44d innovationCovariance;
  for (int i = 0; i < kMeasured; ++i) {
    for (int j = 0; j < kMeasured; ++j) {
      innovationCovariance(i, j) = p[i][j];
    }
    innovationCovariance(i, i) += noise[i] * noise[i];
  }
  const cv::Matx44d inverse = innovationCovariance.inv(cv::DECOMP_CHOLESKY);

  double gain[kSize][kMeasured] = {};
  for (int i = 0; i < kSize; ++i) {
    for (int j = 0; j < kMeasured; ++j) {
      for (int k = 0; k < kMeasured; ++k) {
        gain[i][j] += p[i][k] * inverse(k, j);
      }
    }
  }

  const Measurement z = Measure(box);
  double innovation[kMeasured];
  for (int j = 0; j < kMeasured; ++j) {
    innovation[j] = z.values[j] - _mean[j];
  }
  for (int i = 0; i < kSize; ++i) {
    for (int j = 0; j < kMeasured; ++j) {
      _mean[i] += gain[i][j] * innovation[j];
    }
  }

  // P -= K S K' = K H P, whose rows are combinations of P's first four rows.
  double measuredRows[kMeasured][kSize];
  for (int k = 0; k < kMeasured; ++k) {
    std::copy(p[k], p[k] + kSize, measuredRows[k]);
  }
  for (int i = 0; i < kSize; ++i) {
    for (int j = 0; j < kSize; ++j) {
      for (int k = 0; k < kMeasured; ++k) {
        p[i][j] -= gain[i][k] * measuredRows[k][j];
      }
    }
  }
}

cv::Rect2f KalmanBoxFilter::Box() const {
  const double h = _mean[3];
  const double w = _mean[2] * h;
  return cv::Rect2f(static_cast<float>(_mean[0] - w / 2), static_cast<float>(_mean[1] - h / 2),
                    static_cast<float>(w), static_cast<float>(h));
}

}  // namespace tevlib
