// Online scores and the version check, through the networking library that
// is loaded at run time by name.
#pragma once

#include "runtime/runtime.h"

// Binding of the networking library. Every pointer is always callable: an
// entry point the library lacks (or every one, when the library is missing)
// is bound to a substitute that fails at once.
int LoadETNA();
bool ETNALoaded();
extern int (*ETNA__SetServer)(const char* address);
extern int (*ETNA__SetDelimiter)(const char* delimiter);
extern int (*ETNA__SetKey)(const char* key);
extern int (*ETNA_SetKeySend)(const char* key);  // looked up as "ETNA_)SetKeySend"
extern int (*ETNA__SetKeyReceive)(const char* key);
extern int (*ETNA_Update)();
extern int (*ETNA__Send)(int command, const char* query, int a, int b);
extern int (*ETNA_GetNumberOfCommandsInQueue)();
extern int (*ETNA_Cancel)(int command);
extern int (*ETNA_Receive)(int command);
extern int (*ETNA_GetState)();
extern const char* (*ETNA__GetResult)(int line);
extern int (*ETNA_GetNbOfLines)();

// The score service's base address (path "/scores") and the key, handed to
// the library at start-up.
extern const char* const ScoreServiceAddress;
extern const char* const ScoreServiceKey;

extern String SyncStatus;
void SyncScores();
void CheckVersion();
