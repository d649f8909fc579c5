#include "platform/host/plugin_module.h"

#include "platform/host/host_failure.h"

namespace tevhost {
namespace {

// A member function is called with the object as its first argument on the ABIs the module
// is built for, so the exported members are called through plain function pointers.
#if defined(_MSC_VER)
constexpr const char* kSetParametersSymbol =
    "?SetParameters@ITEVCustomClass@@QEAA_NAEBUCustomParams@@@Z";
constexpr const char* kSetLoadEngineOnCreateSymbol =
    "?SetLoadEngineOnCreate@ITEVCustomClass@@QEAAX_N@Z";
#else  // the Itanium C++ ABI of gcc, clang and MinGW
constexpr const char* kSetParametersSymbol = "_ZN15ITEVCustomClass13SetParametersERK12CustomParams";
constexpr const char* kSetLoadEngineOnCreateSymbol =
    "_ZN15ITEVCustomClass21SetLoadEngineOnCreateEb";
#endif

}  // namespace

void DetectorDeleter::operator()(ITEVCustomClass* detector) const {
  detector->Destroy();
  if (release != nullptr) {
    release(detector);
  }
}

PluginModule::PluginModule(const std::string& path) : _path(path), _library(path) {
  _create = reinterpret_cast<TEVCreateFunction>(_library.Symbol(kTEVCreateSymbol));
  _release = reinterpret_cast<TEVReleaseFunction>(_library.Symbol(kTEVReleaseSymbol));
  _setParameters = reinterpret_cast<SetParametersFunction>(_library.Symbol(kSetParametersSymbol));
  _setLoadEngineOnCreate = reinterpret_cast<SetLoadEngineOnCreateFunction>(
      _library.Symbol(kSetLoadEngineOnCreateSymbol));
  if (_create == nullptr) {
    throw HostFailure(FailureKind::Module,
                      path + " exports no function \"" + kTEVCreateSymbol +
                          "\": it is not a detector module (give the module's path with --module)");
  }
}

Detector PluginModule::Create() const {
  ITEVCustomClass* detector = _create();
  if (detector == nullptr) {
    throw HostFailure(FailureKind::Module,
                      "the module's Create returned no detector (out of memory?)");
  }
  return Detector(detector, DetectorDeleter{_release});
}

bool PluginModule::SetParameters(ITEVCustomClass& detector, const CustomParams& params) const {
  if (_setParameters == nullptr) {
    Missing("SetParameters");
  }
  return _setParameters(&detector, params);
}

void PluginModule::SetLoadEngineOnCreate(ITEVCustomClass& detector, bool loadEngineOnCreate) const {
  if (_setLoadEngineOnCreate == nullptr) {
    Missing("SetLoadEngineOnCreate");
  }
  _setLoadEngineOnCreate(&detector, loadEngineOnCreate);
}

void PluginModule::Missing(const char* member) const {
  throw HostFailure(FailureKind::Module, _path + " does not export ITEVCustomClass::" + member +
                                             ": build the module with the interface's "
                                             "members exported");
}

}  // namespace tevhost
