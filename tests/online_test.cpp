// Score sync, the version check and the high-score screen against the
// loopback score service, and against broken services and libraries.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fixtures/score_service.h"
#include "gameplay/gameplay.h"
#include "harness/harness.h"
#include "menu_driver.h"
#include "online/online.h"
#include "screens/screens.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string Lines(int from, int to) {
  std::string body;
  for (int i = from; i <= to; ++i) body += "line" + std::to_string(i) + "\n";
  return body;
}

// The rows a sync got as "name|level|score".
std::vector<std::string> Rows(const SyncResult& synced) {
  std::vector<std::string> rows;
  for (const ScoreRow& r : synced.rows)
    rows.push_back(StringToAscii(r.name) + "|" + StringToAscii(r.level) + "|" + StringToAscii(r.score));
  return rows;
}

// The last game whose score the syncs below submit.
GameResult lastGame;

SyncResult Sync() { return SyncScores(Settings.playerName, lastGame.score, lastGame.level); }

// Everything the online part reads and writes, set to known values, with the
// library bound and pointed at a fresh service.
void PrepareOnlineState(ScoreService& service) {
  SetETNALibraryPath(NOVA_ETNA_LIBRARY);
  ASSERT_TRUE(LoadETNA());
  ASSERT_TRUE(service.Start());
  setenv("NOVAQUAD_SCORES_URL", service.BaseUrl().c_str(), 1);
  setenv("NOVAQUAD_ETNA_TIMEOUT_MS", "3000", 1);
  ETNA__SetServer(ScoreServiceAddress);
  ETNA__SetKey(ScoreServiceKey);
  OnlinePumpLimitMs = 31000;
  HighscoreNames = StringArray(12, u"keep");
  HighscoreLevels = StringArray(12, u"keep");
  HighscoreScores = StringArray(12, u"keep");
  VersionMessage1 = u"sync score to check";
  VersionMessage2 = u"for updated version";
  NewerVersion = u"earlier";
  Settings.playerName = u"Ann Lee";
  lastGame = {.score = 0, .level = 3};
}

void ForgetOnlineState(ScoreService& service) {
  service.Stop();
  unsetenv("NOVAQUAD_SCORES_URL");
  unsetenv("NOVAQUAD_ETNA_TIMEOUT_MS");
  SetETNALibraryPath("");
}

class OnlineTest : public harness::NullDrawingTest {
 protected:
  void SetUp() override {
    harness::NullDrawingTest::SetUp();
    PrepareOnlineState(service);
  }
  void TearDown() override {
    LoadETNA();  // puts back a library a test replaced by fakes
    ForgetOnlineState(service);
    harness::NullDrawingTest::TearDown();
  }
  std::vector<std::string> RequestLines() {
    std::vector<std::string> lines;
    for (const auto& r : service.Requests()) lines.push_back(r.line);
    return lines;
  }
  ScoreService service;
};

// --- Score sync ---------------------------------------------------------------

TEST_F(OnlineTest, SyncSubmitsTheScoreAndTakesTheTopEleven) {
  for (int i = 1; i <= 12; ++i) service.AddScore(std::string("p").append(std::to_string(i)), std::to_string(i), 1000 * i);
  const SyncResult synced = Sync();

  // Lower-cased name, the blank sent as %20, a score of 0 sent as 0.
  bool submitted = false;
  for (const std::string& line : RequestLines()) {
    if (line == "GET /scores/Novaquad_scores.php?option=addscore&user=ann%20lee&level=3&score=0 HTTP/1.1")
      submitted = true;
  }
  EXPECT_TRUE(submitted);
  EXPECT_EQ(service.Requests().size(), 2u);
  EXPECT_EQ(synced.status, u"Synced...");

  // 33 lines: eleven rows, best first, as name, level, score; the player's
  // own 0 is below the top eleven.
  std::vector<std::string> want;
  for (int i = 12; i >= 2; --i) want.push_back(std::string("p").append(std::to_string(i)) + "|" + std::to_string(i) + "|" + std::to_string(1000 * i));
  EXPECT_EQ(Rows(synced), want);
}

TEST_F(OnlineTest, SyncWithASlowStoreShowsTheNewScore) {
  // The service stores a submission 0.3 s after it came; the table of the
  // same sync already holds it.
  service.AddScore("old", "2", 100);
  service.SetStoreDelay(300);
  lastGame = {.score = 900, .level = 5};
  const SyncResult synced = Sync();
  EXPECT_EQ(synced.status, u"Synced...");
  EXPECT_EQ(Rows(synced), (std::vector<std::string>{"ann lee|5|900", "old|2|100"}));
}

TEST_F(OnlineTest, OddNamesReachTheServiceIntact) {
  struct Case {
    String name;
    std::string stored;  // lower-cased as the game does
  } cases[] = {
      {u"a&b", "a&b"},
      {u"x&option=none", "x&option=none"},
      {u"A+B", "a+b"},
      {u"50%", "50%"},
      {u"%41 %zz", "%41 %zz"},
      {u";?/=#", ";?/=#"},
      {u"\u00C9t\u00E9 \u00FF\u0080", "\xE9t\xE9 \xFF\x80"},
      {u"Ann-Lee_2.0~", "ann-lee_2.0~"},
  };
  int score = 100;
  for (const Case& c : cases) {
    Settings.playerName = c.name;
    lastGame.score = ++score;
    const SyncResult synced = Sync();
    const std::vector<std::string> rows = service.StoredScores();
    ASSERT_FALSE(rows.empty());
    // The newest score is the best one, so it is on top of both tables.
    EXPECT_EQ(rows.front(), c.stored + "|3|" + std::to_string(score)) << c.stored;
    ASSERT_FALSE(synced.rows.empty());
    EXPECT_EQ(StringToAscii(synced.rows.front().name), c.stored);
  }
  EXPECT_EQ(service.StoredScores().size(), std::size(cases));
}

TEST_F(OnlineTest, PlainNamesGoOutAsBefore) {
  // Letters, digits and - . _ ~ go out unchanged and a blank as %20: the
  // request and its signature are those of the name joined in unencoded.
  Settings.playerName = u"Not set-2.0_~";
  Sync();
  ScoreService::Request fromSync;
  for (const auto& r : service.Requests()) {
    if (r.line.find("option=addscore") != std::string::npos) fromSync = r;
  }
  EXPECT_EQ(fromSync.line, "GET /scores/Novaquad_scores.php?option=addscore&user=not%20set-2.0_~&level=3&score=0 HTTP/1.1");
  service.ClearRequests();
  ETNA__Send(1, "Novaquad_scores.php?option=addscore&user=not set-2.0_~&level=3&score=0", 1, 0);
  PumpETNAQueue(nullptr, nullptr);
  ASSERT_EQ(service.Requests().size(), 1u);
  EXPECT_EQ(service.Requests().front().line, fromSync.line);
  EXPECT_EQ(service.Requests().front().signature, fromSync.signature);
}

TEST_F(OnlineTest, SyncStaysWithinTheTwelveEntries) {
  // 40 lines: twelve entries filled, the lines after the 36th ignored.
  service.SetRawReply("Novaquad_scores.php", Lines(1, 40));
  SyncResult synced = Sync();
  ASSERT_EQ(synced.rows.size(), 12u);
  EXPECT_EQ(Rows(synced).front(), "line1|line2|line3");
  EXPECT_EQ(Rows(synced).back(), "line34|line35|line36");

  // 34 lines: the last row has a name and nothing else.
  service.SetRawReply("Novaquad_scores.php", Lines(1, 34));
  synced = Sync();
  ASSERT_EQ(synced.rows.size(), 12u);
  EXPECT_EQ(Rows(synced).back(), "line34||");

  // A successful empty answer brings no row.
  service.SetRawReply("Novaquad_scores.php", "");
  synced = Sync();
  EXPECT_EQ(synced.status, u"Synced...");
  EXPECT_TRUE(synced.rows.empty());
}

TEST_F(OnlineTest, LongAnswersStillFillTheTable) {
  // 1001 short lines: the first 36 fill the twelve entries.
  service.SetRawReply("Novaquad_scores.php", Lines(1, 1001));
  SyncResult synced = Sync();
  EXPECT_EQ(synced.status, u"Synced...");
  ASSERT_EQ(synced.rows.size(), 12u);
  EXPECT_EQ(Rows(synced).front(), "line1|line2|line3");
  EXPECT_EQ(Rows(synced).back(), "line34|line35|line36");

  // 10,000 rows of three lines, within the byte bound, to both requests.
  service.SetRawReply("", "");
  service.SetMode(ScoreService::Mode::LineFlood);
  service.SetFloodLimit(10000 * ScoreService::kLineFloodRowBytes);
  synced = Sync();
  EXPECT_EQ(synced.status, u"Synced...");
  EXPECT_EQ(Rows(synced), std::vector<std::string>(12, "a|1|1"));

  // 2201 lines to the version check: its first 100 pairs are read, the
  // 100th decides.
  std::string versions;
  for (int i = 0; i < 99; ++i) versions += "other\n1\n";
  versions += "novaquad\n1.5\n";
  for (int i = 0; i < 1000; ++i) versions += "novaquad\n9.9\n";
  versions += "x";
  service.SetMode(ScoreService::Mode::Normal);
  service.SetRawReply("VersionCheck.php", versions);
  SetVersionTexts(CheckVersion());
  EXPECT_EQ(VersionMessage1, u"the newer version");
  EXPECT_EQ(NewerVersion, u"1.5");
}

TEST_F(OnlineTest, FailedSyncLeavesTheTable) {
  struct Case {
    ScoreService::Mode mode;
    const char* name;
  } cases[] = {{ScoreService::Mode::Status, "status 500"},
               {ScoreService::Mode::Drop, "dropped"},
               {ScoreService::Mode::Garbage, "garbage"},
               {ScoreService::Mode::Oversized, "oversized"}};
  for (const Case& c : cases) {
    service.SetMode(c.mode);
    const SyncResult synced = Sync();
    EXPECT_TRUE(synced.rows.empty()) << c.name;
    EXPECT_NE(synced.status, u"Synced...") << c.name;
    EXPECT_NE(synced.status, u"not synced...") << c.name;
  }
}

// Peak resident memory of this process in KiB, after starting a new peak
// where the kernel allows it.
long PeakKiB(bool restart) {
  if (restart) {
    if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
      std::fputs("5", f);
      std::fclose(f);
    }
  }
  long kib = -1;
  if (std::FILE* f = std::fopen("/proc/self/status", "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, f)) {
      if (std::strncmp(line, "VmHWM:", 6) == 0) kib = std::atol(line + 6);
    }
    std::fclose(f);
  }
  return kib;
}

TEST_F(OnlineTest, FloodedSyncStaysSmall) {
  // Endless trailer lines after the last chunk, or endless table rows, to
  // both requests of a sync.
  for (ScoreService::Mode mode : {ScoreService::Mode::TrailerFlood, ScoreService::Mode::LineFlood}) {
    const char* name = mode == ScoreService::Mode::TrailerFlood ? "trailers" : "rows";
    service.SetMode(mode);
    const long before = PeakKiB(true);
    const SyncResult synced = Sync();
    const long after = PeakKiB(false);
    EXPECT_TRUE(synced.rows.empty()) << name;
    EXPECT_NE(synced.status, u"Synced...") << name;
    EXPECT_LT(service.FloodBytesSent(), ScoreService::kDefaultFloodBytes / 4) << name;
    if (before < 0 || after < 0) GTEST_SKIP() << "no peak memory figure on this system";
    std::printf("peak memory during a sync flooded with %s: %ld KiB -> %ld KiB\n", name, before, after);
    EXPECT_LT(after - before, 16 * 1024) << name;
  }
}

TEST_F(OnlineTest, StalledOrDeadServiceEndsWithinTheBound) {
  setenv("NOVAQUAD_ETNA_TIMEOUT_MS", "300", 1);
  service.SetMode(ScoreService::Mode::Stall);
  Clock::time_point start = Clock::now();
  SyncResult synced = Sync();
  SetVersionTexts(CheckVersion());
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
  EXPECT_TRUE(synced.rows.empty());
  EXPECT_EQ(VersionMessage1, u"sync score to check");

  int port = service.Port();
  service.Stop();
  setenv("NOVAQUAD_SCORES_URL", ("http://127.0.0.1:" + std::to_string(port) + "/scores").c_str(), 1);
  synced = Sync();
  SetVersionTexts(CheckVersion());
  EXPECT_TRUE(synced.rows.empty());
  EXPECT_NE(synced.status, u"Synced...");
  EXPECT_NE(synced.status, u"not synced...");
}

// --- Version check ------------------------------------------------------------

TEST_F(OnlineTest, VersionCheckAsksTheServiceItsList) {
  service.AddVersion("otherGame", "7.0");
  service.AddVersion("novaquad", "1.2");
  const std::optional<String> version = CheckVersion();
  EXPECT_EQ(RequestLines(),
            std::vector<std::string>{"GET /scores/VersionCheck.php?option=getversion&nbscore=30 HTTP/1.1"});
  EXPECT_EQ(version, std::optional<String>(u"1.2"));
  SetVersionTexts(version);
  EXPECT_EQ(VersionMessage1, u"you have the latest");
  EXPECT_EQ(VersionMessage2, u"version of the game");
  EXPECT_EQ(NewerVersion, u"earlier");
}

TEST_F(OnlineTest, VersionAnswers) {
  std::string hundredOthers;
  for (int i = 0; i < 99; ++i) hundredOthers += "other\n1\n";
  struct Case {
    std::string body;
    const char16_t* message1;
    const char16_t* message2;
    const char16_t* newer;
  } cases[] = {
      {"novaquad\n1.2\n", u"you have the latest", u"version of the game", u"earlier"},
      // A trailing zero is another version; so is an older one.
      {"novaquad\n1.20\n", u"the newer version", u"1.20 is available at;", u"1.20"},
      {"novaquad\n1.0\n", u"the newer version", u"1.0 is available at;", u"1.0"},
      // The later of two pairs decides.
      {"novaquad\n1.3\nother\n9\nnovaquad\n1.2\n", u"you have the latest", u"version of the game", u"earlier"},
      // The key must match in case.
      {"Novaquad\n1.3\nNOVAQUAD\n1.4\n", u"sync score to check", u"for updated version", u"earlier"},
      // An odd line count: the unpaired last key is still examined, and with
      // no version it takes the earlier answer away.
      {"novaquad\n1.5\nother\n2\nnovaquad", u"sync score to check", u"for updated version", u"earlier"},
      {"other\n2\nnovaquad\n1.6\nother", u"the newer version", u"1.6 is available at;", u"1.6"},
      // The 100th pair counts, the 101st does not.
      {hundredOthers + "novaquad\n2.0\nnovaquad\n9.9\n", u"the newer version", u"2.0 is available at;", u"2.0"},
      {"", u"sync score to check", u"for updated version", u"earlier"},
  };
  for (const Case& c : cases) {
    VersionMessage1 = u"sync score to check";
    VersionMessage2 = u"for updated version";
    NewerVersion = u"earlier";
    service.SetRawReply("VersionCheck.php", c.body);
    SetVersionTexts(CheckVersion());
    EXPECT_EQ(VersionMessage1, c.message1) << c.body;
    EXPECT_EQ(VersionMessage2, c.message2) << c.body;
    EXPECT_EQ(NewerVersion, c.newer) << c.body;
  }
}

TEST_F(OnlineTest, FailedVersionCheckKeepsTheLastAnswer) {
  service.SetRawReply("VersionCheck.php", "novaquad\n1.3\n");
  SetVersionTexts(CheckVersion());
  ASSERT_EQ(VersionMessage1, u"the newer version");
  for (ScoreService::Mode mode : {ScoreService::Mode::Status, ScoreService::Mode::Garbage,
                                  ScoreService::Mode::Drop, ScoreService::Mode::Oversized}) {
    service.SetMode(mode);
    SetVersionTexts(CheckVersion());
    EXPECT_EQ(VersionMessage1, u"the newer version");
    EXPECT_EQ(VersionMessage2, u"1.3 is available at;");
    EXPECT_EQ(NewerVersion, u"1.3");
  }
}

// --- Broken or missing libraries --------------------------------------------------

int gQueue;
int FakeQueue() { return gQueue; }
int FakeUpdate() {
  if (gQueue > 0) --gQueue;
  return 1;
}
int FakeSend(int, const char*, int, int) { return 1; }
int FakeReceive(int command) { return command == 2 && gQueue == 0; }
int FakeState() { return 2; }
int FakeManyLines() { return 5000000; }
const char* FakeNullResult(int line) { return line % 2 ? "novaquad" : nullptr; }
int ForeverQueue() { return 1; }

TEST_F(OnlineTest, ALibraryThatMisbehavesCannotHurtTheGame) {
  // Millions of lines claimed, no text behind half of them.
  gQueue = 1;
  ETNA_GetNumberOfCommandsInQueue = FakeQueue;
  ETNA_Update = FakeUpdate;
  ETNA__Send = FakeSend;
  ETNA_Receive = FakeReceive;
  ETNA_GetState = FakeState;
  ETNA_GetNbOfLines = FakeManyLines;
  ETNA__GetResult = FakeNullResult;
  const SyncResult synced = Sync();
  ASSERT_EQ(synced.rows.size(), 12u);
  EXPECT_EQ(synced.rows[11].name, u"");  // line 34: no text
  EXPECT_EQ(synced.rows[11].level, u"novaquad");
  gQueue = 1;
  SetVersionTexts(CheckVersion());
  EXPECT_EQ(VersionMessage1, u"sync score to check");

  // A queue that never empties: the pump gives up after its own bound.
  ETNA_GetNumberOfCommandsInQueue = ForeverQueue;
  OnlinePumpLimitMs = 200;
  Clock::time_point start = Clock::now();
  Sync();
  SetVersionTexts(CheckVersion());
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
}

TEST_F(OnlineTest, WithoutTheLibraryNothingHappens) {
  SetETNALibraryPath("/nonexistent/libETNA.so");
  EXPECT_FALSE(LoadETNA());
  ETNA__SetServer(ScoreServiceAddress);
  ETNA__SetKey(ScoreServiceKey);
  const SyncResult synced = Sync();
  SetVersionTexts(CheckVersion());
  EXPECT_TRUE(service.Requests().empty());
  EXPECT_TRUE(synced.rows.empty());
  EXPECT_EQ(VersionMessage1, u"sync score to check");
  EXPECT_EQ(synced.status, u"not synced...");
  SetETNALibraryPath(NOVA_ETNA_LIBRARY);
}

// --- The high-score screen -------------------------------------------------------

class HighscoreScreenTest : public harness::HeadlessTest {
 protected:
  void SetUp() override {
    harness::HeadlessTest::SetUp();
    // Only the pictures this screen and the sync notice draw; the sound
    // effects are off.
    RegisterProgramFiles();
    for (TImage** picture : {&img_font, &img_menumain, &img_menutitle}) LoadPicture(picture);
    PrepareOnlineState(service);
    Settings.scanlinesOn = 0;
    Settings.sfxOn = 0;
    lastGame = {.score = 1234, .level = 3};
    Settings.personalBest = 56789;
  }
  void TearDown() override {
    LoadETNA();
    ForgetOnlineState(service);
    harness::HeadlessTest::TearDown();
  }

  // Rows y0 to y1 - 1 of a 640 x 480 RGBA picture.
  static std::vector<uint8_t> Band(const std::vector<uint8_t>& rgba, int y0, int y1) {
    return std::vector<uint8_t>(rgba.begin() + y0 * 640 * 4, rgba.begin() + y1 * 640 * 4);
  }
  // The text band of one font row as the menu frame plus this text draws it.
  static std::vector<uint8_t> Expected(const String& text, float column, float row) {
    ClearDrawBuffer();
    DrawMenuBackground();
    SetDrawColour(255, 255, 255);
    DrawFontText(text, column, row);
    int y = static_cast<int>(row * 16);
    return Band(ReadScreenRGBA(), y, y + 16);
  }
  static std::vector<uint8_t> Shown(const std::vector<uint8_t>& screen, float row) {
    int y = static_cast<int>(row * 16);
    return Band(screen, y, y + 16);
  }

  // Runs the screen: Space held from frame 3 when sync is set, Escape at
  // frame 8; the screen as presented at frames 2 and 6 is kept.
  void Run(bool sync) {
    harness::Script s;
    if (sync) s.KeyDown(3, KeyCode::Space).KeyUp(4, KeyCode::Space);
    s.At(2, [this] { before = ReadScreenRGBA(); });
    s.At(6, [this] { after = ReadScreenRGBA(); });
    s.KeyTap(8, KeyCode::Escape);
    s.Install();
    ShowHighscores(lastGame);
    framesShown = s.Frame();
  }

  ScoreService service;
  std::vector<uint8_t> before, after;
  int64_t framesShown = 0;
};

TEST_F(HighscoreScreenTest, FirstVisitShowsPlaceholdersAndPaddedScores) {
  Run(false);
  ASSERT_FALSE(before.empty());
  EXPECT_EQ(Shown(before, 10), Expected(u"last score achieved    : 00001234", 3, 10));
  EXPECT_EQ(Shown(before, 11.5f), Expected(u"personal highscore     : 00056789", 3, 11.5f));
  EXPECT_EQ(Shown(before, 14), Expected(u"top 10 highscores", 11.5f, 14));
  for (int k = 0; k < 11; ++k) {
    EXPECT_EQ(Shown(before, 16.0f + k), Expected(u"----------                .", 6, 16.0f + k)) << "row " << k;
  }
  // The placeholders replace whatever the table held; entry 11 is not shown
  // and keeps its value.
  EXPECT_EQ(HighscoreNames[0], u"----------");
  EXPECT_EQ(HighscoreLevels[10], u"1");
  EXPECT_EQ(HighscoreScores[10], u".");
  EXPECT_EQ(HighscoreNames[11], u"keep");
  // Nothing was sent without Space.
  EXPECT_TRUE(service.Requests().empty());
  EXPECT_EQ(framesShown, 8);
}

TEST_F(HighscoreScreenTest, PromptShowsTheKeysInPink) {
  Run(false);
  ClearDrawBuffer();
  DrawMenuBackground();
  SetDrawColour(255, 0, 128);
  DrawFontText(u"      space            escape", 1.5f, 28.6f);
  SetDrawColour(255, 255, 255);
  DrawFontText(u"press       to sync or        to exit", 1.5f, 28.6f);
  EXPECT_EQ(Band(before, 456, 475), Band(ReadScreenRGBA(), 456, 475));
  // The colour is white again afterwards.
  EXPECT_EQ(GetDrawState().green, 255);
}

TEST_F(HighscoreScreenTest, SpaceSyncsAndTheTableIsShownCutAndPadded) {
  service.AddScore("abcdefghijklmn", "9", 123456789);
  service.AddScore("bob", "2", 77);
  service.AddVersion("novaquad", "1.4");
  Run(true);
  EXPECT_EQ(Shown(after, 16), Expected(u"abcdefghij         12345678", 6, 16));
  // The player's own row (score 1234, level 3) comes from the service too.
  EXPECT_EQ(Shown(after, 17), Expected(u"ann lee                1234", 6, 17));
  EXPECT_EQ(Shown(after, 18), Expected(u"bob                      77", 6, 18));
  EXPECT_EQ(Shown(after, 19), Expected(u"----------                .", 6, 19));
  // The last score shown is not remade by the sync.
  EXPECT_EQ(Shown(after, 10), Expected(u"last score achieved    : 00001234", 3, 10));
  EXPECT_EQ(HighscoreLevels[0], u"9");
  EXPECT_EQ(HighscoreLevels[1], u"3");  // the last game's level
  EXPECT_EQ(VersionMessage1, u"the newer version");
  EXPECT_EQ(NewerVersion, u"1.4");
}

TEST_F(HighscoreScreenTest, EscapeDuringTheSyncWaitsForItsEnd) {
  service.AddScore("zoe", "4", 500);
  // Space held, and Escape pressed while the requests are still out.
  bool escapePressed = false;
  int64_t base = PresentedFrameCount();
  int64_t spaceAt = -1;
  SetScriptHook([&] {
    int64_t frame = PresentedFrameCount() - base;
    if (frame == 2 && spaceAt < 0) {
      ScriptKeyDown(KeyCode::Space);
      spaceAt = frame;
    }
    if (!escapePressed && ETNA_GetNumberOfCommandsInQueue() > 0) {
      ScriptKeyUp(KeyCode::Space);
      ScriptKeyTap(KeyCode::Escape);
      escapePressed = true;
    }
    if (frame == 12) ScriptKeyTap(KeyCode::Escape);
  });
  ShowHighscores(lastGame);
  SetScriptHook(nullptr);
  EXPECT_TRUE(escapePressed);
  // The sync ran to its end, and that Escape was let go with it: the screen
  // stayed until the second one.
  EXPECT_EQ(HighscoreNames[1], u"zoe");
  EXPECT_GE(PresentedFrameCount() - base, 12);
}

TEST_F(HighscoreScreenTest, PadButtonsAndAMissingLibraryDoNothing) {
  ASSERT_TRUE(ScriptAttachPad());
  UnbindETNA();
  harness::Script s;
  for (int b = 0; b < 4; ++b) s.PadButton(2 + 2 * b, b, true).PadButton(3 + 2 * b, b, false);
  s.KeyDown(12, KeyCode::Space).KeyUp(13, KeyCode::Space);
  s.KeyTap(16, KeyCode::Escape);
  s.Install();
  ShowHighscores(lastGame);
  EXPECT_EQ(s.Frame(), 16);
  EXPECT_TRUE(service.Requests().empty());
  EXPECT_EQ(HighscoreNames[0], u"----------");
  EXPECT_EQ(VersionMessage1, u"sync score to check");
  ScriptDetachPad();
}

TEST_F(HighscoreScreenTest, DownloadedTableReachesTheSettingsFile) {
  service.AddScore("amy", "7", 2500);
  // Arrays never made are made whole before the rows go in.
  HighscoreNames.clear();
  HighscoreLevels.resize(2);
  HighscoreScores.clear();
  Run(true);
  EXPECT_EQ(HighscoreNames.size(), 12u);
  EXPECT_EQ(HighscoreScores.size(), 12u);
  const String settingsFile = SettingsFileName;
  SettingsFileName = u"online_test_settings.dat";
  SaveSettings();
  SettingsFileName = settingsFile;
  std::FILE* f = std::fopen("online_test_settings.dat", "rb");
  ASSERT_NE(f, nullptr);
  std::string bytes;
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) bytes.append(buf, n);
  std::fclose(f);
  std::remove("online_test_settings.dat");
  // The first row as the file keeps it: name, score, level; then the
  // player's own submitted row, the last game's score and level.
  EXPECT_NE(bytes.find("\r\namy\r\n2500\r\n7\r\nann lee\r\n1234\r\n3\r\n"), std::string::npos);
}

// The menu hands the last game's score and level to the high-score screen,
// whose sync submits them: a game cut at once with a score of 4321 on level 1.
class MenuToHighscoresTest : public harness::NullDrawingTest {
 protected:
  void SetUp() override {
    NullDrawingTest::SetUp();
    menutest::LoadGameResources();
    PrepareOnlineState(service);
    Settings.sfxOn = 0;
  }
  void TearDown() override {
    ForgetOnlineState(service);
    harness::NullDrawingTest::TearDown();
  }
  ScoreService service;
};

TEST_F(MenuToHighscoresTest, TheSyncSubmitsTheLastGamesScoreAndLevel) {
  menutest::Driver d;
  int64_t backInMenu = 0;
  menutest::GameFromMenu game(d, 34);
  d.EveryFrame([&](int64_t n) {
    if (const int64_t ended = game.EndedAt(n); ended && !backInMenu) backInMenu = ended + 25;
    if (n == 60) world.game.score = 4321, world.game.ended = GameEnd::Quit;
    if (!backInMenu) return;
    const int64_t k = n - backInMenu;
    if (k >= 1 && k <= 3) ScriptKeyTap(KeyCode::Down);  // to the high scores
    if (k == 5) ScriptKeyTap(KeyCode::Enter);
    if (k == 15) ScriptKeyDown(KeyCode::Space);
    if (k == 16) ScriptKeyUp(KeyCode::Space);
    if (k == 25) ScriptKeyTap(KeyCode::Escape);  // back to the menu
    if (k == 35) ScriptKeyTap(KeyCode::Escape), d.OnWait(n, [](int64_t) { ScriptKeyTap(KeyCode::Y); });
  });
  d.Install();
  MainMenu();
  ASSERT_GT(backInMenu, 0);
  std::vector<std::string> submitted;
  for (const auto& r : service.Requests())
    if (r.line.find("option=addscore") != std::string::npos) submitted.push_back(r.line);
  EXPECT_EQ(submitted, std::vector<std::string>{
                           "GET /scores/Novaquad_scores.php?option=addscore&user=ann%20lee&level=1&score=4321 HTTP/1.1"});
}

}  // namespace
