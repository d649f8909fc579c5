#include "interface/CustomObject.h"
#include "interface/CustomParams.h"
#include "interface/Object.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <type_traits>
#include <utility>

namespace {

using KESTROVIA::Object;

// The records cross a binary boundary: field types are part of the contract.
static_assert(std::is_same_v<decltype(Object::classId), std::int32_t>);
static_assert(std::is_same_v<decltype(Object::trackId), std::int32_t>);
static_assert(std::is_same_v<decltype(Object::confidence), float>);
static_assert(std::is_same_v<decltype(Object::box), cv::Rect>);
static_assert(sizeof(decltype(Object::polygon)::value_type) == 8);
static_assert(sizeof(decltype(Object::kps)::value_type) == 4);
static_assert(std::is_same_v<decltype(Object::gpuMask), cv::cuda::GpuMat>);
static_assert(sizeof(CustomObject) == sizeof(Object));
static_assert(std::is_same_v<decltype(CustomROI::points), std::vector<cv::Point>>);
static_assert(std::is_same_v<decltype(CustomROI::code), std::int32_t>);
static_assert(std::is_same_v<decltype(CustomParams::textItems), std::vector<std::string>>);
static_assert(!std::is_polymorphic_v<Object> && !std::is_polymorphic_v<CustomParams>);

// Positional initialisation fails to compile, or lands in the wrong field, if the field
// order changes.
template <typename Record>
Record FilledDetection(const cv::Mat& mask) {
  return Record{
      1,      2,      "fire", 0.5f, cv::Rect(1, 2, 3, 4), {{5, 6}}, mask, cv::cuda::GpuMat(),
      {7.0f}, "info", "cam"};
}

template <typename Record>
void ExpectFilledDetection(const Record& record, const cv::Mat& mask) {
  EXPECT_EQ(record.classId, 1);
  EXPECT_EQ(record.trackId, 2);
  EXPECT_EQ(record.className, "fire");
  EXPECT_FLOAT_EQ(record.confidence, 0.5f);
  EXPECT_EQ(record.box, cv::Rect(1, 2, 3, 4));
  EXPECT_EQ(record.polygon, std::vector<cv::Point>({{5, 6}}));
  EXPECT_EQ(record.mask.data, mask.data);
  EXPECT_TRUE(record.gpuMask.empty());
  EXPECT_EQ(record.kps, std::vector<float>({7.0f}));
  EXPECT_EQ(record.extraInfo, "info");
  EXPECT_EQ(record.cameraId, "cam");
}

template <typename Record>
void ExpectDefaultDetection(const Record& record) {
  EXPECT_EQ(record.classId, 0);
  EXPECT_EQ(record.trackId, 0);
  EXPECT_TRUE(record.className.empty());
  EXPECT_EQ(record.confidence, 0.0f);
  EXPECT_EQ(record.box, cv::Rect(0, 0, 0, 0));
  EXPECT_TRUE(record.polygon.empty());
  EXPECT_TRUE(record.mask.empty());
  EXPECT_TRUE(record.gpuMask.empty());
  EXPECT_EQ(record.gpuMask.allocator, cv::cuda::GpuMat::defaultAllocator());
  EXPECT_TRUE(record.kps.empty());
  EXPECT_TRUE(record.extraInfo.empty());
  EXPECT_TRUE(record.cameraId.empty());
}

TEST(Records, DefaultDetectionsAreAllZeroAndEmpty) {
  ExpectDefaultDetection(Object{});
  ExpectDefaultDetection(CustomObject{});
}

TEST(Records, DetectionFieldsAreInContractOrder) {
  const cv::Mat mask(2, 2, CV_8UC1, cv::Scalar(1));
  ExpectFilledDetection(FilledDetection<Object>(mask), mask);
  ExpectFilledDetection(FilledDetection<CustomObject>(mask), mask);
}

TEST(Records, CopiedObjectSharesMaskPixelsThatOutliveTheSource) {
  auto source = std::make_unique<Object>();
  source->mask = cv::Mat(4, 4, CV_8UC1, cv::Scalar(9));
  source->className = "fire";
  ASSERT_EQ(source->mask.u->refcount, 1);

  const Object copy = *source;
  EXPECT_EQ(copy.mask.data, source->mask.data);
  EXPECT_EQ(copy.mask.u->refcount, 2);
  EXPECT_NE(copy.className.data(), source->className.data());

  source.reset();
  EXPECT_EQ(copy.mask.u->refcount, 1);
  EXPECT_EQ(cv::countNonZero(copy.mask == 9), 16);
}

TEST(Records, CopyingAnEmptyGpuMaskTouchesNoCount) {
  const Object source;
  const Object copy = source;
  EXPECT_EQ(copy.gpuMask.refcount, nullptr);
  EXPECT_EQ(copy.gpuMask.allocator, source.gpuMask.allocator);
}

TEST(Records, ParameterRecordsDefaultToZeroAndEmpty) {
  const CustomParams params;
  EXPECT_TRUE(params.roiConfigs.empty());
  EXPECT_TRUE(params.textItems.empty());
  EXPECT_TRUE(params.parameters.empty());
  EXPECT_TRUE(params.rois.empty());

  const CustomROIConfig kind;
  EXPECT_FALSE(kind.firstOption || kind.secondOption || kind.thirdOption);
  EXPECT_EQ(kind.minCount, 0);
  EXPECT_EQ(kind.maxCount, 0);

  const CustomParameter parameter;
  EXPECT_EQ(parameter.kindCode, 0);
  EXPECT_TRUE(parameter.value.empty() && parameter.options.empty());

  const CustomROI region;
  EXPECT_EQ(region.code, 0);
  EXPECT_TRUE(region.points.empty());
}

TEST(Records, ParameterFieldsAreInContractOrder) {
  const CustomROIConfig kind{true, false, true, 1, 20, "ExclusiveROIs", "All Corners"};
  EXPECT_TRUE(kind.firstOption && !kind.secondOption && kind.thirdOption);
  EXPECT_EQ(kind.minCount, 1);
  EXPECT_EQ(kind.maxCount, 20);
  EXPECT_EQ(kind.kindName, "ExclusiveROIs");
  EXPECT_EQ(kind.kindLabel, "All Corners");

  const CustomParameter parameter{"SmokeScore", "float", 2, 1, 0, "0.7", {"a"}, "0.6", "0.5"};
  EXPECT_EQ(parameter.name, "SmokeScore");
  EXPECT_EQ(parameter.dataType, "float");
  EXPECT_EQ(parameter.kindCode, 2);
  EXPECT_EQ(parameter.upperLimit, 1);
  EXPECT_EQ(parameter.lowerLimit, 0);
  EXPECT_EQ(parameter.defaultValue, "0.7");
  EXPECT_EQ(parameter.options, std::vector<std::string>{"a"});
  EXPECT_EQ(parameter.startValue, "0.6");
  EXPECT_EQ(parameter.value, "0.5");

  const CustomROI region{"door", {{1, 2}, {3, 4}}, "label", "ExclusiveROIs", 7};
  EXPECT_EQ(region.name, "door");
  EXPECT_EQ(region.points, std::vector<cv::Point>({{1, 2}, {3, 4}}));
  EXPECT_EQ(region.label, "label");
  EXPECT_EQ(region.kindName, "ExclusiveROIs");
  EXPECT_EQ(region.code, 7);
}

TEST(Records, MovedFromCustomParamsIsEmpty) {
  CustomParams source;
  source.roiConfigs.emplace_back();
  source.textItems.emplace_back("text");
  source.parameters.emplace_back();
  source.rois.emplace_back();

  CustomParams constructed(std::move(source));
  EXPECT_EQ(constructed.rois.size(), 1u);
  EXPECT_TRUE(source.roiConfigs.empty() && source.textItems.empty() && source.parameters.empty() &&
              source.rois.empty());

  CustomParams assigned;
  assigned = std::move(constructed);
  EXPECT_EQ(assigned.textItems, std::vector<std::string>{"text"});
  EXPECT_TRUE(constructed.roiConfigs.empty() && constructed.textItems.empty() &&
              constructed.parameters.empty() && constructed.rois.empty());
}

TEST(Records, CopiedCustomParamsOwnsItsElements) {
  CustomParams source;
  source.rois.push_back({"door", {{1, 2}}, "label", "ExclusiveROIs", 3});
  source.parameters.push_back({"SmokeScore", "float", 2, 1, 0, "", {"x"}, "", "0.5"});

  CustomParams copy = source;
  source.rois[0].points[0] = {9, 9};
  source.parameters[0].options[0] = "y";
  EXPECT_EQ(copy.rois[0].points[0], cv::Point(1, 2));
  EXPECT_EQ(copy.parameters[0].options[0], "x");
}

}  // namespace
