// Rescue: the alien, the beacons' arrows, the teleporters, the lunar module,
// the message pictures, and the landing and take-off around every level.
#include <algorithm>
#include <vector>

#include "playfield.h"
#include "sound_log.h"

using namespace playfield;

namespace {
int Messages(MessagePicture picture) {
  int n = 0;
  for (TextMessages* m : Each<TextMessages>(world.textMessages)) n += m->picture == picture;
  return n;
}
}  // namespace

class RescueTest : public PlayfieldTest {};

TEST_F(RescueTest, TheAlienIsPickedUpOnlyLowInItsHopAndWrapsRoundTheStrip) {
  world.alien.x = 302;
  world.alien.bobAngle = 128;
  CaptureAlien();
  EXPECT_TRUE(world.alien.free);
  world.alien.bobAngle = 136;
  world.alien.callTimer = 30;
  CaptureAlien();
  CaptureAlien();
  EXPECT_FALSE(world.alien.free);
  EXPECT_EQ(1, world.sector.aliensLeft);
  EXPECT_EQ(250, world.game.score);
  EXPECT_EQ(60, world.alien.callTimer);

  world.alien.free = true;
  for (float from : {31850.0f, -250.0f}) {
    world.alien.x = from;
    PlayerMeetsStructures();
    EXPECT_FLOAT_EQ(from > 0 ? -150 : 31750, world.alien.x);
  }
  world.alien.x = 700;  // off screen the hop stands still
  UpdateAlien();
  EXPECT_EQ(136, world.alien.bobAngle);
}

TEST_F(RescueTest, BeaconsPointToANearAlienOrTheShortWayToTheModule) {
  Structures* beacon = AddStructure(Kind::Beacon, 272, 332, 2);
  using M = MessagePicture;
  const float places[] = {5000, -5000, -9000, 0};
  const int shown[] = {1, 1, 0, 0};
  const M arrows[] = {M::ArrowRight, M::ArrowLeft, M::ArrowRight, M::ArrowLeft};
  for (int i = 0; i < 4; ++i) {
    world.textMessages->Clear();
    beacon->touchCooldown = 0;
    world.alien.x = places[i];
    PlayerMeetsStructures();
    EXPECT_EQ(shown[i], Count<TextMessages>(world.textMessages)) << places[i];
    EXPECT_EQ(shown[i], Messages(arrows[i]));
    EXPECT_EQ(119, beacon->touchCooldown);
  }
  world.alien.free = false;  // carried, not the last: only the sound
  world.sector.aliensLeft = 1;
  world.textMessages->Clear();
  beacon->touchCooldown = 0;
  PlayerMeetsStructures();
  EXPECT_EQ(0, Count<TextMessages>(world.textMessages));
  world.sector.aliensLeft = 0;
  for (int sector : {1, 2, 4, 5}) {
    world.textMessages->Clear();
    beacon->touchCooldown = 0;
    beacon->sector = sector;
    PlayerMeetsStructures();
    EXPECT_EQ(1, Messages(sector < 3 ? M::ArrowLeft : M::ArrowRight)) << sector;
  }
  // And it answers again only 120 frames later.
  int answers = 0;
  for (int frame = 1; frame <= 241; ++frame) {
    world.textMessages->Clear();
    PlayerMeetsStructures();
    answers += Count<TextMessages>(world.textMessages);
  }
  EXPECT_EQ(2, answers);
}

// A beacon points to the standing alien only while it is less than 8000
// pixels away on either side; at 8000 or farther it gives no arrow.
TEST_F(RescueTest, ABeaconPointsToAnAlienLessThan8000PixelsAwayEachWay) {
  Structures* beacon = AddStructure(Kind::Beacon, 272, 332, 2);
  using M = MessagePicture;
  const struct {
    float alienX;
    int left, right;
  } cases[] = {{7999.5f, 0, 1}, {8000.0f, 0, 0}, {8000.5f, 0, 0}, {-7999.5f, 1, 0}, {-8000.0f, 0, 0},
               {-8000.5f, 0, 0}, {0.5f, 0, 1}, {-0.5f, 1, 0}};
  for (const auto& c : cases) {
    world.textMessages->Clear();
    beacon->touchCooldown = 0;
    world.alien.x = c.alienX;
    PlayerMeetsStructures();
    EXPECT_EQ(c.left, Messages(M::ArrowLeft)) << "left arrows for an alien at " << c.alienX;
    EXPECT_EQ(c.right, Messages(M::ArrowRight)) << "right arrows for an alien at " << c.alienX;
  }
}

TEST_F(RescueTest, FacingLeftATeleporterShiftsTheWorldAndClearsTheShortLivedLists) {
  world.bike.x = 322;
  world.bike.facing = Facing::Left;
  world.sector.scrollPos = 10000;
  Structures* gate = AddStructure(Kind::Teleporter, 330, 392, 2);
  Structures* nearEnd = AddStructure(Kind::Terraformer, 30000, 332);
  Enemies* a = AddEnemy(EnemyType::Jellyfish, 2000, 100);
  AddShot(100, 100, 10);
  NewFrag(1, 1, EnemyType::Probe, 1);
  Pieces* piece = Add<Pieces>(world.pieces);
  PlayerMeetsStructures();
  EXPECT_FLOAT_EQ(330 + 6590, gate->x);
  EXPECT_FLOAT_EQ(30000 + 6590 - 32000, nearEnd->x);
  EXPECT_FLOAT_EQ(3600, world.sector.scrollPos);
  EXPECT_FLOAT_EQ(360, a->x);
  EXPECT_FLOAT_EQ(26590, world.alien.x);
  EXPECT_TRUE(world.bike.x == 272 && world.bike.y == 397 && world.bike.facing == Facing::Left &&
              world.bike.invulnerableTicks == 90);
  EXPECT_EQ(0, Count<PlayerBullets>(world.playerBullets) + Count<Frags>(world.frags));
  EXPECT_EQ(piece, First<Pieces>(world.pieces)) << "burst pieces fall on";
  EXPECT_EQ(0, Count<TextMessages>(world.textMessages));
}

TEST_F(RescueTest, FacingRightTheWorldShiftsLeftAndWrapsOntoTheStrip) {
  world.bike.x = 222;
  world.sector.scrollPos = 10000;
  Structures* gate = AddStructure(Kind::Teleporter, 230, 392, 2);
  Enemies* b = AddEnemy(EnemyType::Jellyfish, -500, 100);
  PlayerMeetsStructures();
  EXPECT_FLOAT_EQ(230 - 6238 + 32000, gate->x);
  EXPECT_FLOAT_EQ(16400, world.sector.scrollPos);
  EXPECT_FLOAT_EQ(1140, b->x);
}

// Right after a turn the bike still stands on the far side of the centre from
// where its glide takes it: its distance from the centre counts as none, and
// the world shifts by exactly 6540 to the right or 6288 to the left.
TEST_F(RescueTest, AfterATurnTheBikeOnTheFarSideOfTheCentreTeleportsByTheBareShift) {
  controls.mode = ControlMode::Keyboard;
  auto turn = [](int from, int to) {
    ScriptKeyDown(from);
    for (int i = 0; i < 120; ++i) PlayerControl(ReadBikeCommand());
    ScriptKeyUp(from);
    ScriptKeyDown(to);
    const Facing was = world.bike.facing;
    for (int i = 0; i < 60 && world.bike.facing == was; ++i) PlayerControl(ReadBikeCommand());
    ReleaseSteering();
  };
  turn(Settings.keyRight, Settings.keyLeft);
  ASSERT_EQ(Facing::Left, world.bike.facing);
  ASSERT_LT(world.bike.x, 262) << "left of the centre, facing left";
  world.sector.scrollPos = 10000;
  Structures* gate = AddStructure(Kind::Teleporter, TruncateToInt(world.bike.x) + 8, 392, 2);
  const float gateX = gate->x;
  PlayerMeetsStructures();
  EXPECT_FLOAT_EQ(gateX + 6540, gate->x);
  EXPECT_FLOAT_EQ(3600, world.sector.scrollPos);

  turn(Settings.keyLeft, Settings.keyRight);
  ASSERT_EQ(Facing::Right, world.bike.facing);
  ASSERT_GT(world.bike.x, 282) << "right of the centre, facing right";
  world.sector.scrollPos = 10000;
  gate = AddStructure(Kind::Teleporter, TruncateToInt(world.bike.x) + 8, 392, 4);
  const float secondX = gate->x;
  PlayerMeetsStructures();
  EXPECT_FLOAT_EQ(secondX - 6288 + 32000, gate->x);
  EXPECT_FLOAT_EQ(16400, world.sector.scrollPos);
}

TEST_F(RescueTest, DeliveryRefusalOfTheLastAlienAndTheModule) {
  Structures* gate = AddStructure(Kind::Teleporter, 292, 392, 2);
  world.alien.free = false;
  world.sector.aliensLeft = 1;
  PlayerMeetsStructures();
  EXPECT_TRUE(world.alien.free);
  EXPECT_EQ(1, Messages(MessagePicture::AlienSaved));
  EXPECT_EQ(0, world.game.score);
  EXPECT_TRUE(world.alien.x >= -200 && world.alien.x <= 31800);

  gate->x = 292;
  world.alien.free = false;
  world.sector.aliensLeft = 0;
  for (int i = 0; i < 120; ++i) PlayerMeetsStructures();
  EXPECT_EQ(2, Messages(MessagePicture::GetToCraft)) << "refused at most once every 60 frames";
  EXPECT_TRUE(world.sector.teleportersOff);
  EXPECT_FLOAT_EQ(292, gate->x);

  AddStructure(Kind::LunarModule, 292, 392, 1);
  world.alien.free = true;
  PlayerMeetsStructures();
  EXPECT_FALSE(world.sector.takeOffDue);
  world.alien.free = false;
  PlayerMeetsStructures();
  EXPECT_TRUE(world.sector.takeOffDue);
}

TEST_F(RescueTest, MessagePicturesWaitTheirDelayThenZoomFadeAndGo) {
  NewTextMessage(MessagePicture::Commander, 60);
  TextMessages* m = First<TextMessages>(world.textMessages);
  ASSERT_NE(m, nullptr);
  DrawTextMessages();
  EXPECT_EQ(60, m->delayTicks) << "drawing counts no delay down";
  // One frame of the messages, as the play pass runs it.
  const auto frame = [] {
    SwingTextMessages();
    DrawTextMessages();
    UpdateTextMessages();
  };
  for (int i = 0; i < 60; ++i) frame();
  EXPECT_EQ(0, m->swingAngle);
  float peak = 0;
  for (int i = 0; i < 104; ++i) {
    frame();
    peak = std::max(peak, m->alpha);
  }
  EXPECT_EQ(3 * 104, m->swingAngle);
  EXPECT_NEAR(1.3f, peak, 0.02f);
  EXPECT_GT(m->scale, 1.5f);
  frame();
  frame();
  EXPECT_EQ(0, Count<TextMessages>(world.textMessages));
  EXPECT_EQ(1.0f, GetDrawState().scaleX);
}

// Every sound of the rescue, each heard only with effects on.
TEST_F(RescueTest, EachMeetingPlaysItsOwnSounds) {
  const auto outcome = [] {
    // The alien's call timer runs only with effects on: not part of it.
    return std::to_string(world.alien.free) + std::to_string(world.sector.aliensLeft) + " " +
           std::to_string(world.game.score) + " " + std::to_string(world.sector.takeOffDue) +
           std::to_string(world.sector.teleportersOff) + " " + std::to_string(world.bike.x) + " " +
           std::to_string(Count<TextMessages>(world.textMessages));
  };
  const auto carrying = [](int left) { ResetWorld(), world.alien.free = false, world.sector.aliensLeft = left; };
  const soundlog::Path paths[] = {
      {"the alien calls",
       [] { ResetWorld(), world.alien.x = 300, world.alien.callTimer = 1; },
       UpdateAlien,
       {snd_alien1},
       outcome},
      {"the alien is picked up",
       [] { ResetWorld(), world.alien.x = 302, world.alien.bobAngle = 136; },
       CaptureAlien,
       {snd_alien2},
       outcome},
      {"a beacon answers",
       [] { ResetWorld(), AddStructure(Kind::Beacon, 272, 332, 2); },
       PlayerMeetsStructures,
       {snd_radar},
       outcome},
      {"a teleporter",
       [] { ResetWorld(), AddStructure(Kind::Teleporter, 292, 392, 2); },
       PlayerMeetsStructures,
       {snd_teleport},
       outcome},
      {"an alien delivered",
       [&] { carrying(1), AddStructure(Kind::Teleporter, 292, 392, 2); },
       PlayerMeetsStructures,
       {snd_AlienRescued, snd_teleport},
       outcome},
      {"the last alien refused",
       [&] { carrying(0), AddStructure(Kind::Teleporter, 292, 392, 2); },
       PlayerMeetsStructures,
       {snd_NoTeleport},
       outcome},
      {"the module reached",
       [&] { carrying(0), AddStructure(Kind::LunarModule, 292, 392, 1); },
       PlayerMeetsStructures,
       {snd_alien3},
       outcome},
      {"a terraformer hums",
       [] { ResetWorld(), AddStructure(Kind::Terraformer, 300, 332); },
       [] { UpdateStructures(); },
       {snd_2tower},
       outcome},
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
  SetScriptHook([&] { onBeamLine &= world.bike.y == 402; });
  world.layerPos[0] = 77;
  EXPECT_EQ(402, FramesOf([] { LandingSequence(Landing::GameStart); }));
  EXPECT_TRUE(onBeamLine);
  EXPECT_TRUE(world.bike.x == 272 && world.bike.y == 397 && world.layerPos[0] == 0);
  TapAt(10, 32);
  EXPECT_EQ(10, FramesOf([] { LandingSequence(Landing::NextLevel); }));
  EXPECT_EQ(397, world.bike.y);
  EXPECT_TRUE(world.layerPos[0] >= 1 && world.layerPos[0] <= 1216 &&
              world.layerPos[0] == static_cast<float>(TruncateToInt(world.layerPos[0])));
}

TEST_F(SequenceTest, TheBonusPaysTenAUnitEverySecondFrameBeforeTheClimb) {
  world.sector.timeBonus = 57.3f;
  world.sector.aliensLeft = 0;
  world.sector.takeOffDue = true;
  world.game.score = 1000;
  const int64_t start = PresentedFrameCount();
  int64_t countedIn = -1;
  SetScriptHook([&] {
    if (countedIn < 0 && world.sector.timeBonus == 0) countedIn = PresentedFrameCount() - start;
  });
  EXPECT_EQ(114 + 309 + 402, FramesOf([] { TakeOffSequence(); })) << "count-down, climb, next landing";
  EXPECT_EQ(114, countedIn);
  EXPECT_EQ(1570, world.game.score);
  EXPECT_TRUE(world.game.level == 2 && world.sector.aliensLeft == 3 && !world.sector.takeOffDue &&
              world.sector.timeBonus == 100);
}

TEST_F(SequenceTest, NoBonusWithAliensLeftOrUnderTwoUnitsAndEscapeCutsTheCount) {
  for (int left : {1, 0}) {
    SetupSector(1);
    world.sector.timeBonus = left ? 90.0f : 1.9f;
    world.sector.aliensLeft = left;
    EXPECT_EQ(309 + 402, FramesOf([] { TakeOffSequence(); }));
    EXPECT_EQ(0, world.game.score);
  }
  SetupSector(1);
  world.sector.timeBonus = 80;
  world.sector.aliensLeft = 0;
  TapAt(20, 27);
  EXPECT_EQ(20 + 402, FramesOf([] { TakeOffSequence(); }));
  EXPECT_EQ(100, world.game.score) << "ten units counted in twenty frames, the rest lost";
  EXPECT_EQ(2, world.game.level);
}

// The landing's 340th frame, kept as a picture: the module stands landed and
// open (it touched down in frame 304 and opens over 33 frames), and the bike
// fades in under the full beam, its alpha up by 0.02 a frame from 0 in frame
// 328: 0.24 here.
TEST_F(SequenceTest, ScreenshotOfTheLanding) {
  const int64_t start = PresentedFrameCount();
  std::vector<DrawEvent> kept;
  SetDrawLog([&](const DrawEvent& e) {
    if (PresentedFrameCount() - start == 339) kept.push_back(e);
  });
  bool saved = false;
  SetScriptHook([&] {
    const int64_t f = PresentedFrameCount() - start;
    if (f == 340) saved = SaveScreenPNG("rescue_landing.png");
    Drawing(f == 339);  // only the frame kept is drawn
  });
  LandingSequence(Landing::GameStart);
  SetDrawLog(nullptr);
  EXPECT_TRUE(saved);
  int modules = 0, bikes = 0, beamRows = 0;
  for (const DrawEvent& e : kept) {
    if (e.kind != DrawEvent::Kind::Image) continue;
    if (e.picture == "module.png") {
      ++modules;
      EXPECT_TRUE(e.frame == 4 && e.x == 180 && e.y == 392) << "module cell " << e.frame << " at " << e.x << ", " << e.y;
    }
    if (e.picture == "bike2.png") {
      ++bikes;
      EXPECT_TRUE(e.frame == 3 && e.x == 272 && e.y == 397) << "bike cell " << e.frame << " at " << e.x << ", " << e.y;
      EXPECT_NEAR(e.state.alpha, 0.24f, 1e-3f) << "the bike's fade";
    }
    if (e.picture == "Glowing.png") {
      ++beamRows;
      EXPECT_EQ(e.x, 260);
      EXPECT_EQ(e.state.alpha, 1.0f) << "the beam's alpha";
    }
  }
  EXPECT_EQ(modules, 1);
  EXPECT_EQ(bikes, 1);
  EXPECT_EQ(beamRows, 9);
}
