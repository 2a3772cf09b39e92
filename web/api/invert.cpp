// invert: a field sheet read as read_sheet reads it and fitted as `tavrin
// invert --json` fits it; the object that command prints, the sheet as read,
// and the fitted model with every digit.
#include "api_sheet.h"
#include "cli/invert_fit.h"
#include "web/api.h"

namespace tavrin::web {

std::string Invert(std::string_view json) {
  return Guarded([json] {
    const Json in = ParseObject(json);
    const SheetRequest request = SheetRequestOf(in);
    cli::FitSettings settings;
    settings.layers = cli::ParseLayers(ArgumentField(in, "layers"));
    const std::string error = ArgumentField(in, "error");
    if (!error.empty()) settings.errorPercent = cli::ParseErrorPercent(error);
    settings.fitShifts = FlagField(in, "fit_shifts");
    if (settings.fitShifts && request.options.join) {
      throw cli::UsageError(
          "--fit-shifts and --join exclude each other: fit the shifts, or join first");
    }
    Json read = Json::object();
    const cli::SheetInput input = ReadRequest(request, read);
    settings.unit = cli::OutputUnit(request.unit, input.sounding);
    Json notes = Json::array();
    cli::InversionReport report;
    try {
      cli::CheckShiftsFittable(input.sounding, settings, request.name);
      if (const auto note = cli::WeightNote(input.sounding, settings)) notes.push_back(*note);
      report = cli::FitSounding(input.sounding, settings, request.name);
    } catch (const cli::CommandError& failure) {
      throw PartialFailure(failure.what(), Json{{"read", std::move(read)}, {"notes", notes}});
    }
    Json out = Json::parse(cli::InversionJson(report));
    out["read"] = std::move(read);
    out["notes"] = std::move(notes);
    out["model_full"] = {{"rho", Numbers(report.fit.model.resistivity)},
                         {"thickness", Numbers(report.fit.model.thickness)}};
    // A fit stopped at its limit is returned, but named a failure.
    if (const auto line = cli::NotConvergedLine(report, request.name)) out["error"] = *line;
    return out;
  });
}

}  // namespace tavrin::web
