#include "platform/host/detector_setup.h"

#include "platform/host/host_failure.h"

namespace tevhost {

Detector InitializeDetector(const PluginModule& module, const DetectorSetup& setup,
                            const std::optional<SettingsFile>& settings) {
  Detector detector = module.Create();
  if (setup.loadEngineOnCreate) {
    module.SetLoadEngineOnCreate(*detector, true);
  }
  std::string labelMap;
  if (!detector->Initialize(setup.models, setup.threshold, labelMap)) {
    throw HostFailure(FailureKind::Module,
                      "Initialize failed with the model folder " + setup.models +
                          ": it must hold the \"detector\" and \"filter\" models (see the "
                          "README's model folder layout, or choose another model folder)");
  }
  if (settings && !module.SetParameters(*detector, settings->ParametersFor(*detector))) {
    throw HostFailure(FailureKind::Module, "the detector could not store the settings");
  }
  return detector;
}

}  // namespace tevhost
