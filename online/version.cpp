// Version check: ask the service which version of the game is current.
#include "online/online.h"
#include "services/controls.h"

namespace {
constexpr int kMaxPairs = 100;
const char16_t* const kProductKey = u"novaquad";
}  // namespace

std::optional<String> CheckVersion() {
  StringArray products = ArrayNew(u"String", kMaxPairs);
  StringArray versions = ArrayNew(u"String", kMaxPairs);
  String found;

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

  SleepMillis(100);
  ClearKeyStates();
  ClearPadHits();
  // An empty version counts as none.
  if (found.empty()) return std::nullopt;
  return found;
}
