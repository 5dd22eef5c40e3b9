#include "model/DbHelper.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>
#include <utility>

namespace vbgen {
namespace {

// The one shared connection of the process and the lock that serialises its use.
struct TSharedConnection {
  std::recursive_mutex mutex;
  sqlite3* db = nullptr;
  std::filesystem::path path = "projects.db";
  // Prepared statements by text: the statements of the model store are few and repeat often.
  std::map<std::string, sqlite3_stmt*> statements;

  void FinalizeStatements() {
    for (auto& [text, statement] : statements) sqlite3_finalize(statement);
    statements.clear();
  }
  // Makes room in the cache. A statement being stepped stays: a reader further up the stack
  // (ForEachRow) still steps it.
  void FinalizeIdleStatements() {
    std::erase_if(statements, [](const auto& entry) {
      if (sqlite3_stmt_busy(entry.second)) return false;
      sqlite3_finalize(entry.second);
      return true;
    });
  }
  bool AnyStatementStepping() const {
    return std::any_of(statements.begin(), statements.end(),
                       [](const auto& entry) { return sqlite3_stmt_busy(entry.second) != 0; });
  }
};

TSharedConnection& Shared() {
  static TSharedConnection shared;
  return shared;
}

constexpr const char* kSchema = R"(
create table t_project(
  projectId integer primary key autoincrement,
  projectName text);
create table t_class(
  classId integer primary key autoincrement,
  projectId integer,
  className text,
  friendName text,
  frontShowFlag integer);
create table t_member(
  memberId integer primary key autoincrement,
  projectId integer,
  classId integer,
  memberName text,
  memberType text,
  memberLength integer,
  memberIsPri integer,
  memberComment text,
  memberIsMust integer,
  memberIsInteger integer,
  memberIsFloat integer,
  queryFlag integer,
  memberIsDisplay integer,
  memberQueryDisplay integer,
  memberAllowNull integer default 0,
  memberKeyEntered integer default 0,
  memberSqlType text default '',
  memberPrecision integer default 0,
  memberScale integer default 0);
create index t_class_project on t_class(projectId);
create index t_member_class on t_member(classId);
pragma user_version = 1;
)";

// The store's layout, kept in the file's user_version. 0 is the layout of the first release
// (no version written); 1 adds the member columns below.
constexpr int kSchemaVersion = 1;

// The t_member columns version 1 added, as they are declared; a file of version 0 gets the
// missing ones with these defaults, which mean "as before" for every member it holds.
constexpr std::pair<const char*, const char*> kMemberColumnsOfVersion1[] = {
    {"memberAllowNull", "integer default 0"}, {"memberKeyEntered", "integer default 0"},
    {"memberSqlType", "text default ''"},     {"memberPrecision", "integer default 0"},
    {"memberScale", "integer default 0"},
};

// What the user can act on for a failure of the database file itself; empty for any other.
std::string FileProblem(int code) {
  switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return "模型数据库正被其他程序锁定，请关闭正在使用它的程序后重试";
    case SQLITE_NOTADB:
      return "该文件不是模型数据库";
    case SQLITE_CORRUPT:
      return "模型数据库已损坏，请用备份替换它";
    case SQLITE_READONLY:
      return "模型数据库是只读的，无法保存修改";
    case SQLITE_FULL:
      return "磁盘已满，无法保存模型数据库";
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
      return "无法读写模型数据库文件";
    default:
      return {};
  }
}

std::string DatabaseName() { return Shared().path.string(); }

[[noreturn]] void Fail(sqlite3* db, const std::string& what) {
  if (!db) throw TDbError(what + ": out of memory");
  const std::string problem = FileProblem(sqlite3_extended_errcode(db));
  if (!problem.empty()) {
    throw TDbError(problem + " (" + DatabaseName() + "): " + sqlite3_errmsg(db));
  }
  throw TDbError(what + ": " + sqlite3_errmsg(db));
}

void ExecPlain(sqlite3* db, const char* sql) {
  char* message = nullptr;
  const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &message);
  if (rc != SQLITE_OK) {
    std::string text = message ? message : "unknown error";
    sqlite3_free(message);
    const std::string problem = FileProblem(rc);
    if (!problem.empty()) throw TDbError(problem + " (" + DatabaseName() + "): " + text);
    throw TDbError(std::string("数据库操作失败: ") + text);
  }
}

// A statement from the connection's cache with its parameters bound; reset for its next use
// whatever happens. While the cached statement of the same text is being stepped (a row
// callback runs it again), a statement of its own is prepared and finalized afterwards. The
// caller holds the connection lock.
class TPrepared {
 public:
  TPrepared(sqlite3* db, const std::string& sql, const TSqlParams& params) : db_(db) {
    auto& cache = Shared().statements;
    const auto found = cache.find(sql);
    if (found != cache.end() && !sqlite3_stmt_busy(found->second)) {
      stmt_ = found->second;
    } else {
      if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt_, nullptr) !=
          SQLITE_OK) {
        Fail(db, "数据库语句有误 (" + sql + ")");
      }
      if (found != cache.end()) {
        owned_ = true;
      } else {
        if (cache.size() >= 128) Shared().FinalizeIdleStatements();
        cache.emplace(sql, stmt_);
      }
    }
    try {
      for (std::size_t i = 0; i < params.size(); ++i) Bind(static_cast<int>(i) + 1, params[i]);
    } catch (...) {
      Release();
      throw;
    }
  }
  ~TPrepared() { Release(); }
  TPrepared(const TPrepared&) = delete;
  TPrepared& operator=(const TPrepared&) = delete;

  // Steps once; true while a row is available.
  bool Step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    Fail(db_, "数据库操作失败 (" + std::string(sqlite3_sql(stmt_)) + ")");
  }
  sqlite3_stmt* get() const { return stmt_; }

 private:
  void Release() {
    if (owned_) {
      sqlite3_finalize(stmt_);
    } else {
      sqlite3_reset(stmt_);
      sqlite3_clear_bindings(stmt_);
    }
  }

  void Bind(int index, const TSqlValue& value) {
    int rc;
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
      rc = sqlite3_bind_int64(stmt_, index, *number);
    } else {
      const auto& text = std::get<std::string>(value);
      rc = sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                             SQLITE_TRANSIENT);
    }
    if (rc != SQLITE_OK) Fail(db_, "数据库参数绑定失败");
  }

  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
  bool owned_ = false;
};

TSqlValue ReadColumn(sqlite3_stmt* stmt, int column) {
  switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
      return static_cast<std::int64_t>(sqlite3_column_int64(stmt, column));
    case SQLITE_NULL:
      return std::string();
    default: {
      const auto* bytes = sqlite3_column_text(stmt, column);
      int size = sqlite3_column_bytes(stmt, column);
      return std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size));
    }
  }
}

// The first column of the first row of a statement run outside the statement cache (the
// connection is not shared yet); -1 when there is no row.
int ReadInt(sqlite3* db, const std::string& sql, const TSqlParams& params = {}) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    Fail(db, "无法读取模型数据库");
  }
  int rc = SQLITE_OK;
  for (std::size_t i = 0; i < params.size() && rc == SQLITE_OK; ++i) {
    const auto& text = std::get<std::string>(params[i]);
    rc = sqlite3_bind_text(statement, static_cast<int>(i) + 1, text.data(),
                           static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }
  if (rc == SQLITE_OK) rc = sqlite3_step(statement);
  const int value = rc == SQLITE_ROW ? sqlite3_column_int(statement, 0) : -1;
  sqlite3_finalize(statement);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) Fail(db, "无法读取模型数据库");
  return value;
}

int CountTables(sqlite3* db) { return ReadInt(db, "select count(*) from sqlite_master"); }

bool HasMemberColumn(sqlite3* db, const std::string& column) {
  return ReadInt(db, "select count(*) from pragma_table_info('t_member') where name=?", {column}) >
         0;
}

// Brings a file of an earlier layout up to this one inside the caller's transaction, so a
// failure (a read-only or locked file) leaves it exactly as it was. Columns a file already has
// are kept: adding them again would fail, and their values are the user's.
void UpgradeSchema(sqlite3* db) {
  const int version = ReadInt(db, "pragma user_version");
  if (version == kSchemaVersion) return;
  if (version > kSchemaVersion) {
    throw TDbError("模型数据库 (" + DatabaseName() + ") 由更新版本的程序创建 (格式版本 " +
                   std::to_string(version) + ", 本程序只认识到版本 " +
                   std::to_string(kSchemaVersion) + "), 请用更新版本的程序打开它");
  }
  try {
    for (const auto& [column, declaration] : kMemberColumnsOfVersion1) {
      if (HasMemberColumn(db, column)) continue;
      ExecPlain(
          db,
          (std::string("alter table t_member add column ") + column + " " + declaration).c_str());
    }
    ExecPlain(db, ("pragma user_version = " + std::to_string(kSchemaVersion)).c_str());
  } catch (const TDbError& error) {
    throw TDbError(std::string("模型数据库是旧版本的格式, 打开前需要升级, 但升级没有完成, ") +
                   "文件保持原样: " + error.what());
  }
}

}  // namespace

TRowSet::TRowSet(std::vector<std::string> columns, std::vector<std::vector<TSqlValue>> rows)
    : columns_(std::move(columns)), rows_(std::move(rows)) {}

std::size_t TRowSet::ColumnIndex(const std::string& column) const {
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (columns_[i] == column) return i;
  }
  throw TDbError("查询结果中没有列 " + column);
}

const TSqlValue& TRowSet::First(std::size_t row) const {
  if (columns_.empty()) throw TDbError("查询结果没有列");
  return rows_.at(row).at(0);
}

namespace {
std::int64_t AsInt(const TSqlValue& value) {
  if (const auto* number = std::get_if<std::int64_t>(&value)) return *number;
  return std::strtoll(std::get<std::string>(value).c_str(), nullptr, 10);
}
std::string AsText(const TSqlValue& value) {
  if (const auto* number = std::get_if<std::int64_t>(&value)) return std::to_string(*number);
  return std::get<std::string>(value);
}
}  // namespace

TRowView::TRowView(sqlite3_stmt* statement)
    : statement_(statement), count_(static_cast<std::size_t>(sqlite3_column_count(statement))) {}

int TRowView::At(std::size_t column) const {
  if (column >= count_) {
    throw TDbError("查询结果只有" + std::to_string(count_) + "列, 没有第" +
                   std::to_string(column + 1) + "列");
  }
  return static_cast<int>(column);
}

// The value of the current row's column, read through the value functions: each of the
// column functions would look the column up again and check for a failed allocation. The value
// is unprotected, which is safe here: the statement is stepped under the connection's lock.
sqlite3_value* TRowView::Value(std::size_t column) const {
  return sqlite3_column_value(statement_, At(column));
}

bool TRowView::IsNull(std::size_t column) const {
  return sqlite3_value_type(Value(column)) == SQLITE_NULL;
}

std::int64_t TRowView::Int(std::size_t column) const {
  sqlite3_value* value = Value(column);
  switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
      return sqlite3_value_int64(value);
    case SQLITE_NULL:
      return 0;
    default: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
      return text ? std::strtoll(text, nullptr, 10) : 0;
    }
  }
}

std::string TRowView::Text(std::size_t column) const {
  sqlite3_value* value = Value(column);
  switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
      return std::to_string(sqlite3_value_int64(value));
    case SQLITE_NULL:
      return {};
    default: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
      const auto size = static_cast<std::size_t>(sqlite3_value_bytes(value));
      return text ? std::string(text, size) : std::string();
    }
  }
}

std::int64_t TRowSet::IntAt(std::size_t row, std::size_t column) const {
  return AsInt(rows_.at(row).at(column));
}

std::string TRowSet::TextAt(std::size_t row, std::size_t column) const {
  return AsText(rows_.at(row).at(column));
}

std::int64_t TRowSet::Int(std::size_t row, const std::string& column) const {
  return AsInt(rows_.at(row).at(ColumnIndex(column)));
}

std::string TRowSet::Text(std::size_t row, const std::string& column) const {
  return AsText(rows_.at(row).at(ColumnIndex(column)));
}

void TDbHelper::SetDatabasePath(const std::filesystem::path& path) {
  auto& shared = Shared();
  std::lock_guard lock(shared.mutex);
  Close();
  shared.path = path;
}

std::filesystem::path TDbHelper::DatabasePath() {
  auto& shared = Shared();
  std::lock_guard lock(shared.mutex);
  return shared.path;
}

void TDbHelper::Close() {
  auto& shared = Shared();
  std::lock_guard lock(shared.mutex);
  // Finalizing a statement under a reader's feet would leave it stepping freed memory.
  if (shared.AnyStatementStepping()) throw TDbError("正在读取模型数据库, 不能关闭它");
  if (shared.db) {
    shared.FinalizeStatements();
    sqlite3_close_v2(shared.db);
    shared.db = nullptr;
  }
}

sqlite3* TDbHelper::GetConnection() {
  auto& shared = Shared();
  std::lock_guard lock(shared.mutex);
  if (shared.db) return shared.db;
  sqlite3* db = nullptr;
  // Every use holds the connection lock already: SQLite's own lock, taken again by each call
  // (several per cell read), would only cost time.
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
  if (sqlite3_open_v2(shared.path.string().c_str(), &db, flags, nullptr) != SQLITE_OK) {
    std::string message = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close_v2(db);
    throw TDbError("无法打开模型数据库 " + shared.path.string() + ": " + message);
  }
  sqlite3_busy_timeout(db, 5000);
  try {
    // A new file, an empty (0-byte) one and one without any table alike get the three
    // tables; the check also tells a file that is not a database, or a damaged one, at once.
    // A file of an earlier layout is upgraded in the same transaction: wholly or not at all.
    ExecPlain(db, "begin");
    if (CountTables(db) == 0) {
      ExecPlain(db, kSchema);
    } else {
      UpgradeSchema(db);
    }
    ExecPlain(db, "commit");
  } catch (...) {
    // Never delete the file: it may hold someone's model that only failed to open.
    sqlite3_close_v2(db);
    throw;
  }
  shared.db = db;
  return db;
}

TRowSet TDbHelper::OpenQuery(const std::string& sql, const TSqlParams& params) {
  std::lock_guard lock(Shared().mutex);
  sqlite3* db = GetConnection();
  TPrepared statement(db, sql, params);
  int count = sqlite3_column_count(statement.get());
  std::vector<std::string> columns;
  for (int i = 0; i < count; ++i) columns.emplace_back(sqlite3_column_name(statement.get(), i));
  std::vector<std::vector<TSqlValue>> rows;
  while (statement.Step()) {
    std::vector<TSqlValue> row;
    row.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) row.push_back(ReadColumn(statement.get(), i));
    rows.push_back(std::move(row));
  }
  return TRowSet(std::move(columns), std::move(rows));
}

void TDbHelper::ForEachRow(const std::string& sql, const TSqlParams& params,
                           const std::function<void(const TRowView&)>& row) {
  std::lock_guard lock(Shared().mutex);
  TPrepared statement(GetConnection(), sql, params);
  const TRowView view(statement.get());
  while (statement.Step()) row(view);
}

void TDbHelper::ExecuteSql(const std::string& sql, const TSqlParams& params) {
  std::lock_guard lock(Shared().mutex);
  TPrepared statement(GetConnection(), sql, params);
  while (statement.Step()) {
  }
}

void TDbHelper::ExecuteSqlList(const std::vector<TSqlStatement>& statements) {
  TDbTransaction transaction;
  for (const auto& statement : statements) ExecuteSql(statement.text, statement.params);
  transaction.Commit();
}

int TDbHelper::QueryInt(const std::string& sql, const TSqlParams& params) {
  TRowSet rows = OpenQuery(sql, params);
  if (rows.empty()) return -1;
  return static_cast<int>(AsInt(rows.First(0)));
}

std::string TDbHelper::QueryString(const std::string& sql, const TSqlParams& params) {
  TRowSet rows = OpenQuery(sql, params);
  if (rows.empty()) return {};
  return AsText(rows.First(0));
}

// Savepoints nest, so an operation that runs in a transaction may call another that does.
TDbTransaction::TDbTransaction() {
  auto& shared = Shared();
  shared.mutex.lock();
  try {
    ExecPlain(TDbHelper().GetConnection(), "savepoint vbgen");
  } catch (...) {
    shared.mutex.unlock();
    throw;
  }
}

void TDbTransaction::Commit() {
  ExecPlain(TDbHelper().GetConnection(), "release vbgen");
  done_ = true;
}

TDbTransaction::~TDbTransaction() {
  auto& shared = Shared();
  if (!done_ && shared.db) {
    sqlite3_exec(shared.db, "rollback to vbgen; release vbgen", nullptr, nullptr, nullptr);
  }
  shared.mutex.unlock();
}

}  // namespace vbgen
