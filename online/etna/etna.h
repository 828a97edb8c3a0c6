// ETNA: the game's small networking library (libETNA.so).
//
// The game loads it at run time and looks its entry points up by name, so
// everything here is plain C. Requests are HTTP GETs run by libcurl's multi
// interface, one at a time in the order queued: a request goes out when the
// one before it has ended (answered, failed or timed out), so a table asked
// for after a submission is read after it was stored. Nothing ever blocks
// the caller.
//
//   ETNA__SetServer(base)    base address, e.g. "http://host/scores". When the
//                            environment variable NOVAQUAD_SCORES_URL is set,
//                            its value is used instead (read at every send).
//   ETNA__SetKey(key)        key that signs every request (see below).
//   ETNA__Send(id, query, 1, 0)
//                            queues GET <base>/<query>. Bytes a URL cannot
//                            carry (controls, blanks, non-ASCII, the
//                            characters " # < > \ ^ ` { | } and a % that
//                            does not start an escape %XX) are
//                            percent-encoded; the rest, escapes included,
//                            goes out as given, so a caller that encodes a
//                            value itself is not encoded twice.
//                            Returns 1 when queued, else 0.
//   ETNA_Update()            advances the queue without blocking.
//   ETNA_GetNumberOfCommandsInQueue()
//                            requests not finished yet.
//   ETNA_Receive(id)         1 when a finished reply of that command is
//                            waiting; it becomes the current reply.
//   ETNA_GetState()          the current reply's state (ETNA_STATE_*).
//   ETNA_GetNbOfLines()      its number of lines.
//   ETNA__GetResult(n)       its line n, from 1; "" beyond the count. The text
//                            stays the library's until the next ETNA_Receive.
//   ETNA_Cancel(id)          drops that command's transfers and replies.
//   ETNA__SetDelimiter, ETNA__SetKeyReceive
//                            accepted and ignored (replies are split at LF).
//
// Replies: status 200 is success; the body is split at LF, a CR before the LF
// is dropped, and an empty piece after the last LF is not a line. Only the
// first ETNA_MAX_LINES lines are kept: the rest of the body is read but not
// stored, and the reply is a success with those lines. A body over
// ETNA_MAX_BODY bytes (all of it, kept or not), or header and trailer lines
// over ETNA_MAX_HEADERS bytes together (status line and line ends included),
// are refused (ETNA_STATE_TOO_LARGE).
//
// Redirects: an answer 301, 302, 303, 307 or 308 with a target sends the
// request on there, up to 5 times, to http and https addresses only. The
// byte bounds above count over all the answers of a request, and the body
// of a redirect is never kept. A redirect without a target, a sixth one, or
// any other answer but 200 is a failure (ETNA_STATE_HTTP_ERROR); one to
// another protocol is ETNA_STATE_TRANSPORT.
//
// Bounds: a request ends within 30 s of being queued, the time it waited
// behind the requests before it, its name lookup and its redirects
// included; so does a queue of any length. Connecting, its lookup included,
// may take 5 s, and a transfer that moves less than one byte a second for
// 10 s is dropped. Ending a request never waits for a lookup that hangs:
// that lookup is left to end by itself. The environment variable
// NOVAQUAD_ETNA_TIMEOUT_MS lowers the 30 s (tests use it).
//
// Signature: with a key set, each request carries the header
//   X-Etna-Signature: <16 lower-case hex digits>
// the HMAC construction over 64-bit FNV-1a of the query as sent (after
// percent-encoding, without the base address):
//   inner = FNV(key XOR 0x36.. || query), sig = FNV(key XOR 0x5c.. || inner)
// with the key zero-padded to 64 bytes and inner taken as 8 big-endian bytes.
// It tells a service that the request came from the game; it is not secret.
//
// One caller thread is assumed; every entry point also takes a lock.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

#define ETNA_API __attribute__((visibility("default")))

enum {
  ETNA_STATE_NONE = 0,       // no reply received yet
  ETNA_STATE_PENDING = 1,    // never seen by the caller; reserved
  ETNA_STATE_OK = 2,         // status 200, lines available
  ETNA_STATE_HTTP_ERROR = 3, // the server answered another status
  ETNA_STATE_TRANSPORT = 4,  // no usable answer (refused, dropped, garbage)
  ETNA_STATE_TOO_LARGE = 5,  // a reply over ETNA_MAX_BODY or ETNA_MAX_HEADERS bytes
  ETNA_STATE_TIMEOUT = 6,    // the time bound ran out
};

#define ETNA_MAX_BODY 65536
#define ETNA_MAX_LINES 1000
#define ETNA_MAX_HEADERS 65536
#define ETNA_MAX_QUEUE 32

// The game binds the entry points by name into pointers of the same names;
// it includes this header for the constants only, with ETNA_CONSTANTS_ONLY.
#ifndef ETNA_CONSTANTS_ONLY
ETNA_API int ETNA__SetServer(const char* address);
ETNA_API int ETNA__SetDelimiter(const char* delimiter);
ETNA_API int ETNA__SetKey(const char* key);
ETNA_API int ETNA__SetKeyReceive(const char* key);
ETNA_API int ETNA_Update(void);
ETNA_API int ETNA__Send(int command, const char* query, int a, int b);
ETNA_API int ETNA_GetNumberOfCommandsInQueue(void);
ETNA_API int ETNA_Cancel(int command);
ETNA_API int ETNA_Receive(int command);
ETNA_API int ETNA_GetState(void);
ETNA_API const char* ETNA__GetResult(int line);
ETNA_API int ETNA_GetNbOfLines(void);
#endif

#ifdef __cplusplus
}
#endif
