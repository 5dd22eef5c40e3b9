#include <gtest/gtest.h>

#include <ostream>

#include "TestModel.h"
#include "model/Rules.h"

namespace vbgen {

// Failures read as text in the test output.
void PrintTo(const TRuleFailure& failure, std::ostream* out) {
  *out << "{" << testing::PrintToString(failure.message) << ", field "
       << static_cast<int>(failure.field) << "}";
}

}  // namespace vbgen

namespace vbgen::test {

using ProjectRulesTest = ModelTest;
using ClassRulesTest = ModelTest;

TEST_F(ProjectRulesTest, NewAndRenamedNames) {
  EXPECT_EQ(CheckNewProjectName(""), "工程名称不能为空!");
  EXPECT_EQ(CheckRenamedProjectName(""), "工程项目名称不能为空!");
  AddProject("图书馆");
  EXPECT_EQ(CheckNewProjectName("图书馆"), "该工程名称已经存在!");
  EXPECT_EQ(CheckRenamedProjectName("图书馆"), std::nullopt);  // a rename may repeat a name
  EXPECT_EQ(CheckNewProjectName("O'Brien 项目 2"), std::nullopt);
}

TEST_F(ProjectRulesTest, NamesThatCannotBeADirectoryAreRefused) {
  const std::vector<std::string> names = {".",    "..",  "a/b", "a\\b", "a:b",  "a*",  "a?",
                                          "a\"b", "a<b", "a>b", "a|b",  "a\tb", "a\nb"};
  for (const std::string& bad : names) {
    EXPECT_TRUE(CheckNewProjectName(bad).has_value()) << bad;
    EXPECT_TRUE(CheckRenamedProjectName(bad).has_value()) << bad;
    EXPECT_NE(*CheckNewProjectName(bad), "该工程名称已经存在!");
  }
  EXPECT_EQ(CheckNewProjectName("v1.2"), std::nullopt);
}

TEST_F(ClassRulesTest, AddOrderOfChecks) {
  int projectId = AddProject("p");
  EXPECT_EQ(CheckAddClass(projectId, "", ""), "类名称不能为空!");
  EXPECT_EQ(CheckAddClass(projectId, "book", ""), "友好名称不能为空");
  EXPECT_EQ(CheckAddClass(projectId, "book", "图书"), "类名首个字母必须大写");
  EXPECT_EQ(CheckAddClass(projectId, "图书", "图书"), "类名首个字母必须大写");
  EXPECT_EQ(CheckAddClass(projectId, "_Book", "图书"), "类名首个字母必须大写");
  EXPECT_EQ(CheckAddClass(projectId, "Book", "图书"), std::nullopt);
  AddClass(projectId, "Book", "图书");
  EXPECT_EQ(CheckAddClass(projectId, "Book", "图书"), "该类名称已经存在!");
  EXPECT_EQ(CheckAddClass(AddProject("q"), "Book", "图书"), std::nullopt);
}

TEST_F(ClassRulesTest, UpdateOrderAcceptsADuplicateName) {
  EXPECT_EQ(CheckUpdateClass("", ""), "类名称不能为空");
  EXPECT_EQ(CheckUpdateClass("book", ""), "类名首个字母必须大写");
  EXPECT_EQ(CheckUpdateClass("Book", ""), "友好名称不能为空");
  int projectId = AddProject("p");
  AddClass(projectId, "Book", "图书");
  EXPECT_EQ(CheckUpdateClass("Book", "图书"), std::nullopt);
}

TEST_F(ClassRulesTest, NamesMustBeIdentifiersAndFriendNamesFitAString) {
  int projectId = AddProject("p");
  for (std::string bad :
       {"Book Shelf", "Book-1", "Book'", "Book.frm", "Bo\"ok", "Book/x", "Book（"}) {
    EXPECT_EQ(CheckAddClass(projectId, bad, "图书"), "类名只能由字母、数字、下划线或汉字组成!")
        << bad;
    EXPECT_EQ(CheckUpdateClass(bad, "图书"), "类名只能由字母、数字、下划线或汉字组成!") << bad;
  }
  EXPECT_EQ(CheckAddClass(projectId, "Book_2图书", "图书"), std::nullopt);
  EXPECT_EQ(CheckAddClass(projectId, "Book", "\"图书\""), "友好名称不能包含双引号或控制字符!");
  EXPECT_EQ(CheckUpdateClass("Book", "图\n书"), "友好名称不能包含双引号或控制字符!");
  EXPECT_EQ(CheckAddClass(projectId, "Book", "读者's 图书 (旧)"), std::nullopt);
}

TEST(TextRulesTest, CodePointsAreReadOneUtf8CharacterAtATime) {
  const std::string text = "a书😀";
  std::size_t pos = 0;
  EXPECT_EQ(NextCodePoint(text, pos), U'a');
  EXPECT_EQ(pos, 1u);
  EXPECT_EQ(NextCodePoint(text, pos), U'书');
  EXPECT_EQ(pos, 4u);
  EXPECT_EQ(NextCodePoint(text, pos), U'😀');
  EXPECT_EQ(pos, text.size());
  for (std::string bad : {"\xE4\xB9", "\xFF", "\x80\x61", "\xE4\x61\xA6"}) {  // \x61 is "a"
    pos = 0;
    EXPECT_EQ(NextCodePoint(bad, pos), std::nullopt) << bad;
    EXPECT_EQ(pos, 0u) << bad;
  }
}

class MemberRulesTest : public ::testing::Test {
 protected:
  // The add dialog's opening state with a name and a type chosen.
  TMemberInput Input(const std::string& name, const std::string& type) {
    TMemberInput input = NewMemberInput(MemberTypeList({{"Book", 1}, {"Reader", 2}}));
    input.name = name;
    for (std::size_t i = 0; i < input.typeList.size(); ++i) {
      if (input.typeList[i] == type) input.typeIndex = i;
    }
    return input;
  }
};

TEST_F(MemberRulesTest, TypeListAndOpeningState) {
  TMemberInput input = NewMemberInput(MemberTypeList({{"Book", 1}}));
  EXPECT_EQ(input.typeList,
            (std::vector<std::string>{"字符串", "整型", "浮点型", "日期型", "图片型", "Book"}));
  EXPECT_EQ(input.Type(), "字符串");
  EXPECT_EQ(input.lengthText, "20");
  EXPECT_TRUE(input.queryDisplay);
  EXPECT_FALSE(input.isPri || input.isMust || input.queryFlag || input.isDisplay);
}

TEST_F(MemberRulesTest, NameRules) {
  EXPECT_EQ(CheckAddMember(Input("", "字符串")), "成员名称输入不能为空!");
  for (std::string bad : {"Title", "1title", "书名", "_x"}) {
    EXPECT_EQ(CheckAddMember(Input(bad, "字符串")), "成员属性首个字母必须小写") << bad;
    EXPECT_EQ(CheckUpdateMember(Input(bad, "字符串")), "成员属性首个字母必须小写") << bad;
  }
  EXPECT_EQ(CheckAddMember(Input("book name", "字符串")),
            "成员名称只能由字母、数字、下划线或汉字组成!");
  EXPECT_EQ(CheckAddMember(Input("o'brien", "字符串")),
            "成员名称只能由字母、数字、下划线或汉字组成!");
  EXPECT_EQ(CheckAddMember(Input("title_书名2", "字符串")), std::nullopt);
}

TEST_F(MemberRulesTest, MustFlagRequiredForAllButStringAndPicture) {
  EXPECT_EQ(CheckAddMember(Input("d", "日期型")), "日期型必须勾选是否必填标志!");
  EXPECT_EQ(CheckAddMember(Input("n", "整型")), "整型必须勾选是否必填标志!");
  EXPECT_EQ(CheckAddMember(Input("r", "Book")), "Book必须勾选是否必填标志!");
  EXPECT_EQ(CheckAddMember(Input("s", "字符串")), std::nullopt);
  TMemberInput picture = Input("p", "图片型");
  picture.queryDisplay = false;
  EXPECT_EQ(CheckAddMember(picture), std::nullopt);
}

TEST_F(MemberRulesTest, PictureKeyAndQueryRules) {
  EXPECT_EQ(CheckAddMember(Input("p", "图片型")), "图片字段不用参与显示！");
  TMemberInput floatKey = Input("f", "浮点型");
  floatKey.isMust = floatKey.isPri = true;
  EXPECT_EQ(CheckAddMember(floatKey), "主键字段必须是整型或字符串型!");
  EXPECT_EQ(CheckUpdateMember(floatKey),
            std::nullopt);  // the update dialog does not check the key type
  TMemberInput hiddenKey = Input("k", "整型");
  hiddenKey.isMust = hiddenKey.isPri = true;
  hiddenKey.queryDisplay = false;
  EXPECT_EQ(CheckAddMember(hiddenKey), "主键字段需要参与显示!");
  TMemberInput query = Input("f", "浮点型");
  query.isMust = query.queryFlag = true;
  EXPECT_EQ(CheckAddMember(query), "参与查询的字段不能是浮点型");
  query = Input("d", "日期型");
  query.isMust = query.queryFlag = true;
  EXPECT_EQ(CheckAddMember(query), std::nullopt);
}

TEST_F(MemberRulesTest, AddAndUpdateOrdersDifferOnPictureAndHiddenKey) {
  // A picture key hidden from the grid breaks the picture, key-type and displayed-key rules.
  TMemberInput input = Input("p", "图片型");
  input.isPri = true;
  input.queryDisplay = true;
  EXPECT_EQ(CheckAddMember(input), "图片字段不用参与显示！");  // picture before key type
  input.queryDisplay = false;
  EXPECT_EQ(CheckAddMember(input), "主键字段必须是整型或字符串型!");  // key type
  EXPECT_EQ(CheckUpdateMember(input), "主键字段需要参与显示!");  // displayed key before picture
}

TEST_F(MemberRulesTest, KeysAreIntegersOrStringsByTheirTypeWord) {
  for (std::string type : {"字符串", "整型"}) {
    TMemberInput key = Input("k", type);
    key.isMust = key.isPri = true;
    EXPECT_EQ(CheckAddMember(key), std::nullopt) << type;
  }
  for (std::string type : {"浮点型", "日期型", "Book", "Reader"}) {
    TMemberInput key = Input("k", type);
    key.isMust = key.isPri = true;
    EXPECT_EQ(CheckAddMember(key), "主键字段必须是整型或字符串型!") << type;
  }
  // The word decides, not where it stands in the list.
  TMemberInput reordered = Input("k", "字符串");
  reordered.typeList = {"Book", "日期型", "整型"};
  reordered.typeIndex = 2;
  reordered.isMust = reordered.isPri = true;
  EXPECT_EQ(CheckAddMember(reordered), std::nullopt);
  reordered.typeIndex = 0;
  EXPECT_EQ(CheckAddMember(reordered), "主键字段必须是整型或字符串型!");
}

TEST_F(MemberRulesTest, StoredNamesMeetTheDialogsRules) {
  EXPECT_EQ(CheckStoredClassName(""), "类名称不能为空!");
  EXPECT_EQ(CheckStoredClassName("book"), "类名首个字母必须大写");
  EXPECT_EQ(CheckStoredClassName("Bo ok"), "类名只能由字母、数字、下划线或汉字组成!");
  EXPECT_EQ(CheckStoredClassName("Book"), std::nullopt);
  EXPECT_EQ(CheckStoredMemberName(""), "成员名称输入不能为空!");
  EXPECT_EQ(CheckStoredMemberName("Title"), "成员属性首个字母必须小写");
  EXPECT_EQ(CheckStoredMemberName("ti-tle"), "成员名称只能由字母、数字、下划线或汉字组成!");
  EXPECT_EQ(CheckStoredMemberName("title"), std::nullopt);
}

TEST_F(MemberRulesTest, CommentsMustFitAVbString) {
  TMemberInput input = Input("s", "字符串");
  input.comment = "书名 \"正式\"";
  EXPECT_EQ(CheckAddMember(input), "成员注释不能包含双引号或控制字符!");
  input.comment = "it's {className}";
  EXPECT_EQ(CheckAddMember(input), std::nullopt);
}

TEST_F(MemberRulesTest, BuildDerivesFlagsFromTheType) {
  TMemberInput input = Input("n", "整型");
  input.isMust = true;
  input.lengthText = "20";
  TBuiltMember built = BuildMember(input, 3, 4, 0);
  ASSERT_TRUE(built.member);
  EXPECT_EQ(built.member->memberLength, 0);
  EXPECT_EQ(built.member->memberIsInteger, 1);
  EXPECT_EQ(built.member->memberIsFloat, 0);
  EXPECT_EQ(built.member->projectId, 3);
  EXPECT_EQ(built.member->classId, 4);
  EXPECT_EQ(built.member->memberQueryDisplay, 1);
  input = Input("s", "字符串");
  input.lengthText = "50";
  input.queryDisplay = false;
  built = BuildMember(input, 3, 4, 9);
  EXPECT_EQ(built.member->memberLength, 50);
  EXPECT_EQ(built.member->memberQueryDisplay, 0);
  EXPECT_EQ(built.member->memberId, 9);
  input = Input("f", "浮点型");
  input.lengthText = "not a number";
  EXPECT_EQ(BuildMember(input, 1, 1, 0).member->memberIsFloat, 1);
}

TEST_F(MemberRulesTest, BadLengthOfAStringIsRefused) {
  TMemberInput input = Input("s", "字符串");
  for (std::string bad : {"", "abc", "12x", "1.5"}) {
    input.lengthText = bad;
    TBuiltMember built = BuildMember(input, 1, 1, 0);
    EXPECT_FALSE(built.member) << bad;
    EXPECT_EQ(built.error, "\"" + bad + "\"不是有效的整数值!");
  }
  input.lengthText = "0";
  EXPECT_EQ(BuildMember(input, 1, 1, 0).error, "字符串长度必须大于0!");
}

TEST_F(MemberRulesTest, UpdateStartsFromTheStoredMember) {
  TMember stored;
  stored.memberName = "owner";
  stored.memberType = "Elsewhere";  // a class of another project: not in the list
  stored.memberLength = 0;
  stored.memberIsMust = 0;
  TMemberInput input = MemberInputFrom(stored, MemberTypeList({{"Book", 1}}));
  EXPECT_EQ(input.typeIndex, std::nullopt);
  EXPECT_EQ(input.Type(), "");
  EXPECT_EQ(CheckUpdateMember(input), "必须勾选是否必填标志!");
  input.isMust = true;
  EXPECT_EQ(CheckUpdateMember(input), std::nullopt);
  EXPECT_EQ(BuildMember(input, 1, 1, 5).member->memberType, "");
}

}  // namespace vbgen::test

namespace vbgen::test {

using LimitRulesTest = ModelTest;

TEST_F(LimitRulesTest, ClassDialogsRefuseAdminAndLongNamesAfterThePartsRules) {
  int projectId = AddProject("p");
  AddClass(projectId, "Book", "图书");
  const std::string name31 = "B" + std::string(30, 'x');
  const std::string name32 = name31 + "x";
  const std::string limit = "类名最长31个字符: 生成的VB6控件名CB_Manage加类名不能超过40个字符!";
  EXPECT_EQ(CheckAddClass(projectId, name31, "图书"), std::nullopt);
  EXPECT_EQ(CheckAddClass(projectId, name32, "图书"), limit);
  EXPECT_EQ(CheckUpdateClass(name32, "图书"), limit);
  // The Parts' own rules keep their place in front.
  EXPECT_EQ(CheckAddClass(projectId, name32, ""), "友好名称不能为空");
  EXPECT_EQ(CheckUpdateClass(name32, ""), "友好名称不能为空");
  EXPECT_EQ(CheckAddClass(projectId, "Book", "图书"), "该类名称已经存在!");

  for (const char* admin : {"Admin", "ADMIN", "AdMiN"}) {
    EXPECT_EQ(CheckAddClass(projectId, admin, "操作员"),
              "类名不能是admin: 建表语句用admin表保存操作员!");
    EXPECT_EQ(CheckUpdateClass(admin, "操作员"), "类名不能是admin: 建表语句用admin表保存操作员!");
  }
  EXPECT_EQ(CheckAddClass(projectId, "Administrator", "操作员"), std::nullopt);

  // Adding refuses a name that differs only in case; updating keeps the Part's leniency.
  EXPECT_EQ(CheckAddClass(projectId, "BOOK", "图书"),
            "该类名称与已有的类Book只差大小写, VB6和SQL Server不区分大小写!");
  EXPECT_EQ(CheckUpdateClass("BOOK", "图书"), std::nullopt);
}

TEST_F(MemberRulesTest, NameLimitsFollowTheLongestControlOfTheType) {
  // TB_ (integer), RTB_ (string), DTP_ (date), CB_ (reference), TB_{name}Path (picture).
  const std::vector<std::pair<std::string, std::size_t>> limits = {
      {"整型", 37}, {"浮点型", 37}, {"字符串", 36}, {"日期型", 36}, {"Book", 37}, {"图片型", 33}};
  for (const auto& [type, limit] : limits) {
    TMemberInput fits = Input("m" + std::string(limit - 1, 'x'), type);
    fits.isMust = true;
    fits.queryDisplay = type != "图片型";
    EXPECT_EQ(CheckAddMember(fits), std::nullopt) << type;
    TMemberInput over = fits;
    over.name += "x";
    ASSERT_TRUE(CheckAddMember(over).has_value()) << type;
    EXPECT_EQ(CheckAddMember(over)->rfind("成员名称最长" + std::to_string(limit) + "个字符", 0), 0u)
        << *CheckAddMember(over);
    EXPECT_EQ(CheckUpdateMember(over), CheckAddMember(over));
  }
  // After the Part's rules: a long name with a capital still hears about the capital first.
  TMemberInput input = Input("T" + std::string(10000, 'x'), "字符串");
  EXPECT_EQ(CheckAddMember(input), "成员属性首个字母必须小写");
  input = Input(std::string(10000, 'x'), "图片型");
  EXPECT_EQ(CheckAddMember(input), "图片字段不用参与显示！");
}

TEST_F(MemberRulesTest, StringLengthsStopAtEightThousand) {
  TMemberInput input = Input("s", "字符串");
  input.lengthText = "8000";
  EXPECT_EQ(BuildMember(input, 1, 1, 0).member->memberLength, 8000);
  for (std::string bad : {"8001", "2147483647"}) {
    input.lengthText = bad;
    TBuiltMember built = BuildMember(input, 1, 1, 0);
    EXPECT_FALSE(built.member) << bad;
    EXPECT_EQ(built.error, "字符串长度不能超过8000! (SQL Server的varchar最长8000)");
  }
  input.lengthText = "2147483648";  // beyond int: not a number the field can hold
  EXPECT_EQ(BuildMember(input, 1, 1, 0).error, "\"2147483648\"不是有效的整数值!");
  // Another type keeps its length at 0, whatever the field shows.
  input = Input("n", "整型");
  input.isMust = true;
  input.lengthText = "9000";
  EXPECT_EQ(BuildMember(input, 1, 1, 0).member->memberLength, 0);
}

// ---- which input a failure is about

// When two inputs are wrong at once the message is that of the check that runs first, and the
// failure must name that check's input, whatever the other input's own check would say.
TEST_F(ClassRulesTest, FailuresNameTheInputTheyAreAbout) {
  int projectId = AddProject("p");
  AddClass(projectId, "Book", "图书");
  struct TCase {
    std::string className;
    std::string friendName;
    TFieldResult expected;
  };
  const std::vector<TCase> cases = {
      {"", "", TRuleFailure{"类名称不能为空!", TRuleField::ClassName}},
      {"Book", "", TRuleFailure{"友好名称不能为空", TRuleField::FriendName}},
      {"book", "图\"书", TRuleFailure{"类名首个字母必须大写", TRuleField::ClassName}},
      {"Bo-ok", "", TRuleFailure{"友好名称不能为空", TRuleField::FriendName}},
      {"Reader", "读\"者", TRuleFailure{kFriendNameChars, TRuleField::FriendName}},
      {"Book", "图\n书", TRuleFailure{kFriendNameChars, TRuleField::FriendName}},
      {"Book", "图书", TRuleFailure{"该类名称已经存在!", TRuleField::ClassName}},
      {"BOOK", "图书",
       TRuleFailure{"该类名称与已有的类Book只差大小写, VB6和SQL Server不区分大小写!",
                    TRuleField::ClassName}},
      {"Admin", "操作员",
       TRuleFailure{"类名不能是admin: 建表语句用admin表保存操作员!", TRuleField::ClassName}},
      {"Reader", "读者", std::nullopt},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.className + " / " + c.friendName);
    const TFieldResult failure = CheckAddClassWithField(projectId, c.className, c.friendName);
    EXPECT_EQ(failure, c.expected);
    // The dialogs show the same text.
    EXPECT_EQ(CheckAddClass(projectId, c.className, c.friendName),
              failure ? std::optional(failure->message) : std::nullopt);
  }
}

TEST_F(MemberRulesTest, FailuresNameTheInputTheyAreAbout) {
  struct TCase {
    const char* label;
    TMemberInput input;
    TFieldResult expected;
  };
  auto with = [this](const std::string& name, const std::string& type, const std::string& comment,
                     bool must = true) {
    TMemberInput input = Input(name, type);
    input.comment = comment;
    input.isMust = must;
    input.queryDisplay = type != "图片型";
    return input;
  };
  TMemberInput shownPicture = with("p", "图片型", "图\"片");
  shownPicture.queryDisplay = true;
  const std::vector<TCase> cases = {
      {"no name", with("", "字符串", "备\"注"),
       TRuleFailure{"成员名称输入不能为空!", TRuleField::MemberName}},
      {"capital and quote", with("Title", "字符串", "书\"名"),
       TRuleFailure{"成员属性首个字母必须小写", TRuleField::MemberName}},
      {"blank in the name and quote", with("ti tle", "字符串", "书\"名"),
       TRuleFailure{kMemberNameChars, TRuleField::MemberName}},
      {"quote only", with("title", "字符串", "书\"名"),
       TRuleFailure{kCommentChars, TRuleField::MemberComment}},
      {"control character", with("title", "字符串", "书\t名"),
       TRuleFailure{kCommentChars, TRuleField::MemberComment}},
      // The type and a flag together: no one input is at fault.
      {"date not required", with("born", "日期型", "出生\"日期", false),
       TRuleFailure{"日期型必须勾选是否必填标志!", TRuleField::Several}},
      {"picture shown", shownPicture, TRuleFailure{"图片字段不用参与显示！", TRuleField::Several}},
      // How long a name may be depends on its type.
      {"name too long", with("t" + std::string(36, 'x'), "字符串", ""),
       TRuleFailure{*CheckMemberNameLimit("t" + std::string(36, 'x'), "字符串"),
                    TRuleField::Several}},
      {"fine", with("title", "字符串", "书名"), std::nullopt},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.label);
    const TFieldResult failure = CheckAddMemberWithField(c.input);
    EXPECT_EQ(failure, c.expected);
    EXPECT_EQ(CheckAddMember(c.input), failure ? std::optional(failure->message) : std::nullopt);
  }
}

}  // namespace vbgen::test

namespace vbgen::test {

// What the database allows beyond the type: checked after every rule of the plain output, in
// both dialogs alike, and carried into the record only where it means something.
class DatabaseRulesTest : public MemberRulesTest {
 protected:
  TMemberInput Typed(const std::string& type, const std::string& sqlType) {
    TMemberInput input = Input("m", type);
    input.isMust = true;
    input.sqlType = sqlType;
    return input;
  }
  void ExpectBoth(const TMemberInput& input, const TRuleResult& expected) {
    EXPECT_EQ(CheckAddMember(input), expected) << input.Type() << " " << input.sqlType;
    EXPECT_EQ(CheckUpdateMember(input), expected) << input.Type() << " " << input.sqlType;
  }
};

TEST_F(DatabaseRulesTest, EachTypeTakesOnlyItsOwnSqlTypes) {
  for (const char* sqlType : {"", "nvarchar", "nchar", "char"})
    ExpectBoth(Typed("字符串", sqlType), std::nullopt);
  for (const char* sqlType : {"", "bit", "tinyint", "smallint"})
    ExpectBoth(Typed("整型", sqlType), std::nullopt);
  for (const char* sqlType : {"money", "smallmoney"})
    ExpectBoth(Typed("浮点型", sqlType), std::nullopt);
  ExpectBoth(Typed("字符串", "int"), "字符串成员的SQL类型只能是nvarchar、nchar或char!");
  ExpectBoth(Typed("字符串", "varchar"), "字符串成员的SQL类型只能是nvarchar、nchar或char!");
  ExpectBoth(Typed("整型", "decimal"), "整型成员的SQL类型只能是bit、tinyint或smallint!");
  ExpectBoth(Typed("浮点型", "NVARCHAR"),
             "浮点型成员的SQL类型只能是decimal、numeric、money或smallmoney!");
  ExpectBoth(Typed("日期型", "smalldatetime"), "日期型成员不能指定SQL类型!");
  ExpectBoth(Typed("Book", "int"), "Book成员不能指定SQL类型!");
  // The Part's rules come first: a date without the must flag says so, whatever its SQL type.
  TMemberInput date = Typed("日期型", "bit");
  date.isMust = false;
  ExpectBoth(date, "日期型必须勾选是否必填标志!");
}

TEST_F(DatabaseRulesTest, NationalTextsStopAtFourThousandAndDecimalsNeedPrecisionAndScale) {
  TMemberInput text = Typed("字符串", "nvarchar");
  text.lengthText = "4000";
  ExpectBoth(text, std::nullopt);
  text.lengthText = "4001";
  ExpectBoth(text, "nvarchar的长度不能超过4000!");
  text.sqlType = "char";
  ExpectBoth(text, std::nullopt);  // a char column takes 8000

  TMemberInput price = Typed("浮点型", "decimal");
  ExpectBoth(price, "decimal的精度必须在1到38之间!");
  price.precision = 39;
  ExpectBoth(price, "decimal的精度必须在1到38之间!");
  price.precision = 38;
  price.scale = 38;
  ExpectBoth(price, std::nullopt);
  price.sqlType = "numeric";
  price.precision = 10;
  price.scale = 11;
  ExpectBoth(price, "numeric的小数位数必须在0到精度10之间!");
  price.scale = -1;
  ExpectBoth(price, "numeric的小数位数必须在0到精度10之间!");
  price.scale = 2;
  const TMember built = *BuildMember(price, 1, 2, 0).member;
  EXPECT_EQ(built.memberSqlType, "numeric");
  EXPECT_EQ(built.memberPrecision, 10);
  EXPECT_EQ(built.memberScale, 2);
  // Left over from a decimal, precision and scale are not kept for money.
  price.sqlType = "money";
  const TMember money = *BuildMember(price, 1, 2, 0).member;
  EXPECT_EQ(money.memberPrecision, 0);
  EXPECT_EQ(money.memberScale, 0);
}

TEST_F(DatabaseRulesTest, KeysAreNeverNullAndOnlyAnIntegerKeyIsEntered) {
  TMemberInput key = Typed("整型", "");
  key.isPri = true;
  key.allowNull = true;
  ExpectBoth(key, "主键字段不能允许为空!");
  key.allowNull = false;
  key.keyEntered = true;
  ExpectBoth(key, std::nullopt);
  key.sqlType = "bit";
  ExpectBoth(key, std::nullopt);
  key.keyEntered = false;
  ExpectBoth(key, "bit类型的主键不能由数据库编号, 请选择由用户输入键值!");
  key.sqlType = "smallint";
  ExpectBoth(key, std::nullopt);

  TMemberInput text = Typed("字符串", "");
  text.isPri = true;
  text.keyEntered = true;
  ExpectBoth(text, "只有整型主键可以选择由用户输入键值!");
  TMemberInput plain = Typed("整型", "");
  plain.keyEntered = true;
  ExpectBoth(plain, "只有整型主键可以选择由用户输入键值!");
  plain.keyEntered = false;
  plain.allowNull = true;
  ExpectBoth(plain, std::nullopt);  // a NULL number keeps the must flag of the plain forms
}

TEST_F(DatabaseRulesTest, AReferenceKeyAndASelfReferenceAreForModelFilesAndTheUpdateDialog) {
  TMemberInput link = Input("book", "Book");
  link.isMust = link.isPri = true;
  EXPECT_EQ(CheckAddMember(link), "主键字段必须是整型或字符串型!");  // the add dialog's rule
  EXPECT_EQ(CheckUpdateMember(link), std::nullopt);
  EXPECT_EQ(CheckModelFileMemberWithField(link), std::nullopt);
  TMemberInput date = Input("day", "日期型");
  date.isMust = date.isPri = true;
  EXPECT_EQ(CheckModelFileMemberWithField(date),
            (TRuleFailure{"主键字段必须是整型或字符串型!", TRuleField::Several}));

  const std::vector<std::string> types = MemberTypeList({{"Book", 1}}, "Employee");
  EXPECT_EQ(types.back(), "Employee");
  EXPECT_EQ(types.size(), 7u);
  EXPECT_EQ(MemberTypeList({{"Book", 1}}).size(), 6u);
}

TEST_F(DatabaseRulesTest, TheNewFieldsGoFromRecordToInputAndBack) {
  TMember stored;
  stored.projectId = 1;
  stored.classId = 2;
  stored.memberId = 9;
  stored.memberName = "code";
  stored.memberType = "整型";
  stored.memberIsInteger = 1;
  stored.memberIsPri = 1;
  stored.memberIsMust = 1;
  stored.memberKeyEntered = 1;
  stored.memberSqlType = "tinyint";
  TMemberInput input = MemberInputFrom(stored, MemberTypeList({}));
  EXPECT_TRUE(input.keyEntered);
  EXPECT_FALSE(input.allowNull);
  EXPECT_EQ(input.sqlType, "tinyint");
  EXPECT_EQ(BuildMember(input, 1, 2, 9).member, stored);

  TMember optional = stored;
  optional.memberIsPri = 0;
  optional.memberKeyEntered = 0;
  optional.memberAllowNull = 1;
  optional.memberType = "浮点型";
  optional.memberIsInteger = 0;
  optional.memberIsFloat = 1;
  optional.memberSqlType = "decimal";
  optional.memberPrecision = 9;
  optional.memberScale = 3;
  EXPECT_EQ(BuildMember(MemberInputFrom(optional, MemberTypeList({})), 1, 2, 9).member, optional);
}

}  // namespace vbgen::test
