// What a workbook read from a 97-2000 file carries that only that form can write back.

#include <algorithm>
#include <string>
#include <vector>

#include "control/xls/xls_file.h"

namespace engine::xls {

namespace {

bool IsEmbeddedObjectStorage(const CarriedStorageEntry& e) {
  // Embedded objects live in storages named "MBD" and eight hex digits.
  return e.storage && e.name.size() >= 3 && e.name[0] == u'M' && e.name[1] == u'B' &&
         e.name[2] == u'D';
}

// The drop-down arrows of an autofilter or a validation list (and the shapes of comments) are
// drawn again from what the book models; every other object is content a package would lose.
bool IsModelledShape(const CarriedShape& shape) {
  bool any = false;
  for (const CarriedShape::Part& p : shape.parts) {
    if (p.record.id != 0x005D) continue;  // OBJ
    const std::vector<std::uint8_t>& b = p.record.body;
    if (b.size() < 6) return false;
    const unsigned kind = b[4] | (b[5] << 8);
    if (kind != 0x14 && kind != 0x19) return false;  // drop-down, comment
    any = true;
  }
  return any;
}

}  // namespace

std::string XlsOnlyContent(const Workbook& book) {
  const CarriedBook& carried = book.Carried();
  std::vector<std::string> kinds;
  auto note = [&](const char* kind) {
    if (std::find(kinds.begin(), kinds.end(), kind) == kinds.end()) kinds.emplace_back(kind);
  };
  for (const CarriedSheet& s : carried.sheets) note(s.kind == 2 ? "chart sheets" : "macro sheets");
  for (int i = 1; i <= book.SheetCount(); ++i)
    for (const CarriedShape& shape : book.GetSheet(i).Features().drawings)
      if (!IsModelledShape(shape)) note("pictures, charts and drawings");
  if (carried.vbaProject) note("macros");
  for (const CarriedStorageEntry& e : carried.fileEntries)
    if (IsEmbeddedObjectStorage(e)) note("embedded objects");
  std::string out;
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    if (i > 0) out += i + 1 == kinds.size() ? " and " : ", ";
    out += kinds[i];
  }
  return out;
}

}  // namespace engine::xls
