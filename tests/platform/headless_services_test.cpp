// The headless message boxes, profile, file dialogs, modal dialogs and string table.

#include <gtest/gtest.h>

#include "platform/headless/headless_platform.h"

using namespace platform;

TEST(DefaultAnswer, FirstButtonUnlessAnotherIsTheDefault) {
  EXPECT_EQ(DefaultAnswer(MB_OK), IDOK);
  EXPECT_EQ(DefaultAnswer(MB_OK | MB_ICONERROR), IDOK);
  EXPECT_EQ(DefaultAnswer(MB_OKCANCEL), IDOK);
  EXPECT_EQ(DefaultAnswer(MB_YESNO | MB_ICONQUESTION), IDYES);
  EXPECT_EQ(DefaultAnswer(MB_YESNOCANCEL), IDYES);
  EXPECT_EQ(DefaultAnswer(MB_YESNO | 0x100), IDNO);
  EXPECT_EQ(DefaultAnswer(MB_YESNOCANCEL | 0x200), IDCANCEL);
  EXPECT_EQ(DefaultAnswer(MB_OKCANCEL | 0x100), IDCANCEL);
  EXPECT_EQ(DefaultAnswer(MB_YESNO | 0x300), IDYES);  // no fourth button: the first
}

TEST(HeadlessMessageBoxes, QueueThenHandlerThenDefaultAndEverythingRecorded) {
  HeadlessMessageBoxes boxes;
  boxes.QueueAnswer(IDNO);
  int handled = 0;
  EXPECT_EQ(boxes.Show(nullptr, "first", "cap", MB_YESNO), IDNO);
  EXPECT_EQ(boxes.Show(nullptr, "second", "cap", MB_YESNO), IDYES);
  boxes.SetHandler([&](const std::string& text, unsigned) {
    ++handled;
    return text == "third" ? IDCANCEL : IDOK;
  });
  EXPECT_EQ(boxes.Show(nullptr, "third", "cap", MB_YESNOCANCEL), IDCANCEL);
  boxes.QueueAnswer(IDYES);  // a queued answer comes before the handler
  EXPECT_EQ(boxes.Show(nullptr, "fourth", "cap", MB_YESNO), IDYES);
  EXPECT_EQ(handled, 1);
  ASSERT_EQ(boxes.Shown().size(), 4u);
  EXPECT_EQ(boxes.Shown()[2].text, "third");
  EXPECT_EQ(boxes.Shown()[2].answer, IDCANCEL);
  EXPECT_EQ(boxes.Shown()[0].type, static_cast<unsigned>(MB_YESNO));
  boxes.ClearShown();
  EXPECT_TRUE(boxes.Shown().empty());
}

TEST(HeadlessProfile, IntegersBySectionAndKey) {
  HeadlessProfile profile;
  EXPECT_EQ(profile.GetInt("Data Table", "Top", -1), -1);
  EXPECT_TRUE(profile.WriteInt("Data Table", "Top", 12));
  EXPECT_EQ(profile.GetInt("Data Table", "Top", -1), 12);
  EXPECT_EQ(profile.GetInt("Other", "Top", -1), -1);
  EXPECT_EQ(profile.GetInt("Data Table", "top", -1), -1);
  EXPECT_TRUE(profile.Has("Data Table", "Top"));
  EXPECT_EQ(profile.ReadCount(), 4);
  profile.Clear();
  EXPECT_FALSE(profile.Has("Data Table", "Top"));
}

TEST(HeadlessFileDialogs, AnswersFromQueueAndCancelsWhenEmpty) {
  HeadlessFileDialogs dialogs;
  dialogs.QueueResult(FileDialogResult{"/tmp/a.xls", 2});
  dialogs.QueueCancel();
  FileDialogRequest request;
  request.filter = "Excel|*.xls||";
  FileDialogResult result;
  EXPECT_TRUE(dialogs.Run(request, result));
  EXPECT_EQ(result.path, "/tmp/a.xls");
  EXPECT_EQ(result.filterIndex, 2);
  EXPECT_FALSE(dialogs.Run(request, result));
  EXPECT_FALSE(dialogs.Run(request, result));
  EXPECT_EQ(result.path, "/tmp/a.xls");  // untouched by a cancel
  ASSERT_EQ(dialogs.Requests().size(), 3u);
  EXPECT_EQ(dialogs.Requests()[0].filter, "Excel|*.xls||");
}

namespace {
// A dialog with one limited field that refuses OK while the field is empty.
class NameDialog : public DialogModel {
 public:
  unsigned TemplateId() const override { return 3004; }
  std::string GetControlText(int id) const override { return id == 7 ? text : ""; }
  void SetControlText(int id, const std::string& t) override {
    if (id == 7) text = t;
  }
  std::size_t TextLimit(int id) const override { return id == 7 ? 3 : 0; }
  void OnCommand(int id) override { commands.push_back(id); }
  bool OnOK() override {
    ++oks;
    return !text.empty();
  }
  void OnCancel() override { ++cancels; }
  std::string text;
  std::vector<int> commands;
  int oks = 0, cancels = 0;
};
}  // namespace

TEST(HeadlessTableDialogs, ScriptedAnswersTypeCutPressAndClose) {
  HeadlessTableDialogs dialogs;
  NameDialog dialog;
  dialogs.QueueAnswer(DialogAnswer{{{7, "\xC3\xA9t\xC3\xA9s"}}, {1002, 1003}, 1});  // "étés"
  EXPECT_EQ(dialogs.RunModal(nullptr, dialog), 1);
  EXPECT_EQ(dialog.text, "\xC3\xA9t\xC3\xA9");  // cut at three characters, not bytes
  EXPECT_EQ(dialog.commands, (std::vector<int>{1002, 1003}));
  EXPECT_EQ(dialogs.Shown(), std::vector<unsigned>{3004});
}

TEST(HeadlessTableDialogs, RefusedOkTakesTheNextAnswerAndEmptyQueueCancels) {
  HeadlessTableDialogs dialogs;
  NameDialog dialog;
  dialogs.QueueAnswer(DialogAnswer{{{7, ""}}, {}, 1});
  dialogs.QueueAnswer(DialogAnswer{{{7, "ok"}}, {}, 1});
  EXPECT_EQ(dialogs.RunModal(nullptr, dialog), 1);
  EXPECT_EQ(dialog.oks, 2);
  EXPECT_EQ(dialogs.RunModal(nullptr, dialog), 2);
  EXPECT_EQ(dialog.cancels, 1);
  dialogs.QueueAnswer(DialogAnswer{{}, {}, 1});
  dialog.text.clear();
  EXPECT_EQ(dialogs.RunModal(nullptr, dialog), 2);  // refused and nothing more queued
}

TEST(HeadlessStrings, LoadsByIdInTheChosenLanguage) {
  HeadlessStrings strings;
  std::string text = "stale";
  EXPECT_TRUE(strings.Load(3009, text));
  EXPECT_EQ(text, "Name already exists!");
  EXPECT_FALSE(strings.Load(1, text));
  EXPECT_EQ(text, "");
  strings.SetLanguage("ja_JP.UTF-8");
  EXPECT_TRUE(strings.Load(3001, text));
  EXPECT_NE(text, "Data Table");
}

TEST(PlatformInstall, HeadlessByDefaultAndReplaceable) {
  Install(nullptr);
  auto first = Current();
  ASSERT_NE(first, nullptr);
  EXPECT_NE(dynamic_cast<HeadlessPlatform*>(first.get()), nullptr);
  EXPECT_EQ(Current(), first);
  auto mine = std::make_shared<HeadlessPlatform>();
  Install(mine);
  EXPECT_EQ(Current(), mine);
  Install(nullptr);
  EXPECT_NE(Current(), mine);
}
