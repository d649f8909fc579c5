// The plug-in module loaded at run time: finds the plain Create (and Release) and makes
// detector objects. The host never links the module, so the interface's two non-virtual
// members, which the module exports with the class, are found by their exported names too.
#pragma once

#include "interface/TEVCustomModule.h"
#include "platform/host/shared_library.h"

#include <memory>
#include <string>

namespace tevhost {

// Destroys a detector's models and frees the object with the module's Release. A module
// without Release offers no way to free the object: it is then only destroyed.
struct DetectorDeleter {
  TEVReleaseFunction release = nullptr;
  void operator()(ITEVCustomClass* detector) const;
};
using Detector = std::unique_ptr<ITEVCustomClass, DetectorDeleter>;

class PluginModule {
 public:
  // Throws HostFailure (Module) when the file cannot be loaded or exports no Create.
  explicit PluginModule(const std::string& path);

  // A new, uninitialised detector. It must not outlive the module. Throws HostFailure
  // (Module) when Create gives none.
  Detector Create() const;

  // The interface's non-virtual members, run in the module. Throw HostFailure (Module)
  // when the module does not export them.
  bool SetParameters(ITEVCustomClass& detector, const CustomParams& params) const;
  void SetLoadEngineOnCreate(ITEVCustomClass& detector, bool loadEngineOnCreate) const;

 private:
  using SetParametersFunction = bool (*)(ITEVCustomClass*, const CustomParams&);
  using SetLoadEngineOnCreateFunction = void (*)(ITEVCustomClass*, bool);

  [[noreturn]] void Missing(const char* member) const;

  std::string _path;
  SharedLibrary _library;
  TEVCreateFunction _create = nullptr;
  TEVReleaseFunction _release = nullptr;
  SetParametersFunction _setParameters = nullptr;
  SetLoadEngineOnCreateFunction _setLoadEngineOnCreate = nullptr;
};

}  // namespace tevhost
