// Reading and writing the web interface's JSON.
#include "api_json.h"

#include <cmath>

#include "cli/survey_options.h"

namespace tavrin::web {

namespace {

[[noreturn]] void WrongField(const char* name, const char* what) {
  throw cli::UsageError(std::string("\"") + name + "\" must be " + what);
}

// The field, or nullptr when absent or null.
const Json* Present(const Json& in, const char* name) {
  const auto it = in.find(name);
  return it == in.end() || it->is_null() ? nullptr : &*it;
}

}  // namespace

Json ParseObject(std::string_view text) {
  Json in = Json::parse(text, nullptr, false);
  if (in.is_discarded()) throw cli::UsageError("the input is not JSON");
  if (!in.is_object()) throw cli::UsageError("the input is not a JSON object");
  return in;
}

std::string StringField(const Json& in, const char* name) {
  const Json* field = Present(in, name);
  if (field == nullptr || !field->is_string()) WrongField(name, "a string");
  return field->get<std::string>();
}

std::string StringOr(const Json& in, const char* name, std::string fallback) {
  return Present(in, name) == nullptr ? fallback : StringField(in, name);
}

std::optional<double> NumberField(const Json& in, const char* name) {
  const Json* field = Present(in, name);
  if (field == nullptr) return std::nullopt;
  if (!field->is_number()) WrongField(name, "a number or null");
  return field->get<double>();
}

bool FlagField(const Json& in, const char* name) {
  const Json* field = Present(in, name);
  if (field == nullptr) return false;
  if (!field->is_boolean()) WrongField(name, "true, false or null");
  return field->get<bool>();
}

std::vector<double> NumberList(const Json& in, const char* name) {
  std::vector<double> values;
  const Json* field = Present(in, name);
  if (field == nullptr) return values;
  if (!field->is_array()) WrongField(name, "an array of numbers or null");
  for (const Json& item : *field) {
    if (item.is_null()) {
      values.push_back(NAN);
    } else if (item.is_number()) {
      values.push_back(item.get<double>());
    } else {
      WrongField(name, "an array of numbers or null");
    }
  }
  return values;
}

std::vector<std::string> StringList(const Json& in, const char* name) {
  std::vector<std::string> values;
  const Json* field = Present(in, name);
  if (field == nullptr) return values;
  if (!field->is_array()) WrongField(name, "an array of strings");
  for (const Json& item : *field) {
    if (!item.is_string()) WrongField(name, "an array of strings");
    values.push_back(item.get<std::string>());
  }
  return values;
}

std::string ArgumentField(const Json& in, const char* name) {
  const Json* field = Present(in, name);
  if (field == nullptr) return {};
  if (field->is_string()) return field->get<std::string>();
  if (field->is_number_integer()) return field->dump();
  if (field->is_number()) return cli::ShortestText(field->get<double>());
  WrongField(name, "a number, a string or null");
}

Json Number(double value) {
  return std::isfinite(value) ? Json(value) : Json(nullptr);
}

Json Numbers(const std::vector<double>& values) {
  Json out = Json::array();
  for (const double value : values) out.push_back(Number(value));
  return out;
}

std::string Dump(const Json& out) {
  return out.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string Guarded(const std::function<Json()>& body) {
  Json partial = Json::object();
  std::string message;
  try {
    return Dump(body());
  } catch (const PartialFailure& failure) {
    partial = failure.partial();
    message = failure.what();
  } catch (const Json::exception& error) {
    message = std::string("the input's JSON: ") + error.what();
  } catch (const std::bad_alloc&) {
    message = "out of memory";
  } catch (const std::exception& error) {
    message = error.what();
  } catch (...) {
    message = "an unexpected failure";
  }
  partial["error"] = message;
  return Dump(partial);
}

}  // namespace tavrin::web
