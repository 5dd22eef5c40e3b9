#include "sqlimport/SqlImport.h"

#include <algorithm>
#include <map>
#include <optional>

#include "generate/emit/ManageForm.h"
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
  if (type == "uniqueidentifier" || type == "datetimeoffset") return "模型没有对应的成员类型";
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

// What a table without a usable key becomes, and where that works.
constexpr const char* kKeyless =
    "作为没有主键的类导入: 自动生成完整应用代码时只能查询和列出; 自动生成代码不接受没有主键的类";

struct TKeptTable {
  const TSqlTable* table;
  std::vector<const TSqlColumn*> keys;  // in the key's order; empty when the class has none
  std::vector<std::string> keyNotes;    // why there are none, said once the class is made
  std::string className;

  bool IsKey(const TSqlColumn& column) const {
    return std::find(keys.begin(), keys.end(), &column) != keys.end();
  }
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

// The table's key columns in the key's order. None when the table has no key, or one the
// model cannot hold: the table then comes in without a key, and a note in `notes` says why.
std::vector<const TSqlColumn*> KeyColumns(const TSqlTable& table, std::vector<std::string>& notes) {
  if (table.primaryKey.empty()) {
    notes.push_back(kNotice + TableWord(table) + "没有主键, " + kKeyless);
    return {};
  }
  std::vector<const TSqlColumn*> keys;
  std::map<std::string, const TSqlColumn*> byMemberName;
  for (const auto& name : table.primaryKey) {
    const TSqlColumn* key = table.FindColumn(name);
    const auto type = key->computed ? std::nullopt : MemberTypeOf(*key);
    if (!type || !CanBeKey(*type)) {
      notes.push_back(kNotice + TableWord(table) + "的主键列" + Quoted(key->name) + "的类型" +
                      (key->computed ? std::string("(计算列)") : key->type) +
                      "不能作为主键(主键须为整型或字符串), " + kKeyless);
      return {};
    }
    // Two key columns that become one member name would leave the key short of a column.
    auto [earlier, fresh] = byMemberName.emplace(UpperAscii(LegalName(name, false, "m")), key);
    if (!fresh) {
      notes.push_back(kNotice + TableWord(table) + "的主键列" + Quoted(key->name) + "与" +
                      Quoted(earlier->second->name) + "对应同一个成员名, 无法区分, " + kKeyless);
      return {};
    }
    keys.push_back(key);
  }
  return keys;
}

// The generated SQL names tables and columns as the model does, so a name too long for the
// generated forms cannot be shortened: its table or column is left out instead.
std::optional<std::string> KeyNameTooLong(const TSqlTable& table) {
  for (const auto& name : table.primaryKey) {
    const auto type = MemberTypeOf(*table.FindColumn(name));
    if (!type) continue;  // a key the model cannot hold anyway
    if (auto tooLong = CheckMemberNameLimit(LegalName(name, false, "m"), *type)) {
      return "的主键列" + Quoted(name) + ": " + *tooLong;
    }
  }
  return std::nullopt;
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
    auto tooLong = CheckClassNameLimit(className);
    if (tooLong) {
      tooLong = "的类名" + className + ": " + *tooLong;
    } else {
      tooLong = KeyNameTooLong(table);
    }
    if (tooLong) {
      notes.push_back(kLeftOut + TableWord(table) + "(" + LineWord(table.line) + ")" + *tooLong);
      plan.refused = true;
      continue;
    }
    std::vector<std::string> keyNotes;
    std::vector<const TSqlColumn*> keys = KeyColumns(table, keyNotes);
    kept.push_back({&table, std::move(keys), std::move(keyNotes), std::move(className)});
  }
  return kept;
}

const TKeptTable* FindKept(const std::vector<TKeptTable>& kept, const std::string& name) {
  for (const auto& entry : kept) {
    if (SameSqlName(entry.table->name, name)) return &entry;
  }
  return nullptr;
}

// Why a single-column foreign key cannot become a reference; empty when it can. A reference
// holds one value, the key of a row of its class: a key of one column.
std::string ReferenceProblem(const TKeptTable& source, const TSqlColumn& column,
                             const TSqlForeignKey& foreignKey, const TKeptTable* target,
                             const TSqlSchema& schema) {
  if (schema.FindTable(foreignKey.refTable) == nullptr) return "(该表不在脚本中)";
  if (target == nullptr) return "(该表未导入)";
  if (target->keys.empty()) return "(该表作为没有主键的类导入)";
  const auto& refColumns = foreignKey.refColumns;
  const bool toKey =
      target->keys.size() == 1 &&
      (refColumns.empty() ||
       (refColumns.size() == 1 && SameSqlName(refColumns.front(), target->keys[0]->name)));
  if (!toKey) return "(引用的不是该表的主键)";
  if (target == &source && source.IsKey(column)) return "(主键列不能引用自身所在的表)";
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
                      ")由多列组成, 不作为引用(" + LineWord(foreignKey.line) + ", 引用表" +
                      Quoted(foreignKey.refTable) + "; 引用成员只能保存一列的值); " +
                      "各列按自身类型导入");
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

// ---- declared types ----

// nvarchar(max) and ntext hold more than any nvarchar(n), which holds up to 4000 characters.
constexpr int kLongNationalTextLength = 4000;

bool IsNationalText(const std::string& type) {
  return type == "nvarchar" || type == "nchar" || type == "ntext" || type == "sysname";
}

// The declared text type where it is not the default varchar, and the length in the
// type's own unit: nvarchar(n) holds n characters, varchar(n) n bytes.
void KeepTextType(const TSqlTable& table, const TSqlColumn& column, TMember& member,
                  std::vector<std::string>& notes) {
  const std::string& type = column.type;
  if (IsNationalText(type)) {
    member.memberSqlType = type == "nchar" ? "nchar" : "nvarchar";
  } else if (type == "char") {
    member.memberSqlType = "char";
  }
  const bool unlimited =
      type == "text" || type == "ntext" || column.length == TSqlColumn::kMaxLength;
  if (unlimited) {
    const bool national = IsNationalText(type);
    member.memberLength = national ? kLongNationalTextLength : kLongTextLength;
    std::string why = kAdjusted + ColumnWord(table, column) + "的长度不限(" + type +
                      (column.length == TSqlColumn::kMaxLength ? "(max)" : "") + "), 按";
    if (national) {
      why += "nvarchar(" + std::to_string(kLongNationalTextLength) + ")导入: 生成的程序最多输入" +
             std::to_string(kLongNationalTextLength) + "个字符, 完整应用的建表脚本写nvarchar(" +
             std::to_string(kLongNationalTextLength) + ")";
    } else {
      why += std::to_string(kLongTextLength) + "导入";
    }
    notes.push_back(why);
  } else if (type == "sysname") {
    member.memberLength = 128;  // sysname is nvarchar(128)
  } else {
    // A char or varchar declared without a length holds one character.
    member.memberLength = column.length.value_or(1);
    // SQL Server creates no longer column; the model holds none either.
    const int longest = IsNationalText(type) ? kLongNationalTextLength : kLongTextLength;
    if (member.memberLength > longest) {
      notes.push_back(kAdjusted + ColumnWord(table, column) + "的长度" +
                      std::to_string(member.memberLength) + "超过" + type + "的上限" +
                      std::to_string(longest) + ", 按" + std::to_string(longest) + "导入");
      member.memberLength = longest;
    }
  }
}

// The declared number type where it is not the default int or float, with a decimal's
// precision and scale (SQL Server's decimal is decimal(18,0), decimal(p) decimal(p,0)).
void KeepNumberType(const TSqlTable& table, const TSqlColumn& column, TMember& member,
                    std::vector<std::string>& notes) {
  const std::string& type = column.type;
  if (type == "bit" || type == "tinyint" || type == "smallint" || type == "money" ||
      type == "smallmoney") {
    member.memberSqlType = type;
  } else if (type == "decimal" || type == "numeric") {
    const int precision = column.length.value_or(18);
    const int scale = column.scale.value_or(0);
    if (precision > kMaxDecimalPrecision || scale > precision) {
      notes.push_back(kAdjusted + ColumnWord(table, column) + "的类型" + column.declaredType +
                      "不是SQL Server能建立的类型(精度1到" + std::to_string(kMaxDecimalPrecision) +
                      ", 小数位数不超过精度), 按float导入");
      return;
    }
    member.memberSqlType = type;
    member.memberPrecision = precision;
    member.memberScale = scale;
  } else if (type == "bigint") {
    notes.push_back(
        kNotice + ColumnWord(table, column) +
        "的类型bigint按整型(int)导入: 超出int范围(约正负21亿)的值, 生成的程序无法输入和显示");
  }
}

// ---- members ----

// One column on its way to becoming a member.
struct TPlannedMember {
  TMember member;
  const TSqlColumn* column;
};

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
  const bool isKey = source.IsKey(column);
  member.memberIsPri = isKey ? 1 : 0;
  // A column of the declared key is never NULL, whatever its own definition says; so too when
  // the model could not keep the key.
  const bool inDeclaredKey =
      std::any_of(table.primaryKey.begin(), table.primaryKey.end(),
                  [&column](const std::string& name) { return SameSqlName(name, column.name); });
  const bool allowsNull = !inDeclaredKey && !column.notNull && !column.identity;
  member.memberAllowNull = allowsNull ? 1 : 0;
  if (isKey && member.memberType == kTypeInteger && !column.identity) {
    member.memberKeyEntered = 1;
    notes.push_back(kNotice + ColumnWord(table, column) +
                    "是整型主键却不是IDENTITY列, 已设为由用户输入: 自动生成完整应用代码时输入并"
                    "检查重复; 自动生成代码时仍由数据库编号");
  }
  if (member.memberType == kTypeString) {
    KeepTextType(table, column, member, notes);
    member.memberIsMust = allowsNull ? 0 : 1;
  } else if (member.memberType == kTypePicture) {
    member.memberIsMust = allowsNull ? 0 : 1;
    member.memberQueryDisplay = 0;  // pictures are not shown in the result grid
  } else {
    // The rule of the plain forms; the complete application follows memberAllowNull.
    member.memberIsMust = 1;
  }
  if (member.memberType == kTypeInteger || member.memberType == kTypeFloat) {
    KeepNumberType(table, column, member, notes);
  }
  // SQL Server numbers no bit column, whatever the script claims.
  if (isKey && member.memberSqlType == "bit") member.memberKeyEntered = 1;
  member.memberIsInteger = member.memberType == kTypeInteger ? 1 : 0;
  member.memberIsFloat = member.memberType == kTypeFloat ? 1 : 0;
  member.memberComment = CaptionFor(column.description, column.name, member.memberName,
                                    ColumnWord(table, column), notes);
  return member;
}

// The optional numbers, dates and references, which the plain forms make required.
void NoteOptionalValues(const TSqlTable& table, const std::vector<TPlannedMember>& planned,
                        std::vector<std::string>& notes) {
  std::vector<std::string> columns;
  for (const auto& entry : planned) {
    if (entry.member.memberAllowNull == 1 && entry.member.memberIsMust == 1) {
      columns.push_back(Quoted(entry.column->name));
    }
  }
  if (columns.empty()) return;
  notes.push_back(kNotice + TableWord(table) + "的列" + JoinNames(columns) +
                  "可为空: 自动生成完整应用代码时留空即存为NULL; 自动生成代码时仍须必填");
}

// The shared rule says a key's order is its members' order. When the table lists its key
// columns in another order, the key columns come first, in the key's order.
void PutKeyInOrder(const TKeptTable& source, std::vector<TPlannedMember>& planned,
                   std::vector<std::string>& notes) {
  std::vector<const TSqlColumn*> inTable;
  for (const auto& entry : planned) {
    if (source.IsKey(*entry.column)) inTable.push_back(entry.column);
  }
  if (inTable == source.keys) return;
  std::stable_partition(planned.begin(), planned.end(), [&source](const TPlannedMember& entry) {
    return source.IsKey(*entry.column);
  });
  std::sort(planned.begin(), planned.begin() + static_cast<std::ptrdiff_t>(source.keys.size()),
            [&source](const TPlannedMember& a, const TPlannedMember& b) {
              auto at = [&source](const TSqlColumn* column) {
                return std::find(source.keys.begin(), source.keys.end(), column);
              };
              return at(a.column) < at(b.column);
            });
  notes.push_back(kAdjusted + TableWord(*source.table) + "的主键(" +
                  JoinNames(source.table->primaryKey) + ")与列的顺序不同: 主键的列按主键的顺序" +
                  "排在最前, 其余的列按表中的顺序");
}

// How plainly a column's name says that it names its row: a lower rank says it more plainly;
// none for a name that does not say so. A person's surname or given name comes before Title,
// which in a table of people is their job or form of address; a title comes before other
// names, which in a table of books or albums name an author or artist.
std::optional<int> NameRank(const std::string& columnName) {
  std::string name;
  for (char c : FoldCase(columnName)) {
    if (c != '_' && c != ' ' && c != '-') name += c;
  }
  auto endsWith = [&name](std::string_view tail) {
    return name.size() >= tail.size() &&
           name.compare(name.size() - tail.size(), tail.size(), tail) == 0;
  };
  auto endsWithAny = [&endsWith](std::initializer_list<std::string_view> tails) {
    return std::any_of(tails.begin(), tails.end(), endsWith);
  };
  if (name == "name" || name == "名称" || name == "姓名" || name == "名字") return 0;
  if (endsWithAny({"lastname", "surname", "familyname", "firstname", "givenname", "lname", "fname",
                   "姓名"})) {
    return 1;
  }
  if (name == "title" || name == "标题" || name == "题名" || name == "书名") return 2;
  if (endsWithAny({"name", "名称", "名"})) return 3;
  if (endsWithAny({"title", "标题"})) return 4;
  return std::nullopt;
}

// One display member: the text whose name says most plainly that it names the row (the
// first of equals), else the first text that is not the key, else the first key member,
// else the first member.
void MarkDisplayMember(std::vector<TPlannedMember>& planned) {
  auto isText = [](const TPlannedMember& entry) { return entry.member.memberType == kTypeString; };
  auto display = planned.end();
  std::optional<int> best;
  for (auto entry = planned.begin(); entry != planned.end(); ++entry) {
    const std::optional<int> rank = isText(*entry) ? NameRank(entry->column->name) : std::nullopt;
    if (rank && (!best || *rank < *best)) {
      best = rank;
      display = entry;
    }
  }
  if (display == planned.end()) {
    display = std::find_if(planned.begin(), planned.end(), [&isText](const TPlannedMember& e) {
      return isText(e) && e.member.memberIsPri == 0;
    });
  }
  if (display == planned.end()) {
    display = std::find_if(planned.begin(), planned.end(),
                           [](const TPlannedMember& e) { return e.member.memberIsPri == 1; });
  }
  if (display == planned.end()) display = planned.begin();
  display->member.memberIsDisplay = 1;
}

// Texts this short are what users search by: codes, names, cities, phone numbers.
constexpr int kShortText = 50;
// Two rows of the query frame: room left for the result grid. The user can add more, up to
// what the manage form holds.
constexpr std::size_t kImportedQueryMembers = 8;
static_assert(kImportedQueryMembers <= static_cast<std::size_t>(kMaxManageQueryMembers));

// The display member and the short texts become the query members, as many as the query frame
// has room for; the short texts that find no room are named.
void MarkQueryMembers(const TSqlTable& table, std::vector<TPlannedMember>& planned,
                      std::vector<std::string>& notes) {
  std::size_t marked = 0;
  for (auto& entry : planned) {
    if (entry.member.memberIsDisplay == 1 && entry.member.memberType == kTypeString) {
      entry.member.queryFlag = 1;
      ++marked;
    }
  }
  std::vector<std::string> noRoom;
  for (auto& entry : planned) {
    TMember& member = entry.member;
    if (member.queryFlag == 1 || member.memberType != kTypeString ||
        member.memberLength > kShortText) {
      continue;
    }
    if (marked == kImportedQueryMembers) {
      noRoom.push_back(Quoted(entry.column->name));
      continue;
    }
    member.queryFlag = 1;
    ++marked;
  }
  if (noRoom.empty()) return;
  notes.push_back(kNotice + TableWord(table) + "的短文本列多于" +
                  std::to_string(kImportedQueryMembers) + "个, 列" + JoinNames(noRoom) +
                  "未设为查询条件(可在成员中勾选)");
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

// The class the table becomes; none when not one of its columns can be a member.
std::optional<TImportedClass> ClassFor(const TKeptTable& source,
                                       const std::vector<TKeptTable>& kept,
                                       const TSqlSchema& schema, TSqlImportPlan& plan) {
  std::vector<std::string>& notes = plan.notes;
  const std::size_t firstNote = notes.size();
  const TSqlTable& table = *source.table;
  TImportedClass result;
  result.className = source.className;
  result.friendName =
      CaptionFor(table.description, table.name, source.className, TableWord(table), notes);
  const auto references = References(source, kept, schema, notes);
  // The key is never the one left out: the table cannot be a class without it.
  std::map<std::string, const TSqlColumn*> byMemberName;
  for (const TSqlColumn* key : source.keys) {
    byMemberName.emplace(UpperAscii(LegalName(key->name, false, "m")), key);
  }
  std::vector<TPlannedMember> planned;
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
    if (auto tooLong = CheckMemberNameLimit(member.memberName, member.memberType)) {
      notes.push_back(kLeftOut + ColumnWord(table, column) + "(" + LineWord(column.line) +
                      "): " + *tooLong);
      plan.refused = true;
      continue;
    }
    auto [earlier, fresh] = byMemberName.emplace(UpperAscii(member.memberName), &column);
    if (!fresh && earlier->second != &column) {
      plan.refused = true;
      const std::string clash = ColumnWord(table, column) + "(" + LineWord(column.line) + ")与列" +
                                Quoted(earlier->second->name) + "都对应成员名" + member.memberName +
                                ", 无法区分";
      notes.push_back(kLeftOut + clash);
      continue;
    }
    planned.push_back({std::move(member), &column});
  }
  if (planned.empty()) {
    notes.push_back(kLeftOut + TableWord(table) + "没有主键, 也没有可导入的列");
    return std::nullopt;
  }
  notes.insert(notes.begin() + static_cast<std::ptrdiff_t>(firstNote), source.keyNotes.begin(),
               source.keyNotes.end());
  NoteOptionalValues(table, planned, notes);
  PutKeyInOrder(source, planned, notes);
  MarkDisplayMember(planned);
  MarkQueryMembers(table, planned, notes);
  for (auto& entry : planned) result.members.push_back(std::move(entry.member));
  return result;
}

// ---- storing ----

int AddNewProject(const std::string& projectName) {
  if (auto problem = CheckNewProjectName(projectName)) {
    throw TSqlImportError("工程名称\"" + projectName + "\": " + *problem);
  }
  return TProjectDAO().AddProject(projectName);
}

// The plan was made to pass the rules of a model file's members: the dialogs' rules, but that a
// key may be a reference (a link table's key is its references). They are applied once more
// here, so that nothing is stored that a model file could not have stored.
void StoreMember(int projectId, int classId, const TImportedClass& owner, TMember member,
                 const std::vector<std::string>& typeList) {
  member.projectId = projectId;
  member.classId = classId;
  TMemberInput input = MemberInputFrom(member, typeList);
  const std::string where = "类" + owner.className + "的成员" + member.memberName + ": ";
  if (!input.typeIndex) throw TSqlImportError(where + "类型" + member.memberType + "不可选");
  if (auto problem = CheckModelFileMemberWithField(input)) {
    throw TSqlImportError(where + problem->message);
  }
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
    // The class's own name too: a reference to a row of its own table.
    const auto typeList = MemberTypeList(classDao.ListOtherClasses(projectId, classIds[i]),
                                         plan.classes[i].className);
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
    if (auto imported = ClassFor(source, kept, schema, plan)) {
      plan.classes.push_back(std::move(*imported));
    }
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
