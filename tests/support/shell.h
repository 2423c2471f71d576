#pragma once
// Runs a shell command (an independent reader, LibreOffice) for a test: its output, and its
// exit status as pclose gives it in `status`.

#include <filesystem>
#include <string>
#include <vector>

std::string Shell(const std::string& cmd, int& status);

// Runs a Python script with /usr/bin/python3, written first to `scriptFile`, with these
// arguments (stderr joined to the output).
std::string RunPythonScript(const std::string& script, const std::filesystem::path& scriptFile,
                            const std::string& args, int& status);

// The lines of a program's output, without their line feeds.
std::vector<std::string> OutputLines(const std::string& text);
