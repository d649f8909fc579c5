// The plug-in interface through which a host drives a custom model.
//
// Call order for one object: Create (see TEVCustomModule.h), optionally
// SetLoadEngineOnCreate, Initialize, optionally ConfigureParameters + SetParameters,
// optionally OptimizeModel, RunInference once per frame, Destroy, Release.
// Only RunInference may be called from several threads at once; every other operation
// must not overlap a RunInference on the same object.
//
// The order of the virtual operations is part of the binary contract with hosts. The
// destructor is not virtual: free objects made by Create with Release.
#pragma once

#include "interface/CustomObject.h"
#include "interface/CustomParams.h"
#include "interface/tev_module_export.h"

#include <opencv2/core.hpp>

#include <string>
#include <vector>

// The class is exported with standard-library members (MSVC warning C4251): module, host and
// inference library share one C++ runtime and one OpenCV by contract, as the records cross
// the boundary by value anyway.
#if defined(_MSC_VER)
#pragma warning(push)
#pragma warning(disable : 4251)
#endif
class TEV_MODULE_API ITEVCustomClass {
 public:
  ITEVCustomClass();
  ITEVCustomClass(const ITEVCustomClass& other);
  // Takes over the text and the lists, leaving the source's empty; copies the float and
  // the flag.
  ITEVCustomClass(ITEVCustomClass&& other) noexcept;
  ITEVCustomClass& operator=(const ITEVCustomClass& other);
  ITEVCustomClass& operator=(ITEVCustomClass&& other) noexcept;
  ~ITEVCustomClass();

  // Loads the models of modelDirectory; labelMap receives the detector model's labels.
  virtual bool Initialize(const std::string& modelDirectory, float threshold,
                          std::string& labelMap) = 0;
  virtual bool OptimizeModel(bool optimize) = 0;
  virtual std::vector<CustomObject> RunInference(const cv::Mat& frame,
                                                 const std::string& cameraId) = 0;
  virtual std::vector<CustomObject> RunInference(const cv::Mat& frame) = 0;
  // Replaces the whole content of params with the settings schema.
  virtual bool ConfigureParameters(CustomParams& params) = 0;
  virtual bool Destroy() = 0;

  // Stores a copy of params, list by list. Returns false if copying failed; the lists
  // copied before the failure then hold the new content.
  bool SetParameters(const CustomParams& params);
  // Takes effect at the next Initialize.
  void SetLoadEngineOnCreate(bool loadEngineOnCreate);

 protected:
  std::string _modelDirectory;
  float _scoreThreshold = 0.5f;
  CustomParams _params;
  bool _loadEngineOnCreate = false;
};
#if defined(_MSC_VER)
#pragma warning(pop)
#endif

