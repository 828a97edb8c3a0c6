// The high-score screen: last score, personal best and the online table.
#include "gameplay/gameplay.h"
#include "online/online.h"
#include "screens/screens.h"

namespace {

constexpr int kRows = 11;  // eleven rows under a heading that says ten

String ZeroPadded(int value) {
  // Eight digits; a longer number is shown whole rather than cut.
  String text = StringFromInt(value);
  while (text.size() < 8) text = StringConcat(u"0", text);
  return text;
}

void PutPlaceholderRows() {
  // The table has twelve entries; make sure of it before writing eleven.
  for (StringArray* table : {&HighscoreNames, &HighscoreLevels, &HighscoreScores}) {
    if (table->size() < 12) table->resize(12);
  }
  for (size_t k = 0; k < kRows; ++k) {
    HighscoreNames[k] = u"----------";
    HighscoreLevels[k] = u"1";
    HighscoreScores[k] = u".";
  }
}

// The rows a sync got over the placeholders; the rows it did not get stay
// as they are.
void PutSyncedRows(const std::vector<ScoreRow>& rows) {
  for (size_t k = 0; k < rows.size() && k < HighscoreNames.size(); ++k) {
    HighscoreNames[k] = rows[k].name;
    HighscoreLevels[k] = rows[k].level;
    HighscoreScores[k] = rows[k].score;
  }
}

String TableRow(const String& name, const String& score) {
  String shownName = LeadingChars(name, 10);
  while (shownName.size() < 10) shownName += u' ';
  String shownScore = LeadingChars(score, 8);
  while (shownScore.size() < 8) shownScore = StringConcat(u" ", shownScore);
  return StringConcat(StringConcat(shownName, u"         "), shownScore);
}

}  // namespace

void ShowHighscores(const GameResult& lastGame) {
  PutPlaceholderRows();
  const String lastScoreText = ZeroPadded(lastGame.score);
  const String personalBestText = ZeroPadded(Settings.personalBest);
  SetDrawBlendMode(BlendMode::Alpha);
  SleepMillis(100);
  ClearKeyStates();
  SleepMillis(100);

  for (;;) {
    DrawMenuBackground();
    DrawFontText(u"top 10 highscores", 11.5f, 14);
    DrawFontText(StringConcat(u"last score achieved    : ", lastScoreText), 3, 10);
    DrawFontText(StringConcat(u"personal highscore     : ", personalBestText), 3, 11.5f);
    // The pink words stand in the gaps of the white sentence.
    SetDrawColour(255, 0, 128);
    DrawFontText(u"      space            escape", 1.5f, 28.6f);
    SetDrawColour(255, 255, 255);
    DrawFontText(u"press       to sync or        to exit", 1.5f, 28.6f);
    for (int k = 0; k < kRows; ++k) {
      DrawFontText(TableRow(HighscoreNames[static_cast<size_t>(k)], HighscoreScores[static_cast<size_t>(k)]),
                   6, static_cast<float>(16 + k));
    }

    if (IsKeyHeld(KeyCode::Space)) {
      ClearKeyStates();
      PlaySfx(snd_menuselect);
      ShowSyncNotice();
      PutPlaceholderRows();
      PutSyncedRows(SyncScores(Settings.playerName, lastGame.score, lastGame.level).rows);
      SleepMillis(200);
      SetVersionTexts(CheckVersion());
      ClearKeyStates();
    }

    DrawScanlines();
    PresentFrame(-1);

    if (TakeKeyPressCount(KeyCode::Escape)) {
      PlaySfx(snd_menuselect);
      ClearKeyStates();
      return;
    }
  }
}
