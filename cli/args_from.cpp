// --args-from FILE: command lines read from a file, one per line, run one
// after another in this process.
#include "cli/args_from.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <span>

#include "cli/commands.h"

namespace tavrin::cli {

namespace {

constexpr char kSeparator = '\t';
constexpr int kHexDigitsPerByte = 2;

// The value of one hexadecimal digit, or -1.
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Runs one command line; an error is reported with the line's number.
int RunLine(const std::string& path, const std::vector<std::string>& words, long lineNumber) {
  const auto report = [&](const std::string& message, int status) {
    std::fprintf(stderr, "tavrin: %s:%ld: %s\n", InputName(path).c_str(), lineNumber,
                 message.c_str());
    return status;
  };
  if (words.front() == "--args-from") return report("--args-from cannot be nested", kExitUsage);
  // An argument ends at its first zero byte, as a real command line's do.
  std::vector<std::string> args;
  args.reserve(words.size());
  for (const std::string& word : words) args.emplace_back(word.c_str());
  try {
    return RunArguments(args);
  } catch (const CommandError& error) {
    return report(error.what(), error.status());
  }
}

}  // namespace

std::optional<std::vector<std::string>> SplitEscapedLine(std::string_view line) {
  std::vector<std::string> words(1);
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == kSeparator) {
      words.emplace_back();
      continue;
    }
    if (c != '\\') {
      words.back() += c;
      continue;
    }
    if (++i == line.size()) return std::nullopt;
    switch (line[i]) {
      case 't':
        words.back() += '\t';
        break;
      case 'n':
        words.back() += '\n';
        break;
      case '\\':
        words.back() += '\\';
        break;
      case 'x': {
        if (line.size() - i <= kHexDigitsPerByte) return std::nullopt;
        const int high = HexValue(line[i + 1]), low = HexValue(line[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        words.back() += static_cast<char>(high * 16 + low);
        i += kHexDigitsPerByte;
        break;
      }
      default:
        return std::nullopt;
    }
  }
  return words;
}

int RunArgsFrom(std::string_view path) {
  std::ifstream file;
  if (path != "-") {
    file.open(std::string(path), std::ios::binary);
    if (!file) throw InputError("cannot open '" + std::string(path) + "'");
  }
  std::istream& in = path == "-" ? std::cin : file;
  int status = kExitOk;
  std::string line;
  long lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (line.empty()) continue;
    const auto words = SplitEscapedLine(line);
    if (!words) {
      std::fprintf(stderr, "tavrin: %s:%ld: unknown or unfinished escape\n",
                   InputName(path).c_str(), lineNumber);
      status = std::max(status, kExitUsage);
      continue;
    }
    status = std::max(status, RunLine(std::string(path), *words, lineNumber));
  }
  if (in.bad()) throw InputError("could not read '" + InputName(path) + "'");
  return status;
}

}  // namespace tavrin::cli
