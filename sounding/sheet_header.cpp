// Reading a header line: each field's column name and unit looked up in the
// table of names (or in the user's --column maps), the sheet's length unit,
// and the first layout whose columns are all there.
#include "sheet_header.h"

#include <algorithm>
#include <span>

namespace tavrin::sounding::sheet {

namespace {

// The layouts and the roles each needs, in the order they are tried; AB and
// MN stand in for AB/2 and MN/2.
struct LayoutNeeds {
  Layout layout;
  std::array<Role, 4> needs;
  std::size_t count;
  std::string_view usage;
};

constexpr std::array kLayouts{
    LayoutNeeds{
        Layout::kFieldSheet, {Role::kAb2, Role::kMn2, Role::kV, Role::kI}, 4, "ab2 mn2 v i"},
    LayoutNeeds{Layout::kResistance, {Role::kAb2, Role::kMn2, Role::kR}, 3, "ab2 mn2 r"},
    LayoutNeeds{Layout::kApparent, {Role::kAb2, Role::kRho}, 2, "ab2 rho"},
    LayoutNeeds{Layout::kCalculator, {Role::kN, Role::kA, Role::kV, Role::kI}, 4, "n a v i"},
};

// Roles that may have several columns: R repeats, V and I pairs.
bool Repeats(Role role) {
  return role == Role::kR || role == Role::kV || role == Role::kI;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// Whether the user's map name names this header field: as written, or
// after the same normalisation as the table's names.
bool MapNames(std::string_view mapName, std::string_view field, const HeaderName& normalised) {
  if (Trimmed(mapName) == Trimmed(field)) return true;
  const HeaderName map = SplitHeaderName(mapName);
  return !map.name.empty() && map.name == normalised.name &&
         (map.unit.empty() || map.unit == normalised.unit);
}

const char* UnitName(LengthUnit unit) {
  return unit == LengthUnit::kFeet ? "ft" : "m";
}

bool HasRole(const Header& header, Role role) {
  if (role == Role::kAb2) return header.has(Role::kAb2) || header.has(Role::kAb);
  if (role == Role::kMn2) return header.has(Role::kMn2) || header.has(Role::kMn);
  return header.has(role);
}

std::string Understood(const Header& header, const std::vector<std::string>& fields) {
  std::string list;
  for (std::size_t r = 0; r < kRoleCount; ++r) {
    for (const Column& column : header.columns[r]) {
      if (!list.empty()) list += ", ";
      list += std::string(RoleName(static_cast<Role>(r))) + " ('" + fields[column.index] + "')";
    }
  }
  return list.empty() ? "no column" : list;
}

}  // namespace

HeaderRead ReadHeader(const std::vector<std::string>& fields, std::size_t count,
                      const ReadOptions& options) {
  HeaderRead read;
  Header header;
  std::array<bool, kRoleCount> mapped{};
  for (const ColumnMap& map : options.columns) {
    if (const auto role = RoleNamed(map.role)) mapped[static_cast<std::size_t>(*role)] = true;
  }
  std::vector<bool> mapUsed(options.columns.size(), false);
  std::optional<std::string> lengthFrom;  // the field that named the length unit
  for (std::size_t k = 0; k < count; ++k) {
    const HeaderName name = SplitHeaderName(fields[k]);
    std::optional<Role> role;
    for (std::size_t m = 0; m < options.columns.size() && !role; ++m) {
      if (MapNames(options.columns[m].name, fields[k], name)) {
        role = RoleNamed(options.columns[m].role);
        mapUsed[m] = true;
      }
    }
    if (!role) {
      role = RoleOf(name.name);
      // A role the user mapped takes only the columns the maps name.
      if (role && mapped[static_cast<std::size_t>(*role)]) role.reset();
    }
    if (!role) continue;
    read.named = true;
    Column column{k, 1};
    if (!name.unit.empty()) {
      const std::optional<Unit> unit = UnitFor(*role, name.unit);
      if (!unit) {
        read.reason = "column '" + fields[k] + "': the unit '" + name.unit + "' is not one of " +
                      std::string(UnitsOf(*role));
        return read;
      }
      column.factor = unit->factor;
      if (unit->length) {
        if (header.unit && *header.unit != *unit->length) {
          read.reason =
              "columns '" + *lengthFrom + "' and '" + fields[k] + "' name different length units";
          return read;
        }
        header.unit = unit->length;
        lengthFrom = fields[k];
      }
    }
    auto& columns = header.columns[static_cast<std::size_t>(*role)];
    if (!columns.empty() && !Repeats(*role)) {
      read.reason = "columns '" + fields[columns.front().index] + "' and '" + fields[k] +
                    "' both name " + std::string(RoleName(*role)) + "; choose one with --column " +
                    std::string(RoleName(*role)) + "=NAME";
      return read;
    }
    columns.push_back(column);
  }
  // The whole spacings only where the halves are not given.
  if (header.has(Role::kAb2)) header.columns[static_cast<std::size_t>(Role::kAb)].clear();
  if (header.has(Role::kMn2)) header.columns[static_cast<std::size_t>(Role::kMn)].clear();
  header.wholeAb = header.has(Role::kAb);
  header.wholeMn = header.has(Role::kMn);
  // Spacings in cm are read in metres: K, with no unit of its own, scales
  // with them.
  double spacingFactor = 1;
  for (const Role role : {Role::kAb2, Role::kAb, Role::kMn2, Role::kMn}) {
    if (header.has(role)) spacingFactor = header[role].front().factor;
  }
  for (Column& column : header.columns[static_cast<std::size_t>(Role::kK)]) {
    if (!SplitHeaderName(fields[column.index]).unit.empty()) continue;
    column.factor = spacingFactor;
  }
  for (std::size_t m = 0; m < options.columns.size(); ++m) {
    if (!mapUsed[m] && read.named) {
      read.reason = "--column " + options.columns[m].role + "=" + options.columns[m].name +
                    ": the header has no column of that name";
      return read;
    }
  }
  const LayoutNeeds* chosen = nullptr;
  for (const LayoutNeeds& entry : kLayouts) {
    const auto needs = std::span(entry.needs).first(entry.count);
    if (std::all_of(needs.begin(), needs.end(), [&](Role r) { return HasRole(header, r); })) {
      chosen = &entry;
      break;
    }
  }
  if (chosen == nullptr) {
    read.reason = "the columns name no layout: the header names " + Understood(header, fields) +
                  "; a layout needs ab2 mn2 v i, ab2 mn2 r, ab2 rho or n a v i (ab and mn: the "
                  "whole spacings, halved); name other columns with --column ROLE=NAME";
    return read;
  }
  header.layout = chosen->layout;
  if (header[Role::kV].size() != header[Role::kI].size() &&
      (header.layout == Layout::kFieldSheet || header.layout == Layout::kCalculator)) {
    read.reason = std::to_string(header[Role::kV].size()) + " v columns and " +
                  std::to_string(header[Role::kI].size()) + " i columns: they go in pairs";
    return read;
  }
  if (header.layout == Layout::kCalculator) {
    const bool scaled = header[Role::kV].front().factor != 1 ||
                        header[Role::kI].front().factor != 1 ||
                        header[Role::kA].front().factor != 1 || header[Role::kV].size() > 1;
    if (scaled) {
      read.reason =
          "n a v i lines are read as the calculator reads them: one v in volts, one "
          "i in amps, a in ft or m";
      return read;
    }
  }
  if (options.unit && header.unit && *options.unit != *header.unit) {
    read.reason = "the header gives lengths in " + std::string(UnitName(*header.unit)) + " ('" +
                  *lengthFrom + "'), --units says " + UnitName(*options.unit);
    return read;
  }
  read.header = std::move(header);
  return read;
}

Header CalculatorHeader() {
  Header header;
  const std::array roles{Role::kN, Role::kA, Role::kV, Role::kI};
  for (std::size_t k = 0; k < roles.size(); ++k) {
    header.columns[static_cast<std::size_t>(roles[k])].push_back({k, 1});
  }
  return header;
}

std::size_t FieldsNeeded(const Header& header) {
  std::size_t needed = 0;
  for (const LayoutNeeds& entry : kLayouts) {
    if (entry.layout != header.layout) continue;
    for (std::size_t k = 0; k < entry.count; ++k) {
      Role role = entry.needs[k];
      if (role == Role::kAb2 && header.wholeAb) role = Role::kAb;
      if (role == Role::kMn2 && header.wholeMn) role = Role::kMn;
      // The first of repeated columns is needed; the others may be missing.
      if (header.has(role)) needed = std::max(needed, header[role].front().index + 1);
    }
  }
  return needed;
}

std::string_view LayoutUsage(Layout layout) {
  for (const LayoutNeeds& entry : kLayouts) {
    if (entry.layout == layout) return entry.usage;
  }
  return "";
}

}  // namespace tavrin::sounding::sheet
