// The screens outside a game: start-up, intro, menus, options, keys, name,
// briefings and high scores. They stand on the services (services/) that a
// game shares with them; every screen includes this one.
#pragma once

#include <optional>

#include "res/assets.h"
#include "runtime/runtime.h"
#include "services/controls.h"
#include "services/dialog.h"
#include "services/fonttext.h"
#include "services/music.h"
#include "services/scoretable.h"
#include "services/settings.h"
#include "screens/startup.h"

struct GameResult;

// --- State of the front end -------------------------------------------------
extern StringArray WebsiteLines;
extern String VersionMessage1, VersionMessage2, NewerVersion;
// The version check's answer as the version texts: none keeps them; our own
// version says it is the latest; any other is named as the newer one.
void SetVersionTexts(const std::optional<String>& version);

// --- Key table and redefinition --------------------------------------------
struct KeyTableEntry {
  int code;
  String name;
};
const std::vector<KeyTableEntry>& KeyTable();
String KeyName(int code);  // the table's name for a code, "n/a" when absent
// The first table key pressed since the last query, 0 when none.
int PollKeyTable();
// Waits for a table key to be held and returns it.
int WaitForKey();
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
// lastGame: the last game played, or a default one before any game.
void ShowHighscores(const GameResult& lastGame);
void PlayIntro();
