// The reader on hand-made record streams: every cell record, shared strings split across
// CONTINUE records (with the option byte changing at the split), shared formulas, and the
// cached results of formulas.
#include <gtest/gtest.h>

#include "control/control.h"
#include "control/io/byte_io.h"
#include "control/model/workbook.h"
#include "control/xls/xls_file.h"

namespace {

using namespace engine::xls;

struct StreamBuilder {
  Bytes out;
  std::size_t sheetOffsetAt = 0;
  void Rec(unsigned id, const Bytes& body) {
    Put16(out, id);
    Put16(out, static_cast<unsigned>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
  }
  unsigned version = 0x0600;  // 0x0500: the 5.0/95 form, whose short strings have no option byte
  void Bof(unsigned type) {
    Bytes b;
    Put16(b, version);
    Put16(b, type);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    Rec(0x0809, b);
  }
  void BoundSheet(const std::string& name) {
    Bytes b;
    Put32(b, 0);
    Put16(b, 0);
    ShortString(b, name);
    sheetOffsetAt = out.size() + 4;
    Rec(0x0085, b);
  }
  void ShortString(Bytes& b, const std::string& text) const {
    Put8(b, static_cast<unsigned>(text.size()));
    if (version == 0x0600) Put8(b, 0);
    b.insert(b.end(), text.begin(), text.end());
  }
  void Font(bool bold) {
    Bytes b;
    Put16(b, 200);
    Put16(b, 0);
    Put16(b, 0x7FFF);
    Put16(b, bold ? 700 : 400);
    Put16(b, 0);
    Put32(b, 0);
    ShortString(b, "Arial");
    Rec(0x0031, b);
  }
  void StartSheet() {
    Set32(out, sheetOffsetAt, static_cast<std::uint32_t>(out.size()));
    Bof(0x0010);
  }
  static Bytes Cell(int row, int col) {
    Bytes b;
    Put16(b, static_cast<unsigned>(row));
    Put16(b, static_cast<unsigned>(col));
    Put16(b, 0);
    return b;
  }
};

std::unique_ptr<engine::Control> Load(const Bytes& stream) {
  static engine::LocaleSettings locale;
  short type = 0;
  auto book = ReadBiffStream(stream, &locale, type);
  EXPECT_EQ(type, 11);
  auto control = std::make_unique<engine::Control>();
  control->ReplaceWorkbook(std::move(book));
  return control;
}

TEST(BiffRecords, EveryCellRecordAndSharedStringsAcrossContinue) {
  StreamBuilder s;
  s.Bof(0x0005);
  s.BoundSheet("Cells");
  // SST: "plain", then "wide" whose characters start compressed and continue as UTF-16 in a
  // CONTINUE record (which restarts with its own option byte), then "after".
  Bytes sst;
  Put32(sst, 3);
  Put32(sst, 3);
  Put16(sst, 5);
  Put8(sst, 0);
  for (char c : std::string("plain")) Put8(sst, static_cast<unsigned char>(c));
  Put16(sst, 4);
  Put8(sst, 0);
  Put8(sst, 'a');
  Put8(sst, 'b');
  s.Rec(0x00FC, sst);
  Bytes cont;
  Put8(cont, 1);  // the rest is UTF-16
  Put16(cont, 0x65E5);
  Put16(cont, 0x672C);
  Put16(cont, 5);
  Put8(cont, 0);
  for (char c : std::string("after")) Put8(cont, static_cast<unsigned char>(c));
  s.Rec(0x003C, cont);
  s.Rec(0x000A, {});
  s.StartSheet();
  Bytes b = StreamBuilder::Cell(0, 0);
  Put32(b, 1);
  s.Rec(0x00FD, b);  // LABELSST "ab日本"
  b = StreamBuilder::Cell(1, 0);
  PutDouble(b, 2.5);
  s.Rec(0x0203, b);  // NUMBER
  b = StreamBuilder::Cell(2, 0);
  Put32(b, (123 << 2) | 2 | 1);
  s.Rec(0x027E, b);  // RK: integer 123, divided by 100
  b.clear();
  Put16(b, 3);
  Put16(b, 0);
  Put16(b, 0);
  Put32(b, (7 << 2) | 2);
  Put16(b, 0);
  Put32(b, (8 << 2) | 2);
  Put16(b, 1);
  s.Rec(0x00BD, b);  // MULRK: A4=7, B4=8
  b = StreamBuilder::Cell(4, 0);
  Put8(b, 1);
  Put8(b, 0);
  s.Rec(0x0205, b);  // BOOLERR TRUE
  b = StreamBuilder::Cell(4, 1);
  Put8(b, 0x07);
  Put8(b, 1);
  s.Rec(0x0205, b);  // BOOLERR #DIV/0!
  b = StreamBuilder::Cell(5, 0);
  Put16(b, 3);
  Put8(b, 0);
  for (char c : std::string("lab")) Put8(b, static_cast<unsigned char>(c));
  s.Rec(0x0204, b);  // LABEL
  b = StreamBuilder::Cell(5, 1);
  Put16(b, 2);
  Put8(b, 0x08);
  Put16(b, 1);  // one formatting run, skipped
  Put8(b, 'r');
  Put8(b, 's');
  Put32(b, 0);
  s.Rec(0x00D6, b);  // RSTRING
  b.clear();
  Put16(b, 6);
  Put16(b, 0);
  Put16(b, 0);
  Put16(b, 0);
  Put16(b, 1);
  s.Rec(0x00BE, b);  // MULBLANK
  s.Rec(0x000A, {});
  auto c = Load(s.out);
  EXPECT_EQ(c->GetSheetName(1), "Cells");
  EXPECT_EQ(c->GetCellText(1, 1), "ab\xE6\x97\xA5\xE6\x9C\xAC");
  EXPECT_EQ(c->GetCellValue(2, 1).number, 2.5);
  EXPECT_EQ(c->GetCellValue(3, 1).number, 1.23);
  EXPECT_EQ(c->GetCellValue(4, 1).number, 7);
  EXPECT_EQ(c->GetCellValue(4, 2).number, 8);
  EXPECT_EQ(c->GetCellFormattedText(5, 1), "TRUE");
  EXPECT_EQ(c->GetCellFormattedText(5, 2), "#DIV/0!");
  EXPECT_EQ(c->GetCellText(6, 1), "lab");
  EXPECT_EQ(c->GetCellText(6, 2), "rs");
  EXPECT_EQ(c->GetLastRow(), 6);
}

TEST(BiffRecords, SharedFormulasAndCachedResults) {
  StreamBuilder s;
  s.Bof(0x0005);
  s.BoundSheet("F");
  s.Rec(0x000A, {});
  s.StartSheet();
  Bytes b = StreamBuilder::Cell(0, 0);
  PutDouble(b, 1);
  s.Rec(0x0203, b);  // A1 = 1
  auto formula = [&](int row, const Bytes& tokens, double cached, bool textResult) {
    Bytes f = StreamBuilder::Cell(row, 0);
    if (textResult) {
      for (unsigned v : {0u, 0u, 0u, 0u, 0u, 0u}) Put8(f, v);
      Put16(f, 0xFFFF);
    } else {
      PutDouble(f, cached);
    }
    Put16(f, 0x0008);
    Put32(f, 0);
    Put16(f, static_cast<unsigned>(tokens.size()));
    f.insert(f.end(), tokens.begin(), tokens.end());
    s.Rec(0x0006, f);
  };
  Bytes exp = {0x01, 0x01, 0x00, 0x00, 0x00};  // ptgExp → the anchor A2
  formula(1, exp, 2, false);
  Bytes sh;
  Put16(sh, 1);
  Put16(sh, 2);
  Put8(sh, 0);
  Put8(sh, 0);
  Put16(sh, 0x0200);
  Bytes tokens = {0x2C, 0xFF, 0xFF, 0x00, 0xC0, 0x1E, 0x01, 0x00, 0x03};  // refN(-1,0)+1
  Put16(sh, static_cast<unsigned>(tokens.size()));
  sh.insert(sh.end(), tokens.begin(), tokens.end());
  s.Rec(0x04BC, sh);
  formula(2, exp, 3, false);
  // A4: ="x"&"y" with its cached text in a STRING record.
  Bytes concat = {0x17, 0x01, 0x00, 'x', 0x17, 0x01, 0x00, 'y', 0x08};
  formula(3, concat, 0, true);
  Bytes str;
  Put16(str, 2);
  Put8(str, 0);
  Put8(str, 'x');
  Put8(str, 'y');
  s.Rec(0x0207, str);
  s.Rec(0x000A, {});
  auto c = Load(s.out);
  EXPECT_EQ(c->GetCellFormula(2, 1), "A1+1");
  EXPECT_EQ(c->GetCellFormula(3, 1), "A2+1");
  EXPECT_EQ(c->GetCellFormattedText(3, 1), "3");
  EXPECT_EQ(c->GetCellFormattedText(4, 1), "xy");
  // The formulas are live after reading: a change flows through.
  c->SetCellText(1, 1, "10");
  EXPECT_EQ(c->GetCellFormattedText(3, 1), "12");
}

// The count of shared-string cells a writer claims only sizes the sheets' text pools: a claim
// of none, too few or far too many reads the same cells on every sheet. The second sheet's
// text continues in a CONTINUE record, and its end is the end of the stream.
TEST(BiffRecords, SharedStringCountIsOnlyAHint) {
  for (std::uint32_t claimed : {0u, 1u, 5u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(claimed);
    StreamBuilder s;
    s.Bof(0x0005);
    s.BoundSheet("A");
    const std::size_t firstAt = s.sheetOffsetAt;
    s.BoundSheet("B");
    const std::size_t secondAt = s.sheetOffsetAt;
    Bytes sst;
    Put32(sst, claimed);
    Put32(sst, 2);
    for (const std::string text : {"one", "two"}) {
      Put16(sst, static_cast<unsigned>(text.size()));
      Put8(sst, 0);
      for (char ch : text) Put8(sst, static_cast<unsigned char>(ch));
    }
    s.Rec(0x00FC, sst);
    s.Rec(0x000A, {});
    auto labelSst = [&](int row, int col, std::uint32_t index) {
      Bytes b = StreamBuilder::Cell(row, col);
      Put32(b, index);
      s.Rec(0x00FD, b);
    };
    s.sheetOffsetAt = firstAt;
    s.StartSheet();
    labelSst(0, 0, 0);
    Bytes b = StreamBuilder::Cell(1, 0);
    PutDouble(b, 2.5);
    s.Rec(0x0203, b);
    labelSst(2, 0, 1);
    labelSst(2, 0, 0);  // the same cell again: the later text stands
    s.Rec(0x000A, {});
    s.sheetOffsetAt = secondAt;
    s.StartSheet();
    labelSst(0, 1, 1);
    labelSst(5, 0, 0);
    b = StreamBuilder::Cell(6, 0);
    Put16(b, 4);
    b.insert(b.end(), {0, 'a', 'b'});
    s.Rec(0x0204, b);  // LABEL "abcd", its last two characters in a CONTINUE record
    s.Rec(0x003C, Bytes{0, 'c', 'd'});
    s.Rec(0x000A, {});
    auto c = Load(s.out);
    EXPECT_EQ(c->GetCellText(1, 1), "one");
    EXPECT_EQ(c->GetCellValue(2, 1).number, 2.5);
    EXPECT_EQ(c->GetCellText(3, 1), "one");
    EXPECT_EQ(c->GetLastRow(), 3);
    c->SetActiveSheet(2);
    EXPECT_EQ(c->GetCellText(1, 2), "two");
    EXPECT_EQ(c->GetCellText(6, 1), "one");
    EXPECT_EQ(c->GetCellText(7, 1), "abcd");
    EXPECT_EQ(c->GetLastRow(), 7);
  }
}

TEST(BiffRecords, DamagedStreamsAreRefused) {
  StreamBuilder s;
  s.Bof(0x0005);
  s.BoundSheet("X");
  s.Rec(0x000A, {});
  Bytes good = s.out;
  s.StartSheet();
  Bytes b = StreamBuilder::Cell(0, 0);
  Put32(b, 99);  // a shared string that does not exist
  s.Rec(0x00FD, b);
  s.Rec(0x000A, {});
  engine::LocaleSettings locale;
  short type = 0;
  EXPECT_THROW(ReadBiffStream(s.out, &locale, type), engine::EngineError);
  // The sheet offset points at the workbook's own BOF, then past the end of the stream.
  EXPECT_THROW(ReadBiffStream(good, &locale, type), engine::EngineError);
  Set32(good, s.sheetOffsetAt, 0x00FFFFFF);
  EXPECT_THROW(ReadBiffStream(good, &locale, type), engine::EngineError);
  // A record longer than the stream.
  Bytes cut = s.out;
  cut.resize(cut.size() - 3);
  EXPECT_THROW(ReadBiffStream(cut, &locale, type), engine::EngineError);
}

// Globals with six fonts (file numbers 0-3, 5 and 6; 5 is bold) and a sheet whose A1 shows
// the one shared string "abcdef", whose runs are `runs` with `more` in a CONTINUE record.
Bytes RichStream(unsigned count, const Bytes& runs, const Bytes& more) {
  StreamBuilder s;
  s.Bof(0x0005);
  for (int i = 0; i < 6; ++i) s.Font(i == 4);
  s.BoundSheet("Rich");
  Bytes sst;
  Put32(sst, 1);
  Put32(sst, 1);
  Put16(sst, 6);
  Put8(sst, 0x08);
  Put16(sst, count);
  for (char c : std::string("abcdef")) Put8(sst, static_cast<unsigned char>(c));
  sst.insert(sst.end(), runs.begin(), runs.end());
  s.Rec(0x00FC, sst);
  if (!more.empty()) s.Rec(0x003C, more);
  s.Rec(0x000A, {});
  s.StartSheet();
  Bytes b = StreamBuilder::Cell(0, 0);
  Put32(b, 0);
  s.Rec(0x00FD, b);
  s.Rec(0x000A, {});
  return s.out;
}

Bytes Runs(std::initializer_list<std::pair<unsigned, unsigned>> runs) {
  Bytes b;
  for (auto [at, font] : runs) {
    Put16(b, at);
    Put16(b, font);
  }
  return b;
}

std::string ReadError(const Bytes& stream) {
  static engine::LocaleSettings locale;
  short type = 0;
  try {
    ReadBiffStream(stream, &locale, type);
  } catch (const engine::EngineError& e) {
    return e.Description();
  }
  return "";
}

TEST(BiffRecords, RichStringRunsAcrossContinueAndMalformedRunLists) {
  // The second run lies in the CONTINUE record, which has no option byte before runs.
  auto c = Load(RichStream(2, Runs({{1, 5}}), Runs({{3, 0}})));
  const engine::Sheet& sheet = c->Book().Active();
  ASSERT_EQ(c->GetCellText(1, 1), "abcdef");
  const engine::TextRuns* runs = sheet.Runs(*sheet.Find(1, 1));
  ASSERT_NE(runs, nullptr);
  ASSERT_EQ(runs->size(), 2u);
  EXPECT_EQ((*runs)[0].at, 1u);
  EXPECT_TRUE(c->Book().Styles().GetFont((*runs)[0].font).bold);
  EXPECT_EQ((*runs)[1], (engine::TextRun{3, 0}));

  // Each malformed run list fails the read and says why.
  EXPECT_NE(ReadError(RichStream(3, Runs({{1, 5}, {3, 0}}), {})).find("past its record"),
            std::string::npos);
  EXPECT_NE(ReadError(RichStream(2, Runs({{3, 5}, {1, 0}}), {})).find("out of order"),
            std::string::npos);
  EXPECT_NE(ReadError(RichStream(1, Runs({{7, 5}}), {})).find("past its text"),
            std::string::npos);
  EXPECT_NE(ReadError(RichStream(1, Runs({{1, 9}}), {})).find("font the workbook does not"),
            std::string::npos);
  // A run at the very end changes nothing and is dropped.
  EXPECT_EQ(ReadError(RichStream(2, Runs({{0, 5}, {6, 0}}), {})), "");
}

TEST(BiffRecords, Biff5RichStringCountsBytesOfItsCodePage) {
  StreamBuilder s;
  s.version = 0x0500;
  s.Bof(0x0005);
  for (int i = 0; i < 6; ++i) s.Font(i == 4);
  s.BoundSheet("Old");
  s.Rec(0x000A, {});
  s.StartSheet();
  Bytes b = StreamBuilder::Cell(0, 0);
  const std::string text = "ab\xE9" "cd";  // é is one byte in the workbook's code page
  Put16(b, static_cast<unsigned>(text.size()));
  for (char ch : text) Put8(b, static_cast<unsigned char>(ch));
  Put8(b, 2);
  for (unsigned v : {0u, 0u, 3u, 5u}) Put8(b, v);  // from 0 font 0, from "c" font 5
  s.Rec(0x00D6, b);
  s.Rec(0x000A, {});
  static engine::LocaleSettings locale;
  short type = 0;
  auto book = ReadBiffStream(s.out, &locale, type);
  const engine::Sheet& sheet = book->Active();
  const engine::TextRuns* runs = sheet.Runs(*sheet.Find(1, 1));
  ASSERT_NE(runs, nullptr);
  ASSERT_EQ(runs->size(), 2u);
  EXPECT_EQ((*runs)[1].at, 3u);
  EXPECT_TRUE(book->Styles().GetFont((*runs)[1].font).bold);
  // A count of runs the record does not hold is refused.
  s.out[s.out.size() - 4 - 4 - 1] = 9;  // before the two pairs and the EOF record
  EXPECT_NE(ReadError(s.out).find("past its record"), std::string::npos);
}

}  // namespace
