#pragma once

#include <ostrel/logging/logging_manager.h>

#include <gtest/gtest.h>

#include <mutex>
#include <sstream>
#include <string>
#include <vector>

namespace ostrel::testing {

/// Fixture that silences the console and collects every delivered record.
class CapturedLogging : public ::testing::Test {
 protected:
  void SetUp() override {
    manager().resetConfiguration();
    std::istringstream quiet("logToConsole=false");
    manager().loadProperties(quiet);
    manager().addSink([this](LogRecord const& record) {
      std::lock_guard<std::mutex> lock(mutex_);
      records_.push_back(record);
    });
  }

  void TearDown() override { manager().resetConfiguration(); }

  static LoggingManager& manager() { return LoggingManager::getInstance(); }

  void load(std::string const& properties) {
    std::istringstream text(properties);
    manager().loadProperties(text);
  }

  std::vector<LogRecord> records() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return records_;
  }

  void clearRecords() {
    std::lock_guard<std::mutex> lock(mutex_);
    records_.clear();
  }

 private:
  mutable std::mutex mutex_;
  std::vector<LogRecord> records_;
};

}  // namespace ostrel::testing
