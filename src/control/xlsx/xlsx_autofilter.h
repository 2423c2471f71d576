#pragma once
// Autofilter criteria between the two forms: the engine keeps a column's criteria as the body
// of the workbook record that holds them (the column, how two conditions join, top-N, and two
// conditions each with an operator and a number or text); a package holds a filterColumn
// element with custom filters, a list of values or a top-ten rule.

#include <string>
#include <vector>

#include "control/sheet_features.h"

namespace engine::xlsx {

struct FilterColumn {
  int column = 0;  // from the filter's first column
  // Custom filters: operator ("equal", "greaterThan", …) and value, joined by and/or.
  struct Condition {
    std::string op, value;
  };
  std::vector<Condition> conditions;
  bool joinAnd = false;
  // A list of values shown (at most two travel), or blanks.
  std::vector<std::string> values;
  bool blank = false;
  bool isList = false;
  // Top or bottom N (items or percent).
  bool topN = false, top = true, percent = false;
  double topValue = 10;
};

// False when the criteria cannot be held by the record (more than two values, filters by
// colour or date groups and the like).
bool FilterToRecord(const FilterColumn& f, RecordBytes& out);
// The filterColumn element of a kept record; empty when the record is damaged or empty.
std::string RecordToFilterXml(const RecordBytes& record);

}  // namespace engine::xlsx
