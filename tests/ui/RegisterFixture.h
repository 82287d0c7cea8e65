// Each test gets a fresh folder with its own Ledger.dat and settings file, the
// real engine behind a wrapper that can refuse statements or stop dead, and the
// headless front end to act in the register window.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/SettingsFile.h"
#include "platform/headless/headless.h"
#include "resources/ProgramResources.h"
#include "resources/resource.h"
#include "tests/support/TempFolder.h"
#include "ui/RegisterWindow.h"

class TestEngine final : public DatabaseEngine {
 public:
  DatabaseEngine* real = nullptr;
  std::string refuse;   // statements that start with this fail
  std::string crashAt;  // at this statement the database is closed unsaved, as by a crash
  bool crashed = false;

  void AddRef() override { real->AddRef(); }
  void Release() override { real->Release(); }
  int32_t Close() override { return crashed ? 0 : real->Close(); }
  const char* LastError() override { return real->LastError(); }
  int32_t Open(const char* fileName) override { return real->Open(fileName); }
  int32_t Backup(const char* fileName) override { return real->Backup(fileName); }
  int32_t Execute(const char* sql, void* context, RowCallbackFn callback) override {
    std::string text = sql;
    if (!crashed && !crashAt.empty() && text.starts_with(crashAt)) {
      real->Close();
      crashed = true;
    }
    if (crashed || (!refuse.empty() && text.starts_with(refuse))) return 0;
    return real->Execute(sql, context, callback);
  }
};

class RegisterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseProgramResources();
    home = std::filesystem::current_path();
    ASSERT_FALSE(folder.path.empty());
    std::filesystem::current_path(folder.path);
    BuildSettingsPath();
    appState.instance = GetModuleHandleA(nullptr);
    appState.hideReconciled = 0;
    OpenDatabase();
  }

  void TearDown() override {
    CloseDatabase();
    std::filesystem::current_path(home);
  }

  void OpenDatabase() {
    engine = TestEngine();
    engine.real = LoadDatabaseEngine(appState.registry);
    ASSERT_NE(engine.real, nullptr);
    ASSERT_NE(engine.Open("Ledger.dat"), 0);
    appState.engine = &engine;
    OpenTables(&engine);
    appState.balancing = 0;
  }

  void CloseDatabase() {
    CloseTables();
    engine.Close();
    engine.Release();
  }

  // As leaving the program and starting it again.
  void Restart() {
    CloseDatabase();
    OpenDatabase();
  }

  // Runs the register window; the queued steps act in it, then it is closed.
  void Run() { DialogBoxParamA(appState.instance, MAKEINTRESOURCEA(IDD_REGISTER), nullptr, RegisterWindowProc, 0); }

  void Sql(const std::string& sql) { ASSERT_NE(appState.ledger->Execute(sql.c_str()), 0) << sql; }

  void AddAccount(double balance) {
    char sql[200];
    std::snprintf(sql, sizeof sql,
                  "INSERT INTO QAccounts VALUES (NULL, %.2f, 0, 0, 'Household', NULL, NULL, %.2f, 0, 0, NULL)",
                  balance, balance);
    Sql(sql);
    appState.accounts->ClearRows();
    appState.accounts->Select();
  }

  void AddRow(const std::string& date, int check, const std::string& payee, double debit, double credit,
              int status, int account = 1) {
    char numbers[120];
    std::snprintf(numbers, sizeof numbers, "%.3f, %.3f, %d, %d)", debit, credit, account, status);
    Sql("INSERT INTO QLedger VALUES (NULL, '" + date + "', " + std::to_string(check) + ", '" + payee + "', " +
        numbers);
  }

  // What the database holds, in key order: "date|check|payee|debit|credit|status".
  std::vector<std::string> Stored() {
    LedgerRecord table(engine.real, "QLedger");
    table.whereClause.Assign("mTransID != '0' ORDER BY mTransID");
    table.Select();
    std::vector<std::string> rows;
    for (TableRecord* row = table.FirstRow(); row != nullptr; row = row->nextRow) {
      auto* entry = static_cast<LedgerRecord*>(row);
      char text[200];
      std::snprintf(text, sizeof text, "%s|%d|%s|%.2f|%.2f|%d", entry->Date(), entry->mCheckNum, entry->Payee(),
                    entry->mDebit, entry->mCredit, entry->mStatus);
      rows.push_back(text);
    }
    table.ClearRows();
    return rows;
  }

  std::string StoredBalance() {
    AccountRecord table(engine.real, "QAccounts");
    table.Select();
    auto* account = static_cast<AccountRecord*>(table.FirstRow());
    char text[60] = "none";
    if (account != nullptr) std::snprintf(text, sizeof text, "$ %.2f", account->mAccBalance);
    table.ClearRows();
    return text;
  }

  std::string Setting(const char* key) {
    char value[200];
    GetPrivateProfileStringA(kSettingsSection, key, "", value, sizeof value, appState.iniPath.Text());
    return value;
  }

  // Types the five fields of the entry row.
  void Fill(const std::string& check, const std::string& date, const std::string& payee, const std::string& credit,
            const std::string& debit) {
    ui.Type(IDC_CHECKNUM, check);
    ui.Type(IDC_DATE, date);
    ui.Type(IDC_PAYEE, payee);
    ui.Type(IDC_CREDIT, credit);
    ui.Type(IDC_DEBIT, debit);
  }

  std::string LastMessage() {
    auto& boxes = ui.MessageBoxes();
    return boxes.empty() ? "" : boxes.back().caption + ": " + boxes.back().text;
  }

  headless::Session ui;
  TestEngine engine;
  std::filesystem::path home;
  TempFolder folder;  // removed with the fixture
};
