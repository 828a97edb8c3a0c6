// Score sync: submit the last score and take the service's top eleven.
#include <chrono>

#include "gameplay/gameplay.h"
#include "online/online.h"
#include "screens/screens.h"

String SyncStatus = u"not synced...";
int OnlinePumpLimitMs = 31000;

namespace {

void SendQuery(int command, const String& query) {
  char* text = StringToCString(query);
  ETNA__Send(command, text, 1, 0);
  MemFree(text);
}

// The name as a query value: each of its 8-bit characters, except letters,
// digits and - . _ ~, as %XX, so that '&', '=', '+', '%' and the like in a
// name reach the service as part of it.
String QueryValue(const String& text) {
  static const char16_t hex[] = u"0123456789ABCDEF";
  String out;
  for (char16_t c : text) {
    const unsigned byte = c & 0xFF;  // what goes on the wire for this character
    const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                       (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' || byte == '~';
    if (plain) {
      out += static_cast<char16_t>(byte);
    } else {
      out += u'%';
      out += hex[byte >> 4];
      out += hex[byte & 15];
    }
  }
  return out;
}

void StoreEntry(StringArray& table, int k, const String& text) {
  if (k >= 0 && static_cast<size_t>(k) < table.size()) table[static_cast<size_t>(k)] = text;
}

}  // namespace

String ETNAResultLine(int line) {
  const char* text = ETNA__GetResult(line);
  return text ? StringFromCString(text) : String();
}

void PumpETNAQueue(const std::function<void(RequestState state)>& onCommand2) {
  using Clock = std::chrono::steady_clock;
  // Real time: the game's own clock may be a virtual one.
  const Clock::time_point giveUp = Clock::now() + std::chrono::milliseconds(OnlinePumpLimitMs);
  while (ETNA_GetNumberOfCommandsInQueue() != 0) {
    ETNA_Update();
    if (ETNA_Receive(1)) {
      const RequestState state = ReplyState();
      const String number = StringFromInt(static_cast<int>(state));
      SyncStatus = state == RequestState::Ok ? String(u"Synced...") : StringConcat(u"Error: ", number);
    }
    if (ETNA_Receive(2)) onCommand2(ReplyState());
    // The desktop must still see a live window; no frame is drawn meanwhile.
    PollSystemEvents();
    SleepMillis(10);
    if (Clock::now() >= giveUp) break;
  }
}

void SyncScores() {
  const String name = LowerCaseText(Settings.playerName);
  const String score = StringFromInt(world.score);
  const String level = StringFromInt(world.level);
  SleepMillis(150);
  ClearKeyStates();

  // The library encodes only what a URL cannot carry and leaves '&', '=' and
  // escapes alone, so the name is encoded here.
  String submit = u"Novaquad_scores.php?option=addscore&user=";
  submit = StringConcat(submit, QueryValue(name));
  submit = StringConcat(submit, StringConcat(u"&level=", level));
  submit = StringConcat(submit, StringConcat(u"&score=", score));
  SendQuery(1, submit);
  SendQuery(2, u"Novaquad_scores.php?option=getscore&nbscore=11");

  PumpETNAQueue([](RequestState state) {
    if (state != RequestState::Ok) {
      SyncStatus = StringFromInt(static_cast<int>(state));
      return;
    }
    const int lines = ETNA_GetNbOfLines();
    // Three lines an entry (name, level, score); twelve entries at most, so a
    // long answer cannot run past the arrays.
    for (int k = 0; 3 * k + 1 <= lines && k <= 11; ++k) {
      StoreEntry(HighscoreNames, k, ETNAResultLine(3 * k + 1));
      StoreEntry(HighscoreLevels, k, ETNAResultLine(3 * k + 2));
      StoreEntry(HighscoreScores, k, ETNAResultLine(3 * k + 3));
    }
  });

  SleepMillis(150);
  ClearKeyStates();
}
