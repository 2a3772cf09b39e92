// Argument reading for the tool: typed texts, doubles via strtod, counts.
#include "cli/args.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>

namespace tavrin::cli {

TextValue ArgumentText(std::string_view argument) {
  return TextValue::Copy(argument);
}

double ParseDoubleArgument(const char* argument, std::string_view what) {
  char* end = nullptr;
  const double value = std::strtod(argument, &end);
  // Out-of-range values are kept as strtod gives them (an infinity or a
  // zero), so only a text that is not a number is refused.
  if (end == argument || *end != '\0') {
    throw UsageError(std::string(what) + " '" + argument + "' is not a number");
  }
  return value;
}

int ParseIntArgument(const char* argument, int low, int high, std::string_view what) {
  const std::string_view text(argument);
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low ||
      value > high) {
    throw UsageError(std::string(what) + " '" + argument + "' must be a whole number from " +
                     std::to_string(low) + " to " + std::to_string(high));
  }
  return value;
}

void RequireCount(Args args, std::size_t count, std::string_view usage) {
  if (args.size() != count) {
    throw UsageError("expected " + std::to_string(count) + " arguments, got " +
                     std::to_string(args.size()) + "; usage: " + std::string(usage));
  }
}

void RequireAtLeast(Args args, std::size_t count, std::string_view usage) {
  if (args.size() < count) {
    throw UsageError("expected at least " + std::to_string(count) + " arguments, got " +
                     std::to_string(args.size()) + "; usage: " + std::string(usage));
  }
}

}  // namespace tavrin::cli
