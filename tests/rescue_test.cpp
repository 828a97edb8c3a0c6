// Rescue: picking the alien up, the beacons' arrows, the teleporters (travel,
// delivery, refusal), the lunar module, the message pictures, and the landing
// and take-off that frame every level.
#include <algorithm>

#include "playfield.h"

using namespace playfield;

namespace {

int CountMessages(int number) {
  int n = 0;
  for (TextMessages* m : Each<TextMessages>(TextMessagesList)) n += m->number == number;
  return n;
}

// A teleporter or the module placed so that its box meets the bike's
// pick-up box (the bike standing on the ground).
Structures* UnderTheBike(int kind, int sector = 1) {
  return AddStructure(kind, PlayerX + 20, 392, sector);
}

}  // namespace

// --- The alien ----------------------------------------------------------------------

class AlienTest : public PlayfieldTest {};

TEST_F(AlienTest, ItIsPickedUpOnlyInTheLowPartOfItsHop) {
  AlienX = PlayerX + 30;
  AlienBob = 128;
  CaptureAlien();
  EXPECT_EQ(1, AlienFree);
  EXPECT_EQ(0, Score);
  AlienBob = 136;
  AlienSoundTimer = 30;  // its call is still running: the pick-up happens anyway
  CaptureAlien();
  EXPECT_EQ(0, AlienFree);
  EXPECT_EQ(1, AliensLeft);
  EXPECT_EQ(250, Score);
  EXPECT_EQ(60, AlienSoundTimer);
  CaptureAlien();
  EXPECT_EQ(250, Score) << "a carried alien is not picked up again";
}

TEST_F(AlienTest, ItHopsOnlyOnScreenScrollsWithTheWorldAndAnimatesEveryTenFrames) {
  AlienX = 700;
  PlayerSpeed = 5;
  AlienSoundTimer = 3;
  UpdateAlien();
  EXPECT_EQ(0, AlienBob);
  EXPECT_FLOAT_EQ(700 - 5 * 1.4f, AlienX);
  EXPECT_EQ(2, AlienSoundTimer) << "the call timer runs off screen too";
  AlienX = 300;
  PlayerSpeed = 0;
  for (int i = 0; i < 44; ++i) UpdateAlien();
  EXPECT_EQ(352, AlienBob);
  UpdateAlien();
  EXPECT_EQ(0, AlienBob);
  for (int i = 0; i < 200; ++i) {
    UpdateAlien();
    ASSERT_GE(AlienFrame, 0);
    ASSERT_LE(AlienFrame, 3);
  }
}

TEST_F(AlienTest, TheStandingAlienWrapsRoundTheStrip) {
  AlienX = 31850;
  PlayerMeetsStructures();
  EXPECT_FLOAT_EQ(-150, AlienX);
  AlienX = -250;
  PlayerMeetsStructures();
  EXPECT_FLOAT_EQ(31750, AlienX);
  AlienFree = 0;  // a carried alien is not wrapped
  AlienX = -250;
  PlayerMeetsStructures();
  EXPECT_FLOAT_EQ(-250, AlienX);
}

// --- Beacons --------------------------------------------------------------------------

class BeaconTest : public PlayfieldTest {
 protected:
  Structures* beacon = nullptr;
  void SetUp() override {
    PlayfieldTest::SetUp();
    beacon = AddStructure(0, PlayerX, 332, 2);
  }
};

TEST_F(BeaconTest, ItPointsTowardAStandingAlienWithinEightThousandPixels) {
  AlienX = 5000;
  PlayerMeetsStructures();
  EXPECT_EQ(1, CountMessages(1));
  EXPECT_EQ(119, beacon->inactive);

  const float places[] = {-5000, -9000, 9000, 0};
  const int arrows[] = {2, 0, 0, 0};
  for (int i = 0; i < 4; ++i) {
    TextMessagesList->Clear();
    beacon->inactive = 0;
    AlienX = places[i];
    PlayerMeetsStructures();
    EXPECT_EQ(arrows[i] ? 1 : 0, Count<TextMessages>(TextMessagesList)) << "alien at " << places[i];
    if (arrows[i]) {
      EXPECT_EQ(1, CountMessages(arrows[i]));
    }
  }
}

TEST_F(BeaconTest, ACarriedAlienThatIsNotTheLastGetsOnlyTheSound) {
  AlienFree = 0;
  AliensLeft = 1;
  AlienX = 100;
  PlayerMeetsStructures();
  EXPECT_EQ(0, Count<TextMessages>(TextMessagesList));
  EXPECT_EQ(119, beacon->inactive);
}

TEST_F(BeaconTest, WithEveryAlienPickedUpItPointsTheShortWayToTheModule) {
  AlienFree = 0;
  AliensLeft = 0;
  for (int sector : {1, 2, 4, 5}) {
    TextMessagesList->Clear();
    beacon->inactive = 0;
    beacon->Sector = sector;
    PlayerMeetsStructures();
    EXPECT_EQ(1, Count<TextMessages>(TextMessagesList));
    EXPECT_EQ(1, CountMessages(sector < 3 ? 2 : 1)) << "sector " << sector;
  }
  bool sawLeft = false, sawRight = false;
  beacon->Sector = 3;
  for (int i = 0; i < 40; ++i) {
    TextMessagesList->Clear();
    beacon->inactive = 0;
    PlayerMeetsStructures();
    sawLeft |= CountMessages(2) == 1;
    sawRight |= CountMessages(1) == 1;
  }
  EXPECT_TRUE(sawLeft && sawRight) << "the middle sector may point either way";
}

TEST_F(BeaconTest, ItAnswersAgainOnlyAHundredAndTwentyFramesLater) {
  AlienX = 5000;
  int arrows = 0;
  for (int frame = 1; frame <= 241; ++frame) {
    TextMessagesList->Clear();
    PlayerMeetsStructures();
    arrows += Count<TextMessages>(TextMessagesList);
    if (frame == 120) {
      EXPECT_EQ(1, arrows);
    }
  }
  EXPECT_EQ(3, arrows);  // frames 1, 121 and 241
}

// --- Teleporters and the module -------------------------------------------------------

class TeleporterTest : public PlayfieldTest {};

TEST_F(TeleporterTest, FacingLeftTheWorldJumpsRightByTheTeleportDistance) {
  PlayerX = 322;
  Facing = 0;
  ScrollPos = 10000;
  Structures* gate = AddStructure(2, 330, 392, 2);
  Structures* other = AddStructure(9, 1000, 332);
  Structures* nearEnd = AddStructure(9, 30000, 332);
  Enemies* a = AddEnemy(2, 100, 100);
  Enemies* b = AddEnemy(2, 2000, 100);
  AddShot(100, 100, 10);
  NewFrag(1, 1, 1, 1);
  NewShield(0, 1, 1);
  InvulnerableTicks = 0;
  FruitJam* piece = Add<FruitJam>(FruitJamList);
  AlienX = 20000;

  PlayerMeetsStructures();
  EXPECT_FLOAT_EQ(330 + 6590, gate->x);
  EXPECT_FLOAT_EQ(1000 + 6590, other->x);
  EXPECT_FLOAT_EQ(30000 + 6590 - 32000, nearEnd->x);
  EXPECT_FLOAT_EQ(3600, ScrollPos);
  EXPECT_FLOAT_EQ(1100, a->x);
  EXPECT_FLOAT_EQ(360, b->x);
  EXPECT_FLOAT_EQ(20000 + 6590, AlienX);
  EXPECT_EQ(272, PlayerX);
  EXPECT_EQ(397, PlayerY);
  EXPECT_EQ(0, Facing);
  EXPECT_EQ(90, InvulnerableTicks);
  EXPECT_EQ(0, TeleportOffset);
  EXPECT_EQ(0, Count<PlayerBullets>(PlayerBulletsList));
  EXPECT_EQ(0, Count<Frags>(FragsList));
  EXPECT_EQ(0, Count<Shields>(ShieldsList));
  EXPECT_EQ(piece, First<FruitJam>(FruitJamList)) << "burst pieces fall on across a teleport";
  EXPECT_EQ(0, Count<TextMessages>(TextMessagesList)) << "no alien carried, no message";
  EXPECT_GE(LayerPos1, 1);
  EXPECT_LE(LayerPos1, 1216);
}

TEST_F(TeleporterTest, FacingRightTheBikeTravelsExactlyOneSectorLessAHundredAndTwelve) {
  PlayerX = 222;
  Facing = 3;
  ScrollPos = 10000;
  Structures* gate = AddStructure(2, 230, 392, 2);
  Enemies* a = AddEnemy(2, 100, 100);
  Enemies* b = AddEnemy(2, -500, 100);
  PlayerMeetsStructures();
  EXPECT_FLOAT_EQ(230 - 6238 + 32000, gate->x);
  EXPECT_FLOAT_EQ(16400, ScrollPos);
  EXPECT_FLOAT_EQ(-900, a->x);
  EXPECT_FLOAT_EQ(1140, b->x);
  EXPECT_EQ(272, PlayerX);
  EXPECT_EQ(3, Facing);
}

TEST_F(TeleporterTest, ACarriedAlienIsDeliveredAndTheNextOnePlacedElsewhere) {
  AlienFree = 0;
  AliensLeft = 1;
  AlienX = 12345;
  UnderTheBike(2);
  PlayerMeetsStructures();
  EXPECT_EQ(1, AlienFree);
  EXPECT_EQ(1, AliensLeft);
  EXPECT_EQ(0, Score) << "delivery earns no score";
  EXPECT_EQ(1, CountMessages(0));
  EXPECT_EQ(0, AlienBob);
  EXPECT_GE(AlienX, -200);
  EXPECT_LE(AlienX, 31800);
  EXPECT_EQ(90, InvulnerableTicks) << "and the bike travels on";
}

TEST_F(TeleporterTest, TheLastAlienIsRefusedAtMostOnceEverySixtyFrames) {
  AlienFree = 0;
  AliensLeft = 0;
  Structures* gate = UnderTheBike(2);
  const float gateX = gate->x;
  for (int i = 0; i < 120; ++i) PlayerMeetsStructures();
  EXPECT_EQ(2, CountMessages(3));
  EXPECT_EQ(1, TeleportersOff);
  EXPECT_EQ(272, PlayerX);
  EXPECT_FLOAT_EQ(gateX, gate->x) << "no teleport";
  EXPECT_EQ(0, AlienFree);
}

TEST_F(TeleporterTest, OnceRefusedNoTeleporterCarriesTheBike) {
  TeleportersOff = 1;
  AliensLeft = 1;
  Structures* gate = UnderTheBike(2);
  const float gateX = gate->x;
  PlayerMeetsStructures();
  EXPECT_FLOAT_EQ(gateX, gate->x);
  EXPECT_EQ(0, InvulnerableTicks);
}

TEST_F(TeleporterTest, TheModuleTakesAnyCarriedAlienAndIgnoresAnEmptyBike) {
  UnderTheBike(1);
  PlayerMeetsStructures();
  EXPECT_EQ(0, TakeOffFlag);
  AlienFree = 0;
  AliensLeft = 1;
  PlayerMeetsStructures();
  EXPECT_EQ(1, TakeOffFlag);
}

// --- Message pictures ------------------------------------------------------------------

class MessageTest : public PlayfieldTest {};

TEST_F(MessageTest, ADelayedPictureIsFirstDrawnOnTheCallAfterItsDelay) {
  NewTextMessage(9, 60);
  TextMessages* m = First<TextMessages>(TextMessagesList);
  for (int i = 0; i < 60; ++i) DrawTextMessages();
  EXPECT_EQ(0, m->sinus);
  EXPECT_FLOAT_EQ(0.01f, m->scale);
  DrawTextMessages();
  EXPECT_EQ(3, m->sinus);
}

TEST_F(MessageTest, APictureZoomsFadesAndGoesAfterAboutAHundredAndFiveDraws) {
  NewTextMessage(0, 0);
  NewTextMessage(0, 0);  // the same picture twice: two records, drawn on top of each other
  EXPECT_EQ(2, Count<TextMessages>(TextMessagesList));
  TextMessages* m = First<TextMessages>(TextMessagesList);
  float peak = 0;
  for (int i = 0; i < 104; ++i) {
    DrawTextMessages();
    peak = std::max(peak, m->alpha);
  }
  EXPECT_NEAR(1.3f, peak, 0.02f);
  EXPECT_EQ(2, Count<TextMessages>(TextMessagesList));
  EXPECT_GT(m->scale, 1.5f) << "the zoom never stops";
  DrawTextMessages();
  DrawTextMessages();
  EXPECT_EQ(0, Count<TextMessages>(TextMessagesList));
  const DrawState st = GetDrawState();
  EXPECT_EQ(1.0f, st.scaleX);
  EXPECT_EQ(1.0f, st.alpha);
}

// --- Landing and take-off -------------------------------------------------------------

class SequenceTest : public PlayfieldTest {
 protected:
  void SetUp() override {
    PlayfieldTest::SetUp();
    Drawing(false);
    SetupSector(1);
  }
  void TearDown() override {
    Drawing(true);
    PlayfieldTest::TearDown();
  }
  // Runs a sequence and counts the frames it presents.
  template <class F>
  int64_t Frames(F run) {
    const int64_t start = PresentedFrameCount();
    run();
    return PresentedFrameCount() - start;
  }
};

TEST_F(SequenceTest, AnUncutLandingTakesFourHundredAndTwoFrames) {
  bool bikeOnBeamLine = true;
  SetScriptHook([&] { bikeOnBeamLine &= PlayerY == 402; });
  LayerPos1 = 77;
  EXPECT_EQ(402, Frames([] { LandingSequence(0); }));
  SetScriptHook(nullptr);
  EXPECT_TRUE(bikeOnBeamLine);
  EXPECT_EQ(272, PlayerX);
  EXPECT_EQ(397, PlayerY);
  EXPECT_EQ(0, LayerPos1);
  EXPECT_EQ(0, LayerPos3);
}

TEST_F(SequenceTest, LaterLandingsStartTheLayersAtRandomWholePositions) {
  for (int i = 0; i < 3; ++i) {
    ScriptKeyTap(32);
    LandingSequence(1);
    for (float p : {LayerPos1, LayerPos2, LayerPos3}) {
      EXPECT_GE(p, 1);
      EXPECT_LE(p, 1216);
      EXPECT_EQ(p, static_cast<float>(TruncateToInt(p)));
    }
  }
}

TEST_F(SequenceTest, SpaceCutsTheLandingShortAndStillPlacesTheBike) {
  int64_t start = PresentedFrameCount();
  SetScriptHook([&] {
    if (PresentedFrameCount() - start == 10) ScriptKeyTap(32);
  });
  const int64_t frames = Frames([] { LandingSequence(0); });
  SetScriptHook(nullptr);
  EXPECT_LE(frames, 12);
  EXPECT_EQ(272, PlayerX);
  EXPECT_EQ(397, PlayerY);
}

TEST_F(SequenceTest, TheBonusCountsTenPointsAFrameEverySecondFrameBeforeTheClimb) {
  TimeBonus = 57.3f;
  AliensLeft = 0;
  TakeOffFlag = 1;
  Score = 1000;
  int64_t start = PresentedFrameCount();
  int64_t climbStarts = -1;
  int scoreAtClimb = -1;
  SetScriptHook([&] {
    if (climbStarts < 0 && TimeBonus == 0 && LevelNumber == 1) {
      climbStarts = PresentedFrameCount() - start;
      scoreAtClimb = Score;
    }
  });
  const int64_t frames = Frames([] { TakeOffSequence(); });
  SetScriptHook(nullptr);
  EXPECT_EQ(114, climbStarts);
  EXPECT_EQ(1570, scoreAtClimb);
  EXPECT_EQ(1570, Score);
  EXPECT_EQ(114 + 309 + 402, frames) << "count-down, climb, then the next landing";
  EXPECT_EQ(2, LevelNumber);
  EXPECT_EQ(3, AliensLeft);
  EXPECT_EQ(0, TakeOffFlag);
  EXPECT_FLOAT_EQ(100, TimeBonus);
}

TEST_F(SequenceTest, NoBonusWhileAliensAreLeftOrWithLessThanTwoUnits) {
  for (int left : {1, 0}) {
    SetupSector(1);
    TimeBonus = left ? 90.0f : 1.9f;
    AliensLeft = left;
    Score = 0;
    int64_t start = PresentedFrameCount();
    int64_t climbDone = -1;
    SetScriptHook([&] {
      if (climbDone < 0 && LevelNumber == 2) climbDone = PresentedFrameCount() - start;
      EXPECT_TRUE(LevelNumber == 2 || TimeBonus == 0);
    });
    TakeOffSequence();
    SetScriptHook(nullptr);
    EXPECT_EQ(0, Score);
    EXPECT_EQ(310, climbDone) << "the climb starts at once: 309 frames";
  }
}

TEST_F(SequenceTest, EscapeDuringTheCountDownEndsTheTakeOffAndLosesTheRest) {
  TimeBonus = 80;
  AliensLeft = 0;
  int64_t start = PresentedFrameCount();
  SetScriptHook([&] {
    if (PresentedFrameCount() - start == 20) ScriptKeyTap(27);
  });
  const int64_t frames = Frames([] { TakeOffSequence(); });
  SetScriptHook(nullptr);
  EXPECT_EQ(100, Score) << "ten units counted in twenty frames";
  EXPECT_EQ(20 + 402, frames) << "Escape is seen at the end of the frame it came in";
  EXPECT_EQ(2, LevelNumber);
  EXPECT_FLOAT_EQ(100, TimeBonus);
}

TEST_F(SequenceTest, ScreenshotOfTheLanding) {
  Drawing(true);
  int64_t start = PresentedFrameCount();
  SetScriptHook([&] {
    if (PresentedFrameCount() - start == 340) SaveScreenPNG(ShotPath("rescue_landing.png"));
  });
  LandingSequence(0);
  SetScriptHook(nullptr);
  SUCCEED();
}
