#include "tests/support/hostile_files.h"

namespace tevtest {

std::string DeeplyNestedJson(int depth) {
  return "{\"key\": " + std::string(static_cast<std::size_t>(depth), '[') +
         std::string(static_cast<std::size_t>(depth), ']') + "}";
}

std::vector<HostileFile> HostileJsonFiles(const ModelFolder& folder) {
  folder.WriteFile("deep.json", DeeplyNestedJson(70000));
  // The parser quotes the token it stopped at: a refusal must not quote all of it.
  folder.WriteFile("long-string.json", "{\"key\": \"" + std::string(1 << 20, 'x'));
  return {
      {"DeepNesting", folder.File("deep.json"), "nests deeper than 64 levels"},
      {"LongUnfinishedString", folder.File("long-string.json"), "is not valid JSON"},
      {"EndlessFile", "/dev/zero", "is larger than 64 MiB"},
      {"FolderForAFile", folder.Path(), "is a directory, not a file"},
      {"MissingFile", folder.File("none.json"), "does not exist"},
  };
}

}  // namespace tevtest
