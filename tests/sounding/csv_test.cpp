// Splitting batch input lines into fields and quoting CSV output fields.
#include "sounding/csv.h"

#include <gtest/gtest.h>

#include <string>
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
