// Drawing objects the engine does not model (pictures, embedded charts, form controls, shapes)
// and chart and macro sheets, carried through a read and a write.
//
// A sheet's drawing is one container spread over its MSODRAWING records: the drawing's header,
// a group holding every shape, then rules that connect shapes. Between the drawing records stand
// the records of each shape (its OBJ, a text box's TXO, an embedded chart's BOF … EOF). Reading
// joins the drawing records and cuts the group into its shapes, each with the records that
// followed its bytes; comments are left to the comment reader, which models them. Writing builds
// one drawing again from the carried shapes and the comments, numbering every shape afresh so
// that the numbers agree with the workbook's drawing group, which is written from the same plan.
//
// Carried formulas (chart series, cells linked to objects) name sheets by the file's
// sheet-reference entries and names by their position; both are mapped to the written file's.
#include <algorithm>
#include <unordered_map>

#include "control/model/record_formulas.h"
#include "control/xls/biff_sheet_features.h"

namespace engine::xls {

namespace {

constexpr int kMaxArtDepth = 16;

struct ArtHeader {
  unsigned ver = 0, inst = 0, type = 0;
  std::size_t body = 0, end = 0;  // where the body starts and ends
};

ArtHeader HeaderAt(const RecordBytes& a, std::size_t at, std::size_t limit) {
  if (at + 8 > limit) ThrowDamaged("a drawing is cut off");
  ArtHeader h;
  unsigned vi = Get16(a.data() + at);
  h.ver = vi & 0xF;
  h.inst = vi >> 4;
  h.type = Get16(a.data() + at + 2);
  std::uint32_t len = Get32(a.data() + at + 4);
  h.body = at + 8;
  if (len > limit - h.body) ThrowDamaged("a drawing is cut off");
  h.end = h.body + len;
  return h;
}

// Calls fn(header) for every record in [begin, end), containers before their contents.
template <typename Fn>
void Walk(const RecordBytes& a, std::size_t begin, std::size_t end, Fn&& fn, int depth = 0) {
  if (depth > kMaxArtDepth) ThrowDamaged("a drawing nests too deep");
  for (std::size_t at = begin; at < end;) {
    ArtHeader h = HeaderAt(a, at, end);
    fn(h);
    if (h.ver == 0xF) Walk(a, h.body, h.end, fn, depth + 1);
    at = h.end;
  }
}

// The cell anchor of a shape (or of a group: its own shape's), as the offset of its body.
std::size_t AnchorOf(const RecordBytes& a) {
  std::size_t found = 0;
  if (a.size() < 8) return 0;
  ArtHeader top = HeaderAt(a, 0, a.size());
  std::size_t shape = 0, shapeEnd = a.size();
  if (top.type == 0xF003) {  // a group: its first child is the group's own shape
    if (top.body >= top.end) return 0;
    ArtHeader first = HeaderAt(a, top.body, top.end);
    if (first.type != 0xF004) return 0;
    shape = first.body;
    shapeEnd = first.end;
  } else if (top.type == 0xF004) {
    shape = top.body;
    shapeEnd = top.end;
  } else {
    return 0;
  }
  for (std::size_t at = shape; at < shapeEnd;) {
    ArtHeader h = HeaderAt(a, at, shapeEnd);
    if (h.type == 0xF010 && h.end - h.body >= 18) found = h.body;
    at = h.end;
  }
  return found;
}

int ShapeCount(const RecordBytes& a) {
  int n = 0;
  Walk(a, 0, a.size(), [&](const ArtHeader& h) {
    if (h.type == 0xF004) ++n;
  });
  return n;
}

bool IsCommentShape(const CarriedShape& s) {
  for (const CarriedShape::Part& p : s.parts)
    if (p.record.id == rec::kObj)
      return p.record.body.size() >= 6 && Get16(p.record.body.data() + 4) == 0x19;
  return false;
}

unsigned ObjIdOf(const CarriedShape& s) {
  for (const CarriedShape::Part& p : s.parts)
    if (p.record.id == rec::kObj && p.record.body.size() >= 8)
      return Get16(p.record.body.data() + 6);
  return 0;
}

CarriedRecord Carry(const Record& r) {
  CarriedRecord c;
  c.id = r.id;
  c.body.assign(r.data, r.data + r.size);
  for (std::size_t b : r.breaks) c.breaks.push_back(static_cast<std::uint32_t>(b));
  return c;
}

// --- Formulas of carried records ----------------------------------------------------------------

// Maps the sheet references and names of BIFF8 tokens in place. Stops at a token it does not
// know, leaving the rest as it was.
void RemapTokens(std::uint8_t* t, std::size_t size, const LinkMap& links) {
  std::size_t i = 0;
  auto mapSheet = [&](std::size_t at, std::uint8_t& ptg, std::uint8_t errPtg) {
    unsigned ixti = Get16(t + at);
    int to = ixti < links.externSheets.size() ? links.externSheets[ixti] : -1;
    if (to < 0) {
      ptg = static_cast<std::uint8_t>((ptg & 0x60) | errPtg);  // the sheet is gone: #REF!
      return;
    }
    t[at] = static_cast<std::uint8_t>(to);
    t[at + 1] = static_cast<std::uint8_t>(to >> 8);
  };
  while (i < size) {
    std::uint8_t& ptg = t[i];
    const unsigned base = ptg & 0x1F;
    std::size_t len = 0;
    if (ptg < 0x20) {
      switch (ptg) {
        case 0x01:
        case 0x02:
          len = 5;
          break;    // exp, tbl
        case 0x17:  // str
          if (i + 2 >= size) return;
          len = 3 + static_cast<std::size_t>(t[i + 1]) * ((t[i + 2] & 1) ? 2 : 1);
          break;
        case 0x19:  // attr; a choice carries its jump table
          if (i + 3 >= size) return;
          len = 4;
          if (t[i + 1] & 0x04) len += 2 * (static_cast<std::size_t>(Get16(t + i + 2)) + 1);
          break;
        case 0x1C:
        case 0x1D:
          len = 2;
          break;
        case 0x1E:
          len = 3;
          break;
        case 0x1F:
          len = 9;
          break;
        default:
          if (ptg >= 0x03 && ptg <= 0x16)
            len = 1;
          else
            return;
      }
      i += len;
      continue;
    }
    switch (base) {
      case 0x00:
        len = 8;
        break;  // array
      case 0x01:
        len = 3;
        break;  // func
      case 0x02:
        len = 4;
        break;  // funcvar
      case 0x03:
        len = 5;
        break;  // name
      case 0x04:
      case 0x0A:
      case 0x0C:
        len = 5;
        break;  // ref, refErr, refN
      case 0x05:
      case 0x0B:
      case 0x0D:
        len = 9;
        break;  // area, areaErr, areaN
      case 0x06:
      case 0x07:
      case 0x08:
        len = 7;
        break;  // mem…
      case 0x09:
        len = 3;
        break;
      case 0x19:
        len = 7;
        break;  // nameX: keeps its book's entry
      case 0x1A:
      case 0x1C:
        len = 7;
        break;  // ref3d, refErr3d
      case 0x1B:
      case 0x1D:
        len = 11;
        break;  // area3d, areaErr3d
      default:
        return;
    }
    if (len > size - i) return;
    if (base == 0x03) {
      unsigned n = Get16(t + i + 1);
      if (n >= 1 && n <= links.names.size() && links.names[n - 1] > 0) {
        unsigned to = static_cast<unsigned>(links.names[n - 1]);
        t[i + 1] = static_cast<std::uint8_t>(to);
        t[i + 2] = static_cast<std::uint8_t>(to >> 8);
      }
    } else if (base >= 0x1A && base <= 0x1D) {
      mapSheet(i + 1, ptg, base == 0x1A || base == 0x1C ? 0x1C : 0x1D);
    }
    i += len;
  }
}

}  // namespace

void RemapLinks(CarriedRecord& r, const LinkMap& links) {
  std::uint8_t* b = r.body.data();
  const std::size_t n = r.body.size();
  // Chart series, objects' links and text boxes' links: where the shared walker finds them.
  features::ForEachRecordFormula(r, [&](std::uint8_t* t, std::size_t size) {
    RemapTokens(t, size, links);
  });
  if (r.id == rec::kFormula && n > 22) {
    std::size_t cce = Get16(b + 20);
    RemapTokens(b + 22, std::min(cce, n - 22), links);
  }
  // Fonts of charts, cell formats of macro sheets.
  auto map = [&](std::size_t at, const std::vector<int>& table, unsigned mask) {
    if (at + 2 > n) return;
    unsigned v = Get16(b + at);
    unsigned i = v & mask;
    if (i >= table.size() || table[i] < 0) return;
    unsigned to = (v & ~mask) | (static_cast<unsigned>(table[i]) & mask);
    b[at] = static_cast<std::uint8_t>(to);
    b[at + 1] = static_cast<std::uint8_t>(to >> 8);
  };
  switch (r.id) {
    case 0x1026:
      map(0, links.fonts, 0xFFFF);
      break;  // FONTX
    case 0x1060:
      map(8, links.fonts, 0xFFFF);
      break;  // FBI
    case rec::kFormula:
    case rec::kBlank:
    case rec::kNumber:
    case rec::kLabel:
    case rec::kBoolErr:
    case rec::kRk:
    case rec::kLabelSst:
    case rec::kRString:
      map(4, links.xfs, 0xFFFF);
      break;
    case rec::kMulRk:
      for (std::size_t at = 4; at + 6 + 2 <= n; at += 6) map(at, links.xfs, 0xFFFF);
      break;
    case rec::kMulBlank:
      for (std::size_t at = 4; at + 2 + 2 <= n; at += 2) map(at, links.xfs, 0xFFFF);
      break;
    case rec::kRow:
      if (n >= 16 && (Get16(b + 12) & 0x80)) map(14, links.xfs, 0x0FFF);
      break;
    case rec::kColInfo:
      map(6, links.xfs, 0xFFFF);
      break;
    default:
      break;
  }
}

// --- Reading ------------------------------------------------------------------------------------

void DrawingCollector::Art(const Record& r) { art_.insert(art_.end(), r.data, r.data + r.size); }

void DrawingCollector::Other(const Record& r) {
  pending_.push_back({static_cast<std::uint32_t>(art_.size()), Carry(r)});
}

void DrawingCollector::Object(const Record& r) {
  // The drawing's bytes start at the first CONTINUE that begins with the header of a shape or
  // of a part a shape's bytes stop at (text box, anchor, client data). A text box's text and
  // its runs come first: with text, its first two CONTINUEs are never the drawing's.
  auto startsShapeBytes = [&](std::size_t b) {
    if (b + 8 > r.size) return false;
    const unsigned ver = Get16(r.data + b) & 0xF, type = Get16(r.data + b + 2);
    if (type == 0xF003 || type == 0xF004) return ver == 0xF;
    return ver == 0 && (type == 0xF00D || type == 0xF010 || type == 0xF011);
  };
  std::size_t first = 0;
  if (r.id == rec::kTxo && r.size >= 12 && Get16(r.data + 10) > 0) first = 2;
  std::size_t artAt = r.size;
  for (std::size_t k = first; k < r.breaks.size(); ++k)
    if (startsShapeBytes(r.breaks[k])) {
      artAt = r.breaks[k];
      break;
    }
  if (artAt == r.size) {
    Other(r);
    return;
  }
  Record own;
  own.id = r.id;
  own.data = r.data;
  own.size = artAt;
  own.streamOffset = r.streamOffset;
  for (std::size_t b : r.breaks)
    if (b < artAt) own.breaks.push_back(b);
  Other(own);
  art_.insert(art_.end(), r.data + artAt, r.data + r.size);
}

void DrawingCollector::Finish(SheetFeatures& f) {
  if (art_.empty()) return;
  ArtHeader dg = HeaderAt(art_, 0, art_.size());
  if (dg.type != 0xF002) ThrowDamaged("a sheet's drawing does not start with its header");
  struct Span {
    std::size_t start, end;
  };
  std::vector<Span> shapes;
  for (std::size_t at = dg.body; at < dg.end;) {
    ArtHeader h = HeaderAt(art_, at, dg.end);
    if (h.type == 0xF003) {
      bool first = true;
      for (std::size_t s = h.body; s < h.end;) {
        ArtHeader c = HeaderAt(art_, s, h.end);
        if (!first) shapes.push_back({s, c.end});
        first = false;
        s = c.end;
      }
    } else if (h.type == 0xF005) {
      f.drawingRules.assign(art_.begin() + static_cast<std::ptrdiff_t>(at),
                            art_.begin() + static_cast<std::ptrdiff_t>(h.end));
    }
    at = h.end;
  }
  std::vector<CarriedShape> out(shapes.size());
  for (std::size_t k = 0; k < shapes.size(); ++k) {
    out[k].art.assign(art_.begin() + static_cast<std::ptrdiff_t>(shapes[k].start),
                      art_.begin() + static_cast<std::ptrdiff_t>(shapes[k].end));
    Walk(out[k].art, 0, out[k].art.size(), [](const ArtHeader&) {});  // well formed
  }
  // Each record follows the bytes of the shape it belongs to.
  for (Pending& p : pending_) {
    if (shapes.empty()) break;
    std::size_t k = 0;
    while (k + 1 < shapes.size() && p.at > shapes[k].end) ++k;
    std::size_t rel = p.at > shapes[k].start ? p.at - shapes[k].start : 0;
    rel = std::min(rel, out[k].art.size());
    out[k].parts.push_back({static_cast<std::uint32_t>(rel), std::move(p.record)});
  }
  for (CarriedShape& s : out) {
    if (IsCommentShape(s)) continue;  // the comment reader has it
    if (std::size_t a = AnchorOf(s.art)) {
      s.anchored = true;
      s.col1 = Get16(s.art.data() + a + 2) + 1;
      s.row1 = Get16(s.art.data() + a + 6) + 1;
      s.col2 = Get16(s.art.data() + a + 10) + 1;
      s.row2 = Get16(s.art.data() + a + 14) + 1;
    }
    f.drawings.push_back(std::move(s));
  }
  art_.clear();
  pending_.clear();
}

RecordBytes DrawingGroupCarried(const Bytes& group) {
  RecordBytes kept;
  if (group.empty()) return kept;
  ArtHeader top = HeaderAt(group, 0, group.size());
  if (top.type != 0xF000) ThrowDamaged("the drawing group does not start with its header");
  for (std::size_t at = top.body; at < top.end;) {
    ArtHeader h = HeaderAt(group, at, top.end);
    if (h.type != 0xF006)
      kept.insert(kept.end(), group.begin() + static_cast<std::ptrdiff_t>(at),
                  group.begin() + static_cast<std::ptrdiff_t>(h.end));
    at = h.end;
  }
  return kept;
}

// --- Writing ------------------------------------------------------------------------------------

namespace {

void Header(Bytes& b, unsigned ver, unsigned inst, unsigned type, std::size_t len) {
  Put16(b, (ver & 0xF) | (inst << 4));
  Put16(b, type);
  Put32(b, static_cast<std::uint32_t>(len));
}

void WriteCarried(RecordWriter& w, const CarriedRecord& r) {
  // As the file split it, where the pieces fit; else as the writer splits records.
  std::size_t from = 0;
  bool fits = true;
  for (std::size_t k = 0; k <= r.breaks.size(); ++k) {
    std::size_t to = k < r.breaks.size() ? r.breaks[k] : r.body.size();
    if (to < from || to - from > w.MaxBody()) fits = false;
    from = to;
  }
  if (!fits) {
    w.Write(r.id, Bytes(r.body.begin(), r.body.end()));
    return;
  }
  Bytes& out = w.Out();
  from = 0;
  for (std::size_t k = 0; k <= r.breaks.size(); ++k) {
    std::size_t to = k < r.breaks.size() ? r.breaks[k] : r.body.size();
    Put16(out, k == 0 ? r.id : rec::kContinue);
    Put16(out, static_cast<unsigned>(to - from));
    out.insert(out.end(), r.body.begin() + static_cast<std::ptrdiff_t>(from),
               r.body.begin() + static_cast<std::ptrdiff_t>(to));
    from = to;
  }
}

}  // namespace

int DrawingShapeCount(const SheetFeatures& f, const FeatureIo& io) {
  if (!io.b8) return 0;
  int n = static_cast<int>(WritableComments(f).size());
  for (const CarriedShape& s : f.drawings) n += ShapeCount(s.art);
  return n;
}

void WriteCarriedRecord(RecordWriter& w, const CarriedRecord& r, const LinkMap& links) {
  CarriedRecord copy = r;
  RemapLinks(copy, links);
  WriteCarried(w, copy);
}

bool RefersToSheets(const std::uint8_t* tokens, std::size_t size, const std::vector<bool>& sheets) {
  LinkMap probe;
  for (std::size_t i = 0; i < sheets.size(); ++i)
    probe.externSheets.push_back(sheets[i] ? -1 : static_cast<int>(i));
  std::vector<std::uint8_t> copy(tokens, tokens + size);
  RemapTokens(copy.data(), copy.size(), probe);
  return !std::equal(copy.begin(), copy.end(), tokens);
}

void RemapNameTokens(CarriedRecord& r, std::size_t tokensAt, const LinkMap& links) {
  if (r.body.size() < 6 || tokensAt > r.body.size()) return;
  std::size_t cce = Get16(r.body.data() + 4);
  RemapTokens(r.body.data() + tokensAt, std::min(cce, r.body.size() - tokensAt), links);
}

void WriteDrawing(RecordWriter& w, const SheetFeatures& f, const FeatureIo& io,
                  const DrawingPlan& plan, const LinkMap& links) {
  if (!io.b8 || plan.shapes == 0) return;
  std::vector<const Comment*> comments = WritableComments(f);
  // Every shape numbered afresh from the plan: the group's own shape first.
  std::uint32_t spid = plan.firstSpid;
  std::unordered_map<std::uint32_t, std::uint32_t> renumbered;
  std::vector<RecordBytes> arts;
  unsigned lastObj = 0;
  std::size_t carriedBytes = 0;
  for (const CarriedShape& s : f.drawings) {
    RecordBytes a = s.art;
    std::uint32_t* next = &spid;
    Walk(a, 0, a.size(), [&](const ArtHeader& h) {
      if (h.type == 0xF00A && h.end - h.body >= 8) {
        ++*next;
        renumbered[Get32(a.data() + h.body)] = *next;
        Set32(a, h.body, *next);
      }
    });
    if (s.anchored) {
      if (std::size_t at = AnchorOf(a)) {
        auto put = [&](std::size_t off, int v, int limit) {
          Set16(a, at + off, static_cast<unsigned>(std::clamp(v - 1, 0, limit - 1)));
        };
        put(2, s.col1, kMaxCol);
        put(6, s.row1, kMaxRow);
        put(10, s.col2, kMaxCol);
        put(14, s.row2, kMaxRow);
      }
    }
    lastObj = std::max(lastObj, ObjIdOf(s));
    carriedBytes += a.size();
    arts.push_back(std::move(a));
  }
  RecordBytes rules = f.drawingRules;
  // Rules name shapes by number: connectors (three), arcs and callouts (one).
  if (!rules.empty()) {
    ArtHeader top = HeaderAt(rules, 0, rules.size());
    for (std::size_t at = top.body; at < top.end;) {
      ArtHeader h = HeaderAt(rules, at, top.end);
      auto map = [&](std::size_t off) {
        if (off + 4 > h.end) return;
        auto it = renumbered.find(Get32(rules.data() + off));
        if (it != renumbered.end()) Set32(rules, off, it->second);
      };
      if (h.type == 0xF012)
        for (std::size_t k = 1; k <= 3; ++k) map(h.body + 4 * k);
      else if (h.type == 0xF014 || h.type == 0xF017)
        map(h.body + 4);
      at = h.end;
    }
  }
  const std::uint32_t firstCommentSpid = spid + 1;
  const std::size_t groupShape = 8 + 8 + 16 + 8 + 8;
  const std::size_t spgr = groupShape + carriedBytes + comments.size() * CommentArtSize();
  const std::size_t dg = 8 + 16 + 8 + spgr + rules.size();
  Bytes pending;
  Header(pending, 0xF, 0, 0xF002, dg - 8);
  Header(pending, 0, static_cast<unsigned>(plan.drawingId), 0xF008, 8);
  Put32(pending, static_cast<std::uint32_t>(plan.shapes + 1));
  Put32(pending, plan.firstSpid + static_cast<std::uint32_t>(plan.shapes));
  Header(pending, 0xF, 0, 0xF003, spgr);
  Header(pending, 0xF, 0, 0xF004, groupShape - 8);
  Header(pending, 1, 0, 0xF009, 16);
  for (int k = 0; k < 4; ++k) Put32(pending, 0);
  Header(pending, 2, 0, 0xF00A, 8);
  Put32(pending, plan.firstSpid);
  Put32(pending, 0x0005);  // the group that holds the sheet's shapes
  for (std::size_t k = 0; k < f.drawings.size(); ++k) {
    const RecordBytes& a = arts[k];
    std::size_t from = 0;
    for (const CarriedShape::Part& p : f.drawings[k].parts) {
      std::size_t to = std::clamp<std::size_t>(p.at, from, a.size());
      pending.insert(pending.end(), a.begin() + static_cast<std::ptrdiff_t>(from),
                     a.begin() + static_cast<std::ptrdiff_t>(to));
      from = to;
      if (!pending.empty()) {
        w.Write(rec::kMsoDrawing, pending);
        pending.clear();
      }
      WriteCarriedRecord(w, p.record, links);
    }
    pending.insert(pending.end(), a.begin() + static_cast<std::ptrdiff_t>(from), a.end());
  }
  WriteCommentShapes(w, comments, pending, firstCommentSpid, lastObj + 1);
  pending.insert(pending.end(), rules.begin(), rules.end());
  if (!pending.empty()) w.Write(rec::kMsoDrawing, pending);
  WriteCommentNotes(w, comments, lastObj + 1);
}

void WriteDrawingGroup(RecordWriter& w, const std::vector<DrawingCluster>& clusters,
                       const RecordBytes& carried) {
  if (clusters.empty()) return;
  // The blocks stand in the table by number: entry k is block k + 1.
  std::uint32_t spidMax = 0, shapes = 0, blocks = 0;
  std::vector<int> drawings;
  for (const DrawingCluster& c : clusters) {
    spidMax = std::max(spidMax, c.cluster * 1024 + c.used);
    shapes += c.used;
    blocks = std::max(blocks, c.cluster);
    if (std::find(drawings.begin(), drawings.end(), c.drawingId) == drawings.end())
      drawings.push_back(c.drawingId);
  }
  Bytes dgg;
  Header(dgg, 0, 0, 0xF006, 16 + 8 * static_cast<std::size_t>(blocks));
  Put32(dgg, spidMax);
  Put32(dgg, blocks + 1);
  Put32(dgg, shapes);
  Put32(dgg, static_cast<std::uint32_t>(drawings.size()));
  for (std::uint32_t k = 1; k <= blocks; ++k) {
    auto it = std::find_if(clusters.begin(), clusters.end(),
                           [&](const DrawingCluster& c) { return c.cluster == k; });
    Put32(dgg, it == clusters.end() ? 0u : static_cast<std::uint32_t>(it->drawingId));
    Put32(dgg, it == clusters.end() ? 0u : it->used);
  }
  Bytes rest;
  if (!carried.empty()) {
    rest.assign(carried.begin(), carried.end());
  } else {
    Header(rest, 3, 3, 0xF00B, 18);
    Put16(rest, 0x00BF);
    Put32(rest, 0x00080008);
    Put16(rest, 0x0181);
    Put32(rest, 0x08000041);
    Put16(rest, 0x01C0);
    Put32(rest, 0x08000040);
    Header(rest, 0, 4, 0xF11E, 16);
    for (std::uint32_t c : {0x0800000Du, 0x0800000Cu, 0x08000017u, 0x100000F7u}) Put32(rest, c);
  }
  Bytes b;
  Header(b, 0xF, 0, 0xF000, dgg.size() + rest.size());
  b.insert(b.end(), dgg.begin(), dgg.end());
  b.insert(b.end(), rest.begin(), rest.end());
  w.Write(rec::kMsoDrawingGroup, b);
}

void ReserveCarriedDrawings(const std::vector<const CarriedRecord*>& records,
                            std::vector<DrawingCluster>& clusters) {
  // Each substream (a chart sheet, an embedded chart) holds at most one drawing of its own.
  std::vector<RecordBytes> open;
  auto reserve = [&](const RecordBytes& art) {
    if (art.empty()) return;
    int drawingId = 0;
    std::vector<std::uint32_t> spids;
    Walk(art, 0, art.size(), [&](const ArtHeader& h) {
      if (h.type == 0xF008) drawingId = static_cast<int>(h.inst);
      if (h.type == 0xF00A && h.end - h.body >= 4) spids.push_back(Get32(art.data() + h.body));
    });
    for (std::uint32_t spid : spids) {
      std::uint32_t c = spid >> 10, used = (spid & 1023) + 1;
      if (c == 0) continue;
      auto it = std::find_if(clusters.begin(), clusters.end(),
                             [&](const DrawingCluster& x) { return x.cluster == c; });
      if (it == clusters.end())
        clusters.push_back({drawingId, c, used});
      else if (it->drawingId == drawingId)
        it->used = std::max(it->used, used);
    }
  };
  for (const CarriedRecord* r : records) {
    if (r->id == rec::kBof) {
      open.emplace_back();
    } else if (r->id == rec::kEof) {
      if (!open.empty()) {
        reserve(open.back());
        open.pop_back();
      }
    } else if (r->id == rec::kMsoDrawing && !open.empty()) {
      open.back().insert(open.back().end(), r->body.begin(), r->body.end());
    }
  }
}

}  // namespace engine::xls
