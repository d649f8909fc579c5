// A shared library opened at run time by its file name: dlopen/dlsym on Linux,
// LoadLibrary/GetProcAddress on Windows. Closed with the object.
#pragma once

#include <string>

namespace tevhost {

class SharedLibrary {
 public:
  // Throws HostFailure (Module) naming the file and the system's reason.
  explicit SharedLibrary(const std::string& path);
  ~SharedLibrary();
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  // The address of an exported symbol, or null when the library has none of that name.
  void* Symbol(const char* name) const;

 private:
  void* _handle = nullptr;
};

}  // namespace tevhost
