#include "model/InsertRow.h"

#include <sqlite3.h>

namespace vbgen {

int InsertRow(const std::string& sql, const TSqlParams& params) {
  TDbTransaction transaction;
  TDbHelper db;
  db.ExecuteSql(sql, params);
  const sqlite3_int64 key = sqlite3_last_insert_rowid(db.GetConnection());
  transaction.Commit();
  return static_cast<int>(key);
}

}  // namespace vbgen
