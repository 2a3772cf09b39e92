// The parts of a command's parser that the commands share: options that take
// one value and may be given once, repeatable options, flags, and the texts of
// the commands whose arguments are typed texts.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::cli {

// A positional argument (FILE), and one that takes every remaining value.
CLI::Option* AddPositional(CLI::App& app, const std::string& name, std::string& value,
                           const std::string& description);
CLI::Option* AddPositionals(CLI::App& app, const std::string& name,
                            std::vector<std::string>& values, const std::string& description);

// --name VALUE or --name=VALUE, at most once. Descriptions are wrapped to
// the help's width.
CLI::Option* AddValue(CLI::App& app, const std::string& name, std::string& value,
                      const std::string& typeName, const std::string& description);

// --name VALUE, as often as wanted; each gives one value, in order.
CLI::Option* AddRepeated(CLI::App& app, const std::string& name, std::vector<std::string>& values,
                         const std::string& typeName, const std::string& description);

// --name, at most once.
CLI::Option* AddFlag(CLI::App& app, const std::string& name, bool& value,
                     const std::string& description);

// The commands whose arguments are typed texts (calc, number, format,
// digits): a text may start with "-" ("-5", "-&H2", "-#.#"), so the options
// come first and the texts begin at the first argument that is no option of
// the command, or after "--" (a "--" alone is a text). TakeTexts sets the
// parser up; Texts gives them.
void TakeTexts(CLI::App& app);
std::vector<std::string> Texts(const CLI::App& app);

}  // namespace tavrin::cli
