#pragma once
// A file in a test program's own scratch folder under the temporary directory (made on first
// use, named after `folder` and the process), so parallel test programs never share one.

#include <filesystem>
#include <string>

std::filesystem::path ScratchFile(const std::string& folder, const std::string& name);
