// The networking library: a queue of HTTP GETs on libcurl's multi interface.
// See etna.h for the contract.
#include "online/etna/etna.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr long kConnectTimeoutMs = 5000;
constexpr long kTotalTimeoutMs = 30000;
constexpr long kLowSpeedBytes = 1;
constexpr long kLowSpeedSeconds = 10;
constexpr int kMaxRedirects = 5;
// Our own watchdog, in case libcurl ever overran its time-out.
constexpr long kWatchdogSlackMs = 1000;

// One request, from the moment it is queued to its reply. Its byte counts
// and its time bound cover all its answers, redirects included.
struct Command {
  int id = 0;
  CURL* easy = nullptr;
  curl_slist* headers = nullptr;
  std::string url;
  std::string body;      // the first ETNA_MAX_LINES lines of the body
  size_t bodyBytes = 0;  // every body, kept or not
  int lineEnds = 0;      // LFs kept in body
  size_t headerBytes = 0;
  bool tooLarge = false;
  bool sent = false;     // handed to libcurl
  int redirects = 0;
  Clock::time_point due;  // the end of its time, counted from when it was queued
  ~Command() {
    if (easy) curl_easy_cleanup(easy);
    if (headers) curl_slist_free_all(headers);
  }
};

struct Reply {
  int id = 0;
  int state = ETNA_STATE_NONE;
  std::vector<std::string> lines;
};

struct Library {
  std::mutex lock;
  CURLM* multi = nullptr;
  std::string server;
  std::string key;
  // In the order queued; only the first one is ever sent.
  std::list<std::unique_ptr<Command>> pending;
  std::deque<Reply> ready;
  Reply current;
};

// Held for the life of the process: transfers may still be open at exit.
Library& Lib() {
  static Library* lib = new Library;
  return *lib;
}

bool EnsureMulti(Library& lib) {
  if (lib.multi) return true;
  if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) return false;
  lib.multi = curl_multi_init();
  return lib.multi != nullptr;
}

bool IsHexDigit(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// A '%' that starts an escape is the caller's encoding and stays as it is;
// any other '%' cannot be carried.
bool UrlCannotCarry(const unsigned char* p) {
  if (*p <= 0x20 || *p >= 0x7f) return true;
  if (*p == '%') return !(IsHexDigit(p[1]) && IsHexDigit(p[2]));
  return std::strchr("\"#<>\\^`{|}", *p) != nullptr;
}

std::string PercentEncode(const char* text) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
    if (UrlCannotCarry(p)) {
      out += '%';
      out += hex[*p >> 4];
      out += hex[*p & 15];
    } else {
      out += static_cast<char>(*p);
    }
  }
  return out;
}

uint64_t Fnv1a(const unsigned char* data, size_t size, uint64_t hash = 0xcbf29ce484222325ull) {
  for (size_t i = 0; i < size; ++i) {
    hash ^= data[i];
    hash *= 0x100000001b3ull;
  }
  return hash;
}

std::string Signature(const std::string& key, const std::string& message) {
  unsigned char block[64] = {};
  // A key longer than the block is hashed first, as HMAC does.
  if (key.size() > sizeof block) {
    uint64_t h = Fnv1a(reinterpret_cast<const unsigned char*>(key.data()), key.size());
    for (int i = 0; i < 8; ++i) block[i] = static_cast<unsigned char>(h >> (56 - 8 * i));
  } else {
    std::memcpy(block, key.data(), key.size());
  }
  unsigned char pad[64];
  for (int i = 0; i < 64; ++i) pad[i] = block[i] ^ 0x36;
  uint64_t inner = Fnv1a(pad, 64);
  inner = Fnv1a(reinterpret_cast<const unsigned char*>(message.data()), message.size(), inner);
  unsigned char innerBytes[8];
  for (int i = 0; i < 8; ++i) innerBytes[i] = static_cast<unsigned char>(inner >> (56 - 8 * i));
  for (int i = 0; i < 64; ++i) pad[i] = block[i] ^ 0x5c;
  uint64_t outer = Fnv1a(pad, 64);
  outer = Fnv1a(innerBytes, 8, outer);
  char text[17];
  static const char hex[] = "0123456789abcdef";
  for (int i = 0; i < 16; ++i) text[i] = hex[(outer >> (60 - 4 * i)) & 15];
  text[16] = 0;
  return text;
}

long TotalTimeoutMs() {
  const char* env = std::getenv("NOVAQUAD_ETNA_TIMEOUT_MS");
  if (!env || !*env) return kTotalTimeoutMs;
  char* end = nullptr;
  long v = std::strtol(env, &end, 10);
  if (*end != 0 || v <= 0) return kTotalTimeoutMs;
  return std::min(v, kTotalTimeoutMs);
}

std::string BaseAddress(const Library& lib) {
  const char* env = std::getenv("NOVAQUAD_SCORES_URL");
  std::string base = (env && *env) ? std::string(env) : lib.server;
  if (!base.empty() && base.back() == '/') base.pop_back();
  return base;
}

// Loopback never goes through a proxy; other no-proxy wishes are kept.
std::string NoProxyList() {
  std::string list = "localhost,127.0.0.1,::1";
  for (const char* name : {"no_proxy", "NO_PROXY"}) {
    const char* env = std::getenv(name);
    if (env && *env) {
      list += ',';
      list += env;
      break;
    }
  }
  return list;
}

// Counts n more bytes of a reply against their bound; past it the request
// is too large.
bool WithinBound(Command* c, size_t& total, size_t n, size_t bound) {
  total += n;
  if (total <= bound) return true;
  c->tooLarge = true;
  return false;
}

// The answers that send the request on to another address.
bool IsRedirect(long status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// Keeps the body up to the LF that ends its last line allowed; the rest, and
// the body of a redirect, is read and counted against the byte bound, but
// not kept.
size_t WriteBody(char* data, size_t size, size_t count, void* user) {
  Command* c = static_cast<Command*>(user);
  size_t n = size * count;
  if (!WithinBound(c, c->bodyBytes, n, ETNA_MAX_BODY)) return 0;  // ends the transfer with a write error
  long status = 0;
  curl_easy_getinfo(c->easy, CURLINFO_RESPONSE_CODE, &status);
  if (IsRedirect(status)) return n;
  size_t keep = 0;
  while (keep < n && c->lineEnds < ETNA_MAX_LINES) {
    const void* lf = std::memchr(data + keep, '\n', n - keep);
    if (!lf) {
      keep = n;
      break;
    }
    keep = static_cast<size_t>(static_cast<const char*>(lf) - data) + 1;
    ++c->lineEnds;
  }
  c->body.append(data, keep);
  return n;
}

// Sees every header line and, for a chunked body, every trailer line after
// it, of every answer; libcurl keeps them all, so their total is bounded
// like the body's.
size_t CountHeader(char*, size_t size, size_t count, void* user) {
  Command* c = static_cast<Command*>(user);
  size_t n = size * count;
  if (!WithinBound(c, c->headerBytes, n, ETNA_MAX_HEADERS)) return 0;  // ends the transfer with a write error
  return n;
}

// Splits a body at LF; a CR before the LF goes, a trailing empty piece is no
// line. WriteBody kept no more lines than a reply may have.
std::vector<std::string> SplitLines(const std::string& body) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < body.size()) {
    size_t end = body.find('\n', start);
    size_t stop = (end == std::string::npos) ? body.size() : end;
    size_t len = stop - start;
    if (end != std::string::npos && len > 0 && body[stop - 1] == '\r') --len;
    lines.emplace_back(body, start, len);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

void PushReply(Library& lib, Reply reply) {
  if (lib.ready.size() >= ETNA_MAX_QUEUE) lib.ready.pop_front();
  lib.ready.push_back(std::move(reply));
}

void Finish(Library& lib, Command& c, CURLcode result) {
  Reply r;
  r.id = c.id;
  if (result == CURLE_OK) {
    long status = 0;
    curl_easy_getinfo(c.easy, CURLINFO_RESPONSE_CODE, &status);
    if (status != 200) {
      r.state = ETNA_STATE_HTTP_ERROR;
    } else {
      r.state = ETNA_STATE_OK;
      r.lines = SplitLines(c.body);
    }
  } else if (c.tooLarge || result == CURLE_FILESIZE_EXCEEDED) {
    r.state = ETNA_STATE_TOO_LARGE;
  } else if (result == CURLE_OPERATION_TIMEDOUT) {
    r.state = ETNA_STATE_TIMEOUT;
  } else {
    r.state = ETNA_STATE_TRANSPORT;
  }
  PushReply(lib, std::move(r));
}

// Ending a transfer never waits for its name lookup (CURLOPT_QUICK_EXIT):
// a lookup that hangs is left to end on its own thread.
void Drop(Library& lib, std::list<std::unique_ptr<Command>>::iterator it) {
  if ((*it)->sent) curl_multi_remove_handle(lib.multi, (*it)->easy);
  lib.pending.erase(it);
}

long MillisLeft(const Command& c, Clock::time_point now) {
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(c.due - now).count());
}

// Hands a command to libcurl with what is left of its time; returns
// ETNA_STATE_PENDING when it went, else the state it ends in.
int HandOver(Library& lib, Command& c) {
  long left = MillisLeft(c, Clock::now());
  if (left <= 0) return ETNA_STATE_TIMEOUT;  // a time-out of 0 would be none at all
  bool ok = curl_easy_setopt(c.easy, CURLOPT_URL, c.url.c_str()) == CURLE_OK &&
            curl_easy_setopt(c.easy, CURLOPT_CONNECTTIMEOUT_MS, std::min(kConnectTimeoutMs, left)) == CURLE_OK &&
            curl_easy_setopt(c.easy, CURLOPT_TIMEOUT_MS, left) == CURLE_OK &&
            curl_multi_add_handle(lib.multi, c.easy) == CURLM_OK;
  if (!ok) return ETNA_STATE_TRANSPORT;
  c.sent = true;
  return ETNA_STATE_PENDING;
}

// Sends the first command in the queue once the one before it has ended;
// one whose time ran out meanwhile ends without going out. Returns true
// when a command went.
bool SendNext(Library& lib) {
  while (!lib.pending.empty() && !lib.pending.front()->sent) {
    Command& c = *lib.pending.front();
    int state = HandOver(lib, c);
    if (state == ETNA_STATE_PENDING) return true;
    PushReply(lib, Reply{c.id, state, {}});
    lib.pending.pop_front();
  }
  return false;
}

// A redirect with a target, within the count allowed, sends the command on
// there, its time and byte counts carried over; its own body was not kept.
// Returns false when the answer stands as it is.
bool FollowRedirect(Library& lib, Command& c) {
  long status = 0;
  char* target = nullptr;
  curl_easy_getinfo(c.easy, CURLINFO_RESPONSE_CODE, &status);
  if (!IsRedirect(status) || c.redirects >= kMaxRedirects) return false;
  if (curl_easy_getinfo(c.easy, CURLINFO_REDIRECT_URL, &target) != CURLE_OK || !target || !*target) return false;
  c.url = target;  // the handle's text goes with its next transfer
  curl_multi_remove_handle(lib.multi, c.easy);
  c.sent = false;
  ++c.redirects;
  int state = HandOver(lib, c);
  if (state != ETNA_STATE_PENDING) PushReply(lib, Reply{c.id, state, {}});
  return state == ETNA_STATE_PENDING;
}

std::unique_ptr<Command> MakeCommand(Library& lib, int id, const char* query) {
  auto c = std::make_unique<Command>();
  c->id = id;
  std::string encoded = PercentEncode(query);
  c->url = BaseAddress(lib) + "/" + encoded;
  c->easy = curl_easy_init();
  if (!c->easy) return nullptr;
  if (!lib.key.empty()) {
    std::string header = "X-Etna-Signature: " + Signature(lib.key, encoded);
    c->headers = curl_slist_append(nullptr, header.c_str());
    if (!c->headers) return nullptr;
  }
  CURL* e = c->easy;
  // Redirects are followed here, not by libcurl, so that every byte of every
  // answer passes the callbacks and counts against the bounds (libcurl reads
  // a redirect's body past them). CURLOPT_PROTOCOLS_STR holds for each
  // address the request is sent on to.
  bool ok = curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
            curl_easy_setopt(e, CURLOPT_HTTPGET, 1L) == CURLE_OK &&
            curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L) == CURLE_OK &&
            curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
            curl_easy_setopt(e, CURLOPT_QUICK_EXIT, 1L) == CURLE_OK &&
            curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, kLowSpeedBytes) == CURLE_OK &&
            curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, kLowSpeedSeconds) == CURLE_OK &&
            curl_easy_setopt(e, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(ETNA_MAX_BODY)) == CURLE_OK &&
            curl_easy_setopt(e, CURLOPT_NOPROXY, NoProxyList().c_str()) == CURLE_OK &&
            curl_easy_setopt(e, CURLOPT_USERAGENT, "ETNA/1.0") == CURLE_OK &&
            curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, WriteBody) == CURLE_OK &&
            curl_easy_setopt(e, CURLOPT_WRITEDATA, c.get()) == CURLE_OK &&
            curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, CountHeader) == CURLE_OK &&
            curl_easy_setopt(e, CURLOPT_HEADERDATA, c.get()) == CURLE_OK &&
            (!c->headers || curl_easy_setopt(e, CURLOPT_HTTPHEADER, c->headers) == CURLE_OK);
  if (!ok) return nullptr;
  c->due = Clock::now() + std::chrono::milliseconds(TotalTimeoutMs());
  return c;
}

// The setters that keep a text for later requests; a null text clears it.
int StoreText(std::string Library::*field, const char* text) {
  Library& lib = Lib();
  std::lock_guard<std::mutex> hold(lib.lock);
  lib.*field = text ? text : "";
  return 1;
}

}  // namespace

extern "C" {

int ETNA__SetServer(const char* address) { return StoreText(&Library::server, address); }

int ETNA__SetDelimiter(const char*) { return 1; }

int ETNA__SetKey(const char* key) { return StoreText(&Library::key, key); }

int ETNA__SetKeyReceive(const char*) { return 1; }

int ETNA__Send(int command, const char* query, int, int) {
  Library& lib = Lib();
  std::lock_guard<std::mutex> hold(lib.lock);
  if (!query || lib.pending.size() >= ETNA_MAX_QUEUE || BaseAddress(lib).empty()) return 0;
  if (!EnsureMulti(lib)) return 0;
  std::unique_ptr<Command> c = MakeCommand(lib, command, query);
  if (!c) return 0;
  // A new request makes an unread reply of the same command stale.
  std::erase_if(lib.ready, [command](const Reply& r) { return r.id == command; });
  lib.pending.push_back(std::move(c));
  SendNext(lib);
  return 1;
}

int ETNA_Update(void) {
  Library& lib = Lib();
  std::lock_guard<std::mutex> hold(lib.lock);
  if (!lib.multi || lib.pending.empty()) return 1;
  SendNext(lib);
  int running = 0;
  curl_multi_perform(lib.multi, &running);
  int left = 0;
  while (CURLMsg* msg = curl_multi_info_read(lib.multi, &left)) {
    if (msg->msg != CURLMSG_DONE) continue;
    CURL* easy = msg->easy_handle;
    CURLcode result = msg->data.result;
    auto it = std::find_if(lib.pending.begin(), lib.pending.end(),
                           [easy](const std::unique_ptr<Command>& c) { return c->easy == easy; });
    if (it == lib.pending.end()) continue;
    if (result == CURLE_OK && FollowRedirect(lib, **it)) continue;
    if ((*it)->sent) Finish(lib, **it, result);  // else FollowRedirect gave the reply
    Drop(lib, it);
  }
  Clock::time_point now = Clock::now();
  for (auto it = lib.pending.begin(); it != lib.pending.end();) {
    auto next = std::next(it);
    const Command& c = **it;
    if (now >= c.due + std::chrono::milliseconds(c.sent ? kWatchdogSlackMs : 0)) {
      PushReply(lib, Reply{c.id, ETNA_STATE_TIMEOUT, {}});
      Drop(lib, it);
    }
    it = next;
  }
  // The next command goes out at once, not at the next call.
  if (SendNext(lib)) curl_multi_perform(lib.multi, &running);
  return 1;
}

int ETNA_GetNumberOfCommandsInQueue(void) {
  Library& lib = Lib();
  std::lock_guard<std::mutex> hold(lib.lock);
  return static_cast<int>(lib.pending.size());
}

int ETNA_Cancel(int command) {
  Library& lib = Lib();
  std::lock_guard<std::mutex> hold(lib.lock);
  int dropped = 0;
  for (auto it = lib.pending.begin(); it != lib.pending.end();) {
    auto next = std::next(it);
    if ((*it)->id == command) {
      Drop(lib, it);
      ++dropped;
    }
    it = next;
  }
  dropped += static_cast<int>(std::erase_if(lib.ready, [command](const Reply& r) { return r.id == command; }));
  return dropped > 0 ? 1 : 0;
}

int ETNA_Receive(int command) {
  Library& lib = Lib();
  std::lock_guard<std::mutex> hold(lib.lock);
  auto it = std::find_if(lib.ready.begin(), lib.ready.end(),
                         [command](const Reply& r) { return r.id == command; });
  if (it == lib.ready.end()) return 0;
  lib.current = std::move(*it);
  lib.ready.erase(it);
  return 1;
}

int ETNA_GetState(void) {
  Library& lib = Lib();
  std::lock_guard<std::mutex> hold(lib.lock);
  return lib.current.state;
}

int ETNA_GetNbOfLines(void) {
  Library& lib = Lib();
  std::lock_guard<std::mutex> hold(lib.lock);
  return static_cast<int>(lib.current.lines.size());
}

const char* ETNA__GetResult(int line) {
  Library& lib = Lib();
  std::lock_guard<std::mutex> hold(lib.lock);
  if (line < 1 || static_cast<size_t>(line) > lib.current.lines.size()) return "";
  return lib.current.lines[static_cast<size_t>(line) - 1].c_str();
}

}  // extern "C"
