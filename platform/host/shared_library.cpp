#include "platform/host/shared_library.h"

#include "platform/host/host_failure.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace tevhost {
namespace {

#if defined(_WIN32)
std::string LastError() {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, GetLastError(), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length > 0 ? std::string(text, length) : "unknown error";
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
    message.pop_back();
  }
  return message;
}
#endif

}  // namespace

SharedLibrary::SharedLibrary(const std::string& path) {
#if defined(_WIN32)
  _handle = reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
  const std::string reason = _handle == nullptr ? LastError() : "";
#else
  // RTLD_LOCAL: a module's symbols must not clash with another library's.
  _handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  const char* error = _handle == nullptr ? dlerror() : nullptr;
  const std::string reason = error != nullptr ? error : "";
#endif
  if (_handle == nullptr) {
    throw HostFailure(FailureKind::Module, "cannot load the module " + path + ": " + reason +
                                               " (build it, or give its path with --module)");
  }
}

SharedLibrary::~SharedLibrary() {
#if defined(_WIN32)
  FreeLibrary(reinterpret_cast<HMODULE>(_handle));
#else
  dlclose(_handle);
#endif
}

void* SharedLibrary::Symbol(const char* name) const {
#if defined(_WIN32)
  return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(_handle), name));
#else
  return dlsym(_handle, name);
#endif
}

}  // namespace tevhost
