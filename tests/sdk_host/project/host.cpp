// A host of the data-table SDK: it sees only the installed headers and library. It makes a
// table without a parent window, gives it parameters, writes values of every kind and reads
// them back, manages sheets, vetoes deletions through its sink, and ends the table.

#include <datatable/datatable.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

int g_failures = 0;

void Check(bool ok, const char* what, int line) {
  if (!ok) {
    ++g_failures;
    std::fprintf(stderr, "host.cpp:%d: check failed: %s\n", line, what);
  }
}
#define CHECK(expr) Check((expr), #expr, __LINE__)

template <typename A, typename B>
void CheckEq(const A& actual, const B& expected, const char* what, int line) {
  if (!(actual == expected)) {
    ++g_failures;
    std::fprintf(stderr, "host.cpp:%d: %s: got \"%s\", expected \"%s\"\n", line, what,
                 std::to_string(actual).c_str(), std::to_string(expected).c_str());
  }
}
void CheckEq(const CString& actual, const char* expected, const char* what, int line) {
  if (actual != expected) {
    ++g_failures;
    std::fprintf(stderr, "host.cpp:%d: %s: got \"%s\", expected \"%s\"\n", line, what,
                 actual.c_str(), expected);
  }
}
#define CHECK_EQ(actual, expected) CheckEq((actual), (expected), #actual, __LINE__)

// Refuses every parameter and sheet deletion, and counts what it was told.
class VetoingSink : public CZATNotify {
 public:
  ZAT_NTFY_RC OnDeleteArg(CStringList& names) override {
    deletedNames.insert(deletedNames.end(), names.begin(), names.end());
    return ZAT_NTFY_CANCEL;
  }
  ZAT_NTFY_RC OnDeleteSheets(long, long) override {
    ++sheetQuestions;
    return ZAT_NTFY_CANCEL;
  }
  void OnModified() override { ++modifications; }
  void OnCloseDone() override { closed = true; }

  std::vector<CString> deletedNames;
  int sheetQuestions = 0;
  int modifications = 0;
  bool closed = false;
};

CString ValueOf(CZAT& table, long row, const char* name, long sheet = 0) {
  CString value = "<unset>";
  if (table.GetArgValue(row, name, value, sheet) != 0) return "<error>";
  return value;
}

}  // namespace

int main() {
  std::vector<std::string> boxes;
  datatable::SetHeadlessMessageBoxHandler([&](const std::string& text, unsigned) {
    boxes.push_back(text);
    return 1;
  });

  CZAT_PSF1* impl = new CZAT_PSF1(nullptr, "", CZAT::FILE_TYPE_NONE, nullptr, false, true, true);
  CZAT& table = *impl;
  CHECK_EQ(table.IsValid(), 1);
  CHECK_EQ(table.GetDirtyBit(), 0);

  VetoingSink sink;
  CHECK_EQ(impl->RegisterNotify(&sink), 1);

  // Parameters.
  for (const char* p : {"Name", "Amount", "Price", "Due", "Total"}) {
    CString name = p;
    CHECK_EQ(table.AppendArg(name, CZAT::null_cstring_ref, 0, nullptr, 1), 0);
  }
  long args = 0;
  CHECK_EQ(table.GetMaxArgs(args), 0);
  CHECK_EQ(args, 5L);
  const CZATArgList& header = table.GetHeaderArgList(0);
  CHECK_EQ(static_cast<long>(header.size()), 5L);
  CHECK_EQ(header.front(), "Name");

  // Values of every kind, written as a test would and read back as displayed.
  CHECK_EQ(table.AddArgValue(1, "Name", "Widget, large", 0, nullptr), 0);
  CHECK_EQ(table.AddArgValue(1, "Amount", "7", 0, nullptr), 0);
  CHECK_EQ(table.AddArgValue(1, "Price", "12.50", 0, nullptr), 0);
  CHECK_EQ(table.AddArgValue(2, "Price", "3.25", 0, nullptr), 0);
  CHECK_EQ(table.AddArgValue(1, "Due", "12/25/2024", 0, nullptr), 0);
  CHECK_EQ(table.SetArgFormula(1, "Total", "2*3+1", 0), 0);  // given without its "="
  CHECK_EQ(table.SetArgFormula(2, "Total", "B1*2", 0), 0);     // twice Amount of row 1
  CHECK_EQ(ValueOf(table, 1, "Name"), "Widget, large");
  CHECK_EQ(ValueOf(table, 1, "Amount"), "7");
  CHECK_EQ(ValueOf(table, 1, "Price"), "12.50");  // trailing zero kept
  CHECK_EQ(ValueOf(table, 2, "Price"), "3.25");
  CHECK_EQ(ValueOf(table, 1, "Due"), "12/25/2024");
  CHECK_EQ(ValueOf(table, 1, "Total"), "7");
  CHECK_EQ(ValueOf(table, 2, "Total"), "14");
  CHECK_EQ(table.AddArgValue(1, "Amount", "8", 0, nullptr), 0);
  CHECK_EQ(ValueOf(table, 2, "Total"), "16");  // recalculated
  CHECK(table.IsFormula(1, "Total", 0));
  CHECK(!table.IsFormula(1, "Amount", 0));
  CString formula;
  CHECK_EQ(table.GetArgFormula(1, "Total", formula, 0), 0);
  CHECK(formula.find("2*3+1") != CString::npos);
  long rows = 0;
  CHECK_EQ(table.GetMaxRows(rows, 0), 0);
  CHECK_EQ(rows, 2L);
  CHECK_EQ(ValueOf(table, 1, "Missing"), "<error>");
  CHECK(table.GetDirtyBit() == 1);
  CHECK(sink.modifications > 0);

  // Sheets.
  table.AppendSheets(2);
  CHECK_EQ(table.GetNumSheets(), 3L);
  CHECK_EQ(table.SetSheetName(2, "Second"), 0);
  CHECK_EQ(table.SetSheetName(3, "Second"), -6);
  CHECK_EQ(table.GetSheetIndex("Second"), 2L);
  const CStringList& sheets = table.GetSheetsList();
  CHECK_EQ(static_cast<long>(sheets.size()), 3L);
  CHECK_EQ(*std::next(sheets.begin()), "Second");
  CHECK_EQ(table.SetSheet("Second"), 0);
  CString onSecond = "Region";
  CHECK_EQ(table.AppendArg(onSecond, "North", 0, nullptr, 1), 0);
  CHECK_EQ(table.SetSheet(1L), 0);
  CHECK_EQ(ValueOf(table, 1, "Region", 2), "North");
  CHECK_EQ(table.GetSheet(), 1L);
  CHECK_EQ(table.InsertSheets(0L, 1), -1);

  // The sink refuses deletions: nothing goes.
  CHECK_EQ(table.DelArg(CString("Amount")), -3);
  CHECK_EQ(sink.deletedNames.size(), static_cast<size_t>(1));
  CHECK_EQ(ValueOf(table, 1, "Amount"), "8");
  CHECK_EQ(table.DeleteSheets("Second", 1), 0);
  CHECK_EQ(sink.sheetQuestions, 1);
  CHECK_EQ(table.GetNumSheets(), 3L);

  // The engine's exception type is visible to the host.
  bool caught = false;
  try {
    table.SetSheetName(3, "");
  } catch (const datatable::EngineError& e) {
    caught = !e.Description().empty();
  }
  CHECK(caught);

  // The end: the table deletes itself.
  CHECK(table.ViewOpen() == 0);
  CHECK(table.IsViewOpened() == 1);
  CHECK(impl->Destroy());
  CHECK(sink.closed);
  CHECK(boxes.empty());

  if (g_failures == 0) std::printf("sdk host: all checks passed\n");
  return g_failures == 0 ? 0 : 1;
}
