#pragma once
// The seed of a randomised test: QZ_TEST_SEED when set, so that a failing run can be
// replayed, else a fresh one. The seed goes to standard error at once (seen even when a
// sanitizer aborts the run) and into every failure message of the scope that holds it.
//
//   QZTest::TestSeed seed;                    // "QZ_TEST_SEED=2861 replays this run"
//   std::mt19937_64 random(seed.value);
//
// Replay: QZ_TEST_SEED=2861 build/test/tests/<Binary> --gtest_filter=<Test>.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <random>
#include <string>

namespace QZTest {

class TestSeed {
public:
  TestSeed() : value(Choose()), mTrace(__FILE__, __LINE__, Text(value)) { std::cerr << Text(value) << "\n"; }
  TestSeed(const TestSeed&) = delete;
  TestSeed& operator=(const TestSeed&) = delete;

  const uint64_t value;

private:
  static uint64_t Choose() {
    const char* given = std::getenv("QZ_TEST_SEED");
    return given != nullptr && *given != '\0' ? std::strtoull(given, nullptr, 10) : std::random_device()();
  }
  static std::string Text(uint64_t seed) { return "QZ_TEST_SEED=" + std::to_string(seed) + " replays this run"; }

  ::testing::ScopedTrace mTrace;
};

} // namespace QZTest
