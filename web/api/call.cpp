// The interface's functions by name, and its version.
#include <array>

#include "api_json.h"
#include "cli/commands.h"
#include "web/api.h"

namespace tavrin::web {

namespace {

struct Function {
  std::string_view name;
  std::string (*run)(std::string_view json);
};
constexpr std::array kFunctions{
    Function{"calc", Calc},
    Function{"read_sheet", ReadSheet},
    Function{"invert", Invert},
    Function{"forward", Forward},
    Function{"forward_curve", ForwardCurve},
    Function{"version", Version},
};

}  // namespace

std::string Version(std::string_view) {
  return Dump(Json{{"version", std::string(cli::Version())}});
}

std::string Call(std::string_view function, std::string_view json) {
  for (const Function& f : kFunctions) {
    if (f.name == function) return f.run(json);
  }
  return Guarded([function]() -> Json {
    throw cli::UsageError("no function '" + std::string(function) +
                          "' (calc, read_sheet, invert, forward, forward_curve, version)");
  });
}

}  // namespace tavrin::web
