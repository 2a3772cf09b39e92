// ThreadRecord: the run-time's record of one thread, which holds the
// thread's default dialog font. Each thread that asks for its record gets
// one, allocated zero-filled with GlobalAlloc(GPTR) and kept in the
// process's thread-local slot (RuntimeState::tlsSlot).
//
// The main thread's record is made at start-up with "MS Sans Serif", 8
// points. A record made later for any other thread starts with a copy of the
// main thread's face and points as they are at that moment.
//
// The dialog engine reads the fields directly from the calling thread's
// record; it writes them with SetThreadRecordFont, which takes the lock that
// keeps a new thread's copy of the main thread's font whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tavrin {

// Room for the face name: at most 31 bytes and the terminating zero byte.
inline constexpr std::size_t kFontFaceBytes = 32;
inline constexpr std::size_t kFontFaceMaxLength = kFontFaceBytes - 1;

// The main thread's font at start-up.
inline constexpr char kStartupFontFace[] = "MS Sans Serif";
inline constexpr std::uint32_t kStartupFontPoints = 8;

struct ThreadRecord {
  char fontFace[kFontFaceBytes];  // zero-terminated
  std::uint32_t fontPoints;       // in points
};

// The calling thread's record, created on the thread's first request. When
// no record exists for the main thread yet (a program or test that did not
// go through StartProcess), the first thread to ask makes the slot and
// becomes the main thread, with the start-up font.
// Returns nullptr and records error 7 (RaiseError) when the slot or the
// memory for the record cannot be had.
ThreadRecord* CurrentThreadRecord();

// Sets the record's face (cut to its first 31 bytes, or to its first zero
// byte) and points.
void SetThreadRecordFont(ThreadRecord& record, std::string_view face, std::uint32_t points);

// Start-up: allocates the thread-local slot (TlsAlloc) and the calling
// thread's record (GlobalAlloc, zero-filled, stored with TlsSetValue) with
// the start-up font, and makes them the main thread's. False when TlsAlloc
// or GlobalAlloc fails; a slot got before a GlobalAlloc failure stays in
// RuntimeState::tlsSlot.
bool CreateMainThreadRecord();

// Releases the calling thread's record (GlobalFree, then the slot is set
// back to null). Threads other than the main one call this before they end;
// nothing happens for a thread that has no record.
void ReleaseCurrentThreadRecord();

// Shutdown: releases the calling thread's record, then frees the slot
// (TlsFree) and clears the slot and main record of RuntimeState.
void ReleaseMainThreadRecord();

}  // namespace tavrin
