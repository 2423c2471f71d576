// Builds the example table examples/login_tests.xls through the table SDK, the way a host
// would: three sheets of parameters with texts, numbers, currency, percentages, dates,
// logical values and formulas (one reaching into another sheet).
//
//   make_example OUT.xls

#include <cstdio>
#include <string>
#include <vector>

#include "datatable/czat_psf1.h"

namespace {

struct Column {
  std::string name;
  std::vector<std::string> values;  // "=..." is a formula
};

bool FillSheet(CZAT_PSF1& table, long sheet, const char* sheetName,
               const std::vector<Column>& columns) {
  if (table.SetSheetName(sheet, sheetName) != 0 || table.SetSheet(sheet) != 0) return false;
  for (const Column& column : columns) {
    CString name = column.name;
    if (table.AppendArg(name, CZAT::null_cstring_ref, 0, nullptr, 1) != 0) return false;
    for (std::size_t i = 0; i < column.values.size(); ++i) {
      const long row = static_cast<long>(i + 1);
      const std::string& value = column.values[i];
      const int r = value.rfind('=', 0) == 0
                        ? table.SetArgFormula(row, name, value.substr(1), sheet)
                        : table.AddArgValue(row, name, value, 0, nullptr);
      if (r != 0) {
        std::fprintf(stderr, "make_example: %s!%s row %ld: %s refused (%d)\n", sheetName,
                     name.c_str(), row, value.c_str(), r);
        return false;
      }
    }
  }
  return true;
}

std::string Row(int r) { return std::to_string(r); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_example OUT.xls\n");
    return 2;
  }
  const char* users[] = {"alice", "bob", "carol", "dave", "eve", "frank", "grace", "heidi",
                         "ivan", "judy", "mallory", "niaj", "olivia", "peggy", "rupert",
                         "sybil", "trent", "victor", "walter", "xena", "yves", "zoe",
                         "arthur", "bea", "conrad", "dora", "emil", "fay", "gus", "hana"};
  const int logins = 30;
  Column user{"UserName", {}}, password{"Password", {}}, age{"Age", {}}, start{"StartDate", {}},
      limit{"Limit", {}}, rate{"Rate", {}}, active{"Active", {}}, label{"Label", {}};
  for (int i = 0; i < logins; ++i) {
    const int r = i + 1;
    user.values.push_back(users[i]);
    password.values.push_back("pw" + std::to_string(1000 + 37 * i));
    age.values.push_back(std::to_string(19 + (i * 7) % 50));
    start.values.push_back(std::to_string(1 + i % 12) + "/" + std::to_string(1 + (i * 3) % 28) +
                           "/" + std::to_string(2015 + i % 10));
    limit.values.push_back("$" + std::to_string(500 + 125 * i) + ".50");
    rate.values.push_back(std::to_string((i * 13) % 100) + "%");
    active.values.push_back(i % 3 == 0 ? "FALSE" : "TRUE");
    label.values.push_back("=A" + Row(r) + "&\"-\"&C" + Row(r));
  }

  const int orders = 24;
  Column id{"OrderId", {}}, customer{"Customer", {}}, quantity{"Quantity", {}},
      price{"UnitPrice", {}}, total{"Total", {}}, ordered{"Ordered", {}}, express{"Express", {}};
  for (int i = 0; i < orders; ++i) {
    const int r = i + 1;
    id.values.push_back("ORD-" + std::to_string(5001 + i));
    customer.values.push_back(users[(i * 5) % logins]);
    quantity.values.push_back(std::to_string(1 + (i * 4) % 9));
    price.values.push_back(std::to_string(3 + (i * 11) % 40) + ".25");
    total.values.push_back("=C" + Row(r) + "*D" + Row(r));
    ordered.values.push_back("3/" + std::to_string(1 + i) + "/2024");
    express.values.push_back(i % 4 == 0 ? "TRUE" : "FALSE");
  }

  Column key{"Setting", {"Server", "Port", "Timeout", "Orders", "OrderSum", "Checked"}};
  Column value{"Value",
               {"test.example.org", "8443", "30", "=COUNTA(Orders!A1:A" + Row(orders) + ")",
                "=SUM(Orders!E1:E" + Row(orders) + ")", "6/30/2024"}};

  CZAT_PSF1* table =
      new CZAT_PSF1(nullptr, CString(), CZAT::FILE_TYPE_NONE, nullptr, false, false, true);
  table->AppendSheets(2);
  bool ok = FillSheet(*table, 1, "Logins", {user, password, age, start, limit, rate, active, label}) &&
            FillSheet(*table, 2, "Orders", {id, customer, quantity, price, total, ordered, express}) &&
            FillSheet(*table, 3, "Settings", {key, value});
  table->SetSheet(1L);
  if (ok && table->Save(argv[1], 1, CZAT::FILE_TYPE_EXCEL97, 0) != 0) {
    std::fprintf(stderr, "make_example: %s could not be saved\n", argv[1]);
    ok = false;
  }
  if (!table->Destroy()) delete table;
  return ok ? 0 : 1;
}
