// The program's built-in data list: the mission briefing, the notice shown
// while the scores sync, the credits and the key table. Each text block ends
// with a line "#" that is never shown; the key table ends with (255, "n/a").
#include "screens/screens.h"

namespace {

const char* const kMissionText[] = {
    "welcome to planet vivazid, commander.",
    "a horde of green aliens, the ruvido,",
    "has escaped from the factories and now",
    "roams the surface. your task is to",
    "capture every one of them you can.",
    " ",
    "on each level you must capture a set",
    "number of aliens and drop them into",
    "the teleporters before you leave orbit",
    "in the lunar module.",
    "you may leave a level early, but then",
    "you earn no time bonus for it, and the",
    "level that follows will be a harder",
    "one.",
    "                 good luck commander.",
    "#",
};

const char* const kSyncNoticeText[] = {
    "   the game is now attempting to sync",
    "   with the online score server.",
    "",
    " if the game seems to lock up, do not",
    " worry: it will continue by itself.",
    " just leave it be for about 40 seconds",
    " while it tries to get through.",
    " ",
    " the exchange should take no more than",
    " a second. a lock-up happens when a",
    " firewall blocks the game's access to",
    " the internet, so please allow the",
    " game to go online in your firewall.",
    "#",
};

const char* const kCreditsText[] = {
    "      credits",
    "  ",
    "code: novaquad team",
    "gfx: novaquad team",
    "sfx: novaquad team",
    "tune: novaquad team",
    "test: novaquad team",
    "#",
};

constexpr int kEndCode = 255;

// The 104 (code, name) pairs in scan order. Three codes stand twice (13, 107
// and 109); a scan stops at the first, so the later names never show.
std::vector<KeyTableEntry> BuildKeyTable() {
  std::vector<KeyTableEntry> t;
  auto add = [&t](int code, const char* name) { t.push_back({code, StringFromAscii(name)}); };
  add(8, "Backspace");
  add(9, "Tab");
  add(13, "Return");
  add(13, "Enter");
  add(19, "Pause");
  add(20, "Caps Lock");
  add(27, "Escape");
  add(32, "Space");
  add(33, "Page Up");
  add(34, "Page Down");
  add(35, "End");
  add(36, "Home");
  add(37, "Cursor (Left)");
  add(38, "Cursor (Up)");
  add(39, "Cursor (Right)");
  add(40, "Cursor (Down)");
  add(45, "Insert");
  add(46, "Delete");
  add(47, "Help");
  for (int c = '0'; c <= '9'; ++c) t.push_back({c, StringFromChar(c)});
  for (int c = 'A'; c <= 'Z'; ++c) t.push_back({c, StringFromChar(c)});
  add(91, "Sys key (Left)");
  add(92, "Sys key (Right)");
  for (int d = 0; d <= 9; ++d) t.push_back({96 + d, StringConcat(u"Numpad ", StringFromInt(d))});
  add(106, "Numpad *");
  add(107, "Numpad +");
  add(109, "Numpad -");
  add(110, "Numpad .");
  add(111, "Numpad /");
  for (int f = 1; f <= 12; ++f) t.push_back({111 + f, StringConcat(u"F", StringFromInt(f))});
  add(144, "Num Lock");
  add(145, "Scroll Lock");
  add(160, "Shift (Left)");
  add(161, "Shift (Right)");
  add(162, "Control (Left)");
  add(163, "Control (Right)");
  add(164, "Alt key (Left)");
  add(165, "Alt key (Right)");
  add(192, "Tilde");
  add(107, "Minus");
  add(109, "Equals");
  add(219, "Bracket (Open)");
  add(221, "Bracket (Close)");
  add(226, "Backslash");
  add(186, "Semi-colon");
  add(222, "Quote");
  add(188, "Comma");
  add(190, "Period");
  add(191, "Slash");
  add(kEndCode, "n/a");
  return t;
}

template <size_t N>
void AddLines(std::vector<DataValue>& values, const char* const (&lines)[N]) {
  for (const char* line : lines) values.push_back(DataText(line));
}

}  // namespace

const std::vector<KeyTableEntry>& KeyTable() {
  static const std::vector<KeyTableEntry> table = BuildKeyTable();
  return table;
}

String KeyName(int code) {
  for (const KeyTableEntry& e : KeyTable()) {
    if (e.code == kEndCode) return e.name;
    if (e.code == code) return e.name;
  }
  return u"n/a";
}

void InstallProgramData() {
  std::vector<DataValue> values;
  std::vector<std::pair<std::string, size_t>> labels;
  labels.emplace_back("MissionText", values.size());
  AddLines(values, kMissionText);
  labels.emplace_back("SyncNoticeText", values.size());
  AddLines(values, kSyncNoticeText);
  labels.emplace_back("CreditsText", values.size());
  AddLines(values, kCreditsText);
  labels.emplace_back("KeyTable", values.size());
  for (const KeyTableEntry& e : KeyTable()) {
    values.push_back(DataNumber(e.code));
    values.push_back(DataValue{true, e.name, 0.0});
  }
  SetProgramData(std::move(values), std::move(labels));
  RestoreData("MissionText");  // the read position starts on the briefing's first line
}
