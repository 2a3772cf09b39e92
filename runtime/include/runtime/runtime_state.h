// RuntimeState: the process-wide values the run-time frame sets at start-up
// (command-line tail, show state, module instance, thread-local slot, main
// thread's record) and the program-wide variables it owns.
//
// Program-wide text variables are registered by the program; start-up makes
// them empty before the main routine runs and shutdown releases their texts
// after it returns. Subsystems with shared values of their own (the dialog
// engine's registry and its other engine-wide values) register a reset hook
// that start-up calls to make them empty or zero; what they hold is theirs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32.h"

namespace tavrin {

class TextValue;
struct ThreadRecord;

struct RuntimeState {
  // First byte of the command line after the program name.
  const char* commandTail = "";
  // The ShowWindow command the process was started with.
  std::int32_t showState = 0;
  // The program's module instance handle.
  HINSTANCE instance = nullptr;
  // The thread-local slot that holds each thread's ThreadRecord.
  DWORD tlsSlot = TLS_OUT_OF_INDEXES;
  // The main thread's record.
  ThreadRecord* mainThreadRecord = nullptr;
};

// The process's one RuntimeState.
RuntimeState& Runtime();

// Room in the tables of program-wide texts and reset hooks.
inline constexpr std::size_t kMaxProgramTexts = 32;
inline constexpr std::size_t kMaxStateResetHooks = 8;

// Registers a program-wide text variable. True when it is registered (also
// when it already was); false for nullptr or a full table.
bool RegisterProgramText(TextValue* variable);
// Removes a variable from the table (a variable that is going away before
// shutdown); does nothing for one that is not registered.
void UnregisterProgramText(TextValue* variable);

using StateResetHook = void (*)();
// Registers a hook that start-up calls to empty a subsystem's shared values.
// True when registered (also when it already was); false for nullptr or a
// full table.
bool RegisterStateReset(StateResetHook hook);
void UnregisterStateReset(StateResetHook hook);

// Start-up: every registered text becomes empty (released) and every reset
// hook runs, in the order of registration.
void ResetProgramState();
// Shutdown: releases the text of every registered variable (an empty one
// releases nothing). The variables stay registered, and empty.
void ReleaseProgramTexts();

}  // namespace tavrin
