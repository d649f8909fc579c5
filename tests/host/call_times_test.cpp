// The median and 95th percentile of RunInference call times in the summary.
#include "platform/host/call_times.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using tevhost::SummariseCallTimes;

struct TimesCase {
  const char* what;
  std::vector<double> milliseconds;
  double median;
  double percentile95;
};

void PrintTo(const TimesCase& c, std::ostream* out) {
  *out << c.what;
}

class CallTimes : public testing::TestWithParam<TimesCase> {};

TEST_P(CallTimes, AreTheNearestRankMedianAndNinetyFifthPercentile) {
  const tevhost::CallTimes times = SummariseCallTimes(GetParam().milliseconds);
  EXPECT_DOUBLE_EQ(times.medianMs, GetParam().median);
  EXPECT_DOUBLE_EQ(times.percentile95Ms, GetParam().percentile95);
}

INSTANTIATE_TEST_SUITE_P(
    Summary, CallTimes,
    testing::Values(TimesCase{"NoCalls", {}, 0.0, 0.0}, TimesCase{"OneCall", {7.0}, 7.0, 7.0},
                    TimesCase{"UnsortedCalls", {9, 1, 8, 2, 7, 3, 6, 4, 5, 10}, 5.0, 10.0},
                    TimesCase{
                        "TwentyCalls",
                        {20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1},
                        10.0,
                        19.0}),
    [](const testing::TestParamInfo<TimesCase>& info) { return info.param.what; });

}  // namespace
