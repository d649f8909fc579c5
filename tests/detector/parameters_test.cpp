#include "tests/detector/detector_fixture.h"

#include <climits>
#include <cmath>

namespace {

CustomParameter Parameter(const std::string& name, const std::string& value) {
  CustomParameter parameter;
  parameter.name = name;
  parameter.value = value;
  return parameter;
}

CustomROI Region(const std::string& kindName, std::vector<cv::Point> points) {
  CustomROI region;
  region.kindName = kindName;
  region.points = std::move(points);
  return region;
}

void ExpectSchemaParameters(const std::vector<CustomParameter>& parameters) {
  const struct {
    const char* name;
    int upperLimit;
    const char* defaultText;
  } expected[] = {{"SmokeScore", 1, "0.700000"},
                  {"Sensitivity", 1, "0.500000"},
                  {"MinObjectSize", 10, "0.030000"}};
  ASSERT_EQ(parameters.size(), 3u);
  for (std::size_t index = 0; index < 3; ++index) {
    SCOPED_TRACE(expected[index].name);
    const CustomParameter& parameter = parameters[index];
    EXPECT_EQ(parameter.name, expected[index].name);
    EXPECT_EQ(parameter.dataType, "float");
    EXPECT_EQ(parameter.kindCode, 2);
    EXPECT_EQ(parameter.upperLimit, expected[index].upperLimit);
    EXPECT_EQ(parameter.lowerLimit, 0);
    EXPECT_EQ(parameter.defaultValue, expected[index].defaultText);
    EXPECT_EQ(parameter.startValue, expected[index].defaultText);
    EXPECT_TRUE(parameter.options.empty());
    EXPECT_TRUE(parameter.value.empty());
  }
}

using ConfigureParameters = DetectorTest;

TEST_F(ConfigureParameters, FreshObjectGivesTheSchemaWhateverTheRecordHeld) {
  CustomParams params;
  params.roiConfigs.resize(3);
  params.textItems.push_back("stale");
  params.parameters.resize(5);
  params.rois.resize(2);

  EXPECT_TRUE(detector.ConfigureParameters(params));

  ASSERT_EQ(params.roiConfigs.size(), 1u);
  const CustomROIConfig& kind = params.roiConfigs[0];
  EXPECT_TRUE(kind.firstOption);
  EXPECT_FALSE(kind.secondOption);
  EXPECT_FALSE(kind.thirdOption);
  EXPECT_EQ(kind.minCount, 0);
  EXPECT_EQ(kind.maxCount, 20);
  EXPECT_EQ(kind.kindName, "ExclusiveROIs");
  EXPECT_EQ(kind.kindLabel, "All Corners");
  EXPECT_TRUE(params.textItems.empty());
  ExpectSchemaParameters(params.parameters);
  EXPECT_TRUE(params.rois.empty());
}

TEST_F(ConfigureParameters, ReturnsTheStoredKindsAndRegionsButTheSchemaParameters) {
  CustomParams stored;
  stored.roiConfigs.push_back({false, true, false, 1, 2, "KindA", "A"});
  stored.roiConfigs.push_back({true, true, true, 3, 4, "KindB", "B"});
  stored.textItems.push_back("text");
  stored.parameters.push_back(Parameter("SmokeScore", "0.9"));
  for (int index = 0; index < 3; ++index) {
    stored.rois.push_back({"region" + std::to_string(index),
                           {{index, index}, {index + 1, index}},
                           "label" + std::to_string(index),
                           "ExclusiveROIs",
                           index + 10});
  }
  ASSERT_TRUE(detector.SetParameters(stored));

  CustomParams params;
  EXPECT_TRUE(detector.ConfigureParameters(params));

  ASSERT_EQ(params.roiConfigs.size(), 2u);
  EXPECT_EQ(params.roiConfigs[0].kindName, "KindA");
  EXPECT_EQ(params.roiConfigs[1].minCount, 3);
  EXPECT_TRUE(params.textItems.empty());
  ExpectSchemaParameters(params.parameters);
  ASSERT_EQ(params.rois.size(), 3u);
  for (std::size_t index = 0; index < 3; ++index) {
    EXPECT_EQ(params.rois[index].name, stored.rois[index].name);
    EXPECT_EQ(params.rois[index].points, stored.rois[index].points);
    EXPECT_EQ(params.rois[index].label, stored.rois[index].label);
    EXPECT_EQ(params.rois[index].kindName, stored.rois[index].kindName);
    EXPECT_EQ(params.rois[index].code, stored.rois[index].code);
  }
}

class GetModelParameters : public DetectorTest {
 protected:
  void SetUp() override {
    DetectorTest::SetUp();
    ASSERT_TRUE(Initialize());
  }

  // Hands the settings in and reads them; returns what was written on stderr.
  std::string Parse(const CustomParams& params) {
    EXPECT_TRUE(detector.SetParameters(params));
    tevtest::ConsoleCapture console;
    peer.GetModelParameters();
    return console.Err();
  }

  std::string ParseOne(const std::string& name, const std::string& value) {
    CustomParams params;
    params.parameters.push_back(Parameter(name, value));
    return Parse(params);
  }
};

TEST_F(GetModelParameters, ExclusiveRegionsBecomeRectangles) {
  const struct {
    const char* label;
    std::string kindName;
    std::vector<cv::Point> points;
    std::vector<cv::Rect> expected;
  } cases[] = {
      {"clockwise from top-left",
       "ExclusiveROIs",
       {{10, 20}, {110, 20}, {110, 70}, {10, 70}},
       {cv::Rect(10, 20, 100, 50)}},
      {"kind inside other text",
       "myExclusiveROIs#2",
       {{10, 20}, {110, 20}, {110, 70}, {10, 70}},
       {cv::Rect(10, 20, 100, 50)}},
      {"lower-case kind", "exclusiverois", {{10, 20}, {110, 20}, {110, 70}, {10, 70}}, {}},
      {"shorter kind", "Exclusive", {{10, 20}, {110, 20}, {110, 70}, {10, 70}}, {}},
      {"counter-clockwise",
       "ExclusiveROIs",
       {{10, 20}, {10, 70}, {110, 70}, {110, 20}},
       {cv::Rect(10, 20, 100, 50)}},
      {"starting bottom-right",
       "ExclusiveROIs",
       {{110, 70}, {10, 70}, {10, 20}, {110, 20}},
       {cv::Rect(10, 20, 100, 50)}},
      {"three points", "ExclusiveROIs", {{0, 0}, {40, 0}, {40, 30}}, {cv::Rect(0, 0, 40, 30)}},
      {"two points are skipped", "ExclusiveROIs", {{0, 0}, {40, 30}}, {}},
      {"no points are skipped", "ExclusiveROIs", {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    CustomParams params;
    params.rois.push_back(Region(c.kindName, c.points));
    peer.parametersLoaded() = false;
    EXPECT_EQ(Parse(params), "");
    EXPECT_EQ(peer.exclusiveROIs(), c.expected);
  }
}

TEST_F(GetModelParameters, ExtremeCornersDoNotOverflow) {
  CustomParams params;
  params.rois.push_back(Region("ExclusiveROIs", {{INT_MIN, INT_MIN}, {INT_MAX, 0}, {0, INT_MAX}}));
  Parse(params);
  ASSERT_EQ(peer.exclusiveROIs().size(), 1u);
  EXPECT_EQ(peer.exclusiveROIs()[0], cv::Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
}

TEST_F(GetModelParameters, NumericSettingsAreReadScaledAndClamped) {
  const struct {
    const char* name;
    const char* value;
    float smokeScore;
    float motionThreshold;
    float minObjectRatio;
  } cases[] = {
      {"SmokeScore", "0.85", 0.85f, 0.0f, 0.0003f},
      {"SmokeScore", "1.5", 1.5f, 0.0f, 0.0003f},  // not clamped
      {"SmokeScore", "  0.5abc", 0.5f, 0.0f, 0.0003f},
      {"Sensitivity", "0.2", 0.7f, 0.8f, 0.0003f},
      {"Sensitivity", "1.7", 0.7f, 0.0f, 0.0003f},
      {"Sensitivity", "-1", 0.7f, 1.0f, 0.0003f},
      {"MinObjectSize", "1.5", 0.7f, 0.0f, 0.015f},
      {"MinObjectSize", "250", 0.7f, 0.0f, 1.0f},
      {"MinObjectSize", "-3", 0.7f, 0.0f, 0.0f},
      {"The SmokeScore and Sensitivity", "0.4", 0.4f, 0.0f, 0.0003f},
      {"Unknown", "0.4", 0.7f, 0.0f, 0.0003f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " = " + c.value);
    TEVCustomFS fresh;
    TEVCustomFSTestPeer freshPeer(fresh);
    {
      tevtest::ConsoleCapture console;
      ASSERT_TRUE(fresh.Initialize(folder.Path(), 0.5f, labelMap));
    }
    CustomParams params;
    params.parameters.push_back(Parameter(c.name, c.value));
    ASSERT_TRUE(fresh.SetParameters(params));
    freshPeer.GetModelParameters();

    EXPECT_TRUE(freshPeer.parametersLoaded());
    EXPECT_FLOAT_EQ(freshPeer.smokeScoreSetting(), c.smokeScore);
    EXPECT_FLOAT_EQ(freshPeer.motionScoreThreshold(), c.motionThreshold);
    EXPECT_FLOAT_EQ(freshPeer.minObjectRatio(), c.minObjectRatio);
  }
}

TEST_F(GetModelParameters, UnreadableValuesWarnAndKeepTheCurrentSetting) {
  const struct {
    const char* name;
    const char* value;
    const char* warning;
  } cases[] = {
      {"SmokeScore", "", "which is not a number"},
      {"SmokeScore", "high", "which is not a number"},
      {"SmokeScore", "1e60", "which is out of range"},
      {"Sensitivity", "", "which is not a number"},
      {"Sensitivity", "-1e99", "which is out of range"},
      {"MinObjectSize", "big", "which is not a number"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " = " + c.value);
    peer.parametersLoaded() = false;
    peer.smokeScoreSetting() = 0.7f;
    peer.motionScoreThreshold() = 0.0f;
    peer.minObjectRatio() = 0.5f;
    const std::string err = ParseOne(c.name, c.value);

    EXPECT_TRUE(peer.parametersLoaded());
    EXPECT_FLOAT_EQ(peer.smokeScoreSetting(), 0.7f);
    EXPECT_FLOAT_EQ(peer.motionScoreThreshold(), 0.0f);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find(std::string("\"") + c.name + "\""), std::string::npos) << err;
    EXPECT_NE(err.find(std::string("\"") + c.value + "\""), std::string::npos) << err;
    EXPECT_NE(err.find(c.warning), std::string::npos) << err;
  }
  // An unreadable minimum size falls back to the built-in default.
  EXPECT_FLOAT_EQ(peer.minObjectRatio(), 0.0003f);
}

TEST_F(GetModelParameters, NaNSensitivityAndMinimumSizeStayNaN) {
  CustomParams params;
  params.parameters.push_back(Parameter("Sensitivity", "nan"));
  params.parameters.push_back(Parameter("MinObjectSize", "nan"));
  Parse(params);
  EXPECT_TRUE(std::isnan(peer.motionScoreThreshold()));
  EXPECT_TRUE(std::isnan(peer.minObjectRatio()));
}

TEST_F(GetModelParameters, TheLastMatchingRecordWinsAndAnUnreadableOneDoesNotStopTheRest) {
  CustomParams params;
  params.parameters.push_back(Parameter("SmokeScore", "0.8"));
  params.parameters.push_back(Parameter("SmokeScore", "bad"));
  params.parameters.push_back(Parameter("MinObjectSize", "0.1"));
  params.parameters.push_back(Parameter("SmokeScore", "0.9"));
  Parse(params);
  EXPECT_FLOAT_EQ(peer.smokeScoreSetting(), 0.9f);
  EXPECT_FLOAT_EQ(peer.minObjectRatio(), 0.001f);
}

TEST_F(GetModelParameters, ReadsOnceInTheObjectsLife) {
  CustomParams first;
  first.parameters.push_back(Parameter("SmokeScore", "0.8"));
  first.rois.push_back(Region("ExclusiveROIs", {{0, 0}, {10, 0}, {10, 10}}));
  Parse(first);

  CustomParams second;
  second.parameters.push_back(Parameter("SmokeScore", "0.3"));
  second.parameters.push_back(Parameter("MinObjectSize", "5"));
  second.rois.push_back(Region("ExclusiveROIs", {{0, 0}, {99, 0}, {99, 99}}));
  second.rois.push_back(second.rois[0]);
  Parse(second);

  EXPECT_FLOAT_EQ(peer.smokeScoreSetting(), 0.8f);
  EXPECT_FLOAT_EQ(peer.minObjectRatio(), 0.0003f);
  EXPECT_EQ(peer.exclusiveROIs(), std::vector<cv::Rect>{cv::Rect(0, 0, 10, 10)});
  // The record itself is stored.
  EXPECT_EQ(peer.params().rois.size(), 2u);
}

TEST_F(GetModelParameters, RepeatedPassesRebuildTheRegionList) {
  CustomParams params;
  params.rois.push_back(Region("ExclusiveROIs", {{0, 0}, {10, 0}, {10, 10}}));
  Parse(params);
  peer.parametersLoaded() = false;
  Parse(params);
  EXPECT_EQ(peer.exclusiveROIs().size(), 1u);
}

}  // namespace
