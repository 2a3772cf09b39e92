// Building the in-memory dialog template, word by word.
#include "dialog/dialog_template.h"

namespace tavrin {
namespace {

// Appends words to the template, never past its end.
class TemplateWriter {
 public:
  explicit TemplateWriter(DialogTemplate& out) : out_(out) { out_.used = 0; }
  void Word(std::uint32_t value) {
    if (out_.used < out_.words.size()) out_.words[out_.used++] = static_cast<WORD>(value);
  }
  void Dword(std::uint32_t value) {
    Word(value & 0xFFFF);
    Word(value >> 16);
  }
  // Each byte becomes one code unit of the same value (no code page), up to
  // `limit` bytes or the first zero byte, then the 0x0000 terminator.
  void WidenedText(std::string_view text, std::size_t limit) {
    for (std::size_t i = 0; i < text.size() && i < limit && text[i] != '\0'; ++i) {
      Word(static_cast<unsigned char>(text[i]));
    }
    Word(0);
  }

 private:
  DialogTemplate& out_;
};

// The caption up to its first zero byte; the title shown is exactly that.
std::string_view ShownCaption(std::string_view caption) {
  return caption.substr(0, caption.find('\0'));
}

}  // namespace

std::uint32_t DialogTemplateStyle(std::uint32_t style, std::int32_t x, std::int32_t y) {
  std::uint32_t result = style == 0 ? kDefaultDialogStyle : style;
  result |= kAlwaysAddedDialogStyle;
  result &= ~kAlwaysRemovedDialogStyle;
  if (x == kCenteredPosition || y == kCenteredPosition) result |= kCenterDialogStyle;
  return result;
}

void BuildDialogTemplate(const DialogTemplateFields& f, DialogTemplate& out) {
  TemplateWriter w(out);
  w.Dword(f.style);
  w.Dword(f.exStyle);
  w.Word(0);  // no items: controls are added as child windows afterwards
  w.Word(static_cast<std::uint32_t>(f.x) & 0xFFFF);
  w.Word(static_cast<std::uint32_t>(f.y) & 0xFFFF);
  w.Word(static_cast<std::uint32_t>(f.width) & 0xFFFF);
  w.Word(static_cast<std::uint32_t>(f.height) & 0xFFFF);
  w.Word(0);  // no menu
  w.Word(0);  // the system dialog class
  const std::string_view caption = ShownCaption(f.caption);
  w.WidenedText(caption.empty() ? std::string_view(" ") : caption, kMaxCaptionBytes);
  w.Word(f.points & 0xFFFF);
  w.WidenedText(f.face, kMaxFaceBytes);
}

}  // namespace tavrin
