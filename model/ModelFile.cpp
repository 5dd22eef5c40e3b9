#include "model/ModelFile.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <variant>
#include <vector>

#include "model/ClassDAO.h"
#include "model/DbHelper.h"
#include "model/MemberDAO.h"
#include "model/ProjectDAO.h"
#include "model/Rules.h"

namespace vbgen {

TModelFileError::TModelFileError(const std::string& where, const std::string& reason)
    : std::runtime_error(where + ": " + reason), where_(where), reason_(reason) {}

namespace {

using nlohmann::json;
using nlohmann::ordered_json;

// The fields of a member in the order they are written. The same table tells the reader which
// fields a member must have and which it may have.
enum class TFieldKind { Text, Number, Flag };

struct TMemberField {
  const char* key;
  TFieldKind kind;
  std::variant<std::string TMember::*, int TMember::*> field;
  // The format version that brought the field. A file of version 1 has none of the later
  // fields, and a later file may leave them out too: a missing one keeps its default.
  int since = 1;
};

const TMemberField kMemberFields[] = {
    {"memberName", TFieldKind::Text, &TMember::memberName},
    {"memberType", TFieldKind::Text, &TMember::memberType},
    {"memberLength", TFieldKind::Number, &TMember::memberLength},
    {"memberIsPri", TFieldKind::Flag, &TMember::memberIsPri},
    {"memberComment", TFieldKind::Text, &TMember::memberComment},
    {"memberIsMust", TFieldKind::Flag, &TMember::memberIsMust},
    {"memberIsInteger", TFieldKind::Flag, &TMember::memberIsInteger},
    {"memberIsFloat", TFieldKind::Flag, &TMember::memberIsFloat},
    {"queryFlag", TFieldKind::Flag, &TMember::queryFlag},
    {"memberIsDisplay", TFieldKind::Flag, &TMember::memberIsDisplay},
    {"memberQueryDisplay", TFieldKind::Flag, &TMember::memberQueryDisplay},
    {"memberAllowNull", TFieldKind::Flag, &TMember::memberAllowNull, 2},
    {"memberKeyEntered", TFieldKind::Flag, &TMember::memberKeyEntered, 2},
    {"memberSqlType", TFieldKind::Text, &TMember::memberSqlType, 2},
    {"memberPrecision", TFieldKind::Number, &TMember::memberPrecision, 2},
    {"memberScale", TFieldKind::Number, &TMember::memberScale, 2},
};

// Version 1 files say no version; version 2 added what the database allows (NULL, an entered
// key, the declared SQL type). A model that uses none of it is written as version 1, byte for
// byte as before, so that an earlier release still reads it.
constexpr int kFormatVersion = 2;
constexpr const char* kVersionField = "formatVersion";

constexpr const char* kProjectFields[] = {"projectName", "classes"};
constexpr const char* kVersionedProjectFields[] = {kVersionField, "projectName", "classes"};
constexpr const char* kClassFields[] = {"className", "friendName", "frontShowFlag", "members"};

// ---- Places in a model file, for the error messages ----

constexpr const char* kFilePlace = "模型文件";

std::string ClassPlace(std::size_t index, const std::string& className) {
  std::string ordinal = "第" + std::to_string(index + 1) + "个";
  return className.empty() ? ordinal + "类" : "类" + className + "(" + ordinal + ")";
}

std::string MemberPlace(const std::string& classPlace, std::size_t index,
                        const std::string& memberName) {
  std::string ordinal = "第" + std::to_string(index + 1) + "个";
  return classPlace + "的" +
         (memberName.empty() ? ordinal + "成员" : "成员" + memberName + "(" + ordinal + ")");
}

std::string FieldPlace(const std::string& place, const std::string& key) {
  return place + "的字段" + key;
}

// The field of the class or member at place that a rule failed on; the place itself when the
// rule weighed several fields together.
std::string PlaceOf(const TRuleFailure& failure, const std::string& place) {
  switch (failure.field) {
    case TRuleField::ClassName:
      return FieldPlace(place, "className");
    case TRuleField::FriendName:
      return FieldPlace(place, "friendName");
    case TRuleField::MemberName:
      return FieldPlace(place, "memberName");
    case TRuleField::MemberComment:
      return FieldPlace(place, "memberComment");
    case TRuleField::Several:
      break;
  }
  return place;
}

// ---- Writing ----

ordered_json MemberToJson(const TMember& member, int version) {
  ordered_json out = ordered_json::object();
  for (const auto& field : kMemberFields) {
    if (field.since > version) continue;
    std::visit([&](auto pointer) { out[field.key] = member.*pointer; }, field.field);
  }
  return out;
}

// The oldest version that holds the member: 1 while every later field keeps its default.
int VersionNeeded(const TMember& member) {
  const TMember fresh;
  for (const auto& field : kMemberFields) {
    const bool changed =
        std::visit([&](auto pointer) { return member.*pointer != fresh.*pointer; }, field.field);
    if (field.since > 1 && changed) return kFormatVersion;
  }
  return 1;
}

struct TExportedClass {
  TNamedId entry;
  TMemberList members;
};

ordered_json ClassToJson(const TExportedClass& exported, int version) {
  const TNamedId& entry = exported.entry;
  TClassDAO classDao;
  ordered_json out = ordered_json::object();
  out["className"] = entry.name;
  out["friendName"] = classDao.GetFriendName(entry.id);
  out["frontShowFlag"] = classDao.GetFrontShowFlag(entry.id);
  ordered_json members = ordered_json::array();
  for (const auto& member : exported.members) members.push_back(MemberToJson(member, version));
  out["members"] = std::move(members);
  return out;
}

// ---- Reading the file's structure ----

struct TFileClass {
  std::string className;
  std::string friendName;
  int frontShowFlag = 0;
  std::vector<TMember> members;
};

struct TFileProject {
  std::string projectName;
  std::vector<TFileClass> classes;
};

// Line and column (from 1) of a byte offset, counting characters rather than bytes.
std::string LineAndColumn(const std::string& text, std::size_t offset) {
  offset = std::min(offset, text.size());
  std::size_t line = 1;
  std::size_t column = 1;
  for (std::size_t i = 0; i < offset; ++i) {
    unsigned char byte = static_cast<unsigned char>(text[i]);
    if (byte == '\n') {
      ++line;
      column = 1;
    } else if ((byte & 0xC0) != 0x80) {
      ++column;
    }
  }
  return "第" + std::to_string(line) + "行第" + std::to_string(column) + "列";
}

// The number of bytes of the UTF-8 character that starts at `offset`; 0 when the bytes there
// are not valid UTF-8.
std::size_t Utf8Length(const std::string& text, std::size_t offset) {
  const auto lead = static_cast<unsigned char>(text[offset]);
  const std::size_t length = lead < 0x80           ? 1
                             : (lead >> 5) == 0x6  ? 2
                             : (lead >> 4) == 0xE  ? 3
                             : (lead >> 3) == 0x1E ? 4
                                                   : 0;
  if (length == 0 || offset + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[offset + i]) & 0xC0) != 0x80) return 0;
  }
  return length;
}

// Why the text stops being JSON at `offset`, in the user's words rather than the library's.
std::string SyntaxProblemAt(const std::string& text, std::size_t offset) {
  if (offset >= text.size()) return "文本在此处意外结束";
  const auto byte = static_cast<unsigned char>(text[offset]);
  if (byte < 0x20 || byte == 0x7F) {
    static const char* kHex = "0123456789ABCDEF";
    return std::string("此处有控制字符0x") + kHex[byte >> 4] + kHex[byte & 0xF] +
           "(文本中的换行和制表符须写作\\n和\\t)";
  }
  const std::size_t length = Utf8Length(text, offset);
  if (length == 0) return "此处的字节不是有效的UTF-8文本(模型文件须以UTF-8保存)";
  return "此处的\"" + text.substr(offset, length) + "\"不符合JSON语法";
}

// Builds the JSON value as the library's own reader does, and refuses a key that appears twice
// in one object: the library would keep only the last value, and a silently dropped value is
// a lost edit. A failure is kept with its byte position, for a message of our own.
class TStrictReader : public json::json_sax_t {
 public:
  struct TFailure {
    std::size_t position;  // bytes read up to and including the one that failed
    std::string token;     // the token as far as it was read
    int id;                // the library's error number: 101 syntax, 406 number overflow
  };

  explicit TStrictReader(json& root) : root_(root) {}

  bool null() override { return Put(nullptr); }
  bool boolean(bool value) override { return Put(value); }
  bool number_integer(number_integer_t value) override { return Put(value); }
  bool number_unsigned(number_unsigned_t value) override { return Put(value); }
  bool number_float(number_float_t value, const string_t&) override { return Put(value); }
  bool string(string_t& value) override { return Put(std::move(value)); }
  bool binary(binary_t& value) override { return Put(json::binary(std::move(value))); }
  bool start_object(std::size_t) override {
    Put(json::object());
    keys_.emplace_back();
    return true;
  }
  bool key(string_t& key) override {
    if (!keys_.back().insert(key).second)
      throw TModelFileError(kFilePlace, "字段" + key + "在同一对象中出现了两次");
    member_ = &(*open_.back())[key];
    return true;
  }
  bool end_object() override {
    open_.pop_back();
    keys_.pop_back();
    return true;
  }
  bool start_array(std::size_t) override { return Put(json::array()); }
  bool end_array() override {
    open_.pop_back();
    return true;
  }
  bool parse_error(std::size_t position, const std::string& token,
                   const json::exception& error) override {
    failure_ = TFailure{position, token, error.id};
    return false;
  }

  const std::optional<TFailure>& Failure() const { return failure_; }

 private:
  // Places a value in the open array or under the last key; a container stays open.
  bool Put(json value) {
    const bool container = value.is_object() || value.is_array();
    json* placed = nullptr;
    if (open_.empty()) {
      root_ = std::move(value);
      placed = &root_;
    } else if (open_.back()->is_array()) {
      open_.back()->push_back(std::move(value));
      placed = &open_.back()->back();
    } else {
      *member_ = std::move(value);
      placed = member_;
    }
    if (container) open_.push_back(placed);
    return true;
  }

  json& root_;
  std::vector<json*> open_;  // the containers being filled, innermost last
  json* member_ = nullptr;   // the value of the object's last key
  std::vector<std::set<std::string>> keys_;
  std::optional<TFailure> failure_;
};

json ParseStrict(const std::string& text) {
  json root;
  TStrictReader reader(root);
  if (json::sax_parse(text, &reader)) return root;
  const TStrictReader::TFailure failure =
      reader.Failure().value_or(TStrictReader::TFailure{text.size() + 1, "", 0});
  if (failure.id == 406) {
    // A number too large for a double (1e999): point at the number itself.
    const std::size_t start = failure.position - std::min(failure.position, failure.token.size());
    throw TModelFileError(kFilePlace,
                          "数值" + failure.token + "超出范围(" + LineAndColumn(text, start) + ")");
  }
  const std::size_t offset = failure.position > 0 ? failure.position - 1 : 0;
  throw TModelFileError(kFilePlace, "不是有效的JSON文本(" + LineAndColumn(text, offset) +
                                        "): " + SyntaxProblemAt(text, offset));
}

// An object with exactly the given fields: none missing, none unknown; the optional ones may be
// left out.
template <typename Keys>
void RequireFields(const json& object, const std::string& place, const Keys& keys,
                   const std::vector<const char*>& optional = {}) {
  if (!object.is_object()) throw TModelFileError(place, "应为JSON对象({...})");
  auto among = [](const auto& list, const std::string& key) {
    return std::any_of(std::begin(list), std::end(list),
                       [&key](const auto& entry) { return key == entry; });
  };
  for (auto field = object.begin(); field != object.end(); ++field) {
    const std::string& key = field.key();
    if (!among(keys, key) && !among(optional, key))
      throw TModelFileError(FieldPlace(place, key), "未知字段");
  }
  for (const auto& key : keys) {
    if (!object.contains(key)) throw TModelFileError(FieldPlace(place, key), "缺少此字段");
  }
}

std::string ReadText(const json& object, const std::string& place, const char* key) {
  const json& value = object.at(key);
  if (!value.is_string()) throw TModelFileError(FieldPlace(place, key), "应为文本");
  return value.get<std::string>();
}

int ReadNumber(const json& object, const std::string& place, const char* key) {
  const json& value = object.at(key);
  if (!value.is_number_integer()) throw TModelFileError(FieldPlace(place, key), "应为整数");
  bool fits = value.is_number_unsigned()
                  ? value.get<std::uint64_t>() <= INT_MAX
                  : value.get<std::int64_t>() >= INT_MIN && value.get<std::int64_t>() <= INT_MAX;
  if (!fits) throw TModelFileError(FieldPlace(place, key), "整数超出范围");
  return value.get<int>();
}

int ReadFlag(const json& object, const std::string& place, const char* key) {
  const json& value = object.at(key);
  bool isFlag = value.is_number_integer() && (value.get<json::number_integer_t>() == 0 ||
                                              value.get<json::number_integer_t>() == 1);
  if (!isFlag) throw TModelFileError(FieldPlace(place, key), "应为0或1");
  return value.get<int>();
}

const json& ReadArray(const json& object, const std::string& place, const char* key) {
  const json& value = object.at(key);
  if (!value.is_array()) throw TModelFileError(FieldPlace(place, key), "应为数组([...])");
  return value;
}

// The name of a class or member for its place, if it is there and is text.
std::string NameIfAny(const json& object, const char* key) {
  if (!object.is_object() || !object.contains(key) || !object.at(key).is_string()) return {};
  return object.at(key).get<std::string>();
}

// The member fields every file has (since = 1), or the later ones, which a file may leave out.
std::vector<const char*> MemberKeys(bool later) {
  std::vector<const char*> keys;
  for (const auto& field : kMemberFields) {
    if ((field.since > 1) == later) keys.push_back(field.key);
  }
  return keys;
}

TMember ReadMember(const json& object, const std::string& place) {
  RequireFields(object, place, MemberKeys(false), MemberKeys(true));
  TMember member;
  for (const auto& field : kMemberFields) {
    if (!object.contains(field.key)) continue;
    if (const auto* text = std::get_if<std::string TMember::*>(&field.field)) {
      member.*(*text) = ReadText(object, place, field.key);
    } else {
      int value = field.kind == TFieldKind::Flag ? ReadFlag(object, place, field.key)
                                                 : ReadNumber(object, place, field.key);
      member.*std::get<int TMember::*>(field.field) = value;
    }
  }
  return member;
}

TFileClass ReadClass(const json& object, const std::string& place) {
  RequireFields(object, place, kClassFields);
  TFileClass result;
  result.className = ReadText(object, place, "className");
  result.friendName = ReadText(object, place, "friendName");
  result.frontShowFlag = ReadFlag(object, place, "frontShowFlag");
  const json& members = ReadArray(object, place, "members");
  for (std::size_t i = 0; i < members.size(); ++i) {
    result.members.push_back(
        ReadMember(members[i], MemberPlace(place, i, NameIfAny(members[i], "memberName"))));
  }
  return result;
}

// A file without the field is of version 1; a later version than this program knows may hold
// what it would silently drop.
void RequireKnownVersion(const json& root) {
  if (!root.is_object() || !root.contains(kVersionField)) return;
  const int version = ReadNumber(root, kFilePlace, kVersionField);
  if (version >= 1 && version <= kFormatVersion) return;
  throw TModelFileError(FieldPlace(kFilePlace, kVersionField),
                        "格式版本" + std::to_string(version) + "无法读取: 本程序只能读取版本1到" +
                            std::to_string(kFormatVersion) +
                            (version > kFormatVersion ? ", 请使用更新版本的程序" : ""));
}

TFileProject ReadModelFileChecked(const std::string& text) {
  json root = ParseStrict(text);
  RequireKnownVersion(root);
  if (root.is_object() && root.contains(kVersionField)) {
    RequireFields(root, kFilePlace, kVersionedProjectFields);
  } else {
    RequireFields(root, kFilePlace, kProjectFields);
  }
  TFileProject project;
  project.projectName = ReadText(root, kFilePlace, "projectName");
  const json& classes = ReadArray(root, kFilePlace, "classes");
  for (std::size_t i = 0; i < classes.size(); ++i) {
    project.classes.push_back(
        ReadClass(classes[i], ClassPlace(i, NameIfAny(classes[i], "className"))));
  }
  return project;
}

// Every value is checked before it is taken, so the library should have nothing to object to;
// should it still, the user gets our words and the library's error number, not its English.
TFileProject ReadModelFile(const std::string& text) {
  try {
    return ReadModelFileChecked(text);
  } catch (const json::exception& error) {
    throw TModelFileError(kFilePlace, "无法读取(JSON库错误" + std::to_string(error.id) + ")");
  }
}

// ---- Storing, under the dialogs' rules ----

void Refuse(const TRuleResult& message, const std::string& place) {
  if (message) throw TModelFileError(place, *message);
}

int AddProjectNamed(const std::string& projectName, const std::string& place) {
  Refuse(CheckNewProjectName(projectName), place);
  return TProjectDAO().AddProject(projectName);
}

int AddFileClass(int projectId, const TFileClass& fileClass, const std::string& place) {
  if (auto failure = CheckAddClassWithField(projectId, fileClass.className, fileClass.friendName)) {
    throw TModelFileError(PlaceOf(*failure, place), failure->message);
  }
  return TClassDAO().AddClass(projectId, fileClass.className, fileClass.friendName,
                              fileClass.frontShowFlag);
}

// What the add-member dialog would hold for this record.
TMemberInput InputFor(const TMember& record, std::vector<std::string> typeList,
                      const std::string& place) {
  TMemberInput input = MemberInputFrom(record, std::move(typeList));
  if (!input.typeIndex) {
    throw TModelFileError(
        FieldPlace(place, "memberType"),
        "类型\"" + record.memberType + "\"不是可选的类型(五种基本类型或本工程中的其他类)");
  }
  return input;
}

// The fields the dialogs derive from the type must say what the type says.
void RequireDerivedFields(const TMember& record, const TMember& built, const std::string& place) {
  auto require = [&](const char* key, int fileValue, int derived) {
    if (fileValue != derived) {
      throw TModelFileError(FieldPlace(place, key), "与类型\"" + record.memberType +
                                                        "\"不符, 应为" + std::to_string(derived));
    }
  };
  require("memberLength", record.memberLength, built.memberLength);
  require("memberIsInteger", record.memberIsInteger, built.memberIsInteger);
  require("memberIsFloat", record.memberIsFloat, built.memberIsFloat);
  // Precision and scale belong to decimal and numeric, as a length belongs to a string.
  auto requireOfSqlType = [&](const char* key, int fileValue, int kept) {
    if (fileValue != kept) {
      throw TModelFileError(FieldPlace(place, key), "与SQL类型\"" + record.memberSqlType +
                                                        "\"不符, 应为" + std::to_string(kept));
    }
  };
  requireOfSqlType("memberPrecision", record.memberPrecision, built.memberPrecision);
  requireOfSqlType("memberScale", record.memberScale, built.memberScale);
}

void AddFileMember(int projectId, int classId, const TMember& record,
                   const std::vector<std::string>& typeList, const std::string& place) {
  TMemberInput input = InputFor(record, typeList, place);
  if (auto failure = CheckModelFileMemberWithField(input)) {
    throw TModelFileError(PlaceOf(*failure, place), failure->message);
  }
  TBuiltMember built = BuildMember(input, projectId, classId, 0);
  if (!built.member) throw TModelFileError(FieldPlace(place, "memberLength"), built.error);
  RequireDerivedFields(record, *built.member, place);
  TMemberDAO().AddMember(*built.member);
}

}  // namespace

std::string ExportProject(int projectId) {
  // Held for reading only: the file shows the model as it stood at one moment.
  TDbTransaction snapshot;
  const std::optional<std::string> found = TProjectDAO().GetProjectName(projectId);
  if (!found) throw TModelFileError("工程", "没有键为" + std::to_string(projectId) + "的工程");
  const std::string& projectName = *found;
  std::vector<TExportedClass> exported;
  int version = 1;
  for (const auto& entry : TClassDAO().ListClasses(projectId)) {
    exported.push_back({entry, TMemberDAO().ListMembers(entry.id)});
    for (const TMember& member : exported.back().members)
      version = std::max(version, VersionNeeded(member));
  }
  ordered_json root = ordered_json::object();
  if (version > 1) root[kVersionField] = version;
  root["projectName"] = projectName;
  ordered_json classes = ordered_json::array();
  for (const auto& entry : exported) classes.push_back(ClassToJson(entry, version));
  root["classes"] = std::move(classes);
  snapshot.Commit();
  try {
    return root.dump(2) + "\n";
  } catch (const ordered_json::type_error&) {
    throw TModelFileError("工程" + projectName, "含有不是UTF-8的文本, 无法导出");
  }
}

int ImportProject(const std::string& modelText, const std::optional<std::string>& name) {
  TFileProject file = ReadModelFile(modelText);
  std::string projectPlace = name ? std::string("工程名称") : FieldPlace(kFilePlace, "projectName");

  TDbTransaction transaction;
  int projectId = AddProjectNamed(name.value_or(file.projectName), projectPlace);
  // Every class first, so that a member may reference a class that comes later in the file.
  std::vector<int> classIds;
  for (std::size_t i = 0; i < file.classes.size(); ++i) {
    classIds.push_back(
        AddFileClass(projectId, file.classes[i], ClassPlace(i, file.classes[i].className)));
  }
  TClassDAO classDao;
  for (std::size_t i = 0; i < file.classes.size(); ++i) {
    const TFileClass& fileClass = file.classes[i];
    std::string classPlace = ClassPlace(i, fileClass.className);
    auto typeList =
        MemberTypeList(classDao.ListOtherClasses(projectId, classIds[i]), fileClass.className);
    for (std::size_t j = 0; j < fileClass.members.size(); ++j) {
      const TMember& record = fileClass.members[j];
      AddFileMember(projectId, classIds[i], record, typeList,
                    MemberPlace(classPlace, j, record.memberName));
    }
  }
  transaction.Commit();
  return projectId;
}

}  // namespace vbgen
