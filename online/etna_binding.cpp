// Binding of the networking library "libETNA.so", loaded at run time.
//
// The library is looked for beside the running executable, then by name on
// the loader's search path. Every entry point starts out bound to a
// substitute that fails at once, and stays so when the library or that name
// is missing, so the game can call each pointer at any time.
#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <string>

#define ETNA_CONSTANTS_ONLY
#include "online/etna/etna.h"
#include "online/online.h"

static_assert(static_cast<int>(RequestState::None) == ETNA_STATE_NONE &&
                  static_cast<int>(RequestState::Pending) == ETNA_STATE_PENDING &&
                  static_cast<int>(RequestState::Ok) == ETNA_STATE_OK &&
                  static_cast<int>(RequestState::HttpError) == ETNA_STATE_HTTP_ERROR &&
                  static_cast<int>(RequestState::Transport) == ETNA_STATE_TRANSPORT &&
                  static_cast<int>(RequestState::TooLarge) == ETNA_STATE_TOO_LARGE &&
                  static_cast<int>(RequestState::TimedOut) == ETNA_STATE_TIMEOUT,
              "the game reads the library's reply states by these names");

// No public score service exists; players who host one point the library at
// it with NOVAQUAD_SCORES_URL.
extern const char* const ScoreServiceAddress = "http://scores.novaquad.invalid/scores";
extern const char* const ScoreServiceKey = "Wm3kR8xTq5Lb2Zd";

namespace {

int FailText(const char*) { return 0; }
int FailVoid() { return 0; }
int FailInt(int) { return 0; }
int FailSend(int, const char*, int, int) { return 0; }
const char* FailResult(int) { return ""; }

void* gHandle = nullptr;
bool gLoaded = false;
std::string gExplicitPath;

template <class F>
void Bind(void* handle, const char* name, F*& slot, F* substitute) {
  slot = substitute;
  if (!handle) return;
  if (void* sym = dlsym(handle, name)) slot = reinterpret_cast<F*>(sym);
}

void BindAll(void* h) {
  // The lookup order and names are the library's published ones; the fourth
  // is no C identifier, so no library can export it and it always fails.
  Bind(h, "ETNA__SetServer", ETNA__SetServer, FailText);
  Bind(h, "ETNA__SetDelimiter", ETNA__SetDelimiter, FailText);
  Bind(h, "ETNA__SetKey", ETNA__SetKey, FailText);
  Bind(h, "ETNA_)SetKeySend", ETNA_SetKeySend, FailText);
  Bind(h, "ETNA__SetKeyReceive", ETNA__SetKeyReceive, FailText);
  Bind(h, "ETNA_Update", ETNA_Update, FailVoid);
  Bind(h, "ETNA__Send", ETNA__Send, FailSend);
  Bind(h, "ETNA_GetNumberOfCommandsInQueue", ETNA_GetNumberOfCommandsInQueue, FailVoid);
  Bind(h, "ETNA_Cancel", ETNA_Cancel, FailInt);
  Bind(h, "ETNA_Receive", ETNA_Receive, FailInt);
  Bind(h, "ETNA_GetState", ETNA_GetState, FailVoid);
  Bind(h, "ETNA__GetResult", ETNA__GetResult, FailResult);
  Bind(h, "ETNA_GetNbOfLines", ETNA_GetNbOfLines, FailVoid);
}

std::string ExecutableDirectory() {
  char path[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return std::string();
  std::string p(path, static_cast<size_t>(n));
  size_t slash = p.rfind('/');
  return slash == std::string::npos ? std::string() : p.substr(0, slash);
}

}  // namespace

int (*ETNA__SetServer)(const char*) = FailText;
int (*ETNA__SetDelimiter)(const char*) = FailText;
int (*ETNA__SetKey)(const char*) = FailText;
int (*ETNA_SetKeySend)(const char*) = FailText;
int (*ETNA__SetKeyReceive)(const char*) = FailText;
int (*ETNA_Update)() = FailVoid;
int (*ETNA__Send)(int, const char*, int, int) = FailSend;
int (*ETNA_GetNumberOfCommandsInQueue)() = FailVoid;
int (*ETNA_Cancel)(int) = FailInt;
int (*ETNA_Receive)(int) = FailInt;
int (*ETNA_GetState)() = FailVoid;
const char* (*ETNA__GetResult)(int) = FailResult;
int (*ETNA_GetNbOfLines)() = FailVoid;

bool LoadETNA() {
  void* handle = nullptr;
  if (!gExplicitPath.empty()) {
    handle = dlopen(gExplicitPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  } else {
    std::string dir = ExecutableDirectory();
    if (!dir.empty()) handle = dlopen((dir + "/libETNA.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) handle = dlopen("libETNA.so", RTLD_NOW | RTLD_LOCAL);
  }
  if (!handle) {
    // Nothing is looked up; every entry point keeps (or gets back) its substitute.
    BindAll(nullptr);
    gLoaded = false;
    return false;
  }
  // Loading again finds the same library; one reference to it is enough.
  // A library is never unloaded: transfers of its own may still be open.
  if (gHandle == handle) dlclose(handle);
  gHandle = handle;
  BindAll(handle);
  gLoaded = true;
  return true;
}

bool ETNALoaded() { return gLoaded; }

// Any number the library gives is kept, so an unknown one still shows as itself.
RequestState ReplyState() { return static_cast<RequestState>(ETNA_GetState()); }

void SetETNALibraryPath(const std::string& path) { gExplicitPath = path; }

void UnbindETNA() {
  BindAll(nullptr);
  gLoaded = false;
}
