// Fuzz target: any bytes as tev-host's settings file, read and turned into a detector's
// settings, which the detector then reads on a frame.
#include "interface/TEVCustomModule.h"
#include "platform/host/host_failure.h"
#include "platform/host/settings_file.h"
#include "tests/fuzz/fuzz_support.h"

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  tevfuzz::SilenceConsole();
  tevfuzz::Folder().WriteScript("detector", R"({"calls": []})");
  tevfuzz::Folder().WriteScript("filter", R"({"calls": []})");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tevfuzz::Folder().WriteFile("settings.json",
                              std::string(reinterpret_cast<const char*>(data), size));
  ITEVCustomClass* detector = Create();
  std::string labelMap;
  detector->Initialize(tevfuzz::Folder().Path(), 0.5f, labelMap);
  try {
    const auto settings = tevhost::SettingsFile::Read(tevfuzz::Folder().File("settings.json"));
    detector->SetParameters(settings.ParametersFor(*detector));
    detector->RunInference(cv::Mat(120, 160, CV_8UC3, cv::Scalar::all(0)), "fuzz");
  } catch (const tevhost::HostFailure&) {
    // Refused with a message for the user: the expected answer to a bad file.
  }
  detector->Destroy();
  Release(detector);
  return 0;
}
