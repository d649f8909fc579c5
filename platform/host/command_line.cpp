#include "platform/host/command_line.h"

#include "platform/host/host_failure.h"

#include <filesystem>
#include <iostream>

namespace tevhost {

bool ParseOrExplain(CLI::App& app, int argc, char** argv) {
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    if (error.get_exit_code() == 0) {
      app.exit(error);
      return false;
    }
    throw HostFailure(FailureKind::Usage,
                      std::string(error.what()) + " (see " + app.get_name() + " --help)");
  }
  return true;
}

int RunReportingFailures(const std::string& program, const std::function<int()>& run) {
  try {
    return run();
  } catch (const HostFailure& failure) {
    std::cerr << program << ": " << failure.what() << std::endl;
    return static_cast<int>(failure.Kind());
  } catch (const std::filesystem::filesystem_error& error) {
    std::cerr << program << ": " << error.what() << ": check the path and its permissions"
              << std::endl;
    return static_cast<int>(FailureKind::Usage);
  } catch (const std::exception& error) {
    std::cerr << program << ": unexpected error: " << error.what() << std::endl;
    return 1;
  }
}

}  // namespace tevhost
