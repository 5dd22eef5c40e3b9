// The SQL Server table-creation script of a project: the operators' table with its default
// operator, then one table per class, then the foreign keys of every reference member.
#include "generate/SqlScript.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "generate/ModelCheck.h"
#include "generate/Rights.h"
#include "generate/TextTemplate.h"

namespace vbgen {
namespace {

// The operators' table and its one operator, who holds every right. "delete from admin " keeps
// its trailing blank.
constexpr std::string_view kHead = R"vb(GO

CREATE TABLE [dbo].[admin](
{TAB}[adminUsername] [nvarchar](20) COLLATE Chinese_PRC_CI_AS NULL,
{TAB}[adminPassword] [nvarchar](20) COLLATE Chinese_PRC_CI_AS NULL,
{TAB}[ql_flag] [nvarchar]({flagWidth}) COLLATE Chinese_PRC_CI_AS NULL
) ON [PRIMARY]
GO
delete from admin 
insert into admin(adminUsername,adminPassword, ql_flag)
values('admin','{defaultPassword}','{rightsFlags}')
GO

)vb";

constexpr std::string_view kDefaultPassword = "kelvo";

constexpr std::string_view kTableHead =
    R"vb(if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[{className}]') and OBJECTPROPERTY(id, N'IsUserTable') = 1)
drop table [dbo].[{className}]
GO

CREATE TABLE [dbo].[{className}] (
)vb";

// Closing a table first cuts the last three characters of the script (the last column line's
// comma and line end, or its trailing blank and line end), so the tail restores the line end.
constexpr std::size_t kTrimmedAtTableEnd = 3;
constexpr std::string_view kTableTail = R"vb(
) ON [PRIMARY]
GO



)vb";

// Column lines. The integer key has two blanks before PRIMARY; the date line ends in a blank.
constexpr std::string_view kIntegerKeyColumn =
    "{TAB}[{pkName}] [int] IDENTITY (1, 1) NOT NULL  PRIMARY KEY,\n";
constexpr std::string_view kTextKeyColumn =
    "{TAB}[{pkName}] [varchar] ({pkLength}) COLLATE Chinese_PRC_CI_AS NOT NULL PRIMARY KEY ,\n";
constexpr std::string_view kRequiredStringColumn =
    "{TAB}[{memberName}] [varchar] ({memberLength}) COLLATE Chinese_PRC_CI_AS NOT NULL ,\n";
constexpr std::string_view kOptionalStringColumn =
    "{TAB}[{memberName}] [varchar] ({memberLength}) COLLATE Chinese_PRC_CI_AS NULL ,\n";
constexpr std::string_view kIntegerColumn = "{TAB}[{memberName}] [int] NOT NULL ,\n";
constexpr std::string_view kFloatColumn = "{TAB}[{memberName}] [float] NOT NULL ,\n";
constexpr std::string_view kDateColumn = "{TAB}[{memberName}] [datetime] NULL , \n";
constexpr std::string_view kPictureColumn = "{TAB}[{memberName}] [image] NULL ,\n";
constexpr std::string_view kIntegerReferenceColumn = "{TAB}[{memberName}] int NOT NULL ,\n";
constexpr std::string_view kTextReferenceColumn =
    "{TAB}[{memberName}] [varchar] ({refPkLength}) COLLATE Chinese_PRC_CI_AS NOT NULL ,\n";

constexpr std::string_view kForeignKey =
    "ALTER TABLE {className} ADD FOREIGN KEY ({memberName}) REFERENCES {memberType}({refPkName})\n";

// A non-key member, and for a reference the key of the class it names.
struct TColumn {
  TMember member;
  std::optional<TMember> referencedKey;
};

struct TTable {
  std::string className;
  TMember key;
  std::vector<TColumn> columns;
};

// Fills a block whose line ends are already CR LF; values go in as they are.
std::string FillLine(std::string_view block, std::initializer_list<TVar> vars) {
  return Fill(CrLf(block), vars);
}

std::string KeyColumnLine(const TMember& key) {
  std::string length = std::to_string(key.memberLength);
  return FillLine(key.memberIsInteger == 1 ? kIntegerKeyColumn : kTextKeyColumn,
                  {{"TAB", "\t"}, {"pkName", key.memberName}, {"pkLength", length}});
}

std::string_view BuiltinColumnBlock(const TMember& member) {
  if (member.memberType == kTypeString) {
    return member.memberIsMust == 1 ? kRequiredStringColumn : kOptionalStringColumn;
  }
  if (member.memberType == kTypeInteger) return kIntegerColumn;
  if (member.memberType == kTypeFloat) return kFloatColumn;
  if (member.memberType == kTypeDate) return kDateColumn;
  return kPictureColumn;
}

std::string ColumnLine(const TColumn& column) {
  const TMember& member = column.member;
  if (!column.referencedKey) {
    std::string length = std::to_string(member.memberLength);
    return FillLine(BuiltinColumnBlock(member),
                    {{"TAB", "\t"}, {"memberName", member.memberName}, {"memberLength", length}});
  }
  const TMember& refKey = *column.referencedKey;
  std::string refLength = std::to_string(refKey.memberLength);
  return FillLine(refKey.memberIsInteger == 1 ? kIntegerReferenceColumn : kTextReferenceColumn,
                  {{"TAB", "\t"}, {"memberName", member.memberName}, {"refPkLength", refLength}});
}

std::string ForeignKeyLines(const TTable& table) {
  std::string lines;
  for (const auto& column : table.columns) {
    if (!column.referencedKey) continue;
    lines += FillLine(kForeignKey, {{"className", table.className},
                                    {"memberName", column.member.memberName},
                                    {"memberType", column.member.memberType},
                                    {"refPkName", column.referencedKey->memberName}});
  }
  return lines;
}

void AppendTable(std::string& script, const TTable& table) {
  script += FillLine(kTableHead, {{"className", table.className}});
  script += KeyColumnLine(table.key);
  for (const auto& column : table.columns) script += ColumnLine(column);
  script.resize(script.size() - kTrimmedAtTableEnd);
  script += CrLf(kTableTail);
}

std::string Head(std::size_t classCount) {
  const TRightsNumbering rights(classCount);
  return FillLine(kHead, {{"TAB", "\t"},
                          {"flagWidth", std::to_string(rights.FlagColumnWidth())},
                          {"defaultPassword", kDefaultPassword},
                          {"rightsFlags", rights.AllGranted()}});
}

// Every class with its key and columns; the script needs each class's key and the key
// of every class a member references. All problems are reported together, and nothing is built
// from a model that has any.
std::vector<TTable> MakeTables(const TModelSnapshot& model) {
  std::vector<std::string> problems;
  std::vector<TTable> tables;
  for (const TClassModel& entry : model.Classes()) {
    std::optional<TMember> key = entry.KeyMember();
    if (!key) problems.push_back(entry.className + kKeyCheckText);
    TTable table{entry.className, key.value_or(TMember{}), {}};
    for (auto& member : entry.NonKeyMembers()) {
      TColumn column{member, std::nullopt};
      if (member.IsReference()) {
        column.referencedKey = model.KeyMemberOf(member.memberType);
        if (!column.referencedKey && model.FindClass(member.memberType)) {
          problems.push_back("类" + entry.className + "的成员" + member.memberName + "引用的类\"" +
                             member.memberType + "\"没有设置主键!");
        }
      }
      table.columns.push_back(std::move(column));
    }
    tables.push_back(std::move(table));
  }
  // Then the first of the model check's errors that SQL Server would reject the script for,
  // worded as the check words it.
  if (problems.empty()) {
    if (const std::optional<TModelProblem> error = FirstScriptError(CheckModel(model)))
      problems.push_back(error->Line());
  }
  if (!problems.empty()) {
    std::string message;
    for (const auto& problem : problems) message += (message.empty() ? "" : "\n") + problem;
    throw TScriptError(message);
  }
  return tables;
}

}  // namespace

std::string BuildTableScript(int projectId) {
  const std::optional<TModelSnapshot> model = ReadModelSnapshot(projectId);
  return BuildTableScriptFrom(model ? *model : TModelSnapshot(projectId, {}, {}));
}

std::string BuildTableScriptFrom(const TModelSnapshot& model) {
  const std::vector<TTable> tables = MakeTables(model);
  std::string script = Head(tables.size());
  std::string foreignKeys;
  for (const auto& table : tables) {
    AppendTable(script, table);
    foreignKeys += ForeignKeyLines(table);
  }
  return script + foreignKeys;
}

}  // namespace vbgen
