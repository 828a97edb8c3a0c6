// The mission briefing, the notice shown while the scores sync, and the
// credits: fixed text over the dimmed menu frame.
#include "screens/screens.h"

namespace {

// Longest block we expect; a list without its closing "#" stops here.
constexpr int kMaxLines = 64;

// The lines of one text block of the data list, from its first line up to
// the closing "#" (not included).
std::vector<String> ReadTextBlock(const std::string& label) {
  std::vector<String> lines;
  RestoreData(label);
  for (int i = 0; i < kMaxLines; ++i) {
    const size_t before = DataReadPosition();
    String line = TaggedValueToString();
    if (DataReadPosition() == before) break;  // ran off the end of the list
    if (line == u"#") break;
    lines.push_back(line);
  }
  return lines;
}

// Waits, without drawing, for any key of the key table or, in pad control,
// either configured pad button. A press made before the wait still counts.
void WaitForPlayer() {
  for (;;) {
    const int key = PollKeyTable();
    if (key > 0 && key < 255) return;
    if (TakePadPress(Settings.padClimbButton) || TakePadPress(Settings.padFireButton))
      return;
    SleepMillis(1);
  }
}

}  // namespace

void ShowMission() {
  ClearKeyStates();
  SetDrawBlendMode(BlendMode::Alpha);
  DrawMenuBackground();
  SetDrawColour(255, 255, 255);
  const std::vector<String> lines = ReadTextBlock("MissionText");
  for (size_t n = 0; n < lines.size(); ++n) DrawFontText(lines[n], 1, 10 + 1.3f * static_cast<float>(n));
  DrawScanlines();
  PresentFrame(-1);

  SleepMillis(100);
  WaitForPlayer();
  ClearKeyStates();
  PlaySfx(snd_menuselect2);
}

void ShowSyncNotice() {
  SetDrawBlendMode(BlendMode::Alpha);
  DrawMenuBackground();
  const std::vector<String> lines = ReadTextBlock("SyncNoticeText");
  for (size_t n = 0; n < lines.size(); ++n) DrawFontText(lines[n], 0, 10 + 1.5f * static_cast<float>(n));
  DrawScanlines();
  PresentFrame(-1);
}

void ShowCredits() {
  ClearKeyStates();
  SetDrawBlendMode(BlendMode::Alpha);
  DrawMenuBackground();
  const std::vector<String> lines = ReadTextBlock("CreditsText");
  for (size_t n = 0; n < lines.size(); ++n) DrawFontText(lines[n], 17, 10 + 1.5f * static_cast<float>(n));
  SetDrawColour(255, 64, 64);
  DrawFontText(u"This is Version: 1.2", 18, 21.5f);
  SetDrawColour(64, 255, 255);
  DrawFontText(VersionMessage1, 18, 24);
  DrawFontText(VersionMessage2, 18, 25.5f);
  SetDrawColour(255, 255, 255);
  if (!WebsiteLines.empty()) DrawFontText(WebsiteLines[0], 1, 28);
  DrawScanlines();
  PresentFrame(-1);

  SleepMillis(100);
  WaitForPlayer();
  PlaySfx(snd_menuselect2);
}
