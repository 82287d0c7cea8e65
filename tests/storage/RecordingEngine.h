// An engine that records every statement and answers each with the rows
// queued for it, so tests see exactly what the records send.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "component/DatabaseEngine.h"

using Row = std::vector<std::optional<std::string>>;  // nullopt is SQL NULL

class RecordingEngine final : public DatabaseEngine {
 public:
  ~RecordingEngine() = default;
  void AddRef() override {}
  void Release() override {}
  int32_t Close() override { return 1; }
  const char* LastError() override { return ""; }
  int32_t Open(const char*) override { return 1; }
  int32_t Backup(const char*) override { return 0; }

  int32_t Execute(const char* sql, void* context, RowCallbackFn callback) override {
    statements.push_back(sql);
    if (!refuse.empty() && std::string(sql).starts_with(refuse)) return 0;
    std::vector<Row> rows;
    rows.swap(nextRows);
    for (Row& row : rows) {
      std::vector<std::string> names(row.size(), "column");
      std::vector<char*> texts, namePointers;
      for (size_t i = 0; i < row.size(); ++i) {
        texts.push_back(row[i] ? row[i]->data() : nullptr);
        namePointers.push_back(names[i].data());
      }
      callback(context, static_cast<int32_t>(row.size()), texts.data(), namePointers.data());
    }
    return result;
  }

  std::string Last() const { return statements.empty() ? "" : statements.back(); }

  std::vector<std::string> statements;
  std::vector<Row> nextRows;  // delivered by the next Execute
  int32_t result = 1;
  std::string refuse;  // statements beginning so are answered 0
};
