// Rescue: the alien, the beacons' arrows, the teleporters, the lunar module,
// the message pictures, and the landing and take-off around every level.
#include <algorithm>

#include "playfield.h"
#include "sound_log.h"

using namespace playfield;

namespace {
int Messages(int number) {
  int n = 0;
  for (TextMessages* m : Each<TextMessages>(TextMessagesList)) n += m->number == number;
  return n;
}
}  // namespace

class RescueTest : public PlayfieldTest {};

TEST_F(RescueTest, TheAlienIsPickedUpOnlyLowInItsHopAndWrapsRoundTheStrip) {
  AlienX = 302;
  AlienBob = 128;
  CaptureAlien();
  EXPECT_EQ(1, AlienFree);
  AlienBob = 136;
  AlienSoundTimer = 30;
  CaptureAlien();
  CaptureAlien();
  EXPECT_EQ(0, AlienFree);
  EXPECT_EQ(1, AliensLeft);
  EXPECT_EQ(250, Score);
  EXPECT_EQ(60, AlienSoundTimer);

  AlienFree = 1;
  for (float from : {31850.0f, -250.0f}) {
    AlienX = from;
    PlayerMeetsStructures();
    EXPECT_FLOAT_EQ(from > 0 ? -150 : 31750, AlienX);
  }
  AlienX = 700;  // off screen the hop stands still
  UpdateAlien();
  EXPECT_EQ(136, AlienBob);
}

TEST_F(RescueTest, BeaconsPointToANearAlienOrTheShortWayToTheModule) {
  Structures* beacon = AddStructure(Kind::Beacon, 272, 332, 2);
  const float places[] = {5000, -5000, -9000, 0};
  const int arrows[] = {1, 2, 0, 0};
  for (int i = 0; i < 4; ++i) {
    TextMessagesList->Clear();
    beacon->inactive = 0;
    AlienX = places[i];
    PlayerMeetsStructures();
    EXPECT_EQ(arrows[i] ? 1 : 0, Count<TextMessages>(TextMessagesList)) << places[i];
    EXPECT_EQ(arrows[i] ? 1 : 0, Messages(arrows[i]));
    EXPECT_EQ(119, beacon->inactive);
  }
  AlienFree = 0;  // carried, not the last: only the sound
  AliensLeft = 1;
  TextMessagesList->Clear();
  beacon->inactive = 0;
  PlayerMeetsStructures();
  EXPECT_EQ(0, Count<TextMessages>(TextMessagesList));
  AliensLeft = 0;
  for (int sector : {1, 2, 4, 5}) {
    TextMessagesList->Clear();
    beacon->inactive = 0;
    beacon->Sector = sector;
    PlayerMeetsStructures();
    EXPECT_EQ(1, Messages(sector < 3 ? 2 : 1)) << sector;
  }
  // And it answers again only 120 frames later.
  int answers = 0;
  for (int frame = 1; frame <= 241; ++frame) {
    TextMessagesList->Clear();
    PlayerMeetsStructures();
    answers += Count<TextMessages>(TextMessagesList);
  }
  EXPECT_EQ(2, answers);
}

TEST_F(RescueTest, FacingLeftATeleporterShiftsTheWorldAndClearsTheShortLivedLists) {
  PlayerX = 322;
  Facing = 0;
  ScrollPos = 10000;
  Structures* gate = AddStructure(Kind::Teleporter, 330, 392, 2);
  Structures* nearEnd = AddStructure(Kind::Terraformer, 30000, 332);
  Enemies* a = AddEnemy(EnemyType::Jellyfish, 2000, 100);
  AddShot(100, 100, 10);
  NewFrag(1, 1, EnemyType::Probe, 1);
  FruitJam* piece = Add<FruitJam>(FruitJamList);
  PlayerMeetsStructures();
  EXPECT_FLOAT_EQ(330 + 6590, gate->x);
  EXPECT_FLOAT_EQ(30000 + 6590 - 32000, nearEnd->x);
  EXPECT_FLOAT_EQ(3600, ScrollPos);
  EXPECT_FLOAT_EQ(360, a->x);
  EXPECT_FLOAT_EQ(26590, AlienX);
  EXPECT_TRUE(PlayerX == 272 && PlayerY == 397 && Facing == 0 && InvulnerableTicks == 90);
  EXPECT_EQ(0, Count<PlayerBullets>(PlayerBulletsList) + Count<Frags>(FragsList));
  EXPECT_EQ(piece, First<FruitJam>(FruitJamList)) << "burst pieces fall on";
  EXPECT_EQ(0, Count<TextMessages>(TextMessagesList));
}

TEST_F(RescueTest, FacingRightTheWorldShiftsLeftAndWrapsOntoTheStrip) {
  PlayerX = 222;
  ScrollPos = 10000;
  Structures* gate = AddStructure(Kind::Teleporter, 230, 392, 2);
  Enemies* b = AddEnemy(EnemyType::Jellyfish, -500, 100);
  PlayerMeetsStructures();
  EXPECT_FLOAT_EQ(230 - 6238 + 32000, gate->x);
  EXPECT_FLOAT_EQ(16400, ScrollPos);
  EXPECT_FLOAT_EQ(1140, b->x);
}

TEST_F(RescueTest, DeliveryRefusalOfTheLastAlienAndTheModule) {
  Structures* gate = AddStructure(Kind::Teleporter, 292, 392, 2);
  AlienFree = 0;
  AliensLeft = 1;
  PlayerMeetsStructures();
  EXPECT_EQ(1, AlienFree);
  EXPECT_EQ(1, Messages(0));
  EXPECT_EQ(0, Score);
  EXPECT_TRUE(AlienX >= -200 && AlienX <= 31800);

  gate->x = 292;
  AlienFree = 0;
  AliensLeft = 0;
  for (int i = 0; i < 120; ++i) PlayerMeetsStructures();
  EXPECT_EQ(2, Messages(3)) << "refused at most once every 60 frames";
  EXPECT_EQ(1, TeleportersOff);
  EXPECT_FLOAT_EQ(292, gate->x);

  AddStructure(Kind::LunarModule, 292, 392, 1);
  AlienFree = 1;
  PlayerMeetsStructures();
  EXPECT_EQ(0, TakeOffFlag);
  AlienFree = 0;
  PlayerMeetsStructures();
  EXPECT_EQ(1, TakeOffFlag);
}

TEST_F(RescueTest, MessagePicturesWaitTheirDelayThenZoomFadeAndGo) {
  NewTextMessage(9, 60);
  TextMessages* m = First<TextMessages>(TextMessagesList);
  for (int i = 0; i < 60; ++i) DrawTextMessages();
  EXPECT_EQ(0, m->sinus);
  float peak = 0;
  for (int i = 0; i < 104; ++i) {
    DrawTextMessages();
    peak = std::max(peak, m->alpha);
  }
  EXPECT_EQ(3 * 104, m->sinus);
  EXPECT_NEAR(1.3f, peak, 0.02f);
  EXPECT_GT(m->scale, 1.5f);
  DrawTextMessages();
  DrawTextMessages();
  EXPECT_EQ(0, Count<TextMessages>(TextMessagesList));
  EXPECT_EQ(1.0f, GetDrawState().scaleX);
}

// Every sound of the rescue, each heard only with effects on.
TEST_F(RescueTest, EachMeetingPlaysItsOwnSounds) {
  const auto outcome = [] {
    // The alien's call timer runs only with effects on: not part of it.
    return std::to_string(AlienFree) + std::to_string(AliensLeft) + " " +
           std::to_string(Score) + " " + std::to_string(TakeOffFlag) + std::to_string(TeleportersOff) + " " +
           std::to_string(PlayerX) + " " + std::to_string(Count<TextMessages>(TextMessagesList));
  };
  const auto carrying = [](int left) { ResetWorld(), AlienFree = 0, AliensLeft = left; };
  const soundlog::Path paths[] = {
      {"the alien calls", [] { ResetWorld(), AlienX = 300, AlienSoundTimer = 1; }, UpdateAlien, {snd_alien1},
       outcome},
      {"the alien is picked up", [] { ResetWorld(), AlienX = 302, AlienBob = 136; }, CaptureAlien, {snd_alien2},
       outcome},
      {"a beacon answers", [] { ResetWorld(), AddStructure(Kind::Beacon, 272, 332, 2); }, PlayerMeetsStructures,
       {snd_radar}, outcome},
      {"a teleporter", [] { ResetWorld(), AddStructure(Kind::Teleporter, 292, 392, 2); }, PlayerMeetsStructures,
       {snd_teleport}, outcome},
      {"an alien delivered", [&] { carrying(1), AddStructure(Kind::Teleporter, 292, 392, 2); }, PlayerMeetsStructures,
       {snd_AlienRescued, snd_teleport}, outcome},
      {"the last alien refused", [&] { carrying(0), AddStructure(Kind::Teleporter, 292, 392, 2); },
       PlayerMeetsStructures, {snd_NoTeleport}, outcome},
      {"the module reached", [&] { carrying(0), AddStructure(Kind::LunarModule, 292, 392, 1); }, PlayerMeetsStructures,
       {snd_alien3}, outcome},
      {"a terraformer hums", [] { ResetWorld(), AddStructure(Kind::Terraformer, 300, 332); },
       [] { UpdateStructures(1); }, {snd_2tower}, outcome},
  };
  for (const soundlog::Path& path : paths) soundlog::ExpectSoundsOnlyWithEffects(path);
}

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
  void TapAt(int64_t frame, int key) {
    const int64_t start = PresentedFrameCount();
    SetScriptHook([=] {
      if (PresentedFrameCount() - start == frame) ScriptKeyTap(key);
    });
  }
};

TEST_F(SequenceTest, ALandingTakesFourHundredAndTwoFramesUnlessSpaceCutsIt) {
  bool onBeamLine = true;
  SetScriptHook([&] { onBeamLine &= PlayerY == 402; });
  LayerPos1 = 77;
  EXPECT_EQ(402, FramesOf([] { LandingSequence(0); }));
  EXPECT_TRUE(onBeamLine);
  EXPECT_TRUE(PlayerX == 272 && PlayerY == 397 && LayerPos1 == 0);
  TapAt(10, 32);
  EXPECT_EQ(10, FramesOf([] { LandingSequence(1); }));
  EXPECT_EQ(397, PlayerY);
  EXPECT_TRUE(LayerPos1 >= 1 && LayerPos1 <= 1216 && LayerPos1 == static_cast<float>(TruncateToInt(LayerPos1)));
}

TEST_F(SequenceTest, TheBonusPaysTenAUnitEverySecondFrameBeforeTheClimb) {
  TimeBonus = 57.3f;
  AliensLeft = 0;
  TakeOffFlag = 1;
  Score = 1000;
  const int64_t start = PresentedFrameCount();
  int64_t countedIn = -1;
  SetScriptHook([&] {
    if (countedIn < 0 && TimeBonus == 0) countedIn = PresentedFrameCount() - start;
  });
  EXPECT_EQ(114 + 309 + 402, FramesOf([] { TakeOffSequence(); })) << "count-down, climb, next landing";
  EXPECT_EQ(114, countedIn);
  EXPECT_EQ(1570, Score);
  EXPECT_TRUE(LevelNumber == 2 && AliensLeft == 3 && TakeOffFlag == 0 && TimeBonus == 100);
}

TEST_F(SequenceTest, NoBonusWithAliensLeftOrUnderTwoUnitsAndEscapeCutsTheCount) {
  for (int left : {1, 0}) {
    SetupSector(1);
    TimeBonus = left ? 90.0f : 1.9f;
    AliensLeft = left;
    EXPECT_EQ(309 + 402, FramesOf([] { TakeOffSequence(); }));
    EXPECT_EQ(0, Score);
  }
  SetupSector(1);
  TimeBonus = 80;
  AliensLeft = 0;
  TapAt(20, 27);
  EXPECT_EQ(20 + 402, FramesOf([] { TakeOffSequence(); }));
  EXPECT_EQ(100, Score) << "ten units counted in twenty frames, the rest lost";
  EXPECT_EQ(2, LevelNumber);
}

TEST_F(SequenceTest, ScreenshotOfTheLanding) {
  const int64_t start = PresentedFrameCount();
  SetScriptHook([&] {
    const int64_t f = PresentedFrameCount() - start;
    if (f == 340) SaveScreenPNG("rescue_landing.png");
    Drawing(f == 339);  // only the frame kept is drawn
  });
  LandingSequence(0);
  SUCCEED();
}
