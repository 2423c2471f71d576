// Registering the notification sink, and the callbacks of the table object itself.

#include "table_fixture.h"

TEST_F(TableTest, OneSinkAtATime) {
  RecordingSink a, b;
  EXPECT_EQ(a.Table(), nullptr);
  EXPECT_EQ(T().RegisterNotify(&a), 1);
  EXPECT_EQ(a.Table(), &T());
  EXPECT_EQ(T().RegisterNotify(&b), 0);
  EXPECT_EQ(b.Table(), nullptr);
  EXPECT_EQ(T().Sink(), &a);
  EXPECT_EQ(T().UnRegisterNotify(5), 0);
  EXPECT_EQ(a.Table(), nullptr);
  EXPECT_EQ(T().Sink(), nullptr);
  EXPECT_EQ(T().UnRegisterNotify(0), -1);
  EXPECT_EQ(T().RegisterNotify(&b), 1);
  EXPECT_EQ(T().UnRegisterNotify(0), 0);
}

TEST_F(TableTest, NullSinkIsNotRegistered) {
  EXPECT_EQ(T().RegisterNotify(nullptr), 0);
  EXPECT_EQ(T().Sink(), nullptr);
  RecordingSink a;
  EXPECT_EQ(T().RegisterNotify(&a), 1);
  T().UnRegisterNotify(0);
}

TEST_F(TableTest, DefaultCallbacksAllowEverything) {
  CZATNotify plain;
  CStringList names{"A"};
  EXPECT_EQ(plain.OnDeleteArg(names), CZATNotify::ZAT_NTFY_OK);
  EXPECT_EQ(plain.OnRenameArg("a", "b"), CZATNotify::ZAT_NTFY_OK);
  EXPECT_EQ(plain.OnOpenFile("f"), CZATNotify::ZAT_NTFY_OK);
  EXPECT_EQ(plain.OnSaveAsFile("f", "g"), CZATNotify::ZAT_NTFY_OK);
  EXPECT_EQ(plain.OnClose(), CZATNotify::ZAT_NTFY_OK);
  EXPECT_EQ(plain.OnDeleteSheets(1, 2), CZATNotify::ZAT_NTFY_OK);
  T().RegisterNotify(&plain);
  T().SetNumSheets(2);
  EXPECT_EQ(T().DeleteSheets(2, 1), 0);
  EXPECT_EQ(T().GetNumSheets(), 1);
  T().UnRegisterNotify(0);
}

TEST_F(TableTest, NewTableSendsEmptyFileNameAndKeepsDirtyBitClear) {
  RecordingSink& sink = sink_;
  T().RegisterNotify(&sink);
  FillSheet(2, 2);
  CZATArgList names{"A", "B", "C"};
  EXPECT_EQ(T().Open("", CZAT::FILE_TYPE_NONE, &names, 0), 0);
  EXPECT_EQ(sink.Count("OnFileNameChanged()"), 1);
  EXPECT_EQ(sink.Count("OnOpenFile()"), 0);
  EXPECT_EQ(T().GetDirtyBit(), 0);
  const CZATArgList& header = T().GetHeaderArgList(0);
  EXPECT_EQ(std::vector<CString>(header.begin(), header.end()),
            (std::vector<CString>{"A", "B", "C"}));
  long rows = -1;
  T().GetMaxRows(rows, 0);
  EXPECT_EQ(rows, 0);
}
