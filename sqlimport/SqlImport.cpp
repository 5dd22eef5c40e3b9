#include "sqlimport/SqlImport.h"

#include <algorithm>
#include <map>
#include <optional>

#include "model/ClassDAO.h"
#include "model/DbHelper.h"
#include "model/MemberDAO.h"
#include "model/ProjectDAO.h"
#include "model/Rules.h"
#include "sqlimport/ScriptSource.h"
#include "sqlimport/TextDecode.h"

namespace vbgen {
namespace {

constexpr const char* kLeftOut = "未导入: ";
constexpr const char* kAdjusted = "已调整: ";
constexpr const char* kNotice = "注意: ";
constexpr const char* kUnread = "未读取: ";

// ---- types ----

// The SQL Server types and the member type each becomes; any other type has none.
struct TTypeMapping {
  std::string_view sqlType;
  std::string_view memberType;
};

constexpr TTypeMapping kTypeMappings[] = {
    {"char", kTypeString},        {"varchar", kTypeString}, {"nchar", kTypeString},
    {"nvarchar", kTypeString},    {"text", kTypeString},    {"ntext", kTypeString},
    {"sysname", kTypeString},     {"int", kTypeInteger},    {"smallint", kTypeInteger},
    {"tinyint", kTypeInteger},    {"bigint", kTypeInteger}, {"bit", kTypeInteger},
    {"float", kTypeFloat},        {"real", kTypeFloat},     {"decimal", kTypeFloat},
    {"numeric", kTypeFloat},      {"money", kTypeFloat},    {"smallmoney", kTypeFloat},
    {"date", kTypeDate},          {"datetime", kTypeDate},  {"datetime2", kTypeDate},
    {"smalldatetime", kTypeDate}, {"time", kTypeDate},      {"image", kTypePicture},
    {"varbinary", kTypePicture},  {"binary", kTypePicture},
};

std::optional<std::string_view> MemberTypeOf(const TSqlColumn& column) {
  for (const auto& mapping : kTypeMappings) {
    if (column.type == mapping.sqlType) return mapping.memberType;
  }
  return std::nullopt;
}

// Why a column's type has no member type, in the words a user of that type knows.
std::string WhyNoMemberType(const TSqlColumn& column) {
  if (column.computed) return "是计算列, 其值由数据库算出, 程序不能写入";
  const std::string& type = column.type;
  if (type == "xml") return "模型没有XML文档的成员类型";
  if (type == "hierarchyid" || type == "geography" || type == "geometry") {
    return "是SQL Server的CLR类型, 模型没有对应的成员类型";
  }
  if (type == "sql_variant") return "可存放任意类型的值, 模型没有对应的成员类型";
  if (type == "timestamp" || type == "rowversion") {
    return "是数据库自动填写的行版本, 程序无需输入";
  }
  return "模型没有对应的成员类型(CLR类型或未声明的自定义类型)";
}

// The database fills these itself; every other NOT NULL column without a default must be
// given a value by whoever adds a row.
bool FilledByDatabase(const TSqlColumn& column) {
  return column.computed || column.identity || column.hasDefault || column.type == "timestamp" ||
         column.type == "rowversion";
}

bool CanBeKey(std::string_view memberType) {
  return memberType == kTypeString || memberType == kTypeInteger;
}

// ---- names and texts ----

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

std::string TableWord(const TSqlTable& table) { return "表" + Quoted(table.name); }

std::string ColumnWord(const TSqlTable& table, const TSqlColumn& column) {
  return TableWord(table) + "的列" + Quoted(column.name);
}

std::string JoinNames(const std::vector<std::string>& names) {
  std::string joined;
  for (const auto& name : names) joined += (joined.empty() ? "" : ", ") + name;
  return joined;
}

// Every character a name may not hold becomes an underscore; the first letter takes the case
// the rules ask for, and a name that cannot start with a letter gets the prefix.
std::string LegalName(const std::string& original, bool upperFirst, const char* prefix) {
  std::string name;
  std::size_t pos = 0;
  while (pos < original.size()) {
    const std::size_t start = pos;
    const std::optional<char32_t> c = NextCodePoint(original, pos);
    if (c && IsIdentifierChar(*c)) {
      name.append(original, start, pos - start);
    } else {
      if (pos == start) pos = start + 1;
      name += '_';
    }
  }
  name = ReplaceOutsideGbk(name, '_');
  const char first = name.empty() ? '\0' : name[0];
  if (upperFirst && first >= 'a' && first <= 'z') name[0] = static_cast<char>(first - 'a' + 'A');
  if (!upperFirst && first >= 'A' && first <= 'Z') name[0] = static_cast<char>(first - 'A' + 'a');
  const char low = upperFirst ? 'A' : 'a';
  if (name.empty() || name[0] < low || name[0] > low + 25) name = prefix + name;
  return name;
}

// Why a name had to change on its way into the model; none when it did not. A change of the
// first letter's case is noted as well: the generated SQL then spells the name otherwise than
// the database does, which only a case-insensitive collation forgives.
std::optional<std::string> NameChange(const std::string& original, const std::string& name,
                                      bool upperFirst) {
  if (original == name) return std::nullopt;
  const bool caseOnly = original.size() == name.size() && !name.empty() &&
                        UpperAscii(original.substr(0, 1)) == UpperAscii(name.substr(0, 1)) &&
                        original.substr(1) == name.substr(1);
  if (caseOnly) return upperFirst ? "名称首字母须大写(类名规则)" : "名称首字母须小写(成员名规则)";
  return upperFirst ? "名称不合类名规则" : "名称不合成员名规则";
}

// Friend names and comments stand in VB string literals: no quotes, no control characters,
// nothing GBK cannot hold.
std::string LegalText(const std::string& text) {
  std::string result;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      if (!result.empty() && result.back() != ' ') result += ' ';
    } else {
      result += c == '"' ? '\'' : c;
    }
  }
  while (!result.empty() && result.back() == ' ') result.pop_back();
  return ReplaceOutsideGbk(result, '?');
}

// The description when there is one, else the name as the script wrote it; each change it
// needs to stand in a VB string is noted.
std::string CaptionFor(const std::string& description, const std::string& original,
                       const std::string& legalName, const std::string& where,
                       std::vector<std::string>& notes) {
  const bool described = !description.empty();
  const std::string& source = described ? description : original;
  std::string caption = LegalText(source);
  const std::string what = where + (described ? "的说明" : "的名称");
  if (caption.empty()) {
    notes.push_back(kAdjusted + what + "只有空白或控制字符, 说明改为" + legalName);
    return legalName;
  }
  if (caption != source) {
    notes.push_back(kAdjusted + what + "含有双引号、控制字符或GBK无法表示的字符, " +
                    (described ? "已替换" : "用作说明时已替换"));
  }
  return caption;
}

// ---- tables ----

struct TKeptTable {
  const TSqlTable* table;
  const TSqlColumn* key;
  std::string className;
};

std::string LineWord(int line) { return "第" + std::to_string(line) + "行"; }

// The first of the columns that the table does not have; none when it has them all.
std::optional<std::string> MissingColumn(const TSqlTable& table,
                                         const std::vector<std::string>& columns) {
  for (const auto& column : columns) {
    if (table.FindColumn(column) == nullptr) return column;
  }
  return std::nullopt;
}

// The table's key column when the table can become a class; else a note says why not.
const TSqlColumn* KeyColumn(const TSqlTable& table, std::vector<std::string>& notes) {
  if (table.primaryKey.empty()) {
    notes.push_back(kLeftOut + TableWord(table) + "没有主键");
    return nullptr;
  }
  if (table.primaryKey.size() > 1) {
    notes.push_back(kLeftOut + TableWord(table) + "的主键由多列(" + JoinNames(table.primaryKey) +
                    ")组成");
    return nullptr;
  }
  const TSqlColumn* key = table.FindColumn(table.primaryKey.front());
  const auto type = key->computed ? std::nullopt : MemberTypeOf(*key);
  if (!type || !CanBeKey(*type)) {
    notes.push_back(kLeftOut + TableWord(table) + "的主键列" + Quoted(key->name) + "的类型" +
                    (key->computed ? std::string("(计算列)") : key->type) +
                    "不能作为主键(主键须为整型或字符串)");
    return nullptr;
  }
  return key;
}

std::vector<TKeptTable> KeptTables(const TSqlSchema& schema, TSqlImportPlan& plan) {
  std::vector<std::string>& notes = plan.notes;
  std::vector<TKeptTable> kept;
  std::map<std::string, const TSqlTable*> byClassName;
  for (const auto& table : schema.tables) {
    if (auto missing = MissingColumn(table, table.primaryKey)) {
      notes.push_back(kLeftOut + TableWord(table) + "的主键(" + LineWord(table.primaryKeyLine) +
                      ")所列的列" + Quoted(*missing) + "不存在");
      plan.refused = true;
      continue;
    }
    if (SameSqlName(table.name, "admin")) {
      notes.push_back(kLeftOut + TableWord(table) + "是生成的程序的操作员表, 不作为类导入");
      continue;
    }
    const TSqlColumn* key = KeyColumn(table, notes);
    if (key == nullptr) continue;
    std::string className = LegalName(table.name, true, "T");
    if (auto why = NameChange(table.name, className, true)) {
      notes.push_back(kAdjusted + TableWord(table) + "的" + *why + ", 类名改为" + className);
    }
    auto [earlier, fresh] = byClassName.emplace(UpperAscii(className), &table);
    if (!fresh) {
      notes.push_back(kLeftOut + TableWord(table) + "(" + LineWord(table.line) + ")与" +
                      LineWord(earlier->second->line) + "的" + TableWord(*earlier->second) +
                      "都对应类名" + className + ", 无法区分");
      plan.refused = true;
      continue;
    }
    kept.push_back({&table, key, std::move(className)});
  }
  return kept;
}

const TKeptTable* FindKept(const std::vector<TKeptTable>& kept, const std::string& name) {
  for (const auto& entry : kept) {
    if (SameSqlName(entry.table->name, name)) return &entry;
  }
  return nullptr;
}

// Why a single-column foreign key cannot become a reference; empty when it can.
std::string ReferenceProblem(const TKeptTable& source, const TSqlColumn& column,
                             const TSqlForeignKey& foreignKey, const TKeptTable* target,
                             const TSqlSchema& schema) {
  if (SameSqlName(foreignKey.refTable, source.table->name)) return "(类不能引用自身)";
  if (schema.FindTable(foreignKey.refTable) == nullptr) return "(该表不在脚本中)";
  if (target == nullptr) return "(该表未导入)";
  const auto& refColumns = foreignKey.refColumns;
  const bool toKey = refColumns.empty() ||
                     (refColumns.size() == 1 && SameSqlName(refColumns.front(), target->key->name));
  if (!toKey) return "(引用的不是该表的主键)";
  if (&column == source.key) return "(主键不能是引用)";
  return {};
}

// The class each single-column foreign key of the table refers to, by column; the foreign keys
// that cannot become references are noted.
std::map<std::string, std::string> References(const TKeptTable& source,
                                              const std::vector<TKeptTable>& kept,
                                              const TSqlSchema& schema,
                                              std::vector<std::string>& notes) {
  std::map<std::string, std::string> references;
  const TSqlTable& table = *source.table;
  for (const auto& foreignKey : table.foreignKeys) {
    if (auto missing = MissingColumn(table, foreignKey.columns)) {
      notes.push_back(kLeftOut + TableWord(table) + "的外键(" + LineWord(foreignKey.line) +
                      ")所列的列" + Quoted(*missing) + "不存在, 不作为引用");
      continue;
    }
    if (foreignKey.columns.size() > 1) {
      notes.push_back(kLeftOut + TableWord(table) + "的外键(" + JoinNames(foreignKey.columns) +
                      ")由多列组成, 不作为引用; 各列按自身类型导入");
      continue;
    }
    const TSqlColumn& column = *table.FindColumn(foreignKey.columns.front());
    if (column.computed || !MemberTypeOf(column)) continue;  // the column itself is left out
    const TKeptTable* target = FindKept(kept, foreignKey.refTable);
    const std::string problem = ReferenceProblem(source, column, foreignKey, target, schema);
    if (!problem.empty()) {
      notes.push_back(kLeftOut + ColumnWord(table, column) + "对表" + Quoted(foreignKey.refTable) +
                      "的引用" + problem + ", 该列按自身类型导入");
    } else if (auto [first, fresh] = references.emplace(UpperAscii(column.name), target->className);
               !fresh) {
      // A member refers to one class: the first foreign key of the column counts.
      notes.push_back(kLeftOut + ColumnWord(table, column) + "的又一个外键(" +
                      LineWord(foreignKey.line) + ")对表" + Quoted(foreignKey.refTable) +
                      "的引用不作为引用; 该列引用类" + first->second);
    }
  }
  return references;
}

int StringLength(const TSqlTable& table, const TSqlColumn& column,
                 std::vector<std::string>& notes) {
  const bool textType = column.type == "text" || column.type == "ntext";
  if (textType || column.length == TSqlColumn::kMaxLength) {
    notes.push_back(kAdjusted + ColumnWord(table, column) + "的长度不限(" + column.type +
                    (textType ? "" : "(max)") + "), 按" + std::to_string(kLongTextLength) + "导入");
    return kLongTextLength;
  }
  if (column.type == "sysname") return 128;
  // A char or varchar declared without a length holds one character.
  return column.length.value_or(1);
}

TMember MemberFor(const TKeptTable& source, const TSqlColumn& column, std::string_view type,
                  const std::optional<std::string>& reference, std::vector<std::string>& notes) {
  const TSqlTable& table = *source.table;
  TMember member;
  member.memberName = LegalName(column.name, false, "m");
  if (auto why = NameChange(column.name, member.memberName, false)) {
    notes.push_back(kAdjusted + ColumnWord(table, column) + "的" + *why + ", 改为" +
                    member.memberName);
  }
  member.memberType = reference.value_or(std::string(type));
  const bool isKey = &column == source.key;
  const bool notNull = column.notNull || column.identity || isKey;
  member.memberIsPri = isKey ? 1 : 0;
  if (isKey && member.memberType == kTypeInteger && !column.identity) {
    notes.push_back(kNotice + ColumnWord(table, column) +
                    "是整型主键却不是IDENTITY列; 生成的程序不输入整型主键, 由数据库编号");
  }
  if (member.memberType == kTypeString) {
    member.memberLength = StringLength(table, column, notes);
    member.memberIsMust = notNull ? 1 : 0;
  } else if (member.memberType == kTypePicture) {
    member.memberIsMust = notNull ? 1 : 0;
    member.memberQueryDisplay = 0;  // pictures are not shown in the result grid
  } else {
    member.memberIsMust = 1;
    if (!notNull) {
      notes.push_back(kAdjusted + ColumnWord(table, column) + "可为空, 但" + member.memberType +
                      "成员必须必填, 已设为必填");
    }
  }
  member.memberIsInteger = member.memberType == kTypeInteger ? 1 : 0;
  member.memberIsFloat = member.memberType == kTypeFloat ? 1 : 0;
  member.memberComment = CaptionFor(column.description, column.name, member.memberName,
                                    ColumnWord(table, column), notes);
  return member;
}

// One display member: the first text that is not the key, else the key.
void MarkDisplayMember(std::vector<TMember>& members) {
  auto display = std::find_if(members.begin(), members.end(), [](const TMember& m) {
    return m.memberType == kTypeString && m.memberIsPri == 0;
  });
  if (display == members.end()) {
    display = std::find_if(members.begin(), members.end(),
                           [](const TMember& m) { return m.memberIsPri == 1; });
  }
  display->memberIsDisplay = 1;
}

// The note of a column whose type the model cannot hold.
std::string LeftOutColumn(const TSqlTable& table, const TSqlColumn& column) {
  std::string note = kLeftOut + ColumnWord(table, column) + "(" + LineWord(column.line) +
                     (column.computed ? std::string(", 计算列") : ", 类型" + column.declaredType) +
                     ")" + WhyNoMemberType(column);
  if (column.notNull && !FilledByDatabase(column)) {
    note += "; 该列NOT NULL且没有默认值, 生成的程序无法向此表添加记录";
  }
  return note;
}

TImportedClass ClassFor(const TKeptTable& source, const std::vector<TKeptTable>& kept,
                        const TSqlSchema& schema, TSqlImportPlan& plan) {
  std::vector<std::string>& notes = plan.notes;
  const TSqlTable& table = *source.table;
  TImportedClass result;
  result.className = source.className;
  result.friendName =
      CaptionFor(table.description, table.name, source.className, TableWord(table), notes);
  const auto references = References(source, kept, schema, notes);
  // The key is never the one left out: the table cannot be a class without it.
  std::map<std::string, const TSqlColumn*> byMemberName{
      {UpperAscii(LegalName(source.key->name, false, "m")), source.key}};
  for (const auto& column : table.columns) {
    const auto type = column.computed ? std::nullopt : MemberTypeOf(column);
    if (!type) {
      notes.push_back(LeftOutColumn(table, column));
      continue;
    }
    auto reference = references.find(UpperAscii(column.name));
    TMember member =
        MemberFor(source, column, *type,
                  reference == references.end() ? std::nullopt
                                                : std::optional<std::string>(reference->second),
                  notes);
    auto [earlier, fresh] = byMemberName.emplace(UpperAscii(member.memberName), &column);
    if (!fresh && earlier->second != &column) {
      plan.refused = true;
      const std::string clash = ColumnWord(table, column) + "(" + LineWord(column.line) + ")与列" +
                                Quoted(earlier->second->name) + "都对应成员名" + member.memberName +
                                ", 无法区分";
      notes.push_back(kLeftOut + clash);
      continue;
    }
    result.members.push_back(std::move(member));
  }
  MarkDisplayMember(result.members);
  return result;
}

// ---- storing ----

int AddNewProject(const std::string& projectName) {
  if (auto problem = CheckNewProjectName(projectName)) {
    throw TSqlImportError("工程名称\"" + projectName + "\": " + *problem);
  }
  return TProjectDAO().AddProject(projectName);
}

// The plan was made to pass the dialogs' rules; they are applied once more here, so that
// nothing is stored that typed input could not have stored.
void StoreMember(int projectId, int classId, const TImportedClass& owner, TMember member,
                 const std::vector<std::string>& typeList) {
  member.projectId = projectId;
  member.classId = classId;
  TMemberInput input = MemberInputFrom(member, typeList);
  const std::string where = "类" + owner.className + "的成员" + member.memberName + ": ";
  if (!input.typeIndex) throw TSqlImportError(where + "类型" + member.memberType + "不可选");
  if (auto problem = CheckAddMember(input)) throw TSqlImportError(where + *problem);
  TBuiltMember built = BuildMember(input, projectId, classId, 0);
  if (!built.member) throw TSqlImportError(where + built.error);
  TMemberDAO().AddMember(*built.member);
}

int StorePlan(const TSqlImportPlan& plan, const std::string& projectName) {
  TDbTransaction transaction;
  const int projectId = AddNewProject(projectName);
  TClassDAO classDao;
  std::vector<int> classIds;
  for (const auto& imported : plan.classes) {
    if (auto problem = CheckAddClass(projectId, imported.className, imported.friendName)) {
      throw TSqlImportError("类" + imported.className + ": " + *problem);
    }
    classIds.push_back(classDao.AddClass(projectId, imported.className, imported.friendName, 1));
  }
  for (std::size_t i = 0; i < plan.classes.size(); ++i) {
    const auto typeList = MemberTypeList(classDao.ListOtherClasses(projectId, classIds[i]));
    for (const auto& member : plan.classes[i].members) {
      StoreMember(projectId, classIds[i], plan.classes[i], member, typeList);
    }
  }
  transaction.Commit();
  return projectId;
}

}  // namespace

TSqlImportPlan PlanSqlImport(const TSqlSchema& schema) {
  TSqlImportPlan plan;
  for (const auto& unread : schema.unread) {
    plan.notes.push_back(kUnread + unread.message);
  }
  plan.refused = !schema.unread.empty();
  for (const auto& object : schema.skippedObjects) {
    plan.notes.push_back(kLeftOut + object + "不是表, 已跳过");
  }
  // One line for all of them: a script with its data holds a statement per row.
  if (schema.dataStatements > 0) {
    plan.notes.push_back(kLeftOut + std::string("脚本中的") +
                         std::to_string(schema.dataStatements) +
                         "条数据语句(INSERT、UPDATE、DELETE等)已跳过, 只导入表结构");
  }
  const std::vector<TKeptTable> kept = KeptTables(schema, plan);
  for (const auto& source : kept) {
    plan.classes.push_back(ClassFor(source, kept, schema, plan));
  }
  if (plan.classes.empty()) throw TSqlImportError("脚本中没有可导入的表", plan.notes);
  return plan;
}

namespace {

// The script read a piece at a time, decoded on the way.
TSqlSchema ReadScript(std::unique_ptr<TByteInput> input) {
  try {
    TScriptSource source(std::move(input));
    return ReadSqlSchema([&source](std::string& piece) { return source.ReadPiece(piece); });
  } catch (const TTextDecodeError& error) {
    throw TSqlImportError(error.what());
  }
}

TSqlImportResult ImportSchema(const TSqlSchema& schema, const std::string& projectName) {
  TSqlImportPlan plan = PlanSqlImport(schema);
  try {
    const int projectId = StorePlan(plan, projectName);
    return {projectId, plan.classes.size(), plan.notes, projectName, plan.refused};
  } catch (const TSqlImportError& error) {
    throw TSqlImportError(error.what(), plan.notes);
  }
}

}  // namespace

TSqlImportResult ImportSqlScript(std::string_view fileBytes, const std::string& projectName) {
  return ImportSchema(ReadScript(MemoryInput(fileBytes)), projectName);
}

TSqlImportResult ImportSqlFile(const std::filesystem::path& file,
                               const std::optional<std::string>& projectName) {
  const TSqlSchema schema = ReadScript(FileInput(file));
  const std::string name = projectName                    ? *projectName
                           : !schema.databaseName.empty() ? schema.databaseName
                                                          : ProjectNameForScript(file);
  return ImportSchema(schema, name);
}

std::string ProjectNameForScript(const std::filesystem::path& file) { return file.stem().string(); }

}  // namespace vbgen
