// The names a header may give each column, the units each column may carry,
// and the normalisation that lets "AB/2 (m)", "ab_2" and "AB2" name the same
// column.
#include "sounding/column_names.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace tavrin::sounding {

namespace {

// Each role with the names (normalised: lower case, letters and digits only)
// a header may give it, and the units it takes, as listed in messages.
struct RoleEntry {
  Role role;
  std::string_view option;  // the name --column takes
  std::string_view names;   // space-separated
  std::string_view what;    // for the help
  std::string_view units;   // for messages and the help
};

constexpr std::array<RoleEntry, kRoleCount> kRoles{{
    {Role::kN, "n", "n", "the calculator's n", "none"},
    {Role::kA, "a", "a", "the calculator's a", "ft, m"},
    {Role::kAb2, "ab2", "ab2 l halfab", "AB/2", "m, ft, cm, km"},
    {Role::kMn2, "mn2", "mn2 halfmn", "MN/2", "m, ft, cm, km"},
    {Role::kAb, "ab", "ab", "AB, halved", "m, ft, cm, km"},
    {Role::kMn, "mn", "mn", "MN, halved", "m, ft, cm, km"},
    {Role::kV, "v", "v dv u du deltav voltage", "potential difference", "V, mV, uV"},
    {Role::kI, "i", "i current", "current", "A, mA, uA"},
    {Role::kR, "r", "r rs vi resistance", "resistance (r1, r2...: repeats; also v1 i1...)",
     "Ohm, mOhm, kOhm, V/A, mV/mA"},
    {Role::kRho, "rho", "rho rhoa roa ra appres apparentresistivity rhoapp resistivity",
     "apparent resistivity", "Ohm m, Ohm ft"},
    {Role::kK, "k", "k geometricfactor kfactor", "geometric factor", "m, ft"},
    {Role::kError, "error", "error err", "the reading's error", "%"},
    {Role::kStation, "station", "station stn site ves", "a profile's station (profile)", "none"},
    {Role::kX, "x", "x distance position", "the station's x along the line", "m, ft"},
    {Role::kElevation, "elevation", "elevation z elev height altitude",
     "the station's ground elevation", "m, ft"},
    {Role::kY, "y", "y", "the station's y across the line", "m, ft"},
}};

const RoleEntry& EntryOf(Role role) {
  return kRoles[static_cast<std::size_t>(role)];
}

// A unit as a header may write it, normalised as below, and what it means.
struct UnitEntry {
  Role role;
  std::string_view text;
  double factor;
  std::optional<LengthUnit> length;
};

constexpr auto kMetres = LengthUnit::kMetres;
constexpr auto kFeet = LengthUnit::kFeet;

// Lengths are the spacings' units; the same table serves the four spacing
// roles through SpacingRole.
constexpr std::array kUnits{
    UnitEntry{Role::kAb2, "m", 1, kMetres},
    UnitEntry{Role::kAb2, "ft", 1, kFeet},
    UnitEntry{Role::kAb2, "feet", 1, kFeet},
    UnitEntry{Role::kAb2, "cm", 0.01, kMetres},
    UnitEntry{Role::kAb2, "km", 1000, kMetres},
    UnitEntry{Role::kA, "m", 1, kMetres},
    UnitEntry{Role::kA, "ft", 1, kFeet},
    UnitEntry{Role::kA, "feet", 1, kFeet},
    UnitEntry{Role::kV, "v", 1, std::nullopt},
    UnitEntry{Role::kV, "mv", 1e-3, std::nullopt},
    UnitEntry{Role::kV, "uv", 1e-6, std::nullopt},
    UnitEntry{Role::kI, "a", 1, std::nullopt},
    UnitEntry{Role::kI, "ma", 1e-3, std::nullopt},
    UnitEntry{Role::kI, "ua", 1e-6, std::nullopt},
    UnitEntry{Role::kR, "ohm", 1, std::nullopt},
    UnitEntry{Role::kR, "ohms", 1, std::nullopt},
    UnitEntry{Role::kR, "mohm", 1e-3, std::nullopt},
    UnitEntry{Role::kR, "kohm", 1e3, std::nullopt},
    UnitEntry{Role::kR, "v/a", 1, std::nullopt},
    UnitEntry{Role::kR, "mv/ma", 1, std::nullopt},
    UnitEntry{Role::kR, "mv/a", 1e-3, std::nullopt},
    UnitEntry{Role::kRho, "ohmm", 1, kMetres},
    UnitEntry{Role::kRho, "ohmmetre", 1, kMetres},
    UnitEntry{Role::kRho, "ohmmeter", 1, kMetres},
    UnitEntry{Role::kRho, "ohmft", 1, kFeet},
    UnitEntry{Role::kK, "m", 1, kMetres},
    UnitEntry{Role::kK, "ft", 1, kFeet},
    UnitEntry{Role::kError, "%", 1, std::nullopt},
    UnitEntry{Role::kError, "percent", 1, std::nullopt},
    UnitEntry{Role::kX, "m", 1, kMetres},
    UnitEntry{Role::kX, "ft", 1, kFeet},
    UnitEntry{Role::kElevation, "m", 1, kMetres},
    UnitEntry{Role::kElevation, "ft", 1, kFeet},
    UnitEntry{Role::kY, "m", 1, kMetres},
    UnitEntry{Role::kY, "ft", 1, kFeet},
};

// The spacings share one set of units.
Role SpacingRole(Role role) {
  const bool spacing =
      role == Role::kAb2 || role == Role::kMn2 || role == Role::kAb || role == Role::kMn;
  return spacing ? Role::kAb2 : role;
}

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsAlnum(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// A unit in lower case, without spaces, dots, dashes and middle dots; the
// micro sign and Greek mu as "u", the ohm sign and Greek omega as "ohm".
std::string NormaliseUnit(std::string_view text) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 5> kSymbols{{
      {"\xC2\xB5", "u"},        // micro sign
      {"\xCE\xBC", "u"},        // Greek small mu
      {"\xE2\x84\xA6", "ohm"},  // ohm sign
      {"\xCE\xA9", "ohm"},      // Greek capital omega
      {"\xC2\xB7", ""},         // middle dot
  }};
  std::string unit;
  for (std::size_t k = 0; k < text.size();) {
    bool symbol = false;
    for (const auto& [bytes, replacement] : kSymbols) {
      if (text.substr(k).starts_with(bytes)) {
        unit += replacement;
        k += bytes.size();
        symbol = true;
        break;
      }
    }
    if (symbol) continue;
    const char c = LowerAscii(text[k++]);
    if (c != ' ' && c != '.' && c != '-' && c != '*' && c != '_' && c != '\t') unit += c;
  }
  return unit;
}

}  // namespace

std::string_view RoleName(Role role) {
  return EntryOf(role).option;
}

std::optional<Role> RoleNamed(std::string_view name) {
  for (const RoleEntry& entry : kRoles) {
    if (entry.option == name) return entry.role;
  }
  return std::nullopt;
}

HeaderName SplitHeaderName(std::string_view field) {
  while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) field.remove_suffix(1);
  HeaderName header;
  if (!field.empty() && (field.back() == ')' || field.back() == ']')) {
    const char open = field.back() == ')' ? '(' : '[';
    const std::size_t start = field.rfind(open);
    if (start != std::string_view::npos) {
      header.unit = std::string(field.substr(start + 1, field.size() - start - 2));
      field = field.substr(0, start);
    }
  }
  for (const char c : field) {
    const char lower = LowerAscii(c);
    if (IsAlnum(lower)) header.name += lower;
  }
  return header;
}

std::optional<Role> RoleOf(std::string_view name) {
  const auto lookUp = [](std::string_view n) -> std::optional<Role> {
    for (const RoleEntry& entry : kRoles) {
      std::string_view names = entry.names;
      while (!names.empty()) {
        const std::size_t end = std::min(names.find(' '), names.size());
        if (names.substr(0, end) == n) return entry.role;
        names.remove_prefix(std::min(end + 1, names.size()));
      }
    }
    return std::nullopt;
  };
  if (const auto role = lookUp(name)) return role;
  // Numbered repeats: r1, r2, v1, i1, ...
  std::string_view stem = name;
  while (!stem.empty() && stem.back() >= '0' && stem.back() <= '9') stem.remove_suffix(1);
  if (stem.empty() || stem.size() == name.size()) return std::nullopt;
  const auto role = lookUp(stem);
  if (role == Role::kR || role == Role::kV || role == Role::kI) return role;
  return std::nullopt;
}

std::optional<Unit> UnitFor(Role role, std::string_view text) {
  const std::string unit = NormaliseUnit(text);
  const Role unitRole = SpacingRole(role);
  for (const UnitEntry& entry : kUnits) {
    if (entry.role == unitRole && entry.text == unit) return Unit{entry.factor, entry.length};
  }
  return std::nullopt;
}

std::string_view UnitsOf(Role role) {
  return EntryOf(role).units;
}

std::string ColumnNamesHelp() {
  std::string help;
  for (const RoleEntry& entry : kRoles) {
    char line[160];
    std::snprintf(line, sizeof line, "  %-6.*s %-30.*s units: %.*s\n",
                  static_cast<int>(entry.option.size()), entry.option.data(),
                  static_cast<int>(entry.what.size()), entry.what.data(),
                  static_cast<int>(entry.units.size()), entry.units.data());
    help += line;
    help += "         names: ";
    help += entry.names;
    help += '\n';
  }
  return help;
}

}  // namespace tavrin::sounding
