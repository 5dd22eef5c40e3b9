// The SQL Server table-creation script of a project: the operators' table with its default
// operator, then one table per class, then the foreign keys of every reference member.
#include "generate/emit/SqlScript.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "generate/check/ModelCheck.h"
#include "generate/emit/Rights.h"
#include "generate/emit/TextTemplate.h"
#include "model/Rules.h"

namespace vbgen {
namespace {

constexpr std::string_view kScriptStart = "GO\n\n";

// The operators' table and its one operator, who holds every right. "delete from admin " keeps
// its trailing blank.
constexpr std::string_view kAdminTable = R"vb(CREATE TABLE [dbo].[admin](
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

constexpr std::string_view kDropTable =
    R"vb(if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[{className}]') and OBJECTPROPERTY(id, N'IsUserTable') = 1)
drop table [dbo].[{className}]
GO
)vb";

constexpr std::string_view kCreateTableHead = R"vb(
CREATE TABLE [dbo].[{className}] (
)vb";

// The script of a complete application can be run again: first every foreign key that links a
// table of the script goes (whichever script made it), then the tables, those that reference
// others first, the operators' table among them; then everything is created anew.
constexpr std::string_view kDropForeignKeysHead = R"vb(declare @dropForeignKeys nvarchar(max)
set @dropForeignKeys = N''
select @dropForeignKeys = @dropForeignKeys + N'alter table ' + quotename(schema_name(schema_id)) + N'.' + quotename(object_name(parent_object_id)) + N' drop constraint ' + quotename(name) + N'; '
from sys.foreign_keys
where referenced_object_id in ({tableIds})
or parent_object_id in ({tableIds})
exec sp_executesql @dropForeignKeys
GO
)vb";

constexpr std::string_view kTableId = "object_id(N'[dbo].[{className}]')";

// The line end of the last column line comes with the tail.
constexpr std::string_view kTableTail = R"vb(
) ON [PRIMARY]
GO



)vb";

// A column line is its text and the separator that follows it unless it is the table's last
// column. The separator is the line's last three characters, as the scripts have always had
// them: the comma and the line end, but for a date its trailing blank and the line end, so a
// date that comes last keeps its comma; a text key that comes last keeps the blank before it.
struct TColumnBlock {
  std::string_view text;
  std::string_view separator;
};

constexpr std::string_view kCommaSeparator = ",\n";
constexpr std::string_view kBlankSeparator = " \n";

// The integer key has two blanks before PRIMARY. The types in braces are the plain script's
// (int, varchar, float) unless the complete application's script declares another.
constexpr TColumnBlock kIntegerKeyColumn{
    "{TAB}[{pkName}] [{intType}] IDENTITY (1, 1) NOT NULL  PRIMARY KEY", kCommaSeparator};
// An integer key the complete application's user types in.
constexpr TColumnBlock kEnteredIntegerKeyColumn{"{TAB}[{pkName}] [{intType}] NOT NULL PRIMARY KEY",
                                                kCommaSeparator};
constexpr TColumnBlock kTextKeyColumn{
    "{TAB}[{pkName}] [{textType}] ({pkLength}) COLLATE Chinese_PRC_CI_AS NOT NULL PRIMARY KEY ",
    kCommaSeparator};
// {null} is NOT NULL or NULL.
constexpr TColumnBlock kStringColumn{
    "{TAB}[{memberName}] [{textType}] ({memberLength}) COLLATE Chinese_PRC_CI_AS {null} ",
    kCommaSeparator};
constexpr TColumnBlock kIntegerColumn{"{TAB}[{memberName}] [{intType}] {null} ", kCommaSeparator};
// The member of a key of several members that the database numbers.
constexpr TColumnBlock kIdentityColumn{"{TAB}[{memberName}] [{intType}] IDENTITY (1, 1) NOT NULL ",
                                       kCommaSeparator};
// {floatType} is [float], or the declared type with its precision and scale.
constexpr TColumnBlock kFloatColumn{"{TAB}[{memberName}] {floatType} {null} ", kCommaSeparator};
constexpr TColumnBlock kDateColumn{"{TAB}[{memberName}] [datetime] NULL ,", kBlankSeparator};
constexpr TColumnBlock kPictureColumn{"{TAB}[{memberName}] [image] NULL ", kCommaSeparator};
constexpr TColumnBlock kIntegerReferenceColumn{"{TAB}[{memberName}] {intType} {null} ",
                                               kCommaSeparator};
constexpr TColumnBlock kTextReferenceColumn{
    "{TAB}[{memberName}] [{textType}] ({refPkLength}) COLLATE Chinese_PRC_CI_AS {null} ",
    kCommaSeparator};
// A key of several members, or one that is a reference, closes the column list.
constexpr TColumnBlock kPrimaryKeyConstraint{
    "{TAB}CONSTRAINT [PK_{className}] PRIMARY KEY ({keyColumns})", kCommaSeparator};

constexpr std::string_view kForeignKey =
    "ALTER TABLE {className} ADD FOREIGN KEY ({memberName}) REFERENCES {memberType}({refPkName})\n";
// The complete application's script takes every name, reserved words too.
constexpr std::string_view kBracketedForeignKey =
    "ALTER TABLE [{className}] ADD FOREIGN KEY ([{memberName}]) REFERENCES "
    "[{memberType}]([{refPkName}])\n";

// The script of a complete application also keeps each class's friend name and each member's
// comment in the database, where Management Studio shows them and our own import reads them
// back. Values go in as N'...' literals with every single quote doubled.
constexpr std::string_view kEndOfForeignKeys = "GO\n";
constexpr std::string_view kTableDescription =
    "EXEC sp_addextendedproperty N'MS_Description', N'{description}', N'SCHEMA', N'dbo', "
    "N'TABLE', N'{className}'\n";
constexpr std::string_view kColumnDescription =
    "EXEC sp_addextendedproperty N'MS_Description', N'{description}', N'SCHEMA', N'dbo', "
    "N'TABLE', N'{className}', N'COLUMN', N'{memberName}'\n";
constexpr std::string_view kDescriptionsTail = "GO\n";

// A member, and for a reference the key of the class it names; both in the model.
struct TColumn {
  const TMember* member = nullptr;
  const TMember* referencedKey = nullptr;
};

// The plain script's table has one key, the class's first key member; the complete
// application's has every key member, in member order, or none.
struct TTable {
  std::string className;
  std::string friendName;
  std::vector<TColumn> keys;
  std::vector<TColumn> columns;  // the members outside the key
  bool complete = false;         // written as the complete application declares its columns
};

// Fills a block whose line ends are already CR LF; values go in as they are.
std::string FillLine(std::string_view block, std::initializer_list<TVar> vars) {
  return Fill(CrLf(block), vars);
}

// A column line filled in: its text and its separator, line ends already CR LF.
struct TColumnLine {
  std::string text;
  std::string separator;
};

TColumnLine FillColumn(const TColumnBlock& block, std::initializer_list<TVar> vars) {
  return {FillLine(block.text, vars), CrLf(block.separator)};
}

// The SQL types of a member: the plain script's mapping, or what the complete application's
// model declares.
std::string DeclaredOr(const TMember& member, bool complete, const char* plain) {
  return complete && !member.memberSqlType.empty() ? member.memberSqlType : plain;
}
std::string FloatType(const TMember& member, bool complete) {
  if (!complete || member.memberSqlType.empty()) return "[float]";
  if (!SqlTypeHasPrecision(member.memberSqlType)) return "[" + member.memberSqlType + "]";
  return "[" + member.memberSqlType + "] (" + std::to_string(member.memberPrecision) + ", " +
         std::to_string(member.memberScale) + ")";
}
std::string Nullability(const TMember& member, bool allowsNull) {
  return allowsNull || member.memberAllowNull == 1 ? "NULL" : "NOT NULL";
}

// The one key written on its own line, as the plain script has always written it.
bool HasKeyLine(const TTable& table) {
  return table.keys.size() == 1 && !table.keys.front().referencedKey;
}

TColumnLine KeyColumnLine(const TTable& table) {
  const TMember& key = *table.keys.front().member;
  const std::string length = std::to_string(key.memberLength);
  if (key.memberIsInteger != 1) {
    return FillColumn(kTextKeyColumn, {{"TAB", "\t"},
                                       {"pkName", key.memberName},
                                       {"textType", DeclaredOr(key, table.complete, "varchar")},
                                       {"pkLength", length}});
  }
  const bool entered = table.complete && key.memberKeyEntered == 1;
  return FillColumn(entered ? kEnteredIntegerKeyColumn : kIntegerKeyColumn,
                    {{"TAB", "\t"},
                     {"pkName", key.memberName},
                     {"intType", DeclaredOr(key, table.complete, "int")}});
}

const TColumnBlock& BuiltinColumnBlock(const TMember& member, bool inKey) {
  if (member.memberType == kTypeString) return kStringColumn;
  if (member.memberType == kTypeInteger) {
    return inKey && member.memberKeyEntered != 1 ? kIdentityColumn : kIntegerColumn;
  }
  if (member.memberType == kTypeFloat) return kFloatColumn;
  if (member.memberType == kTypeDate) return kDateColumn;
  return kPictureColumn;
}

// A member of a key of several members is never NULL; a string outside the key is NULL where
// it need not be filled in, as the plain forms have always had it.
TColumnLine ColumnLine(const TColumn& column, bool complete, bool inKey) {
  const TMember& member = *column.member;
  if (!column.referencedKey) {
    const bool optionalText = member.memberType == kTypeString && member.memberIsMust != 1;
    return FillColumn(BuiltinColumnBlock(member, inKey),
                      {{"TAB", "\t"},
                       {"memberName", member.memberName},
                       {"memberLength", std::to_string(member.memberLength)},
                       {"textType", DeclaredOr(member, complete, "varchar")},
                       {"intType", DeclaredOr(member, complete, "int")},
                       {"floatType", FloatType(member, complete)},
                       {"null", inKey ? "NOT NULL" : Nullability(member, optionalText)}});
  }
  // A reference takes the type of the key it points to.
  const TMember& refKey = *column.referencedKey;
  return FillColumn(refKey.memberIsInteger == 1 ? kIntegerReferenceColumn : kTextReferenceColumn,
                    {{"TAB", "\t"},
                     {"memberName", member.memberName},
                     {"intType", DeclaredOr(refKey, complete, "int")},
                     {"textType", DeclaredOr(refKey, complete, "varchar")},
                     {"refPkLength", std::to_string(refKey.memberLength)},
                     {"null", inKey ? "NOT NULL" : Nullability(member, false)}});
}

TColumnLine PrimaryKeyConstraint(const TTable& table) {
  std::string keyColumns;
  for (const TColumn& key : table.keys) {
    keyColumns += (keyColumns.empty() ? "[" : ", [") + key.member->memberName + "]";
  }
  return FillColumn(kPrimaryKeyConstraint,
                    {{"TAB", "\t"}, {"className", table.className}, {"keyColumns", keyColumns}});
}

// The key's lines, then each column's; every line but the last followed by its separator.
std::string ColumnList(const TTable& table) {
  std::vector<TColumnLine> lines;
  const bool keyLine = HasKeyLine(table);
  if (keyLine) lines.push_back(KeyColumnLine(table));
  for (const auto& key : keyLine ? std::vector<TColumn>{} : table.keys) {
    lines.push_back(ColumnLine(key, table.complete, true));
  }
  for (const auto& column : table.columns)
    lines.push_back(ColumnLine(column, table.complete, false));
  if (!keyLine && !table.keys.empty()) lines.push_back(PrimaryKeyConstraint(table));
  std::string list;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    list += lines[i].text;
    if (i + 1 < lines.size()) list += lines[i].separator;
  }
  return list;
}

// The key's members and then the others: every member of the table that is written.
std::vector<TColumn> AllColumns(const TTable& table) {
  std::vector<TColumn> all = table.keys;
  all.insert(all.end(), table.columns.begin(), table.columns.end());
  return all;
}

std::string ForeignKeyLines(const TTable& table, bool bracketed) {
  std::string lines;
  for (const auto& column : AllColumns(table)) {
    if (!column.referencedKey) continue;
    lines += FillLine(bracketed ? kBracketedForeignKey : kForeignKey,
                      {{"className", table.className},
                       {"memberName", column.member->memberName},
                       {"memberType", column.member->memberType},
                       {"refPkName", column.referencedKey->memberName}});
  }
  return lines;
}

void AppendTable(std::string& script, const TTable& table, bool withDrop) {
  if (withDrop) script += FillLine(kDropTable, {{"className", table.className}});
  script += FillLine(kCreateTableHead, {{"className", table.className}});
  script += ColumnList(table);
  script += CrLf(kTableTail);
}

std::string AdminTable(std::size_t classCount) {
  const TRightsNumbering rights(classCount);
  return FillLine(kAdminTable, {{"TAB", "\t"},
                                {"flagWidth", std::to_string(rights.FlagColumnWidth())},
                                {"defaultPassword", kDefaultPassword},
                                {"rightsFlags", rights.AllGranted()}});
}

// Every class with its key and columns; the script needs each class's key and the key
// of every class a member references. All problems are reported together, and nothing is built
// from a model that has any.
std::vector<TTable> MakeTables(const TModelSnapshot& model, const TRunOptions& options) {
  std::vector<std::string> problems;
  std::vector<TTable> tables;
  tables.reserve(model.Classes().size());
  for (const TClassModel& entry : model.Classes()) {
    const TMember* key = entry.KeyMember();
    // The complete application lists a table without a key; the plain forms cannot.
    if (!key && !options.complete) problems.push_back(entry.className + kKeyCheckText);
    TTable table{entry.className, entry.friendName, {}, {}, options.complete};
    table.columns.reserve(entry.members.size());
    for (const TMember& member : entry.members) {
      // The plain key's line is its own; a second key has none there.
      const bool inKey = member.memberIsPri != 0;
      if (inKey && !options.complete && &member != key) continue;
      TColumn column{&member, nullptr};
      if (member.IsReference()) {
        column.referencedKey = model.KeyMemberOf(member.memberType);
        if (!column.referencedKey && model.FindClass(member.memberType)) {
          problems.push_back("类" + entry.className + "的成员" + member.memberName + "引用的类\"" +
                             member.memberType + "\"没有设置主键!");
        }
      }
      (inKey ? table.keys : table.columns).push_back(column);
    }
    tables.push_back(std::move(table));
  }
  // Then the first of the model check's errors that SQL Server would reject the script for,
  // worded as the check words it.
  if (problems.empty()) {
    if (const std::optional<TModelProblem> error = FirstScriptError(model, options))
      problems.push_back(error->Line());
  }
  if (!problems.empty()) {
    std::string message;
    for (const auto& problem : problems) message += (message.empty() ? "" : "\n") + problem;
    throw TScriptError(message);
  }
  return tables;
}

// Tables in an order in which each comes after the tables it references (as far as references
// do not go round in a circle), class order otherwise.
void VisitReferencedFirst(const std::vector<TTable>& tables, std::size_t index,
                          std::vector<bool>& visited, std::vector<std::size_t>& order) {
  if (visited[index]) return;
  visited[index] = true;
  for (const TColumn& column : AllColumns(tables[index])) {
    if (!column.referencedKey) continue;
    for (std::size_t other = 0; other < tables.size(); ++other) {
      if (tables[other].className == column.member->memberType) {
        VisitReferencedFirst(tables, other, visited, order);
        break;
      }
    }
  }
  order.push_back(index);
}

std::vector<std::size_t> ReferencedFirst(const std::vector<TTable>& tables) {
  std::vector<bool> visited(tables.size(), false);
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < tables.size(); ++i) VisitReferencedFirst(tables, i, visited, order);
  return order;
}

std::string RerunnableDrops(const std::vector<TTable>& tables) {
  std::string drops;
  if (!tables.empty()) {
    std::string tableIds;
    for (const TTable& table : tables) {
      tableIds += (tableIds.empty() ? "" : ", ") + Fill(kTableId, {{"className", table.className}});
    }
    drops += FillLine(kDropForeignKeysHead, {{"tableIds", tableIds}});
  }
  const std::vector<std::size_t> order = ReferencedFirst(tables);
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    drops += FillLine(kDropTable, {{"className", tables[*it].className}});
  }
  drops += FillLine(kDropTable, {{"className", "admin"}});
  return drops;
}

// The text between the quotes of an N'...' literal.
std::string SqlLiteralText(const std::string& value) {
  std::string text;
  text.reserve(value.size());
  for (char c : value) {
    text += c;
    if (c == '\'') text += '\'';
  }
  return text;
}

std::string DescriptionLines(const TTable& table) {
  const std::string className = SqlLiteralText(table.className);
  std::string lines;
  if (!table.friendName.empty()) {
    lines += FillLine(kTableDescription, {{"description", SqlLiteralText(table.friendName)},
                                          {"className", className}});
  }
  auto addColumn = [&](const TMember& member) {
    if (member.memberComment.empty()) return;
    lines += FillLine(kColumnDescription, {{"description", SqlLiteralText(member.memberComment)},
                                           {"className", className},
                                           {"memberName", SqlLiteralText(member.memberName)}});
  };
  for (const TColumn& column : AllColumns(table)) addColumn(*column.member);
  return lines;
}

// Its own batch after the foreign keys (which the plain script leaves without a GO); nothing
// when no class has a friend name and no member a comment.
std::string Descriptions(const std::vector<TTable>& tables, bool afterForeignKeys) {
  std::string lines;
  for (const TTable& table : tables) lines += DescriptionLines(table);
  if (lines.empty()) return lines;
  return (afterForeignKeys ? CrLf(kEndOfForeignKeys) : std::string()) + lines +
         CrLf(kDescriptionsTail);
}

}  // namespace

namespace {
std::string BuildScriptOfProject(int projectId, bool rerunnable) {
  const std::optional<TModelSnapshot> model = ReadModelSnapshot(projectId);
  return BuildTableScriptFrom(model ? *model : TModelSnapshot(projectId, {}, {}), rerunnable);
}
}  // namespace

std::string BuildTableScript(int projectId) { return BuildScriptOfProject(projectId, false); }

std::string BuildRerunnableTableScript(int projectId) {
  return BuildScriptOfProject(projectId, true);
}

std::string BuildTableScriptFrom(const TModelSnapshot& model, bool rerunnable) {
  // The rerunnable script is the complete application's.
  const std::vector<TTable> tables = MakeTables(model, TRunOptions{.complete = rerunnable});
  std::string script = CrLf(kScriptStart);
  if (rerunnable) script += RerunnableDrops(tables) + CrLf("\n");
  script += AdminTable(tables.size());
  std::string foreignKeys;
  for (const auto& table : tables) {
    AppendTable(script, table, !rerunnable);
    foreignKeys += ForeignKeyLines(table, rerunnable);
  }
  script += foreignKeys;
  if (rerunnable) script += Descriptions(tables, !foreignKeys.empty());
  return script;
}

}  // namespace vbgen
