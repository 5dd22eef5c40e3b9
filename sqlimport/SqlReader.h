// Reads the tables out of a SQL Server schema script (what Management Studio's "Generate
// Scripts" writes, or our own table-creation script) into a plain description. Only the tables,
// their columns, keys, foreign keys and MS_Description properties are taken; the other
// statements such scripts hold are recognised and passed over.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sqlimport/SqlTokenizer.h"

namespace vbgen {

struct TSqlColumn {
  std::string name;
  std::string type;           // lower case without schema; empty for a computed column
  std::optional<int> length;  // the first number in the type's parentheses; kMaxLength for max
  std::optional<int> scale;   // the second: decimal(10,2) has length 10 and scale 2
  bool notNull = false;
  bool identity = false;
  bool computed = false;
  bool hasDefault = false;   // a DEFAULT in the column or in a DEFAULT ... FOR constraint
  std::string declaredType;  // as the script writes it, arguments included: "xml(CONTENT s)"
  std::string description;   // MS_Description, empty when none
  int line = 0;

  static constexpr int kMaxLength = -1;
};

struct TSqlForeignKey {
  std::string name;  // the constraint name, empty when unnamed
  std::vector<std::string> columns;
  std::string refTable;
  std::vector<std::string> refColumns;  // empty: the referenced table's primary key
  int line = 0;
};

struct TSqlTable {
  std::string schema;  // empty when the script names none
  std::string name;
  int line = 0;
  std::vector<TSqlColumn> columns;
  std::vector<std::string> primaryKey;  // empty when the table has none
  std::string primaryKeyName;
  int primaryKeyLine = 0;
  std::vector<TSqlForeignKey> foreignKeys;
  std::string description;

  // Names compare as SQL Server's default collation does: ignoring ASCII case.
  TSqlColumn* FindColumn(const std::string& column);
  const TSqlColumn* FindColumn(const std::string& column) const;
};

// A statement the reader could not read; it went on at the next statement or batch.
struct TSqlUnread {
  int line = 0;
  std::string message;  // begins with the line: "第12行: ..."
};

struct TSqlSchema {
  std::vector<TSqlTable> tables;  // in script order; temporary tables are left out
  std::vector<TSqlUnread> unread;
  std::size_t dataStatements = 0;
  // The views, procedures, functions and triggers passed over: "第12行的视图V".
  std::vector<std::string> skippedObjects;
  // The database the script creates (CREATE DATABASE), else the first it uses that is not one
  // of the server's own (USE); empty when it names none.
  std::string databaseName;  // INSERT, UPDATE, DELETE and the like, passed over unread

  TSqlTable* FindTable(const std::string& name);
  const TSqlTable* FindTable(const std::string& name) const;
};

// A statement that cannot be read is noted in `unread` and passed over. Throws TSqlScriptError
// only for a string, quoted name or comment that is never closed.
TSqlSchema ReadSqlSchema(const std::string& utf8Text);
// The same for a text that arrives in pieces: only one batch of it is held at a time.
TSqlSchema ReadSqlSchema(const TTextPieces& pieces);

// Equal ignoring ASCII case.
bool SameSqlName(const std::string& a, const std::string& b);

}  // namespace vbgen
