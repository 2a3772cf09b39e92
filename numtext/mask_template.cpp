// Splitting picture masks into sections and compiling a section.
#include "numtext/mask_template.h"

namespace tavrin {

MaskSections SplitSections(std::string_view mask) {
  MaskSections sections{};
  sections.present[0] = true;
  int current = 0;
  std::size_t start = 0;
  bool quoted = false;
  for (std::size_t i = 0; i < mask.size(); ++i) {
    const char c = mask[i];
    if (quoted) {
      quoted = c != '"';
    } else if (c == '"') {
      quoted = true;
    } else if (c == '\\') {
      ++i;  // the next character is ordinary
    } else if (c == ';') {
      sections.text[current] = mask.substr(start, i - start);
      if (current == 2) return sections;  // the third ";" ends the mask
      ++current;
      sections.present[current] = true;
      start = i + 1;
    }
  }
  sections.text[current] = mask.substr(start < mask.size() ? start : mask.size());
  return sections;
}

namespace {

// Compilation state beyond the template itself.
template <class Template>
class SectionCompiler {
 public:
  // Resets every field of `out`; the positions are overwritten as they are made.
  explicit SectionCompiler(Template& out) : out_(out) {
    out_.count = 0;
    out_.integerPlaces = 0;
    out_.decimalPlaces = 0;
    out_.exponentPlaces = 0;
    out_.zeroPlaces = 0;
    out_.grouping = false;
    out_.percent = false;
    out_.exponentMode = ExponentMode::kNone;
    out_.exponentStart = 0;
  }

  void Run(std::string_view section) {
    for (std::size_t i = 0; i < section.size(); ++i) {
      const char c = section[i];
      const bool hasNext = i + 1 < section.size();
      if (c == '#') {
        AddDigit(hasFill_ ? PositionKind::kFilledDigit : PositionKind::kOptionalDigit, fill_);
        continue;
      }
      if (c == '0') {
        if (!exponentBegun_) ++out_.zeroPlaces;
        AddDigit(PositionKind::kFilledDigit, '0');
        continue;
      }
      if (c == '*' && hasNext) {
        fill_ = section[++i];
        hasFill_ = true;
        AddDigit(PositionKind::kFilledDigit, fill_);
        AddDigit(PositionKind::kFilledDigit, fill_);
        continue;
      }
      const bool afterDigit = afterDigit_;
      afterDigit_ = false;
      switch (c) {
        case '.':
          if (!exponentBegun_) pointSeen_ = true;
          AddLiteral('.');
          break;
        case ',':
          if (afterDigit && !exponentBegun_) {
            out_.grouping = true;
          } else {
            AddLiteral(',');
          }
          break;
        case '%':
          if (afterDigit) {
            out_.percent = true;
            AddLiteral('%');
          }
          break;
        case 'E':
        case 'e':
          if (!exponentBegun_ && out_.integerPlaces + out_.decimalPlaces > 0) {
            AddLiteral(c);
            if (hasNext && (section[i + 1] == '-' || section[i + 1] == '+')) {
              out_.exponentMode = section[++i] == '-' ? ExponentMode::kMinus : ExponentMode::kPlus;
              exponentBegun_ = true;
              out_.exponentStart = out_.count;
            }
          }
          break;
        case '"':
          for (++i; i < section.size() && section[i] != '"'; ++i) AddLiteral(section[i]);
          break;
        case '\\':
          if (hasNext) AddLiteral(section[++i]);
          break;
        case '*':  // a "*" at the end of the section
        case '-':
        case '+':
        case '(':
        case ')':
        case '$':
        case ' ':
          AddLiteral(c);
          break;
        default:
          break;  // not part of the mask language
      }
    }
    if (out_.exponentMode != ExponentMode::kNone && out_.exponentPlaces == 0) {
      out_.exponentMode = ExponentMode::kNone;
      out_.exponentStart = 0;
    }
  }

 private:
  void AddLiteral(char c) { out_.positions[out_.count++] = {PositionKind::kLiteral, c}; }

  void AddDigit(PositionKind kind, char fill) {
    out_.positions[out_.count++] = {kind, fill};
    if (exponentBegun_) {
      ++out_.exponentPlaces;
    } else if (pointSeen_) {
      ++out_.decimalPlaces;
    } else {
      ++out_.integerPlaces;
    }
    afterDigit_ = true;
  }

  Template& out_;
  char fill_ = '\0';
  bool hasFill_ = false;
  bool afterDigit_ = false;
  bool pointSeen_ = false;
  bool exponentBegun_ = false;
};

}  // namespace

void CompileSection(std::string_view section, MaskTemplate& out) {
  SectionCompiler compiler(out);
  compiler.Run(section.substr(0, static_cast<std::size_t>(kMaxSectionLength)));
}

void CompileSection(std::string_view section, ShortMaskTemplate& out) {
  SectionCompiler compiler(out);
  compiler.Run(section.substr(0, static_cast<std::size_t>(kShortSectionLength)));
}

}  // namespace tavrin
