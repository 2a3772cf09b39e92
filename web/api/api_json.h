// The web interface's JSON: reading the fields of an input object with one-line
// errors that name the field, and numbers written with every digit.
#pragma once

#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/args.h"

namespace tavrin::web {

using Json = nlohmann::ordered_json;

// The input text as an object; throws cli::UsageError for anything else.
Json ParseObject(std::string_view text);

// A field that must be there, a string; throws cli::UsageError naming it.
std::string StringField(const Json& in, const char* name);
// A string field, or `fallback` when absent or null.
std::string StringOr(const Json& in, const char* name, std::string fallback);
// A number field, nothing when absent or null.
std::optional<double> NumberField(const Json& in, const char* name);
// A boolean field, false when absent or null.
bool FlagField(const Json& in, const char* name);
// An array of numbers (null entries are NaN); empty when absent or null.
std::vector<double> NumberList(const Json& in, const char* name);
// An array of strings; empty when absent or null.
std::vector<std::string> StringList(const Json& in, const char* name);
// A number or a string, as the text the tool's argument would be: numbers
// as their shortest text, integers as written. Empty when absent or null.
std::string ArgumentField(const Json& in, const char* name);

// A double with every digit; null for NaN and infinity.
Json Number(double value);
// The same for each value.
Json Numbers(const std::vector<double>& values);

// The object as text; bytes that are no UTF-8 replaced.
std::string Dump(const Json& out);

// A failure with a partial result worth returning beside its message.
class PartialFailure : public std::runtime_error {
 public:
  PartialFailure(const std::string& message, Json partial)
      : std::runtime_error(message), partial_(std::move(partial)) {}
  const Json& partial() const { return partial_; }

 private:
  Json partial_;
};

// The text of what `body` returns, or of {"error": one line} (after a
// PartialFailure's fields) for whatever it throws.
std::string Guarded(const std::function<Json()>& body);

}  // namespace tavrin::web
