// Reading the model file of forward --model (see model_file.h).
#include "cli/model_file.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <vector>

#include "numtext/double_chars.h"
#include "sounding/csv.h"

namespace tavrin::cli {

std::optional<double> ParseNumber(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = FromChars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

sounding::LayeredModel ParseModelFile(std::string_view text, const std::string& path) {
  sounding::LayeredModel model;
  bool last = false;      // a layer without thickness was read: the half-space
  bool seenLine = false;  // a line other than blank or comment was read
  long lineNumber = 0;
  // A byte-order mark ("CSV UTF-8") is no part of the first line.
  std::size_t start = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view line(text.data() + start, end - start);
    start = end + 1;
    ++lineNumber;
    if (sounding::IsBlankOrComment(line)) continue;
    const std::string where = path + ":" + std::to_string(lineNumber) + ": ";
    std::vector<std::string> fields = sounding::SplitFields(line);
    // Only the first line may be a header, and only one whose fields are all
    // words: a mistyped number (1O0, or O100 beside a thickness) is an error,
    // not a lost top layer.
    const bool first = !seenLine;
    seenLine = true;
    if (first && std::all_of(fields.begin(), fields.end(), [](const std::string& field) {
          return field.empty() || std::isalpha(static_cast<unsigned char>(field.front()));
        })) {
      continue;
    }
    if (last) throw InputError(where + "a layer below the half-space (its thickness is empty)");
    model.resistivity.push_back(PositiveNumber<InputError>(fields[0], where + "resistivity"));
    if (fields.size() > 1 && !fields[1].empty()) {
      model.thickness.push_back(PositiveNumber<InputError>(fields[1], where + "thickness"));
    } else {
      last = true;
    }
  }
  if (!last) throw InputError(path + ": the last layer needs an empty thickness (a half-space)");
  return model;
}

}  // namespace tavrin::cli
