// The model commands: projects, classes and members, with the window's and dialogs' rules.
#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <ostream>

#include "cli/Commands.h"
#include "cli/Hints.h"
#include "model/ClassDAO.h"
#include "model/MemberDAO.h"
#include "model/ProjectDAO.h"
#include "model/Rules.h"

namespace vbgen::cli {
namespace {

void RefuseIf(const TRuleResult& result) {
  if (result) Refuse(*result);
}

void RefuseMemberIf(const TRuleResult& result) {
  if (result) Refuse(WithMemberOption(*result));
}

const char* YesNo(int flag) { return flag == 1 ? "是" : "否"; }

int RequireClass(int classId) {
  const std::optional<int> projectId = TClassDAO().GetProjectIdOfClass(classId);
  if (!projectId) Refuse("类不存在: " + std::to_string(classId));
  return *projectId;
}

TMember RequireMember(int memberId) {
  auto member = TMemberDAO().GetMember(memberId);
  if (!member) Refuse("成员不存在: " + std::to_string(memberId));
  return *member;
}

// A class as the user wrote it: its classId (one word) or project and class name (two words).
struct TClassWords {
  std::optional<int> classId;
  TProjectRef project;
  std::string className;
};

// Reads the class words, followed by `after` more positional words; only the form is checked,
// so that usage errors come before refusals.
TClassWords NextClassWords(TArgs& args, std::size_t after) {
  const std::size_t words = args.PositionalsLeft();
  if (words < after + 2) return {args.NextId("类编号"), {}, {}};
  if (words > after + 2) UsageError("多余的参数: 类应是类编号, 或工程和类名两个词");
  TClassWords found;
  found.project = args.NextProject("工程");
  found.className = args.Next("类名称");
  return found;
}

// The classId; refuses a class that does not exist.
int ResolveClass(const TClassWords& words) {
  if (words.classId) {
    RequireClass(*words.classId);
    return *words.classId;
  }
  const std::optional<int> classId =
      TClassDAO().FindClassId(ResolveProject(words.project), words.className);
  if (!classId) Refuse("工程 " + words.project.text + " 中没有类 " + words.className);
  return *classId;
}

// Lists as JSON: UTF-8, and a text that is not (stored by another tool) shows U+FFFD rather
// than breaking the output.
void PrintJson(std::ostream& out, const nlohmann::ordered_json& list) {
  out << list.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

bool JsonOption(TArgs& args) { return TOptions(args.Rest(), {"--json"}, {}).Has("--json"); }

}  // namespace

void PrintAdded(TCliEnv& env, int id, const std::string& message) {
  Confirm(env, message);
  env.out << id << '\n';
}

void Confirm(TCliEnv& env, const std::string& message) { env.err << message << '\n'; }

namespace {

std::string JoinIds(const std::vector<int>& ids) {
  std::string text;
  for (int id : ids) text += (text.empty() ? "" : ", ") + std::to_string(id);
  return text;
}

// A word that is one project's key and another's name: guessing would change the wrong one.
[[noreturn]] void RefuseAmbiguous(const std::string& word, const TNamedIdList& list, int id,
                                  const std::vector<int>& named) {
  std::string idName;
  for (const auto& entry : list) {
    if (entry.id == id) idName = entry.name;
  }
  Refuse("\"" + word + "\"既是工程编号 " + std::to_string(id) + " (" + idName + "), 又是工程 " +
         JoinIds(named) + " 的名称; 请用 --id " + word + " 指编号, 或用 =" + word + " 指名称");
}

}  // namespace

int ResolveProject(const TProjectRef& reference) {
  using TKind = TProjectRef::TKind;
  const TNamedIdList list = TProjectDAO().ListProjects();
  std::optional<int> byId;
  if (reference.kind != TKind::Name) {
    const std::optional<int> id = ParseInt(reference.text);
    for (const auto& entry : list) {
      if (id && entry.id == *id) byId = *id;
    }
  }
  if (reference.kind == TKind::Id) {
    if (!byId) Refuse("工程不存在: 编号 " + reference.text);
    return *byId;
  }
  std::vector<int> named;
  for (const auto& entry : list) {
    if (entry.name == reference.text && entry.id != byId) named.push_back(entry.id);
  }
  if (byId) {
    if (!named.empty()) RefuseAmbiguous(reference.text, list, *byId, named);
    return *byId;
  }
  if (named.size() > 1) {
    Refuse("有多个工程名为 " + reference.text + "，请用工程编号指定 (编号 " + JoinIds(named) +
           "; 如 --id " + std::to_string(named.front()) + ")");
  }
  if (named.empty()) Refuse("工程不存在: " + reference.text);
  return named.front();
}

namespace {

// The generated folder may hold the user's own edits: deleting the model never deletes it, and
// says where it stays.
void NoteOutputLeft(TCliEnv& env, const std::optional<std::string>& projectName) {
  if (!projectName || projectName->empty()) return;
  const std::filesystem::path output = env.programDir.OutputDir(*projectName);
  std::error_code error;
  if (!std::filesystem::is_directory(std::filesystem::symlink_status(output, error))) return;
  Confirm(env, "生成的代码仍在 " + output.string() + " (没有删除; 不再需要时请自行删除)");
}

}  // namespace

int RunProjectCommand(TArgs& args, TCliEnv& env) {
  TProjectDAO projects;
  const std::string verb = args.Next("project 的子命令");
  if (verb == "list") {
    const bool json = JsonOption(args);
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const auto& entry : projects.ListProjects()) {
      if (json)
        list.push_back({{"projectId", entry.id}, {"projectName", entry.name}});
      else
        env.out << entry.id << '\t' << entry.name << '\n';
    }
    if (json) PrintJson(env.out, list);
  } else if (verb == "add") {
    const std::string name = args.Next("工程名称");
    args.ExpectEnd();
    RefuseIf(CheckNewProjectName(name));
    PrintAdded(env, projects.AddProject(name), "工程名称添加成功！");
  } else if (verb == "rename") {
    const int projectId = ResolveProject(args.NextProject("工程"));
    const std::string name = args.Next("新的工程名称");
    args.ExpectEnd();
    RefuseIf(CheckRenamedProjectName(name));
    projects.RenameProject(projectId, name);
    Confirm(env, "工程名称修改成功！");
  } else if (verb == "delete") {
    const int projectId = ResolveProject(args.NextProject("工程"));
    args.ExpectEnd();
    const std::optional<std::string> name = projects.GetProjectName(projectId);
    projects.DeleteProject(projectId);
    Confirm(env, "删除成功!");
    NoteOutputLeft(env, name);
  } else {
    UsageError("未知的 project 子命令: " + verb);
  }
  return 0;
}

int RunClassCommand(TArgs& args, TCliEnv& env) {
  TClassDAO classes;
  const std::string verb = args.Next("class 的子命令");
  if (verb == "list") {
    const TProjectRef project = args.NextProject("工程");
    const bool json = JsonOption(args);
    const int projectId = ResolveProject(project);
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const auto& entry : classes.ListClasses(projectId)) {
      const std::string friendName = classes.GetFriendName(entry.id);
      const int frontShow = classes.GetFrontShowFlag(entry.id);
      if (json) {
        list.push_back({{"classId", entry.id},
                        {"className", entry.name},
                        {"friendName", friendName},
                        {"frontShowFlag", frontShow}});
      } else {
        env.out << entry.id << '\t' << entry.name << '\t' << friendName << '\t' << frontShow
                << '\n';
      }
    }
    if (json) PrintJson(env.out, list);
  } else if (verb == "add") {
    const int projectId = ResolveProject(args.NextProject("工程"));
    const std::string name = args.Next("类名称");
    const std::string friendName = args.Next("友好名称");
    TOptions options(args.Rest(), {"--no-front-show"}, {});
    RefuseIf(CheckAddClass(projectId, name, friendName));
    const int classId =
        classes.AddClass(projectId, name, friendName, options.Has("--no-front-show") ? 0 : 1);
    PrintAdded(env, classId, "类名称添加成功！");
  } else if (verb == "update") {
    const TClassWords classWords = NextClassWords(args, 2);
    const std::string name = args.Next("类名称");
    const std::string friendName = args.Next("友好名称");
    TOptions options(args.Rest(), {"--front-show", "--no-front-show"}, {});
    const int classId = ResolveClass(classWords);
    const int projectId = RequireClass(classId);
    int flag = classes.GetFrontShowFlag(classId) == 1 ? 1 : 0;
    if (options.Has("--front-show")) flag = 1;
    if (options.Has("--no-front-show")) flag = 0;
    RefuseIf(CheckUpdateClass(name, friendName));
    classes.UpdateClass(projectId, classId, name, friendName, flag);
    Confirm(env, "类名称更新成功");
  } else if (verb == "delete") {
    const TClassWords classWords = NextClassWords(args, 0);
    args.ExpectEnd();
    const int classId = ResolveClass(classWords);
    classes.DeleteClass(classId);
    Confirm(env, "类对象删除成功!");
  } else {
    UsageError("未知的 class 子命令: " + verb);
  }
  return 0;
}

namespace {

const std::vector<std::string> kMemberFlags = {
    "--pri",        "--no-pri",        "--must",        "--no-must",       "--query",
    "--no-query",   "--display",       "--no-display",  "--query-display", "--no-query-display",
    "--allow-null", "--no-allow-null", "--key-entered", "--no-key-entered"};
const std::vector<std::string> kMemberValues = {
    "--name", "--type", "--length", "--comment", "--sql-type", "--precision", "--scale"};

void ApplyFlag(const TOptions& options, const std::string& name, bool& field) {
  if (options.Has("--" + name)) field = true;
  if (options.Has("--no-" + name)) field = false;
}

void ApplyNumber(const TOptions& options, const std::string& option, int& field) {
  const std::optional<std::string> text = options.Value(option);
  if (!text) return;
  const std::optional<int> number = ParseInt(*text);
  if (!number) Refuse("\"" + *text + "\"不是有效的整数值! (" + option + ")");
  field = *number;
}

// Puts the options over the dialog's state, as a user would set the controls.
void ApplyMemberOptions(const TOptions& options, TMemberInput& input) {
  if (auto name = options.Value("--name")) input.name = *name;
  if (auto type = options.Value("--type")) {
    input.typeIndex = std::nullopt;
    for (std::size_t i = 0; i < input.typeList.size(); ++i) {
      if (input.typeList[i] == *type) input.typeIndex = i;
    }
    if (!input.typeIndex) {
      std::string choices;
      for (const auto& entry : input.typeList) choices += (choices.empty() ? "" : ", ") + entry;
      Refuse(WithMemberOption("成员类型必须是下列之一: " + choices));
    }
  }
  if (auto length = options.Value("--length")) input.lengthText = *length;
  if (auto comment = options.Value("--comment")) input.comment = *comment;
  ApplyFlag(options, "pri", input.isPri);
  ApplyFlag(options, "must", input.isMust);
  ApplyFlag(options, "query", input.queryFlag);
  ApplyFlag(options, "display", input.isDisplay);
  ApplyFlag(options, "query-display", input.queryDisplay);
  ApplyFlag(options, "allow-null", input.allowNull);
  ApplyFlag(options, "key-entered", input.keyEntered);
  if (auto sqlType = options.Value("--sql-type")) input.sqlType = *sqlType;
  ApplyNumber(options, "--precision", input.precision);
  ApplyNumber(options, "--scale", input.scale);
}

// The dialogs ignore the length of a type other than 字符串, but a --length that is no number
// is a typing error all the same, worded as the length of a string member is.
void RefuseLengthThatIsNoNumber(const TOptions& options, const TMemberInput& input) {
  const std::optional<std::string> length = options.Value("--length");
  if (!length || input.Type() == kTypeString) return;
  const std::string digits = !length->empty() && (*length)[0] == '+' ? length->substr(1) : *length;
  if (!ParseInt(digits)) Refuse(WithMemberOption("\"" + *length + "\"不是有效的整数值!"));
}

TMember BuildOrRefuse(const TMemberInput& input, int projectId, int classId, int memberId) {
  TBuiltMember built = BuildMember(input, projectId, classId, memberId);
  if (!built.member) Refuse(WithMemberOption(built.error));
  return *built.member;
}

nlohmann::ordered_json MemberJson(const TMember& m) {
  return {{"memberId", m.memberId},
          {"projectId", m.projectId},
          {"classId", m.classId},
          {"memberName", m.memberName},
          {"memberType", m.memberType},
          {"memberLength", m.memberLength},
          {"memberIsPri", m.memberIsPri},
          {"memberComment", m.memberComment},
          {"memberIsMust", m.memberIsMust},
          {"memberIsInteger", m.memberIsInteger},
          {"memberIsFloat", m.memberIsFloat},
          {"queryFlag", m.queryFlag},
          {"memberIsDisplay", m.memberIsDisplay},
          {"memberQueryDisplay", m.memberQueryDisplay},
          {"memberAllowNull", m.memberAllowNull},
          {"memberKeyEntered", m.memberKeyEntered},
          {"memberSqlType", m.memberSqlType},
          {"memberPrecision", m.memberPrecision},
          {"memberScale", m.memberScale}};
}

// The declared SQL type as SQL Server writes it: decimal(19,4); empty for the default mapping.
std::string SqlTypeText(const TMember& m) {
  if (!SqlTypeHasPrecision(m.memberSqlType)) return m.memberSqlType;
  return m.memberSqlType + "(" + std::to_string(m.memberPrecision) + "," +
         std::to_string(m.memberScale) + ")";
}

void PrintMembersJson(std::ostream& out, int classId) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const auto& member : TMemberDAO().ListMembers(classId)) list.push_back(MemberJson(member));
  PrintJson(out, list);
}

void PrintMembers(std::ostream& out, int classId) {
  const TMemberList members = TMemberDAO().ListMembers(classId);
  // The columns of the complete application show only where a member uses them, so the list of
  // a plain model reads as it always has.
  const bool database = std::any_of(members.begin(), members.end(), [](const TMember& m) {
    return m.memberAllowNull != 0 || m.memberKeyEntered != 0 || !m.memberSqlType.empty();
  });
  out << "编号\t成员名称\t成员类型\t长度\t主键\t必填\t查询\t下拉框显示\t界面显示\t"
      << (database ? "允许为空\t输入键值\tSQL类型\t" : "") << "注释\n";
  for (const auto& m : members) {
    out << m.memberId << '\t' << m.memberName << '\t' << m.memberType << '\t' << m.memberLength
        << '\t' << YesNo(m.memberIsPri) << '\t' << YesNo(m.memberIsMust) << '\t'
        << YesNo(m.queryFlag) << '\t' << YesNo(m.memberIsDisplay) << '\t'
        << YesNo(m.memberQueryDisplay) << '\t';
    if (database) {
      out << YesNo(m.memberAllowNull) << '\t' << YesNo(m.memberKeyEntered) << '\t' << SqlTypeText(m)
          << '\t';
    }
    out << m.memberComment << '\n';
  }
}

// The update dialog's type list; a member that refers to its own class (read from a script or a
// model file) finds that class in it too, so that updating it keeps the reference.
std::vector<std::string> UpdateTypeList(int projectId, const TMember& stored) {
  TClassDAO classes;
  const std::string own = classes.GetClassNameById(stored.classId);
  return MemberTypeList(classes.ListOtherClasses(projectId, stored.classId),
                        stored.memberType == own ? own : std::string());
}

// Moves a member one place (step -1 up, +1 down) by exchanging it with its neighbour.
void MoveMember(int memberId, int step) {
  const TMember member = RequireMember(memberId);
  const TMemberList list = TMemberDAO().ListMembers(member.classId);
  std::size_t index = 0;
  while (list[index].memberId != memberId) ++index;
  if (step < 0 && index == 0) Refuse("第一个成员无法上移了！");
  if (step > 0 && index + 1 == list.size()) Refuse("最后一个成员无法下移了！");
  TMemberDAO().SwapMembers(memberId, list[index + static_cast<std::size_t>(step)].memberId);
}

}  // namespace

int RunMemberCommand(TArgs& args, TCliEnv& env) {
  TMemberDAO members;
  const std::string verb = args.Next("member 的子命令");
  if (verb == "list") {
    const TClassWords classWords = NextClassWords(args, 0);
    const bool json = JsonOption(args);
    const int classId = ResolveClass(classWords);
    if (json) {
      PrintMembersJson(env.out, classId);
    } else {
      PrintMembers(env.out, classId);
    }
  } else if (verb == "add") {
    const TClassWords classWords = NextClassWords(args, 0);
    TOptions options(args.Rest(), kMemberFlags, kMemberValues);
    const int classId = ResolveClass(classWords);
    const int projectId = RequireClass(classId);
    TMemberInput input =
        NewMemberInput(MemberTypeList(TClassDAO().ListOtherClasses(projectId, classId)));
    ApplyMemberOptions(options, input);
    RefuseMemberIf(CheckAddMember(input));
    RefuseLengthThatIsNoNumber(options, input);
    const TMember member = BuildOrRefuse(input, projectId, classId, 0);
    PrintAdded(env, members.AddMember(member), "类成员属性添加成功!");
  } else if (verb == "update") {
    const int memberId = args.NextInt("成员编号");
    TOptions options(args.Rest(), kMemberFlags, kMemberValues);
    const TMember stored = RequireMember(memberId);
    const int projectId = RequireClass(stored.classId);
    TMemberInput input = MemberInputFrom(stored, UpdateTypeList(projectId, stored));
    ApplyMemberOptions(options, input);
    RefuseMemberIf(CheckUpdateMember(input));
    RefuseLengthThatIsNoNumber(options, input);
    members.UpdateMember(BuildOrRefuse(input, projectId, stored.classId, memberId));
    Confirm(env, "类成员属性更新成功!");
  } else if (verb == "delete") {
    const int memberId = args.NextInt("成员编号");
    args.ExpectEnd();
    RequireMember(memberId);
    members.DeleteMember(memberId);
    Confirm(env, "成员属性删除成功");
  } else if (verb == "swap") {
    const int a = args.NextInt("成员编号");
    const int b = args.NextInt("成员编号");
    args.ExpectEnd();
    if (RequireMember(a).classId != RequireMember(b).classId) Refuse("只能交换同一个类的成员!");
    members.SwapMembers(a, b);
  } else if (verb == "up" || verb == "down") {
    const int memberId = args.NextInt("成员编号");
    args.ExpectEnd();
    MoveMember(memberId, verb == "up" ? -1 : 1);
  } else {
    UsageError("未知的 member 子命令: " + verb);
  }
  return 0;
}

}  // namespace vbgen::cli
