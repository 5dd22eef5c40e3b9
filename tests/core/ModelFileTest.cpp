#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "TestModel.h"
#include "TestSupport.h"
#include "generate/check/ModelCheck.h"
#include "model/ModelFile.h"
#include "model/Rules.h"

namespace vbgen::test {
namespace {

using nlohmann::ordered_json;

std::string ExampleText() {
  return TFileOperate::ReadBytes(SourceDir() / "data" / "examples" / "library.json");
}

// The example with one change made to it, written out in the file's own layout.
std::string ChangedExample(const std::function<void(ordered_json&)>& change) {
  ordered_json model = ordered_json::parse(ExampleText());
  change(model);
  return model.dump(2) + "\n";
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// Every row of every table, with the autoincrement counters: equal snapshots mean that
// nothing at all was written.
std::string DatabaseSnapshot() {
  struct TTable {
    const char* name;
    std::vector<const char*> columns;
  };
  const TTable tables[] = {
      {"t_project", {"projectId", "projectName"}},
      {"t_class", {"classId", "projectId", "className", "friendName", "frontShowFlag"}},
      {"t_member",
       {"memberId", "projectId", "classId", "memberName", "memberType", "memberLength",
        "memberIsPri", "memberComment", "memberIsMust", "memberIsInteger", "memberIsFloat",
        "queryFlag", "memberIsDisplay", "memberQueryDisplay", "memberAllowNull", "memberKeyEntered",
        "memberSqlType", "memberPrecision", "memberScale"}},
      {"sqlite_sequence", {"name", "seq"}},
  };
  std::string out;
  TDbHelper db;
  for (const auto& table : tables) {
    TRowSet rows = db.OpenQuery(std::string("select * from ") + table.name);
    for (std::size_t row = 0; row < rows.size(); ++row) {
      out += table.name;
      for (const char* column : table.columns) out += "|" + rows.Text(row, column);
      out += "\n";
    }
  }
  return out;
}

int ProjectIdNamed(const std::string& name) {
  for (const auto& entry : TProjectDAO().ListProjects()) {
    if (entry.name == name) return entry.id;
  }
  return -1;
}

class ModelFileTest : public ModelTest {
 protected:
  // A project made through the store as the dialogs would: a reference to a class that comes
  // later, members moved out of their insertion order, every type, flags on and off.
  int AddSampleProject(const std::string& name) {
    int projectId = AddProject(name);
    int article = AddClass(projectId, "Article", "文章", 0);
    int writer = AddClass(projectId, "Writer", "作者", 1);
    int code = AddMember(projectId, article, "code", "字符串", "编号", 12, true);
    int headline =
        AddMember(projectId, article, "headline", "字符串", "标题", 80, false, true, true, true);
    AddMember(projectId, article, "writer", "Writer", "作者", 0, false, false, true);
    AddMember(projectId, article, "body", "字符串", "正文", 4000, false, false, false, false,
              false);
    AddMember(projectId, article, "score", "浮点型", "评分");
    AddMember(projectId, article, "image", "图片型", "插图", 0, false, false, false, false, false);
    TMemberDAO().SwapMembers(code, headline);
    AddMember(projectId, writer, "writerId", "整型", "作者编号", 0, true, true);
    AddMember(projectId, writer, "penName", "字符串", "笔名", 40, false, false, true);
    AddMember(projectId, writer, "born", "日期型", "出生日期", 0, false, false, true);
    return projectId;
  }
};

TEST_F(ModelFileTest, ExportWritesTheFixedLayoutWithoutKeys) {
  int projectId = AddProject("小工程");
  int tag = AddClass(projectId, "Tag", "标签", 1);
  AddMember(projectId, tag, "label", "字符串", "名称", 10, true, true, true, false);
  AddClass(projectId, "Note", "备注", 0);

  const std::string expected =
      "{\n"
      "  \"projectName\": \"小工程\",\n"
      "  \"classes\": [\n"
      "    {\n"
      "      \"className\": \"Tag\",\n"
      "      \"friendName\": \"标签\",\n"
      "      \"frontShowFlag\": 1,\n"
      "      \"members\": [\n"
      "        {\n"
      "          \"memberName\": \"label\",\n"
      "          \"memberType\": \"字符串\",\n"
      "          \"memberLength\": 10,\n"
      "          \"memberIsPri\": 1,\n"
      "          \"memberComment\": \"名称\",\n"
      "          \"memberIsMust\": 0,\n"
      "          \"memberIsInteger\": 0,\n"
      "          \"memberIsFloat\": 0,\n"
      "          \"queryFlag\": 1,\n"
      "          \"memberIsDisplay\": 1,\n"
      "          \"memberQueryDisplay\": 1\n"
      "        }\n"
      "      ]\n"
      "    },\n"
      "    {\n"
      "      \"className\": \"Note\",\n"
      "      \"friendName\": \"备注\",\n"
      "      \"frontShowFlag\": 0,\n"
      "      \"members\": []\n"
      "    }\n"
      "  ]\n"
      "}\n";
  EXPECT_EQ(ExportProject(projectId), expected);
}

TEST_F(ModelFileTest, ExportOfAMissingProjectIsRefused) {
  EXPECT_THROW(ExportProject(42), TModelFileError);
}

TEST_F(ModelFileTest, ExportImportExportGivesTheSameBytes) {
  int original = AddSampleProject("工程甲");
  std::string first = ExportProject(original);
  // The move above shows in the file: the headline now comes before the code.
  EXPECT_LT(first.find("\"headline\""), first.find("\"code\""));

  // Under another name beside the original: only the name differs.
  int copy = ImportProject(first, "工程乙");
  EXPECT_EQ(TProjectDAO().GetProjectName(copy), "工程乙");
  EXPECT_EQ(ExportProject(copy),
            Replaced(first, "\"projectName\": \"工程甲\"", "\"projectName\": \"工程乙\""));

  // Under its own name once the original is gone: byte for byte the same.
  TProjectDAO().DeleteProject(original);
  int again = ImportProject(first, std::nullopt);
  EXPECT_EQ(TProjectDAO().GetProjectName(again), "工程甲");
  EXPECT_EQ(ExportProject(again), first);
}

TEST_F(ModelFileTest, ImportedMembersCarryTheNewKeysAndTheirOrder) {
  std::string file = ExportProject(AddSampleProject("工程甲"));
  int projectId = ImportProject(file, "工程乙");
  auto classes = TClassDAO().ListClasses(projectId);
  ASSERT_EQ(classes.size(), 2u);
  EXPECT_EQ(classes[0].name, "Article");
  EXPECT_EQ(classes[1].name, "Writer");
  auto members = TMemberDAO().ListMembers(classes[0].id);
  ASSERT_EQ(members.size(), 6u);
  EXPECT_EQ(members[0].memberName, "headline");
  EXPECT_EQ(members[1].memberName, "code");
  for (const auto& member : members) {
    EXPECT_EQ(member.projectId, projectId);
    EXPECT_EQ(member.classId, classes[0].id);
  }
  // The reference finds the referenced class's key within the new project.
  auto key = TMemberDAO().GetKeyMemberOfClass(projectId, members[2].memberType);
  ASSERT_TRUE(key.has_value());
  EXPECT_EQ(key->memberName, "writerId");
  EXPECT_EQ(key->projectId, projectId);
}

TEST_F(ModelFileTest, ApostrophesAndBracesRoundTripUnchanged) {
  const std::string projectName = "O'Brien的{projectName}";
  const std::string friendName = "读者's {className}";
  const std::string comment = "it's {className} 与 {memberName}";
  int projectId = AddProject(projectName);
  int reader = AddClass(projectId, "Reader", friendName);
  AddMember(projectId, reader, "name", "字符串", comment, 20, true, true);

  std::string file = ExportProject(projectId);
  EXPECT_NE(file.find("\"" + friendName + "\""), std::string::npos);
  EXPECT_NE(file.find("\"" + comment + "\""), std::string::npos);

  TProjectDAO().DeleteProject(projectId);
  int imported = ImportProject(file, std::nullopt);
  EXPECT_EQ(TProjectDAO().GetProjectName(imported), projectName);
  auto classes = TClassDAO().ListClasses(imported);
  ASSERT_EQ(classes.size(), 1u);
  EXPECT_EQ(TClassDAO().GetFriendName(classes[0].id), friendName);
  EXPECT_EQ(TMemberDAO().ListMembers(classes[0].id).at(0).memberComment, comment);
  EXPECT_EQ(ExportProject(imported), file);
}

TEST_F(ModelFileTest, ExampleImportsCleanlyAndPassesTheRunsChecks) {
  std::string example = ExampleText();
  int projectId = ImportProject(example, std::nullopt);
  EXPECT_EQ(TProjectDAO().GetProjectName(projectId), "图书馆管理");

  auto classes = TClassDAO().ListClasses(projectId);
  ASSERT_EQ(classes.size(), 3u);
  EXPECT_EQ(classes[0].name, "Book");
  EXPECT_EQ(classes[1].name, "Reader");
  EXPECT_EQ(classes[2].name, "Loan");
  const TModelSnapshot model = *ReadModelSnapshot(projectId);
  EXPECT_EQ(FindModelProblems(model), std::vector<std::string>{});

  // What the example is meant to show: both kinds of key, references, a picture, a date, a
  // string long enough for the rich text box, and query members.
  TMemberDAO members;
  EXPECT_EQ(members.GetKeyMember(classes[0].id)->memberIsInteger, 0);
  EXPECT_EQ(members.GetKeyMember(classes[1].id)->memberIsInteger, 1);
  EXPECT_EQ(members.ListReferenceMembers(classes[2].id).size(), 2u);
  EXPECT_FALSE(members.ListPictureMembers(classes[0].id).empty());
  EXPECT_FALSE(members.ListQueryMembers(classes[2].id).empty());
  bool hasDate = false;
  bool hasLongText = false;
  for (const auto& entry : classes) {
    for (const auto& member : members.ListMembers(entry.id)) {
      hasDate = hasDate || member.memberType == kTypeDate;
      hasLongText = hasLongText || (member.memberType == kTypeString && member.memberLength > 255);
    }
  }
  EXPECT_TRUE(hasDate);
  EXPECT_TRUE(hasLongText);

  // The example is kept in the layout the program writes.
  EXPECT_EQ(ExportProject(projectId), example);
}

TEST_F(ModelFileTest, GivenNameReplacesTheFilesNameAndObeysTheNameRules) {
  int projectId = ImportProject(ExampleText(), "分馆");
  EXPECT_EQ(TProjectDAO().GetProjectName(projectId), "分馆");
  EXPECT_EQ(ProjectIdNamed("图书馆管理"), -1);

  std::string before = DatabaseSnapshot();
  try {
    ImportProject(ExampleText(), "a/b");
    FAIL() << "a name with a slash was accepted";
  } catch (const TModelFileError& error) {
    EXPECT_EQ(error.Where(), "工程名称");
    EXPECT_EQ(error.Reason(), *CheckRenamedProjectName("a/b"));
  }
  EXPECT_EQ(DatabaseSnapshot(), before);
}

struct TRefusal {
  const char* label;
  std::string text;
  std::optional<std::string> name;
  std::string where;   // the exact place the error names
  std::string reason;  // a part of the reason
};

TEST_F(ModelFileTest, RefusedImportsChangeNothingAndSayWhere) {
  // Something in the database already, so that "unchanged" means more than "empty".
  AddSampleProject("已有工程");
  ImportProject(ExampleText(), "已有图书馆");

  const std::vector<TRefusal> refusals = {
      {"not JSON", "{\n  \"projectName\": \"x\",\n  \"classes\": [}\n", std::nullopt, "模型文件",
       "第3行第15列"},
      {"not an object", "[]", std::nullopt, "模型文件", "应为JSON对象"},
      {"number too large for a double", "{\n  \"projectName\": 1e999,\n  \"classes\": []\n}\n",
       std::nullopt, "模型文件", "数值1e999超出范围(第2行第18列)"},
      {"columns count characters", "{\"projectName\": \"图书\", x}", std::nullopt, "模型文件",
       "(第1行第23列): 此处的\"x\"不符合JSON语法"},
      {"text cut short", "{\n  \"projectName\": \"x\"", std::nullopt, "模型文件",
       "文本在此处意外结束"},
      {"not UTF-8", "{\"projectName\": \"\xB9\xA4\"}", std::nullopt, "模型文件",
       "(第1行第18列): 此处的字节不是有效的UTF-8文本"},
      {"tab inside a text", "{\"projectName\": \"a\tb\"}", std::nullopt, "模型文件",
       "此处有控制字符0x09"},
      {"repeated key",
       Replaced(ExampleText(), "\"frontShowFlag\": 1,",
                "\"frontShowFlag\": 1,\n      \"frontShowFlag\": 0,"),
       std::nullopt, "模型文件", "frontShowFlag在同一对象中出现了两次"},
      {"missing member field", ChangedExample([](ordered_json& m) {
         m["classes"][1]["members"][2].erase("memberComment");
       }),
       std::nullopt, "类Reader(第2个)的成员gender(第3个)的字段memberComment", "缺少此字段"},
      {"missing classes", ChangedExample([](ordered_json& m) { m.erase("classes"); }), std::nullopt,
       "模型文件的字段classes", "缺少此字段"},
      {"length as text", ChangedExample([](ordered_json& m) {
         m["classes"][0]["members"][1]["memberLength"] = "100";
       }),
       std::nullopt, "类Book(第1个)的成员title(第2个)的字段memberLength", "应为整数"},
      {"flag as boolean",
       ChangedExample([](ordered_json& m) { m["classes"][2]["members"][0]["memberIsPri"] = true; }),
       std::nullopt, "类Loan(第3个)的成员loanId(第1个)的字段memberIsPri", "应为0或1"},
      {"flag of 2", ChangedExample([](ordered_json& m) { m["classes"][1]["frontShowFlag"] = 2; }),
       std::nullopt, "类Reader(第2个)的字段frontShowFlag", "应为0或1"},
      {"length out of range", ChangedExample([](ordered_json& m) {
         m["classes"][0]["members"][0]["memberLength"] = 99999999999;
       }),
       std::nullopt, "类Book(第1个)的成员isbn(第1个)的字段memberLength", "超出范围"},
      {"class name as number",
       ChangedExample([](ordered_json& m) { m["classes"][1]["className"] = 7; }), std::nullopt,
       "第2个类的字段className", "应为文本"},
      {"unknown field", ChangedExample([](ordered_json& m) { m["classes"][2]["color"] = "red"; }),
       std::nullopt, "类Loan(第3个)的字段color", "未知字段"},
      {"lower-case class name",
       ChangedExample([](ordered_json& m) { m["classes"][1]["className"] = "reader"; }),
       std::nullopt, "类reader(第2个)的字段className", "类名首个字母必须大写"},
      {"empty friend name",
       ChangedExample([](ordered_json& m) { m["classes"][2]["friendName"] = ""; }), std::nullopt,
       "类Loan(第3个)的字段friendName", "友好名称不能为空"},
      {"class repeated in the file",
       ChangedExample([](ordered_json& m) { m["classes"][2]["className"] = "Book"; }), std::nullopt,
       "类Book(第3个)的字段className", "该类名称已经存在!"},
      {"capitalised member name", ChangedExample([](ordered_json& m) {
         m["classes"][0]["members"][1]["memberName"] = "Title";
       }),
       std::nullopt, "类Book(第1个)的成员Title(第2个)的字段memberName", "成员属性首个字母必须小写"},
      // Two fields wrong at once: the place is the field whose rule refused, not the one
      // whose own rule would also refuse.
      {"class name and friend name both wrong", ChangedExample([](ordered_json& m) {
         m["classes"][1]["className"] = "reader";
         m["classes"][1]["friendName"] = "读\"者";
       }),
       std::nullopt, "类reader(第2个)的字段className", "类名首个字母必须大写"},
      {"quote in a friend name",
       ChangedExample([](ordered_json& m) { m["classes"][1]["friendName"] = "读\"者"; }),
       std::nullopt, "类Reader(第2个)的字段friendName", "双引号"},
      {"friend name empty and class name wrong", ChangedExample([](ordered_json& m) {
         m["classes"][1]["className"] = "Rea der";
         m["classes"][1]["friendName"] = "";
       }),
       std::nullopt, "类Rea der(第2个)的字段friendName", "友好名称不能为空"},
      {"member name and comment both wrong", ChangedExample([](ordered_json& m) {
         m["classes"][0]["members"][1]["memberName"] = "Title";
         m["classes"][0]["members"][1]["memberComment"] = "书\"名";
       }),
       std::nullopt, "类Book(第1个)的成员Title(第2个)的字段memberName", "成员属性首个字母必须小写"},
      // The longest name depends on the type: the member as a whole is named.
      {"member name too long for its type", ChangedExample([](ordered_json& m) {
         m["classes"][0]["members"][1]["memberName"] = "t" + std::string(36, 'x');
       }),
       std::nullopt, "类Book(第1个)的成员t" + std::string(36, 'x') + "(第2个)",
       "成员名称最长36个字符"},
      {"date not required",
       ChangedExample([](ordered_json& m) { m["classes"][2]["members"][4]["memberIsMust"] = 0; }),
       std::nullopt, "类Loan(第3个)的成员dueDate(第5个)", "日期型必须勾选是否必填标志!"},
      {"picture shown in the grid", ChangedExample([](ordered_json& m) {
         m["classes"][1]["members"][5]["memberQueryDisplay"] = 1;
       }),
       std::nullopt, "类Reader(第2个)的成员photo(第6个)", "图片字段不用参与显示！"},
      {"quote in a comment", ChangedExample([](ordered_json& m) {
         m["classes"][2]["members"][5]["memberComment"] = "备\"注";
       }),
       std::nullopt, "类Loan(第3个)的成员remark(第6个)的字段memberComment", "双引号"},
      {"unknown type", ChangedExample([](ordered_json& m) {
         m["classes"][2]["members"][1]["memberType"] = "Magazine";
       }),
       std::nullopt, "类Loan(第3个)的成员bookIsbn(第2个)的字段memberType", "Magazine"},
      // A reference to the class itself is taken (see ModelFileVersionTest); one that differs
      // from its name in case alone names no class.
      {"reference to its own class in another case", ChangedExample([](ordered_json& m) {
         m["classes"][2]["members"][1]["memberType"] = "LOAN";
       }),
       std::nullopt, "类Loan(第3个)的成员bookIsbn(第2个)的字段memberType", "LOAN"},
      {"integer flag against the type", ChangedExample([](ordered_json& m) {
         m["classes"][0]["members"][6]["memberIsInteger"] = 0;
       }),
       std::nullopt, "类Book(第1个)的成员copies(第7个)的字段memberIsInteger", "应为1"},
      {"length of a non-string",
       ChangedExample([](ordered_json& m) { m["classes"][0]["members"][5]["memberLength"] = 8; }),
       std::nullopt, "类Book(第1个)的成员price(第6个)的字段memberLength", "应为0"},
      {"string of length 0",
       ChangedExample([](ordered_json& m) { m["classes"][2]["members"][5]["memberLength"] = 0; }),
       std::nullopt, "类Loan(第3个)的成员remark(第6个)的字段memberLength", "字符串长度必须大于0!"},
      {"given name exists", ExampleText(), "已有图书馆", "工程名称", "该工程名称已经存在!"},
      {"file's name exists", ChangedExample([](ordered_json& m) { m["projectName"] = "已有工程"; }),
       std::nullopt, "模型文件的字段projectName", "该工程名称已经存在!"},
  };

  for (const auto& refusal : refusals) {
    SCOPED_TRACE(refusal.label);
    std::string before = DatabaseSnapshot();
    try {
      ImportProject(refusal.text, refusal.name);
      ADD_FAILURE() << "accepted";
    } catch (const TModelFileError& error) {
      EXPECT_EQ(error.Where(), refusal.where);
      EXPECT_NE(error.Reason().find(refusal.reason), std::string::npos) << error.what();
      EXPECT_EQ(std::string(error.what()), error.Where() + ": " + error.Reason());
      // The user reads our words, never the JSON library's English.
      for (const char* english : {"error", "parse", "unexpected", "overflow", "invalid", "type"})
        EXPECT_EQ(error.Reason().find(english), std::string::npos) << error.Reason();
    }
    EXPECT_EQ(DatabaseSnapshot(), before);
  }
}

}  // namespace
}  // namespace vbgen::test

namespace vbgen::test {

// The model file's second version: what the database allows, keys of several members and
// references to the own class; a model that uses none of it is still written as version 1.
class ModelFileVersionTest : public ModelFileTest {
 protected:
  // An order line keyed by its order and its product, a self-referencing employee with a NULL
  // date, an entered key, and every declared SQL type's kind.
  int AddDatabaseProject(const std::string& name) {
    const int projectId = AddProject(name);
    const int employee = AddClass(projectId, "Employee", "员工");
    const int line = AddClass(projectId, "OrderLine", "订单明细");
    TMemberDAO dao;
    auto add = [&](int classId, const std::string& memberName, const std::string& type,
                   const std::function<void(TMember&)>& change) {
      TMember m = *dao.GetMember(AddMember(projectId, classId, memberName, type, memberName,
                                           type == kTypeString ? 30 : 0));
      change(m);
      dao.UpdateMember(m);
    };
    add(employee, "employeeId", "整型", [](TMember& m) {
      m.memberIsPri = 1;
      m.memberKeyEntered = 1;
      m.memberSqlType = "smallint";
    });
    add(employee, "lastName", "字符串", [](TMember& m) {
      m.memberIsDisplay = 1;
      m.memberSqlType = "nvarchar";
    });
    add(employee, "reportsTo", "Employee", [](TMember& m) { m.memberAllowNull = 1; });
    add(employee, "hired", "日期型", [](TMember& m) { m.memberAllowNull = 1; });
    add(line, "orderNo", "整型", [](TMember& m) { m.memberIsPri = 1; });
    add(line, "seller", "Employee", [](TMember& m) { m.memberIsPri = 1; });
    add(line, "price", "浮点型", [](TMember& m) {
      m.memberSqlType = "decimal";
      m.memberPrecision = 19;
      m.memberScale = 4;
      m.memberIsDisplay = 1;
    });
    add(line, "discount", "浮点型", [](TMember& m) {
      m.memberSqlType = "smallmoney";
      m.memberAllowNull = 1;
    });
    return projectId;
  }
};

TEST_F(ModelFileVersionTest, EveryNewFieldRoundTripsUnderVersionTwo) {
  const int original = AddDatabaseProject("罗斯文");
  const std::string file = ExportProject(original);
  EXPECT_EQ(file.rfind("{\n  \"formatVersion\": 2,\n  \"projectName\": \"罗斯文\",", 0), 0u)
      << file;
  // Every member says every field, the unused ones too.
  EXPECT_NE(file.find("\"memberName\": \"orderNo\",\n          \"memberType\": \"整型\""),
            std::string::npos);
  const ordered_json parsed = ordered_json::parse(file);
  EXPECT_EQ(parsed["classes"][1]["members"][0].size(), 16u);
  EXPECT_EQ(parsed["classes"][1]["members"][2]["memberPrecision"], 19);

  const int copy = ImportProject(file, "罗斯文副本");
  const TModelSnapshot before = Snapshot(original);
  const TModelSnapshot after = Snapshot(copy);
  ASSERT_EQ(after.Classes().size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    const TMemberList& was = before.Classes()[i].members;
    const TMemberList& is = after.Classes()[i].members;
    ASSERT_EQ(is.size(), was.size());
    for (std::size_t j = 0; j < was.size(); ++j) {
      TMember expected = was[j];
      expected.memberId = is[j].memberId;
      expected.projectId = copy;
      expected.classId = is[j].classId;
      EXPECT_EQ(is[j], expected) << was[j].memberName;
    }
  }
  EXPECT_EQ(ExportProject(copy),
            Replaced(file, "\"projectName\": \"罗斯文\"", "\"projectName\": \"罗斯文副本\""));
}

TEST_F(ModelFileVersionTest, APlainModelIsStillWrittenAsVersionOne) {
  const int projectId = AddSampleProject("普通");
  const std::string file = ExportProject(projectId);
  EXPECT_EQ(file.find("formatVersion"), std::string::npos);
  EXPECT_EQ(file.find("memberAllowNull"), std::string::npos);
  // One new field set anywhere makes the whole file version 2.
  TMember member = TMemberDAO().ListProjectMembers(projectId).back();
  member.memberAllowNull = 1;
  TMemberDAO().UpdateMember(member);
  EXPECT_NE(ExportProject(projectId).find("\"formatVersion\": 2"), std::string::npos);
}

// A version 1 file (the shipped example) reads with the new fields off; a version 2 file may
// leave them out as well.
TEST_F(ModelFileVersionTest, OlderFilesAndMissingFieldsReadAsDefaults) {
  const int example = ImportProject(ExampleText(), "示例");
  for (const TMember& member : TMemberDAO().ListProjectMembers(example)) {
    EXPECT_EQ(member.memberAllowNull + member.memberKeyEntered + member.memberPrecision +
                  member.memberScale,
              0)
        << member.memberName;
    EXPECT_EQ(member.memberSqlType, "");
  }
  const std::string partly = ChangedExample([](ordered_json& m) {
    ordered_json versioned = ordered_json::object();
    versioned["formatVersion"] = 2;
    versioned["projectName"] = "部分";
    versioned["classes"] = m["classes"];
    versioned["classes"][0]["members"][1]["memberAllowNull"] = 1;
    versioned["classes"][0]["members"][1]["memberSqlType"] = "nchar";
    m = versioned;
  });
  const int imported = ImportProject(partly, std::nullopt);
  const TMember title = TMemberDAO().ListProjectMembers(imported).at(1);
  EXPECT_EQ(title.memberName, "title");
  EXPECT_EQ(title.memberAllowNull, 1);
  EXPECT_EQ(title.memberSqlType, "nchar");
  EXPECT_EQ(title.memberKeyEntered, 0);
}

TEST_F(ModelFileVersionTest, BadNewFieldsAndUnknownVersionsAreRefusedWithNothingStored) {
  AddSampleProject("已有工程");
  const std::string file = ExportProject(AddDatabaseProject("罗斯文"));
  auto changed = [&file](const std::function<void(ordered_json&)>& change) {
    ordered_json model = ordered_json::parse(file);
    model["projectName"] = "新的";
    change(model);
    return model.dump(2) + "\n";
  };
  const std::vector<TRefusal> refusals = {
      {"later version", changed([](ordered_json& m) { m["formatVersion"] = 3; }), std::nullopt,
       "模型文件的字段formatVersion", "请使用更新版本的程序"},
      {"version zero", changed([](ordered_json& m) { m["formatVersion"] = 0; }), std::nullopt,
       "模型文件的字段formatVersion", "本程序只能读取版本1到2"},
      {"version as text", changed([](ordered_json& m) { m["formatVersion"] = "2"; }), std::nullopt,
       "模型文件的字段formatVersion", "应为整数"},
      {"sql type of another type",
       changed([](ordered_json& m) { m["classes"][0]["members"][1]["memberSqlType"] = "bit"; }),
       std::nullopt, "类Employee(第1个)的成员lastName(第2个)",
       "字符串成员的SQL类型只能是nvarchar、nchar或char!"},
      {"precision out of range",
       changed([](ordered_json& m) { m["classes"][1]["members"][2]["memberPrecision"] = 40; }),
       std::nullopt, "类OrderLine(第2个)的成员price(第3个)", "decimal的精度必须在1到38之间!"},
      {"precision without decimal",
       changed([](ordered_json& m) { m["classes"][1]["members"][3]["memberPrecision"] = 5; }),
       std::nullopt, "类OrderLine(第2个)的成员discount(第4个)的字段memberPrecision",
       "与SQL类型\"smallmoney\"不符, 应为0"},
      {"null key",
       changed([](ordered_json& m) { m["classes"][1]["members"][0]["memberAllowNull"] = 1; }),
       std::nullopt, "类OrderLine(第2个)的成员orderNo(第1个)", "主键字段不能允许为空!"},
      {"entered flag as boolean",
       changed([](ordered_json& m) { m["classes"][0]["members"][0]["memberKeyEntered"] = true; }),
       std::nullopt, "类Employee(第1个)的成员employeeId(第1个)的字段memberKeyEntered", "应为0或1"},
  };
  const std::string before = DatabaseSnapshot();
  for (const auto& refusal : refusals) {
    try {
      ImportProject(refusal.text, refusal.name);
      ADD_FAILURE() << refusal.label << ": imported";
    } catch (const TModelFileError& error) {
      EXPECT_EQ(error.Where(), refusal.where) << refusal.label;
      EXPECT_NE(error.Reason().find(refusal.reason), std::string::npos)
          << refusal.label << ": " << error.what();
    }
    EXPECT_EQ(DatabaseSnapshot(), before) << refusal.label;
  }
}

}  // namespace vbgen::test
