#include "model/ModelFile.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <nlohmann/json.hpp>
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
};

constexpr const char* kProjectFields[] = {"projectName", "classes"};
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

// ---- Writing ----

ordered_json MemberToJson(const TMember& member) {
  ordered_json out = ordered_json::object();
  for (const auto& field : kMemberFields) {
    std::visit([&](auto pointer) { out[field.key] = member.*pointer; }, field.field);
  }
  return out;
}

ordered_json ClassToJson(const TNamedId& entry) {
  TClassDAO classDao;
  ordered_json out = ordered_json::object();
  out["className"] = entry.name;
  out["friendName"] = classDao.GetFriendName(entry.id);
  out["frontShowFlag"] = classDao.GetFrontShowFlag(entry.id);
  ordered_json members = ordered_json::array();
  for (const auto& member : TMemberDAO().ListMembers(entry.id)) {
    members.push_back(MemberToJson(member));
  }
  out["members"] = std::move(members);
  return out;
}

bool ProjectExists(int projectId) {
  auto projects = TProjectDAO().ListProjects();
  return std::any_of(projects.begin(), projects.end(),
                     [projectId](const TNamedId& entry) { return entry.id == projectId; });
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

// The library's explanation without its own prefix and position, which the caller words itself.
std::string ParseErrorDetail(const std::string& what) {
  auto column = what.find("column ");
  auto detail = column == std::string::npos ? column : what.find(": ", column);
  return detail == std::string::npos ? what : what.substr(detail + 2);
}

// Parses the text, refusing a key that appears twice in one object: the library would keep
// only the last value, and a silently dropped value is a lost edit.
json ParseStrict(const std::string& text) {
  std::vector<std::set<std::string>> openObjects;
  auto refuseRepeatedKeys = [&](int, json::parse_event_t event, json& parsed) {
    switch (event) {
      case json::parse_event_t::object_start:
        openObjects.emplace_back();
        break;
      case json::parse_event_t::object_end:
        if (!openObjects.empty()) openObjects.pop_back();
        break;
      case json::parse_event_t::key:
        if (!openObjects.empty() && !openObjects.back().insert(parsed.get<std::string>()).second)
          throw TModelFileError(kFilePlace,
                                "字段" + parsed.get<std::string>() + "在同一对象中出现了两次");
        break;
      default:
        break;
    }
    return true;
  };
  try {
    return json::parse(text, refuseRepeatedKeys);
  } catch (const json::parse_error& error) {
    std::size_t offset = error.byte > 0 ? error.byte - 1 : 0;
    throw TModelFileError(kFilePlace, "不是有效的JSON文本(" + LineAndColumn(text, offset) +
                                          "): " + ParseErrorDetail(error.what()));
  }
}

// An object with exactly the given fields: none missing, none unknown.
template <typename Keys>
void RequireFields(const json& object, const std::string& place, const Keys& keys) {
  if (!object.is_object()) throw TModelFileError(place, "应为JSON对象({...})");
  for (const auto& [key, value] : object.items()) {
    bool known = std::any_of(std::begin(keys), std::end(keys),
                             [&key](const auto& entry) { return key == entry; });
    if (!known) throw TModelFileError(FieldPlace(place, key), "未知字段");
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
  bool isFlag = value.is_number_integer() && (value == 0 || value == 1);
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

std::vector<const char*> MemberKeys() {
  std::vector<const char*> keys;
  for (const auto& field : kMemberFields) keys.push_back(field.key);
  return keys;
}

TMember ReadMember(const json& object, const std::string& place) {
  RequireFields(object, place, MemberKeys());
  TMember member;
  for (const auto& field : kMemberFields) {
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

TFileProject ReadModelFile(const std::string& text) {
  json root = ParseStrict(text);
  RequireFields(root, kFilePlace, kProjectFields);
  TFileProject project;
  project.projectName = ReadText(root, kFilePlace, "projectName");
  const json& classes = ReadArray(root, kFilePlace, "classes");
  for (std::size_t i = 0; i < classes.size(); ++i) {
    project.classes.push_back(
        ReadClass(classes[i], ClassPlace(i, NameIfAny(classes[i], "className"))));
  }
  return project;
}

// ---- Storing, under the dialogs' rules ----

void Refuse(const TRuleResult& message, const std::string& place) {
  if (message) throw TModelFileError(place, *message);
}

int AddProjectNamed(const std::string& projectName, const std::string& place) {
  Refuse(CheckNewProjectName(projectName), place);
  TProjectDAO projects;
  projects.AddProject(projectName);
  // The name was checked to be new, so it finds exactly the row just added.
  for (const auto& entry : projects.ListProjects()) {
    if (entry.name == projectName) return entry.id;
  }
  throw TModelFileError(place, "新工程保存后未能找到");
}

int AddFileClass(int projectId, const TFileClass& fileClass, const std::string& place) {
  if (auto message = CheckAddClass(projectId, fileClass.className, fileClass.friendName)) {
    bool aboutFriendName = CheckStoredFriendName(fileClass.friendName) == message;
    throw TModelFileError(FieldPlace(place, aboutFriendName ? "friendName" : "className"),
                          *message);
  }
  TClassDAO classes;
  classes.AddClass(projectId, fileClass.className, fileClass.friendName, fileClass.frontShowFlag);
  return classes.FindClassId(projectId, fileClass.className);
}

// What the add-member dialog would hold for this record.
TMemberInput InputFor(const TMember& record, std::vector<std::string> typeList,
                      const std::string& place) {
  TMemberInput input = MemberInputFrom(record, std::move(typeList));
  if (input.typeIndex == -1) {
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
}

void AddFileMember(int projectId, int classId, const TMember& record,
                   const std::vector<std::string>& typeList, const std::string& place) {
  TMemberInput input = InputFor(record, typeList, place);
  if (auto message = CheckAddMember(input)) {
    std::string where = place;
    if (CheckStoredMemberName(record.memberName) == message) {
      where = FieldPlace(place, "memberName");
    } else if (CheckStoredComment(record.memberComment) == message) {
      where = FieldPlace(place, "memberComment");
    }
    throw TModelFileError(where, *message);
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
  if (!ProjectExists(projectId)) {
    throw TModelFileError("工程", "没有键为" + std::to_string(projectId) + "的工程");
  }
  std::string projectName = TProjectDAO().GetProjectName(projectId);
  ordered_json root = ordered_json::object();
  root["projectName"] = projectName;
  ordered_json classes = ordered_json::array();
  for (const auto& entry : TClassDAO().ListClasses(projectId)) {
    classes.push_back(ClassToJson(entry));
  }
  root["classes"] = std::move(classes);
  snapshot.Commit();
  try {
    return root.dump(2) + "\n";
  } catch (const ordered_json::type_error& error) {
    throw TModelFileError("工程" + projectName,
                          "含有不是UTF-8的文本, 无法导出: " + std::string(error.what()));
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
    auto typeList = MemberTypeList(classDao.ListOtherClasses(projectId, classIds[i]));
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
