// The data that ships beside the program: the templates of the generated VB6 project and the
// support files copied into it. The generated forms use names they do not declare; these
// tests make sure the shipped files declare them, and that the files are ones VB6 can open.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "TestModel.h"
#include "TestSupport.h"
#include "generate/AutoCode.h"
#include "generate/Gbk.h"
#include "generate/emit/TextTemplate.h"
#include "generate/emit/UIOperate.h"
#include "generate/write/FileOperate.h"
#include "model/ModelFile.h"
#include "model/Utf8Path.h"

namespace vbgen::test {
namespace {

namespace fs = std::filesystem;

const char* const kProjectFile = "vb信息管理系统.vbp";

fs::path DataDir() { return SourceDir() / "data"; }
fs::path TemplateDir() { return DataDir() / "template"; }
fs::path BakDir() { return DataDir() / "bak"; }
fs::path ProjectFilePath() { return TemplateDir() / Utf8Path(kProjectFile); }

// VB names are case-insensitive.
std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool IsTextFile(const fs::path& file) {
  static const std::set<std::string> kTextExtensions = {".frm", ".bas", ".vbp", ".txt"};
  return kTextExtensions.count(Lower(file.extension().string())) > 0;
}

std::vector<fs::path> FilesUnder(const fs::path& directory) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(directory)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<fs::path> ShippedFiles() {
  std::vector<fs::path> files = FilesUnder(TemplateDir());
  std::vector<fs::path> bak = FilesUnder(BakDir());
  files.insert(files.end(), bak.begin(), bak.end());
  return files;
}

// The number of continuation bytes a UTF-8 lead byte announces; -1 for a byte that cannot lead.
int Utf8Continuations(unsigned char lead) {
  if (lead < 0x80) return 0;
  if ((lead >> 5) == 0x6) return 1;
  if ((lead >> 4) == 0xE) return 2;
  if ((lead >> 3) == 0x1E) return 3;
  return -1;
}

bool IsValidUtf8(const std::string& bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const int continuations = Utf8Continuations(static_cast<unsigned char>(bytes[i]));
    if (continuations < 0) return false;
    for (int k = 0; k < continuations; ++k) {
      if (++i >= bytes.size() || (static_cast<unsigned char>(bytes[i]) >> 6) != 0x2) return false;
    }
  }
  return true;
}

// The decoded lines of a shipped GBK text file with CR LF line ends.
std::vector<std::string> Lines(const std::string& gbkBytes) {
  const std::string text = GbkToUtf8(gbkBytes);
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::vector<std::string> ReadLines(const fs::path& file) {
  return Lines(TFileOperate::ReadBytes(file));
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool IsComment(const std::string& line) {
  const std::string trimmed = Trim(line);
  return trimmed.empty() || trimmed[0] == '\'' || Lower(trimmed.substr(0, 4)) == "rem ";
}

// ---- Code declarations -------------------------------------------------------------------

struct TProcedure {
  std::string kind;  // "sub" or "function"
  bool isPublic = true;
  int requiredParameters = 0;
  int parameters = 0;
  std::string returnType;
};

struct TDeclarations {
  std::map<std::string, std::string> publicVariables;  // lower-case name -> type as written
  std::map<std::string, std::string> moduleVariables;  // Dim/Private at module level
  std::map<std::string, TProcedure> procedures;        // lower-case name
};

int CountParameters(const std::string& list, bool requiredOnly) {
  if (Trim(list).empty()) return 0;
  int count = 0;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(',', start);
    if (end == std::string::npos) end = list.size();
    const std::string parameter = Lower(Trim(list.substr(start, end - start)));
    const bool optional =
        parameter.rfind("optional ", 0) == 0 || parameter.rfind("paramarray ", 0) == 0;
    if (!requiredOnly || !optional) ++count;
    start = end + 1;
  }
  return count;
}

// Declarations of the code part of a module or form: module-level variables and procedures.
TDeclarations ParseDeclarations(const std::vector<std::string>& codeLines) {
  static const std::regex kVariable(
      R"(^\s*(Public|Global|Dim|Private)\s+(?!Sub\b|Function\b|Const\b|Property\b|Declare\b|Enum\b|Type\b|Event\b|WithEvents\b)(\w+)(?:\(\))?\s+As\s+(?:New\s+)?([\w.]+))",
      std::regex::icase);
  static const std::regex kConstant(R"(^\s*(Public|Global)\s+Const\s+(\w+))", std::regex::icase);
  static const std::regex kProcedure(
      R"(^\s*(?:(Public|Private|Friend)\s+)?(?:Static\s+)?(Sub|Function)\s+(\w+)\s*\(([^)]*)\)(?:\s+As\s+([\w.]+))?)",
      std::regex::icase);
  static const std::regex kEndProcedure(R"(^\s*End\s+(Sub|Function)\b)", std::regex::icase);

  TDeclarations declarations;
  bool insideProcedure = false;
  for (const std::string& line : codeLines) {
    if (IsComment(line)) continue;
    std::smatch match;
    if (!insideProcedure && std::regex_search(line, match, kProcedure)) {
      TProcedure procedure;
      procedure.kind = Lower(match[2]);
      procedure.isPublic = Lower(match[1]) != "private";
      procedure.parameters = CountParameters(match[4], false);
      procedure.requiredParameters = CountParameters(match[4], true);
      procedure.returnType = match[5];
      declarations.procedures[Lower(match[3])] = procedure;
      insideProcedure = true;
    } else if (insideProcedure && std::regex_search(line, kEndProcedure)) {
      insideProcedure = false;
    } else if (!insideProcedure && std::regex_search(line, match, kVariable)) {
      const std::string scope = Lower(match[1]);
      auto& target = (scope == "public" || scope == "global") ? declarations.publicVariables
                                                              : declarations.moduleVariables;
      target[Lower(match[2])] = match[3];
    } else if (!insideProcedure && std::regex_search(line, match, kConstant)) {
      declarations.publicVariables[Lower(match[2])] = "Const";
    }
  }
  return declarations;
}

// ---- Form files --------------------------------------------------------------------------

struct TControl {
  std::string library;  // "VB", "MSComctlLib", ...
  std::string type;
  std::string name;
  int depth = 0;  // 1 for a control that sits directly on the form
  std::size_t firstLine = 0;
  std::size_t lastLine = 0;
};

struct TFormFile {
  std::vector<std::string> objectLines;  // `Object = "{GUID}#ver#0"; "FILE.OCX"` of the head
  std::string formType;                  // "Form" or "MDIForm"
  std::string formName;
  std::vector<TControl> controls;  // in file order, the form itself excluded
  std::vector<std::string> attributes;
  std::vector<std::string> lines;  // the whole file; controls point into it
  std::vector<std::string> codeLines;
  std::vector<std::string> problems;  // structural faults found while reading
};

TFormFile ParseForm(const std::vector<std::string>& lines) {
  static const std::regex kBegin(R"(^\s*Begin\s+(\w+)\.(\w+)\s+(\w+)\s*$)");
  static const std::regex kBeginProperty(
      R"(^\s*BeginProperty\s+\w+(\(\d+\))?(\s+\{[-0-9A-F]+\})?\s*$)");
  TFormFile form;
  form.lines = lines;
  if (lines.empty() || lines[0] != "VERSION 5.00") form.problems.push_back("no VERSION 5.00 line");

  std::size_t index = 1;
  while (index < lines.size() && lines[index].rfind("Object = ", 0) == 0) {
    form.objectLines.push_back(lines[index++]);
  }
  std::vector<std::size_t> open;  // indexes into controls; the form itself is SIZE_MAX
  int propertyDepth = 0;
  for (; index < lines.size(); ++index) {
    const std::string& line = lines[index];
    std::smatch match;
    if (Trim(line).empty()) {
      form.problems.push_back("empty line in the designer part at line " +
                              std::to_string(index + 1));
    } else if (std::regex_match(line, match, kBegin)) {
      if (open.empty() && form.formName.empty()) {
        form.formType = match[2];
        form.formName = match[3];
        open.push_back(SIZE_MAX);
      } else if (open.empty()) {
        form.problems.push_back("a second top-level Begin at line " + std::to_string(index + 1));
      } else {
        form.controls.push_back(
            {match[1], match[2], match[3], static_cast<int>(open.size()), index, index});
        open.push_back(form.controls.size() - 1);
      }
    } else if (std::regex_match(line, kBeginProperty)) {
      ++propertyDepth;
    } else if (Trim(line) == "EndProperty") {
      if (--propertyDepth < 0) form.problems.push_back("EndProperty without BeginProperty");
    } else if (Trim(line) == "End") {
      if (open.empty()) {
        form.problems.push_back("End without Begin at line " + std::to_string(index + 1));
        continue;
      }
      if (open.back() != SIZE_MAX) form.controls[open.back()].lastLine = index;
      open.pop_back();
      if (open.empty()) {
        ++index;
        break;
      }
    } else if (line.find("   =   ") == std::string::npos &&
               line.find("=   ") == std::string::npos) {
      form.problems.push_back("not a property line at line " + std::to_string(index + 1) + ": " +
                              line);
    }
  }
  if (!open.empty()) form.problems.push_back("designer part not closed");
  if (propertyDepth != 0) form.problems.push_back("BeginProperty not closed");
  while (index < lines.size() && lines[index].rfind("Attribute ", 0) == 0) {
    form.attributes.push_back(lines[index++]);
  }
  form.codeLines.assign(lines.begin() + static_cast<std::ptrdiff_t>(index), lines.end());
  return form;
}

std::string RemoveMarkers(std::string text);

// A shipped form; the main form template with its markers taken out, as a run without
// classes writes it.
TFormFile ReadForm(const fs::path& file) {
  if (file.filename() == "MainForm.frm") {
    return ParseForm(Lines(RemoveMarkers(TFileOperate::ReadTextFile(file))));
  }
  return ParseForm(ReadLines(file));
}

const TControl* FindControl(const TFormFile& form, const std::string& name) {
  for (const TControl& control : form.controls) {
    if (Lower(control.name) == Lower(name)) return &control;
  }
  return nullptr;
}

// Procedures must not nest and every one must be closed.
std::vector<std::string> ProcedureProblems(const std::vector<std::string>& codeLines) {
  static const std::regex kStart(
      R"(^\s*(?:(?:Public|Private|Friend)\s+)?(?:Static\s+)?(Sub|Function)\s+\w+\s*\()",
      std::regex::icase);
  static const std::regex kEnd(R"(^\s*End\s+(Sub|Function)\s*$)", std::regex::icase);
  std::vector<std::string> problems;
  std::string open;
  for (std::size_t i = 0; i < codeLines.size(); ++i) {
    if (IsComment(codeLines[i])) continue;
    std::smatch match;
    if (std::regex_search(codeLines[i], match, kStart)) {
      if (!open.empty()) problems.push_back("procedure inside a procedure: " + codeLines[i]);
      open = Lower(match[1]);
    } else if (std::regex_search(codeLines[i], match, kEnd)) {
      if (open != Lower(match[1])) problems.push_back("unmatched " + codeLines[i]);
      open.clear();
    }
  }
  if (!open.empty()) problems.push_back("last procedure not closed");
  return problems;
}

// ---- Project file ------------------------------------------------------------------------

struct TProjectEntry {
  std::string kind;  // "Form" or "Module"
  std::string name;  // module name; empty for forms
  std::string file;
};

std::vector<TProjectEntry> ProjectEntries(const std::vector<std::string>& projectLines) {
  std::vector<TProjectEntry> entries;
  for (const std::string& line : projectLines) {
    if (line.rfind("Form=", 0) == 0) entries.push_back({"Form", "", line.substr(5)});
    if (line.rfind("Module=", 0) == 0) {
      const std::string value = line.substr(7);
      const auto semicolon = value.find(';');
      entries.push_back(
          {"Module", Trim(value.substr(0, semicolon)), Trim(value.substr(semicolon + 1))});
    }
  }
  return entries;
}

// `Object = "{GUID}#2.0#0"; "FILE.OCX"` of a form head as the project file writes it.
std::string ProjectObjectLine(const std::string& formObjectLine) {
  static const std::regex kObject(R"re(^Object = "(\{[-0-9A-F]+\}#[\d.]+#\d+)"; "([\w.]+)"$)re");
  std::smatch match;
  if (!std::regex_match(formObjectLine, match, kObject)) return "unparsable: " + formObjectLine;
  return "Object=" + match[1].str() + "; " + match[2].str();
}

// The files the project file lists, read from the template and support directories, with the
// declarations of every code module.
class ShippedProjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    projectLines_ = ReadLines(ProjectFilePath());
    for (const TProjectEntry& entry : ProjectEntries(projectLines_)) {
      if (entry.kind != "Module") continue;
      modules_[entry.name] = ParseDeclarations(ReadLines(BakDir() / entry.file));
    }
  }

  // A name visible to every form: a Public variable or a non-Private procedure of a module.
  std::optional<TProcedure> GlobalProcedure(const std::string& name) const {
    for (const auto& [moduleName, declarations] : modules_) {
      auto found = declarations.procedures.find(Lower(name));
      if (found != declarations.procedures.end() && found->second.isPublic) return found->second;
    }
    return std::nullopt;
  }
  std::optional<std::string> GlobalVariableType(const std::string& name) const {
    for (const auto& [moduleName, declarations] : modules_) {
      auto found = declarations.publicVariables.find(Lower(name));
      if (found != declarations.publicVariables.end()) return found->second;
    }
    return std::nullopt;
  }

  std::vector<std::string> projectLines_;
  std::map<std::string, TDeclarations> modules_;
};

// ---- The per-class text that a generation run puts in place of the markers ---------------

std::string ReplaceAll(std::string text, const std::string& marker, const std::string& block) {
  for (auto pos = text.find(marker); pos != std::string::npos;
       pos = text.find(marker, pos + block.size())) {
    text.replace(pos, marker.size(), block);
  }
  return text;
}

std::string RemoveMarkers(std::string text) {
  return ReplaceAll(ReplaceAll(std::move(text), "$MenuString", ""), "$MenuClickHandleString", "");
}

// The main form as a run writes it for the two classes Book ("图书") and reader ("读者").
std::string MainFormWithTwoClasses() {
  std::string menus, clicks;
  const std::pair<std::string, std::string> classes[] = {{"Book", "图书"}, {"reader", "读者"}};
  int position = 0;
  for (const auto& [className, friendName] : classes) {
    const std::string lower = LowerFirst(className);
    menus += Fill(MainFormMenuBlock(), {{"lowerClassName", lower}, {"friendName", friendName}});
    clicks +=
        Fill(MainFormMenuClickBlock(), {{"lowerClassName", lower},
                                        {"friendName", friendName},
                                        {"className", className},
                                        {"addRightIndex", std::to_string(2 * position + 1)},
                                        {"manageRightIndex", std::to_string(2 * position + 2)}});
    ++position;
  }
  std::string text = TFileOperate::ReadTextFile(TemplateDir() / "MainForm.frm");
  text = ReplaceAll(text, "$MenuString", Utf8ToGbk(CrLf(menus)));
  return ReplaceAll(text, "$MenuClickHandleString", Utf8ToGbk(CrLf(clicks)));
}

// Menus come after every other control on the form; VB6 writes and expects them there.
void ExpectMenusLast(const TFormFile& form) {
  bool menuSeen = false;
  for (const TControl& control : form.controls) {
    if (control.depth != 1) continue;
    if (control.type == "Menu") {
      menuSeen = true;
    } else {
      EXPECT_FALSE(menuSeen) << control.name << " stands after a menu";
    }
  }
}

// ---- Tests -------------------------------------------------------------------------------

TEST(ShippedDataTest, TextFilesAreGbkWithCrLfLineEnds) {
  int textFiles = 0;
  for (const fs::path& file : ShippedFiles()) {
    if (!IsTextFile(file)) continue;
    ++textFiles;
    SCOPED_TRACE(file.string());
    const std::string bytes = TFileOperate::ReadBytes(file);
    ASSERT_FALSE(bytes.empty());
    EXPECT_NE(bytes.rfind("\xEF\xBB\xBF", 0), 0u) << "byte-order mark";
    EXPECT_NO_THROW(GbkToUtf8(bytes)) << "not valid GBK";
    const bool hasNonAscii = std::any_of(
        bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    if (hasNonAscii) {
      EXPECT_FALSE(IsValidUtf8(bytes)) << "Chinese text written as UTF-8";
    }
    EXPECT_EQ(bytes.find('\x1A'), std::string::npos) << "Ctrl-Z ends the file for the reader";
    EXPECT_EQ(bytes.find('\t'), std::string::npos) << "tab character";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      const bool loneLf = bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r');
      const bool loneCr = bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n');
      ASSERT_FALSE(loneLf) << "lone LF at byte " << i;
      ASSERT_FALSE(loneCr) << "lone CR at byte " << i;
    }
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << "last line without CR LF";
  }
  // MainForm, the project file, the module, two forms and two readme files.
  EXPECT_GE(textFiles, 7);
}

TEST(ShippedDataTest, NoPlaceholderFilesLeft) {
  for (const fs::path& file : ShippedFiles()) EXPECT_NE(file.filename(), ".keep") << file;
}

TEST(ShippedDataTest, TemplatesHoldTheirMarkers) {
  const std::vector<std::string> mainForm = ReadLines(TemplateDir() / "MainForm.frm");
  const std::string menuMarker = "$MenuString";
  const std::string clickMarker = "$MenuClickHandleString";
  std::vector<std::size_t> menuLines, clickLines;
  std::size_t attributeLine = 0;
  for (std::size_t i = 0; i < mainForm.size(); ++i) {
    if (mainForm[i].find(menuMarker) != std::string::npos) menuLines.push_back(i);
    if (mainForm[i].find(clickMarker) != std::string::npos) clickLines.push_back(i);
    if (attributeLine == 0 && mainForm[i].rfind("Attribute VB_Name", 0) == 0) attributeLine = i;
  }
  ASSERT_EQ(menuLines.size(), 1u);
  ASSERT_EQ(clickLines.size(), 1u);
  // The menu block starts a line and ends with CR LF, so the marker opens the line of the
  // menu that follows the class menus: no empty line is left among the menus.
  const std::string& menuLine = mainForm[menuLines[0]];
  EXPECT_EQ(menuLine.rfind(menuMarker, 0), 0u);
  EXPECT_EQ(menuLine.substr(menuMarker.size()).rfind("   Begin VB.Menu ", 0), 0u) << menuLine;
  EXPECT_LT(menuLines[0], attributeLine) << "menus belong in the designer part";
  EXPECT_EQ(mainForm[clickLines[0]], clickMarker) << "handlers go on lines of their own";
  EXPECT_GT(clickLines[0], attributeLine) << "handlers belong in the code part";

  const std::vector<std::string> project = ReadLines(ProjectFilePath());
  EXPECT_EQ(std::count(project.begin(), project.end(), "$vbpString"), 1);
}

TEST(ShippedDataTest, MainFormStaysWellFormedWithClassMenus) {
  const std::string withoutClasses =
      RemoveMarkers(TFileOperate::ReadTextFile(TemplateDir() / "MainForm.frm"));
  for (const std::string& text : {MainFormWithTwoClasses(), withoutClasses}) {
    const TFormFile form = ParseForm(Lines(text));
    EXPECT_TRUE(form.problems.empty()) << ::testing::PrintToString(form.problems);
    EXPECT_EQ(form.formType, "MDIForm");
    ExpectMenusLast(form);
    EXPECT_TRUE(ProcedureProblems(form.codeLines).empty())
        << ::testing::PrintToString(ProcedureProblems(form.codeLines));
  }
  const TFormFile form = ParseForm(Lines(MainFormWithTwoClasses()));
  for (const std::string name : {"book", "bookAdd", "bookManage", "reader", "readerManage"}) {
    ASSERT_NE(FindControl(form, name), nullptr) << name;
  }
  EXPECT_EQ(FindControl(form, "book")->depth, 1) << "class menus are top-level menus";
  EXPECT_EQ(FindControl(form, "readerManage")->depth, 2);
  const TDeclarations code = ParseDeclarations(form.codeLines);
  EXPECT_TRUE(code.procedures.count("bookadd_click"));
  EXPECT_TRUE(code.procedures.count("readermanage_click"));
}

// The names of the generated add, edit, operator and main forms that the shipped files supply.
TEST_F(ShippedProjectTest, NamesTheGeneratedFormsUseAreDeclared) {
  ASSERT_FALSE(modules_.empty()) << "the project file lists no code module";

  struct TVariable {
    const char* name;
    const char* type;
  };
  for (const TVariable& variable :
       {TVariable{"cn", "ADODB.Connection"}, TVariable{"sql", "String"},
        TVariable{"czry_flag", "String"}, TVariable{"nodename", "String"}}) {
    SCOPED_TRACE(variable.name);
    const auto type = GlobalVariableType(variable.name);
    ASSERT_TRUE(type.has_value()) << "not declared Public in a module";
    EXPECT_EQ(Lower(*type), Lower(variable.type));
  }

  // Called as "Call condatabase" and the like: procedures without required arguments.
  for (const char* name : {"condatabase", "check_condatabase", "close_condatabase"}) {
    SCOPED_TRACE(name);
    const auto procedure = GlobalProcedure(name);
    ASSERT_TRUE(procedure.has_value()) << "no public procedure";
    EXPECT_EQ(procedure->kind, "sub");
    EXPECT_EQ(procedure->requiredParameters, 0);
  }

  // t = check_qx(czry_flag, n): If t = True Then ...
  const auto checkQx = GlobalProcedure("check_qx");
  ASSERT_TRUE(checkQx.has_value());
  EXPECT_EQ(checkQx->kind, "function");
  EXPECT_EQ(checkQx->requiredParameters, 2);
  EXPECT_EQ(checkQx->parameters, 2);
  EXPECT_EQ(Lower(checkQx->returnType), "boolean");
}

TEST_F(ShippedProjectTest, MainFormSuppliesTheStatusBarAndTheHandlerResult) {
  const TFormFile form = ReadForm(TemplateDir() / "MainForm.frm");
  EXPECT_EQ(form.formType, "MDIForm");
  EXPECT_EQ(form.formName, "MainForm");
  EXPECT_NE(
      std::find(form.attributes.begin(), form.attributes.end(), "Attribute VB_Name = \"MainForm\""),
      form.attributes.end());

  const TControl* statusBar = FindControl(form, "StatusBar1");
  ASSERT_NE(statusBar, nullptr);
  EXPECT_EQ(statusBar->library, "MSComctlLib");
  EXPECT_EQ(statusBar->type, "StatusBar");
  std::optional<int> panels;
  static const std::regex kNumPanels(R"(^\s*NumPanels\s+=\s+(\d+)\s*$)");
  for (std::size_t i = statusBar->firstLine; i <= statusBar->lastLine; ++i) {
    std::smatch match;
    const std::string& line = form.lines[i];
    if (std::regex_match(line, match, kNumPanels)) panels = std::stoi(match[1]);
  }
  ASSERT_TRUE(panels.has_value()) << "StatusBar1 has no panels";
  EXPECT_GE(*panels, 1) << "Panels(1) must exist";

  // The click handlers assign to t; under Option Explicit the form must declare it.
  const bool optionExplicit = std::find(form.codeLines.begin(), form.codeLines.end(),
                                        "Option Explicit") != form.codeLines.end();
  if (optionExplicit) {
    EXPECT_TRUE(ParseDeclarations(form.codeLines).moduleVariables.count("t"));
  }
  // t must not be a procedure or global of another kind either.
  EXPECT_FALSE(GlobalProcedure("t").has_value());
}

TEST(ShippedDataTest, PlaceholderPictureAndTemporaryFolderShip) {
  const std::string picture = TFileOperate::ReadBytes(BakDir() / "background" / "NoImage.jpg");
  ASSERT_GT(picture.size(), 4u);
  EXPECT_EQ(picture.substr(0, 3), "\xFF\xD8\xFF") << "not a JPEG";
  EXPECT_EQ(picture.substr(picture.size() - 2), "\xFF\xD9") << "JPEG not complete";
  EXPECT_TRUE(fs::is_directory(BakDir() / "Tmp"));
  EXPECT_FALSE(FilesUnder(BakDir() / "Tmp").empty()) << "an empty folder would not be kept";
}

TEST(ShippedDataTest, ResourceFilesShip) {
  // The generated forms point at no offset in their resource files, so the files carry none.
  EXPECT_TRUE(fs::is_regular_file(TemplateDir() / "FrmAdd.frx"));
  EXPECT_TRUE(fs::is_regular_file(TemplateDir() / "FrmManage.frx"));
}

TEST_F(ShippedProjectTest, ProjectReferencesAdoAndEveryControlLibrary) {
  EXPECT_EQ(projectLines_.front(), "Type=Exe");
  const bool ado = std::any_of(projectLines_.begin(), projectLines_.end(), [](const auto& line) {
    return line.rfind("Reference=", 0) == 0 &&
           line.find("Microsoft ActiveX Data Objects") != std::string::npos;
  });
  EXPECT_TRUE(ado) << "no ADO reference (ADODB.Recordset, ADODB.Stream)";

  // The head lines of the generated forms, and the common dialog they create at run time.
  std::vector<std::string> needed = {
      R"(Object = "{3B7C8863-D78F-101B-B9B5-04021C009402}#1.2#0"; "RICHTX32.OCX")",
      R"(Object = "{86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCT2.OCX")",
      R"(Object = "{CDE57A40-8B86-11D0-B3C6-00A0C90AEA82}#1.0#0"; "MSDATGRD.OCX")",
      R"(Object = "{67397AA1-7FB1-11D0-B148-00A0C922E820}#6.0#0"; "MSADODC.OCX")",
      R"(Object = "{BDC217C8-ED16-11CD-956C-0000C04E4C0A}#1.1#0"; "TABCTL32.OCX")",
      R"(Object = "{F9043C88-F6F2-101A-A3C9-08002B2F49FB}#1.2#0"; "COMDLG32.OCX")"};
  // ... and those of the shipped forms.
  for (const fs::path& file : ShippedFiles()) {
    if (file.extension() != ".frm") continue;
    for (const std::string& line : ReadForm(file).objectLines) needed.push_back(line);
  }
  for (const std::string& line : needed) {
    const std::string projectLine = ProjectObjectLine(line);
    EXPECT_NE(std::find(projectLines_.begin(), projectLines_.end(), projectLine),
              projectLines_.end())
        << "missing " << projectLine;
  }
}

TEST_F(ShippedProjectTest, EveryListedFileShipsOrIsGenerated) {
  const std::set<std::string> generated = {"frmczql.frm"};
  std::set<std::string> listed;
  for (const TProjectEntry& entry : ProjectEntries(projectLines_)) {
    SCOPED_TRACE(entry.file);
    listed.insert(Lower(entry.file));
    const bool ships = fs::is_regular_file(TemplateDir() / entry.file) ||
                       fs::is_regular_file(BakDir() / entry.file);
    EXPECT_TRUE(ships || generated.count(entry.file)) << "listed but neither shipped nor generated";
    if (entry.kind == "Module") {
      const std::vector<std::string> lines = ReadLines(BakDir() / entry.file);
      ASSERT_FALSE(lines.empty());
      EXPECT_EQ(lines[0], "Attribute VB_Name = \"" + entry.name + "\"");
    }
  }
  EXPECT_TRUE(listed.count("mainform.frm"));
  EXPECT_TRUE(listed.count("frmczql.frm"));

  // Every form and module that ships sits in the project.
  for (const fs::path& file : FilesUnder(BakDir())) {
    const std::string extension = file.extension().string();
    if (extension != ".frm" && extension != ".bas") continue;
    EXPECT_TRUE(listed.count(Lower(file.filename().string()))) << file << " is not in the project";
  }

  // Start-up through Sub Main of a module, or through a listed form.
  const auto startup =
      std::find_if(projectLines_.begin(), projectLines_.end(),
                   [](const auto& line) { return line.rfind("Startup=", 0) == 0; });
  ASSERT_NE(startup, projectLines_.end());
  if (*startup == "Startup=\"Sub Main\"") {
    EXPECT_TRUE(GlobalProcedure("Main").has_value());
  } else {
    const std::string form = startup->substr(9, startup->size() - 10);
    EXPECT_TRUE(fs::is_regular_file(BakDir() / (form + ".frm"))) << *startup;
  }
}

// The control libraries of the shipped and generated forms, and the files that hold them.
const std::map<std::string, std::string> kLibraryFiles = {
    {"MSComctlLib", "MSCOMCTL.OCX"}, {"MSComCtl2", "MSCOMCT2.OCX"},
    {"RichTextLib", "RICHTX32.OCX"}, {"MSDataGridLib", "MSDATGRD.OCX"},
    {"MSAdodcLib", "MSADODC.OCX"},   {"TabDlg", "TABCTL32.OCX"},
    {"MSComDlg", "COMDLG32.OCX"}};

// The Index property of a control array element: a property line of the control itself, not
// of a font block or a nested control.
std::optional<int> ControlIndex(const TFormFile& form, const TControl& control) {
  static const std::regex kIndex(R"(^(\s*)Index\s+=\s+(\d+)\s*$)");
  const std::ptrdiff_t ownIndent = 3 * (static_cast<std::ptrdiff_t>(control.depth) + 1);
  for (std::size_t i = control.firstLine + 1; i < control.lastLine; ++i) {
    std::smatch match;
    if (std::regex_match(form.lines[i], match, kIndex) && match[1].length() == ownIndent)
      return std::stoi(match[2]);
  }
  return std::nullopt;
}

// A form VB6 can open: a closed designer part, the five attributes, menus last, each control
// of a known library whose Object line the head holds, unique control names, closed
// procedures, and no event handler without its control.
void ExpectWellFormed(const TFormFile& form) {
  EXPECT_TRUE(form.problems.empty()) << ::testing::PrintToString(form.problems);
  ASSERT_EQ(form.attributes.size(), 5u);
  EXPECT_EQ(form.attributes[0], "Attribute VB_Name = \"" + form.formName + "\"");
  ExpectMenusLast(form);

  std::set<std::string> names;
  std::set<std::pair<std::string, int>> arrayElements;
  for (const TControl& control : form.controls) {
    if (control.library != "VB") {
      ASSERT_TRUE(kLibraryFiles.count(control.library)) << control.library;
      const std::string& ocx = kLibraryFiles.at(control.library);
      EXPECT_TRUE(
          std::any_of(form.objectLines.begin(), form.objectLines.end(),
                      [&](const auto& line) { return line.find(ocx) != std::string::npos; }))
          << control.name << " needs the Object line of " << ocx;
    }
    // A name may repeat only within a control array, each element with its own Index.
    const std::optional<int> index = ControlIndex(form, control);
    const bool repeated = !names.insert(Lower(control.name)).second;
    if (index) {
      EXPECT_TRUE(arrayElements.insert({Lower(control.name), *index}).second)
          << "two elements " << control.name << "(" << *index << ")";
    }
    EXPECT_FALSE(repeated && !index) << "two controls named " << control.name;
  }

  const std::vector<std::string> procedureProblems = ProcedureProblems(form.codeLines);
  EXPECT_TRUE(procedureProblems.empty()) << ::testing::PrintToString(procedureProblems);
  static const std::regex kHandler(
      R"(^(\w+)_(click|dblclick|load|unload|queryunload|change|activate|resize|keypress)$)");
  for (const auto& [name, procedure] : ParseDeclarations(form.codeLines).procedures) {
    std::smatch match;
    if (!std::regex_match(name, match, kHandler)) continue;
    const std::string owner = match[1];
    EXPECT_TRUE(owner == "form" || owner == "mdiform" || names.count(owner) > 0)
        << "handler " << name << " has no control";
  }
}

TEST(ShippedDataTest, ShippedFormsAreWellFormed) {
  std::set<std::string> formNames;
  int forms = 0;
  for (const fs::path& file : ShippedFiles()) {
    if (file.extension() != ".frm") continue;
    ++forms;
    SCOPED_TRACE(file.string());
    const TFormFile form = ReadForm(file);
    EXPECT_TRUE(formNames.insert(Lower(form.formName)).second)
        << "two forms named " << form.formName;
    ExpectWellFormed(form);
  }
  EXPECT_GE(forms, 3);
}

// A run that keeps its files in memory and fails the test on anything but completion.
class TExpectCompletion : public TRunListener {
 public:
  void Progress(const std::string&) override {}
  void KeyCheckFailed(const TNamedId& failed) override {
    ADD_FAILURE() << "key check failed: " << failed.name;
  }
  void DisplayCheckFailed(const TNamedId& failed) override {
    ADD_FAILURE() << "display check failed: " << failed.name;
  }
  void GenerationDone() override { done = true; }
  void RunFailed(const std::string& message) override { ADD_FAILURE() << message; }
  bool done = false;
};

// The example model generated with the shipped templates: every form the run writes, beside
// the shipped ones, must be one VB6 can open.
class GeneratedProjectTest : public ModelTest {
 protected:
  // Every file of the run, support files included, by path.
  std::map<std::string, std::string> Generate() {
    const int projectId =
        ImportProject(TFileOperate::ReadBytes(DataDir() / "examples" / "library.json"), "示例");
    TMemorySink sink;
    TExpectCompletion listener;
    TAutoCode run(projectId, "", TProgramDir(VBGEN_PROGRAM_DIR), listener);
    run.SetSink(&sink);
    run.Execute();
    EXPECT_TRUE(listener.done);
    return sink.files;
  }
};

TEST_F(GeneratedProjectTest, GeneratedFormsAreWellFormed) {
  const std::map<std::string, std::string> files = Generate();
  // The support forms are in the sink too, copied from bak.
  std::set<std::string> formNames;
  int forms = 0;
  for (const auto& [path, bytes] : files) {
    if (fs::path(path).extension() != ".frm") continue;
    ++forms;
    SCOPED_TRACE(path);
    const TFormFile form = ParseForm(Lines(bytes));
    EXPECT_TRUE(formNames.insert(Lower(form.formName)).second)
        << "two forms named " << form.formName;
    EXPECT_EQ(Lower(form.formName + ".frm"), Lower(fs::path(path).filename().string()));
    ExpectWellFormed(form);
  }
  // Three forms for each of the three classes, the operator and main forms, two support forms.
  EXPECT_EQ(forms, 13);
}

// The checks find faults in generated forms: a missing Object line, a repeated name.
TEST_F(GeneratedProjectTest, CheckerCatchesABrokenGeneratedForm) {
  const std::map<std::string, std::string> files = Generate();
  ASSERT_TRUE(files.count("projects/示例/FrmManageBook.frm"));
  std::vector<std::string> lines = Lines(files.at("projects/示例/FrmManageBook.frm"));
  ExpectWellFormed(ParseForm(lines));

  std::vector<std::string> withoutGrid;
  for (const std::string& line : lines) {
    if (line.find("MSDATGRD.OCX") == std::string::npos) withoutGrid.push_back(line);
  }
  EXPECT_NONFATAL_FAILURE(ExpectWellFormed(ParseForm(withoutGrid)),
                          "needs the Object line of MSDATGRD.OCX");

  std::vector<std::string> renamed = lines;
  for (std::string& line : renamed) {
    if (line == "   Begin VB.Frame Frame2 ") line = "   Begin VB.Frame Frame1 ";
  }
  EXPECT_NONFATAL_FAILURE(ExpectWellFormed(ParseForm(renamed)), "two controls named Frame1");
}

TEST(ShippedDataTest, ProgramDirectoryHoldsTheShippedData) {
  const fs::path programDir = VBGEN_PROGRAM_DIR;
  for (const fs::path& file : ShippedFiles()) {
    const fs::path copy = programDir / fs::relative(file, DataDir());
    SCOPED_TRACE(copy.string());
    ASSERT_TRUE(fs::is_regular_file(copy));
    EXPECT_TRUE(TFileOperate::ReadBytes(copy) == TFileOperate::ReadBytes(file)) << "stale copy";
  }
}

}  // namespace
}  // namespace vbgen::test
