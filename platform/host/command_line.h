// What the command-line front ends (tev-host, tev-eval) share around their own options:
// parsing with a message that points at --help, and one line and an exit status for
// whatever ends the program.
#pragma once

#include <CLI/CLI.hpp>

#include <functional>

namespace tevhost {

// Parses argv into the app's options. False when the user asked for --help (printed then);
// throws HostFailure (Usage) with CLI11's message and "(see <program> --help)" for a command
// line it cannot take.
bool ParseOrExplain(CLI::App& app, int argc, char** argv);

// Runs the program: its status, or after one line "<program>: ..." on the error stream, a
// HostFailure's kind, Usage for a file-system error, 1 for anything else.
int RunReportingFailures(const std::string& program, const std::function<int()>& run);

}  // namespace tevhost
