#include "support/scratch.h"

#include <unistd.h>

std::filesystem::path ScratchFile(const std::string& folder, const std::string& name) {
  std::filesystem::path dir =
      std::filesystem::temp_directory_path() / (folder + "_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  return dir / name;
}
