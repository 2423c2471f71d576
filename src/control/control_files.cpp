// Reading and writing workbooks: .xls (BIFF8, BIFF5), tab-separated text and blobs.
#include "control/control.h"

namespace engine {

void Control::ReadFile(const std::string&, short&) {
  throw EngineError(kErrFile, "Reading files is not available yet.");
}
void Control::WriteFile(const std::string&, short) {
  throw EngineError(kErrFile, "Writing files is not available yet.");
}
void Control::ReadFromBlob(void*, short) {
  throw EngineError(kErrFile, "Reading blobs is not available yet.");
}
void Control::WriteToBlob(void**, short) {
  throw EngineError(kErrFile, "Writing blobs is not available yet.");
}

}  // namespace engine
