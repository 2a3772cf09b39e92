// Exit-code checks of code that ends the process, as gtest death tests where
// gtest has them. Where it has none (WebAssembly: a program cannot start a
// copy of itself) the test is reported as skipped; the statement is still
// compiled.
#pragma once

#include <gtest/gtest.h>

#if GTEST_HAS_DEATH_TEST
#define TAVRIN_EXPECT_EXIT_CODE(statement, code) \
  EXPECT_EXIT(statement, ::testing::ExitedWithCode(code), "")
#else
#define TAVRIN_EXPECT_EXIT_CODE(statement, code)        \
  do {                                                  \
    if (false) {                                        \
      statement;                                        \
      (void)(code);                                     \
    }                                                   \
    GTEST_SKIP() << "this platform has no death tests"; \
  } while (false)
#endif
