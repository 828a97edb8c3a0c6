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

PENDING void InstallProgramData() {}
