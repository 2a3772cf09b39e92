// The per-thread record: creation in the thread-local slot, the copy of the
// main thread's font for other threads, and release.
#include "runtime/thread_record.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/win32.h"
#include "runtime/errors.h"
#include "runtime/runtime_state.h"

namespace tavrin {
namespace {

// Guards RuntimeState::tlsSlot and mainThreadRecord while records are made
// or released, and the main record's font while it is written or copied.
std::mutex g_record_mutex;

// A zero-filled record from GlobalAlloc, or nullptr.
ThreadRecord* AllocateRecord() {
  return static_cast<ThreadRecord*>(GlobalAlloc(GPTR, sizeof(ThreadRecord)));
}

// Writes the font into `record`; the caller holds g_record_mutex.
void WriteFont(ThreadRecord& record, std::string_view face, std::uint32_t points) {
  const std::size_t zero = face.find('\0');
  if (zero != std::string_view::npos) face = face.substr(0, zero);
  const std::size_t length = std::min(face.size(), kFontFaceMaxLength);
  std::memcpy(record.fontFace, face.data(), length);
  std::memset(record.fontFace + length, 0, kFontFaceBytes - length);
  record.fontPoints = points;
}

// Makes the slot and the main thread's record for the calling thread; the
// caller holds g_record_mutex.
bool CreateMainRecordLocked() {
  RuntimeState& state = Runtime();
  state.tlsSlot = TlsAlloc();
  if (state.tlsSlot == TLS_OUT_OF_INDEXES) return false;
  ThreadRecord* record = AllocateRecord();
  if (record == nullptr) return false;
  TlsSetValue(state.tlsSlot, record);
  WriteFont(*record, kStartupFontFace, kStartupFontPoints);
  state.mainThreadRecord = record;
  return true;
}

// Releases the calling thread's record; the caller holds g_record_mutex.
void ReleaseCurrentLocked() {
  RuntimeState& state = Runtime();
  if (state.tlsSlot == TLS_OUT_OF_INDEXES) return;
  auto* record = static_cast<ThreadRecord*>(TlsGetValue(state.tlsSlot));
  if (record == nullptr) return;
  GlobalFree(record);
  TlsSetValue(state.tlsSlot, nullptr);
  if (state.mainThreadRecord == record) state.mainThreadRecord = nullptr;
}

}  // namespace

ThreadRecord* CurrentThreadRecord() {
  std::lock_guard lock(g_record_mutex);
  RuntimeState& state = Runtime();
  if (state.tlsSlot == TLS_OUT_OF_INDEXES) {
    if (!CreateMainRecordLocked()) {
      RaiseError(ErrorNumber::kOutOfMemory);
      return nullptr;
    }
    return state.mainThreadRecord;
  }
  if (auto* record = static_cast<ThreadRecord*>(TlsGetValue(state.tlsSlot))) return record;
  ThreadRecord* record = AllocateRecord();
  if (record == nullptr) {
    RaiseError(ErrorNumber::kOutOfMemory);
    return nullptr;
  }
  if (state.mainThreadRecord != nullptr) {
    std::memcpy(record->fontFace, state.mainThreadRecord->fontFace, kFontFaceBytes);
    record->fontFace[kFontFaceMaxLength] = '\0';
    record->fontPoints = state.mainThreadRecord->fontPoints;
  } else {
    // The main thread's record is gone (after shutdown released it): the
    // new thread becomes the main one, with the start-up font.
    WriteFont(*record, kStartupFontFace, kStartupFontPoints);
    state.mainThreadRecord = record;
  }
  TlsSetValue(state.tlsSlot, record);
  return record;
}

void SetThreadRecordFont(ThreadRecord& record, std::string_view face, std::uint32_t points) {
  std::lock_guard lock(g_record_mutex);
  WriteFont(record, face, points);
}

bool CreateMainThreadRecord() {
  std::lock_guard lock(g_record_mutex);
  return CreateMainRecordLocked();
}

void ReleaseCurrentThreadRecord() {
  std::lock_guard lock(g_record_mutex);
  ReleaseCurrentLocked();
}

void ReleaseMainThreadRecord() {
  std::lock_guard lock(g_record_mutex);
  ReleaseCurrentLocked();
  RuntimeState& state = Runtime();
  if (state.tlsSlot != TLS_OUT_OF_INDEXES) TlsFree(state.tlsSlot);
  state.tlsSlot = TLS_OUT_OF_INDEXES;
  state.mainThreadRecord = nullptr;
}

}  // namespace tavrin
