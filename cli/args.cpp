// Argument reading for the tool: typed texts, doubles via strtod, counts.
#include "cli/args.h"

#include <charconv>
#include <cstdlib>

namespace tavrin::cli {

std::string InputName(std::string_view path) {
  return path == "-" ? std::string("stdin") : std::string(path);
}

TextValue ArgumentText(std::string_view argument) {
  return TextValue::Copy(argument);
}

double ParseDoubleArgument(const std::string& argument, std::string_view what) {
  char* end = nullptr;
  const double value = std::strtod(argument.c_str(), &end);
  // Out-of-range values are kept as strtod gives them (an infinity or a
  // zero), so only a text that is not a number is refused. A text with a
  // zero byte is a number only up to it.
  if (end == argument.c_str() || end != argument.c_str() + argument.size()) {
    throw UsageError(std::string(what) + " '" + argument + "' is not a number");
  }
  return value;
}

int ParseIntArgument(const std::string& argument, int low, int high, std::string_view what) {
  int value = 0;
  const char* last = argument.data() + argument.size();
  const auto [end, error] = std::from_chars(argument.data(), last, value);
  if (argument.empty() || error != std::errc() || end != last || value < low || value > high) {
    throw UsageError(std::string(what) + " '" + argument + "' must be a whole number from " +
                     std::to_string(low) + " to " + std::to_string(high));
  }
  return value;
}

}  // namespace tavrin::cli
