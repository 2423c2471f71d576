// Parameter names: character classes, the reason a name is refused, the repair, and the
// interactive check.
#include "params/name_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "params_fixture.h"
#include "table/utf8_chars.h"

namespace {

using params::CheckParamName;
using params::NameProblem;
using params::RepairParamName;

TEST(Utf8Chars, DecodesWellFormedSequencesAndRefusesDamagedOnes) {
  EXPECT_EQ(params::DecodeUtf8At("a", 0).code, 'a');
  auto e_acute = params::DecodeUtf8At("\xC3\xA9", 0);
  EXPECT_EQ(e_acute.code, 0xE9);
  EXPECT_EQ(e_acute.size, 2u);
  auto kanji = params::DecodeUtf8At("\xE6\xBC\xA2", 0);  // 漢
  EXPECT_EQ(kanji.code, 0x6F22);
  EXPECT_EQ(kanji.size, 3u);
  EXPECT_EQ(params::DecodeUtf8At("\xF0\x9F\x98\x80", 0).code, 0x1F600);
  // Each damaged start counts as one character of its own.
  for (const char* bad : {"\xC3", "\xE6\xBC", "\xC0\xAF", "\xED\xA0\x80", "\xF5\x80\x80\x80",
                          "\x80", "\xFF", "\xE6\x41\x41"}) {
    auto ch = params::DecodeUtf8At(bad, 0);
    EXPECT_EQ(ch.code, params::kInvalidChar) << bad;
    EXPECT_EQ(ch.size, 1u);
  }
}

TEST(Utf8Chars, PrefixFittingNeverCutsACharacter) {
  std::string s = "ab\xE6\xBC\xA2";  // 5 bytes
  EXPECT_EQ(params::Utf8PrefixFitting(s, 5), 5u);
  EXPECT_EQ(params::Utf8PrefixFitting(s, 4), 2u);
  EXPECT_EQ(params::Utf8PrefixFitting(s, 3), 2u);
  EXPECT_EQ(params::Utf8PrefixFitting(s, 0), 0u);
}

TEST(NameCharClasses, LettersAndDigitsFollowUnicodeCategories) {
  for (int ch : std::initializer_list<int>{
           'A', 'z', 0xE9 /* é */, 0x3B1 /* α */, 0x416 /* Ж */, 0x3042 /* あ */, 0x30AB /* カ */,
           0xFF76 /* half-width カ */, 0x6F22 /* 漢 */, 0xFF21 /* Ａ */})
    EXPECT_TRUE(params::IsNameLetter(ch)) << std::hex << ch;
  for (int ch : std::initializer_list<int>{'0', '9', '_', '.', ' ', '-', 0xA0, 0x3000,
                                           0xFF10 /* ０ */, 0x3002, 0xFF3F})
    EXPECT_FALSE(params::IsNameLetter(ch)) << std::hex << ch;
  for (int ch : std::initializer_list<int>{'0', '9', 0x663 /* Arabic-Indic 3 */, 0xFF10})
    EXPECT_TRUE(params::IsNameAlnum(ch)) << std::hex << ch;
  EXPECT_FALSE(params::IsNameAlnum(0xB2));  // superscript two: a number, not a decimal digit
  EXPECT_FALSE(params::IsNameLetter(params::kInvalidChar));
  EXPECT_FALSE(params::IsValidNameChar(params::kInvalidChar));
}

TEST(NameCharClasses, FirstAndFollowingCharacters) {
  EXPECT_TRUE(params::IsValidNameFirstChar('_'));
  EXPECT_TRUE(params::IsValidNameFirstChar(params::kFullWidthLowLine));
  EXPECT_FALSE(params::IsValidNameFirstChar(params::kIdeographicFullStop));
  EXPECT_FALSE(params::IsValidNameFirstChar('1'));
  EXPECT_FALSE(params::IsValidNameFirstChar('.'));
  EXPECT_TRUE(params::IsValidNameChar('.'));
  EXPECT_TRUE(params::IsValidNameChar('1'));
  EXPECT_TRUE(params::IsValidNameChar(params::kIdeographicFullStop));
  EXPECT_FALSE(params::IsValidNameChar('-'));
  EXPECT_FALSE(params::IsValidNameChar('$'));
  for (int ch : std::initializer_list<int>{' ', '\t', '\n', '\v', '\f', '\r', 0x3000, 0xA0})
    EXPECT_TRUE(params::IsNameSpace(ch)) << std::hex << ch;
  EXPECT_FALSE(params::IsNameSpace('_'));
}

TEST(NameCheck, ReportsTheFirstBrokenRule) {
  EXPECT_EQ(CheckParamName(""), NameProblem::kEmpty);
  EXPECT_EQ(CheckParamName(std::string(256, 'a')), NameProblem::kTooLong);
  EXPECT_EQ(CheckParamName(std::string(255, 'a')), NameProblem::kNone);
  EXPECT_EQ(CheckParamName("1abc"), NameProblem::kBadFirstChar);
  EXPECT_EQ(CheckParamName("my param"), NameProblem::kBadChar);
  EXPECT_EQ(CheckParamName("_"), NameProblem::kNone);
  EXPECT_EQ(CheckParamName("Loop_1.x"), NameProblem::kNone);
  EXPECT_EQ(CheckParamName("\xEF\xBC\xBF"
                           "a\xE3\x80\x82"
                           "b"),
            NameProblem::kNone);  // ＿a。b
  EXPECT_EQ(CheckParamName("\xE3\x80\x82"
                           "a"),
            NameProblem::kBadFirstChar);                                      // 。a
  EXPECT_EQ(CheckParamName("\xE5\x90\x8D\xE5\x89\x8D"), NameProblem::kNone);  // 名前
  EXPECT_EQ(CheckParamName("ab\xFF"), NameProblem::kBadChar);
  // Length is counted in bytes: 85 three-byte characters fit, 86 do not.
  std::string kanji;
  for (int i = 0; i < 86; ++i) kanji += "\xE6\xBC\xA2";
  EXPECT_EQ(CheckParamName(kanji), NameProblem::kTooLong);
  EXPECT_EQ(CheckParamName(kanji.substr(3)), NameProblem::kNone);
}

TEST(NameRepair, ExamplesOfEachRule) {
  EXPECT_EQ(RepairParamName("1abc"), "_1abc");
  EXPECT_EQ(RepairParamName(".abc"), "_.abc");
  EXPECT_EQ(RepairParamName("my param"), "my_param");
  EXPECT_EQ(RepairParamName("a\tb"), "a_b");
  EXPECT_EQ(RepairParamName(" a"), "__a");
  EXPECT_EQ(RepairParamName("a-b.c"), "ab.c");
  EXPECT_EQ(RepairParamName("$%"), "_");
  EXPECT_EQ(RepairParamName(""), "");
  EXPECT_EQ(RepairParamName("Loop"), "Loop");
  EXPECT_EQ(RepairParamName("-abc"), "_abc");  // dropped first character still asks for "_"
  EXPECT_EQ(RepairParamName("a\xFF"
                            "b"),
            "ab");  // a damaged byte is dropped, never kept
  EXPECT_EQ(RepairParamName("\xE3\x80\x80"
                            "x"),
            "__x");  // ideographic space
}

TEST(NameRepair, CutsTo255BytesWithoutSplittingACharacter) {
  EXPECT_EQ(RepairParamName(std::string(256, 'a')), std::string(255, 'a'));
  // 254 ASCII bytes and a three-byte letter: the letter does not fit whole and is left out.
  std::string name = std::string(254, 'a') + "\xE6\xBC\xA2";
  EXPECT_EQ(RepairParamName(name), std::string(254, 'a'));
  // The prefix counts against the limit.
  EXPECT_EQ(RepairParamName("1" + std::string(300, 'b')).size(), 255u);
}

TEST(NameRepair, ResultAlwaysPassesTheCheck) {
  const std::string samples[] = {"1abc",
                                 " ",
                                 "\t\t",
                                 "$",
                                 "a b c",
                                 "\xFF\xFE",
                                 "..",
                                 std::string(400, ' '),
                                 "\xE3\x80\x82\xE3\x80\x82",
                                 std::string(300, '9'),
                                 "\xC3",
                                 std::string("x\0y", 3)};
  for (const std::string& s : samples) {
    std::string fixed = RepairParamName(s);
    ASSERT_FALSE(fixed.empty()) << s;
    EXPECT_EQ(CheckParamName(fixed), NameProblem::kNone) << s << " -> " << fixed;
    EXPECT_EQ(RepairParamName(fixed), fixed);  // a valid name is left as it is
  }
}

using ParamNameMembers = ParamsTest;

TEST_F(ParamNameMembers, ErrorTextsComeFromTheStringTable) {
  EXPECT_EQ(T().GetParamNameError(""), "Parameter name not defined.");
  EXPECT_EQ(T().GetParamNameError(std::string(256, 'x')),
            "Parameter name can contain up to 255 characters.");
  EXPECT_EQ(T().GetParamNameError("1x"),
            "The first character of a parameter name must be a letter or an \nunderscore "
            "character.");
  EXPECT_EQ(T().GetParamNameError("x-y"),
            "Characters in a parameter name must be letters, numbers, \nperiods, or underscore "
            "characters.");
  EXPECT_EQ(T().GetParamNameError("Valid_name.2"), "");
}

TEST_F(ParamNameMembers, CharacterTestsAndFixMatchTheRules) {
  EXPECT_EQ(T().IsParamNameLetter('q'), 1);
  EXPECT_EQ(T().IsParamNameLetter('7'), 0);
  EXPECT_EQ(T().IsParamNameAlnum('7'), 1);
  EXPECT_TRUE(T().IsValidParamNameFirstChar(0xFF3F));
  EXPECT_TRUE(T().IsValidParamNameChar(0x3002));
  EXPECT_EQ(T().MbcharToString('A'), "A");
  EXPECT_EQ(T().MbcharToString(0x3002), "\xE3\x80\x82");
  EXPECT_EQ(T().MbcharToString(-5), "");
  CString name = "my param";
  T().FixParamName(name);
  EXPECT_EQ(name, "my_param");
}

TEST_F(ParamNameMembers, PromptOffersTheRepairAndAppliesItOnYes) {
  CString name = "1abc";
  Boxes().QueueAnswer(platform::IDYES);
  EXPECT_FALSE(T().PromptAndFixParamName(name));
  EXPECT_EQ(name, "_1abc");
  ASSERT_EQ(Boxes().Shown().size(), 1u);
  const auto& box = Boxes().Shown()[0];
  EXPECT_EQ(box.text,
            "The first character of a parameter name must be a letter or an \nunderscore "
            "character.\nFix name automatically?");
  EXPECT_EQ(box.type & 0x0Fu, static_cast<unsigned>(platform::MB_YESNO));
  EXPECT_EQ(box.type & 0xF0u, static_cast<unsigned>(platform::MB_ICONERROR));
  EXPECT_TRUE(T().NoModalUp());  // back to normal once the box is closed
}

TEST_F(ParamNameMembers, PromptLeavesTheNameOnNoAndAcceptsValidNames) {
  CString name = "a b";
  Boxes().QueueAnswer(platform::IDNO);
  EXPECT_FALSE(T().PromptAndFixParamName(name));
  EXPECT_EQ(name, "a b");
  CString good = "ab";
  EXPECT_TRUE(T().PromptAndFixParamName(good));
  EXPECT_EQ(Boxes().Shown().size(), 1u);  // no box for a valid name
}

TEST_F(ParamNameMembers, PromptReportsAnEmptyNameWithAnErrorBox) {
  CString name;
  EXPECT_FALSE(T().PromptAndFixParamName(name));
  ASSERT_EQ(Boxes().Shown().size(), 1u);
  EXPECT_EQ(Boxes().Shown()[0].text, "Parameter name not defined.");
  EXPECT_EQ(Boxes().Shown()[0].type & 0x0Fu, static_cast<unsigned>(platform::MB_OK));
  EXPECT_TRUE(name.empty());
}

}  // namespace
