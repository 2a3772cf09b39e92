// Many command lines in one process: each line of a file is one command and
// its arguments (see args_from.cpp for the escapes), so that a large set of
// inputs needs no process per input.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::cli {

// The arguments of one line: separated by tabs; "\t", "\n", "\\" and "\xHH"
// stand for a tab, a line feed, a backslash and any byte. Empty when the
// line has an unknown or unfinished escape.
std::optional<std::vector<std::string>> SplitEscapedLine(std::string_view line);

// Runs every non-empty line of the file at `path` ("-": stdin) as the tool
// would run those arguments, in order, into the same stdout. A line that is
// wrong usage is reported on stderr with its number and the others still
// run. Returns the largest exit status of the lines.
int RunArgsFrom(std::string_view path);

}  // namespace tavrin::cli
