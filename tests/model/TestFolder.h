// A fixture with an empty folder of its own for each test, named after the test and the
// run's seed, removed afterwards.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

class TestFolder : public ::testing::Test {
protected:
  explicit TestFolder(std::string stem) : stem_(std::move(stem)) {}
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           (stem_ + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  std::filesystem::path dir_;

private:
  std::string stem_;
};
