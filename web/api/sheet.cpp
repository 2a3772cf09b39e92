// read_sheet: a field sheet read as `tavrin sounding` reads it, its readings
// with every digit, the lines left out with their reasons, the notes and
// warnings, and the CSV the command prints.
#include <cmath>

#include "api_sheet.h"
#include "cli/survey_options.h"
#include "web/api.h"

namespace tavrin::web {

namespace {

Json ReadingJson(const sounding::Reading& r) {
  return {{"line", r.line},          {"ab2", Number(r.ab2)},       {"mn2", Number(r.mn2)},
          {"k", Number(r.k)},        {"rho", Number(r.rho)},       {"error", Number(r.error)},
          {"repeats", r.repeats},    {"spread", Number(r.spread)}, {"segment", r.segment},
          {"shift", Number(r.shift)}};
}

// Each segment's MN/2, joining factor, and whether it was joined (or is the
// reference).
Json SegmentsJson(const cli::SheetInput& input) {
  const sounding::Sounding& sounding = input.sounding;
  std::vector<double> mn2(static_cast<std::size_t>(sounding.segmentCount), NAN);
  for (const sounding::Reading& r : sounding.readings) {
    mn2[static_cast<std::size_t>(r.segment)] = r.mn2;
  }
  Json segments = Json::array();
  for (std::size_t s = 0; s < mn2.size(); ++s) {
    Json segment = {
        {"mn2", Number(mn2[s])}, {"factor", 1.0}, {"joined", false}, {"reference", false}};
    if (input.join && s < input.join->segments.size()) {
      segment["factor"] = Number(input.join->segments[s].factor);
      segment["joined"] = input.join->segments[s].joined;
      segment["reference"] = static_cast<int>(s) == input.join->reference;
    }
    segments.push_back(std::move(segment));
  }
  return segments;
}

// The messages sorted as the page shows them, and all of them as the tool
// reports them.
void AddMessages(const std::string& name, const std::vector<cli::SheetMessage>& messages,
                 Json& read) {
  Json leftOut = Json::array(), notes = Json::array(), warnings = Json::array(),
       report = Json::array();
  for (const cli::SheetMessage& m : messages) {
    const std::string line = cli::MessageLine(name, m);
    report.push_back(line);
    switch (m.kind) {
      case cli::SheetMessageKind::kNote:
        notes.push_back(line);
        break;
      case cli::SheetMessageKind::kWarning:
        warnings.push_back(line);
        break;
      case cli::SheetMessageKind::kSkipped:
        leftOut.push_back({{"line", m.line}, {"reason", m.text}});
        break;
      case cli::SheetMessageKind::kDropped:
        leftOut.push_back({{"line", m.line}, {"reason", "left out (--drop)"}});
        break;
    }
  }
  read["left_out"] = std::move(leftOut);
  read["notes"] = std::move(notes);
  read["warnings"] = std::move(warnings);
  read["report"] = std::move(report);
}

}  // namespace

SheetRequest SheetRequestOf(const Json& in) {
  SheetRequest request;
  request.name = StringOr(in, "name", "sheet");
  request.text = StringField(in, "text");
  const std::string units = StringOr(in, "units", "");
  if (!units.empty()) request.unit = cli::ParseUnits(units);
  cli::SheetArguments arguments;
  arguments.columns = StringList(in, "column");
  for (const double line : NumberList(in, "drop")) {
    arguments.drops.push_back(cli::ShortestText(line));
  }
  arguments.join = FlagField(in, "join");
  arguments.joinTo = ArgumentField(in, "join_to");
  request.options = cli::SheetOptionsOf(arguments);
  return request;
}

cli::SheetInput ReadRequest(const SheetRequest& request, Json& read) {
  std::vector<cli::SheetMessage> messages;
  try {
    cli::SheetInput input =
        cli::ReadSheetText(request.text, request.name, request.options, request.unit, messages);
    const sounding::Sounding& sounding = input.sounding;
    read["unit"] =
        cli::OutputUnit(request.unit, sounding) == sounding::LengthUnit::kFeet ? "ft" : "m";
    Json readings = Json::array(), dropped = Json::array();
    for (const sounding::Reading& r : sounding.readings) readings.push_back(ReadingJson(r));
    for (const sounding::Reading& r : sounding.dropped) dropped.push_back(ReadingJson(r));
    read["readings"] = std::move(readings);
    read["dropped"] = std::move(dropped);
    AddMessages(request.name, messages, read);
    read["segments"] = SegmentsJson(input);
    read["csv"] = cli::SoundingCsv(sounding, input.join.has_value());
    read["exit_status"] = input.skipped == 0 ? cli::kExitOk : cli::kExitSkippedLines;
    return input;
  } catch (const cli::InputError& error) {
    AddMessages(request.name, messages, read);
    throw PartialFailure(error.what(), read);
  }
}

std::string ReadSheet(std::string_view json) {
  return Guarded([json] {
    Json read = Json::object();
    ReadRequest(SheetRequestOf(ParseObject(json)), read);
    return read;
  });
}

}  // namespace tavrin::web
