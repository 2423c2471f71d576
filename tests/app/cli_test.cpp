// The command line: row lists, the run output, and readable failures.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli.h"
#include "corpus_support.h"

namespace {

struct Result {
  int status;
  std::string out;
  std::string err;
};

Result Invoke(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = dtapp::Main(args, out, err);
  return {status, out.str(), err.str()};
}

bool OneLine(const std::string& text) {
  return !text.empty() && text.find('\n') == text.size() - 1;
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ScratchFolder();
    std::ofstream(dir_ + "/t.txt") << "User\tAge\tNote\nann\t31\ta\tb\nbob\t45\t\ncid\t27\tx\n"
                                      "dan\t60\ty\n";
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string dir_;
};

}  // namespace

TEST(RowList, RowsAndRangesParse) {
  std::string error;
  auto rows = dtapp::ParseRowList("2-5,9", error);
  ASSERT_TRUE(rows);
  ASSERT_EQ(rows->size(), 2u);
  EXPECT_EQ((*rows)[0].first, 2);
  EXPECT_EQ((*rows)[0].last, 5);
  EXPECT_EQ((*rows)[1].first, 9);
  EXPECT_EQ((*rows)[1].last, 9);
  for (const char* bad : {"", "0", "5-2", "2,,3", "a", "-3", "3-", "1-2-3", "99999999999", "2 "}) {
    EXPECT_FALSE(dtapp::ParseRowList(bad, error)) << bad;
    EXPECT_FALSE(error.empty());
  }
}

TEST_F(CliTest, RunPrintsNamesThenOneLinePerRunRow) {
  Result r = Invoke({"run", dir_ + "/t.txt"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "User\tAge\tNote\tD\nann\t31\ta\tb\nbob\t45\t\t\ncid\t27\tx\t\ndan\t60\ty\t\n");

  r = Invoke({"run", dir_ + "/t.txt", "--rows", "2-3,1", "--sheet", "1"});
  ASSERT_EQ(r.status, 0) << r.err;
  // In the order asked for.
  EXPECT_EQ(r.out, "User\tAge\tNote\tD\nbob\t45\t\t\ncid\t27\tx\t\nann\t31\ta\tb\n");

  r = Invoke({"run", dir_ + "/t.txt", "--rows", "9"});  // beyond the sheet: no run rows
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "User\tAge\tNote\tD\n");
}

TEST_F(CliTest, FailuresAreOneReadableLineWithAStatus) {
  Result r = Invoke({"run", dir_ + "/t.txt", "--rows", "9", "--sheet", "1"});
  EXPECT_EQ(r.status, dtapp::kExitFailed);
  EXPECT_TRUE(OneLine(r.err)) << r.err;

  r = Invoke({"run", dir_ + "/t.txt", "--sheet", "Nope"});
  EXPECT_EQ(r.status, dtapp::kExitFailed);
  EXPECT_NE(r.err.find("Nope"), std::string::npos);

  r = Invoke({"dump", dir_ + "/missing.xls"});
  EXPECT_EQ(r.status, dtapp::kExitFailed);
  EXPECT_TRUE(OneLine(r.err)) << r.err;
  EXPECT_TRUE(r.out.empty());

  std::ofstream(dir_ + "/bad.xls") << std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 broken", 15);
  r = Invoke({"dump", dir_ + "/bad.xls"});
  EXPECT_EQ(r.status, dtapp::kExitFailed);
  EXPECT_TRUE(OneLine(r.err)) << r.err;

  r = Invoke({"convert", dir_ + "/t.txt", dir_ + "/out.doc"});
  EXPECT_EQ(r.status, dtapp::kExitUsage);
  EXPECT_FALSE(std::filesystem::exists(dir_ + "/out.doc"));
  r = Invoke({"convert", dir_ + "/t.txt", dir_ + "/no-folder/out.xls"});
  EXPECT_EQ(r.status, dtapp::kExitFailed);
  EXPECT_TRUE(OneLine(r.err)) << r.err;

  for (const auto& args : std::vector<std::vector<std::string>>{
           {}, {"frobnicate"}, {"run"}, {"run", "a", "b"}, {"run", "a", "--rows"},
           {"run", "a", "--rows", "x"}, {"dump", "a", "--type", "3"}, {"convert", "a", "b", "--type", "5"}}) {
    r = Invoke(args);
    EXPECT_EQ(r.status, dtapp::kExitUsage) << (args.empty() ? "" : args[0]);
    EXPECT_TRUE(OneLine(r.err)) << r.err;
  }
}

TEST_F(CliTest, HelpExplainsEveryCommand) {
  Result r = Invoke({"--help"});
  EXPECT_EQ(r.status, 0);
  for (const char* word :
       {"run FILE", "--sheet", "--rows", "--shard K/N", "--format", "dump FILE", "convert IN OUT",
        "--type", "--drop-unsupported", "edit [FILE]", "print FILE [--sheet N|NAME] -o OUT.pdf"})
    EXPECT_NE(r.out.find(word), std::string::npos) << word;
}

TEST_F(CliTest, PrintNeedsOneFileAndAnOutputBeforeItStartsThePrinter) {
  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {"print", dir_ + "/t.txt"},
           {"print", "-o", dir_ + "/o.pdf"},
           {"print", dir_ + "/t.txt", "-o"},
           {"print", dir_ + "/t.txt", "--sheet"},
           {"print", "a", "b", "-o", dir_ + "/o.pdf"},
           {"print", dir_ + "/t.txt", "--rows", "1", "-o", "x"}}) {
    Result r = Invoke(bad);
    EXPECT_EQ(r.status, dtapp::kExitUsage) << bad.size();
    EXPECT_TRUE(OneLine(r.err)) << r.err;
  }
}

TEST_F(CliTest, EditTakesAtMostOneFile) {
  Result r = Invoke({"edit", dir_ + "/t.txt", dir_ + "/u.txt"});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(OneLine(r.err)) << r.err;
}

TEST_F(CliTest, ConvertChoosesTheFormatFromTheOutputName) {
  ASSERT_EQ(Invoke({"convert", dir_ + "/t.txt", dir_ + "/t.xls"}).status, 0);
  EXPECT_EQ(ReadText(dir_ + "/t.xls").substr(0, 4), "\xD0\xCF\x11\xE0");
  ASSERT_EQ(Invoke({"convert", dir_ + "/t.xls", dir_ + "/back.txt"}).status, 0);
  Result a = Invoke({"run", dir_ + "/t.txt"});
  Result b = Invoke({"run", dir_ + "/back.txt"});
  EXPECT_EQ(a.out, b.out);
}

// An .xlsx with a chart converted to .xls: refused with a message naming the chart and the
// flag that allows it, no file left behind; with the flag, the values arrive without it.
TEST_F(CliTest, ConvertToXlsRefusesWhatOnlyXlsxHoldsUnlessAskedToDropIt) {
  const std::string book = dir_ + "/chart.xlsx", xls = dir_ + "/chart.xls";
  std::ofstream(dir_ + "/make.py")
      << "import sys\nfrom openpyxl import Workbook\nfrom openpyxl.chart import BarChart, "
         "Reference\nwb = Workbook(); ws = wb.active\nws.append(['User', 'Age'])\n"
         "for i in range(4): ws.append(['u%d' % i, 20 + i])\nc = BarChart()\n"
         "c.add_data(Reference(ws, min_col=2, min_row=1, max_row=5), titles_from_data=True)\n"
         "ws.add_chart(c, 'D2')\nwb.save(sys.argv[1])\n";
  ASSERT_EQ(std::system(("/usr/bin/python3 " + dir_ + "/make.py " + book).c_str()), 0);
  Result r = Invoke({"convert", book, xls});
  EXPECT_EQ(r.status, dtapp::kExitFailed);
  EXPECT_NE(r.err.find("charts"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("--drop-unsupported"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(xls));
  r = Invoke({"convert", book, xls, "--drop-unsupported"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Invoke({"run", xls}).out, Invoke({"run", book}).out);
  // Text holds the values by definition: no refusal.
  EXPECT_EQ(Invoke({"convert", book, dir_ + "/chart.txt"}).status, 0);
}

TEST_F(CliTest, ConvertToXlsxRefusesWhatOnlyXlsHoldsUnlessAskedToDropIt) {
  // Chart sheets among the worksheets: a package cannot carry them.
  const std::string book = std::string(DT_CORPUS_DIR) + "/real-xls/poi-12843-1.xls";
  const std::string xlsx = dir_ + "/charts.xlsx";
  Result r = Invoke({"convert", book, xlsx});
  EXPECT_EQ(r.status, dtapp::kExitFailed);
  EXPECT_NE(r.err.find("chart sheets"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("--drop-unsupported"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(xlsx));
  r = Invoke({"convert", book, xlsx, "--drop-unsupported"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Invoke({"run", xlsx}).out, Invoke({"run", book}).out);
  // A plain .xls converts without a word.
  ASSERT_EQ(Invoke({"convert", dir_ + "/t.txt", dir_ + "/t.xls"}).status, 0);
  EXPECT_EQ(Invoke({"convert", dir_ + "/t.xls", dir_ + "/t.xlsx"}).status, 0);
}

TEST(RowList, ShardsParse) {
  std::string error;
  auto shard = dtapp::ParseShard("2/7", error);
  ASSERT_TRUE(shard);
  EXPECT_EQ(shard->index, 2);
  EXPECT_EQ(shard->count, 7);
  EXPECT_TRUE(dtapp::ParseShard("1/1", error));
  for (const char* bad : {"", "/", "0/3", "4/3", "3", "1/0", "-1/2", "1/-2", "a/b", "1/2/3", " 1/2",
                          "1/99999999999"}) {
    EXPECT_FALSE(dtapp::ParseShard(bad, error)) << bad;
    EXPECT_FALSE(error.empty());
  }
}

TEST_F(CliTest, ShardsSplitTheWholeRunByPosition) {
  // Two sheets in one run: the workbook form keeps both.
  ASSERT_EQ(Invoke({"convert", dir_ + "/t.txt", dir_ + "/t.xls"}).status, 0);
  Result whole = Invoke({"run", dir_ + "/t.txt"});
  ASSERT_EQ(whole.status, 0);
  Result r = Invoke({"run", dir_ + "/t.txt", "--shard", "2/3"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "User\tAge\tNote\tD\nbob\t45\t\t\n");
  r = Invoke({"run", dir_ + "/t.txt", "--shard", "1/1"});
  EXPECT_EQ(r.out, whole.out);
  // Positions count the requested rows in the order asked for.
  r = Invoke({"run", dir_ + "/t.txt", "--rows", "4,1-2", "--shard", "1/2"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "User\tAge\tNote\tD\ndan\t60\ty\t\nbob\t45\t\t\n");
  r = Invoke({"run", dir_ + "/t.txt", "--shard", "5/9"});  // no row in this shard
  EXPECT_EQ(r.out, "User\tAge\tNote\tD\n");

  for (const char* bad : {"0/2", "3/2", "x", "2"}) {
    r = Invoke({"run", dir_ + "/t.txt", "--shard", bad});
    EXPECT_EQ(r.status, dtapp::kExitUsage) << bad;
    EXPECT_TRUE(r.out.empty());
    EXPECT_TRUE(OneLine(r.err)) << r.err;
  }
  EXPECT_EQ(Invoke({"run", dir_ + "/t.txt", "--shard"}).status, dtapp::kExitUsage);
  EXPECT_EQ(Invoke({"dump", dir_ + "/t.txt", "--shard", "1/2"}).status, dtapp::kExitUsage);
}

TEST_F(CliTest, FormatsWriteTheSameRowsAsCsvAndJson) {
  std::ofstream(dir_ + "/q.txt") << "Name\tNote\nann\t\"a, b\"\ncid\tsay \"hi\"\n";
  Result tsv = Invoke({"run", dir_ + "/q.txt", "--format", "tsv"});
  ASSERT_EQ(tsv.status, 0) << tsv.err;
  EXPECT_EQ(tsv.out, Invoke({"run", dir_ + "/q.txt"}).out);
  EXPECT_EQ(tsv.out, "Name\tNote\nann\ta, b\ncid\tsay \"hi\"\n");

  Result csv = Invoke({"run", dir_ + "/q.txt", "--format", "csv"});
  ASSERT_EQ(csv.status, 0) << csv.err;
  EXPECT_EQ(csv.out, "Name,Note\r\nann,\"a, b\"\r\ncid,\"say \"\"hi\"\"\"\r\n");

  Result json = Invoke({"run", dir_ + "/q.txt", "--format", "json", "--rows", "2"});
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(json.out,
            "{\"file\": \"q.txt\", \"sheets\": [\n {\"name\": \"Sheet1\", \"parameters\": "
            "[\"Name\", \"Note\"], \"rows\": [\n  {\"row\": 2, \"values\": [\"cid\", "
            "\"say \\\"hi\\\"\"]}]}\n]}\n");
  json = Invoke({"run", dir_ + "/q.txt", "--format", "json", "--shard", "3/3"});
  EXPECT_NE(json.out.find("\"rows\": []}"), std::string::npos) << json.out;

  for (const char* bad : {"TSV", "xml", ""}) {
    Result r = Invoke({"run", dir_ + "/q.txt", "--format", bad});
    EXPECT_EQ(r.status, dtapp::kExitUsage) << bad;
    EXPECT_TRUE(r.out.empty());
  }
}
