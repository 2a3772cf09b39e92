// The steps of TextToNumber: skipping blanks, then reading a decimal number
// or a "&" radix literal from the front of a byte string. Each scan stops at
// the first byte that cannot continue its number and reports how far it read.
#pragma once

#include <cstddef>
#include <string_view>

#include "numtext/numtext.h"

namespace tavrin {

// The value of a scan and the number of bytes it consumed.
struct ScanResult {
  Extended value;
  std::size_t consumed;
};

// The bytes after the leading blanks (space, tab, line feed) of `text`.
std::string_view SkipBlanks(std::string_view text);

// Reads an optionally signed decimal number with optional point and exponent
// ("E", "e", "D" or "d"). No digit gives zero with the sign.
ScanResult ScanDecimal(std::string_view text);

// Reads a radix literal that starts with "&": "&B"/"&b" binary, "&H"/"&h"
// hexadecimal, "&O"/"&o"/"&Q"/"&q" or a bare "&" octal, with the suffixes
// "%", "?", "&" and "&&". `text` must start with "&".
ScanResult ScanRadix(std::string_view text);

}  // namespace tavrin
