// The networking library, through the game's binding, against the loopback
// score service.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "fixtures/hung_resolver.h"
#include "fixtures/score_service.h"
#define ETNA_CONSTANTS_ONLY
#include "online/etna/etna.h"
#include "online/online.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Outcome {
  int state = -1;
  std::vector<std::string> lines;
};

// Runs the queue to its end, as the game's pump does, but with a real sleep;
// returns the milliseconds it took.
long Drain(long limitMs = 10000) {
  Clock::time_point start = Clock::now();
  while (ETNA_GetNumberOfCommandsInQueue() != 0) {
    ETNA_Update();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (Clock::now() - start > std::chrono::milliseconds(limitMs)) break;
  }
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

Outcome Take(int command) {
  Outcome o;
  if (!ETNA_Receive(command)) return o;
  o.state = ETNA_GetState();
  for (int i = 1; i <= ETNA_GetNbOfLines(); ++i) o.lines.push_back(ETNA__GetResult(i));
  return o;
}

class EtnaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetETNALibraryPath(NOVA_ETNA_LIBRARY);
    ASSERT_TRUE(LoadETNA());
    ASSERT_TRUE(service.Start());
    setenv("NOVAQUAD_SCORES_URL", service.BaseUrl().c_str(), 1);
    setenv("NOVAQUAD_ETNA_TIMEOUT_MS", "5000", 1);
    ETNA__SetServer("http://scores.novaquad.invalid/scores");
    ETNA__SetKey("Wm3kR8xTq5Lb2Zd");
  }
  void TearDown() override {
    Drain();
    service.Stop();
    unsetenv("NOVAQUAD_SCORES_URL");
    unsetenv("NOVAQUAD_ETNA_TIMEOUT_MS");
  }

  Outcome Fetch(const char* query) {
    EXPECT_EQ(ETNA__Send(2, query, 1, 0), 1);
    Drain();
    return Take(2);
  }

  std::vector<std::string> RequestLines() {
    std::vector<std::string> lines;
    for (const auto& r : service.Requests()) lines.push_back(r.line);
    std::sort(lines.begin(), lines.end());
    return lines;
  }

  ScoreService service;
};

using Lines = std::vector<std::string>;

TEST_F(EtnaTest, RequestsGoOutAsTheGameBuiltThem) {
  EXPECT_EQ(ETNA__Send(1, "Novaquad_scores.php?option=addscore&user=ann lee&level=3&score=0", 1, 0), 1);
  EXPECT_EQ(ETNA__Send(2, "Novaquad_scores.php?option=getscore&nbscore=11", 1, 0), 1);
  EXPECT_EQ(ETNA_GetNumberOfCommandsInQueue(), 2);
  Drain();
  EXPECT_EQ(Take(1).state, ETNA_STATE_OK);
  EXPECT_EQ(Take(2).state, ETNA_STATE_OK);
  EXPECT_EQ(RequestLines(),
            (Lines{"GET /scores/Novaquad_scores.php?option=addscore&user=ann%20lee&level=3&score=0 HTTP/1.1",
                   "GET /scores/Novaquad_scores.php?option=getscore&nbscore=11 HTTP/1.1"}));
  EXPECT_EQ(service.StoredScores(), Lines{"ann lee|3|0"});

  // Only what a URL cannot carry is encoded; '&', '=', '+' and '/' are the
  // game's own business.
  service.ClearRequests();
  Fetch("VersionCheck.php?a=1#2&b=50%\"x\"&c=<{|}>^`\\&d=\xe9\t+/");
  EXPECT_EQ(RequestLines(),
            Lines{"GET /scores/VersionCheck.php?a=1%232&b=50%25%22x%22&c=%3C%7B%7C%7D%3E%5E%60%5C&d=%E9%09+/ HTTP/1.1"});

  // An escape the caller made is not encoded again; a '%' that starts none
  // is, up to the very end of the query.
  service.ClearRequests();
  Fetch("VersionCheck.php?e=%41%7e%2B&f=%4g%%2&g=%");
  EXPECT_EQ(RequestLines(), Lines{"GET /scores/VersionCheck.php?e=%41%7e%2B&f=%254g%25%252&g=%25 HTTP/1.1"});
}

TEST_F(EtnaTest, AddressComesFromTheEnvironmentWhenSet) {
  // A trailing slash on the base does not double the separator.
  setenv("NOVAQUAD_SCORES_URL", (service.BaseUrl() + "/").c_str(), 1);
  EXPECT_EQ(Fetch("VersionCheck.php?option=getversion&nbscore=30").state, ETNA_STATE_OK);
  EXPECT_EQ(RequestLines(), Lines{"GET /scores/VersionCheck.php?option=getversion&nbscore=30 HTTP/1.1"});

  // Without the variable the address given by the game is used.
  unsetenv("NOVAQUAD_SCORES_URL");
  ETNA__SetServer(service.BaseUrl().c_str());
  service.ClearRequests();
  EXPECT_EQ(Fetch("VersionCheck.php?option=getversion&nbscore=30").state, ETNA_STATE_OK);
  EXPECT_EQ(service.Requests().size(), 1u);

  // Only HTTP is spoken, whatever the address says.
  setenv("NOVAQUAD_SCORES_URL", "file:///etc", 1);
  EXPECT_EQ(Fetch("hostname").state, ETNA_STATE_TRANSPORT);
  unsetenv("NOVAQUAD_SCORES_URL");

  // No address at all: nothing is queued.
  ETNA__SetServer("");
  EXPECT_EQ(ETNA__Send(2, "x", 1, 0), 0);
  EXPECT_EQ(ETNA_GetNumberOfCommandsInQueue(), 0);
}

TEST_F(EtnaTest, EveryRequestIsSignedWithTheKey) {
  Fetch("VersionCheck.php?option=getversion&nbscore=30");
  Fetch("Novaquad_scores.php?option=getscore&nbscore=11");
  Fetch("VersionCheck.php?option=getversion&nbscore=30");
  ETNA__SetKey("another key");
  Fetch("VersionCheck.php?option=getversion&nbscore=30");
  ETNA__SetKey("");
  Fetch("VersionCheck.php?option=getversion&nbscore=30");

  auto r = service.Requests();
  ASSERT_EQ(r.size(), 5u);
  EXPECT_EQ(r[0].signature.size(), 16u);
  EXPECT_EQ(r[0].signature.find_first_not_of("0123456789abcdef"), std::string::npos);
  EXPECT_EQ(r[0].signature, r[2].signature);  // same query, same key
  EXPECT_NE(r[0].signature, r[1].signature);  // another query
  EXPECT_NE(r[0].signature, r[3].signature);  // another key
  EXPECT_EQ(r[4].signature, "");              // no key, no signature
}

TEST_F(EtnaTest, RepliesAreSplitIntoLines) {
  service.AddScore("zed", "4", 900);
  service.AddScore("amy", "7", 2500);
  Outcome table = Fetch("Novaquad_scores.php?option=getscore&nbscore=11");
  EXPECT_EQ(table.state, ETNA_STATE_OK);
  EXPECT_EQ(table.lines, (Lines{"amy", "7", "2500", "zed", "4", "900"}));
  // Lines past the count, line 0 and negative lines are empty.
  EXPECT_STREQ(ETNA__GetResult(7), "");
  EXPECT_STREQ(ETNA__GetResult(0), "");
  EXPECT_STREQ(ETNA__GetResult(-3), "");
  // A reply is taken once.
  EXPECT_EQ(ETNA_Receive(2), 0);

  struct Case {
    const char* body;
    Lines lines;
  } cases[] = {
      {"a\r\nb\r\n", {"a", "b"}},            // CR LF
      {"a\nb", {"a", "b"}},                  // no LF after the last line
      {"a\n\nb\n", {"a", "", "b"}},          // an empty line inside counts
      {"\n", {""}},                          // one empty line
      {"", {}},                              // no line at all
      {"a\rb\r\r\n", {"a\rb\r"}},            // only the CR right before LF goes
  };
  for (const Case& c : cases) {
    service.SetRawReply("VersionCheck.php", c.body);
    Outcome o = Fetch("VersionCheck.php?option=getversion&nbscore=30");
    EXPECT_EQ(o.state, ETNA_STATE_OK) << c.body;
    EXPECT_EQ(o.lines, c.lines) << c.body;
  }
}

TEST_F(EtnaTest, RepliesAreKeptPerCommandUntilReceived) {
  service.SetRawReply("VersionCheck.php", "v\n");
  service.SetRawReply("Novaquad_scores.php", "s\n");
  ETNA__Send(1, "Novaquad_scores.php?option=getscore&nbscore=11", 1, 0);
  ETNA__Send(2, "VersionCheck.php?option=getversion&nbscore=30", 1, 0);
  Drain();
  EXPECT_EQ(ETNA_Receive(3), 0);
  // Taken in the other order than sent: each keeps its own lines.
  EXPECT_EQ(Take(2).lines, Lines{"v"});
  EXPECT_EQ(Take(1).lines, Lines{"s"});
  // The last reply taken stays current.
  EXPECT_EQ(ETNA_GetNbOfLines(), 1);
  EXPECT_STREQ(ETNA__GetResult(1), "s");

  // A new request of a command drops its unread older reply.
  ETNA__Send(2, "VersionCheck.php?option=getversion&nbscore=30", 1, 0);
  Drain();
  service.SetRawReply("VersionCheck.php", "newer\n");
  ETNA__Send(2, "VersionCheck.php?option=getversion&nbscore=30", 1, 0);
  Drain();
  EXPECT_EQ(Take(2).lines, Lines{"newer"});
  EXPECT_EQ(ETNA_Receive(2), 0);
}

TEST_F(EtnaTest, StatusOtherThan200IsAFailure) {
  Outcome unknown = Fetch("Nothing.php?x=1");
  EXPECT_EQ(unknown.state, ETNA_STATE_HTTP_ERROR);
  EXPECT_TRUE(unknown.lines.empty());
  EXPECT_STREQ(ETNA__GetResult(1), "");

  service.SetMode(ScoreService::Mode::Status, 503);
  EXPECT_EQ(Fetch("VersionCheck.php?option=getversion&nbscore=30").state, ETNA_STATE_HTTP_ERROR);
}

TEST_F(EtnaTest, BrokenServersEndInAFailedState) {
  service.SetMode(ScoreService::Mode::Drop);
  Outcome dropped = Fetch("VersionCheck.php?option=getversion&nbscore=30");
  EXPECT_EQ(dropped.state, ETNA_STATE_TRANSPORT);
  EXPECT_TRUE(dropped.lines.empty());

  service.SetMode(ScoreService::Mode::Garbage);
  Outcome garbage = Fetch("VersionCheck.php?option=getversion&nbscore=30");
  EXPECT_NE(garbage.state, ETNA_STATE_OK);
  EXPECT_NE(garbage.state, -1);  // it did end
  EXPECT_TRUE(garbage.lines.empty());

  service.SetMode(ScoreService::Mode::Oversized);
  EXPECT_EQ(Fetch("VersionCheck.php?option=getversion&nbscore=30").state, ETNA_STATE_TOO_LARGE);

  // Nobody listening at all.
  int port = service.Port();
  service.Stop();
  setenv("NOVAQUAD_SCORES_URL", ("http://127.0.0.1:" + std::to_string(port) + "/scores").c_str(), 1);
  EXPECT_EQ(Fetch("VersionCheck.php?option=getversion&nbscore=30").state, ETNA_STATE_TRANSPORT);
}

// Lines "line<from>" to "line<to>", each ended by end.
std::string Numbered(int from, int to, const std::string& end = "\n") {
  std::string body;
  for (int i = from; i <= to; ++i) body += "line" + std::to_string(i) + end;
  return body;
}

TEST_F(EtnaTest, LongRepliesKeepTheirFirstThousandLines) {
  const Lines first1000 = [] {
    Lines lines;
    for (int i = 1; i <= ETNA_MAX_LINES; ++i) lines.push_back("line" + std::to_string(i));
    return lines;
  }();
  struct Case {
    const char* name;
    std::string body;
  } cases[] = {
      {"1000 lines", Numbered(1, 1000)},
      {"1001 lines", Numbered(1, 1001)},
      {"1001 lines, the last without LF", Numbered(1, 1000) + "line1001"},
      // The CR before the 1000th LF still goes; what follows is never a line.
      {"CR LF", Numbered(1, 1000, "\r\n") + "\r\n" + std::string(20000, 'x')},
      {"6000 lines", Numbered(1, 6000)},
  };
  for (const Case& c : cases) {
    service.SetRawReply("VersionCheck.php", c.body);
    Outcome o = Fetch("VersionCheck.php?option=getversion&nbscore=30");
    EXPECT_EQ(o.state, ETNA_STATE_OK) << c.name;
    EXPECT_EQ(o.lines, first1000) << c.name;
  }

  // 10,000 table rows streamed without a length, in as many pieces as the
  // transfer makes: the first 1000 lines, row by row.
  service.SetMode(ScoreService::Mode::LineFlood);
  service.SetFloodLimit(10000 * ScoreService::kLineFloodRowBytes);
  Outcome rows = Fetch("VersionCheck.php?option=getversion&nbscore=30");
  EXPECT_EQ(rows.state, ETNA_STATE_OK);
  ASSERT_EQ(rows.lines.size(), static_cast<size_t>(ETNA_MAX_LINES));
  EXPECT_EQ((Lines{rows.lines[0], rows.lines[1], rows.lines[2], rows.lines[999]}), (Lines{"a", "1", "1", "a"}));
}

TEST_F(EtnaTest, BodiesOverTheByteBoundAreRefused) {
  // The bound is on the whole body, the lines past the 1000th included.
  service.SetRawReply("VersionCheck.php", std::string(ETNA_MAX_BODY, 'a'));
  EXPECT_EQ(Fetch("VersionCheck.php?option=getversion&nbscore=30").state, ETNA_STATE_OK);
  service.SetRawReply("VersionCheck.php", std::string(ETNA_MAX_BODY + 1, 'a'));
  EXPECT_EQ(Fetch("VersionCheck.php?option=getversion&nbscore=30").state, ETNA_STATE_TOO_LARGE);
  service.SetRawReply("VersionCheck.php", Numbered(1, 1000) + std::string(ETNA_MAX_BODY, '\n'));
  EXPECT_EQ(Fetch("VersionCheck.php?option=getversion&nbscore=30").state, ETNA_STATE_TOO_LARGE);

  // The same without a length announced: rows up to the bound and one past.
  service.SetMode(ScoreService::Mode::LineFlood);
  const size_t row = ScoreService::kLineFloodRowBytes;
  service.SetFloodLimit(ETNA_MAX_BODY / row * row);
  EXPECT_EQ(Fetch("VersionCheck.php?option=getversion&nbscore=30").state, ETNA_STATE_OK);
  service.SetFloodLimit(ETNA_MAX_BODY / row * row + row);
  Outcome over = Fetch("VersionCheck.php?option=getversion&nbscore=30");
  EXPECT_EQ(over.state, ETNA_STATE_TOO_LARGE);
  EXPECT_TRUE(over.lines.empty());

  // An endless body: the library hangs up long before the service runs out.
  service.SetFloodLimit(ScoreService::kDefaultFloodBytes);
  Clock::time_point start = Clock::now();
  EXPECT_EQ(Fetch("VersionCheck.php?option=getversion&nbscore=30").state, ETNA_STATE_TOO_LARGE);
  EXPECT_LT(service.FloodBytesSent(), ScoreService::kDefaultFloodBytes / 4);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
}

TEST_F(EtnaTest, FloodsOfHeaderOrTrailerLinesAreRefused) {
  for (ScoreService::Mode mode : {ScoreService::Mode::HeaderFlood, ScoreService::Mode::TrailerFlood}) {
    const char* name = mode == ScoreService::Mode::HeaderFlood ? "headers" : "trailers";
    // A long but bounded header or trailer section still gives the reply.
    service.SetMode(mode);
    service.SetFloodLimit(ETNA_MAX_HEADERS / 2);
    Outcome fair = Fetch("VersionCheck.php?option=getversion&nbscore=30");
    EXPECT_EQ(fair.state, ETNA_STATE_OK) << name;
    EXPECT_EQ(fair.lines, Lines{"ok"}) << name;

    // Past the bound the request fails, and the library hangs up long before
    // the service runs out of lines.
    service.SetFloodLimit(ETNA_MAX_HEADERS * 2);
    Outcome over = Fetch("VersionCheck.php?option=getversion&nbscore=30");
    EXPECT_EQ(over.state, ETNA_STATE_TOO_LARGE) << name;
    EXPECT_TRUE(over.lines.empty()) << name;

    service.SetFloodLimit(ScoreService::kDefaultFloodBytes);
    Clock::time_point start = Clock::now();
    Outcome flood = Fetch("VersionCheck.php?option=getversion&nbscore=30");
    EXPECT_EQ(flood.state, ETNA_STATE_TOO_LARGE) << name;
    EXPECT_LT(service.FloodBytesSent(), ScoreService::kDefaultFloodBytes / 4) << name;
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(3)) << name;
  }
}

TEST_F(EtnaTest, StalledServerEndsWithinTheBound) {
  setenv("NOVAQUAD_ETNA_TIMEOUT_MS", "400", 1);
  service.SetMode(ScoreService::Mode::Stall);
  ETNA__Send(1, "Novaquad_scores.php?option=addscore&user=a&level=1&score=5", 1, 0);
  ETNA__Send(2, "Novaquad_scores.php?option=getscore&nbscore=11", 1, 0);
  long took = Drain(10000);
  EXPECT_EQ(ETNA_GetNumberOfCommandsInQueue(), 0);
  EXPECT_GE(took, 300);
  EXPECT_LT(took, 3000);
  EXPECT_EQ(Take(1).state, ETNA_STATE_TIMEOUT);
  EXPECT_EQ(Take(2).state, ETNA_STATE_TIMEOUT);

  // A bound above 30 s is not taken.
  setenv("NOVAQUAD_ETNA_TIMEOUT_MS", "999999", 1);
  service.SetMode(ScoreService::Mode::Normal);
  EXPECT_EQ(Fetch("VersionCheck.php?option=getversion&nbscore=30").state, ETNA_STATE_OK);
}

TEST_F(EtnaTest, QueueIsBounded) {
  service.SetMode(ScoreService::Mode::Stall);
  setenv("NOVAQUAD_ETNA_TIMEOUT_MS", "300", 1);
  int queued = 0;
  for (int i = 0; i < ETNA_MAX_QUEUE + 5; ++i) queued += ETNA__Send(1, "x", 1, 0);
  EXPECT_EQ(queued, ETNA_MAX_QUEUE);
  EXPECT_EQ(ETNA_GetNumberOfCommandsInQueue(), ETNA_MAX_QUEUE);
  EXPECT_EQ(ETNA_Cancel(1), 1);
  EXPECT_EQ(ETNA_GetNumberOfCommandsInQueue(), 0);
  EXPECT_EQ(ETNA_Receive(1), 0);
}

TEST_F(EtnaTest, QueuedCommandsGoOutOneAfterAnother) {
  // A service slow to store a score: the table asked for after the
  // submission already holds it.
  service.AddScore("old", "2", 100);
  service.SetStoreDelay(300);
  EXPECT_EQ(ETNA__Send(1, "Novaquad_scores.php?option=addscore&user=new&level=5&score=900", 1, 0), 1);
  EXPECT_EQ(ETNA__Send(2, "Novaquad_scores.php?option=getscore&nbscore=11", 1, 0), 1);
  EXPECT_EQ(ETNA_GetNumberOfCommandsInQueue(), 2);
  Drain();
  EXPECT_EQ(Take(1).state, ETNA_STATE_OK);
  Outcome table = Take(2);
  EXPECT_EQ(table.state, ETNA_STATE_OK);
  EXPECT_EQ(table.lines, (Lines{"new", "5", "900", "old", "2", "100"}));

  // A failed command lets the next one go.
  EXPECT_EQ(ETNA__Send(1, "Nothing.php?x=1", 1, 0), 1);
  EXPECT_EQ(ETNA__Send(2, "Novaquad_scores.php?option=getscore&nbscore=1", 1, 0), 1);
  Drain();
  EXPECT_EQ(Take(1).state, ETNA_STATE_HTTP_ERROR);
  EXPECT_EQ(Take(2).lines, (Lines{"new", "5", "900"}));

  // Waiting behind another command counts against a command's own bound, so
  // a queue of two that never gets an answer ends within one bound.
  setenv("NOVAQUAD_ETNA_TIMEOUT_MS", "600", 1);
  service.SetMode(ScoreService::Mode::Stall);
  ETNA__Send(1, "Novaquad_scores.php?option=addscore&user=a&level=1&score=5", 1, 0);
  ETNA__Send(2, "Novaquad_scores.php?option=getscore&nbscore=11", 1, 0);
  long took = Drain();
  EXPECT_EQ(ETNA_GetNumberOfCommandsInQueue(), 0);
  EXPECT_GE(took, 500);
  EXPECT_LT(took, 1000);
  EXPECT_EQ(Take(1).state, ETNA_STATE_TIMEOUT);
  EXPECT_EQ(Take(2).state, ETNA_STATE_TIMEOUT);
}

// "http://127.0.0.1:<port>" of a service, for redirects to it.
std::string Origin(const ScoreService& s) { return "http://127.0.0.1:" + std::to_string(s.Port()); }

TEST_F(EtnaTest, RedirectsAreFollowed) {
  // The service moved to another host: every request is sent on.
  ScoreService moved;
  ASSERT_TRUE(moved.Start());
  moved.AddScore("amy", "7", 2500);
  service.SetRedirect({301, [&](const std::string& t) { return Origin(moved) + t; }});
  Outcome table = Fetch("Novaquad_scores.php?option=getscore&nbscore=11");
  EXPECT_EQ(table.state, ETNA_STATE_OK);
  EXPECT_EQ(table.lines, (Lines{"amy", "7", "2500"}));  // the redirect's own body is not kept
  EXPECT_EQ(moved.Requests().size(), 1u);

  // A trailing-slash redirect to a path on the same host; the signature
  // goes along.
  service.ClearRequests();
  service.SetRedirect({308, [](const std::string& t) { return t.substr(0, t.find('?')) + "/" + t.substr(t.find('?')); }, 1});
  service.SetRawReply("VersionCheck.php", "novaquad\n1.2\n");
  Outcome version = Fetch("VersionCheck.php?option=getversion&nbscore=30");
  EXPECT_EQ(version.state, ETNA_STATE_OK);
  EXPECT_EQ(version.lines, (Lines{"novaquad", "1.2"}));
  auto requests = service.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].line, "GET /scores/VersionCheck.php/?option=getversion&nbscore=30 HTTP/1.1");
  EXPECT_EQ(requests[1].signature, requests[0].signature);

  // Five redirects in a row are followed, each of 302, 303 and 307.
  for (int status : {302, 303, 307}) {
    service.ClearRequests();
    service.SetRedirect({status, [](const std::string& t) { return t; }, 5});
    EXPECT_EQ(Fetch("VersionCheck.php?option=getversion&nbscore=30").lines, (Lines{"novaquad", "1.2"})) << status;
    EXPECT_EQ(service.Requests().size(), 6u) << status;
  }
}

TEST_F(EtnaTest, RedirectsEndInAFailureWhereAnAnswerWould) {
  const auto same = [](const std::string& t) { return t; };
  struct Case {
    const char* name;
    ScoreService::Redirect redirect;
    int state;
  } cases[] = {
      {"six in a row", {301, same, 6}, ETNA_STATE_HTTP_ERROR},
      {"a loop", {302, same}, ETNA_STATE_HTTP_ERROR},
      {"no target", {301, [](const std::string&) { return std::string(); }}, ETNA_STATE_HTTP_ERROR},
      {"not modified", {304, same, 1}, ETNA_STATE_HTTP_ERROR},
      {"a local file", {301, [](const std::string&) { return std::string("file:///etc/hostname"); }}, ETNA_STATE_TRANSPORT},
      {"another protocol", {301, [&](const std::string&) { return "ftp://127.0.0.1:" + std::to_string(service.Port()) + "/"; }},
       ETNA_STATE_TRANSPORT},
  };
  for (Case& c : cases) {
    service.ClearRequests();
    service.SetRedirect(c.redirect);
    Clock::time_point start = Clock::now();
    Outcome o = Fetch("VersionCheck.php?option=getversion&nbscore=30");
    EXPECT_EQ(o.state, c.state) << c.name;
    EXPECT_TRUE(o.lines.empty()) << c.name;
    EXPECT_LE(service.Requests().size(), 6u) << c.name;
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(1)) << c.name;
  }
}

TEST_F(EtnaTest, RedirectsShareTheRequestsBounds) {
  ScoreService::Redirect hop(301, [](const std::string& t) { return t; });
  service.SetRawReply("VersionCheck.php", "ok\n");

  // Header lines count over every answer of a request: one redirect with
  // 40 KB of them is fine, two are too many.
  hop.fillerBytes = 40000;
  hop.times = 1;
  service.SetRedirect(hop);
  EXPECT_EQ(Fetch("VersionCheck.php?option=getversion&nbscore=30").lines, Lines{"ok"});
  hop.times = 2;
  service.SetRedirect(hop);
  EXPECT_EQ(Fetch("VersionCheck.php?option=getversion&nbscore=30").state, ETNA_STATE_TOO_LARGE);

  // So do the bodies, though a redirect's own is never kept.
  hop.fillerBytes = 0;
  hop.body = std::string(40000, 'm');
  hop.times = 1;
  service.SetRedirect(hop);
  EXPECT_EQ(Fetch("VersionCheck.php?option=getversion&nbscore=30").lines, Lines{"ok"});
  hop.times = 2;
  service.SetRedirect(hop);
  EXPECT_EQ(Fetch("VersionCheck.php?option=getversion&nbscore=30").state, ETNA_STATE_TOO_LARGE);

  // And the time bound covers the request with its redirects: a service
  // that never answers after the redirect.
  ScoreService stalled;
  ASSERT_TRUE(stalled.Start());
  stalled.SetMode(ScoreService::Mode::Stall);
  setenv("NOVAQUAD_ETNA_TIMEOUT_MS", "400", 1);
  service.SetRedirect({302, [&](const std::string& t) { return Origin(stalled) + t; }});
  Clock::time_point start = Clock::now();
  EXPECT_EQ(Fetch("VersionCheck.php?option=getversion&nbscore=30").state, ETNA_STATE_TIMEOUT);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(900));
  EXPECT_EQ(stalled.Requests().size(), 1u);
}

// --- A name lookup that hangs -------------------------------------------------
//
// The stand-in lookup (fixtures/hung_resolver.h) is loaded into a child: the
// test below runs this same program again, with the stand-in preloaded and
// kHungChildVariable set, and main() then runs RunHungLookupChild().

constexpr char kHungChildVariable[] = "NOVA_ETNA_HUNG_LOOKUP_CHILD";
constexpr long kHungBoundMs = 500;
constexpr long kHungSlackMs = 400;

// Requests to the host whose lookup hangs, as the score sync and then the
// version check send them. Says what went wrong; returns the exit status.
int RunHungLookupChild() {
  int faults = 0;
  auto expect = [&faults](bool ok, const char* what) {
    if (!ok) std::fprintf(stderr, "hung lookup: %s\n", what);
    faults += ok ? 0 : 1;
  };
  auto lookups = reinterpret_cast<NovaHungLookupsFunction>(dlsym(RTLD_DEFAULT, NOVA_HUNG_LOOKUPS_SYMBOL));
  expect(lookups != nullptr, "the stand-in lookup is not loaded");
  SetETNALibraryPath(NOVA_ETNA_LIBRARY);
  expect(LoadETNA(), "the library did not load");
  if (faults) return 1;
  const char* bound = std::getenv("NOVAQUAD_ETNA_TIMEOUT_MS");
  const long boundMs = bound ? std::atol(bound) : 30000;
  setenv("NOVAQUAD_SCORES_URL", "http://" NOVA_HUNG_HOST "/scores", 1);

  ETNA__Send(1, "Novaquad_scores.php?option=addscore&user=a&level=1&score=5", 1, 0);
  ETNA__Send(2, "Novaquad_scores.php?option=getscore&nbscore=11", 1, 0);
  const long sync = Drain(3600 * 1000);
  expect(Take(1).state == ETNA_STATE_TIMEOUT, "the submission did not time out");
  expect(Take(2).state == ETNA_STATE_TIMEOUT, "the table request did not time out");
  expect(lookups() >= 1, "no lookup reached the stand-in");

  ETNA__Send(2, "VersionCheck.php?option=getversion&nbscore=30", 1, 0);
  const long version = Drain(3600 * 1000);
  expect(Take(2).state == ETNA_STATE_TIMEOUT, "the version check did not time out");
  std::printf("hung lookup: the sync took %ld ms, the version check %ld ms (bound %ld ms)\n", sync, version, boundMs);
  expect(sync < boundMs + kHungSlackMs, "the sync outlasted the bound");
  expect(version < boundMs + kHungSlackMs, "the version check outlasted the bound");
  return faults ? 1 : 0;
}

TEST(EtnaHungLookup, RequestsEndWithinTheBoundThoughTheLookupHangs) {
  char self[PATH_MAX] = {};
  ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    if (std::strncmp(*e, "LD_PRELOAD=", 11) != 0 && std::strncmp(*e, "NOVAQUAD_", 9) != 0 &&
        std::strncmp(*e, "ASAN_OPTIONS=", 13) != 0)
      env.push_back(*e);
  }
  env.push_back("LD_PRELOAD=" NOVA_HUNG_RESOLVER);
  env.push_back(std::string(kHungChildVariable) + "=1");
  env.push_back("NOVAQUAD_ETNA_TIMEOUT_MS=" + std::to_string(kHungBoundMs));
  // Under AddressSanitizer the stand-in comes before its run-time library.
  const char* asan = std::getenv("ASAN_OPTIONS");
  env.push_back(std::string("ASAN_OPTIONS=") + (asan ? asan : "") + (asan && *asan ? ":" : "") +
                "verify_asan_link_order=0");
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  char* argv[] = {self, nullptr};

  Clock::time_point start = Clock::now();
  pid_t child = 0;
  ASSERT_EQ(posix_spawn(&child, self, nullptr, nullptr, argv, envp.data()), 0);
  int status = 0;
  bool ended = false;
  while (Clock::now() - start < std::chrono::seconds(10)) {
    if (waitpid(child, &status, WNOHANG) == child) {
      ended = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (!ended) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
  }
  const long took = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
  ASSERT_TRUE(ended) << "the requests were still held by the lookup after " << took << " ms";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child's checks failed (status " << status << ")";
}

TEST(EtnaBinding, MissingLibraryLeavesFailingSubstitutes) {
  SetETNALibraryPath("/nonexistent/libETNA.so");
  EXPECT_FALSE(LoadETNA());
  EXPECT_FALSE(ETNALoaded());
  Clock::time_point start = Clock::now();
  EXPECT_EQ(ETNA__SetServer("http://127.0.0.1:1/scores"), 0);
  EXPECT_EQ(ETNA__SetKey("k"), 0);
  EXPECT_EQ(ETNA__Send(1, "Novaquad_scores.php?option=getscore&nbscore=11", 1, 0), 0);
  EXPECT_EQ(ETNA_Update(), 0);
  EXPECT_EQ(ETNA_GetNumberOfCommandsInQueue(), 0);
  EXPECT_EQ(ETNA_Receive(1), 0);
  EXPECT_EQ(ETNA_GetState(), ETNA_STATE_NONE);
  EXPECT_EQ(ETNA_GetNbOfLines(), 0);
  EXPECT_STREQ(ETNA__GetResult(1), "");
  EXPECT_EQ(ETNA_Cancel(1), 0);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(100));
}

TEST(EtnaBinding, LoadedLibraryBindsEveryPublishedName) {
  SetETNALibraryPath(NOVA_ETNA_LIBRARY);
  ASSERT_TRUE(LoadETNA());
  EXPECT_TRUE(ETNALoaded());
  EXPECT_EQ(ETNA__SetServer("http://127.0.0.1:1/scores"), 1);
  EXPECT_EQ(ETNA__SetKey("k"), 1);
  EXPECT_EQ(ETNA__SetDelimiter("\n"), 1);
  EXPECT_EQ(ETNA__SetKeyReceive("k"), 1);
  // The one name no C library can export stays on its failing substitute.
  EXPECT_EQ(ETNA_SetKeySend("k"), 0);
  // Loading again is harmless; unbinding returns to the substitutes.
  EXPECT_TRUE(LoadETNA());
  UnbindETNA();
  EXPECT_FALSE(ETNALoaded());
  EXPECT_EQ(ETNA__SetKey("k"), 0);
  SetETNALibraryPath("");
}

}  // namespace

// The program's own main, in place of gtest_main's: it also runs the child
// part of the hung-lookup test.
int main(int argc, char** argv) {
  if (std::getenv(kHungChildVariable)) return RunHungLookupChild();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
