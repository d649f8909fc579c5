// A detector made ready the way every front end prepares one: Create, optionally
// SetLoadEngineOnCreate, Initialize with the model folder and threshold, then the settings
// (after Initialize, which empties them, and before the first frame, when the detector
// reads them).
#pragma once

#include "platform/host/plugin_module.h"
#include "platform/host/settings_file.h"

#include <optional>
#include <string>

namespace tevhost {

struct DetectorSetup {
  std::string models;  // the model folder handed to Initialize
  float threshold = 0.5f;
  bool loadEngineOnCreate = false;
};

// Throws HostFailure (Module) when Initialize fails or the settings cannot be stored, and
// (Usage) when the settings do not fit the detector's schema.
Detector InitializeDetector(const PluginModule& module, const DetectorSetup& setup,
                            const std::optional<SettingsFile>& settings);

}  // namespace tevhost
