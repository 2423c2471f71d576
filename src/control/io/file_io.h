#pragma once
// Whole-file reads and atomic writes with readable errors, and the test for a file that
// another program holds open.

#include <string>

#include "control/io/byte_io.h"
#include "control/model/mapped_memory.h"

namespace engine::xls {

// Reads a whole file. Throws EngineError (kErrFile) naming the reason: not found, permission
// denied, a folder, a read error, no memory for it.
MappedBuffer ReadWholeFile(const std::string& path);

// Writes through a temporary file in the target's folder, flushed and renamed over the target,
// so that a failed or interrupted save leaves the old file as it was. Keeps the permissions of
// an existing target and writes through a symbolic link to the file it points to.
void WriteFileAtomically(const std::string& path, const void* data, std::size_t size);

// True when another program holds the file open for editing. Linux has no sharing locks, so
// two signs count: the lock file a desktop spreadsheet leaves beside a file it has open
// (".~lock.NAME#" in the same folder, LibreOffice's convention), and an advisory lock that
// another process holds on the file (fcntl record lock or flock).
bool HeldByAnotherProgram(const std::string& path);

}  // namespace engine::xls
