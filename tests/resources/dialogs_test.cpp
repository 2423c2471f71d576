// Dialog templates 3003 and 3004: their texts, the controls the dialog logic addresses, and a
// layout that fits and does not overlap in either language.

#include "resources/dialogs.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "resources/menus.h"
#include "resources/resource_ids.h"

namespace {

using namespace resources;

const DialogTemplate& Get(int id) {
  const DialogTemplate* dialog = FindDialog(id);
  EXPECT_NE(dialog, nullptr);
  return *dialog;
}

bool Overlap(const DialogRect& a, const DialogRect& b) {
  return a.x < b.Right() && b.x < a.Right() && a.y < b.Bottom() && b.y < a.Bottom();
}

TEST(Dialogs, ChangeParameterName) {
  const DialogTemplate& d = Get(kDialogChangeParameterName);
  EXPECT_STREQ(d.Title(Language::English), "Change Parameter Name");
  EXPECT_EQ(d.width, 215);
  EXPECT_EQ(d.height, 68);
  ASSERT_GE(d.controls.size(), 2u);
  EXPECT_STREQ(d.controls[0].Text(Language::English),
               "Note: you also have to change the parameter name used by your test. Otherwise, "
               "the test may not run correctly.");
  EXPECT_EQ(d.controls[0].kind, ControlKind::Static);
  EXPECT_STREQ(d.controls[1].Text(Language::English), "Parameter &name:");
  const DialogControl* edit = FindControl(d, kCtlParameterName);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->kind, ControlKind::Edit);
  EXPECT_EQ(edit->maxLength, 255);  // the longest parameter name
  EXPECT_TRUE(edit->style & kStyleBorder);
  EXPECT_TRUE(edit->style & kStyleAutoHScroll);
  // The label stands above the edit box, OK and Cancel to the right of both.
  EXPECT_LE(d.controls[1].rect.Bottom(), edit->rect.y);
  const DialogControl* ok = FindControl(d, kCtlOk);
  const DialogControl* cancel = FindControl(d, kCtlCancel);
  ASSERT_NE(ok, nullptr);
  ASSERT_NE(cancel, nullptr);
  EXPECT_STREQ(ok->Text(Language::English), "OK");
  EXPECT_STREQ(cancel->Text(Language::English), "Cancel");
  EXPECT_TRUE(ok->style & kStyleDefaultButton);
  EXPECT_GE(ok->rect.x, edit->rect.Right());
  EXPECT_GE(cancel->rect.x, edit->rect.Right());
}

TEST(Dialogs, AutoFillLists) {
  const DialogTemplate& d = Get(kDialogAutoFillLists);
  EXPECT_STREQ(d.Title(Language::English), "AutoFill Lists");
  EXPECT_EQ(d.width, 235);
  EXPECT_EQ(d.height, 164);
  EXPECT_STREQ(d.FontFace(Language::English), "MS Sans Serif");
  const struct {
    int id;
    ControlKind kind;
    const char* text;
  } expected[] = {
      {kCtlCurrentList, ControlKind::Edit, nullptr},
      {kCtlLists, ControlKind::ListBox, nullptr},
      {kCtlAdd, ControlKind::Button, "&Add"},
      {kCtlDelete, ControlKind::Button, "&Delete"},
      {kCtlOk, ControlKind::Button, "OK"},
      {kCtlCancel, ControlKind::Button, "Cancel"},
      {kCtlSaveLists, ControlKind::Button, "&Save..."},
      {kCtlOpenLists, ControlKind::Button, "&Open..."},
      {kCtlHelp, ControlKind::Button, "&Help"},
  };
  for (const auto& e : expected) {
    SCOPED_TRACE(e.id);
    const DialogControl* c = FindControl(d, e.id);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->kind, e.kind);
    if (e.text) {
      EXPECT_STREQ(c->Text(Language::English), e.text);
    }
  }
  EXPECT_EQ(kCtlHelp, 57670);
  // The labels name the edit box and the list box and lead to them.
  std::set<std::string> labels;
  for (const DialogControl& c : d.controls)
    if (c.kind == ControlKind::Static) labels.insert(c.Text(Language::English));
  EXPECT_EQ(labels, (std::set<std::string>{"&Current List", "&Lists"}));
  // The dialog learns of a new selection only from a notifying list box.
  EXPECT_TRUE(FindControl(d, kCtlLists)->style & kStyleNotify);
}

TEST(Dialogs, LayoutFitsWithoutOverlapAndIdsAreUnique) {
  for (int id : {kDialogAutoFillLists, kDialogChangeParameterName}) {
    const DialogTemplate& d = Get(id);
    SCOPED_TRACE(id);
    std::set<int> ids;
    for (std::size_t i = 0; i < d.controls.size(); ++i) {
      const DialogControl& c = d.controls[i];
      SCOPED_TRACE(i);
      if (c.id != kCtlStatic) {
        EXPECT_TRUE(ids.insert(c.id).second) << "duplicate id " << c.id;
      }
      EXPECT_GT(c.rect.width, 0);
      EXPECT_GT(c.rect.height, 0);
      EXPECT_GE(c.rect.x, 0);
      EXPECT_GE(c.rect.y, 0);
      EXPECT_LE(c.rect.Right(), d.width);
      EXPECT_LE(c.rect.Bottom(), d.height);
      for (std::size_t j = i + 1; j < d.controls.size(); ++j)
        EXPECT_FALSE(Overlap(c.rect, d.controls[j].rect)) << "controls " << i << " and " << j;
    }
  }
}

TEST(Dialogs, TextsExistInBothLanguagesWithTheSameMnemonics) {
  for (int id : {kDialogAutoFillLists, kDialogChangeParameterName}) {
    const DialogTemplate& d = Get(id);
    SCOPED_TRACE(id);
    ASSERT_NE(d.Title(Language::Japanese), nullptr);
    EXPECT_STRNE(d.Title(Language::Japanese), d.Title(Language::English));
    EXPECT_NE(d.FontFace(Language::Japanese), nullptr);
    EXPECT_GT(d.FontPoints(Language::English), 0);
    EXPECT_GT(d.FontPoints(Language::Japanese), 0);
    for (Language lang : {Language::English, Language::Japanese}) {
      std::set<char> mnemonics;
      for (const DialogControl& c : d.controls) {
        const bool hasText = c.kind == ControlKind::Static || c.kind == ControlKind::Button;
        ASSERT_EQ(c.Text(lang) != nullptr, hasText) << c.id;
        if (!hasText) continue;
        const char m = MenuMnemonic(c.Text(lang));
        EXPECT_EQ(m, MenuMnemonic(c.Text(Language::English))) << c.Text(lang);
        if (m != 0) {
          EXPECT_TRUE(mnemonics.insert(m).second) << "duplicate in " << c.Text(lang);
        }
      }
    }
  }
}

TEST(Dialogs, LabelsLeadToTheControlThatFollowsThem) {
  // A label's mnemonic moves the focus to the next control in tab order; the buddy says which
  // that is, and the two must agree.
  for (int id : {kDialogAutoFillLists, kDialogChangeParameterName}) {
    const DialogTemplate& d = Get(id);
    for (std::size_t i = 0; i < d.controls.size(); ++i) {
      const DialogControl& c = d.controls[i];
      if (c.kind != ControlKind::Static || MenuMnemonic(c.Text(Language::English)) == 0) {
        EXPECT_EQ(c.buddy, 0);
        continue;
      }
      ASSERT_LT(i + 1, d.controls.size());
      EXPECT_EQ(c.buddy, d.controls[i + 1].id) << c.Text(Language::English);
      EXPECT_TRUE(d.controls[i + 1].style & kStyleTabStop);
    }
  }
}

TEST(Dialogs, LookupsAndPixelConversion) {
  EXPECT_EQ(FindDialog(3001), nullptr);
  EXPECT_EQ(FindControl(Get(kDialogAutoFillLists), kCtlStatic), nullptr);
  EXPECT_EQ(FindControl(Get(kDialogAutoFillLists), kCtlParameterName), nullptr);
  EXPECT_EQ(FindControl(Get(kDialogChangeParameterName), kCtlLists), nullptr);

  // Base units 6 × 13 pixels: edges x·6/4 and y·13/8, rounded half up.
  const DialogRect px = DialogUnitsToPixels({7, 7, 160, 8}, 6, 13);
  EXPECT_EQ(px.x, 11);         // 10.5
  EXPECT_EQ(px.y, 11);         // 11.375
  EXPECT_EQ(px.Right(), 251);  // 167 → 250.5
  EXPECT_EQ(px.Bottom(), 24);  // 15 → 24.375
  // Controls that meet in dialog units meet in pixels, whatever the rounding.
  const DialogRect left = DialogUnitsToPixels({3, 0, 5, 1}, 7, 15);
  const DialogRect right = DialogUnitsToPixels({8, 0, 5, 1}, 7, 15);
  EXPECT_EQ(left.Right(), right.x);
  EXPECT_EQ(DialogUnitsToPixels({0, 0, 0, 0}, 6, 13).width, 0);
}

}  // namespace
