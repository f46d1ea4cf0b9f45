#include "Boundary.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

namespace {

TEST(Boundary, WhateverIsThrownBecomesOneMessage) {
  const struct {
    std::function<void()> thrower;
    std::string message;
  } cases[] = {
      {[] { throw std::bad_alloc(); }, "Not enough memory to complete the export."},
      {[] { throw "Invalid feature name"; }, "Invalid feature name"},
      {[] { throw std::logic_error("vector::_M_range_check"); }, "The export failed: vector::_M_range_check"},
      {[] { throw 42; }, "The export failed: unknown error"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ryn::GuardedMessage([&]() -> const char* {
                c.thrower();
                return nullptr;
              }),
              c.message);
  }
  EXPECT_EQ(ryn::Guarded(-1, []() -> int { throw std::bad_alloc(); }), -1);
  EXPECT_EQ(ryn::TableFailure(std::bad_alloc().what()).message(), "Not enough memory to complete the export.")
      << "a table that ran out of memory while reading";
  EXPECT_EQ(ryn::TableFailure("ERROR 0009: Empty file!").message(), "ERROR 0009: Empty file!");
}

}  // namespace
