// Icon 3002: well-formed XPM images at the sizes it claims.

#include "resources/icon.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "resources/resource_ids.h"

namespace {

using namespace resources;

TEST(Icon, EverySizeIsAWellFormedXpm) {
  const auto sizes = IconSizes(kIconTable);
  ASSERT_FALSE(sizes.empty());
  for (int size : sizes) {
    SCOPED_TRACE(size);
    const auto lines = IconXpm(kIconTable, size);
    ASSERT_FALSE(lines.empty());
    int width = 0, height = 0, colours = 0, chars = 0;
    ASSERT_EQ(std::sscanf(lines[0], "%d %d %d %d", &width, &height, &colours, &chars), 4);
    EXPECT_EQ(width, size);
    EXPECT_EQ(height, size);
    ASSERT_EQ(chars, 1);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(1 + colours + height));
    std::set<char> defined;
    bool transparent = false;
    for (int i = 1; i <= colours; ++i) {
      const std::string line = lines[i];
      ASSERT_GE(line.size(), 4u);
      EXPECT_EQ(line.substr(1, 3), " c ");
      EXPECT_TRUE(defined.insert(line[0]).second) << "colour defined twice: " << line;
      transparent = transparent || line.substr(4) == "None";
    }
    EXPECT_TRUE(transparent);
    for (int row = 0; row < height; ++row) {
      const std::string line = lines[1 + colours + row];
      ASSERT_EQ(line.size(), static_cast<std::size_t>(width)) << "row " << row;
      for (char c : line) EXPECT_TRUE(defined.contains(c)) << "row " << row;
    }
  }
}

TEST(Icon, UnknownIdOrSizeGivesNothing) {
  EXPECT_TRUE(IconSizes(3001).empty());
  EXPECT_TRUE(IconXpm(3001, 16).empty());
  EXPECT_TRUE(IconXpm(kIconTable, 24).empty());
  EXPECT_TRUE(IconXpm(kIconTable, 0).empty());
}

}  // namespace
