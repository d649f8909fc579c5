#include "platform/host/default_paths.h"

#include <filesystem>
#include <system_error>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace tevhost {
namespace {

namespace fs = std::filesystem;

// The file of the running program.
fs::path ProgramFile() {
#if defined(_WIN32)
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
#else
  std::error_code error;
  return fs::read_symlink("/proc/self/exe", error);
#endif
}

// The file of the binary this library is linked into: for a plug-in, the plug-in itself.
fs::path ThisLibraryFile() {
#if defined(_WIN32)
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCWSTR>(&ThisLibraryFile), &module)) {
    return {};
  }
  std::wstring path(MAX_PATH, L'\0');
  const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  return path;
#else
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ThisLibraryFile), &info) == 0 || info.dli_fname == nullptr) {
    return {};
  }
  std::error_code error;
  const fs::path file = fs::canonical(info.dli_fname, error);
  return error ? fs::path(info.dli_fname) : file;
#endif
}

fs::path OwnFolder(FrontEnd frontEnd) {
  const fs::path file = frontEnd == FrontEnd::Program ? ProgramFile() : ThisLibraryFile();
  return file.parent_path();
}

// The first of the candidates that exists, else the first.
std::string FirstExisting(const std::vector<fs::path>& candidates) {
  for (const fs::path& candidate : candidates) {
    std::error_code error;
    if (fs::exists(candidate, error)) {
      return candidate.lexically_normal().string();
    }
  }
  return candidates.front().lexically_normal().string();
}

}  // namespace

std::string DefaultModulePath(FrontEnd frontEnd) {
  const fs::path folder = OwnFolder(frontEnd);
  if (frontEnd == FrontEnd::Program) {
    return FirstExisting(
        {folder / TEV_PROGRAM_TO_MODULEDIR / TEV_MODULE_FILE_NAME, folder / TEV_MODULE_FILE_NAME});
  }
  return FirstExisting({folder / TEV_PLUGIN_TO_MODULEDIR / TEV_MODULE_FILE_NAME,
                        folder.parent_path() / TEV_MODULE_FILE_NAME});
}

std::string DefaultModelFolder(FrontEnd frontEnd) {
  const fs::path folder = OwnFolder(frontEnd);
  if (frontEnd == FrontEnd::Program) {
    return FirstExisting(
        {folder / TEV_PROGRAM_TO_MODELDIR / "default", folder / "models" / "default"});
  }
  return FirstExisting(
      {folder / TEV_PLUGIN_TO_MODELDIR / "default", folder.parent_path() / "models" / "default"});
}

}  // namespace tevhost
