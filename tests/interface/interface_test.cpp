#include "interface/ITEVCustomClass.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

// The smallest concrete custom class: exposes the interface's members.
class ProbeClass : public ITEVCustomClass {
 public:
  using ITEVCustomClass::ITEVCustomClass;
  bool Initialize(const std::string&, float, std::string&) override { return true; }
  bool OptimizeModel(bool) override { return true; }
  std::vector<CustomObject> RunInference(const cv::Mat&, const std::string&) override { return {}; }
  std::vector<CustomObject> RunInference(const cv::Mat&) override { return {}; }
  bool ConfigureParameters(CustomParams&) override { return true; }
  bool Destroy() override { return true; }

  std::string& modelDirectory() { return _modelDirectory; }
  float& scoreThreshold() { return _scoreThreshold; }
  CustomParams& params() { return _params; }
  bool& loadEngineOnCreate() { return _loadEngineOnCreate; }
};

CustomParams OneOfEach(const std::string& tag) {
  CustomParams params;
  params.roiConfigs.push_back({true, false, false, 0, 20, tag, "All Corners"});
  params.textItems.push_back(tag);
  params.parameters.push_back({tag, "float", 2, 1, 0, "0.5", {}, "0.5", "0.6"});
  params.rois.push_back({tag, {{1, 2}, {3, 4}, {5, 6}}, "label", "ExclusiveROIs", 4});
  return params;
}

ProbeClass Filled(const std::string& tag) {
  ProbeClass probe;
  probe.modelDirectory() = "/models/" + tag;
  probe.scoreThreshold() = 0.75f;
  probe.params() = OneOfEach(tag);
  probe.loadEngineOnCreate() = true;
  return probe;
}

void ExpectFilled(ProbeClass& probe, const std::string& tag) {
  EXPECT_EQ(probe.modelDirectory(), "/models/" + tag);
  EXPECT_FLOAT_EQ(probe.scoreThreshold(), 0.75f);
  ASSERT_EQ(probe.params().roiConfigs.size(), 1u);
  EXPECT_EQ(probe.params().roiConfigs[0].kindName, tag);
  EXPECT_EQ(probe.params().textItems, std::vector<std::string>{tag});
  ASSERT_EQ(probe.params().parameters.size(), 1u);
  EXPECT_EQ(probe.params().parameters[0].name, tag);
  ASSERT_EQ(probe.params().rois.size(), 1u);
  EXPECT_EQ(probe.params().rois[0].name, tag);
  EXPECT_TRUE(probe.loadEngineOnCreate());
}

void ExpectMovedFrom(ProbeClass& probe) {
  EXPECT_TRUE(probe.modelDirectory().empty());
  EXPECT_TRUE(probe.params().roiConfigs.empty());
  EXPECT_TRUE(probe.params().textItems.empty());
  EXPECT_TRUE(probe.params().parameters.empty());
  EXPECT_TRUE(probe.params().rois.empty());
  // The float and the flag are copied, not taken.
  EXPECT_FLOAT_EQ(probe.scoreThreshold(), 0.75f);
  EXPECT_TRUE(probe.loadEngineOnCreate());
}

TEST(PluginInterface, StartsWithEmptyStateAndThresholdOneHalf) {
  ProbeClass probe;
  EXPECT_TRUE(probe.modelDirectory().empty());
  EXPECT_FLOAT_EQ(probe.scoreThreshold(), 0.5f);
  EXPECT_TRUE(probe.params().roiConfigs.empty() && probe.params().textItems.empty() &&
              probe.params().parameters.empty() && probe.params().rois.empty());
  EXPECT_FALSE(probe.loadEngineOnCreate());
}

TEST(PluginInterface, CopyConstructionAndAssignmentCopyEveryMember) {
  ProbeClass source = Filled("a");
  ProbeClass constructed(source);
  ExpectFilled(constructed, "a");
  ExpectFilled(source, "a");

  ProbeClass assigned = Filled("b");
  assigned = source;
  ExpectFilled(assigned, "a");
  ExpectFilled(source, "a");
}

TEST(PluginInterface, MoveConstructionTakesTextAndListsAndCopiesFloatAndFlag) {
  ProbeClass source = Filled("a");
  ProbeClass moved(std::move(source));
  ExpectFilled(moved, "a");
  ExpectMovedFrom(source);
}

TEST(PluginInterface, MoveAssignmentReplacesTheTargetsStateAndEmptiesTheSource) {
  ProbeClass source = Filled("a");
  ProbeClass target = Filled("b");
  target = std::move(source);
  ExpectFilled(target, "a");
  ExpectMovedFrom(source);
}

TEST(PluginInterface, SelfAssignmentChangesNothing) {
  ProbeClass probe = Filled("a");
  ProbeClass& alias = probe;
  probe = alias;
  ExpectFilled(probe, "a");
  probe = std::move(alias);
  ExpectFilled(probe, "a");
}

TEST(PluginInterface, SetParametersReplacesAllFourLists) {
  ProbeClass probe = Filled("old");
  CustomParams next = OneOfEach("new");
  next.rois.push_back(next.rois[0]);

  EXPECT_TRUE(probe.SetParameters(next));
  EXPECT_EQ(probe.params().roiConfigs.size(), 1u);
  EXPECT_EQ(probe.params().roiConfigs[0].kindName, "new");
  EXPECT_EQ(probe.params().textItems, std::vector<std::string>{"new"});
  EXPECT_EQ(probe.params().parameters[0].value, "0.6");
  ASSERT_EQ(probe.params().rois.size(), 2u);
  EXPECT_EQ(probe.params().rois[1].points, next.rois[1].points);
  EXPECT_EQ(probe.params().rois[1].code, 4);
  // Nothing else changes.
  EXPECT_EQ(probe.modelDirectory(), "/models/old");
}

TEST(PluginInterface, SetParametersWithEmptyListsEmptiesTheStoredOnes) {
  ProbeClass probe = Filled("old");
  EXPECT_TRUE(probe.SetParameters(CustomParams{}));
  EXPECT_TRUE(probe.params().roiConfigs.empty() && probe.params().textItems.empty() &&
              probe.params().parameters.empty() && probe.params().rois.empty());
}

TEST(PluginInterface, SetParametersWithItsOwnRecordKeepsIt) {
  ProbeClass probe = Filled("own");
  EXPECT_TRUE(probe.SetParameters(probe.params()));
  ExpectFilled(probe, "own");
}

TEST(PluginInterface, SetLoadEngineOnCreateStoresTheFlagOnly) {
  ProbeClass probe = Filled("a");
  probe.SetLoadEngineOnCreate(false);
  EXPECT_FALSE(probe.loadEngineOnCreate());
  probe.SetLoadEngineOnCreate(true);
  ExpectFilled(probe, "a");
}

}  // namespace
