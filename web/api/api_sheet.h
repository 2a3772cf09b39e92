// read_sheet's input and output, shared with invert: the sheet and the
// sounding command's options from JSON, and the read sounding as JSON.
#pragma once

#include <optional>
#include <string>

#include "api_json.h"
#include "cli/sheet_input.h"

namespace tavrin::web {

struct SheetRequest {
  std::string name;  // reported as the tool reports a file's path
  std::string text;
  cli::SheetOptions options;
  std::optional<sounding::LengthUnit> unit;  // "units"
};

// "name", "text", "units", "column", "drop", "join", "join_to"; throws
// cli::UsageError for a field the tool would refuse as an option.
SheetRequest SheetRequestOf(const Json& in);

// Reads the sheet; `read` becomes read_sheet's output. Throws PartialFailure
// (with what was read so far: left_out, notes, ...) when the sheet cannot be
// read.
cli::SheetInput ReadRequest(const SheetRequest& request, Json& read);

}  // namespace tavrin::web
