// Whole games through PlayGame: the pause dialog answered each way, game over
// reached from inside a pause, the time bonus and planet over a long sector,
// and ten thousand frames of random input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <utility>

#include "game_script.h"
#include "gameplay/gameplay.h"
#include "harness/harness.h"
#include "screens/screens.h"
#include "sound_log.h"

namespace {


using namespace gamescript;

template <class Base>
class GameTest : public Base {
 protected:
  void SetUp() override {
    Base::SetUp();
    RegisterProgramFiles();
    LoadForTheRun(LoadingScreen::Skipped);
    CreateStars();
    controls.mode = ControlMode::Keyboard, controls.keyClimb2 = KeyCode::Up;
    Settings = SavedSettings();
    SetRandomSeed(99);
  }
};
using PlayGameTest = GameTest<harness::HeadlessTest>;
using PlayGameFastTest = GameTest<harness::NullDrawingTest>;

TEST_F(PlayGameTest, PauseAnsweredNoResumesAndYesEndsTheGame) {
  int answers = 0;
  int64_t escapeAt = 0, yesAt = 0, fadeDown[2] = {-1, -1};
  float bonusAtPause = 0;
  const int64_t total = PlayWith([&](int64_t frame, bool fresh) {
    if (fresh && frame == 90) ScriptKeyDown(Settings.keyLeft);  // away from the first teleporter
    if (fresh && frame == 260) {  // flying, past the blink of the first 120 passes
      EXPECT_EQ(world.game.level, 1);
      EXPECT_LT(world.bike.speed, -8.0f);
      SaveScreenPNG("playgame_world_frame.png");
      int bottom = 0, top = 0;  // the status line and the time bar are drawn
      for (int x = 16; x < 600; ++x) {
        bottom += ReadScreenPixel(x, 465) != 0;
        top += ReadScreenPixel(x, 12) != 0;
      }
      EXPECT_GT(bottom, 20);
      EXPECT_GT(top, 100);
      ScriptKeyUp(Settings.keyLeft);
      bonusAtPause = world.sector.timeBonus;
      escapeAt = frame;
      ScriptKeyTap(KeyCode::Escape);
    }
    if (WaitingForAnswer(fresh) && answers == 0) {
      fadeDown[0] = frame - escapeAt;
      EXPECT_NEAR(DialogFade, 0.28f, 1e-4f);
      ScriptKeyTap(KeyCode::Y);  // Y and N before the same poll: N wins
      ScriptKeyTap(KeyCode::N);
      answers = 1;
      escapeAt = frame + 36 + 30;
    }
    if (fresh && answers == 1 && frame == escapeAt) {
      EXPECT_FALSE(world.game.ended);
      EXPECT_GE(DialogFade, 1.0f - 1e-4f);
      EXPECT_LT(world.sector.timeBonus, bonusAtPause);  // the game went on after the pause
      ScriptKeyTap(KeyCode::Escape);
    }
    if (WaitingForAnswer(fresh) && answers == 1 && frame > escapeAt) {
      fadeDown[1] = frame - escapeAt;
      ScriptKeyTap(KeyCode::Y);
      answers = 2;
      yesAt = frame;
    }
  });
  EXPECT_EQ(answers, 2);
  EXPECT_EQ(fadeDown[0], 36);
  EXPECT_EQ(fadeDown[1], 36);
  EXPECT_EQ(played.end, GameEnd::Quit);
  EXPECT_EQ(played.level, 1);
  EXPECT_EQ(played.score, world.game.score);
  EXPECT_EQ(total - yesAt, 15 + 1);  // the fade out, then the pass's own frame
}

TEST_F(PlayGameTest, ShieldsGoneInThePausedPassStillEndTheGame) {
  bool paused = false, shieldsGone = false, answered = false;
  int64_t answeredAt = 0;
  const int64_t total = PlayWith([&](int64_t frame, bool fresh) {
    if (fresh && frame == 120 && !paused) ScriptKeyTap(KeyCode::Escape), paused = true;
    if (paused && !shieldsGone && fresh && DialogFade < 1.0f) world.game.shieldCount = -1, shieldsGone = true;
    if (shieldsGone && !answered && WaitingForAnswer(fresh))
      ScriptKeyTap(KeyCode::N), answered = true, answeredAt = frame;
  });
  EXPECT_TRUE(answered);
  EXPECT_EQ(played.end, GameEnd::GameOver);
  EXPECT_GT(total - answeredAt, 36 + 1 + 200);  // fade back, the pass, then game over
}

TEST_F(PlayGameFastTest, ThePadDoesNotAnswerThePause) {
  // The menu's exit dialog takes the pad's buttons as answers; the pause
  // takes keys alone, so a button pressed while it waits leaves it waiting.
  ASSERT_TRUE(ScriptAttachPad());
  controls.mode = ControlMode::Pad;
  int polls = 0;
  int64_t answeredAt = -1;
  bool goingOn = false;
  PlayWith([&](int64_t frame, bool fresh) {
    if (fresh && frame == 120) ScriptKeyTap(KeyCode::Escape);
    if (answeredAt < 0 && WaitingForAnswer(fresh)) {
      ++polls;
      if (polls == 1) {
        ScriptPadButton(Settings.padFireButton, true);
        ScriptPadButton(Settings.padClimbButton, true);
      }
      if (polls == 50) {
        ScriptPadButton(Settings.padFireButton, false);
        ScriptPadButton(Settings.padClimbButton, false);
        ScriptKeyTap(KeyCode::N);
        answeredAt = frame;
      }
    }
    if (fresh && answeredAt >= 0 && frame == answeredAt + 36 + 20) {
      goingOn = !world.game.ended;
      world.game.ended = GameEnd::Quit;  // ends the game after this pass
    }
  });
  ScriptDetachPad();
  EXPECT_EQ(polls, 50);
  EXPECT_TRUE(goingOn);
}

TEST_F(PlayGameFastTest, TimeBonusAndPlanetRunDownAtTheirPace) {
  int64_t first = -1, planetWrap = -1;
  float bonusAfter = 1, planetBefore = 0, planetAfter = 0, planetLast = 0;
  PlayWith([&](int64_t frame, bool fresh) {
    if (!fresh) {
      if (first > 0 && WaitingForAnswer(fresh)) ScriptKeyTap(KeyCode::Y);
      return;
    }
    world.game.shieldCount = 8;
    if (first < 0 && frame > 80 && world.sector.timeBonus < 100.0f) {
      first = frame;
      EXPECT_NEAR(world.sector.timeBonus, 99.99f, 1e-4f);
      EXPECT_NEAR(world.sector.planetX, 399.88f, 1e-3f);
    }
    if (first > 0 && planetWrap < 0 && world.sector.planetX > 500.0f)
      planetWrap = frame - first + 1, planetBefore = planetLast, planetAfter = world.sector.planetX;
    planetLast = world.sector.planetX;
    if (first > 0 && frame == first + 10100) bonusAfter = world.sector.timeBonus, ScriptKeyTap(KeyCode::Escape);
  });
  EXPECT_EQ(planetWrap, 5017);  // below -202 on the 5017th pass from 400
  EXPECT_GE(planetBefore, -202.0f);
  EXPECT_LT(planetBefore - 0.12f, -202.0f);
  EXPECT_EQ(planetAfter, 600.0f) << "the planet comes round again at x 600";
  EXPECT_LE(bonusAfter, 0.0f);  // stops at 0 or just below
  EXPECT_GT(bonusAfter, -0.01f);
}

// Escape also cuts a take-off short. Pressed as the take-off falls due, it
// belongs to the take-off, which then shows one frame before the next
// landing, and the game does not pause.
TEST_F(PlayGameFastTest, EscapeAsTheTakeOffFallsDueCutsItShortAndDoesNotPause) {
  int64_t dueAt = -1, nextLevelAt = -1, firstPauseAt = -1;
  PlayWith([&](int64_t frame, bool fresh) {
    if (fresh && frame == 120) world.sector.takeOffDue = true, dueAt = frame, ScriptKeyTap(KeyCode::Escape);
    if (fresh && nextLevelAt < 0 && world.game.level == 2) nextLevelAt = frame;
    if (fresh && nextLevelAt > 0 && frame == nextLevelAt + 450) ScriptKeyTap(KeyCode::Escape);  // landed: leave
    if (WaitingForAnswer(fresh) && firstPauseAt < 0) firstPauseAt = frame, ScriptKeyTap(KeyCode::Y);
  });
  EXPECT_EQ(nextLevelAt - dueAt, 2) << "the take-off's one frame, then the landing's first";
  EXPECT_EQ(firstPauseAt, nextLevelAt + 450 + 36);
}

// The world's speed is set by the difficulty as each game starts; a value
// only a hand-edited settings file holds plays normal, also after a suicidal
// game has left its own factors behind.
TEST_F(PlayGameFastTest, DifficultySetsTheScrollFactorsAndAnyOtherValuePlaysNormal) {
  const float normal[3] = {0.4f, 0.9f, 1.4f}, suicidal[3] = {0.8f, 1.6f, 2.4f};
  const std::pair<int, const float*> cases[] = {{1, suicidal}, {7, normal}, {1, suicidal}, {-1, normal}, {0, normal}};
  for (const auto& [difficulty, factors] : cases) {
    Settings.difficulty = difficulty;
    float seen[3] = {};
    PlayWith([&](int64_t frame, bool fresh) {
      if (!fresh || frame != 100) return;  // playing, after the landing
      std::copy(world.game.scrollFactor, world.game.scrollFactor + 3, seen);
      world.game.ended = GameEnd::Quit;
    });
    for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(seen[i], factors[i]) << "difficulty " << difficulty << ", factor " << i;
  }
  Settings.difficulty = 0;
}

// Escape at frame 150, then the answers in turn, the next Escape a second
// after the picture has faded back.
int64_t PauseAndAnswer(const std::vector<int>& answers) {
  size_t given = 0;
  int64_t escapeAt = 150;
  return PlayWith([&](int64_t frame, bool fresh) {
    if (fresh && frame == escapeAt) ScriptKeyTap(KeyCode::Escape), escapeAt = -1;
    if (escapeAt < 0 && given < answers.size() && WaitingForAnswer(fresh))
      ScriptKeyTap(answers[given++]), escapeAt = frame + 36 + 60;
  });
}

// Every tune's volume is set as it starts, before a sample of it is heard.
void ExpectVolumeSetWithEveryTune() {
  const std::vector<SoundEvent> log = SoundLog();
  for (size_t i = 0; i < log.size(); ++i) {
    if (log[i].kind != SoundEvent::Kind::Play || !log[i].loop) continue;
    ASSERT_LT(i + 1, log.size());
    EXPECT_TRUE(log[i + 1].kind == SoundEvent::Kind::Volume && log[i + 1].channel == log[i].channel &&
                log[i + 1].frame == log[i].frame)
        << log[i].name << " started at frame " << log[i].frame << " without its volume";
  }
}

TEST_F(PlayGameFastTest, TheGameTuneIsAtHalfVolumeUntilThePauseIsFirstAnsweredNo) {
  ClearSoundLog();
  PauseAndAnswer({KeyCode::N, KeyCode::N, KeyCode::Y});
  // One tune at a time; after yes nothing plays until the menu's tune.
  EXPECT_EQ(soundlog::Tunes(),
            "m_game.ogg@0.2 m_pause.ogg@0.4 m_game.ogg@0.4 m_pause.ogg@0.4 m_game.ogg@0.4 "
            "m_pause.ogg@0.4 m_menu.ogg@0.4");
  ExpectVolumeSetWithEveryTune();
  const std::vector<SoundEvent> log = SoundLog();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back().name, "m_menu.ogg");
  EXPECT_EQ(log.back().channel, MusicChannel);
}

TEST_F(PlayGameFastTest, WithMusicOffEveryTuneIsSilentThePauseTuneToo) {
  // The start-up and the options set these two to 0 with the music; the
  // pause tune goes by the music setting itself.
  Settings.musicOn = 0;
  GameMusicVolume = MenuMusicVolume = 0;
  PauseMusicVolume = 0.4f;
  ClearSoundLog();
  PauseAndAnswer({KeyCode::N, KeyCode::Y});
  EXPECT_EQ(soundlog::Tunes(), "m_game.ogg@0 m_pause.ogg@0 m_game.ogg@0 m_pause.ogg@0 m_menu.ogg@0");
  ExpectVolumeSetWithEveryTune();
  Settings.musicOn = 1;
  GameMusicVolume = MenuMusicVolume = 0.4f;
}

// The same short game with effects on and off: off, only the tunes play,
// and nothing else about the game changes.
TEST_F(PlayGameFastTest, WithEffectsOffAGamePlaysOnlyItsTunes) {
  struct Run {
    std::vector<TSound*> effects;
    std::string tunes;
    int score, shields;
    int64_t frames;
  } runs[2];
  for (int sfx : {1, 0}) {
    SetRandomSeed(99);
    Settings.sfxOn = sfx;
    ClearSoundLog();
    bool leaving = false;
    Run& run = runs[sfx];
    run.frames = PlayWith([&](int64_t frame, bool fresh) {
      if (leaving) {
        if (WaitingForAnswer(fresh)) ScriptKeyTap(KeyCode::Y);
        return;
      }
      if (!fresh) return;
      if (frame == 90) ScriptKeyDown(Settings.keyLeft);  // across the sector, past its guns
      if (frame > 90 && frame % 6 == 0) ScriptKeyTap(Settings.keyFire);
      if (frame == 900) ScriptKeyUp(Settings.keyLeft), ScriptKeyTap(KeyCode::Escape), leaving = true;
      run.score = world.game.score, run.shields = world.game.shieldCount;
    });
    run.effects = soundlog::Effects();
    run.tunes = soundlog::Tunes();
  }
  Settings.sfxOn = 1;
  const std::vector<TSound*>& on = runs[1].effects;
  EXPECT_GT(on.size(), 100u);
  // The landing, shots, hits, the scenery's hum and a beacon.
  for (TSound* sound : {snd_ModuleThrust, snd_PlayerShoot, snd_EnemyExplosion1, snd_bzzzt, snd_Towers, snd_radar})
    EXPECT_NE(std::find(on.begin(), on.end(), sound), on.end());
  EXPECT_TRUE(runs[0].effects.empty()) << runs[0].effects.size() << " effects with effects off";
  EXPECT_EQ(runs[0].tunes, runs[1].tunes);
  EXPECT_EQ(runs[0].score, runs[1].score);
  EXPECT_EQ(runs[0].shields, runs[1].shields);
  EXPECT_EQ(runs[0].frames, runs[1].frames);
}

// A monkey at the controls. Shields are topped up so the flight lasts; the
// world must stay inside its bounds throughout.
TEST_F(PlayGameFastTest, TenThousandFramesOfRandomInput) {
  std::mt19937 monkey(7);
  const int keys[] = {KeyCode::Left, KeyCode::Right, KeyCode::LeftAlt, KeyCode::Up, KeyCode::LeftControl};
  bool held[5] = {}, leaving = false;
  int violations = 0;
  const int64_t total = PlayWith([&](int64_t frame, bool fresh) {
    if (!fresh || frame < 64 || leaving) {
      if (leaving && WaitingForAnswer(fresh)) ScriptKeyTap(KeyCode::Y);
      return;
    }
    if (frame >= 10064) {
      for (int i = 0; i < 5; ++i)
        if (held[i]) ScriptKeyUp(keys[i]);
      ScriptKeyTap(KeyCode::Escape);
      leaving = true;
      return;
    }
    if (world.game.shieldCount < 3) world.game.shieldCount = 8;
    for (int i = 0; i < 5; ++i) {
      if (monkey() % 12 != 0) continue;
      held[i] = !held[i];
      held[i] ? ScriptKeyDown(keys[i]) : ScriptKeyUp(keys[i]);
    }
    if (monkey() % 9 == 0) ScriptKeyTap(Settings.keyFire);
    if (monkey() % 500 == 0) ScriptKeyTap(KeyCode::Space);
    if (!(world.bike.y >= 32 && world.bike.y <= 402 && world.bike.x >= 172 && world.bike.x <= 372 &&
          std::fabs(world.bike.speed) <= 8.9f && world.sector.scrollPos >= -200 && world.sector.scrollPos < 32000 &&
          world.sector.sectorShown >= 1 && world.sector.sectorShown <= 5))
      ADD_FAILURE() << "frame " << frame << ": bike at " << world.bike.x << ", " << world.bike.y << " scroll "
                    << world.sector.scrollPos,
          ++violations;
    // Hits throw enemies and structures as far as 3000 out; they come back.
    for (Enemies* e : Each<Enemies>(world.enemies)) violations += !(e->x >= -3000 && e->x <= 3000);
    for (Structures* s : Each<Structures>(world.structures)) violations += !(s->x >= -3000 && s->x <= 31801);
    violations += world.explosions->Count() > 500 || world.enemyBullets->Count() > 500;
  });
  EXPECT_TRUE(leaving);
  EXPECT_GE(total, 10064);
  EXPECT_EQ(played.end, GameEnd::Quit);
  EXPECT_EQ(violations, 0);
}

}  // namespace
