// Front-end state kept for the whole run.
#include "screens/screens.h"

StringArray WebsiteLines;
String VersionMessage1 = u"sync score to check";
String VersionMessage2 = u"for updated version";
String NewerVersion;

namespace {
const char16_t* const kOwnVersion = u"1.2";
}  // namespace

void SetVersionTexts(const std::optional<String>& version) {
  if (!version) return;
  if (*version == kOwnVersion) {
    VersionMessage1 = u"you have the latest";
    VersionMessage2 = u"version of the game";
  } else {
    VersionMessage1 = u"the newer version";
    VersionMessage2 = StringConcat(*version, u" is available at;");
    NewerVersion = *version;
  }
}
