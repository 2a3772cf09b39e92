// Reading a profile's soundings: a sheet with a station column split into
// its stations, or one sounding a sheet, placed by its metadata lines
// ("# x: 120", "# elevation: 342.5", "# station: VES-4") or by --stations.
#include "cli/profile_input.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>
#include <string_view>

#include "cli/args.h"
#include "cli/survey_options.h"
#include "sounding/csv.h"

namespace tavrin::cli {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

// A number that is all of `text`, or nullopt.
std::optional<double> NumberOf(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string Label(double x) {
  return ShortestText(x);
}

void Report(const std::string& where, const std::string& text) {
  std::fprintf(stderr, "tavrin: %s: %s\n", where.c_str(), text.c_str());
}

// The keys a metadata line may give, and what each sets.
enum class Key { kX, kElevation, kStation };
struct KeyName {
  std::string_view name;
  Key key;
};
constexpr std::array kKeys{KeyName{"x", Key::kX}, KeyName{"elevation", Key::kElevation},
                           KeyName{"z", Key::kElevation}, KeyName{"station", Key::kStation}};

// The sheet's "# key: value" lines, applied to `sounding`; a value that is
// no number where one is needed is reported and refused.
void ReadMetadata(const std::string& text, const std::string& name, ProfileSounding& sounding,
                  bool& placed) {
  std::size_t start = 0;
  long line = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view content = std::string_view(text).substr(start, end - start);
    start = end + 1;
    ++line;
    const std::string trimmed = Trim(content);
    if (trimmed.empty()) continue;
    if (trimmed.front() != '#') break;  // the metadata stand above the header
    const std::size_t colon = trimmed.find(':');
    if (colon == std::string::npos) continue;
    std::string key = Trim(std::string_view(trimmed).substr(1, colon - 1));
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::string value = Trim(std::string_view(trimmed).substr(colon + 1));
    for (const KeyName& k : kKeys) {
      if (k.name != key) continue;
      if (k.key == Key::kStation) {
        sounding.label = value;
        break;
      }
      const std::optional<double> number = NumberOf(value);
      if (!number) {
        throw InputError(name + ":" + std::to_string(line) + ": " + key + " '" + value +
                         "' is not a number");
      }
      if (k.key == Key::kX) {
        sounding.x = *number;
        placed = true;
      } else {
        sounding.elevation = *number;
      }
    }
  }
}

// --stations LIST: file name, x and elevation (may be empty) a line.
struct ListedStation {
  double x;
  double elevation;
};
std::map<std::string, ListedStation> ReadStationList(const std::string& path) {
  const std::string text = ReadInput(path);
  const std::string name = InputName(path);
  std::map<std::string, ListedStation> list;
  std::size_t start = 0;
  long line = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view content = std::string_view(text).substr(start, end - start);
    start = end + 1;
    ++line;
    if (sounding::IsBlankOrComment(content)) continue;
    const std::vector<std::string> fields = sounding::SplitFields(content);
    const std::string where = name + ":" + std::to_string(line) + ": ";
    if (fields.size() < 2 || fields.size() > 3) {
      throw InputError(where + "a station is: file, x[, elevation]");
    }
    const std::optional<double> x = NumberOf(Trim(fields[1]));
    if (!x) {
      if (line == 1 || list.empty()) continue;  // a header line
      throw InputError(where + "x '" + fields[1] + "' is not a number");
    }
    double elevation = kNaN;
    if (fields.size() == 3 && !Trim(fields[2]).empty()) {
      const std::optional<double> z = NumberOf(Trim(fields[2]));
      if (!z) throw InputError(where + "elevation '" + fields[2] + "' is not a number");
      elevation = *z;
    }
    list[Trim(fields[0])] = {*x, elevation};
  }
  return list;
}

// The base name of a path: the list may name files without their folder.
std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// One sheet of many stations: its readings grouped by station (or by x),
// each group one sounding with its segments numbered afresh.
void SplitStations(const SheetInput& input, const std::string& name,
                   const ProfileReadOptions& options, ProfileInput& profile) {
  std::map<std::string, std::size_t> groupOf;
  std::vector<ProfileSounding> groups;
  for (const sounding::Reading& r : input.sounding.readings) {
    std::string key = r.station;
    if (key.empty() && !std::isnan(r.x)) key = Label(r.x);
    if (key.empty()) {
      Report(name + ":" + std::to_string(r.line), "no station nor x; line skipped");
      ++profile.skipped;
      continue;
    }
    auto [found, added] = groupOf.try_emplace(key, groups.size());
    if (added) {
      ProfileSounding s;
      s.file = name;
      s.label = key;
      s.x = kNaN;
      s.sounding.layout = input.sounding.layout;
      s.sounding.unit = input.sounding.unit;
      groups.push_back(std::move(s));
    }
    ProfileSounding& group = groups[found->second];
    if (!std::isnan(r.x)) {
      if (!std::isnan(group.x) && group.x != r.x) {
        Report(name + ":" + std::to_string(r.line), "station " + key + " at x " + Label(r.x) +
                                                        ", but at " + Label(group.x) +
                                                        " above; line skipped");
        ++profile.skipped;
        continue;
      }
      group.x = r.x;
    }
    if (!std::isnan(r.elevation)) group.elevation = r.elevation;
    group.sounding.readings.push_back(r);
  }
  for (ProfileSounding& group : groups) {
    if (std::isnan(group.x)) {
      const std::optional<double> x = NumberOf(group.label);
      if (!x) {
        throw UsageError(name + ": station " + group.label +
                         " has no position: give an x column, or number the stations by x");
      }
      group.x = *x;
    }
    // Segments numbered in order of first appearance within the station.
    std::sort(
        group.sounding.readings.begin(), group.sounding.readings.end(),
        [](const sounding::Reading& a, const sounding::Reading& b) { return a.line < b.line; });
    std::map<int, int> renumbered;
    for (sounding::Reading& r : group.sounding.readings) {
      r.segment =
          renumbered.try_emplace(r.segment, static_cast<int>(renumbered.size())).first->second;
      group.sounding.hasRepeats = group.sounding.hasRepeats || r.repeats > 1;
      group.sounding.hasErrors = group.sounding.hasErrors || !std::isnan(r.error);
    }
    group.sounding.segmentCount = static_cast<int>(renumbered.size());
    std::stable_sort(group.sounding.readings.begin(), group.sounding.readings.end(),
                     [](const sounding::Reading& a, const sounding::Reading& b) {
                       return a.segment < b.segment;
                     });
    SheetInput one{std::move(group.sounding), std::nullopt, 0};
    JoinOrCheckSegments(one, options.sheet, name + ": station " + group.label);
    group.sounding = std::move(one.sounding);
    profile.soundings.push_back(std::move(group));
  }
}

bool HasStations(const sounding::Sounding& sounding) {
  return std::any_of(
      sounding.readings.begin(), sounding.readings.end(),
      [](const sounding::Reading& r) { return !r.station.empty() || !std::isnan(r.x); });
}

// The length unit every sounding shares; UsageError when two differ.
void SetUnit(ProfileInput& profile) {
  for (const ProfileSounding& s : profile.soundings) {
    if (!s.sounding.unit) continue;
    if (profile.unit && *profile.unit != *s.sounding.unit) {
      throw UsageError(s.file + ": its lengths are in " +
                       (*s.sounding.unit == sounding::LengthUnit::kMetres ? "m" : "ft") +
                       ", another sounding's in " +
                       (*profile.unit == sounding::LengthUnit::kMetres ? "m" : "ft") +
                       "; a profile takes one length unit");
    }
    profile.unit = s.sounding.unit;
  }
}

}  // namespace

ProfileInput ReadProfile(const ProfileReadOptions& options) {
  ProfileInput profile;
  profile.unit = options.unit;
  SheetOptions lines = options.sheet;
  std::map<std::string, ListedStation> list;
  if (!options.stationList.empty()) list = ReadStationList(options.stationList);
  const bool oneSheet = options.files.size() == 1 && options.stationList.empty();
  std::size_t unreadable = 0;
  for (const std::string& path : options.files) {
    const std::string name = InputName(path);
    try {
      SheetInput input = ReadSheetLines(path, lines, options.unit);
      profile.skipped += input.skipped;
      if (oneSheet && HasStations(input.sounding)) {
        SplitStations(input, name, options, profile);
        continue;
      }
      ProfileSounding s;
      s.file = name;
      bool placed = false;
      if (!list.empty()) {
        auto found = list.find(path);
        if (found == list.end()) found = list.find(BaseName(path));
        if (found == list.end()) {
          throw UsageError(InputName(options.stationList) + ": no station for " + name);
        }
        s.x = found->second.x;
        s.elevation = found->second.elevation;
        placed = true;
      } else {
        ReadMetadata(ReadInput(path), name, s, placed);
      }
      if (!placed) {
        throw UsageError(name +
                         ": no position: a line '# x: VALUE' above its header, or "
                         "--stations LIST");
      }
      if (s.label.empty()) s.label = Label(s.x);
      JoinOrCheckSegments(input, options.sheet, name);
      s.sounding = std::move(input.sounding);
      profile.soundings.push_back(std::move(s));
    } catch (const InputError& e) {
      // An unreadable sounding is left out; the others go on.
      std::fprintf(stderr, "tavrin: %s; left out\n", e.what());
      ++unreadable;
      ++profile.skipped;
    }
  }
  if (profile.soundings.empty()) {
    throw InputError(unreadable > 0 ? "no sounding could be read" : "no sounding");
  }
  if (profile.soundings.size() < 2) {
    throw UsageError("a profile needs two soundings or more; " +
                     std::to_string(profile.soundings.size()) + " read");
  }
  std::stable_sort(profile.soundings.begin(), profile.soundings.end(),
                   [](const ProfileSounding& a, const ProfileSounding& b) { return a.x < b.x; });
  for (std::size_t k = 0; k + 1 < profile.soundings.size(); ++k) {
    const ProfileSounding& a = profile.soundings[k];
    const ProfileSounding& b = profile.soundings[k + 1];
    if (a.x == b.x) {
      throw UsageError(b.file + ": station " + b.label + " at x " + Label(b.x) +
                       ", the same as station " + a.label + " of " + a.file);
    }
  }
  SetUnit(profile);
  return profile;
}

}  // namespace tavrin::cli
