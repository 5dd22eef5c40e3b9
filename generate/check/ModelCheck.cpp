#include "generate/check/ModelCheck.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "generate/Gbk.h"
#include "generate/check/ReservedWords.h"
#include "generate/emit/ManageForm.h"
#include "generate/emit/UIOperate.h"
#include "model/Rules.h"

namespace vbgen {
namespace {

// A name in a line of the check: quoted, so blanks at its end show; a very long one is cut.
std::string Quoted(const std::string& name) {
  constexpr std::size_t kShown = 32;
  const std::size_t length = NameLength(name);
  if (length <= kShown + 8) return "\"" + name + "\"";
  std::size_t cut = 0;
  for (std::size_t chars = 0; cut < name.size() && chars < kShown; ++chars) {
    ++cut;
    while (cut < name.size() && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) ++cut;
  }
  return "\"" + name.substr(0, cut) + "…\"(共" + std::to_string(length) + "个字符)";
}

bool IsWindowsDeviceName(const std::string& name) {
  // Windows drops trailing dots and blanks, and a device name keeps its meaning before any
  // extension: "con .txt" is the console too.
  std::string base = FoldCase(name.substr(0, name.find('.')));
  while (!base.empty() && (base.back() == ' ' || base.back() == '.')) base.pop_back();
  if (base == "con" || base == "prn" || base == "aux" || base == "nul") return true;
  return base.size() == 4 && (base.rfind("com", 0) == 0 || base.rfind("lpt", 0) == 0) &&
         base[3] >= '1' && base[3] <= '9';
}

// A name SQL Server cannot take even between square brackets.
bool BreaksBrackets(const std::string& name) {
  return name.find(']') != std::string::npos || std::any_of(name.begin(), name.end(), [](char c) {
           return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
         });
}

// A name the forms derive from a member's: prefix + memberName + suffix.
struct TDerivedName {
  std::string_view prefix;
  std::string_view suffix;
  bool operator==(const TDerivedName&) const = default;
};

// The edit form keeps the key in a public variable, beside its text box.
constexpr TDerivedName kKeyNames[] = {{"TB_", ""}, {"", ""}};

std::span<const TDerivedName> NamesOfType(const std::string& type) {
  static constexpr TDerivedName kString[] = {{"TB_", ""}, {"RTB_", ""}};
  static constexpr TDerivedName kNumber[] = {{"TB_", ""}, {"", "Error"}, {"", "OK"}};
  static constexpr TDerivedName kDate[] = {{"DTP_", ""}, {"CHB_", ""}};
  static constexpr TDerivedName kPicture[] = {
      {"Image_", ""}, {"Btn_", ""}, {"TB_", "Path"}, {"", "Stream"}, {"Btn_", "_Click"}};
  static constexpr TDerivedName kReference[] = {{"CB_", ""}, {"", "s"}, {"", "Rs"}, {"", "_Index"}};
  if (type == kTypeString) return kString;
  if (type == kTypeInteger || type == kTypeFloat) return kNumber;
  if (type == kTypeDate) return kDate;
  if (type == kTypePicture) return kPicture;
  return kReference;
}

// The names the forms give a member's controls, variables, labels and handlers (see the
// generators), each once: two members must not share one, or VB6 cannot load or compile the
// form.
template <typename Visit>
void ForEachDerivedName(const TMember& member, bool isKey, Visit visit) {
  if (isKey) {
    for (const TDerivedName& name : kKeyNames) visit(name);
  }
  for (const TDerivedName& name : NamesOfType(member.memberType)) {
    if (!isKey ||
        std::find(std::begin(kKeyNames), std::end(kKeyNames), name) == std::end(kKeyNames))
      visit(name);
  }
}

// The same names written out, in order.
std::vector<std::string> GeneratedNames(const TMember& member, bool isKey) {
  std::vector<std::string> names;
  ForEachDerivedName(member, isKey, [&](const TDerivedName& name) {
    names.push_back(std::string(name.prefix) + member.memberName + std::string(name.suffix));
  });
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

// A hash of a text with ASCII letters folded, as FoldCase folds them: equal folded texts have
// equal hashes. It is polynomial, so the hash of a + b is made from those of a and b: a member's
// name is hashed once for all the names the forms make of it.
struct TFoldedHash {
  static constexpr std::uint64_t kBase = 0x100000001b3ULL;
  std::uint64_t value = 0;
  std::uint64_t shift = 1;  // kBase to the power of the text's length

  static TFoldedHash Of(std::string_view text) {
    TFoldedHash hash;
    for (char c : text) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      hash.value = hash.value * kBase + static_cast<unsigned char>(c);
      hash.shift *= kBase;
    }
    return hash;
  }
  TFoldedHash Then(const TFoldedHash& next) const {
    return {value * next.shift + next.value, shift * next.shift};
  }
};

std::uint64_t FoldedHash(const TDerivedName& derived, const TFoldedHash& name) {
  return TFoldedHash::Of(derived.prefix).Then(name).Then(TFoldedHash::Of(derived.suffix)).value;
}

// What SQL Server takes as a name without brackets: no reserved word, no digit in front.
bool ReadsBare(const std::string& name) {
  return !IsTsqlReservedWord(name) && !(name[0] >= '0' && name[0] <= '9');
}

// Why SQL Server does not take the name bare.
std::string WhyNotBare(const std::string& name) {
  return IsTsqlReservedWord(name) ? "是T-SQL的保留字" : "以数字开头";
}

// What only the complete application can manage, and how to ask for it.
constexpr const char* kKeylessOnlyComplete = "没有主键的类只有完整应用能生成(显示为只读列表)";
constexpr const char* kSeveralKeysOnlyComplete = "多个成员组成的主键只有完整应用能生成";
constexpr const char* kSelfReferenceOnlyComplete = "引用本类的成员只有完整应用能生成";
constexpr const char* kReferenceKeyOnlyComplete = "引用成员作主键只有完整应用能生成";
constexpr const char* kCompleteWayOut =
    ": 请修改模型, 或生成完整应用(菜单\"自动生成完整应用代码\", 或vbgen-cli的--complete)";

// The way out of an error: another name, and the complete application when it would work
// there (its SQL brackets every name, its controls and variables have names of its own).
std::string WayOut(const char* what, bool completeWorks) {
  std::string text = "请改用另一个" + std::string(what);
  if (completeWorks)
    text += ", 或生成完整应用(完整应用的SQL语句给名称加方括号, 控件和变量另取名称)";
  return text;
}

// The complete application's main form names its three menus of a class "mnu" and the class
// name, then Class, Add or Manage: they load for every class name that begins with a letter.
bool MenusLoad(const std::string& className) { return StartsWithLetter(className); }

bool EndsInDotOrBlank(const std::string& name) {
  return !name.empty() && (name.back() == '.' || name.back() == ' ');
}

// The member the script and the forms take as the class's key (its first key member).
bool IsTheKey(const TMember* key, const TMember& member) {
  return key && key->memberId == member.memberId;
}

// The length a column takes from its member, when it takes one: a string member's, and the
// key's when the key is not an integer (the script makes it varchar then, whatever its type).
// A key that is a reference (a link table's) takes the referenced key's column instead.
std::optional<int> VarcharLength(const TMember* key, const TMember& member) {
  if (member.memberIsPri == 1) {
    if (IsTheKey(key, member) && member.memberIsInteger != 1 && !member.IsReference()) {
      return member.memberLength;
    }
    return std::nullopt;  // integer or reference key, or a second key the script leaves out
  }
  if (member.memberType == kTypeString) return member.memberLength;
  return std::nullopt;
}

// What a check looks for: every problem; every error (all a run wants to know: it stops at
// the first); or only those the script cannot be built with (all the script wants to know,
// and a good part quicker to find).
enum class TScope { Everything, Errors, ScriptBreakers };

class TModelChecker {
 public:
  TModelChecker(const TModelSnapshot& model, TScope scope, const TRunOptions& options)
      : model_(model), scope_(scope), complete_(options.complete) {}

  std::vector<TModelProblem> Run() {
    // The checks left out for the script find only problems it is built with all the same.
    const bool everything = scope_ != TScope::ScriptBreakers;
    KeysAndDisplays();
    if (everything) ProjectName();
    for (const TClassModel& entry : model_.Classes()) ClassName(entry);
    DuplicateClasses();
    if (everything && !complete_) MenuClashes();  // the complete menus cannot clash
    for (const TClassModel& entry : model_.Classes()) {
      Members(entry);
      DuplicateMembers(entry);
      if (!complete_) BareSqlNames(entry);
      if (everything && !complete_) {
        BareVbNames(entry);
        NameClashes(entry);
      }
      if (everything) FormSizes(entry);
      References(entry);
      if (everything) Texts(entry);
    }
    if (scope_ == TScope::Everything) {  // nothing but warnings
      for (const TClassModel& entry : model_.Classes()) NameWarnings(entry);
    }
    std::stable_partition(problems_.begin(), problems_.end(), [](const TModelProblem& problem) {
      return problem.severity == TSeverity::Error;
    });
    return std::move(problems_);
  }

 private:
  void Add(TSeverity severity, const TClassModel* entry, const TMember* member, std::string text,
           bool breaksScript) {
    if (scope_ == TScope::ScriptBreakers && !breaksScript) return;
    if (scope_ == TScope::Errors && severity != TSeverity::Error) return;
    TModelProblem problem;
    problem.severity = severity;
    problem.projectName = model_.ProjectName();
    if (entry) problem.className = entry->className;
    if (member) problem.memberName = member->memberName;
    problem.text = std::move(text);
    problem.breaksScript = breaksScript;
    problems_.push_back(std::move(problem));
  }
  void Error(const TClassModel* entry, const TMember* member, std::string text, bool breaksScript) {
    Add(TSeverity::Error, entry, member, std::move(text), breaksScript);
  }
  void Warn(const TClassModel* entry, const TMember* member, std::string text) {
    Add(TSeverity::Warning, entry, member, std::move(text), false);
  }

  // The run's own two checks, worded as the run's boxes word them. Only a class without any
  // key stops the plain script: of two keys it takes the first. The complete application
  // manages a key of several members and a table without a key (as a read-only list), so
  // the plain check names it as the way out.
  void KeysAndDisplays() {
    for (const TClassModel& entry : model_.Classes()) {
      if (entry.KeyCount() != 1 && !complete_) {
        Error(&entry, nullptr,
              entry.className + kKeyCheckText + " " +
                  (entry.KeyCount() == 0 ? kKeylessOnlyComplete : kSeveralKeysOnlyComplete) +
                  kCompleteWayOut,
              entry.KeyCount() == 0);
      }
      if (complete_ && NumberedKeyMembers(entry) > 1) {
        Error(&entry, nullptr,
              "主键中有" + std::to_string(NumberedKeyMembers(entry)) +
                  "个由数据库编号的整型成员, 一个表只能有一个IDENTITY列: "
                  "请把其余的设为由用户输入键值",
              true);
      }
    }
    for (const TClassModel& entry : model_.Classes()) {
      if (entry.DisplayCount() != 1)
        Error(&entry, nullptr, entry.className + kDisplayCheckText, false);
    }
  }

  // The integer key members the complete script makes IDENTITY columns.
  static std::size_t NumberedKeyMembers(const TClassModel& entry) {
    return static_cast<std::size_t>(
        std::count_if(entry.members.begin(), entry.members.end(), [](const TMember& member) {
          return member.memberIsPri == 1 && member.memberIsInteger == 1 &&
                 member.memberKeyEntered != 1;
        }));
  }

  void ProjectName() {
    const std::string& name = model_.ProjectName();
    if (auto refused = CheckStoredProjectName(name)) Error(nullptr, nullptr, *refused, false);
    if (IsWindowsDeviceName(name)) {
      Warn(nullptr, nullptr,
           "工程名称是Windows的设备名: 工程目录projects/" + name + "不能复制到Windows上");
    }
    if (EndsInDotOrBlank(name)) {
      Warn(nullptr, nullptr,
           "工程名称以点或空格结尾: Windows会去掉它们, 工程目录projects/" + name +
               "不能原样复制到Windows上");
    }
  }

  void ClassName(const TClassModel& entry) {
    const std::string& name = entry.className;
    if (name.empty()) return Error(&entry, nullptr, "类名称不能为空!", true);
    if (!IsIdentifier(name))
      Error(&entry, nullptr, kClassNameChars,
            BreaksBrackets(name) || (!complete_ && InForeignKey(entry)));
    if (auto admin = CheckNotOperatorTable(name)) Error(&entry, nullptr, *admin, true);
    if (scope_ != TScope::ScriptBreakers) MenuNames(entry);
    if (auto tooLong = CheckClassNameLimit(name)) {
      const bool overSql = NameLength(name) > kMaxSqlName;
      std::string text = *tooLong;
      if (overSql) text += " SQL Server的名称也不能超过" + std::to_string(kMaxSqlName) + "个字符!";
      Error(&entry, nullptr, text, overSql);
    }
  }

  // The script brackets every name but in its foreign keys: a class stands bare there when it
  // has a reference member or is referenced; a member when it is a reference or the key of a
  // referenced class. The script makes a foreign key of every reference but a key.
  static bool MakesForeignKey(const TMember& member) {
    return member.IsReference() && member.memberIsPri == 0;
  }
  bool InForeignKey(const TClassModel& entry) {
    return std::any_of(entry.members.begin(), entry.members.end(), MakesForeignKey) ||
           IsReferenced(entry);
  }
  bool InForeignKey(const TClassModel& entry, const TMember& member) {
    if (MakesForeignKey(member)) return true;
    return IsTheKey(entry.KeyMember(), member) && IsReferenced(entry);
  }
  // Whether a foreign key points to the class. The names they point to are gathered on the
  // first question: only a model with a name the script cannot leave bare asks at all.
  bool IsReferenced(const TClassModel& entry) {
    if (!referenced_) {
      referenced_.emplace();
      for (const TClassModel& other : model_.Classes()) {
        for (const TMember& member : other.members) {
          if (MakesForeignKey(member)) referenced_->insert(member.memberType);
        }
      }
    }
    return referenced_->count(entry.className) != 0;
  }

  // The plain main form names the menus after the class (first letter lowered); the complete
  // one puts "mnu" before it, so only a name that does not begin with a letter fails there.
  void MenuNames(const TClassModel& entry) {
    const std::string& name = entry.className;
    const std::string menu = LowerFirst(name);
    if (!StartsWithLetter(name)) {
      Error(&entry, nullptr,
            "类名的首个字符不是字母: VB6的名称必须以字母开头, 主窗体的菜单" + menu + "和过程" +
                menu + "Add_Click无法载入; " + WayOut("类名", false),
            false);
    } else if (IsVbReservedWord(menu) && !complete_) {
      Error(&entry, nullptr,
            "类名是VB6的保留字: 主窗体的菜单\"Begin VB.Menu " + menu + "\"无法载入; " +
                WayOut("类名", true),
            false);
    }
  }

  // The plain forms write the class and its key bare into their queries, and the plain script
  // writes the names of its foreign keys bare.
  void BareSqlNames(const TClassModel& entry) {
    const std::string& name = entry.className;
    if (!name.empty() && !ReadsBare(name)) {
      Error(&entry, nullptr,
            "类名" + WhyNotBare(name) + ", 不加方括号的语句无法执行: " + ClassStatements(entry) +
                "; " + WayOut("类名", MenusLoad(name)),
            InForeignKey(entry));
    }
    const TMember* key = entry.KeyMember();
    for (const TMember& member : entry.members) {
      const bool isKey = IsTheKey(key, member);
      if (member.memberName.empty() || ReadsBare(member.memberName)) continue;
      if (!isKey && !MakesForeignKey(member)) continue;
      Error(&entry, &member,
            "成员名称" + WhyNotBare(member.memberName) + ", 不加方括号的语句无法执行: " +
                MemberStatements(entry, member, isKey) + "; " + WayOut("成员名称", true),
            InForeignKey(entry, member));
    }
  }

  // The plain forms make variables and labels of member names with nothing in front: a
  // keyword or a name that does not begin with a letter does not compile there.
  void BareVbNames(const TClassModel& entry) {
    const TMember* key = entry.KeyMember();
    for (const TMember& member : entry.members) {
      if (member.memberName.empty()) continue;
      std::optional<std::string> broken;
      ForEachDerivedName(member, IsTheKey(key, member), [&](const TDerivedName& derived) {
        if (broken || !derived.prefix.empty()) return;
        const std::string name = member.memberName + std::string(derived.suffix);
        if (IsVbReservedWord(name) || !StartsWithLetter(name)) broken = name;
      });
      if (!broken) continue;
      const std::string why =
          IsVbReservedWord(*broken) ? "是VB6的保留字" : "不以字母开头(VB6的名称必须以字母开头)";
      Error(&entry, &member,
            "生成的VB6名称" + *broken + why + ": 窗体无法编译; " + WayOut("成员名称", true), false);
    }
  }

  // What one form can hold: VB6's limit of control names, and the manage form's query frame.
  void FormSizes(const TClassModel& entry) {
    const int names = EntryFormControlNames(entry);
    if (names > kMaxFormControlNames) {
      Error(&entry, nullptr,
            "修改窗体FrmEdit" + entry.className + ".frm有" + std::to_string(names) +
                "个控件名称, VB6的一个窗体最多" + std::to_string(kMaxFormControlNames) +
                "个: 窗体无法载入; 请减少成员, 或把类分成两个",
            false);
    }
    std::size_t queried = 0;
    for (const TMember& member : entry.members) {
      if (member.queryFlag == 1 && !(complete_ && member.memberType == kTypePicture)) ++queried;
    }
    if (queried > static_cast<std::size_t>(kMaxManageQueryMembers)) {
      Error(&entry, nullptr,
            "有" + std::to_string(queried) + "个查询成员, 管理窗体最多容纳" +
                std::to_string(kMaxManageQueryMembers) + "个: 请取消部分成员的查询条件",
            false);
    }
  }

  // VB6 and SQL Server's default collation do not tell Book from BOOK.
  void DuplicateClasses() {
    std::unordered_map<std::string, const TClassModel*> first;
    first.reserve(model_.Classes().size());
    for (const TClassModel& entry : model_.Classes()) {
      auto [found, added] = first.emplace(FoldCase(entry.className), &entry);
      if (added) continue;
      const std::string& other = found->second->className;
      Error(&entry, nullptr,
            "类名与类" + Quoted(other) + "相同(VB6和SQL Server不区分大小写): 两个类的窗体文件" +
                "FrmAdd" + other + ".frm等相互覆盖, 建表语句两次建立同一张表, 引用" + other +
                "的成员只能指向其中一个",
            true);
    }
  }

  void Members(const TClassModel& entry) {
    const TMember* key = entry.KeyMember();
    for (const TMember& member : entry.members) {
      const std::string& name = member.memberName;
      if (name.empty()) {
        Error(&entry, &member, "成员名称输入不能为空!", true);
      } else {
        if (!IsIdentifier(name)) {
          Error(&entry, &member, kMemberNameChars,
                BreaksBrackets(name) || (!complete_ && InForeignKey(entry, member)));
        }
        if (auto tooLong = CheckMemberNameLimit(name, member.memberType)) {
          const bool overSql = NameLength(name) > kMaxSqlName;
          std::string text = *tooLong;
          if (overSql)
            text += " SQL Server的名称也不能超过" + std::to_string(kMaxSqlName) + "个字符!";
          Error(&entry, &member, text, overSql);
        }
      }
      if (auto length = VarcharLength(key, member)) {
        if (auto refused = CheckStringLength(*length)) {
          Error(&entry, &member,
                *refused + " 建表语句中的[varchar] (" + std::to_string(*length) + ")无法执行",
                true);
        }
      }
    }
  }

  void DuplicateMembers(const TClassModel& entry) {
    if (!FoldedNamesMayRepeat(entry)) return;
    std::unordered_map<std::string, const TMember*> first;
    first.reserve(entry.members.size());
    for (const TMember& member : entry.members) {
      if (member.memberName.empty()) continue;
      auto [found, added] = first.emplace(FoldCase(member.memberName), &member);
      if (added) continue;
      Error(&entry, &member,
            "成员名称与成员" + Quoted(found->second->memberName) +
                "相同(VB6和SQL Server不区分大小写): 建表语句两次定义同一列, 窗体中两个控件同名",
            true);
    }
  }

  // Names that differ only as a whole can still meet in what is generated from them: the
  // picture cover's TB_coverPath and the text coverPath's TB_coverPath.
  void NameClashes(const TClassModel& entry) {
    const TMember* key = entry.KeyMember();
    if (!DerivedNamesMayMeet(entry, key)) return;
    std::unordered_map<std::string, const TMember*> owner;
    owner.reserve(entry.members.size() * 5);
    for (const TMember& member : entry.members) {
      if (member.memberName.empty()) continue;
      for (const std::string& name : GeneratedNames(member, IsTheKey(key, member))) {
        auto [found, added] = owner.emplace(FoldCase(name), &member);
        const TMember& other = *found->second;
        if (added || FoldCase(other.memberName) == FoldCase(member.memberName)) continue;
        Error(&entry, &member,
              "生成的VB6名称" + name + "与成员" + Quoted(other.memberName) +
                  "的相同: 窗体无法载入; " + WayOut("成员名称", true),
              false);
        break;  // one line per member is enough to act on
      }
    }
  }

  // Names rarely meet, and looking for a meeting by their hashes alone costs no string: when
  // every hash differs, so does every name, and NameClashes has nothing to say.
  static bool DerivedNamesMayMeet(const TClassModel& entry, const TMember* key) {
    std::vector<std::uint64_t> hashes;
    hashes.reserve(entry.members.size() * 7);
    for (const TMember& member : entry.members) {
      if (member.memberName.empty()) continue;
      const TFoldedHash memberName = TFoldedHash::Of(member.memberName);
      ForEachDerivedName(member, IsTheKey(key, member), [&](const TDerivedName& name) {
        hashes.push_back(FoldedHash(name, memberName));
      });
    }
    return AnyRepeats(hashes);
  }

  // As with the derived names: distinct hashes of the folded names mean distinct names.
  static bool FoldedNamesMayRepeat(const TClassModel& entry) {
    std::vector<std::uint64_t> hashes;
    hashes.reserve(entry.members.size());
    for (const TMember& member : entry.members) {
      if (!member.memberName.empty()) hashes.push_back(TFoldedHash::Of(member.memberName).value);
    }
    return AnyRepeats(hashes);
  }

  static bool AnyRepeats(std::vector<std::uint64_t>& hashes) {
    std::sort(hashes.begin(), hashes.end());
    return std::adjacent_find(hashes.begin(), hashes.end()) != hashes.end();
  }

  // Each class gets the menus {class}, {class}Add and {class}Manage (first letter lowered).
  void MenuClashes() {
    std::unordered_map<std::string, const TClassModel*> owner;
    owner.reserve(model_.Classes().size() * 3);
    for (const TClassModel& entry : model_.Classes()) {
      const std::string menu = LowerFirst(entry.className);
      for (const std::string& name : {menu, menu + "Add", menu + "Manage"}) {
        auto [found, added] = owner.emplace(FoldCase(name), &entry);
        const TClassModel& other = *found->second;
        if (added || FoldCase(other.className) == FoldCase(entry.className)) continue;
        Error(&entry, nullptr,
              "主窗体的菜单" + name + "与类" + Quoted(other.className) +
                  "的菜单同名: 主窗体无法载入, 请改用另一个类名",
              false);
        break;
      }
    }
  }

  void References(const TClassModel& entry) {
    for (const TMember& member : entry.ReferenceMembers()) {
      const TClassModel* target = model_.FindClass(member.memberType);
      if (!target) {
        Error(&entry, &member, "引用的类型\"" + member.memberType + "\"不是本项目中的类!", true);
      } else if (complete_) {
        CompleteReference(entry, member, *target);
      } else {
        PlainReference(entry, member);
      }
    }
  }

  // The plain forms and script know a reference to another class, outside the key.
  void PlainReference(const TClassModel& entry, const TMember& member) {
    if (member.memberType == entry.className) {
      Error(&entry, &member, std::string(kSelfReferenceOnlyComplete) + kCompleteWayOut, false);
    } else if (member.memberIsPri == 1) {
      Error(&entry, &member, std::string(kReferenceKeyOnlyComplete) + kCompleteWayOut, false);
    }
  }

  // A reference holds one key value in one column: the class it points to needs a key of one
  // member, and a row cannot be keyed by a row of its own table.
  void CompleteReference(const TClassModel& entry, const TMember& member,
                         const TClassModel& target) {
    if (member.memberType == entry.className && member.memberIsPri == 1) {
      return Error(&entry, &member, "引用本类的成员不能是主键: 一行不能以本表的另一行为键", true);
    }
    if (target.KeyCount() == 1) return;
    Error(&entry, &member,
          "引用的类" + Quoted(target.className) +
              (target.KeyCount() == 0
                   ? "没有主键"
                   : "的主键由" + std::to_string(target.KeyCount()) + "个成员组成") +
              ", 一个引用成员只能保存一个键值: 请改为引用主键只有一个成员的类",
          true);
  }

  // Texts that land inside VB string literals, and texts the GBK files cannot hold.
  void Texts(const TClassModel& entry) {
    if (!entry.friendName.empty() && !FitsVbString(entry.friendName))
      Error(&entry, nullptr, kFriendNameChars, false);
    for (const TMember& member : entry.members) {
      if (!FitsVbString(member.memberComment)) Error(&entry, &member, kCommentChars, false);
    }
    auto gbk = [this, &entry](const TMember* member, const char* what, const std::string& text) {
      if (!encoder_.Fits(text))
        Error(&entry, member, std::string(what) + "含有GBK无法表示的字符: \"" + text + "\"", false);
    };
    gbk(nullptr, "类名", entry.className);
    gbk(nullptr, "友好名称", entry.friendName);
    for (const TMember& member : entry.members) {
      gbk(&member, "成员名称", member.memberName);
      gbk(&member, "成员类型", member.memberType);
      gbk(&member, "成员注释", member.memberComment);
    }
  }

  void NameWarnings(const TClassModel& entry) {
    ClassNameWarnings(entry);
    if (entry.friendName.empty()) Warn(&entry, nullptr, "友好名称不能为空");
    const TMember* key = entry.KeyMember();
    for (const TMember& member : entry.members) {
      MemberNameWarnings(entry, member, IsTheKey(key, member));
    }
  }

  void ClassNameWarnings(const TClassModel& entry) {
    const std::string& name = entry.className;
    if (name.empty()) return;
    if (StartsWithLetter(name) && !(name[0] >= 'A' && name[0] <= 'Z'))
      Warn(&entry, nullptr, "类名首个字母必须大写");
    // The complete application brackets the name; statements of one's own must too.
    if (complete_ && IsTsqlReservedWord(name)) {
      Warn(&entry, nullptr, "类名是T-SQL的保留字: 自己写的SQL语句中须写成" + SqlBracketed(name));
    }
    if (IsWindowsDeviceName(name))
      Warn(&entry, nullptr, "类名是Windows的设备名, 在Windows上不能用作文件名");
    if (EndsInDotOrBlank(name))
      Warn(&entry, nullptr, "类名以点或空格结尾, Windows上的文件名会去掉它们");
  }

  // The statements a bare class name stands in: the forms' queries, and the foreign keys.
  std::string ClassStatements(const TClassModel& entry) const {
    std::string statements = "窗体中的\"select * from " + entry.className + "\"";
    for (const TClassModel& other : model_.Classes()) {
      for (const TMember& member : other.ReferenceMembers()) {
        if (member.memberIsPri != 0) continue;  // the script makes no foreign key of a key
        if (&other != &entry && member.memberType != entry.className) continue;
        statements += ", 建表语句中的\"" + ForeignKey(other, member) + "\"";
      }
    }
    return statements;
  }

  std::string ForeignKey(const TClassModel& entry, const TMember& member) const {
    const TMember* refKey = model_.KeyMemberOf(member.memberType);
    return "ALTER TABLE " + entry.className + " ADD FOREIGN KEY (" + member.memberName +
           ") REFERENCES " + member.memberType + "(" + (refKey ? refKey->memberName : "") + ")";
  }

  void MemberNameWarnings(const TClassModel& entry, const TMember& member, bool isKey) {
    const std::string& name = member.memberName;
    if (name.empty()) return;
    if (!(name[0] >= 'a' && name[0] <= 'z')) Warn(&entry, &member, "成员属性首个字母必须小写");
    // Where the plain output writes the name bare, the check has made it an error.
    const bool bareInPlain = isKey || MakesForeignKey(member);
    if (IsTsqlReservedWord(name) && (complete_ || !bareInPlain)) {
      Warn(&entry, &member,
           "成员名称是T-SQL的保留字: 自己写的SQL语句中须写成" + SqlBracketed(name));
    }
  }

  std::string MemberStatements(const TClassModel& entry, const TMember& member, bool isKey) const {
    std::vector<std::string> statements;
    if (isKey) {
      statements.push_back("添加窗体中的\"select " + member.memberName + " from " +
                           entry.className + " where " + member.memberName + " = ...\"");
      statements.push_back("修改窗体中的\"select * from " + entry.className + " where " +
                           member.memberName + "=...\"");
    }
    if (member.IsReference() && member.memberIsPri == 0)
      statements.push_back("建表语句中的\"" + ForeignKey(entry, member) + "\"");
    for (const TClassModel& other : model_.Classes()) {
      for (const TMember& reference : other.ReferenceMembers()) {
        if (isKey && reference.memberType == entry.className && reference.memberIsPri == 0)
          statements.push_back("建表语句中的\"" + ForeignKey(other, reference) + "\"");
      }
    }
    if (statements.empty()) return "自己写的SQL语句中须写成[" + member.memberName + "]";
    std::string joined;
    for (const std::string& statement : statements)
      joined += (joined.empty() ? "" : ", ") + statement;
    return joined;
  }

  static std::string SqlBracketed(const std::string& name) { return "[" + name + "]"; }

  const TModelSnapshot& model_;
  TScope scope_;
  bool complete_;
  TGbkEncoder encoder_;
  std::vector<TModelProblem> problems_;
  std::optional<std::unordered_set<std::string>> referenced_;
};

}  // namespace

std::string TModelProblem::Line() const {
  std::string line = severity == TSeverity::Error ? "错误: " : "警告: ";
  line += "工程" + Quoted(projectName);
  if (className) line += " 类" + Quoted(*className);
  if (memberName) line += " 成员" + Quoted(*memberName);
  return line + ": " + text;
}

std::vector<TModelProblem> CheckModel(const TModelSnapshot& model, const TRunOptions& options) {
  return TModelChecker(model, TScope::Everything, options).Run();
}

int EntryFormControlNames(const TClassModel& entry) {
  // The scroll bar, the picture box, the frame and the button; the key's label and box.
  int names = 4 + 2;
  for (const TMember& member : entry.NonKeyMembers()) {
    names += member.memberType == kTypePicture ? 1 + 3 : 1 + 1;  // label and controls
  }
  return names;
}

std::optional<TModelProblem> FirstError(const std::vector<TModelProblem>& problems) {
  for (const TModelProblem& problem : problems) {
    if (problem.severity == TSeverity::Error) return problem;
  }
  return std::nullopt;
}

std::optional<TModelProblem> FirstScriptError(const std::vector<TModelProblem>& problems) {
  for (const TModelProblem& problem : problems) {
    if (problem.severity == TSeverity::Error && problem.breaksScript) return problem;
  }
  return std::nullopt;
}

std::optional<TModelProblem> FirstError(const TModelSnapshot& model, const TRunOptions& options) {
  return FirstError(TModelChecker(model, TScope::Errors, options).Run());
}

std::optional<TModelProblem> FirstScriptError(const TModelSnapshot& model,
                                              const TRunOptions& options) {
  return FirstScriptError(TModelChecker(model, TScope::ScriptBreakers, options).Run());
}

std::vector<std::string> FindModelProblems(const TModelSnapshot& model,
                                           const TRunOptions& options) {
  std::vector<std::string> lines;
  for (const TModelProblem& problem : CheckModel(model, options)) lines.push_back(problem.Line());
  return lines;
}

std::vector<std::string> FindModelProblems(int projectId, const TRunOptions& options) {
  const std::optional<TModelSnapshot> model = ReadModelSnapshot(projectId);
  return model ? FindModelProblems(*model, options) : std::vector<std::string>{};
}

}  // namespace vbgen
