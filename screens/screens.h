// The screens outside a game: start-up, intro, menus, options, keys, name,
// briefings and high scores. They stand on the services (services/) that a
// game shares with them; every screen includes this one.
#pragma once

#include "res/assets.h"
#include "runtime/runtime.h"
#include "services/controls.h"
#include "services/dialog.h"
#include "services/fonttext.h"
#include "services/music.h"
#include "services/scoretable.h"
#include "services/settings.h"
#include "screens/startup.h"

// --- State of the front end -------------------------------------------------
extern int LastKeyCode;     // last table key found by PollKeyTable / WaitForKey
extern StringArray WebsiteLines;
extern String VersionMessage1, VersionMessage2, NewerVersion;

// --- Key table and redefinition --------------------------------------------
struct KeyTableEntry {
  int code;
  String name;
};
const std::vector<KeyTableEntry>& KeyTable();
String KeyName(int code);  // the table's name for a code, "n/a" when absent
void PollKeyTable();
void WaitForKey();
void DrawKeyLine(const String& label, int code, int column, int row, bool labelOnly);
void KeyMenu();
void RedefineKeys();

// --- Screens ---------------------------------------------------------------
void MainMenu();
void DrawMenuBackground();
void OptionsMenu();
// The options menu decides once per run whether the pad is used, on the first
// frame of its first visit. For tests: the next visit decides again.
void RedoOptionsPadCheck();
void EnterPlayerName();
void ShowMission();
void ShowSyncNotice();
void ShowCredits();
void ShowHighscores();
void PlayIntro();
