// The command-line tail: where the program name and its spaces end.
#include <gtest/gtest.h>

#include <string>

#include "runtime/start_process.h"

namespace tavrin {
namespace {

struct TailCase {
  const char* name;
  std::string commandLine;  // may hold bytes that need std::string
  std::size_t tailOffset;   // where the tail starts in commandLine
};

class CommandTail : public testing::TestWithParam<TailCase> {};

TEST_P(CommandTail, StartsWhereTheNameAndItsSpacesEnd) {
  const TailCase& c = GetParam();
  const char* line = c.commandLine.c_str();
  const char* tail = SkipProgramName(line);
  // The tail is a position inside the command line, never a copy.
  ASSERT_GE(tail, line);
  ASSERT_LE(tail, line + c.commandLine.size());
  EXPECT_EQ(static_cast<std::size_t>(tail - line), c.tailOffset)
      << "tail was \"" << tail << "\", expected \"" << line + c.tailOffset << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandTail,
    testing::Values(
        TailCase{"QuotedPathWithSpaces", "\"C:\\Program Files\\calc.exe\"  -x y", 29},
        TailCase{"UnquotedNameThreeSpaces", "calc   a", 7}, TailCase{"NameAlone", "calc.exe", 8},
        TailCase{"NameThenTab", "calc\ta", 4}, TailCase{"UnclosedQuote", "\"C:\\calc a b", 12},
        TailCase{"LeadingSpacesMakeTheNameEmpty", "   calc a", 3}, TailCase{"EmptyLine", "", 0},
        TailCase{"EmptyQuotes", "\"\"", 2}, TailCase{"EmptyQuotesThenArgument", "\"\" a", 3},
        TailCase{"QuotedNameAlone", "\"calc\"", 6},
        // Only spaces are skipped after a quoted name, not the bytes that
        // follow the closing quote.
        TailCase{"TextRightAfterClosingQuote", "\"a b\"c d", 5},
        TailCase{"TabAfterClosingQuote", "\"a b\"\tc", 5},
        TailCase{"SpacesThenTabAfterName", "calc  \t a", 6},
        TailCase{"ControlByteEndsName", "calc\x01x", 4},
        TailCase{"HighBytesBelongToName", "ca\xE9\xFFlc x", 7},
        TailCase{"TrailingSpacesOnly", "calc   ", 7},
        TailCase{"QuoteInsideUnquotedName", "ca\"lc x\" y", 6}, TailCase{"OnlySpaces", "    ", 4}),
    [](const testing::TestParamInfo<TailCase>& param_info) {
      return std::string(param_info.param.name);
    });

TEST(CommandTailNull, NullLineGivesEmptyTail) {
  const char* tail = SkipProgramName(nullptr);
  ASSERT_NE(tail, nullptr);
  EXPECT_EQ(*tail, '\0');
}

}  // namespace
}  // namespace tavrin
