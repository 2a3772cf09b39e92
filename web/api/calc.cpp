// calc: the four typed texts of the calculator's boxes -> the text its result
// box shows, as `tavrin calc N A V I` prints it.
#include "api_json.h"
#include "cli/reading.h"
#include "web/api.h"

namespace tavrin::web {

std::string Calc(std::string_view json) {
  return Guarded([json] {
    const Json in = ParseObject(json);
    const cli::ReadingResult reading = cli::ComputeReading(
        StringField(in, "n"), StringField(in, "a"), StringField(in, "v"), StringField(in, "i"));
    return Json{{"rho", reading.text}};
  });
}

}  // namespace tavrin::web
