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

// Runs one command line; wrong usage is reported with the line's number.
int RunLine(const std::vector<std::string>& words, long lineNumber) {
  const auto report = [&](const std::string& message) {
    std::fprintf(stderr, "tavrin: line %ld: %s\n", lineNumber, message.c_str());
    return kExitUsage;
  };
  const Command* command = FindCommand(words.front());
  if (command == nullptr) return report("unknown command '" + words.front() + "'");
  std::vector<const char*> args;
  args.reserve(words.size() - 1);
  for (std::size_t i = 1; i < words.size(); ++i) args.push_back(words[i].c_str());
  try {
    return command->run(std::span<const char* const>(args));
  } catch (const UsageError& error) {
    return report(error.what());
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
    if (!file) throw UsageError("cannot open '" + std::string(path) + "'");
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
      std::fprintf(stderr, "tavrin: line %ld: unknown or unfinished escape\n", lineNumber);
      status = std::max(status, kExitUsage);
      continue;
    }
    status = std::max(status, RunLine(*words, lineNumber));
  }
  if (in.bad()) throw UsageError("could not read '" + std::string(path) + "'");
  return status;
}

}  // namespace tavrin::cli
