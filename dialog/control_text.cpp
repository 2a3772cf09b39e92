// Reading and writing control texts, and the item operations of combo boxes
// and list boxes. Texts are bytes; nothing is converted.
#include <memory>
#include <new>

#include "dialog/engine.h"
#include "dialog/fp_state.h"
#include "dialog/operations.h"

namespace tavrin {
namespace {

// A new text of the first `count` bytes of `bytes`; the empty text when no
// storage can be had (no error number is recorded).
TextValue NewText(const char* bytes, std::int64_t count) {
  bool failed = false;
  TextValue text = TextValue::Allocate(count, &failed);
  if (failed || text.empty()) return {};
  std::memcpy(text.mutable_data(), bytes, static_cast<std::size_t>(count));
  return text;
}

// Item number (counted from 1) as the Win32 index (from 0), computed in 64
// bits so that INT32_MIN has one too: an index past every end, which the
// control refuses.
WPARAM ItemIndex(std::int32_t item) {
  return static_cast<WPARAM>(static_cast<std::int64_t>(item) - 1);
}

// Messages of one item family (combo box or list box).
struct ItemMessages {
  UINT add;
  UINT remove;
  UINT getSelection;
  UINT getTextLength;
  UINT getText;
  UINT reset;
  UINT select;
};
constexpr ItemMessages kComboMessages{CB_ADDSTRING, CB_DELETESTRING, CB_GETCURSEL, CB_GETLBTEXTLEN,
                                      CB_GETLBTEXT, CB_RESETCONTENT, CB_SETCURSEL};
constexpr ItemMessages kListMessages{LB_ADDSTRING, LB_DELETESTRING, LB_GETCURSEL, LB_GETTEXTLEN,
                                     LB_GETTEXT,   LB_RESETCONTENT, LB_SETCURSEL};

LRESULT SendToItem(HWND dialog, std::int32_t id, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendMessageA(GetDlgItem(dialog, id), message, wParam, lParam);
}

// The text of the selected item, or the empty text with nothing selected.
// The text is as long as the item's text; should the item report fewer
// bytes when read than its length promised, the text is cut to those.
TextValue SelectedText(HWND dialog, std::int32_t id, const ItemMessages& m) {
  HWND control = GetDlgItem(dialog, id);
  const LRESULT index = SendMessageA(control, m.getSelection, 0, 0);
  if (index < 0) return {};
  const LRESULT length = SendMessageA(control, m.getTextLength, static_cast<WPARAM>(index), 0);
  if (length <= 0) return {};
  bool failed = false;
  TextValue text = TextValue::Allocate(length, &failed);
  if (failed || text.empty()) return {};
  // The storage holds `length` bytes and a zero terminator after them, room
  // for the terminated item text.
  const LRESULT copied = SendMessageA(control, m.getText, static_cast<WPARAM>(index),
                                      reinterpret_cast<LPARAM>(text.mutable_data()));
  if (copied <= 0) return {};
  if (copied < length) return NewText(text.data(), copied);
  return text;
}

}  // namespace

TextValue ControlGetText(HWND dialog, std::int32_t id) {
  HWND control = GetDlgItem(dialog, id);
  const int length = GetWindowTextLengthA(control);
  if (length <= 0) return {};
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[static_cast<std::size_t>(length) + 1]);
  if (!buffer) return {};
  const int copied = GetWindowTextA(control, buffer.get(), length + 1);
  if (copied <= 0) return {};
  return NewText(buffer.get(), copied < length ? copied : length);
}

void ControlSetText(HWND dialog, std::int32_t id, TextRef text) {
  const FloatingPointState saved;
  SetWindowTextA(GetDlgItem(dialog, id), text.data());
  saved.Restore();
}

void ComboAddText(HWND dialog, std::int32_t id, TextRef text) {
  SendToItem(dialog, id, kComboMessages.add, 0, reinterpret_cast<LPARAM>(text.data()));
}
void ComboDeleteItem(HWND dialog, std::int32_t id, std::int32_t item) {
  SendToItem(dialog, id, kComboMessages.remove, ItemIndex(item), 0);
}
TextValue ComboGetSelectedText(HWND dialog, std::int32_t id) {
  return SelectedText(dialog, id, kComboMessages);
}
void ComboReset(HWND dialog, std::int32_t id) {
  SendToItem(dialog, id, kComboMessages.reset, 0, 0);
}
void ComboSelect(HWND dialog, std::int32_t id, std::int32_t item) {
  SendToItem(dialog, id, kComboMessages.select, ItemIndex(item), 0);
}

void ListAddText(HWND dialog, std::int32_t id, TextRef text) {
  SendToItem(dialog, id, kListMessages.add, 0, reinterpret_cast<LPARAM>(text.data()));
}
void ListDeleteItem(HWND dialog, std::int32_t id, std::int32_t item) {
  SendToItem(dialog, id, kListMessages.remove, ItemIndex(item), 0);
}
TextValue ListGetSelectedText(HWND dialog, std::int32_t id) {
  return SelectedText(dialog, id, kListMessages);
}
void ListReset(HWND dialog, std::int32_t id) {
  SendToItem(dialog, id, kListMessages.reset, 0, 0);
}
void ListSelect(HWND dialog, std::int32_t id, std::int32_t item) {
  SendToItem(dialog, id, kListMessages.select, ItemIndex(item), 0);
}

}  // namespace tavrin
