// The model store's single query helper: one SQLite connection for the whole process,
// shared by the window and the generation run, serialised by a mutex.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_value;

namespace vbgen {

// A database failure, carrying SQLite's own explanation.
class TDbError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A value bound to a statement parameter ("?"); values never become statement text.
using TSqlValue = std::variant<std::int64_t, std::string>;
using TSqlParams = std::vector<TSqlValue>;

struct TSqlStatement {
  std::string text;
  TSqlParams params;
};

// The rows of one select, read completely while the connection was held; columns by name.
class TRowSet {
 public:
  TRowSet(std::vector<std::string> columns, std::vector<std::vector<TSqlValue>> rows);

  std::size_t size() const { return rows_.size(); }
  bool empty() const { return rows_.empty(); }
  std::int64_t Int(std::size_t row, const std::string& column) const;
  std::string Text(std::size_t row, const std::string& column) const;
  // The first column of a row, for QueryInt and QueryString.
  const TSqlValue& First(std::size_t row) const;
  // A column's position, for reading many rows without looking the name up each time.
  std::size_t ColumnIndex(const std::string& column) const;
  std::int64_t IntAt(std::size_t row, std::size_t column) const;
  std::string TextAt(std::size_t row, std::size_t column) const;

 private:
  std::vector<std::string> columns_;
  std::vector<std::vector<TSqlValue>> rows_;
};

// The row a statement stands on, read in place by column position: valid only during the
// callback of ForEachRow it is handed to. Cells read as they do in a TRowSet: NULL as 0 and
// as "", a number as its digits, a text as the number it starts with.
class TRowView {
 public:
  explicit TRowView(sqlite3_stmt* statement);

  std::size_t ColumnCount() const { return count_; }
  bool IsNull(std::size_t column) const;
  std::int64_t Int(std::size_t column) const;
  std::string Text(std::size_t column) const;

 private:
  // The column's index for SQLite; throws TDbError past the last column.
  int At(std::size_t column) const;
  sqlite3_value* Value(std::size_t column) const;

  sqlite3_stmt* statement_;
  std::size_t count_;
};

class TDbHelper {
 public:
  // Where the shared connection opens its database; closes an open connection so the next
  // operation opens the new file. The program sets it once at start-up.
  static void SetDatabasePath(const std::filesystem::path& path);
  static std::filesystem::path DatabasePath();
  // Closes and discards the shared connection; the next operation opens a new one.
  static void Close();

  // Opens the shared connection on first use (creating the file and its three tables when
  // missing) and returns it. Callers must hold the connection lock (TDbTransaction or one of
  // the operations below do).
  sqlite3* GetConnection();

  TRowSet OpenQuery(const std::string& sql, const TSqlParams& params = {});
  // Hands each row of the select to `row` as the statement reaches it, the connection held
  // throughout: nothing is gathered, so a large result costs no memory of its own. The
  // callback may run other statements (even the same one) but must not close the connection;
  // what it throws ends the reading and reaches the caller.
  void ForEachRow(const std::string& sql, const TSqlParams& params,
                  const std::function<void(const TRowView&)>& row);
  void ExecuteSql(const std::string& sql, const TSqlParams& params = {});
  // Runs the statements in one transaction; on a failure rolls back and throws TDbError.
  void ExecuteSqlList(const std::vector<TSqlStatement>& statements);
  // First column of the first row as an integer; -1 when there is no row.
  int QueryInt(const std::string& sql, const TSqlParams& params = {});
  // First column of the first row as text; empty when there is no row.
  std::string QueryString(const std::string& sql, const TSqlParams& params = {});
};

// Holds the shared connection for one thread and wraps everything done meanwhile in one
// transaction: committed by Commit(), rolled back when left without it (an exception).
class TDbTransaction {
 public:
  TDbTransaction();
  ~TDbTransaction();
  TDbTransaction(const TDbTransaction&) = delete;
  TDbTransaction& operator=(const TDbTransaction&) = delete;

  void Commit();

 private:
  bool done_ = false;
};

}  // namespace vbgen
