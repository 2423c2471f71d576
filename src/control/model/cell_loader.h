#pragma once
// Placing cells read from a file straight into a sheet (rows and columns 1-based). File readers
// fill a fresh workbook this way and rebuild its formulas once everything is in, so nothing
// here tells the formula engine.

#include <cmath>
#include <memory>
#include <string>

#include "control/formula/formula_cell.h"
#include "control/model/sheet.h"
#include "control/model/value.h"

namespace engine {

inline CellSlot& LoadSlot(Sheet& sheet, int row, int col, std::uint16_t style) {
  CellSlot& s = sheet.Col(col).At(row);
  sheet.ClearContent(s);
  s.style = style;
  return s;
}

inline void LoadStyle(Sheet& sheet, int row, int col, std::uint16_t style) {
  if (style) sheet.Col(col).At(row).style = style;
}

inline void LoadNumber(Sheet& sheet, int row, int col, std::uint16_t style, double d) {
  CellSlot& s = LoadSlot(sheet, row, col, style);
  s.kind = CellKind::Number;
  s.number = std::isfinite(d) ? d : 0;
  sheet.NoteContent(row, col);
}

inline void LoadText(Sheet& sheet, int row, int col, std::uint16_t style, std::string text) {
  CellSlot& s = LoadSlot(sheet, row, col, style);
  s.kind = CellKind::Text;
  s.ref = sheet.Texts().Add(std::move(text));
  sheet.NoteContent(row, col);
}

inline void LoadValue(Sheet& sheet, int row, int col, std::uint16_t style, const Value& v) {
  switch (v.kind) {
    case ValueKind::Number: return LoadNumber(sheet, row, col, style, v.number);
    case ValueKind::Text: return LoadText(sheet, row, col, style, v.text);
    case ValueKind::Empty: return LoadStyle(sheet, row, col, style);
    case ValueKind::Logical:
    case ValueKind::Error: {
      CellSlot& s = LoadSlot(sheet, row, col, style);
      s.kind = v.IsLogical() ? CellKind::Logical : CellKind::Error;
      s.small = v.IsLogical() ? v.logical : static_cast<std::uint8_t>(v.error);
      sheet.NoteContent(row, col);
      return;
    }
  }
}

inline void LoadFormula(Sheet& sheet, int row, int col, std::unique_ptr<FormulaCell> formula) {
  const CellSlot* old = sheet.Find(row, col);
  CellSlot& s = LoadSlot(sheet, row, col, old ? old->style : 0);
  s.kind = CellKind::Formula;
  s.ref = sheet.Formulas().Add(std::move(formula));
  sheet.NoteContent(row, col);
}

}  // namespace engine
