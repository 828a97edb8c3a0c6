// Version check: ask the service which version of the game is current.
#include "online/online.h"
#include "screens/screens.h"

namespace {
constexpr int kMaxPairs = 100;
const char16_t* const kProductKey = u"novaquad";
const char16_t* const kOwnVersion = u"1.2";
}  // namespace

void CheckVersion() {
  StringArray products = ArrayNew(u"String", kMaxPairs);
  StringArray versions = ArrayNew(u"String", kMaxPairs);
  String found;
  LastKeyCode = 0;

  char* query = StringToCString(u"VersionCheck.php?option=getversion&nbscore=30");
  ETNA__Send(2, query, 1, 0);
  MemFree(query);

  PumpETNAQueue(nullptr, [&](RequestState state) {
    if (state != RequestState::Ok) return;
    const int lines = ETNA_GetNbOfLines();
    for (int k = 0; 2 * k + 1 <= lines && k < kMaxPairs; ++k) {
      products[static_cast<size_t>(k)] = ETNAResultLine(2 * k + 1);
      versions[static_cast<size_t>(k)] = ETNAResultLine(2 * k + 2);
    }
  });

  // The pairs are examined by the line count of the current reply, pair 0
  // even when there is no line; never past the last pair the arrays hold.
  const int lines = ETNA_GetNbOfLines();
  const int last = (lines - 1) / 2;
  for (int i = 0; i <= last && i < kMaxPairs; ++i) {
    if (products[static_cast<size_t>(i)] == kProductKey) found = versions[static_cast<size_t>(i)];
  }

  if (!found.empty()) {
    if (found == kOwnVersion) {
      VersionMessage1 = u"you have the latest";
      VersionMessage2 = u"version of the game";
    } else {
      VersionMessage1 = u"the newer version";
      VersionMessage2 = StringConcat(found, u" is available at;");
      NewerVersion = found;
    }
  }

  SleepMillis(100);
  ClearKeyStates();
  ClearPadHits();
}
