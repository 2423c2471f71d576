// The AutoFill Lists dialog: its list box mirrors the engine's lists with a new-list entry last,
// every change reaches the engine at once, and .afl files load and save one list per line.
#include "commands/autofill_lists.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "table_fixture.h"

namespace {
using platform::DialogAnswer;
using platform::DialogStep;
constexpr unsigned kAutoFillList = 34308;
constexpr int kCurrent = CAutoFLst::kCurrentList;
constexpr int kLists = CAutoFLst::kLists;
constexpr int kAdd = CAutoFLst::kAdd;
constexpr int kDelete = CAutoFLst::kDelete;

class AutoFillListsTest : public TableTest {
 protected:
  void SetUp() override {
    TableTest::SetUp();
    char pattern[] = "/tmp/afl_test_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
    while (E().GetAutoFillListCount() > 0) E().DeleteAutoFillList(1);
  }
  void TearDown() override {
    std::filesystem::remove_all(dir_);
    TableTest::TearDown();
  }
  std::vector<std::string> Lists() {
    std::vector<std::string> out;
    for (short i = 1; i <= E().GetAutoFillListCount(); ++i) out.push_back(E().GetAutoFillList(i));
    return out;
  }
  std::string Path(const std::string& name) { return (dir_ / name).string(); }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) {
    std::ifstream in(Path(name), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // A dialog opened as the platform opens it.
  std::unique_ptr<CAutoFLst> Open() {
    auto d = std::make_unique<CAutoFLst>(E(), nullptr, *platform_);
    d->OnInitDialog();
    return d;
  }
  // What a person does, as the platform reports it.
  static void Type(CAutoFLst& d, const std::string& text) {
    d.SetControlText(kCurrent, text);
    d.OnCommand(kCurrent);
  }
  static void Select(CAutoFLst& d, int index) {
    d.SetListSelection(kLists, index);
    d.OnCommand(kLists);
  }
  void QueueFile(const std::string& name) {
    platform::FileDialogResult r;
    r.path = Path(name);
    platform_->FileDialogScript().QueueResult(r);
  }

  std::filesystem::path dir_;
};
}  // namespace

TEST_F(AutoFillListsTest, WithNoListsOnlyTheNewListEntryIsThereAndSelected) {
  auto d = Open();
  EXPECT_EQ(d->ListItems(kLists), std::vector<std::string>{" "});
  EXPECT_EQ(d->ListSelection(kLists), 0);
  EXPECT_FALSE(d->IsControlEnabled(kDelete));
  EXPECT_FALSE(d->IsControlEnabled(kAdd));
  EXPECT_EQ(d->FocusControl(), kCurrent);
  Select(*d, 0);
  EXPECT_FALSE(d->IsControlEnabled(kDelete));
  d->OnCommand(kDelete);  // nothing to delete
  EXPECT_EQ(d->ListItems(kLists).size(), 1u);
}

TEST_F(AutoFillListsTest, AddAppendsOnTheNewEntryAndReplacesInPlaceOtherwise) {
  auto d = Open();
  d->OnCommand(kAdd);  // an empty edit box adds nothing
  EXPECT_TRUE(Lists().empty());
  Type(*d, "Low;Medium;High");
  EXPECT_TRUE(d->IsControlEnabled(kAdd));
  d->OnCommand(kAdd);
  EXPECT_EQ(Lists(), std::vector<std::string>{"Low;Medium;High"});
  EXPECT_EQ(d->ListItems(kLists), (std::vector<std::string>{"Low;Medium;High", " "}));
  EXPECT_EQ(d->ListSelection(kLists), 1);  // the new-list entry again
  EXPECT_EQ(d->GetControlText(kCurrent), "");
  EXPECT_FALSE(d->IsControlEnabled(kAdd));
  Type(*d, "One;Two");
  d->OnCommand(kAdd);

  Select(*d, 0);
  EXPECT_EQ(d->GetControlText(kCurrent), "Low;Medium;High");
  EXPECT_TRUE(d->IsControlEnabled(kDelete));
  EXPECT_FALSE(d->IsControlEnabled(kAdd));  // selecting sets the text: not a change
  Type(*d, "Low;High");
  d->OnCommand(kAdd);
  EXPECT_EQ(Lists(), (std::vector<std::string>{"Low;High", "One;Two"}));
  EXPECT_EQ(d->ListSelection(kLists), 0);
  EXPECT_EQ(d->ListItems(kLists), (std::vector<std::string>{"Low;High", "One;Two", " "}));

  // A list of one item is kept as a person typed it.
  Select(*d, 2);
  Type(*d, "Alone");
  d->OnCommand(kAdd);
  EXPECT_EQ(Lists().back(), "Alone");
}

TEST_F(AutoFillListsTest, DeleteRemovesTheSelectedListAndSelectsTheNewEntry) {
  E().SetAutoFillList(1, "a;b");
  E().SetAutoFillList(2, "c;d");
  auto d = Open();
  Select(*d, 0);
  d->OnCommand(kDelete);
  EXPECT_EQ(Lists(), std::vector<std::string>{"c;d"});
  EXPECT_EQ(d->ListItems(kLists), (std::vector<std::string>{"c;d", " "}));
  EXPECT_EQ(d->ListSelection(kLists), 1);
  d->OnCommand(kDelete);
  EXPECT_EQ(Lists().size(), 1u);
}

TEST_F(AutoFillListsTest, LoadingGivesOneListPerLineWhateverTheLineEnds) {
  E().SetAutoFillList(1, "old;lists");
  Write("lists.afl", "a;b;c\r\n\r\nsolo\nx;y");
  auto d = Open();
  QueueFile("lists.afl");
  d->OnCommand(CAutoFLst::kOpen);
  EXPECT_EQ(Lists(), (std::vector<std::string>{"a;b;c", "", "solo", "x;y"}));
  EXPECT_EQ(d->ListItems(kLists), (std::vector<std::string>{"a;b;c", "", "solo", "x;y", " "}));
  EXPECT_EQ(d->ListSelection(kLists), 4);
  EXPECT_EQ(d->GetControlText(kCurrent), "");
  EXPECT_TRUE(Boxes().Shown().empty());
  const auto& request = platform_->FileDialogScript().Requests().back();
  EXPECT_TRUE(request.open);
  EXPECT_EQ(request.defaultExt, "afl");
  EXPECT_EQ(request.filter, "Autofill list files (*.afl)|*.afl|All Files (*.*)|*.*||");
  EXPECT_EQ(request.flags, platform::OFN_HIDEREADONLY | platform::OFN_OVERWRITEPROMPT);

  // An empty file gives no lists; a missing file changes nothing and says nothing.
  Write("empty.afl", "");
  QueueFile("empty.afl");
  d->OnCommand(CAutoFLst::kOpen);
  EXPECT_TRUE(Lists().empty());
  E().SetAutoFillList(1, "k;l");
  QueueFile("missing.afl");
  d->OnCommand(CAutoFLst::kOpen);
  EXPECT_EQ(Lists(), std::vector<std::string>{"k;l"});
  platform_->FileDialogScript().QueueCancel();
  d->OnCommand(CAutoFLst::kOpen);
  EXPECT_TRUE(Boxes().Shown().empty());
}

TEST_F(AutoFillListsTest, FilesThatCannotBeLoadedLeaveTheListsAlone) {
  E().SetAutoFillList(1, "keep;me");
  std::string many;
  for (int i = 0; i < 32768; ++i) many += "a;b\n";  // one list more than the engine counts
  Write("many.afl", many);
  auto d = Open();
  QueueFile("many.afl");
  d->OnCommand(CAutoFLst::kOpen);
  ASSERT_EQ(Boxes().Shown().size(), 1u);
  EXPECT_EQ(Boxes().Shown()[0].text, "Error opening file!");
  EXPECT_EQ(Lists(), std::vector<std::string>{"keep;me"});
  EXPECT_EQ(d->ListItems(kLists), (std::vector<std::string>{"keep;me", " "}));

  std::filesystem::create_directory(Path("folder.afl"));
  QueueFile("folder.afl");
  d->OnCommand(CAutoFLst::kOpen);
  ASSERT_EQ(Boxes().Shown().size(), 2u);
  EXPECT_EQ(Lists(), std::vector<std::string>{"keep;me"});

  // Exactly as many lines as the engine counts load.
  many.resize(many.size() - 4);
  Write("max.afl", many);
  QueueFile("max.afl");
  d->OnCommand(CAutoFLst::kOpen);
  EXPECT_EQ(E().GetAutoFillListCount(), 32767);
  EXPECT_EQ(d->ListSelection(kLists), 32767);
}

TEST_F(AutoFillListsTest, SavingWritesOneLinePerListAndReadsBackTheSame) {
  E().SetAutoFillList(1, "a;b");
  auto d = Open();
  Select(*d, 1);
  Type(*d, "");
  E().StoreAutoFillList(2, "");
  E().StoreAutoFillList(3, "z");
  QueueFile("out.afl");
  d->OnCommand(CAutoFLst::kSave);
  EXPECT_EQ(Read("out.afl"), "a;b\n\nz\n");
  EXPECT_FALSE(platform_->FileDialogScript().Requests().back().open);
  QueueFile("out.afl");
  d->OnCommand(CAutoFLst::kOpen);
  EXPECT_EQ(Lists(), (std::vector<std::string>{"a;b", "", "z"}));

  QueueFile("no/such/folder/out.afl");
  d->OnCommand(CAutoFLst::kSave);
  ASSERT_EQ(Boxes().Shown().size(), 1u);
  EXPECT_EQ(Boxes().Shown()[0].text, "Error saving file!");
}

TEST_F(AutoFillListsTest, TheMenuCommandShowsTheDialogAndCancelKeepsTheChanges) {
  E().SetAutoFillList(1, "a;b");
  bool modal = false;
  platform_->DialogScript().SetObserver([&](platform::DialogModel& d) {
    modal = !T().NoModalUp();
    EXPECT_EQ(d.ListItems(kLists), (std::vector<std::string>{"a;b", " "}));
  });
  DialogAnswer answer;
  answer.steps = {DialogStep::Press(kAdd),  // disabled: nothing typed yet
                  DialogStep::Type(kCurrent, "Red;Green"), DialogStep::Press(kAdd),
                  DialogStep::Select(kLists, 0), DialogStep::Press(kDelete)};
  answer.result = 2;
  platform_->DialogScript().QueueAnswer(answer);
  EXPECT_TRUE(F().Command(kAutoFillList));
  EXPECT_TRUE(modal);
  EXPECT_TRUE(T().NoModalUp());
  EXPECT_EQ(platform_->DialogScript().Shown().back(), 3003u);
  EXPECT_EQ(Lists(), std::vector<std::string>{"Red;Green"});
}
