#pragma once
// Conditional-format rules between the two forms: the engine keeps a rule as the body of the
// workbook record that holds it (condition, operator, format block, formulas); a package holds
// a cfRule element whose format is a differential format of the styles part.

#include <string>
#include <string_view>
#include <vector>

#include "control/model/workbook.h"
#include "control/xlsx/xlsx_sheet_features.h"

namespace engine::xlsx {

// A rule of a package as the engine keeps it. `base` is the first range of the format: the
// cell its relative references start from. False when the rule is of a kind the record form
// cannot express (colour scales, data bars, top ten and the like) or its formulas cannot be
// encoded.
bool RuleToRecord(const Workbook& book, const CellRange& base, std::string_view type,
                  std::string_view op, const std::vector<std::string>& formulas,
                  const DiffFormat& format, RecordBytes& out);

struct PackageRule {
  std::string type, op;  // "cellIs" with an operator, or "expression"
  std::vector<std::string> formulas;
  DiffFormat format;
};
// A kept rule as a package's rule; false when the record is damaged or its formulas cannot
// be written as text.
bool RecordToRule(const Workbook& book, const CellRange& base, const RecordBytes& record,
                  PackageRule& out);

// The palette entry nearest a colour (tab colours and conditional formats name entries).
unsigned NearestPaletteIndex(std::uint32_t bgr);

}  // namespace engine::xlsx
