// Score sync: submit the last score and take the service's top eleven.
#include <chrono>

#include "online/online.h"

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

}  // namespace

String ETNAResultLine(int line) {
  const char* text = ETNA__GetResult(line);
  return text ? StringFromCString(text) : String();
}

void PumpETNAQueue(const std::function<void(RequestState state)>& onCommand1,
                   const std::function<void(RequestState state)>& onCommand2) {
  using Clock = std::chrono::steady_clock;
  // Real time: the game's own clock may be a virtual one.
  const Clock::time_point giveUp = Clock::now() + std::chrono::milliseconds(OnlinePumpLimitMs);
  while (ETNA_GetNumberOfCommandsInQueue() != 0) {
    ETNA_Update();
    if (ETNA_Receive(1) && onCommand1) onCommand1(ReplyState());
    if (ETNA_Receive(2) && onCommand2) onCommand2(ReplyState());
    // The desktop must still see a live window; no frame is drawn meanwhile.
    PollSystemEvents();
    SleepMillis(10);
    if (Clock::now() >= giveUp) break;
  }
}

SyncResult SyncScores(const String& playerName, int score, int level) {
  const String name = LowerCaseText(playerName);
  const String scoreText = StringFromInt(score);
  const String levelText = StringFromInt(level);
  SleepMillis(150);
  ClearKeyStates();

  // The library encodes only what a URL cannot carry and leaves '&', '=' and
  // escapes alone, so the name is encoded here.
  String submit = u"Novaquad_scores.php?option=addscore&user=";
  submit = StringConcat(submit, QueryValue(name));
  submit = StringConcat(submit, StringConcat(u"&level=", levelText));
  submit = StringConcat(submit, StringConcat(u"&score=", scoreText));
  SendQuery(1, submit);
  SendQuery(2, u"Novaquad_scores.php?option=getscore&nbscore=11");

  SyncResult result;
  PumpETNAQueue(
      [&](RequestState state) {
        const String number = StringFromInt(static_cast<int>(state));
        result.status = state == RequestState::Ok ? String(u"Synced...") : StringConcat(u"Error: ", number);
      },
      [&](RequestState state) {
        if (state != RequestState::Ok) {
          result.status = StringFromInt(static_cast<int>(state));
          return;
        }
        const int lines = ETNA_GetNbOfLines();
        // Three lines a row (name, level, score); twelve rows at most, the
        // length of the table they go into.
        for (int k = 0; 3 * k + 1 <= lines && k <= 11; ++k) {
          result.rows.push_back(
              {.name = ETNAResultLine(3 * k + 1), .level = ETNAResultLine(3 * k + 2), .score = ETNAResultLine(3 * k + 3)});
        }
      });

  SleepMillis(150);
  ClearKeyStates();
  return result;
}
