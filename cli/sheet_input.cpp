// Reading a field sheet for the survey commands, and the options that steer
// it.
#include "cli/sheet_input.h"

#include <cmath>
#include <cstdio>

#include "cli/survey_options.h"
#include "sounding/column_names.h"

namespace tavrin::cli {

namespace {

// Neighbouring segments that differ by more than this at their overlap are
// worth joining.
constexpr double kMismatchTolerance = 0.05;

std::string Value(Args args, std::size_t& k, std::string_view option) {
  if (k + 1 == args.size()) throw UsageError(std::string(option) + " needs a value");
  return args[++k];
}

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
    lines.push_back(ParseIntArgument(item.c_str(), 1, 2147483647, "--drop LINE"));
    start = end + 1;
  }
  return lines;
}

std::string Mn2Text(double mn2) {
  return std::isnan(mn2) ? std::string("unknown") : ShortestText(mn2);
}

void Report(const std::string& where, long line, const std::string& text, const char* tail) {
  std::fprintf(stderr, "tavrin: %sline %ld: %s%s\n", where.c_str(), line, text.c_str(), tail);
}

void Join(SheetInput& input, const SheetOptions& options, const std::string& where) {
  sounding::Sounding& sounding = input.sounding;
  if (!options.join) {
    std::vector<double> mn2(static_cast<std::size_t>(sounding.segmentCount), NAN);
    for (const sounding::Reading& r : sounding.readings) {
      mn2[static_cast<std::size_t>(r.segment)] = r.mn2;
    }
    for (const sounding::Mismatch& m : sounding::SegmentMismatches(sounding, kMismatchTolerance)) {
      std::fprintf(stderr,
                   "tavrin: %swarning: the segments of MN/2 %s and %s differ by %+.1f %% where "
                   "they overlap; --join joins them\n",
                   where.c_str(), Mn2Text(mn2[static_cast<std::size_t>(m.smaller)]).c_str(),
                   Mn2Text(mn2[static_cast<std::size_t>(m.larger)]).c_str(), 100 * (m.ratio - 1));
    }
    return;
  }
  try {
    input.join = sounding::JoinSegments(sounding, options.joinTo);
  } catch (const sounding::JoinError& error) {
    throw UsageError(where + error.what());
  }
  sounding::ApplyJoin(sounding, *input.join);
  const auto& segments = input.join->segments;
  for (std::size_t s = 0; s < segments.size(); ++s) {
    const sounding::SegmentJoin& segment = segments[s];
    if (static_cast<int>(s) == input.join->reference) {
      std::fprintf(stderr, "tavrin: %snote: joined to the segment of MN/2 %s\n", where.c_str(),
                   Mn2Text(segment.mn2).c_str());
    } else if (segment.joined) {
      std::fprintf(stderr,
                   "tavrin: %snote: the segment of MN/2 %s multiplied by %.4g (%d readings at "
                   "the overlap)\n",
                   where.c_str(), Mn2Text(segment.mn2).c_str(), segment.factor,
                   segment.overlapping);
    } else {
      std::fprintf(stderr,
                   "tavrin: %swarning: the segment of MN/2 %s overlaps no neighbour on the way "
                   "to the reference: not joined\n",
                   where.c_str(), Mn2Text(segment.mn2).c_str());
    }
  }
}

}  // namespace

bool TakeSheetOption(Args args, std::size_t& k, SheetOptions& options) {
  const std::string_view argument(args[k]);
  if (argument == "--column") {
    options.read.columns.push_back(ColumnMapOf(Value(args, k, argument)));
  } else if (argument == "--drop") {
    const std::vector<long> lines = LineList(Value(args, k, argument));
    options.read.drop.insert(options.read.drop.end(), lines.begin(), lines.end());
  } else if (argument == "--join") {
    options.join = true;
  } else if (argument == "--join-to") {
    const std::string value = Value(args, k, argument);
    const double mn2 = ParseDoubleArgument(value.c_str(), "--join-to");
    if (!(mn2 > 0) || !std::isfinite(mn2)) {
      throw UsageError("--join-to '" + value + "' must be an MN/2 above 0");
    }
    options.joinTo = mn2;
  } else {
    return false;
  }
  return true;
}

void CheckSheetOptions(const SheetOptions& options) {
  if (options.joinTo && !options.join) throw UsageError("--join-to needs --join");
}

SheetInput ReadSheet(const std::string& path, const SheetOptions& options,
                     std::optional<sounding::LengthUnit> unit, const std::string& where) {
  sounding::ReadOptions read = options.read;
  read.unit = unit;
  SheetInput input;
  input.sounding = sounding::ParseSounding(ReadInput(path), read);
  sounding::Sounding& sounding = input.sounding;
  if (!sounding.layoutKnown) {
    const sounding::LineError& e = sounding.errors.front();
    throw UsageError(where + "line " + std::to_string(e.line) + ": " + e.reason);
  }
  for (const std::string& note : sounding.notes) {
    std::fprintf(stderr, "tavrin: %snote: %s\n", where.c_str(), note.c_str());
  }
  // Errors and warnings in the order of their lines.
  std::size_t w = 0;
  for (const sounding::LineError& e : sounding.errors) {
    for (; w < sounding.warnings.size() && sounding.warnings[w].line <= e.line; ++w) {
      Report(where, sounding.warnings[w].line, "warning: " + sounding.warnings[w].reason, "");
    }
    Report(where, e.line, e.reason, "; line skipped");
  }
  for (; w < sounding.warnings.size(); ++w) {
    Report(where, sounding.warnings[w].line, "warning: " + sounding.warnings[w].reason, "");
  }
  for (const sounding::Reading& r : sounding.dropped) {
    Report(where, r.line, "left out (--drop)", "");
  }
  input.skipped = static_cast<int>(sounding.errors.size());
  if (sounding.readings.empty()) throw UsageError(where + "no readings");
  Join(input, options, where);
  return input;
}

sounding::LengthUnit OutputUnit(std::optional<sounding::LengthUnit> given,
                                const sounding::Sounding& sounding) {
  if (given) return *given;
  return sounding.unit.value_or(sounding::LengthUnit::kFeet);
}

}  // namespace tavrin::cli
