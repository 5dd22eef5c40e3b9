// What a reader checks in a generated VB6 project without VB6 at hand: every control the code
// names is declared in its form, every name it uses is declared in the form, in its procedure
// or in a module the project lists, every handler belongs to a control, and every SQL statement
// is fixed text with "?" markers whose parameters are all supplied.
#pragma once

#include <algorithm>
#include <cctype>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace vbgen::test::vb {

inline std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

inline std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (c != '\r') {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

// A line without its comment and with every string literal emptied to "".
inline std::string CodeOnly(const std::string& line) {
  std::string out;
  bool inString = false;
  for (char c : line) {
    if (inString) {
      if (c == '"') {
        inString = false;
        out += '"';
      }
      continue;
    }
    if (c == '\'') break;
    if (c == '"') inString = true;
    out += c;
  }
  return out;
}

struct TProcedure {
  std::string name;
  bool isPublic = false;
  std::vector<std::string> lines;
  std::set<std::string> locals;  // lower case: parameters, Dims, labels
};

// One source file: its controls (forms only), module-level names and procedures.
struct TSource {
  std::string fileName;
  std::string name;  // VB_Name
  bool isForm = false;
  std::set<std::string> controls;      // lower case
  std::set<std::string> moduleNames;   // module-level Dims, Consts
  std::set<std::string> publicNames;   // what other files may use
  std::vector<std::string> codeLines;  // the code section
  std::vector<TProcedure> procedures;
};

inline void AddDeclaredNames(const std::string& code, std::set<std::string>& into) {
  std::smatch m;
  // A procedure's own constant, and a DLL's function declared for the module.
  static const std::regex localConst(R"re(^\s*Const\s+(\w+))re", std::regex::icase);
  if (std::regex_search(code, m, localConst)) into.insert(Lower(m[1]));
  static const std::regex declare(
      R"re(^\s*(?:Public\s+|Private\s+)?Declare\s+(?:Function|Sub)\s+(\w+)\s+Lib\b)re",
      std::regex::icase);
  if (std::regex_search(code, m, declare)) return (void)into.insert(Lower(m[1]));
  static const std::regex dim(R"re(^\s*(?:Dim|Private|Public|Static)\s+(?:Const\s+)?(.*)$)re",
                              std::regex::icase);
  if (!std::regex_match(code, m, dim)) return;
  // An array's bounds may be given: "derived(0 To HASH_BYTES - 1) As Byte".
  static const std::regex name(
      R"re((?:^|,)\s*(?:WithEvents\s+)?([A-Za-z]\w*)(?:\([^)]*\))?\s+As\b)re", std::regex::icase);
  const std::string rest = m[1];
  for (std::sregex_iterator it(rest.begin(), rest.end(), name), end; it != end; ++it) {
    into.insert(Lower((*it)[1]));
  }
  static const std::regex constName(R"re(^\s*(?:Public|Private)?\s*Const\s+(\w+))re",
                                    std::regex::icase);
  if (std::regex_search(code, m, constName)) into.insert(Lower(m[1]));
}

inline TSource ParseSource(const std::string& fileName, const std::string& utf8) {
  TSource source;
  source.fileName = fileName;
  const std::vector<std::string> lines = SplitLines(utf8);
  static const std::regex begin(R"re(^\s*Begin\s+(\w+)\.(\w+)\s+(\w+)\s*$)re");
  static const std::regex attributeName(R"re(^Attribute VB_Name = "(\w+)"\s*$)re");
  std::size_t codeStart = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::smatch m;
    if (std::regex_match(lines[i], m, begin)) {
      const std::string kind = m[2];
      if (kind == "Form" || kind == "MDIForm") {
        source.isForm = true;
      } else {
        source.controls.insert(Lower(m[3]));
      }
    }
    if (std::regex_match(lines[i], m, attributeName)) source.name = m[1];
    if (lines[i].rfind("Attribute ", 0) == 0) codeStart = i + 1;
  }
  source.codeLines.assign(lines.begin() + static_cast<long>(codeStart), lines.end());

  static const std::regex procHead(
      R"re(^\s*(Public\s+|Private\s+)?(Sub|Function)\s+(\w+)\s*\(([^)]*)\).*$)re",
      std::regex::icase);
  static const std::regex procEnd(R"re(^\s*End\s+(Sub|Function)\s*$)re", std::regex::icase);
  static const std::regex param(R"re((?:^|,)\s*(?:Optional\s+)?(?:ByVal\s+|ByRef\s+)?(\w+))re",
                                std::regex::icase);
  static const std::regex label(R"re(^(\w+):\s*$)re");
  TProcedure* current = nullptr;
  for (const std::string& raw : source.codeLines) {
    const std::string code = CodeOnly(raw);
    std::smatch m;
    if (!current && std::regex_match(code, m, procHead)) {
      source.procedures.push_back({});
      current = &source.procedures.back();
      current->name = m[3];
      current->isPublic = Lower(m[1].str()).find("private") == std::string::npos;
      const std::string params = m[4];
      for (std::sregex_iterator it(params.begin(), params.end(), param), end; it != end; ++it) {
        current->locals.insert(Lower((*it)[1]));
      }
      continue;
    }
    if (current && std::regex_match(code, procEnd)) {
      current = nullptr;
      continue;
    }
    if (current) {
      current->lines.push_back(raw);
      AddDeclaredNames(code, current->locals);
      if (std::regex_match(code, m, label)) current->locals.insert(Lower(m[1]));
    } else {
      AddDeclaredNames(code, source.moduleNames);
      static const std::regex publicDecl(R"re(^\s*Public\s)re", std::regex::icase);
      if (std::regex_search(code, publicDecl)) AddDeclaredNames(code, source.publicNames);
    }
  }
  for (const TProcedure& procedure : source.procedures) {
    if (procedure.isPublic) source.publicNames.insert(Lower(procedure.name));
  }
  return source;
}

// VB's own words and the names of the libraries the project references (ADO, VB).
inline bool IsBuiltin(const std::string& word) {
  static const std::set<std::string> words = {
      "if",      "then",      "else",     "elseif",  "end",      "sub",         "function",
      "private", "public",    "dim",      "as",      "long",     "string",      "integer",
      "boolean", "double",    "date",     "variant", "object",   "single",      "byte",
      "call",    "set",       "new",      "nothing", "not",      "and",         "or",
      "is",      "exit",      "for",      "to",      "next",     "do",          "until",
      "loop",    "while",     "wend",     "redim",   "preserve", "on",          "error",
      "goto",    "msgbox",    "len",      "trim",    "trim$",    "isnull",      "isnumeric",
      "cstr",    "clng",      "cdbl",     "cint",    "csng",     "val",         "mid",
      "mid$",    "left",      "left$",    "string$", "replace",  "instr",       "like",
      "true",    "false",     "me",       "unload",  "app",      "loadpicture", "createobject",
      "err",     "datevalue", "with",     "ubound",  "lbound",   "load",        "byval",
      "byref",   "optional",  "freefile", "open",    "output",   "print",       "close",
      "adodb",   "option",    "explicit", "const",   "mod",      "step",        "_",
      "null",    "select",    "case",     "resume",  "const",    "iif",         "format",
      "now",     "rs",        "screen",   "debug",   "doevents", "empty",       "lcase",
      "ucase",   "chr",       "asc",      "vbcrlf",  "strptr",   "varptr",      "hex$",
      "strcomp", "right$",    "cbyte"};
  if (words.count(word)) return true;
  // The conversions and byte counts the entry forms' checks and parameters use.
  static const std::set<std::string> numberAndTextWords = {"cdec", "cbool", "lenb", "strconv"};
  if (numberAndTextWords.count(word)) return true;
  // ADO and VB constants: adInteger, vbYesNo, ...
  return (word.size() > 2 && (word.rfind("ad", 0) == 0 || word.rfind("vb", 0) == 0));
}

// The problems one reader would report, one line each.
class TProjectCheck {
 public:
  void Add(const TSource& source) { sources_.push_back(source); }

  std::vector<std::string> Problems() const {
    std::vector<std::string> problems;
    std::set<std::string> global;
    std::map<std::string, const TSource*> forms;
    for (const TSource& source : sources_) {
      global.insert(Lower(source.name));
      if (source.isForm) {
        forms[Lower(source.name)] = &source;
      } else {
        global.insert(source.publicNames.begin(), source.publicNames.end());
      }
    }
    for (const TSource& source : sources_) CheckSource(source, global, forms, problems);
    return problems;
  }

 private:
  static void CheckSource(const TSource& source, const std::set<std::string>& global,
                          const std::map<std::string, const TSource*>& forms,
                          std::vector<std::string>& problems) {
    auto report = [&](const std::string& what) {
      problems.push_back(source.fileName + ": " + what);
    };
    std::set<std::string> formNames = source.controls;
    formNames.insert(source.moduleNames.begin(), source.moduleNames.end());
    for (const TProcedure& procedure : source.procedures) formNames.insert(Lower(procedure.name));

    static const std::regex handler(
        R"re(^(\w+)_(Click|DblClick|MouseUp|MouseDown|Change|KeyDown|KeyPress|Load|Unload|Activate|QueryUnload)$)re");
    static const std::set<std::string> formMembers = {"show",    "hide",    "zorder",  "popupmenu",
                                                      "caption", "arrange", "controls"};
    for (const TProcedure& procedure : source.procedures) {
      std::smatch m;
      if (source.isForm && std::regex_match(procedure.name, m, handler)) {
        const std::string owner = Lower(m[1]);
        if (owner != "form" && owner != "mdiform" && !source.controls.count(owner))
          report("handler " + procedure.name + " has no control " + m[1].str());
      }
      for (const std::string& raw : procedure.lines) {
        std::string code = CodeOnly(raw);
        code = std::regex_replace(code, std::regex("&H[0-9A-Fa-f]+&?"), "0");
        static const std::regex meMember(R"re(\bMe\.(\w+))re");
        for (std::sregex_iterator it(code.begin(), code.end(), meMember), end; it != end; ++it) {
          const std::string member = Lower((*it)[1]);
          if (!source.controls.count(member) && !formMembers.count(member) &&
              !formNames.count(member))
            report(procedure.name + ": Me." + (*it)[1].str() + " is not declared");
        }
        static const std::regex word(R"re((^|[^.\w$#])([A-Za-z_]\w*\$?))re");
        for (std::sregex_iterator it(code.begin(), code.end(), word), end; it != end; ++it) {
          const std::string name = Lower((*it)[2]);
          if (procedure.locals.count(name) || formNames.count(name) || global.count(name) ||
              IsBuiltin(name))
            continue;
          report(procedure.name + ": " + (*it)[2].str() + " is not declared");
        }
        // Form.Member: a public procedure or variable, or a control, of that form.
        static const std::regex qualified(R"re((^|[^.\w])(\w+)\.(\w+))re");
        for (std::sregex_iterator it(code.begin(), code.end(), qualified), end; it != end; ++it) {
          auto form = forms.find(Lower((*it)[2]));
          if (form == forms.end()) continue;
          const std::string member = Lower((*it)[3]);
          if (!form->second->publicNames.count(member) && !form->second->controls.count(member) &&
              !formMembers.count(member))
            report(procedure.name + ": " + (*it)[2].str() + "." + (*it)[3].str() +
                   " is not declared");
        }
      }
    }
  }

  std::vector<TSource> sources_;
};

// One statement a procedure hands to NewCommand, with the parameters it adds before running it.
struct TStatement {
  std::string where;
  std::string text;
  int markers = 0;
  int parameters = 0;
};

// Follows statementText through every procedure. Problems: statement text built from anything
// but fixed pieces, SQL text joined with a value anywhere.
inline std::vector<TStatement> Statements(const TSource& source,
                                          std::vector<std::string>& problems) {
  static const std::regex first(R"re(^\s*statementText = "([^"]*)"\s*$)re");
  static const std::regex next(R"re(^\s*statementText = statementText & "([^"]*)"\s*$)re");
  static const std::regex command(R"re(NewCommand\(([^)]*)\))re");
  static const std::regex parameter(R"re(^\s*Call Add\w+Parameter\(cmd,)re");
  static const std::regex runs(
      R"re(cmd\.Execute|\.Open cmd|NewCommand\(statementText\)\.Execute)re");
  static const std::regex sqlText(R"re((?:^|[^\w])(select|insert|update|delete)\s)re",
                                  std::regex::icase);
  std::vector<TStatement> statements;
  for (const TProcedure& procedure : source.procedures) {
    const std::string where = source.fileName + " " + procedure.name;
    std::string building;
    TStatement* open = nullptr;
    bool inElse = false;
    for (const std::string& raw : procedure.lines) {
      std::smatch m;
      const std::string code = CodeOnly(raw);
      if (std::regex_match(raw, m, first)) {
        building = m[1];
        continue;
      }
      if (std::regex_match(raw, m, next)) {
        building += m[1].str();
        continue;
      }
      static const std::regex assigns(R"re(^\s*statementText\s*=)re");
      if (std::regex_search(code, assigns)) {
        problems.push_back(where + ": statementText built from a value: " + raw);
      }
      if (std::regex_search(code, m, command)) {
        TStatement statement{where, "", 0, 0};
        const std::string argument = m[1];
        static const std::regex literalCommand(R"re(NewCommand\("([^"]*)"\))re");
        std::smatch lit;
        if (argument == "statementText") {
          statement.text = building;
        } else if (std::regex_search(raw, lit, literalCommand)) {
          statement.text = lit[1];
        } else {
          problems.push_back(where + ": NewCommand of something else than fixed text: " + raw);
        }
        statement.markers =
            static_cast<int>(std::count(statement.text.begin(), statement.text.end(), '?'));
        statements.push_back(statement);
        open = &statements.back();
        if (std::regex_search(code, runs)) open = nullptr;
        continue;
      }
      // The plain forms' way of running SQL: text handed to a recordset or the connection.
      if (std::regex_search(raw, sqlText) && raw.find('"') != std::string::npos &&
          code.find('&') != std::string::npos) {
        problems.push_back(where + ": SQL joined with a value: " + raw);
      }
      if (!open) continue;
      const std::string trimmed =
          Lower(std::regex_replace(code, std::regex(R"re(^\s+|\s+$)re"), ""));
      if (trimmed == "else") inElse = true;
      if (trimmed == "end if") inElse = false;
      // Both branches of an If add the same parameters: count the first.
      if (!inElse && std::regex_search(code, parameter)) ++open->parameters;
      // ModPassword's AddPasswordParameters adds a new password's salt, hash and iterations.
      static const std::regex passwordParameters(R"re(^\s*Call AddPasswordParameters\(cmd,)re");
      if (!inElse && std::regex_search(code, passwordParameters)) open->parameters += 3;
      if (std::regex_search(code, runs)) open = nullptr;
    }
  }
  return statements;
}

}  // namespace vbgen::test::vb
