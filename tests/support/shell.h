#pragma once
// Runs a shell command (an independent reader, LibreOffice) for a test: its output, and its
// exit status as pclose gives it in `status`.

#include <string>

std::string Shell(const std::string& cmd, int& status);
