// Fuzzes SkipProgramName with a zero-terminated copy of arbitrary bytes (the
// command line ends at its first zero byte). Beyond memory safety it checks
// what every command line gives:
//  - the tail lies within the command line, its terminating zero included;
//  - the tail never starts with a space;
//  - a quoted program name: the tail starts after the closing quote and only
//    spaces lie between; without a closing quote the tail is empty;
//  - otherwise the skipped part is bytes above 0x20 followed by spaces, and
//    when no space was skipped the tail starts at a byte at or below 0x20.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "runtime/start_process.h"

namespace {

constexpr char kQuote = '"';
constexpr unsigned char kSpace = 0x20;

[[noreturn]] void Fail(const char* property) {
  std::fprintf(stderr, "property violated: %s\n", property);
  std::abort();
}

bool AllSpaces(std::string_view bytes) {
  return bytes.find_first_not_of(' ') == std::string_view::npos;
}

// Checks the skipped part of a command line that does not start with a quote.
void CheckUnquoted(std::string_view skipped, unsigned char tailByte) {
  std::size_t k = 0;
  while (k < skipped.size() && static_cast<unsigned char>(skipped[k]) > kSpace) ++k;
  if (!AllSpaces(skipped.substr(k))) Fail("skipped part is not name bytes then spaces");
  if (k == skipped.size() && tailByte > kSpace) Fail("stopped inside the program name");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<char> line(data, data + size);
  line.push_back('\0');
  const char* start = line.data();
  const std::size_t length = std::strlen(start);

  const char* tail = tavrin::SkipProgramName(start);
  if (tail < start || tail > start + length) Fail("tail outside the command line");
  const std::string_view skipped(start, static_cast<std::size_t>(tail - start));
  const auto tailByte = static_cast<unsigned char>(*tail);
  if (tailByte == kSpace) Fail("tail starts with a space");

  if (length > 0 && start[0] == kQuote) {
    const char* closing = std::strchr(start + 1, kQuote);
    if (closing == nullptr) {
      if (tailByte != 0) Fail("unclosed quote but a non-empty tail");
    } else if (tail <= closing || !AllSpaces(std::string_view(
                                      closing + 1, static_cast<std::size_t>(tail - closing - 1)))) {
      Fail("quoted name: tail not after the closing quote and spaces");
    }
  } else {
    CheckUnquoted(skipped, tailByte);
  }
  return 0;
}
