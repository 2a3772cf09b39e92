// Splitting batch input lines into fields and quoting CSV output fields.
#include "sounding/csv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::sounding {
namespace {

struct SplitCase {
  std::string line;
  std::vector<std::string> fields;
};

TEST(SplitFields, SeparatorsQuotesAndEmptyFields) {
  const std::vector<SplitCase> cases = {
      {"1,50,2.0,2.0", {"1", "50", "2.0", "2.0"}},
      {"1 50 2.0 2.0", {"1", "50", "2.0", "2.0"}},
      {"1\t50\t2.0\t2.0", {"1", "50", "2.0", "2.0"}},
      {"  1 ,\t50 ,  2.0\t \t2.0  ", {"1", "50", "2.0", "2.0"}},
      {"1,50,2.0,2.0\r", {"1", "50", "2.0", "2.0"}},
      {"1,,2.0,", {"1", "", "2.0", ""}},
      {",1", {"", "1"}},
      {",", {"", ""}},
      {"1, ,2", {"1", "", "2"}},
      {"", {}},
      {"   ", {}},
      {"\"1,5\",50", {"1,5", "50"}},
      {"\"a \"\"b\"\" c\" 7", {"a \"b\" c", "7"}},
      {"\"unclosed, runs on", {"unclosed, runs on"}},
      {"\"\",2", {"", "2"}},
      {"\"2\"V,3", {"2V", "3"}},
      {"2.0V\",3", {"2.0V\"", "3"}},
      {"&HFFFF -1e5 .5", {"&HFFFF", "-1e5", ".5"}},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE("line: " + c.line);
    EXPECT_EQ(SplitFields(c.line), c.fields);
  }
}

TEST(SplitFields, VeryLongLine) {
  const std::string longField(1 << 20, '7');
  const std::vector<std::string> fields = SplitFields("1," + longField + ",3,4");
  ASSERT_EQ(fields.size(), 4u);
  EXPECT_EQ(fields[1], longField);
  EXPECT_EQ(fields[3], "4");
}

// The copy-free split gives SplitFields' first fields and count on every
// unquoted line: random lines of separators, digits and stray carriage
// returns, each cut at every field limit from 0 to 5.
TEST(SplitUnquotedFields, AgreesWithSplitFields) {
  constexpr std::string_view kAlphabet = "1.,, \t\rx";
  constexpr int kLines = 20000;
  constexpr int kLongestLine = 12;
  constexpr std::size_t kMostFields = 5;
  std::mt19937 random(7);
  for (int n = 0; n < kLines; ++n) {
    std::string line(random() % (kLongestLine + 1), ' ');
    for (char& c : line) c = kAlphabet[random() % kAlphabet.size()];
    const std::vector<std::string> expected = SplitFields(line);
    for (std::size_t limit = 0; limit <= kMostFields; ++limit) {
      std::array<std::string_view, kMostFields> fields;
      const std::size_t count = SplitUnquotedFields(line, std::span(fields.data(), limit));
      ASSERT_EQ(count, std::min(limit, expected.size())) << "line: " << line;
      for (std::size_t k = 0; k < count; ++k) ASSERT_EQ(fields[k], expected[k]) << "line: " << line;
    }
  }
}

TEST(IsBlankOrComment, Lines) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"", true},           {"   \t", true},    {"\r", true},     {"# readings", true},
      {"  #x,1,2,3", true}, {"1,2,3,4", false}, {"1 # 2", false}, {",", false},
      {"n a v i", false},   {"\v", false},
  };
  for (const auto& [line, expected] : cases) {
    SCOPED_TRACE("line: " + line);
    EXPECT_EQ(IsBlankOrComment(line), expected);
  }
}

TEST(AppendCsvField, QuotesOnlyWhereNeeded) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"314.2", "314.2"},   {"", ""},
      {"1,5", "\"1,5\""},   {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"\"", "\"\"\"\""},   {" 50", "\" 50\""},
      {"a\tb", "\"a\tb\""}, {"line\nbreak", "\"line\nbreak\""},
      {"cr\r", "\"cr\r\""}, {"&H10", "&H10"},
  };
  for (const auto& [field, expected] : cases) {
    SCOPED_TRACE("field: " + field);
    std::string out = "x,";
    AppendCsvField(out, field);
    EXPECT_EQ(out, "x," + expected);
  }
}

// What the writer quotes, the splitter reads back unchanged.
TEST(AppendCsvField, SplitReadsWrittenFieldsBack) {
  const std::vector<std::vector<std::string>> rows = {
      {"1,5", "50", "2.0", "2.0"},
      {"a \"quoted\" text", " lead", "trail ", ""},
      {"", "", "", "x"},
  };
  for (const std::vector<std::string>& row : rows) {
    std::string line;
    for (const std::string& field : row) {
      if (!line.empty() || &field != &row.front()) line += ',';
      AppendCsvField(line, field);
    }
    SCOPED_TRACE("line: " + line);
    EXPECT_EQ(SplitFields(line), row);
  }
}

}  // namespace
}  // namespace tavrin::sounding
