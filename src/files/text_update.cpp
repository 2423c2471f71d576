// Refreshing parameter values from a file another tool produced: the file is read into a
// temporary table, and each of its columns replaces the values of the parameter of the same
// name on the active sheet of this table.

#include <exception>
#include <memory>

#include "table/czat_psf1.h"
#include "table/narrow.h"
#include "table/table_strings.h"

namespace {

// Ends the temporary table however the update ends.
struct SourceTableEnd {
  void operator()(CZAT_PSF1* source) const {
    if (source != nullptr && !source->Destroy()) delete source;
  }
};

}  // namespace

int CZAT_PSF1::UpdateFromTextFile(const CString& fileName, int addMissing) {
  using table::Narrow;
  // An empty name would open as a new empty table; it names no file to update from.
  if (fileName.empty() || &fileName == &CZAT::null_cstring_ref) return -1;

  long destRows = 0;
  if (GetMaxRows(destRows, 0) == -1) return -1;

  std::unique_ptr<CZAT_PSF1, SourceTableEnd> source;
  try {
    source.reset(new CZAT_PSF1(nullptr, CString(), FILE_TYPE_NONE, nullptr, false, false, true));
  } catch (const std::exception&) {
    return -1;
  }
  const int r = source->Open(fileName, FILE_TYPE_NONE, nullptr, 1);  // silent
  if (r != 0) return r;

  long srcRows = 0;
  if (source->GetMaxRows(srcRows, 0) != 0) srcRows = 0;

  // A copy: the source's list is refilled by its next call.
  const CZATArgList names = source->GetHeaderArgList(0);
  engine::Control& from = source->Ctl();
  engine::Control& to = Ctl();
  // One modification for the whole update rather than one per cell.
  engine::ModifyScope oneChange(to);
  for (const CString& raw : names) {
    CString name = raw;
    FixParamName(name);
    if (name.empty()) continue;
    long dst = GetArgCol(name);
    const long src = source->GetArgCol(raw);
    if (dst == -1 && addMissing != 0) {
      if (AppendArg(name, table::kEmptyString, 0, nullptr, 0) == -1) continue;
      dst = GetArgCol(name);
    }
    if (dst == -1 || src == -1) continue;

    for (long i = 1; i <= srcRows; ++i) {
      const int row = Narrow(i);
      CString value = from.GetCellFormattedText(row, Narrow(src));
      // Dates as displayed (with plain spaces); everything else as it was entered.
      if (FixSpaceInDate(value) == 0) value = from.GetCellText(row, Narrow(src));
      try {
        to.SetCellText(row, Narrow(dst), value);
      } catch (const engine::EngineError&) {
        // An entry this table cannot take as typed (a formula that does not parse here) is
        // kept as the text it is, rather than ending the update half done.
        to.SetCellEntry(row, Narrow(dst), value);
      }
    }
    if (srcRows + 1 <= destRows)
      to.DeleteRange(Narrow(srcRows + 1), Narrow(dst), Narrow(destRows), Narrow(dst),
                     engine::kShiftVertical);
  }
  return 0;
}
