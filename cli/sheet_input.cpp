// Reading a field sheet for the survey commands, and the options that steer
// it.
#include "cli/sheet_input.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "cli/command_line.h"
#include "cli/survey_options.h"
#include "sounding/column_names.h"

namespace tavrin::cli {

namespace {

// Neighbouring segments that differ by more than this at their overlap are
// worth joining.
constexpr double kMismatchTolerance = 0.05;

// ROLE=NAME.
sounding::ColumnMap ColumnMapOf(const std::string& text) {
  const std::size_t equals = text.find('=');
  if (equals == std::string::npos || equals == 0 || equals + 1 == text.size()) {
    throw UsageError("--column '" + text + "' must be ROLE=NAME");
  }
  sounding::ColumnMap map{text.substr(0, equals), text.substr(equals + 1)};
  if (!sounding::RoleNamed(map.role)) {
    throw UsageError("--column '" + text +
                     "': ROLE is one of n, a, ab2, mn2, ab, mn, v, i, r, rho, k, error");
  }
  return map;
}

std::vector<long> LineList(const std::string& text) {
  std::vector<long> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find(',', start), text.size());
    const std::string item = text.substr(start, end - start);
    lines.push_back(ParseIntArgument(item, 1, 2147483647, "--drop LINE"));
    start = end + 1;
  }
  return lines;
}

std::string Mn2Text(double mn2) {
  return std::isnan(mn2) ? std::string("unknown") : ShortestText(mn2);
}

// printf's formatting into a string, for the messages' numbers.
template <typename... Values>
std::string Formatted(const char* format, Values... values) {
  char text[256];
  const int length = std::snprintf(text, sizeof text, format, values...);
  return std::string(text, static_cast<std::size_t>(std::clamp(length, 0, 255)));
}

void Join(SheetInput& input, const SheetOptions& options, std::vector<SheetMessage>& messages) {
  sounding::Sounding& sounding = input.sounding;
  const auto say = [&messages](SheetMessageKind kind, std::string text) {
    messages.push_back({kind, 0, std::move(text)});
  };
  if (!options.join) {
    std::vector<double> mn2(static_cast<std::size_t>(sounding.segmentCount), NAN);
    for (const sounding::Reading& r : sounding.readings) {
      mn2[static_cast<std::size_t>(r.segment)] = r.mn2;
    }
    for (const sounding::Mismatch& m : sounding::SegmentMismatches(sounding, kMismatchTolerance)) {
      say(SheetMessageKind::kWarning,
          "the segments of MN/2 " + Mn2Text(mn2[static_cast<std::size_t>(m.smaller)]) + " and " +
              Mn2Text(mn2[static_cast<std::size_t>(m.larger)]) + " differ by " +
              Formatted("%+.1f", 100 * (m.ratio - 1)) + " % where they overlap; --join joins them");
    }
    return;
  }
  input.join = sounding::JoinSegments(sounding, options.joinTo);
  sounding::ApplyJoin(sounding, *input.join);
  const auto& segments = input.join->segments;
  for (std::size_t s = 0; s < segments.size(); ++s) {
    const sounding::SegmentJoin& segment = segments[s];
    if (static_cast<int>(s) == input.join->reference) {
      say(SheetMessageKind::kNote, "joined to the segment of MN/2 " + Mn2Text(segment.mn2));
    } else if (segment.joined) {
      say(SheetMessageKind::kNote, "the segment of MN/2 " + Mn2Text(segment.mn2) +
                                       " multiplied by " + Formatted("%.4g", segment.factor) +
                                       " (" + std::to_string(segment.overlapping) +
                                       " readings at the overlap)");
    } else {
      say(SheetMessageKind::kWarning, "the segment of MN/2 " + Mn2Text(segment.mn2) +
                                          " overlaps no neighbour on the way to the reference: "
                                          "not joined");
    }
  }
}

}  // namespace

void DeclareSheetOptions(CLI::App& app, SheetArguments& arguments) {
  AddRepeated(app, "--column", arguments.columns, "ROLE=NAME",
              "the sheet's column NAME holds ROLE (repeatable)");
  AddRepeated(app, "--drop", arguments.drops, "LINE,...",
              "leave the readings of these lines out (repeatable)");
  AddFlag(app, "--join", arguments.join,
          "multiply each MN/2 segment by the factor that meets its neighbour where they "
          "overlap, chained to the largest MN/2");
  AddValue(app, "--join-to", arguments.joinTo, "MN2", "join to the segment of this MN/2");
}

SheetOptions SheetOptionsOf(const SheetArguments& arguments) {
  SheetOptions options;
  for (const std::string& column : arguments.columns) {
    options.read.columns.push_back(ColumnMapOf(column));
  }
  for (const std::string& drop : arguments.drops) {
    const std::vector<long> lines = LineList(drop);
    options.read.drop.insert(options.read.drop.end(), lines.begin(), lines.end());
  }
  options.join = arguments.join;
  if (!arguments.joinTo.empty()) {
    const double mn2 = ParseDoubleArgument(arguments.joinTo, "--join-to");
    if (!(mn2 > 0) || !std::isfinite(mn2)) {
      throw UsageError("--join-to '" + arguments.joinTo + "' must be an MN/2 above 0");
    }
    options.joinTo = mn2;
    if (!options.join) throw UsageError("--join-to needs --join");
  }
  return options;
}

bool AnySheetOption(const SheetArguments& arguments) {
  return !arguments.columns.empty() || !arguments.drops.empty() || arguments.join ||
         !arguments.joinTo.empty();
}

std::string SheetHelp() {
  return "Field sheets: the header (the first line whose names make a layout; title\n"
         "lines above it skipped) names the columns, in any order and case, a unit in\n"
         "brackets after a name applied; other columns are ignored. Layouts:\n"
         "  ab2,mn2,v,i  AB/2, MN/2, volts, amps (more V,I pairs: repeats)\n"
         "  ab2,mn2,r    R = V/I; several R columns are repeats: averaged\n"
         "  ab2,rho      apparent resistivities (mn2 optional)\n"
         "  n,a,v,i      the calculator's readings (a sheet without header: this)\n"
         "K = pi (AB/2^2 - MN/2^2) / (2 MN/2); n,a,v,i lines: AB/2 = (n + 1/2) a,\n"
         "MN/2 = a/2, K and rho as the calculator computes them (its single-precision pi\n"
         "makes them 8.1e-7 smaller than the same reading as ab2,mn2). A sheet's own K\n"
         "and rho beside the raw readings are checked (0.5 %). Separators: the header's\n"
         "(semicolon, tab, comma or blanks); decimal commas read where the sheet uses\n"
         "them. Column names (compared in lower case without blanks and punctuation):\n" +
         sounding::ColumnNamesHelp();
}

std::string MessageLine(const std::string& name, const SheetMessage& message) {
  std::string line = name;
  if (message.line > 0) line += ':' + std::to_string(message.line);
  line += ": ";
  switch (message.kind) {
    case SheetMessageKind::kNote:
      return line + "note: " + message.text;
    case SheetMessageKind::kWarning:
      return line + "warning: " + message.text;
    case SheetMessageKind::kSkipped:
      return line + message.text + "; line skipped";
    case SheetMessageKind::kDropped:
      return line + "left out (--drop)";
  }
  return line + message.text;
}

SheetInput ReadSheetText(std::string_view text, const std::string& name,
                         const SheetOptions& options, std::optional<sounding::LengthUnit> unit,
                         std::vector<SheetMessage>& messages) {
  sounding::ReadOptions read = options.read;
  read.unit = unit;
  SheetInput input;
  input.sounding = sounding::ParseSounding(text, read);
  sounding::Sounding& sounding = input.sounding;
  if (!sounding.layoutKnown) {
    const sounding::LineError& e = sounding.errors.front();
    throw InputError(name + ":" + std::to_string(e.line) + ": " + e.reason);
  }
  for (const std::string& note : sounding.notes) {
    messages.push_back({SheetMessageKind::kNote, 0, note});
  }
  // Errors and warnings in the order of their lines.
  std::size_t w = 0;
  const auto warnUpTo = [&](long last) {
    for (; w < sounding.warnings.size() && sounding.warnings[w].line <= last; ++w) {
      messages.push_back(
          {SheetMessageKind::kWarning, sounding.warnings[w].line, sounding.warnings[w].reason});
    }
  };
  for (const sounding::LineError& e : sounding.errors) {
    warnUpTo(e.line);
    messages.push_back({SheetMessageKind::kSkipped, e.line, e.reason});
  }
  warnUpTo(std::numeric_limits<long>::max());
  for (const sounding::Reading& r : sounding.dropped) {
    messages.push_back({SheetMessageKind::kDropped, r.line, {}});
  }
  input.skipped = static_cast<int>(sounding.errors.size());
  if (sounding.readings.empty()) throw InputError(name + ": no readings");
  try {
    Join(input, options, messages);
  } catch (const sounding::JoinError& error) {
    throw InputError(name + ": " + error.what());
  }
  return input;
}

SheetInput ReadSheet(const std::string& path, const SheetOptions& options,
                     std::optional<sounding::LengthUnit> unit) {
  const std::string name = InputName(path);
  const std::string text = ReadInput(path);
  std::vector<SheetMessage> messages;
  const auto report = [&] {
    for (const SheetMessage& m : messages) {
      std::fprintf(stderr, "tavrin: %s\n", MessageLine(name, m).c_str());
    }
  };
  try {
    SheetInput input = ReadSheetText(text, name, options, unit, messages);
    report();
    return input;
  } catch (const InputError&) {
    report();
    throw;
  }
}

std::string SoundingCsv(const sounding::Sounding& sounding, bool joined) {
  std::string out = "ab2,mn2,k,rho";
  if (sounding.hasRepeats) out += ",repeats,spread";
  if (sounding.hasErrors) out += ",error";
  if (joined) out += ",shift";
  out += '\n';
  for (const sounding::Reading& r : sounding.readings) {
    out += ShortestText(r.ab2) + ',' + ShortestText(r.mn2) + ',' + ShortestText(r.k) + ',' +
           ShortestText(r.rho);
    if (sounding.hasRepeats) {
      out += ',' + std::to_string(r.repeats) + ',' + ShortestText(r.spread);
    }
    if (sounding.hasErrors) out += ',' + ShortestText(r.error);
    if (joined) out += ',' + ShortestText(r.shift);
    out += '\n';
  }
  return out;
}

sounding::LengthUnit OutputUnit(std::optional<sounding::LengthUnit> given,
                                const sounding::Sounding& sounding) {
  if (given) return *given;
  return sounding.unit.value_or(sounding::LengthUnit::kFeet);
}

}  // namespace tavrin::cli
