#pragma once

#include <string>

#include "model/DbHelper.h"

namespace vbgen {

// Runs one insert and returns the key SQLite gave the new row. The key is read under the same
// hold of the shared connection, so no other thread's insert can come between.
int InsertRow(const std::string& sql, const TSqlParams& params);

}  // namespace vbgen
