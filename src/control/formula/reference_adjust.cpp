#include "control/formula/reference_adjust.h"

#include <algorithm>

#include "control/model/sheet.h"

namespace engine::formula {

namespace {

using Kind = StructureChange::Kind;

bool Vertical(Kind k) { return k == StructureChange::InsertShiftDown || k == StructureChange::DeleteShiftUp; }
bool Inserting(Kind k) {
  return k == StructureChange::InsertShiftDown || k == StructureChange::InsertShiftRight;
}

// One axis of a block shift: positions along the axis ("main") move when their cross-axis
// position lies within [cross1, cross2].
struct Axis {
  int lo, hi;        // the inserted or deleted span along the main axis
  int cross1, cross2;
  int limit;         // kMaxRow or kMaxCol along the main axis
  bool insert;
};

Axis AxisOf(const StructureChange& ch) {
  if (Vertical(ch.kind)) return {ch.row1, ch.row2, ch.col1, ch.col2, kMaxRow, Inserting(ch.kind)};
  return {ch.col1, ch.col2, ch.row1, ch.row2, kMaxCol, Inserting(ch.kind)};
}

// A single position along the main axis; false when deleted or pushed off.
bool ShiftPos(const Axis& ax, int& p) {
  int n = ax.hi - ax.lo + 1;
  if (ax.insert) {
    if (p >= ax.lo) p += n;
    return p <= ax.limit;
  }
  if (p > ax.hi) p -= n;
  else if (p >= ax.lo) return false;
  return true;
}

// A span [a, b] along the main axis; false when all of it is deleted or it is pushed off.
bool ShiftSpan(const Axis& ax, int& a, int& b) {
  int n = ax.hi - ax.lo + 1;
  if (ax.insert) {
    if (a >= ax.lo) a += n;
    if (b >= ax.lo) b += n;
    if (a > ax.limit) return false;
    b = std::min(b, ax.limit);
    return true;
  }
  if (a >= ax.lo && b <= ax.hi) return false;
  int na = a < ax.lo ? a : (a > ax.hi ? a - n : ax.lo);
  int nb = b < ax.lo ? b : (b > ax.hi ? b - n : ax.lo - 1);
  a = na;
  b = nb;
  return true;
}

// Absolute block of an area token at a position; false when off the sheet.
struct Box {
  int r1, c1, r2, c2;
};

}  // namespace

bool MapCell(const StructureChange& ch, int& row, int& col) {
  if (ch.kind == StructureChange::Move) {
    if (row >= ch.row1 && row <= ch.row2 && col >= ch.col1 && col <= ch.col2) {
      row += ch.dRow;
      col += ch.dCol;
    }
    return row >= 1 && row <= kMaxRow && col >= 1 && col <= kMaxCol;
  }
  Axis ax = AxisOf(ch);
  bool vertical = Vertical(ch.kind);
  int& main = vertical ? row : col;
  int cross = vertical ? col : row;
  if (cross < ax.cross1 || cross > ax.cross2) return true;
  return ShiftPos(ax, main);
}

namespace {

bool MoveEndpointsInBlock(const StructureChange& ch, Token& t, Box& b) {
  auto inside = [&](int r, int c) {
    return r >= ch.row1 && r <= ch.row2 && c >= ch.col1 && c <= ch.col2;
  };
  bool allRows = ch.row1 == 1 && ch.row2 == kMaxRow;
  bool allCols = ch.col1 == 1 && ch.col2 == kMaxCol;
  if (t.wholeCols) {
    // Column endpoints move with a block that spans whole columns, or when only rows move.
    for (int* c : {&b.c1, &b.c2})
      if (*c >= ch.col1 && *c <= ch.col2 && (allRows || ch.dRow == 0)) *c += ch.dCol;
  } else if (t.wholeRows) {
    for (int* r : {&b.r1, &b.r2})
      if (*r >= ch.row1 && *r <= ch.row2 && (allCols || ch.dCol == 0)) *r += ch.dRow;
  } else {
    if (inside(b.r1, b.c1)) b.r1 += ch.dRow, b.c1 += ch.dCol;
    if (inside(b.r2, b.c2)) b.r2 += ch.dRow, b.c2 += ch.dCol;
  }
  return true;
}

bool ShiftArea(const StructureChange& ch, const Token& t, Box& b) {
  Axis ax = AxisOf(ch);
  bool vertical = Vertical(ch.kind);
  int& a1 = vertical ? b.r1 : b.c1;
  int& a2 = vertical ? b.r2 : b.c2;
  int x1 = vertical ? b.c1 : b.r1;
  int x2 = vertical ? b.c2 : b.r2;
  // Whole columns do not move with rows, whole rows not with columns.
  if ((vertical && t.wholeCols) || (!vertical && t.wholeRows)) return true;
  if (x1 < ax.cross1 || x2 > ax.cross2) return true;  // only partly beside the change
  return ShiftSpan(ax, a1, a2);
}

void Store(RefPoint& p, int row, int col, int baseRow, int baseCol) {
  p.row = p.rowRel ? row - baseRow : row;
  p.col = p.colRel ? col - baseCol : col;
}

void MakeRefError(Token& t) {
  std::uint32_t sheet = t.sheet;
  Token e;
  e.kind = TokenKind::RefError;
  e.sheet = sheet;
  t = e;
}

}  // namespace

bool AdjustReferences(std::vector<Token>& tokens, const StructureChange& ch,
                      std::uint32_t homeSheet, int oldRow, int oldCol, int newRow, int newCol) {
  bool changed = false;
  bool moved = oldRow != newRow || oldCol != newCol;
  for (Token& t : tokens) {
    if (t.kind != TokenKind::Ref && t.kind != TokenKind::Area) continue;
    if (t.sheetGone) continue;
    std::uint32_t target = t.sheet ? t.sheet : homeSheet;
    // A reference over a range of sheets stays where it is: rows and columns moved on one of
    // its sheets did not move on the others.
    bool follows = target != 0 && target == ch.sheetId && t.sheet2 == 0;
    if (!follows && !moved) continue;
    Token before = t;
    if (t.kind == TokenKind::Ref) {
      int r, c;
      if (!ResolvePoint(t.a, oldRow, oldCol, r, c)) continue;  // already #REF!
      if (follows && !MapCell(ch, r, c)) {
        MakeRefError(t);
      } else {
        Store(t.a, r, c, newRow, newCol);
      }
    } else {
      Box b;
      int ra, ca, rb, cb;
      bool okA = ResolvePoint(t.a, oldRow, oldCol, ra, ca);
      bool okB = ResolvePoint(t.b, oldRow, oldCol, rb, cb);
      if (t.wholeCols) ra = 1, rb = kMaxRow, okA = okA || (ca >= 1 && ca <= kMaxCol),
                       okB = okB || (cb >= 1 && cb <= kMaxCol);
      if (t.wholeRows) ca = 1, cb = kMaxCol, okA = okA || (ra >= 1 && ra <= kMaxRow),
                       okB = okB || (rb >= 1 && rb <= kMaxRow);
      if (!okA || !okB) continue;
      // Normalise so that a is the top-left corner, keeping each coordinate's anchor.
      if (ra > rb) std::swap(ra, rb), std::swap(t.a.rowRel, t.b.rowRel);
      if (ca > cb) std::swap(ca, cb), std::swap(t.a.colRel, t.b.colRel);
      b = {ra, ca, rb, cb};
      bool alive = true;
      if (follows) {
        if (ch.kind == StructureChange::Move) {
          MoveEndpointsInBlock(ch, t, b);
          if (b.r1 > b.r2) std::swap(b.r1, b.r2), std::swap(t.a.rowRel, t.b.rowRel);
          if (b.c1 > b.c2) std::swap(b.c1, b.c2), std::swap(t.a.colRel, t.b.colRel);
        } else {
          alive = ShiftArea(ch, t, b);
        }
      }
      if (!alive) {
        MakeRefError(t);
      } else {
        Store(t.a, b.r1, b.c1, newRow, newCol);
        Store(t.b, b.r2, b.c2, newRow, newCol);
      }
    }
    if (!(t == before)) changed = true;
  }
  return changed;
}

bool DropSheetReferences(std::vector<Token>& tokens, std::uint32_t sheetId, std::uint32_t nextId,
                         std::uint32_t previousId) {
  bool changed = false;
  for (Token& t : tokens) {
    if (!t.IsReference() || t.sheetGone) continue;
    if (t.sheet2 != 0 && (t.sheet == sheetId || t.sheet2 == sheetId)) {
      // A range of sheets loses an end: it now starts (ends) at the neighbour inside it.
      if (t.sheet == sheetId)
        t.sheet = nextId;
      else
        t.sheet2 = previousId;
      if (t.sheet == t.sheet2 || !t.sheet || !t.sheet2) t.sheet2 = 0;
      if (!t.sheet) t.sheetGone = true;
      changed = true;
    } else if (t.sheet == sheetId) {
      t.sheetGone = true;
      changed = true;
    }
  }
  return changed;
}

bool OrderSheetRange(std::vector<Token>& tokens, const std::function<int(std::uint32_t)>& index) {
  bool changed = false;
  for (Token& t : tokens)
    if (t.IsReference() && t.sheet2 != 0 && !t.sheetGone && index(t.sheet) > index(t.sheet2)) {
      std::swap(t.sheet, t.sheet2);
      changed = true;
    }
  return changed;
}

}  // namespace engine::formula
