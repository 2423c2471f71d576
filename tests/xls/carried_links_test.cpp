// Written to a file, the formulas of form controls and linked text boxes name their sheets by
// the written file's sheet-reference entries, wherever in the object's record they stand.
#include <gtest/gtest.h>

#include "control/xls/biff_sheet_features.h"
#include "support/object_records.h"

namespace {

using namespace object_records;
using engine::CarriedRecord;

TEST(CarriedLinks, ObjectFormulasNameTheWrittenFilesSheetEntries) {
  engine::xls::LinkMap links;
  links.externSheets = {4, -1, 0};  // entry 0 is written as 4, entry 1's sheet is gone
  CarriedRecord check{0x005D, CheckBox(Ref3d(2, 4, 2)), {}};
  CarriedRecord list{0x005D, ListBox(Ref3d(0, 2, 1), Ref3d(1, 7, 3)), {}};
  CarriedRecord text = TextBox(Ref3d(0, 9, 6));
  for (CarriedRecord* r : {&check, &list, &text}) engine::xls::RemapLinks(*r, links);
  EXPECT_EQ(check.body[kCheckLinkAt], 0x3A);
  EXPECT_EQ(Get16(check.body, kCheckLinkAt + 1), 0u);
  EXPECT_EQ(Get16(list.body, kListLinkAt + 1), 4u);
  // The list's source names a sheet that is gone: #REF!, the rest of the list as it was. (Its
  // 3-D link is two bytes longer than a plain one.)
  const std::size_t sourceAt = kListSourceAt + 2;
  EXPECT_EQ(list.body[sourceAt], 0x3C);
  EXPECT_EQ(Get16(list.body, sourceAt + 3), 7u);
  EXPECT_EQ(Get16(text.body, kTextLinkAt + 1), 4u);
  EXPECT_EQ(Get16(text.body, kTextLinkAt + 3), 9u);
  // An object whose link overruns its record is written as it was.
  Bytes overlong = CheckBox(Ref3d(2, 4, 2));
  overlong[22 + 16 + 2] = 0x40;
  CarriedRecord bad{0x005D, overlong, {}};
  engine::xls::RemapLinks(bad, links);
  EXPECT_EQ(bad.body, overlong);
}

}  // namespace
