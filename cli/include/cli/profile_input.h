// The soundings of a profile as the profile command reads them: one sheet
// with a station (or x) column, or several sheets each placed by metadata
// lines above its header or by a list of stations.
#pragma once

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "cli/sheet_input.h"
#include "sounding/sounding.h"

namespace tavrin::cli {

struct ProfileSounding {
  std::string file;   // the sheet it was read from, as named
  std::string label;  // the station's name, or its x
  double x = 0;
  double elevation = std::numeric_limits<double>::quiet_NaN();
  sounding::Sounding sounding;
};

struct ProfileInput {
  std::vector<ProfileSounding> soundings;  // ordered by x
  std::optional<sounding::LengthUnit> unit;
  int skipped = 0;  // lines or files left out
};

struct ProfileReadOptions {
  std::vector<std::string> files;
  std::string stationList;  // --stations LIST; empty without
  SheetOptions sheet;       // --join
  std::optional<sounding::LengthUnit> unit;
};

// Reads the profile. Each line, file or station left out is reported on
// stderr (FILE:LINE: reason) and counted in `skipped`. Throws InputError
// when nothing remains, UsageError for fewer than two soundings, two at the
// same x, soundings in different length units, or a sheet whose position
// cannot be found.
ProfileInput ReadProfile(const ProfileReadOptions& options);

}  // namespace tavrin::cli
