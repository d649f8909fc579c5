// What the fuzz targets share: a quiet console and a model folder of their own.
#pragma once

#include "tests/support/model_folder.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <iostream>
#include <sstream>
#include <string>

namespace tevfuzz {

// The module and the library write warning lines; thousands of them per second would
// only slow the fuzzer down.
inline void SilenceConsole() {
  static std::ostringstream sink;
  std::cout.rdbuf(sink.rdbuf());
  std::cerr.rdbuf(sink.rdbuf());
  sink.str("");
}

// One model folder for the whole run, removed at exit.
inline tevtest::ModelFolder& Folder() {
  static tevtest::ModelFolder folder;
  return folder;
}

// Any text, sometimes one of the texts the module looks for.
inline std::string Text(FuzzedDataProvider& input, std::initializer_list<const char*> known) {
  const std::size_t choice = input.ConsumeIntegralInRange<std::size_t>(0, known.size());
  if (choice < known.size()) {
    return *(known.begin() + choice);
  }
  return input.ConsumeRandomLengthString(48);
}

}  // namespace tevfuzz
