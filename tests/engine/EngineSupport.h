// The real engine component, loaded as the program loads it, over a
// temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "component/ComponentRegistry.h"
#include "component/DatabaseEngine.h"
#include "tests/support/TestSupport.h"

using Row = std::vector<std::optional<std::string>>;  // nullopt is SQL NULL

struct Collected {
  std::vector<Row> rows;
  std::vector<std::string> names;
};

// Answers non-zero on purpose: the engine must deliver every row anyway.
inline int32_t Collect(void* context, int32_t count, char** texts, char** names) {
  auto* collected = static_cast<Collected*>(context);
  Row row;
  collected->names.clear();
  for (int32_t i = 0; i < count; ++i) {
    row.push_back(texts[i] ? std::optional<std::string>(texts[i]) : std::nullopt);
    collected->names.push_back(names[i]);
  }
  collected->rows.push_back(row);
  return 1;
}

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    engine = LoadDatabaseEngine(registry);
    ASSERT_NE(engine, nullptr);
  }
  void TearDown() override {
    if (engine) {
      engine->Close();
      engine->Release();
    }
    ReleaseModules(registry);
  }
  std::vector<Row> Query(const std::string& sql) {
    Collected collected;
    EXPECT_EQ(engine->Execute(sql.c_str(), &collected, Collect), 1) << sql << ": " << engine->LastError();
    return collected.rows;
  }

  ComponentRegistry registry;
  TempFolder folder;
  DatabaseEngine* engine = nullptr;
};
