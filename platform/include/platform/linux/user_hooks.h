// Test hooks of the Linux platform's window half: feeding input while a
// message loop runs, the keyboard state that GetKeyState reports, and
// resetting the thread's window state between tests. Linux only.
#pragma once

#include <functional>

#include "platform/win32.h"

namespace tavrin::platform {

// Called on the calling thread each time PeekMessageA (or GetMessageA) finds
// the thread's queue empty, so a test can post input while a modal loop
// runs. An empty function removes the hook. The hook may post messages and
// call any window function; it is not called again while it runs.
void SetIdleHook(std::function<void()> hook);

// Sets whether virtual key `vk` (VK_SHIFT, VK_CONTROL, ...) is held down, as
// GetKeyState and GetAsyncKeyState then report it.
void SetKeyDown(int vk, bool down);
// Releases every key.
void ReleaseAllKeys();

// Posts the keystroke of `vk` to the window with the focus, as the keyboard
// would: WM_KEYDOWN then WM_KEYUP, with Win32's lParam (repeat count 1,
// transition bits on the key-up). Returns false when no window has the focus.
bool PostKeystroke(int vk);
// Posts WM_CHAR for each byte of `text` to the window with the focus.
bool PostChars(const char* text);

// Number of messages waiting in the calling thread's queue (WM_PAINT, which
// is synthesized, is not counted).
int PendingMessageCount();

// Destroys every window of the calling thread, empties its queue, clears the
// quit flag, the key state and the idle hook: a clean slate for the next test.
void ResetThreadWindows();

}  // namespace tavrin::platform
