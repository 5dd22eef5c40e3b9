#include "sqlimport/SqlReader.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <utility>

namespace vbgen {

bool SameSqlName(const std::string& a, const std::string& b) {
  return UpperAscii(a) == UpperAscii(b);
}

const TSqlColumn* TSqlTable::FindColumn(const std::string& column) const {
  for (const auto& entry : columns) {
    if (SameSqlName(entry.name, column)) return &entry;
  }
  return nullptr;
}

TSqlColumn* TSqlTable::FindColumn(const std::string& column) {
  return const_cast<TSqlColumn*>(std::as_const(*this).FindColumn(column));
}

const TSqlTable* TSqlSchema::FindTable(const std::string& name) const {
  for (const auto& table : tables) {
    if (SameSqlName(table.name, name)) return &table;
  }
  return nullptr;
}

TSqlTable* TSqlSchema::FindTable(const std::string& name) {
  return const_cast<TSqlTable*>(std::as_const(*this).FindTable(name));
}

namespace {

// Words that begin a statement. T-SQL needs no semicolons, so a statement that is passed over
// ends where the next one begins.
constexpr const char* kStatementWords[] = {
    "CREATE",      "ALTER",  "DROP",     "SET",        "USE",        "INSERT",   "DELETE",
    "UPDATE",      "SELECT", "EXEC",     "EXECUTE",    "IF",         "ELSE",     "WHILE",
    "BEGIN",       "END",    "PRINT",    "DECLARE",    "GRANT",      "DENY",     "REVOKE",
    "TRUNCATE",    "COMMIT", "ROLLBACK", "SAVE",       "RAISERROR",  "THROW",    "RETURN",
    "MERGE",       "DBCC",   "BACKUP",   "RESTORE",    "CHECKPOINT", "WAITFOR",  "GOTO",
    "OPEN",        "CLOSE",  "FETCH",    "DEALLOCATE", "ENABLE",     "DISABLE",  "BULK",
    "RECONFIGURE", "KILL",   "SHUTDOWN", "BREAK",      "CONTINUE",   "READTEXT", "WRITETEXT",
    "UPDATETEXT"};

// Objects whose body runs to the end of its batch and may hold any statement.
constexpr const char* kBatchObjects[] = {"PROCEDURE", "PROC", "FUNCTION", "TRIGGER", "VIEW"};

template <std::size_t N>
bool IsOneOf(const TSqlToken& token, const char* const (&words)[N]) {
  return std::any_of(std::begin(words), std::end(words),
                     [&token](const char* word) { return token.Is(word); });
}

bool IsStatementWord(const TSqlToken& token) { return IsOneOf(token, kStatementWords); }

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// The extended-property procedures' parameters, in their positional order.
constexpr const char* kPropertyParams[] = {"@name",       "@value",      "@level0type",
                                           "@level0name", "@level1type", "@level1name",
                                           "@level2type", "@level2name"};

// The tokens of a script and the position in them: looking ahead, taking keywords and names,
// passing over bracketed groups and whole statements. Every complaint names the line.
class TSqlCursor {
 public:
  explicit TSqlCursor(std::vector<TSqlToken> tokens) : tokens_(std::move(tokens)) {}

  // The next batch, which ends with its BatchEnd or End token.
  void Reset(std::vector<TSqlToken> tokens) {
    tokens_ = std::move(tokens);
    pos_ = 0;
  }

  const TSqlToken& Peek(std::size_t ahead = 0) const {
    return tokens_[std::min(pos_ + ahead, tokens_.size() - 1)];
  }
  const TSqlToken& Next() {
    const TSqlToken& token = Peek();
    if (pos_ + 1 < tokens_.size()) ++pos_;
    return token;
  }
  bool Accept(const char* keyword) {
    if (!Peek().Is(keyword)) return false;
    Next();
    return true;
  }
  bool AcceptSymbol(char symbol) {
    if (!Peek().IsSymbol(symbol)) return false;
    Next();
    return true;
  }
  [[noreturn]] void Fail(const TSqlToken& at, const std::string& message) const {
    throw TSqlScriptError(at.line, message);
  }
  static std::string Shown(const TSqlToken& token) {
    switch (token.kind) {
      case TSqlTokenKind::End:
        return "脚本结尾";
      case TSqlTokenKind::BatchEnd:
        return "GO";
      case TSqlTokenKind::QuotedName:
        return "[" + token.text + "]";
      case TSqlTokenKind::String:
        return "'" + token.text + "'";
      default:
        return token.text;
    }
  }
  void Expect(const char* keyword, const std::string& context) {
    if (!Accept(keyword)) {
      Fail(Peek(), context + ": 此处应为" + keyword + ", 却是\"" + Shown(Peek()) + "\"");
    }
  }
  void ExpectSymbol(char symbol, const std::string& context) {
    if (!AcceptSymbol(symbol)) {
      Fail(Peek(),
           context + ": 此处应为\"" + std::string(1, symbol) + "\", 却是\"" + Shown(Peek()) + "\"");
    }
  }
  bool AtBatchEnd() const {
    return Peek().kind == TSqlTokenKind::End || Peek().kind == TSqlTokenKind::BatchEnd;
  }
  bool AtStatementEnd() const {
    return AtBatchEnd() || Peek().IsSymbol(';') || IsStatementWord(Peek());
  }

  std::string Name(const std::string& what) {
    const TSqlToken& token = Peek();
    if (token.kind != TSqlTokenKind::Word && token.kind != TSqlTokenKind::QuotedName) {
      Fail(token, "此处应为" + what + ", 却是\"" + Shown(token) + "\"");
    }
    return Next().text;
  }

  // schema.name, database.schema.name, database..name: the parts as written.
  std::vector<std::string> QualifiedName(const std::string& what) {
    std::vector<std::string> parts{Name(what)};
    while (AcceptSymbol('.')) {
      if (Peek().IsSymbol('.')) {
        parts.emplace_back();
        continue;
      }
      parts.push_back(Name(what));
    }
    return parts;
  }

  // At "(": passes over everything up to the matching ")".
  void SkipGroup() {
    const TSqlToken& open = Peek();
    int depth = 0;
    do {
      if (AtBatchEnd()) Fail(open, "括号\"(\"没有闭合");
      if (Peek().IsSymbol('(')) ++depth;
      if (Peek().IsSymbol(')')) --depth;
      Next();
    } while (depth > 0);
  }

  std::size_t Position() const { return pos_; }
  void Rewind(std::size_t position) { pos_ = position; }

  // From the start of a column definition or table constraint, past it: to the comma or the
  // closing bracket that ends it, whatever bracketed groups it holds.
  void SkipElement() {
    while (!AtBatchEnd() && !Peek().IsSymbol(',') && !Peek().IsSymbol(')')) {
      if (Peek().IsSymbol('(')) {
        SkipGroup();
      } else {
        Next();
      }
    }
  }

  // At "(": the group as written, its words joined by blanks, and passed over.
  std::string GroupText() {
    const TSqlToken& open = Peek();
    std::string text;
    int depth = 0;
    do {
      if (AtBatchEnd()) Fail(open, "括号\"(\"没有闭合");
      const TSqlToken& token = Next();
      if (token.IsSymbol('(')) ++depth;
      if (token.IsSymbol(')')) --depth;
      const bool glued = text.empty() || text.back() == '(' || token.IsSymbol(')') ||
                         token.IsSymbol(',') || token.IsSymbol('.') || text.back() == '.';
      text += (glued ? "" : " ") + Shown(token);
    } while (depth > 0);
    return text;
  }

  // The first token of its line, or the first after a semicolon: where a statement that
  // follows one the reader could not read may begin.
  bool AtLineStart() const {
    if (pos_ == 0) return true;
    const TSqlToken& before = tokens_[pos_ - 1];
    return before.line != Peek().line || before.IsSymbol(';') ||
           before.kind == TSqlTokenKind::BatchEnd;
  }

  // After a statement, begun at `start`, that the reader could not read: on to the next
  // statement or batch. The complaint may have come where the next statement begins.
  void SkipToNextStatement(std::size_t start) {
    if (pos_ == start && !AtBatchEnd()) Next();
    while (!AtBatchEnd() && !(IsStatementWord(Peek()) && AtLineStart())) Next();
  }

  void SkipStatement() {
    Next();
    while (!AtStatementEnd()) {
      if (Peek().IsSymbol('(')) {
        SkipGroup();
      } else {
        Next();
      }
    }
  }

  // GRANT DELETE, UPDATE ON ... names statement words as permissions, and SET and USE hold a
  // single line: such a statement runs on to the end of its line.
  void SkipLine() {
    const int line = Next().line;
    while (!AtBatchEnd() && !Peek().IsSymbol(';') && Peek().line == line) {
      Next();
    }
  }

  void SkipBatch() {
    while (!AtBatchEnd()) Next();
  }

  void RequireStatementEnd(const std::string& context) {
    if (!AtStatementEnd()) Fail(Peek(), context + "中有无法读取的内容: \"" + Shown(Peek()) + "\"");
  }

 private:
  std::vector<TSqlToken> tokens_;
  std::size_t pos_ = 0;
};

// Cuts the token stream into batches and leaves out the data statements (INSERT, UPDATE,
// DELETE, BULK INSERT, SET IDENTITY_INSERT) on the way, their literals unread: a script of a
// million rows is held one batch of its schema at a time.
class TBatchSplitter {
 public:
  explicit TBatchSplitter(TSqlTokenStream& tokens) : tokens_(tokens) {}

  // The tokens of the next batch, ending with its BatchEnd or End token.
  std::vector<TSqlToken> Next() {
    std::vector<TSqlToken> batch;
    int depth = 0;
    try {
      for (;;) {
        TSqlToken token = Pull();
        if (token.kind == TSqlTokenKind::BatchEnd || token.kind == TSqlTokenKind::End) {
          batch.push_back(std::move(token));
          return batch;
        }
        if (depth == 0 && StartsDataStatement(token, batch)) {
          ++dataStatements_;
          PassOverData(token, batch);
          continue;
        }
        if (token.IsSymbol('(')) ++depth;
        if (token.IsSymbol(')') && depth > 0) --depth;
        batch.push_back(std::move(token));
      }
    } catch (const TSqlScriptError& error) {
      // A text that is never closed runs to the end of the script: nothing after it is read.
      stopped_ = TSqlUnread{error.Line(), std::string(error.what()) + "; 此后的脚本无法读取"};
      batch.push_back({TSqlTokenKind::End, {}, error.Line()});
      return batch;
    }
  }

  std::size_t DataStatements() const { return dataStatements_; }
  const std::optional<TSqlUnread>& Stopped() const { return stopped_; }

 private:
  TSqlToken Pull() {
    if (held_) return *std::exchange(held_, std::nullopt);
    if (stopped_) return {TSqlTokenKind::End, {}, 0};
    return tokens_.Next();
  }

  // A data statement begins a statement: the batch's first, after a semicolon, or first on its
  // line where the line before does not lead into it (ON DELETE, GRANT SELECT, INSERT, ...).
  bool StartsDataStatement(const TSqlToken& token, const std::vector<TSqlToken>& batch) {
    const bool dataWord = token.Is("INSERT") || token.Is("UPDATE") || token.Is("DELETE") ||
                          token.Is("BULK") || (token.Is("SET") && NextIs("IDENTITY_INSERT"));
    if (!dataWord) return false;
    if (batch.empty()) return true;
    const TSqlToken& before = batch.back();
    if (before.IsSymbol(';')) return true;
    return before.line != token.line && !before.IsSymbol(',') && !before.Is("ON") &&
           !before.Is("FOR") && !before.Is("OF") && !before.Is("AFTER") && !before.Is("TO") &&
           !before.Is("GRANT") && !before.Is("DENY") && !before.Is("REVOKE");
  }

  bool NextIs(const char* word) {
    if (!held_) held_ = tokens_.Next();
    return held_->Is(word);
  }

  // Up to a semicolon, the batch's end, or a statement that begins on a line of its own (an
  // INSERT's SELECT and an UPDATE's SET belong to it). What ends it is read next.
  void PassOverData(const TSqlToken& first, std::vector<TSqlToken>& batch) {
    const bool update = first.Is("UPDATE");
    int depth = 0;
    int line = first.line;
    tokens_.SetDiscarding(true);
    for (;;) {
      TSqlToken token = Pull();
      const bool ends = token.kind == TSqlTokenKind::BatchEnd || token.kind == TSqlTokenKind::End ||
                        (depth == 0 && token.IsSymbol(';')) ||
                        (depth == 0 && token.line != line && IsStatementWord(token) &&
                         !token.Is("SELECT") && !(update && token.Is("SET")));
      if (ends) {
        tokens_.SetDiscarding(false);
        if (token.IsSymbol(';')) {
          batch.push_back(std::move(token));
        } else {
          held_ = std::move(token);
        }
        return;
      }
      if (token.IsSymbol('(')) ++depth;
      if (token.IsSymbol(')') && depth > 0) --depth;
      line = token.line;
    }
  }

  TSqlTokenStream& tokens_;
  std::optional<TSqlToken> held_;
  std::optional<TSqlUnread> stopped_;
  std::size_t dataStatements_ = 0;
};

// The parts of a table: column definitions and table constraints, inside CREATE TABLE's
// brackets or after ALTER TABLE ... ADD.
// A type the script declares for itself (sp_addtype, CREATE TYPE ... FROM): what a column of
// that type is, as if its base type had been written.
struct TUserType {
  TSqlColumn base;  // type, length, declaredType and notNull
};

// User-defined types by name, ignoring ASCII case.
using TUserTypes = std::map<std::string, TUserType>;

class TTableParts {
 public:
  TTableParts(TSqlCursor& in, const TUserTypes& userTypes) : in_(in), userTypes_(userTypes) {}

  // The end of a column definition or table constraint: a comma or the closing bracket inside
  // CREATE TABLE, a comma or the end of the statement in ALTER TABLE ... ADD.
  bool AtElementEnd(bool inParens) const {
    if (in_.Peek().IsSymbol(',')) return true;
    return inParens ? in_.Peek().IsSymbol(')') || in_.AtBatchEnd() : in_.AtStatementEnd();
  }

  void Element(TSqlTable& table, bool inParens) {
    const TSqlToken& first = in_.Peek();
    if (first.Is("CONSTRAINT")) {
      in_.Next();
      const std::string name = in_.Name("约束名");
      Constraint(table, inParens, name);
    } else if (first.Is("PRIMARY") || first.Is("FOREIGN") || first.Is("UNIQUE") ||
               first.Is("CHECK") || (!inParens && first.Is("DEFAULT")) || IsInlineIndex() ||
               (first.Is("PERIOD") && in_.Peek(1).Is("FOR"))) {
      Constraint(table, inParens, {});
    } else {
      table.columns.push_back(Column(table, inParens));
    }
    if (!AtElementEnd(inParens)) {
      in_.Fail(in_.Peek(), "表" + table.name + "的定义中有无法读取的内容: \"" +
                               TSqlCursor::Shown(in_.Peek()) + "\"");
    }
  }

  TSqlColumn Column(TSqlTable& table, bool inParens) {
    TSqlColumn column;
    column.line = in_.Peek().line;
    column.name = in_.Name("列名");
    const std::string context = "表" + table.name + "的列" + column.name;
    if (in_.Accept("AS")) {
      column.computed = true;
      while (!AtElementEnd(inParens)) {
        if (in_.Peek().IsSymbol('(')) {
          in_.SkipGroup();
        } else {
          in_.Next();
        }
      }
      return column;
    }
    Type(column, context);
    ColumnOptions(table, column, inParens, context);
    return column;
  }

 private:
  // INDEX and PERIOD are not reserved: a column may be called so.
  bool IsInlineIndex() const {
    const TSqlToken& after = in_.Peek(2);
    return in_.Peek().Is("INDEX") && (after.IsSymbol('(') || after.Is("CLUSTERED") ||
                                      after.Is("NONCLUSTERED") || after.Is("UNIQUE"));
  }

  void SetPrimaryKey(TSqlTable& table, std::vector<std::string> columns, const std::string& name,
                     int line) {
    if (!table.primaryKey.empty()) {
      throw TSqlScriptError(line, "表" + table.name + "已在第" +
                                      std::to_string(table.primaryKeyLine) + "行定义了主键");
    }
    table.primaryKey = std::move(columns);
    table.primaryKeyName = name;
    table.primaryKeyLine = line;
  }

  void Constraint(TSqlTable& table, bool inParens, const std::string& name) {
    const TSqlToken& first = in_.Peek();
    const std::string context = "表" + table.name + "的约束";
    if (in_.Accept("PRIMARY")) {
      in_.Expect("KEY", context);
      if (!in_.Accept("CLUSTERED")) in_.Accept("NONCLUSTERED");
      std::vector<std::string> columns = ColumnList(context);
      IndexOptions();
      SetPrimaryKey(table, std::move(columns), name, first.line);
    } else if (in_.Accept("UNIQUE")) {
      if (!in_.Accept("CLUSTERED")) in_.Accept("NONCLUSTERED");
      ColumnList(context);
      IndexOptions();
    } else if (in_.Accept("FOREIGN")) {
      in_.Expect("KEY", context);
      TSqlForeignKey key{name, ColumnList(context), {}, {}, first.line};
      in_.Expect("REFERENCES", context);
      References(key, context);
      table.foreignKeys.push_back(std::move(key));
    } else if (in_.Accept("CHECK")) {
      NotForReplication();
      if (!in_.Peek().IsSymbol('(')) in_.ExpectSymbol('(', context);
      in_.SkipGroup();
    } else if (in_.Accept("DEFAULT")) {
      DefaultExpression(context);
      in_.Expect("FOR", context);
      if (TSqlColumn* column = table.FindColumn(in_.Name("列名"))) column->hasDefault = true;
      if (in_.Accept("WITH")) in_.Expect("VALUES", context);
    } else if (in_.Accept("INDEX") || in_.Accept("PERIOD")) {
      while (!AtElementEnd(inParens)) {
        if (in_.Peek().IsSymbol('(')) {
          in_.SkipGroup();
        } else {
          in_.Next();
        }
      }
    } else {
      in_.Fail(first, context + "无法读取: \"" + TSqlCursor::Shown(first) + "\"");
    }
  }

  // ( a [ASC|DESC], b ... )
  std::vector<std::string> ColumnList(const std::string& context) {
    in_.ExpectSymbol('(', context);
    std::vector<std::string> columns;
    do {
      columns.push_back(in_.Name("列名"));
      if (!in_.Accept("ASC")) in_.Accept("DESC");
    } while (in_.AcceptSymbol(','));
    in_.ExpectSymbol(')', context);
    return columns;
  }

  // WITH (...), WITH FILLFACTOR = n, ON filegroup[(column)], NOT FOR REPLICATION.
  void IndexOptions() {
    for (;;) {
      if (in_.Peek().Is("WITH") && in_.Peek(1).IsSymbol('(')) {
        in_.Next();
        in_.SkipGroup();
      } else if (in_.Peek().Is("WITH") && in_.Peek(1).Is("FILLFACTOR")) {
        in_.Next();
        in_.Next();
        in_.AcceptSymbol('=');
        if (in_.Peek().kind == TSqlTokenKind::Number) in_.Next();
      } else if (in_.Peek().Is("ON") && !in_.Peek(1).Is("DELETE") && !in_.Peek(1).Is("UPDATE")) {
        in_.Next();
        in_.Name("文件组");
        if (in_.Peek().IsSymbol('(')) in_.SkipGroup();
      } else if (!NotForReplication()) {
        return;
      }
    }
  }

  bool NotForReplication() {
    if (!in_.Peek().Is("NOT") || !in_.Peek(1).Is("FOR")) return false;
    in_.Next();
    in_.Next();
    in_.Expect("REPLICATION", "NOT FOR REPLICATION");
    return true;
  }

  // After REFERENCES: table [(columns)] [ON DELETE|UPDATE action] [NOT FOR REPLICATION].
  void References(TSqlForeignKey& key, const std::string& context) {
    key.refTable = in_.QualifiedName("被引用的表名").back();
    if (in_.Peek().IsSymbol('(')) key.refColumns = ColumnList(context);
    for (;;) {
      if (in_.Peek().Is("ON") && (in_.Peek(1).Is("DELETE") || in_.Peek(1).Is("UPDATE"))) {
        in_.Next();
        in_.Next();
        if (in_.Accept("NO")) {
          in_.Expect("ACTION", context);
        } else if (in_.Accept("SET")) {
          if (!in_.Accept("NULL")) in_.Expect("DEFAULT", context);
        } else {
          in_.Expect("CASCADE", context);
        }
      } else if (!NotForReplication()) {
        return;
      }
    }
  }

  // A DEFAULT's value: (expression), a literal, a signed number, NULL, or a function call.
  void DefaultExpression(const std::string& context) {
    const TSqlToken& token = in_.Peek();
    if (token.IsSymbol('(')) {
      in_.SkipGroup();
    } else if (token.IsSymbol('-') || token.IsSymbol('+')) {
      in_.Next();
      if (in_.Peek().kind != TSqlTokenKind::Number)
        in_.Fail(in_.Peek(), context + "的DEFAULT值无法读取");
      in_.Next();
    } else if (token.kind == TSqlTokenKind::String || token.kind == TSqlTokenKind::Number) {
      in_.Next();
    } else if (token.kind == TSqlTokenKind::Word) {
      in_.Next();
      if (in_.Peek().IsSymbol('(')) in_.SkipGroup();
    } else {
      in_.Fail(token, context + "的DEFAULT值无法读取: \"" + TSqlCursor::Shown(token) + "\"");
    }
  }

 public:
  // The column's type, its length and, for a user-defined type, its nullability.
  void Type(TSqlColumn& column, const std::string& context) {
    const TSqlToken& first = in_.Peek();
    constexpr const char* kNotTypes[] = {"NOT",        "NULL",     "PRIMARY", "DEFAULT",
                                         "CONSTRAINT", "IDENTITY", "UNIQUE",  "CHECK",
                                         "REFERENCES", "COLLATE"};
    if (IsOneOf(first, kNotTypes) || first.IsSymbol(',') || first.IsSymbol(')')) {
      in_.Fail(first, context + "缺少类型");
    }
    std::string type = Lower(in_.QualifiedName("类型").back());
    if (auto user = userTypes_.find(UpperAscii(type));
        user != userTypes_.end() && !in_.Peek().IsSymbol('(')) {
      const TSqlColumn& base = user->second.base;
      column.type = base.type;
      column.length = base.length;
      column.scale = base.scale;
      column.notNull = base.notNull;  // until the column says otherwise
      column.declaredType = type + "(" + base.declaredType + ")";
      return;
    }
    if (first.kind == TSqlTokenKind::Word) type = CanonicalType(type);
    column.type = type;
    column.declaredType = type;
    if (!in_.Peek().IsSymbol('(')) return;
    const TSqlToken& argument = in_.Peek(1);
    if (argument.Is("MAX")) {
      column.length = TSqlColumn::kMaxLength;
    } else if (argument.kind == TSqlTokenKind::Number) {
      column.length = TypeNumber(argument, context, "长度", 1);
      if (in_.Peek(2).IsSymbol(',') && in_.Peek(3).kind == TSqlTokenKind::Number) {
        column.scale = TypeNumber(in_.Peek(3), context, "小数位数", 0);
      }
    }
    // Arguments that are neither a length nor a scale (xml(CONTENT schema)) are kept only as
    // written: the column's note names them.
    column.declaredType += in_.GroupText();
  }

 private:
  // A whole number in a type's parentheses, at least `least`.
  int TypeNumber(const TSqlToken& argument, const std::string& context, const char* what,
                 int least) {
    int value = 0;
    const std::string& digits = argument.text;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || value < least) {
      in_.Fail(argument, context + "的" + what + "\"" + digits + "\"无效");
    }
    return value;
  }

  // The types written in several words: national character varying, double precision.
  std::string CanonicalType(std::string type) {
    bool national = false;
    if (type == "national") {
      national = true;
      type = Lower(in_.Name("类型"));
    }
    if (type == "character") type = "char";
    if (type == "char" && in_.Accept("VARYING")) type = "varchar";
    if (type == "double" && in_.Accept("PRECISION")) type = "float";
    if (type == "integer") type = "int";
    if (type == "dec") type = "decimal";
    if (national && (type == "char" || type == "varchar" || type == "text")) type = "n" + type;
    return type;
  }

  void ColumnOptions(TSqlTable& table, TSqlColumn& column, bool inParens,
                     const std::string& context) {
    while (!AtElementEnd(inParens)) {
      const TSqlToken& token = in_.Peek();
      if (NotForReplication()) {
      } else if (in_.Accept("NOT")) {
        in_.Expect("NULL", context);
        column.notNull = true;
      } else if (in_.Accept("NULL")) {
        column.notNull = false;
      } else if (in_.Accept("IDENTITY")) {
        column.identity = true;
        if (in_.Peek().IsSymbol('(')) in_.SkipGroup();
      } else if (in_.Accept("DEFAULT")) {
        DefaultExpression(context);
        column.hasDefault = true;
      } else if (in_.Accept("COLLATE") || in_.Accept("CONSTRAINT") || in_.Accept("INDEX")) {
        in_.Name("名称");
      } else if (in_.Accept("PRIMARY")) {
        in_.Expect("KEY", context);
        if (!in_.Accept("CLUSTERED")) in_.Accept("NONCLUSTERED");
        IndexOptions();
        SetPrimaryKey(table, {column.name}, {}, token.line);
      } else if (in_.Accept("UNIQUE")) {
        if (!in_.Accept("CLUSTERED")) in_.Accept("NONCLUSTERED");
        IndexOptions();
      } else if (in_.Accept("CHECK")) {
        NotForReplication();
        if (!in_.Peek().IsSymbol('(')) in_.ExpectSymbol('(', context);
        in_.SkipGroup();
      } else if (in_.Peek().Is("FOREIGN") || in_.Peek().Is("REFERENCES")) {
        if (in_.Accept("FOREIGN")) in_.Expect("KEY", context);
        in_.Expect("REFERENCES", context);
        TSqlForeignKey key{{}, {column.name}, {}, {}, token.line};
        References(key, context);
        table.foreignKeys.push_back(std::move(key));
      } else if (token.kind == TSqlTokenKind::Word) {
        // ROWGUIDCOL, SPARSE, PERSISTED, MASKED WITH (...) and the like: nothing the model keeps.
        in_.Next();
        if (in_.Peek().IsSymbol('(')) in_.SkipGroup();
      } else if (token.IsSymbol('(')) {
        in_.SkipGroup();
      } else {
        in_.Fail(token, context + "的定义无法读取: \"" + TSqlCursor::Shown(token) + "\"");
      }
    }
  }

  TSqlCursor& in_;
  const TUserTypes& userTypes_;
};

// The statements: tables created, altered and dropped, extended properties, and everything
// else passed over.
class TReader {
 public:
  explicit TReader(TBatchSplitter& batches) : batches_(batches), in_({}) {}

  TSqlSchema Run() {
    for (;;) {
      in_.Reset(batches_.Next());
      bool batchStart = true;
      while (!in_.AtBatchEnd()) {
        if (in_.AcceptSymbol(';')) continue;
        ReadStatement(batchStart);
        batchStart = false;
      }
      if (in_.Peek().kind == TSqlTokenKind::End) break;
    }
    if (auto stopped = batches_.Stopped()) schema_.unread.push_back(*stopped);
    schema_.dataStatements = batches_.DataStatements();
    return std::move(schema_);
  }

 private:
  // One statement the reader cannot read costs only that statement.
  void ReadStatement(bool batchStart) {
    const std::size_t start = in_.Position();
    try {
      Statement(batchStart);
    } catch (const TSqlScriptError& error) {
      schema_.unread.push_back({error.Line(), std::string(error.what()) + "; 该语句已跳过"});
      in_.SkipToNextStatement(start);
    }
  }

  void Statement(bool batchStart) {
    const TSqlToken& token = in_.Peek();
    if (token.kind != TSqlTokenKind::Word) {
      in_.Fail(token, "无法读取的语句, 开头是\"" + TSqlCursor::Shown(token) + "\"");
    }
    if (token.Is("CREATE") && in_.Peek(1).Is("DATABASE")) {
      if (!createdDatabase_) schema_.databaseName = in_.Peek(2).text;
      createdDatabase_ = true;
      in_.SkipStatement();
    } else if (token.Is("USE")) {
      NoteUsedDatabase(in_.Peek(1));
      in_.SkipLine();
    } else if (token.Is("CREATE")) {
      const std::size_t what = in_.Peek(1).Is("OR") && in_.Peek(2).Is("ALTER") ? 3 : 1;
      if (in_.Peek(what).Is("TABLE")) {
        CreateTable(what);
      } else if (in_.Peek(1).Is("TYPE")) {
        CreateType();
      } else if (IsOneOf(in_.Peek(what), kBatchObjects)) {
        NoteSkippedObject(in_.Peek(what), ObjectName(what + 1));
        in_.SkipBatch();
      } else {
        in_.SkipStatement();
      }
    } else if (token.Is("ALTER")) {
      if (in_.Peek(1).Is("TABLE")) {
        AlterTable();
      } else if (IsOneOf(in_.Peek(1), kBatchObjects)) {
        in_.SkipBatch();
      } else {
        in_.SkipStatement();
      }
    } else if (token.Is("DROP") && in_.Peek(1).Is("TABLE")) {
      DropTable();
    } else if (token.Is("EXEC") || token.Is("EXECUTE")) {
      in_.Next();
      Exec();
    } else if (token.Is("IF") || token.Is("WHILE")) {
      in_.SkipStatement();  // the condition; the statement it guards is read on its own
    } else if (token.Is("BEGIN") || token.Is("END")) {
      in_.Next();
      in_.Accept("DISTRIBUTED");
      if (in_.Accept("TRAN") || in_.Accept("TRANSACTION")) {
        if (!in_.AtStatementEnd() && in_.Peek().line == token.line)
          in_.Next();  // the transaction's name
      } else if (!in_.Accept("TRY")) {
        in_.Accept("CATCH");
      }
    } else if (token.Is("ELSE")) {
      in_.Next();
    } else if (token.Is("GRANT") || token.Is("DENY") || token.Is("REVOKE") || token.Is("USE") ||
               (token.Is("SET") && in_.Peek(1).text.rfind('@', 0) != 0)) {
      in_.SkipLine();
    } else if (IsStatementWord(token) || token.Is("WITH")) {
      in_.SkipStatement();
    } else if (batchStart) {
      Exec();  // the first statement of a batch may call a procedure without EXEC
    } else {
      in_.Fail(token, "无法读取的语句, 开头是\"" + token.text + "\"");
    }
  }

  void CreateTable(std::size_t wordsBeforeTable) {
    const int line = in_.Peek().line;
    for (std::size_t i = 0; i <= wordsBeforeTable; ++i) in_.Next();
    const std::vector<std::string> parts = in_.QualifiedName("表名");
    TSqlTable table;
    table.name = parts.back();
    table.schema = parts.size() >= 2 ? parts[parts.size() - 2] : std::string();
    table.line = line;
    const std::string context = "CREATE TABLE " + table.name;
    in_.ExpectSymbol('(', context);
    for (;;) {
      if (in_.AcceptSymbol(')')) break;  // SQL Server accepts a comma before the closing bracket
      ReadElement(table);
      if (in_.AcceptSymbol(')')) break;
      in_.ExpectSymbol(',', context);
    }
    TableStorageOptions();
    in_.RequireStatementEnd(context);

    const bool temporary = table.name.rfind('#', 0) == 0;
    if (temporary) return;
    if (const TSqlTable* earlier = schema_.FindTable(table.name)) {
      throw TSqlScriptError(
          table.line, "表" + table.name + "已在第" + std::to_string(earlier->line) + "行创建过");
    }
    schema_.tables.push_back(std::move(table));
  }

  // A column or constraint the reader cannot read costs only itself, not its table.
  void ReadElement(TSqlTable& table) {
    const std::size_t start = in_.Position();
    try {
      parts_.Element(table, true);
    } catch (const TSqlScriptError& error) {
      schema_.unread.push_back({error.Line(), std::string(error.what()) + "; 该列或约束已跳过"});
      in_.Rewind(start);
      in_.SkipElement();
    }
  }

  // The name that starts `ahead` tokens on, without its schema or database: the object's own.
  const TSqlToken& ObjectName(std::size_t ahead) {
    while (in_.Peek(ahead + 1).IsSymbol('.')) ahead += 2;
    return in_.Peek(ahead);
  }

  void NoteSkippedObject(const TSqlToken& kind, const TSqlToken& name) {
    const char* word = kind.Is("VIEW")       ? "视图"
                       : kind.Is("TRIGGER")  ? "触发器"
                       : kind.Is("FUNCTION") ? "函数"
                                             : "存储过程";
    schema_.skippedObjects.push_back("第" + std::to_string(kind.line) + "行的" + word +
                                     TSqlCursor::Shown(name));
  }

  void NoteUsedDatabase(const TSqlToken& name) {
    constexpr const char* kServerDatabases[] = {"MASTER", "TEMPDB", "MODEL", "MSDB"};
    if (createdDatabase_ || !schema_.databaseName.empty()) return;
    if (name.kind != TSqlTokenKind::Word && name.kind != TSqlTokenKind::QuotedName) return;
    const std::string upper = UpperAscii(name.text);
    for (const char* server : kServerDatabases) {
      if (upper == server) return;
    }
    schema_.databaseName = name.text;
  }

  // CREATE TYPE name FROM base [NULL | NOT NULL]; a table type (AS TABLE) is no column type.
  void CreateType() {
    in_.Next();
    in_.Next();
    const std::string name = in_.QualifiedName("类型名").back();
    if (!in_.Accept("FROM")) {
      in_.SkipStatement();
      return;
    }
    TSqlColumn base;
    parts_.Type(base, "类型" + name);
    if (in_.Accept("NOT")) {
      in_.Expect("NULL", "类型" + name);
      base.notNull = true;
    } else {
      in_.Accept("NULL");
    }
    in_.RequireStatementEnd("CREATE TYPE " + name);
    userTypes_[UpperAscii(name)] = {base};
  }

  // sp_addtype name, 'base type' [, 'NULL' | 'NOT NULL' | 'NONULL']: the base type is a text
  // that is read as a column's type would be.
  void AddType(const std::optional<std::string>& name, const std::optional<std::string>& physical,
               const std::optional<std::string>& nullability, int line) {
    if (!name || !physical) throw TSqlScriptError(line, "sp_addtype缺少类型名或基础类型");
    TSqlCursor typeText(TokenizeSql(*physical));
    TTableParts typeParts(typeText, userTypes_);
    TSqlColumn base;
    typeParts.Type(base, "类型" + *name);
    if (!typeText.AtBatchEnd()) {
      throw TSqlScriptError(line, "类型" + *name + "的基础类型\"" + *physical + "\"无法读取");
    }
    const std::string nulls = UpperAscii(nullability.value_or(""));
    base.notNull = nulls == "NOT NULL" || nulls == "NONULL";
    userTypes_[UpperAscii(*name)] = {base};
  }

  // ON [PRIMARY], TEXTIMAGE_ON [PRIMARY], FILESTREAM_ON x, WITH (...), in any order.
  void TableStorageOptions() {
    for (;;) {
      if (in_.Accept("ON") || in_.Accept("TEXTIMAGE_ON") || in_.Accept("FILESTREAM_ON")) {
        in_.Name("文件组");
        if (in_.Peek().IsSymbol('(')) in_.SkipGroup();
      } else if (in_.Peek().Is("WITH") && in_.Peek(1).IsSymbol('(')) {
        in_.Next();
        in_.SkipGroup();
      } else {
        return;
      }
    }
  }

  // The table an ALTER TABLE or extended property is about: one created earlier in the
  // script, or none for a table the script does not create.
  TSqlTable* Known(const std::vector<std::string>& parts) {
    if (parts.back().rfind('#', 0) == 0) return nullptr;
    return schema_.FindTable(parts.back());
  }

  void AlterTable() {
    in_.Next();
    in_.Next();
    const std::vector<std::string> parts = in_.QualifiedName("表名");
    TSqlTable scratch;  // the statements on tables outside the script are read and dropped
    TSqlTable* known = Known(parts);
    TSqlTable& table = known ? *known : scratch;
    scratch.name = parts.back();
    const std::string context = "ALTER TABLE " + parts.back();
    if (in_.Accept("WITH") && !in_.Accept("CHECK") && !in_.Accept("NOCHECK")) {
      in_.Fail(in_.Peek(), context + ": WITH 之后应为 CHECK 或 NOCHECK");
    }
    if (in_.Accept("ADD")) {
      do {
        parts_.Element(table, false);
      } while (in_.AcceptSymbol(','));
      in_.RequireStatementEnd(context);
    } else if (in_.Accept("DROP")) {
      AlterDrop(table, context);
    } else if (in_.Accept("ALTER")) {
      in_.Expect("COLUMN", context);
      TSqlColumn changed = parts_.Column(table, false);
      if (TSqlColumn* column = table.FindColumn(changed.name)) {
        changed.identity = column->identity;
        changed.description = column->description;
        *column = changed;
      }
      in_.RequireStatementEnd(context);
    } else if (in_.Peek().Is("CHECK") || in_.Peek().Is("NOCHECK") || in_.Peek().Is("ENABLE") ||
               in_.Peek().Is("DISABLE") || in_.Peek().Is("SET") || in_.Peek().Is("SWITCH") ||
               in_.Peek().Is("REBUILD")) {
      in_.SkipStatement();
    } else {
      in_.Fail(in_.Peek(), context + ": 无法读取\"" + TSqlCursor::Shown(in_.Peek()) + "\"");
    }
  }

  // DROP [CONSTRAINT | COLUMN] [IF EXISTS] name, ...
  void AlterDrop(TSqlTable& table, const std::string& context) {
    do {
      bool column = false;
      if (in_.Accept("COLUMN")) {
        column = true;
      } else {
        in_.Accept("CONSTRAINT");
      }
      if (in_.Peek().Is("IF") && in_.Peek(1).Is("EXISTS")) {
        in_.Next();
        in_.Next();
      }
      const std::string name = in_.Name(column ? "列名" : "约束名");
      if (in_.Peek().Is("WITH") && in_.Peek(1).IsSymbol('(')) {
        in_.Next();
        in_.SkipGroup();
      }
      if (column) {
        std::erase_if(table.columns,
                      [&name](const TSqlColumn& entry) { return SameSqlName(entry.name, name); });
      } else if (!table.primaryKeyName.empty() && SameSqlName(table.primaryKeyName, name)) {
        table.primaryKey.clear();
        table.primaryKeyName.clear();
      } else {
        std::erase_if(table.foreignKeys, [&name](const TSqlForeignKey& key) {
          return !key.name.empty() && SameSqlName(key.name, name);
        });
      }
    } while (in_.AcceptSymbol(','));
    in_.RequireStatementEnd(context);
  }

  void DropTable() {
    in_.Next();
    in_.Next();
    if (in_.Peek().Is("IF") && in_.Peek(1).Is("EXISTS")) {
      in_.Next();
      in_.Next();
    }
    do {
      const std::vector<std::string> parts = in_.QualifiedName("表名");
      if (const TSqlTable* table = Known(parts)) {
        std::erase_if(schema_.tables, [table](const TSqlTable& entry) { return &entry == table; });
      }
    } while (in_.AcceptSymbol(','));
    in_.RequireStatementEnd("DROP TABLE");
  }

  // After EXEC: a procedure call, of which only the extended-property procedures are read.
  void Exec() {
    if (in_.Peek().kind == TSqlTokenKind::Word && in_.Peek().text.rfind('@', 0) == 0 &&
        in_.Peek(1).IsSymbol('=')) {
      in_.Next();
      in_.Next();
    }
    if (in_.Peek().IsSymbol('(')) {  // dynamic SQL, which the reader does not look into
      in_.SkipGroup();
      while (!in_.AtStatementEnd()) in_.Next();
      return;
    }
    const int line = in_.Peek().line;
    const std::string procedure = Lower(in_.QualifiedName("存储过程名").back());
    std::map<std::string, std::optional<std::string>> arguments;
    std::vector<std::optional<std::string>> positional;
    std::size_t position = 0;
    while (!in_.AtStatementEnd()) {
      std::string parameter;
      const bool named = in_.Peek().kind == TSqlTokenKind::Word &&
                         in_.Peek().text.rfind('@', 0) == 0 && in_.Peek(1).IsSymbol('=');
      if (named) {
        parameter = Lower(in_.Next().text);
        in_.Next();
      } else if (position < std::size(kPropertyParams)) {
        parameter = kPropertyParams[position];
      }
      ++position;
      const std::optional<std::string> value = ArgumentValue();
      if (!named) positional.push_back(value);
      arguments[parameter] = value;
      if (!in_.Accept("OUTPUT")) in_.Accept("OUT");
      if (!in_.AcceptSymbol(',')) break;
    }
    in_.RequireStatementEnd("EXEC " + procedure);
    if (procedure == "sp_addextendedproperty" || procedure == "sp_updateextendedproperty") {
      ApplyProperty(arguments);
    } else if (procedure == "sp_addtype") {
      auto argument = [&](const char* named, std::size_t index) {
        auto found = arguments.find(named);
        if (found != arguments.end()) return found->second;
        return index < positional.size() ? positional[index] : std::nullopt;
      };
      AddType(argument("@typename", 0), argument("@phystype", 1), argument("@nulltype", 2), line);
    }
  }

  // A literal or a bare name; none for NULL, DEFAULT and variables.
  std::optional<std::string> ArgumentValue() {
    const TSqlToken& token = in_.Peek();
    if (token.IsSymbol('-') || token.IsSymbol('+')) {
      in_.Next();
      if (in_.Peek().kind != TSqlTokenKind::Number) in_.Fail(in_.Peek(), "存储过程参数有误");
      return token.text + in_.Next().text;
    }
    switch (token.kind) {
      case TSqlTokenKind::String:
      case TSqlTokenKind::Number:
      case TSqlTokenKind::QuotedName:
        return in_.Next().text;
      case TSqlTokenKind::Word:
        in_.Next();
        if (token.Is("NULL") || token.Is("DEFAULT") || token.text.rfind('@', 0) == 0) {
          return std::nullopt;
        }
        return token.text;
      default:
        in_.Fail(token, "存储过程参数有误: \"" + TSqlCursor::Shown(token) + "\"");
    }
  }

  void ApplyProperty(const std::map<std::string, std::optional<std::string>>& arguments) {
    auto text = [&arguments](const char* parameter) {
      auto found = arguments.find(parameter);
      return found == arguments.end() ? std::string() : found->second.value_or(std::string());
    };
    auto value = arguments.find("@value");
    if (!SameSqlName(text("@name"), "MS_Description") || value == arguments.end() ||
        !value->second || !SameSqlName(text("@level1type"), "TABLE")) {
      return;
    }
    TSqlTable* table = schema_.FindTable(text("@level1name"));
    if (table == nullptr) return;
    const std::string level2 = text("@level2type");
    if (level2.empty()) {
      table->description = *value->second;
    } else if (SameSqlName(level2, "COLUMN")) {
      if (TSqlColumn* column = table->FindColumn(text("@level2name"))) {
        column->description = *value->second;
      }
    }
  }

  TBatchSplitter& batches_;
  bool createdDatabase_ = false;
  TSqlCursor in_;
  TUserTypes userTypes_;
  TTableParts parts_{in_, userTypes_};
  TSqlSchema schema_;
};

}  // namespace

TSqlSchema ReadSqlSchema(const TTextPieces& pieces) {
  TSqlTokenStream tokens(pieces);
  TBatchSplitter batches(tokens);
  return TReader(batches).Run();
}

TSqlSchema ReadSqlSchema(const std::string& utf8Text) {
  bool given = false;
  return ReadSqlSchema([&](std::string& piece) {
    if (given) return false;
    piece += utf8Text;
    given = true;
    return true;
  });
}

}  // namespace vbgen
