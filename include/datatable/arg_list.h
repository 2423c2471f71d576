#pragma once
// CZATArgList: an ordered list of parameter names (column order). The host builds one to
// describe the parameters a new table should have, and receives one from GetHeaderArgList.

#include "datatable/export.h"
#include "datatable/strings.h"

class DATATABLE_API CZATArgList : public CStringList {
 public:
  CZATArgList() = default;
  CZATArgList(std::initializer_list<CString> names) : CStringList(names) {}
  virtual ~CZATArgList() = default;
  CZATArgList(const CZATArgList&) = default;
  CZATArgList& operator=(const CZATArgList&) = default;
};
