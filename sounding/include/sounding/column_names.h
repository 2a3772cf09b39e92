// The column names a field sheet's header may use, and the units they may
// carry: one table, read by the sheet reader and printed in the help.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "sounding/sounding.h"

namespace tavrin::sounding {

// What a column holds.
enum class Role {
  kN,          // the calculator's n
  kA,          // the calculator's a
  kAb2,        // AB/2
  kMn2,        // MN/2
  kAb,         // AB, the whole current spacing (halved)
  kMn,         // MN, the whole potential spacing (halved)
  kV,          // potential difference
  kI,          // current
  kR,          // resistance V/I (several: repeats)
  kRho,        // apparent resistivity
  kK,          // geometric factor
  kError,      // the reading's error in percent
  kStation,    // the station a reading of a profile belongs to (a name or a position)
  kX,          // the station's position along the profile line
  kElevation,  // the station's ground elevation
  kY,          // the station's position across the line
  kCount,
};

inline constexpr std::size_t kRoleCount = static_cast<std::size_t>(Role::kCount);

// The role's name as --column takes it ("ab2", "mn2", "v", ...).
std::string_view RoleName(Role role);
std::optional<Role> RoleNamed(std::string_view name);

// A header field split into its normalised name and the unit in brackets or
// parentheses at its end: "AB/2 (m)" is {"ab2", "m"}, "App. Res." is
// {"appres", ""}. Names are compared in lower case with spaces and
// punctuation removed.
struct HeaderName {
  std::string name;
  std::string unit;  // as written, without the brackets; "" when none
};
HeaderName SplitHeaderName(std::string_view field);

// The role a normalised name has in the table; nullopt for an unknown one.
// R columns may be numbered (r1, r2, ...).
std::optional<Role> RoleOf(std::string_view normalisedName);

// A unit read from a header: the factor that brings the column's values to
// volts, amps, ohms or the sheet's length, and the length unit it names
// (spacings, K, ohm-m or ohm-ft).
struct Unit {
  double factor = 1;
  std::optional<LengthUnit> length;
};
// The unit `text` as the role takes it; nullopt when the role takes no such
// unit.
std::optional<Unit> UnitFor(Role role, std::string_view text);

// The units a role takes, for messages ("V, mV, uV").
std::string_view UnitsOf(Role role);

// The table as the help prints it: one line a role, its names.
std::string ColumnNamesHelp();

}  // namespace tavrin::sounding
