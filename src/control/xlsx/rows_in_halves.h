#pragma once
// A large sheet part read on two threads. The part inflates on a second thread into one buffer
// while the calling thread parses it from the start; once it is whole, the rows are cut in two
// (row_cut.h) ahead of where the first parser stands, and the second thread parses the later
// rows with a parser of its own, opened as sheetData is opened in the part. The first parser
// stops at the cut; the later rows are handed over in document order; then the first parser
// reads on from the end of sheetData. Whatever goes wrong with the later rows (not well-formed,
// a cell the handler refuses) is forgotten and the first parser reads them itself, so the
// result, and any error, is the one a single parser gives.

#include <cstddef>
#include <functional>
#include <string_view>

namespace engine::xlsx {

class XmlHandler;
class ZipReader;

struct HalvesOptions {
  std::size_t from = std::size_t{4} << 20;  // smaller parts: one parser, streamed
  std::size_t upTo = std::size_t{256} << 20;  // larger ones too: the part is held whole
  double cutAt = -1;  // a fixed cut, as a fraction of the part (tests); below 0: balanced
};

// The side of the later rows. `handler` sees sheetData's start, the rows, and its end; it runs
// on the second thread and must touch nothing the first handler touches. `merge` runs on the
// calling thread when the later rows read whole, `discard` when they did not (the first
// handler then reads them again).
struct LaterRows {
  XmlHandler& handler;
  std::function<void()> merge;
  std::function<void()> discard;
};

enum class HalvesOutcome { OneParser, Halves, LaterRedone };

// Parses `part` into `first`, in halves where it is large enough and a cut is found.
HalvesOutcome ParseRowsInHalves(const ZipReader& zip, std::string_view part, XmlHandler& first,
                                LaterRows& later, const HalvesOptions& options);

}  // namespace engine::xlsx
