#include <gtest/gtest.h>

#include <iterator>
#include <random>

#include "generate/Gbk.h"
#include "generate/emit/TextTemplate.h"

namespace vbgen::test {

TEST(FillTest, ValuesAreNeverExpandedAgain) {
  EXPECT_EQ(Fill("Form=FrmAdd{className}.frm", {{"className", "{className}"}}),
            "Form=FrmAdd{className}.frm");
  EXPECT_EQ(Fill("{a}{b}", {{"a", "{b}"}, {"b", "x"}}), "{b}x");
}

TEST(FillTest, GuidsAndUnclosedBracesStayLiteral) {
  const char* line = "Object = \"{86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0\"; {name} {";
  EXPECT_EQ(Fill(line, {{"name", "v"}}),
            "Object = \"{86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0\"; v {");
}

TEST(FillTest, OnlyALetterThenLettersAndDigitsUpToTheBraceAreAName) {
  const TVar vars[] = {{"a1", "V"}, {"b", "W"}};
  const auto fill = [&](const char* block) {
    std::string out = ">";
    FillInto(out, block, {vars[0], vars[1]});
    return out;
  };
  EXPECT_EQ(fill("{{a1}}"), ">{V}");
  EXPECT_EQ(fill("{1a}{a 1}{a1 }{}{a1"), ">{1a}{a 1}{a1 }{}{a1");
  EXPECT_EQ(fill("{a-1}{b}{"), ">{a-1}W{");
  EXPECT_EQ(fill("x{b}y{a1}z"), ">xWyVz");
  EXPECT_EQ(fill("{b"), ">{b");
}

TEST(FillTest, MissingValueIsAFaultOfTheGenerator) {
  EXPECT_THROW(Fill("{className}", {{"friendName", "x"}}), std::logic_error);
  // A value whose name begins the placeholder's, or is begun by it, is not its value.
  EXPECT_THROW(Fill("{class}", {{"className", "x"}}), std::logic_error);
  EXPECT_THROW(Fill("{className}", {{"class", "x"}}), std::logic_error);
  EXPECT_THROW(Fill("{className}", {{"", "x"}}), std::logic_error);
}

TEST(FillTest, NamesThatBeginAlikeEachFindTheirOwnValue) {
  EXPECT_EQ(
      Fill("{top}{topMinus120}{tabIndex1}{tabIndex}{t}",
           {{"tabIndex", "A"}, {"t", "B"}, {"topMinus120", "C"}, {"tabIndex1", "D"}, {"top", "E"}}),
      "ECDAB");
  EXPECT_EQ(Fill("{a}", {{"a", "first"}, {"a", "last"}}), "last");  // as before: the last given
}

TEST(CrLfTest, EveryLineEndBecomesCrLf) {
  EXPECT_EQ(CrLf("a\n\nb\n"), "a\r\n\r\nb\r\n");
  EXPECT_EQ(CrLf("no end"), "no end");
}

TEST(GbkTest, RoundTripOfChineseAndAscii) {
  std::string gbk = Utf8ToGbk("图书管理 Book");
  EXPECT_EQ(gbk, "\xcd\xbc\xca\xe9\xb9\xdc\xc0\xed Book");
  EXPECT_EQ(GbkToUtf8(gbk), "图书管理 Book");
  EXPECT_EQ(Utf8ToGbk("状态："), "\xd7\xb4\xcc\xac\xa3\xba");
}

TEST(GbkTest, UnrepresentableTextIsAnErrorNamingIt) {
  EXPECT_FALSE(FitsGbk("emoji 😀"));
  EXPECT_TRUE(FitsGbk("全角（）"));
  try {
    Utf8ToGbk("封面😀");
    FAIL() << "expected an error";
  } catch (const TEncodingError& error) {
    EXPECT_NE(std::string(error.what()).find("封面😀"), std::string::npos);
  }
  EXPECT_THROW(GbkToUtf8("\xff\xff"), TEncodingError);
}

TEST(GbkTest, LineEndsTurnToCrLfInTheSamePassAsTheEncoding) {
  const std::string texts[] = {"",
                               "\n",
                               "\n\n图\n",
                               "ascii only\nand more\n",
                               "图书\n管理\nBook\n",
                               "状态：\n\n  \"添加图书\"\n  Caption = \"书\"",
                               std::string(40, 'x') + "\n" + std::string(9, 'y') + "名\n"};
  for (const std::string& text : texts) {
    EXPECT_EQ(Utf8ToGbkCrLf(text), Utf8ToGbk(CrLf(text))) << text;
  }
  try {
    Utf8ToGbkCrLf("第一行\n封面😀\n第三行\n");
    FAIL() << "expected an error";
  } catch (const TEncodingError& error) {
    EXPECT_NE(std::string(error.what()).find("\"封面😀\""), std::string::npos) << error.what();
  }
}

// Texts cut at every place a sixteen-byte step can meet: Chinese characters and line ends
// across a step's edge, at its first and last byte, long and short runs of each kind. The
// codec itself, given the whole text, is the reference.
TEST(GbkTest, EncodingAgreesWithTheCodecWhereverTheTextIsCut) {
  const std::string pieces[] = {"a",
                                "\n",
                                "图",
                                "书名",
                                std::string(15, 'x'),
                                std::string(16, 'y'),
                                std::string(17, 'z'),
                                "\r",
                                "状态：",
                                "\n\n",
                                "（）",
                                "\t"};
  std::mt19937 random(20261208);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int count = static_cast<int>(random() % 24);
    for (int i = 0; i < count; ++i) text += pieces[random() % std::size(pieces)];
    std::string plain, crLf;
    ASSERT_TRUE(AppendGbk(text, plain));
    ASSERT_TRUE(AppendGbk(CrLf(text), crLf));
    ASSERT_EQ(Utf8ToGbk(text), plain) << text;
    ASSERT_EQ(Utf8ToGbkCrLf(text), crLf) << text;
    // A build without the sixteen-byte steps writes the same bytes.
    ASSERT_EQ(TGbkEncoder().EncodeCrLfBytewise(text), crLf) << text;
  }
}

}  // namespace vbgen::test
