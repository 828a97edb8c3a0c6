// A settings file edited by hand: each two-state setting holding a value
// other than 0 and 1 (2 and -1 here), read the way the game reads it, and
// what the player then sees and hears. Only 1 switches a setting on, except
// the music, which only 0 silences; an options row names only 0 and 1, and
// selecting it flips the lowest bit.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "game_script.h"
#include "menu_driver.h"
#include "sound_log.h"

namespace {

using menutest::Driver;

// Where each setting stands among the file's fifteen integers.
enum Field { kFullScreen = 0, kMusic = 2, kAlternativeSound = 3, kScanlines = 4, kEffects = 5, kPad = 10,
             kDifficulty = 14 };
// The two-state settings a player may set by hand.
const Field kTwoState[] = {kFullScreen, kMusic, kAlternativeSound, kScanlines, kEffects, kPad, kDifficulty};

// The integers of a file as the game writes it after a fresh start, but in a
// window: music, scan lines and effects on, the cursor keys, Alt and
// Control, pad buttons 1 and 0, normal difficulty.
constexpr int32_t kPlain[15] = {0, 0, 1, 0, 1, 1, 37, 39, 164, 162, 0, 0, 1, 0, 0};

// The values tried: the one that switches a setting on, then two a hand may
// have written.
constexpr int kOn = 1;
const int kOdd[] = {2, -1};

// The loading screen is frame 1, the intro frames 2-503, the menu's opening
// fade 504-535.
constexpr int64_t kMenu = 1 + 502 + 32;

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

int32_t IntegerOf(const std::string& bytes, int field) {
  uint32_t v = 0;
  for (int b = 0; b < 4; ++b) v |= uint32_t(uint8_t(bytes[size_t(4 * field + b)])) << (8 * b);
  return int32_t(v);
}

// A folder of its own holding the player's file, written by hand: the
// integers little-endian, the name, ten score rows; no comment lines.
class PlayersFile {
 public:
  PlayersFile() {
    char pattern[] = "/tmp/handedited_test_XXXXXX";
    dir_ = mkdtemp(pattern);
    path_ = dir_ + "/Settings.dat";
    SettingsFileName = StringFromAscii(path_.c_str());
  }
  ~PlayersFile() {
    SettingsFileName = u"Settings.dat";
    std::system(("rm -rf " + dir_).c_str());
  }
  void Write(const std::map<int, int32_t>& changed) {
    std::string bytes;
    for (int i = 0; i < 15; ++i) {
      const uint32_t v = uint32_t(changed.count(i) ? changed.at(i) : kPlain[i]);
      for (int b = 0; b < 4; ++b) bytes += char((v >> (8 * b)) & 0xFF);
    }
    bytes += "Ace\r\n";
    for (int k = 0; k < 10; ++k) bytes += "..........\r\n0\r\n.\r\n";
    std::ofstream(path_, std::ios::binary) << bytes;
  }
  // Every two-state setting holding the value.
  void WriteAll(int32_t value) {
    std::map<int, int32_t> changed;
    for (Field f : kTwoState) changed[f] = value;
    Write(changed);
  }
  std::string Bytes() const { return FileBytes(path_); }

 private:
  std::string dir_, path_;
};

// What a screen drew, frame by frame, read from the draw log: the text of
// each font row from column 4 on (as the glyphs drawn spell it) and how many
// scan-line pictures were laid over the frame. A clear starts the frame's
// picture again.
class Picture {
 public:
  Picture() {
    SetDrawLog([this](const DrawEvent& e) { Note(e); });
  }
  ~Picture() { SetDrawLog(nullptr); }
  // Frame n counts from the log's start, from 1.
  std::string Row(int64_t n, int row) const {
    auto f = frames_.find(n);
    if (f == frames_.end()) return "<no frame " + std::to_string(n) + ">";
    auto r = f->second.rows.find(row);
    if (r == f->second.rows.end()) return "";
    std::string text;
    for (const auto& [column, ch] : r->second) text += ch;
    return text;
  }
  int Scanlines(int64_t n) const {
    auto f = frames_.find(n);
    return f == frames_.end() ? -1 : f->second.scanlines;
  }
  int ScanlinesInAnyFrame() const {
    int count = 0;
    for (const auto& [n, f] : frames_) count += f.scanlines;
    return count;
  }
  int64_t Frames() const { return frames_.empty() ? 0 : frames_.rbegin()->first; }

 private:
  struct Frame {
    std::map<int, std::map<int, char>> rows;  // row -> column -> character
    int scanlines = 0;
  };
  void Note(const DrawEvent& e) {
    Frame& f = frames_[PresentedFrameCount() - base_ + 1];
    if (e.kind == DrawEvent::Kind::Clear) f.rows.clear();
    if (e.kind != DrawEvent::Kind::Image) return;
    if (e.picture == "scanlines1.png" || e.picture == "scanlines2.png") ++f.scanlines;
    if (e.picture == "font.png" && e.x >= 64 && e.frame >= 0 && size_t(e.frame) < FontCharset.size())
      f.rows[int(e.y) / 16][int(e.x) / 16] = char(FontCharset[size_t(e.frame)]);
  }
  std::map<int64_t, Frame> frames_;
  int64_t base_ = PresentedFrameCount();
};

// ----------------------------------------------------------------------------
// The whole program from its start: the display it opens, the menu's tune,
// the scan lines and the effects of the intro and the menu, the control mode.

class HandEditedStartUp : public ::testing::Test {
 protected:
  void SetUp() override {
    SetRuntimeOptions({.headless = true, .nullDrawing = true, .virtualClock = true, .nullAudio = true});
    RuntimeStartCore();
  }
  void TearDown() override {
    SetScriptHook(nullptr);
    RuntimeShutdown();
    Settings = SavedSettings();
    controls = Controls();
    MenuMusicVolume = GameMusicVolume = PauseMusicVolume = 0.4f;
  }
  // Runs the program to its exit from the menu (Escape, then Y).
  int RunToExit(Driver& d) {
    d.OnFrame(kMenu + 2, [] { ScriptKeyTap(KeyCode::Escape); });
    d.OnWait(kMenu + 3, [](int64_t) { ScriptKeyTap(KeyCode::Y); });
    d.Install();
    return GameMain();
  }
};

TEST_F(HandEditedStartUp, OnlyOneSwitchesOnOnlyZeroSilencesTheMusicAndEachValueIsSavedAsRead) {
  for (int value : {kOn, kOdd[0], kOdd[1]}) {
    SCOPED_TRACE("every two-state setting " + std::to_string(value));
    PlayersFile file;
    file.WriteAll(value);
    Driver d;
    d.OnFrame(kMenu + 1, [] { ScriptKeyTap(KeyCode::Down); });  // the arrow moves, with its sound
    bool open = false, fullScreen = false, padControl = false;
    d.OnFrame(1, [&] {
      open = DisplayIsOpen(), fullScreen = DisplayIsFullScreen();
      padControl = controls.mode == ControlMode::Pad;
    });
    Picture picture;
    EXPECT_EQ(RunToExit(d), 0);
    ASSERT_GT(picture.Frames(), kMenu);

    EXPECT_TRUE(open);
    EXPECT_EQ(fullScreen, value == kOn) << "full screen is asked for by 1 alone";
    EXPECT_EQ(padControl, value == kOn) << "the pad steers from the start only for 1";
    EXPECT_EQ(picture.Scanlines(kMenu + 1) > 0, value == kOn) << "the overlay is drawn for 1 alone";
    EXPECT_EQ(picture.ScanlinesInAnyFrame() > 0, value == kOn);
    // The intro's sounds play whatever the setting says; from the menu on,
    // every sound is an effect that plays for 1 alone.
    std::vector<SoundEvent> menuSounds = SoundLog();
    std::erase_if(menuSounds, [](const SoundEvent& e) { return e.frame < kMenu - 32; });
    const std::vector<TSound*> effects = soundlog::Effects(menuSounds);
    if (value == kOn) {
      EXPECT_FALSE(effects.empty()) << "the menu plays its sounds with effects on";
    } else {
      EXPECT_TRUE(effects.empty()) << soundlog::Names(menuSounds);
    }
    // Music is off only for 0: any other value keeps both tunes' volume.
    const std::string tunes = soundlog::Tunes();
    EXPECT_EQ(tunes.rfind("m_menu.ogg@0.4", 0), 0u) << tunes;
    EXPECT_FLOAT_EQ(GameMusicVolume, 0.4f);
    // Kept and saved as read.
    const std::string saved = file.Bytes();
    ASSERT_GE(saved.size(), 60u);
    for (Field f : kTwoState) EXPECT_EQ(IntegerOf(saved, f), value) << "field " << f;
    RuntimeShutdown();
    Settings = SavedSettings(), controls = Controls();
  }
}

// ----------------------------------------------------------------------------
// A game played with the file's settings.

using namespace gamescript;

class HandEditedGame : public harness::NullDrawingTest {
 protected:
  void SetUp() override {
    NullDrawingTest::SetUp();
    RegisterProgramFiles();
    LoadForTheRun(LoadingScreen::Skipped);
    CreateStars();
    // The tunes' volumes as the start-up leaves them unless music is 0.
    MenuMusicVolume = GameMusicVolume = PauseMusicVolume = 0.4f;
  }
  void TearDown() override {
    Settings = SavedSettings();
    controls = Controls();
    NullDrawingTest::TearDown();
  }
  PlayersFile file_;
};

// Across the sector past its guns, firing, then paused and left: the
// landing, shots, hits, the scenery's hum and the pause tune.
TEST_F(HandEditedGame, EffectsPlayOnlyForOneAndTheTunesForAnyMusicValueButZero) {
  struct Run {
    std::vector<TSound*> effects;
    std::string tunes;
    int score;
    int64_t frames;
  };
  std::map<int, Run> runs;
  for (int value : {kOn, kOdd[0], kOdd[1]}) {
    file_.Write({{kEffects, value}, {kMusic, value}});
    LoadSettings();
    controls.mode = ControlMode::Keyboard, controls.keyClimb2 = KeyCode::Up;
    SetRandomSeed(99);
    ClearSoundLog();
    bool leaving = false;
    Run& run = runs[value];
    run.frames = PlayWith([&](int64_t frame, bool fresh) {
      if (leaving) {
        if (WaitingForAnswer(fresh)) ScriptKeyTap(KeyCode::Y);
        return;
      }
      if (!fresh) return;
      if (frame == 90) ScriptKeyDown(Settings.keyLeft);
      if (frame > 90 && frame % 6 == 0) ScriptKeyTap(Settings.keyFire);
      if (frame == 900) ScriptKeyUp(Settings.keyLeft), ScriptKeyTap(KeyCode::Escape), leaving = true;
      run.score = world.game.score;
    });
    run.effects = soundlog::Effects();
    run.tunes = soundlog::Tunes();
  }
  const std::vector<TSound*>& on = runs[kOn].effects;
  for (TSound* sound : {snd_ModuleThrust, snd_PlayerShoot, snd_EnemyExplosion1, snd_bzzzt, snd_Towers})
    EXPECT_NE(std::find(on.begin(), on.end(), sound), on.end()) << "with effects on, a game plays it";
  EXPECT_NE(runs[kOn].tunes.find("m_pause.ogg@0.4"), std::string::npos) << runs[kOn].tunes;
  for (int value : kOdd) {
    SCOPED_TRACE("effects and music " + std::to_string(value));
    EXPECT_TRUE(runs[value].effects.empty()) << runs[value].effects.size() << " effects played";
    EXPECT_EQ(runs[value].tunes, runs[kOn].tunes);
    EXPECT_EQ(runs[value].score, runs[kOn].score);
    EXPECT_EQ(runs[value].frames, runs[kOn].frames);
  }
}

// ----------------------------------------------------------------------------
// The options menu opened over the file's settings.

class HandEditedOptions : public harness::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    RegisterProgramFiles();
    LoadForTheRun(LoadingScreen::Skipped);
    RedoOptionsPadCheck();
    MenuMusicVolume = GameMusicVolume = PauseMusicVolume = 0.4f;
  }
  void TearDown() override {
    Settings = SavedSettings();
    controls = Controls();
    RedoOptionsPadCheck();
    HeadlessTest::TearDown();
  }
  // Opens the menu with the given key tapped after each listed frame, and
  // `also` run after every frame.
  void Visit(std::map<int64_t, int> taps, const std::function<void(int64_t)>& also = {}) {
    Driver d;
    for (const auto& [n, key] : taps) d.OnFrame(n, [key = key] { ScriptKeyTap(key); });
    d.EveryFrame([&](int64_t n) {
      if (also) also(n);
      if (n > 60) ScriptKeyTap(KeyCode::Escape);  // never hang
    });
    d.Install();
    OptionsMenu();
  }
  PlayersFile file_;
};

// The rows of the two-state settings the file holds.
const std::pair<int, Field> kRowOf[] = {{0, kDifficulty}, {1, kFullScreen}, {2, kScanlines},
                                        {3, kEffects},    {4, kMusic},      {8, kAlternativeSound}};
int ScreenRow(int index) { return 9 + 2 * index; }

TEST_F(HandEditedOptions, ARowNamesOnlyZeroOrOneAndSelectingFlipsTheLowestBit) {
  // Difficulty, screen mode, scan lines, effects, music, the controls (the
  // pad mode the start took from the file) and the sound output.
  const char* const onTexts[] = {"current difficulty: suicidal", "change screenmode (fullscreen)", "scanlines: on",
                                 "turn sfx on/off (on)", "turn music on/off (on)"};
  for (int value : {kOn, kOdd[0], kOdd[1]}) {
    SCOPED_TRACE("every two-state setting " + std::to_string(value));
    // Each visit as the first of a run started from the file.
    RedoOptionsPadCheck();
    controls = Controls();
    MenuMusicVolume = GameMusicVolume = PauseMusicVolume = 0.4f;
    file_.WriteAll(value);
    LoadSettings();
    ClearSoundLog();
    Picture picture;
    // Enter on rows 0-4 and 8, one row down between them, Escape at the end.
    Visit({{1, KeyCode::Enter}, {2, KeyCode::Down}, {3, KeyCode::Enter}, {4, KeyCode::Down},
           {5, KeyCode::Enter}, {6, KeyCode::Down}, {7, KeyCode::Enter}, {8, KeyCode::Down},
           {9, KeyCode::Enter}, {10, KeyCode::Down}, {11, KeyCode::Down}, {12, KeyCode::Down},
           {13, KeyCode::Down}, {14, KeyCode::Enter}, {16, KeyCode::Escape}});
    ASSERT_GE(picture.Frames(), 17);

    // The rows that do not depend on the value, read the same way.
    EXPECT_EQ(picture.Row(1, ScreenRow(6)), "redefine keys");
    EXPECT_EQ(picture.Row(1, ScreenRow(7)), "set playername (ace)");
    EXPECT_EQ(picture.Row(1, ScreenRow(9)), "back to mainmenu");
    // The first frame shows the control mode the file's pad value gave.
    EXPECT_EQ(picture.Row(1, ScreenRow(5)), value == kOn ? "controls (pad active)" : "controls ");
    if (value == kOn) {
      for (int i = 0; i < 5; ++i) EXPECT_EQ(picture.Row(1, ScreenRow(i)), onTexts[i]);
      EXPECT_EQ(picture.Row(1, ScreenRow(8)), "vista friendly sound (on)");
      EXPECT_EQ(picture.Scanlines(1), 6);
      EXPECT_FALSE(soundlog::Effects().empty());
      continue;
    }
    for (const auto& [index, field] : kRowOf) {
      EXPECT_EQ(picture.Row(1, ScreenRow(index)), "") << "row " << index << ", as read";
      EXPECT_EQ(picture.Row(16, ScreenRow(index)), "") << "row " << index << ", once selected";
    }
    // The lowest bit flipped: 2 gives 3 and -1 gives -2, no 0 or 1 among them.
    const int flipped = value ^ 1;
    EXPECT_EQ(Settings.difficulty, flipped);
    EXPECT_EQ(Settings.fullScreen, flipped);
    EXPECT_EQ(Settings.scanlinesOn, flipped);
    EXPECT_EQ(Settings.sfxOn, flipped);
    EXPECT_EQ(Settings.musicOn, flipped);
    EXPECT_EQ(Settings.alternativeSoundOutput, flipped);
    // And still only 1 counts: a normal game, the window, no overlay, no
    // effect heard, the menu's tune started again at its volume.
    EXPECT_EQ(GameDifficulty(), Difficulty::Normal);
    EXPECT_TRUE(DisplayIsOpen());
    EXPECT_FALSE(DisplayIsFullScreen());
    EXPECT_EQ(picture.ScanlinesInAnyFrame(), 0);
    EXPECT_TRUE(soundlog::Effects().empty()) << soundlog::Names(SoundLog());
    EXPECT_EQ(soundlog::Tunes(), "m_menu.ogg@0.4");
  }
}

TEST_F(HandEditedOptions, ADifficultyOtherThanOnePlaysNormalAsReadAndOnceSelected) {
  for (int value : kOdd) {
    file_.Write({{kDifficulty, value}});
    LoadSettings();
    EXPECT_EQ(GameDifficulty(), Difficulty::Normal) << value;
    Visit({{1, KeyCode::Enter}, {2, KeyCode::Escape}});
    EXPECT_EQ(GameDifficulty(), Difficulty::Normal) << (value ^ 1);
  }
  file_.Write({{kDifficulty, kOn}});
  LoadSettings();
  EXPECT_EQ(GameDifficulty(), Difficulty::Suicidal);
}

// The pad: the start puts it in control for 1 alone, and leaving the menu
// takes its rest again for 1 alone.
TEST_F(HandEditedOptions, OnlyAPadValueOfOneStartsWithThePadOrRetakesItsRestOnLeaving) {
  ASSERT_TRUE(ScriptAttachPad());
  for (int value : {kOn, kOdd[0], kOdd[1]}) {
    SCOPED_TRACE("pad " + std::to_string(value));
    RedoOptionsPadCheck();
    controls = Controls();
    controls.padRestX = controls.padRestY = 0.75f;
    ScriptPadAxis(0, 0.25f);
    ScriptPadAxis(1, 0.0f);
    file_.Write({{kPad, value}});
    LoadSettings();
    EXPECT_EQ(controls.mode == ControlMode::Pad, value == kOn);
    EXPECT_NEAR(controls.padRestX, value == kOn ? 0.25f : 0.75f, 0.001f) << "the rest taken at the start";

    // The run's first visit puts the present pad in control whatever the
    // file said and takes its rest; the stick then lies elsewhere as the
    // menu is left.
    Visit({{3, KeyCode::Escape}}, [](int64_t n) {
      if (n == 2) ScriptPadAxis(0, -0.5f);
    });
    EXPECT_EQ(controls.mode, ControlMode::Pad);
    EXPECT_EQ(Settings.padControl, value);
    EXPECT_NEAR(controls.padRestX, value == kOn ? -0.5f : 0.25f, 0.001f) << "the rest on leaving the menu";
  }
  ScriptDetachPad();
}

}  // namespace
