// Placeholders for routines not written yet, so the whole game links while
// it is built piece by piece. A real definition anywhere replaces one here.
#include "shell/shell.h"
#include "gameplay/gameplay.h"
#include "online/online.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"
#define PENDING __attribute__((weak))

PENDING const std::vector<KeyTableEntry>& KeyTable() { static std::vector<KeyTableEntry> t; return t; }
PENDING String KeyName(int code) { return String(); }
PENDING void PollKeyTable() {}
PENDING void WaitForKey() {}
PENDING void DrawKeyLine(const String& label, int code, int column, int row, int labelOnly) {}
PENDING void KeyMenu() {}
PENDING void RedefineKeys() {}
PENDING int OptionsMenu() { return 0; }
PENDING int EnterPlayerName() { return 0; }
PENDING void ShowMission() {}
PENDING void ShowSyncNotice() {}
PENDING void ShowCredits() {}
PENDING void ShowHighscores() {}
PENDING int LoadETNA() { return 0; }
PENDING bool ETNALoaded() { return false; }
PENDING void SyncScores() {}
PENDING void CheckVersion() {}

namespace {
int Fail0() { return 0; }
int FailS(const char*) { return 0; }
int FailI(int) { return 0; }
int FailSend(int, const char*, int, int) { return 0; }
const char* FailResult(int) { return ""; }
}  // namespace
PENDING int (*ETNA__SetServer)(const char*) = FailS;
PENDING int (*ETNA__SetDelimiter)(const char*) = FailS;
PENDING int (*ETNA__SetKey)(const char*) = FailS;
PENDING int (*ETNA_SetKeySend)(const char*) = FailS;
PENDING int (*ETNA__SetKeyReceive)(const char*) = FailS;
PENDING int (*ETNA_Update)() = Fail0;
PENDING int (*ETNA__Send)(int, const char*, int, int) = FailSend;
PENDING int (*ETNA_GetNumberOfCommandsInQueue)() = Fail0;
PENDING int (*ETNA_Cancel)(int) = FailI;
PENDING int (*ETNA_Receive)(int) = FailI;
PENDING int (*ETNA_GetState)() = Fail0;
PENDING const char* (*ETNA__GetResult)(int) = FailResult;
PENDING int (*ETNA_GetNbOfLines)() = Fail0;
PENDING String SyncStatus;
PENDING extern const char* const ScoreServiceAddress = "http://scores.novaquad.invalid/scores";
PENDING extern const char* const ScoreServiceKey = "Wm3kR8xTq5Lb2Zd";
PENDING void InstallProgramData() {}
