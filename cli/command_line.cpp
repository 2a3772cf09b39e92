// Running a command line: the command named by the first argument, its
// arguments read by its CLI11 parser, and every parsing failure made one
// line that says what was wrong (with the closest known name for a
// mistyped option or command).
#include "cli/command_line.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/args_from.h"
#include "cli/commands.h"

namespace tavrin::cli {

namespace {

// Where the options' descriptions begin in a command's help.
constexpr std::size_t kHelpColumn = 30;

// The number of single-character insertions, deletions and substitutions
// that make `a` into `b` (Levenshtein).
std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1] ? 1 : 0)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// "; did you mean 'X'?" for the known name closest to `given`, when it is
// close enough to be a typing slip: at most half the letters of the name
// (its dashes aside) wrong, so that "--rh" is "--rho" and "frwd" "forward",
// but "--fast" is not "--plot".
std::string Suggestion(std::string_view given, const std::vector<std::string>& known) {
  const auto letters = [](std::string_view name) {
    return name.substr(std::min(name.find_first_not_of('-'), name.size()));
  };
  const std::string_view name = letters(given.substr(0, given.find('=')));
  const std::string* best = nullptr;
  std::size_t bestDistance = 0;
  for (const std::string& candidate : known) {
    const std::size_t distance = EditDistance(name, letters(candidate));
    if (distance <= std::max<std::size_t>(1, letters(candidate).size() / 2) &&
        (best == nullptr || distance < bestDistance)) {
      bestDistance = distance;
      best = &candidate;
    }
  }
  return best == nullptr ? std::string() : "; did you mean '" + *best + "'?";
}

std::vector<std::string> OptionNames(const CLI::App& app) {
  std::vector<std::string> names;
  for (const CLI::Option* option : app.get_options()) {
    for (const std::string& name : option->get_lnames()) names.push_back("--" + name);
  }
  return names;
}

// The one line a parsing failure becomes.
std::string ParseFailure(const CLI::App& app, const CLI::ParseError& error) {
  if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
    const std::vector<std::string> extras = app.remaining();
    if (!extras.empty()) {
      const std::string& first = extras.front();
      if (first.starts_with("-")) {
        return "unknown option '" + first + "'" + Suggestion(first, OptionNames(app));
      }
      return "unexpected argument '" + first + "'";
    }
  }
  // An option given more often than it may be.
  for (const CLI::Option* option : app.get_options()) {
    if (option->get_multi_option_policy() == CLI::MultiOptionPolicy::Throw && option->count() > 1) {
      return option->get_name() + " is given " + std::to_string(option->count()) +
             " times; it is taken once";
    }
  }
  std::string message = error.what();
  if (!message.empty()) message[0] = static_cast<char>(std::tolower(message[0]));
  return message;
}

int RunCommand(const Command& command, std::span<const std::string> args) {
  CLI::App app;
  app.name("tavrin " + std::string(command.name));
  app.set_help_flag("-h,--help", "this command's help");
  // "/path/file" is a file on every system, never a Windows-style "/option".
  app.allow_windows_style_options(false);
  auto formatter = std::make_shared<CLI::Formatter>();
  formatter->column_width(kHelpColumn);
  app.formatter(formatter);
  const CommandRun run = command.declare(app);
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    std::fputs(app.help().c_str(), stdout);
    return kExitOk;
  } catch (const CLI::ParseError& error) {
    throw UsageError(ParseFailure(app, error));
  }
  return run();
}

std::vector<std::string> CommandNames() {
  std::vector<std::string> names;
  for (const Command& command : Commands()) names.emplace_back(command.name);
  return names;
}

// The description broken into lines of at most kDescriptionWidth, at blanks
// (the help's right margin is then the 80th column); its own line breaks
// are blanks.
std::string Wrapped(const std::string& text) {
  constexpr std::size_t kDescriptionWidth = 80 - kHelpColumn - 2;
  std::string out;
  std::size_t lineStart = 0;
  std::size_t lastBlank = std::string::npos;
  for (char c : text) {
    if (c == '\n') c = ' ';
    if (c == ' ') lastBlank = out.size();
    out += c;
    if (out.size() - lineStart > kDescriptionWidth && lastBlank != std::string::npos) {
      out[lastBlank] = '\n';
      lineStart = lastBlank + 1;
      lastBlank = std::string::npos;
    }
  }
  return out;
}

}  // namespace

CLI::Option* AddPositional(CLI::App& app, const std::string& name, std::string& value,
                           const std::string& description) {
  return app.add_option(name, value, Wrapped(description))->type_name("");
}

CLI::Option* AddPositionals(CLI::App& app, const std::string& name,
                            std::vector<std::string>& values, const std::string& description) {
  return app.add_option(name, values, Wrapped(description))->type_name("");
}

CLI::Option* AddValue(CLI::App& app, const std::string& name, std::string& value,
                      const std::string& typeName, const std::string& description) {
  return app.add_option(name, value, Wrapped(description))
      ->type_name(typeName)
      ->multi_option_policy(CLI::MultiOptionPolicy::Throw);
}

CLI::Option* AddRepeated(CLI::App& app, const std::string& name, std::vector<std::string>& values,
                         const std::string& typeName, const std::string& description) {
  return app.add_option(name, values, Wrapped(description))
      ->type_name(typeName)
      ->allow_extra_args(false);
}

CLI::Option* AddFlag(CLI::App& app, const std::string& name, bool& value,
                     const std::string& description) {
  return app.add_flag(name, value, Wrapped(description))
      ->multi_option_policy(CLI::MultiOptionPolicy::Throw);
}

void TakeTexts(CLI::App& app) {
  app.prefix_command();
}

std::vector<std::string> Texts(const CLI::App& app) {
  std::vector<std::string> texts = app.remaining();
  // The parser keeps the "--" that ended the options. A "--" with nothing
  // after it is a text of its own ("number --" converts it, as it always
  // has); another text "--" needs a "--" before it.
  if (texts.size() > 1 && texts.front() == "--") texts.erase(texts.begin());
  return texts;
}

int RunArguments(std::span<const std::string> args) {
  constexpr std::string_view kHint = " (try 'tavrin --help')";
  if (args.empty()) throw UsageError("no command given" + std::string(kHint));
  const std::string& first = args.front();
  if (first == "--help" || first == "-h") {
    PrintHelp(stdout);
    return kExitOk;
  }
  if (first == "--version") {
    PrintVersion(stdout);
    return kExitOk;
  }
  if (first == "--args-from") {
    if (args.size() != 2) throw UsageError("--args-from needs one FILE" + std::string(kHint));
    return RunArgsFrom(args[1]);
  }
  const Command* command = FindCommand(first);
  if (command == nullptr) {
    throw UsageError((first.starts_with("-") ? "unknown option '" : "unknown command '") + first +
                     "'" + Suggestion(first, CommandNames()) + std::string(kHint));
  }
  try {
    return RunCommand(*command, args.subspan(1));
  } catch (const UsageError& error) {
    throw UsageError(std::string(error.what()) + " (try 'tavrin " + first + " --help')");
  }
}

}  // namespace tavrin::cli
