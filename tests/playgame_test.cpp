// A whole game through PlayGame: the start, the pause dialog answered each
// way, game over reached from inside a pause, and a long flight on random
// input that must neither crash nor let the world drift out of its bounds.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

#include "gameplay/gameplay.h"
#include "harness/harness.h"
#include "shell/shell.h"

namespace {

constexpr int kEscape = 27, kSpace = 32, kY = 89, kN = 78;

void LoadGameWorld() {
  RegisterEmbeddedFiles();
  RegisterRecordTypes();
  img_font = LoadImageCells(ResPath("font.png"), 16, 16, 0, 60, -1);
  ScreenGrab = CreateEmptyImage(640, 480, 1, 9);
  LoadResources();
  CreateObjectLists();
  StarCoordsList->Clear();
  CreateStars();
}

void ResetSettings() {
  ControlMode = 0;
  Difficulty = 0;
  MusicOn = 1;
  SfxOn = 1;
  KeyLeft = 37;
  KeyRight = 39;
  KeyClimb = 164;
  KeyClimb2 = 38;
  KeyFire = 162;
  MenuMusicVolume = GameMusicVolume = PauseMusicVolume = 0.4f;
  PersonalBest = 0;
}

// Runs PlayGame with a hook that sees every presented frame and every sleep.
// The hook is told the number of frames presented since the game began and
// whether this call comes from a new frame (false: a sleep, such as a poll of
// the pause answer).
class GameRun {
 public:
  using Step = std::function<void(int64_t frame, bool newFrame)>;
  explicit GameRun(Step step) : step_(std::move(step)) {}
  int64_t Play() {
    base_ = PresentedFrameCount();
    last_ = -1;
    SetScriptHook([this] {
      const int64_t frame = PresentedFrameCount() - base_;
      const bool fresh = frame != last_;
      last_ = frame;
      step_(frame, fresh);
    });
    PlayGame();
    SetScriptHook(nullptr);
    return PresentedFrameCount() - base_;
  }

 private:
  Step step_;
  int64_t base_ = 0, last_ = -1;
};

class PlayGameTest : public harness::HeadlessTest {
 protected:
  void SetUp() override {
    harness::HeadlessTest::SetUp();
    LoadGameWorld();
    ResetSettings();
    SetRandomSeed(99);
  }
};

class PlayGameFastTest : public harness::NullDrawingTest {
 protected:
  void SetUp() override {
    harness::NullDrawingTest::SetUp();
    LoadGameWorld();
    ResetSettings();
    SetRandomSeed(2024);
  }
};

TEST_F(PlayGameTest, StartsAtLevelOneAndPausesAnsweredNoThenYes) {
  enum Phase { Landing, Flying, FirstDialog, Resumed, SecondDialog, Leaving } phase = Landing;
  int64_t escapeAt = 0, answeredAt = 0, yesAt = 0;
  int64_t fadeDownFrames = -1, secondFadeDown = -1;
  float fadeAtWait = -1, bonusAtPause = 0;
  int sleepsWhileWaiting = 0;
  bool sawPicture = false;

  GameRun run([&](int64_t frame, bool fresh) {
    switch (phase) {
      case Landing:
        if (frame == 64) {
          // The faded-in picture at full brightness: the sky and the ground.
          EXPECT_EQ(LevelNumber, 1);
          EXPECT_EQ(ShieldCount, 8);
          EXPECT_EQ(Score, 0);
          EXPECT_EQ(QuitState, 0);
        }
        if (frame == 80) ScriptKeyTap(kSpace);  // cut the landing short
        if (frame == 140) {
          phase = Flying;
          EXPECT_FLOAT_EQ(PlayerY, 397.0f);
          EXPECT_NEAR(ScrollFactor[2], 1.4f, 1e-6f);
          std::vector<uint8_t> rgba = ReadScreenRGBA();
          int lit = 0;
          for (size_t i = 0; i < rgba.size(); i += 4) lit += (rgba[i] | rgba[i + 1] | rgba[i + 2]) > 40;
          sawPicture = lit > 640 * 480 / 4;
          bonusAtPause = TimeBonus;
          escapeAt = frame;
          ScriptKeyTap(kEscape);
        }
        break;
      case Flying:
        if (!fresh && DialogFade < 0.3f) {  // polling for the answer
          phase = FirstDialog;
          fadeDownFrames = frame - escapeAt;
          fadeAtWait = DialogFade;
        }
        break;
      case FirstDialog:
        if (!fresh) ++sleepsWhileWaiting;
        if (sleepsWhileWaiting == 20) {
          // Y and N before the same poll: N wins and the game goes on.
          ScriptKeyTap(kY);
          ScriptKeyTap(kN);
          phase = Resumed;
          answeredAt = frame;
        }
        break;
      case Resumed:
        if (frame == answeredAt + 60) {
          EXPECT_EQ(QuitState, 0);
          EXPECT_GE(DialogFade, 1.0f - 1e-4f);
          EXPECT_LT(TimeBonus, bonusAtPause);  // the clock runs on after the pause
          ScriptKeyTap(kEscape);
          escapeAt = frame;
          phase = SecondDialog;
        }
        break;
      case SecondDialog:
        if (!fresh && DialogFade < 0.3f) {
          secondFadeDown = frame - escapeAt;
          ScriptKeyTap(kY);
          yesAt = frame;
          phase = Leaving;
        }
        break;
      case Leaving:
        break;
    }
  });
  DialogFade = 1.0f;
  const int64_t total = run.Play();

  EXPECT_TRUE(sawPicture);
  EXPECT_EQ(phase, Leaving);
  EXPECT_EQ(fadeDownFrames, 36);
  EXPECT_EQ(secondFadeDown, 36);
  EXPECT_NEAR(fadeAtWait, 0.28f, 1e-4f);
  EXPECT_EQ(QuitState, 1);
  // The yes answer fades out in 15 frames, then the pass presents its own.
  EXPECT_EQ(total - yesAt, 16);
  EXPECT_LE(DialogFade, 0.0f + 1e-6f);
}

TEST_F(PlayGameTest, EscapeInTheFrameTheShieldsRunOutPausesFirstThenEndsTheGame) {
  bool paused = false, shieldsGone = false, answered = false;
  int64_t gameOverFrom = 0;
  DialogFade = 1.0f;
  GameRun run([&](int64_t frame, bool fresh) {
    if (frame == 80 && fresh) ScriptKeyTap(kSpace);
    if (frame == 120 && fresh && !paused) {
      ScriptKeyTap(kEscape);
      paused = true;
    }
    // The last hit lands in the same pass as the Escape: the dialog is
    // already fading when the shields are found below 0.
    if (paused && !shieldsGone && fresh && DialogFade < 1.0f) {
      ShieldCount = -1;
      shieldsGone = true;
    }
    if (shieldsGone && !answered && !fresh && DialogFade < 0.3f) {
      ScriptKeyTap(kN);
      answered = true;
      gameOverFrom = frame;
    }
  });
  const int64_t total = run.Play();
  EXPECT_TRUE(answered);
  EXPECT_EQ(QuitState, 1);
  // 36 frames of fading back, the pass's own, then the whole game-over sequence.
  EXPECT_GT(total - gameOverFrom, 36 + 1 + 200);
  EXPECT_EQ(FruitJamList->Count(), 0);
}

TEST_F(PlayGameTest, AWorldFrameLooksLikeAWorld) {
  GameRun run([&](int64_t frame, bool fresh) {
    if (!fresh) return;
    if (frame == 80) ScriptKeyTap(kSpace);
    if (frame == 90) ScriptKeyDown(KeyLeft);  // away from the first teleporter
    if (frame == 260) {  // past the blink of the first 120 passes
      SaveScreenPNG("playgame_world_frame.png");
      // Status line along the bottom, time bar along the top.
      int bottom = 0, top = 0;
      for (int x = 16; x < 600; ++x) {
        bottom += (ReadScreenPixel(x, 465) & 0xffffff) != 0;
        top += (ReadScreenPixel(x, 12) & 0xffffff) != 0;
      }
      EXPECT_GT(bottom, 20);
      EXPECT_GT(top, 100);
      EXPECT_LT(PlayerSpeed, -8.0f);
      ScriptKeyUp(KeyLeft);
      ScriptKeyTap(kEscape);
    }
    if (frame > 260 && DialogFade < 0.3f) ScriptKeyTap(kY);
  });
  run.Play();
  EXPECT_EQ(QuitState, 1);
}

// Ten thousand frames of a bike flown by a monkey. Shields are topped up so
// the flight lasts; the world must stay inside its bounds throughout.
TEST_F(PlayGameFastTest, TenThousandFramesOfRandomInput) {
  std::mt19937 monkey(7);
  const int keys[] = {37, 39, 164, 38, 162};
  bool held[5] = {};
  bool leaving = false;
  int64_t violations = 0, maxExplosions = 0, maxBullets = 0;
  GameRun run([&](int64_t frame, bool fresh) {
    if (!fresh) {
      if (leaving && DialogFade < 0.3f) ScriptKeyTap(kY);
      return;
    }
    if (frame < 64) return;
    if (frame >= 10064) {
      if (!leaving) {
        for (int i = 0; i < 5; ++i)
          if (held[i]) ScriptKeyUp(keys[i]);
        ScriptKeyTap(kEscape);
        leaving = true;
      }
      return;
    }
    if (ShieldCount < 3) ShieldCount = 8;
    for (int i = 0; i < 5; ++i) {
      if (monkey() % 12 == 0) {
        held[i] = !held[i];
        if (held[i])
          ScriptKeyDown(keys[i]);
        else
          ScriptKeyUp(keys[i]);
      }
    }
    if (monkey() % 9 == 0) ScriptKeyTap(KeyFire);
    if (monkey() % 500 == 0) ScriptKeyTap(kSpace);

    const bool ok = PlayerY >= 32.0f && PlayerY <= 402.0f && PlayerX >= 172.0f && PlayerX <= 372.0f &&
                    std::fabs(PlayerSpeed) <= 8.9f && ScrollPos >= -200.0f && ScrollPos < 32000.0f &&
                    SectorShown >= 1 && SectorShown <= 5 && LevelNumber >= 1;
    violations += !ok;
    for (Enemies* e : Each<Enemies>(EnemiesList)) {
      if (!(e->x >= -3000.0f && e->x <= 3000.0f)) {  // hits throw enemies out this far
        ++violations;
        ADD_FAILURE() << "frame " << frame << " enemy at " << e->x;
      }
    }
    for (Structures* s : Each<Structures>(StructuresList)) {
      if (!(s->x >= -3000.0f && s->x <= 31801.0f)) {
        ++violations;
        ADD_FAILURE() << "frame " << frame << " structure " << s->structure << " at " << s->x;
      }
    }
    if (!ok)
      ADD_FAILURE() << "frame " << frame << " x " << PlayerX << " y " << PlayerY << " speed " << PlayerSpeed
                    << " scroll " << ScrollPos << " sector " << SectorShown;
    maxExplosions = std::max<int64_t>(maxExplosions, ExplosionsList->Count());
    maxBullets = std::max<int64_t>(maxBullets, PlayerBulletsList->Count() + EnemyBulletsList->Count());
  });
  const int64_t total = run.Play();
  EXPECT_TRUE(leaving);
  EXPECT_GE(total, 10064);
  EXPECT_EQ(QuitState, 1);
  EXPECT_EQ(violations, 0);
  EXPECT_LT(maxExplosions, 500);
  EXPECT_LT(maxBullets, 500);
}

TEST_F(PlayGameFastTest, TimeBonusAndPlanetRunDownAtTheirPace) {
  int64_t firstPass = -1;
  float bonusAtFirst = 0, bonus10000 = -1, planetAtFirst = 0;
  bool wrapped = false;
  int64_t wrapFrame = -1;
  GameRun run([&](int64_t frame, bool fresh) {
    if (!fresh) {
      if (bonus10000 >= -0.5f && DialogFade < 0.3f) ScriptKeyTap(kY);
      return;
    }
    if (frame == 80) ScriptKeyTap(kSpace);
    if (ShieldCount < 8) ShieldCount = 8;
    if (firstPass < 0 && frame > 80 && PlayerY == 397.0f && TimeBonus < 100.0f) {
      firstPass = frame;
      bonusAtFirst = TimeBonus;
      planetAtFirst = PlanetX;
    }
    if (firstPass > 0 && !wrapped && PlanetX > 500.0f) {
      wrapped = true;
      wrapFrame = frame;
    }
    if (firstPass > 0 && frame == firstPass + 10100) {
      bonus10000 = TimeBonus;
      ScriptKeyTap(kEscape);
    }
  });
  run.Play();
  ASSERT_GT(firstPass, 0);
  EXPECT_NEAR(bonusAtFirst, 99.99f, 1e-4f);
  EXPECT_NEAR(planetAtFirst, 399.88f, 1e-3f);
  EXPECT_LE(bonus10000, 0.0f);
  EXPECT_GT(bonus10000, -0.01f);
  ASSERT_TRUE(wrapped);
  // From 400 the planet passes below -202 on its 5017th pass.
  EXPECT_EQ(wrapFrame - firstPass + 1, 5017);
}

}  // namespace
