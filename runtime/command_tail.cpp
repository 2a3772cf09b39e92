// SkipProgramName: finds the command-line tail after the program name.
#include "runtime/start_process.h"

namespace tavrin {
namespace {

constexpr unsigned char kQuote = '"';
constexpr unsigned char kSpace = 0x20;

unsigned char ByteAt(const char* p) {
  return static_cast<unsigned char>(*p);
}

// Skips spaces (0x20 only; a tab is not a space here).
const char* SkipSpaces(const char* p) {
  while (ByteAt(p) == kSpace) ++p;
  return p;
}

}  // namespace

const char* SkipProgramName(const char* commandLine) {
  if (commandLine == nullptr) return "";
  const char* p = commandLine;
  if (ByteAt(p) == kQuote) {
    // A quoted name runs to the closing quote; without one, everything up
    // to the terminating zero is the name and the tail is empty.
    ++p;
    while (ByteAt(p) != 0 && ByteAt(p) != kQuote) ++p;
    if (ByteAt(p) == kQuote) ++p;
    return SkipSpaces(p);
  }
  if (ByteAt(p) == kSpace) return SkipSpaces(p);
  // Unquoted: the name is the bytes above 0x20 (bytes 0x80 and up included).
  while (ByteAt(p) > kSpace) ++p;
  return ByteAt(p) == kSpace ? SkipSpaces(p) : p;
}

}  // namespace tavrin
