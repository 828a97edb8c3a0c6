// Online scores and the version check, through the networking library that
// is loaded at run time by name.
#pragma once

#include <optional>
#include <vector>

#include "runtime/runtime.h"

// Binding of the networking library. Every pointer is always callable: an
// entry point the library lacks (or every one, when the library is missing)
// is bound to a substitute that fails at once.
bool LoadETNA();  // true when the library was found
bool ETNALoaded();
// Test hooks: load the library from this exact path only (empty: the normal
// search), and put every entry point back on its failing substitute.
void SetETNALibraryPath(const std::string& path);
void UnbindETNA();
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

// How a request ended: the state of the current reply as the library reports
// it. The numbers are the library's and show in the sync error text.
enum class RequestState : int {
  None = 0,       // no reply received yet
  Pending = 1,    // never reported; the library keeps the number free
  Ok = 2,         // the service answered, lines available
  HttpError = 3,  // the service answered with another status
  Transport = 4,  // no usable answer (refused, dropped, garbage)
  TooLarge = 5,   // the reply was over the library's byte bounds
  TimedOut = 6,   // the time bound ran out
};
RequestState ReplyState();

// The score service's base address (path "/scores") and the key, handed to
// the library at start-up.
extern const char* const ScoreServiceAddress;
extern const char* const ScoreServiceKey;

// One row of the service's score table, each line as it came.
struct ScoreRow {
  String name, level, score;
};
// What a score sync got. The status starts as "not synced..."; the
// submission's reply makes it "Synced..." or "Error: " and its state, a failed
// table request its state alone. No screen shows it.
struct SyncResult {
  String status = u"not synced...";
  std::vector<ScoreRow> rows;  // best first, twelve at most
};
// Submits the player's last score and takes the service's top eleven.
SyncResult SyncScores(const String& playerName, int score, int level);
// Asks the service for its list of current versions and returns the one it
// names for this game (the last pair for it counts), or none when the request
// failed or the list has no pair for it.
std::optional<String> CheckVersion();

// The wait of one pump of the library's queue (SyncScores, CheckVersion) in
// real milliseconds; the library ends every request sooner, so this only
// guards against a library that never empties its queue. Tests lower it.
extern int OnlinePumpLimitMs;
// One pump: while the library's queue is not empty, advance it, take the
// replies of commands 1 and 2 (each handed with its state to its handler,
// when there is one), answer the platform and wait 10 ms.
void PumpETNAQueue(const std::function<void(RequestState state)>& onCommand1,
                   const std::function<void(RequestState state)>& onCommand2);
// Line number line of the current reply as text ("" beyond the count).
String ETNAResultLine(int line);
