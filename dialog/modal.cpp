// Showing and ending dialogs: the modal polling loop, the modeless show,
// DialogEnd with its result, and the first-show state.
#include "dialog/engine.h"
#include "dialog/operations.h"
#include "dialog/registry.h"

namespace tavrin {
namespace {

// Dialog style bit: no WM_ENTERIDLE to the owner while the loop idles.
constexpr std::uint32_t kNoIdleMessageStyle = DS_NOIDLEMSG;  // 0x0100

// The owner Win32 reports for `dialog`, or null.
HWND OwnerOf(HWND dialog) {
  return reinterpret_cast<HWND>(GetWindowLongPtrA(dialog, GWLP_HWNDPARENT));
}

// WM_SIZE type for the first size message of a dialog shown with `command`.
WPARAM FirstSizeType(std::int32_t command) {
  if (command == SW_MAXIMIZE) return SIZE_MAXIMIZED;
  if (command == SW_MINIMIZE) return SIZE_MINIMIZED;
  return SIZE_RESTORED;
}

// Steps shared by both show operations: the callback's direct WM_INITDIALOG
// and WM_SIZE, then the callback and result address stored in the record.
// Gives the record, or null when the dialog has none (nothing is shown).
Record* PrepareShow(HWND dialog, ControlCallback callback, std::int32_t* result) {
  if (callback != nullptr) {
    callback(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(dialog), 0);
    // Read after WM_INITDIALOG, where the callback may set the first state.
    const Record* shown = RegistryFind(dialog);
    const std::int32_t command = shown != nullptr ? shown->showCommand : SW_SHOW;
    RECT client{};
    GetClientRect(dialog, &client);
    callback(dialog, WM_SIZE, FirstSizeType(command),
             MAKELPARAM(client.right - client.left, client.bottom - client.top));
  }
  // Found afresh: the callback may have ended the dialog.
  Record* r = RegistryFind(dialog);
  if (r == nullptr) return nullptr;
  r->callback = callback;
  r->flags |= RecordFlag::Shown;
  r->resultTarget = result;
  return r;
}

}  // namespace

void DialogShowModal(HWND dialog, ControlCallback callback, std::int32_t* result) {
  Record* r = PrepareShow(dialog, callback, result);
  if (r == nullptr) return;
  const std::uint32_t style = r->style;
  const std::int32_t command = r->showCommand;
  HWND owner = OwnerOf(dialog);
  bool ownerDisabledHere = false;
  if (owner != nullptr) {
    SendMessageA(owner, WM_CANCELMODE, 0, 0);
    ownerDisabledHere = EnableWindow(owner, FALSE) == 0;
  }
  ShowWindow(dialog, command);
  const bool idleMessages = owner != nullptr && (style & kNoIdleMessageStyle) == 0;
  MSG message{};
  for (;;) {
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      // A message sent from another thread or process is handled inside
      // PeekMessageA and may destroy the dialog without anything reaching
      // the queue; without this check the loop would poll forever.
      if (!IsWindow(dialog)) break;
      if (idleMessages) {
        SendMessageA(owner, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(dialog));
      }
      Sleep(1);
      continue;
    }
    if (IsWindow(dialog) && IsDialogMessageA(dialog, &message)) {
      // Handled. A message whose handling destroyed the dialog is not
      // dispatched again: Win32 would run a WM_TIMER's procedure twice.
      if (IsWindow(dialog)) continue;
      break;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    if (!IsWindow(dialog)) break;
  }
  if (owner != nullptr) {
    // DialogEnd enables the owner before the window goes; a dialog destroyed
    // any other way would leave it dead to input.
    if (ownerDisabledHere) EnableWindow(owner, TRUE);
    SetFocus(owner);
  }
}

void DialogShowModeless(HWND dialog, ControlCallback callback, std::int32_t* result) {
  Record* r = PrepareShow(dialog, callback, result);
  if (r == nullptr) return;
  ShowWindow(dialog, r->showCommand);
}

void DialogEnd(HWND dialog, std::int32_t result) {
  if (!IsWindow(dialog)) return;
  // A callback that answers WM_CLOSE by ending the dialog (or by the close
  // command, which ends it too) comes back here: the first call finishes the
  // work, with its result.
  if (Record* r = RegistryFind(dialog)) {
    if ((r->flags & RecordFlag::Ending) != 0) return;
    r->flags |= RecordFlag::Ending;
  }
  // Read first: the callback may destroy the dialog on WM_CLOSE, and its
  // owner must take input again all the same.
  HWND owner = OwnerOf(dialog);
  SendMessageA(dialog, WM_CLOSE, 0, 0);
  const BOOL wasDisabled = owner != nullptr ? EnableWindow(owner, TRUE) : FALSE;
  if (const Record* r = RegistryFind(dialog); r != nullptr && r->resultTarget != nullptr) {
    *r->resultTarget = result;
  }
  if (DestroyWindow(dialog) || !IsWindow(dialog)) return;
  if (wasDisabled) EnableWindow(owner, FALSE);
  // Still there (another thread's window): it may be ended again later.
  if (Record* r = RegistryFind(dialog)) r->flags &= ~RecordFlag::Ending;
}

std::int32_t DialogSetShowState(HWND window, std::int32_t command) {
  Record* r = RegistryFind(window);
  if (r == nullptr) return 0;
  if ((r->flags & (RecordFlag::Shown | RecordFlag::Control)) != 0) {
    return ShowWindow(window, command);
  }
  const bool kept = command == SW_HIDE || command == SW_MAXIMIZE || command == SW_MINIMIZE;
  r->showCommand = kept ? command : SW_SHOW;
  return 0;
}

}  // namespace tavrin
