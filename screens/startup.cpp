// GameMain: everything the game keeps for the whole run is made here, in a
// fixed order, behind a single "loading resources..." frame; then the intro,
// the star field and the main menu; the settings are written when the menu
// returns.
#include "screens/screens.h"
#include "gameplay/gameplay.h"
#include "online/online.h"
#include "runtime/headless.h"

namespace {

const char16_t kWebsite[] = u"www.novaquad.invalid";

void FillHighscorePlaceholders() {
  HighscoreNames = ArrayNew(u"String", 12);
  HighscoreScores = ArrayNew(u"String", 12);
  HighscoreLevels = ArrayNew(u"String", 12);
  for (int k = 0; k <= 10; ++k) {
    HighscoreNames[k] = u"..........";
    HighscoreLevels[k] = u"0";
    HighscoreScores[k] = u".";
  }
}

// fullScreen 0 is a window and 1 full screen at 16 bits. Any other value
// (only a hand-edited settings file holds one) gets the window, and a full
// screen that cannot be had falls back to the window too, so the game never
// runs on without a display it could have had. The setting then says what
// the screen is: the options row names the mode shown, its switch changes
// what is seen, and the window is what gets saved.
bool OpenDisplay() {
  if (Settings.fullScreen == 1 && OpenGraphicsDisplay(640, 480, 16, 60, 0)) {
    if (!DisplayIsFullScreen()) Settings.fullScreen = 0;
    return true;
  }
  if (!OpenGraphicsDisplay(640, 480, 0, 60, 0)) return false;
  if (Settings.fullScreen == 1) Settings.fullScreen = 0;
  return true;
}

void HandToLibrary(int (*entry)(const char*), const char* text) {
  char* block = StringToCString(StringFromAscii(text));
  entry(block);
  MemFree(block);
}

void ShowLoadingScreen() {
  ClearDrawBuffer();
  DrawFontText(u"loading resources...", 10, 13);
  PresentFrame(-1);
}

}  // namespace

void RegisterProgramFiles() {
  RegisterEmbeddedFiles();
  InstallProgramData();
}

void LoadForTheRun(LoadingScreen loadingScreen) {
  LoadFirstPictures();
  if (loadingScreen == LoadingScreen::Shown) ShowLoadingScreen();
  ScreenGrab = CreateEmptyImage(640, 480, 1, IMAGE_MASKED | IMAGE_DYNAMIC);
  LoadResources();
}

bool StartGameRuntime(const RuntimeOptions& options, int depth) {
  RegisterProgramFiles();
  if (!StartRuntime(options, depth)) return false;
  LoadForTheRun(LoadingScreen::Skipped);
  return true;
}

int GameMain() {
  RegisterProgramFiles();
  RuntimeStartServices();
  FillHighscorePlaceholders();
  LoadSettings();
  // From here on, closing the window (or losing the display) keeps the
  // settings as the exit would.
  SetCloseRequestHandler([] { SaveSettings(); });
  SetAppTitle(u"Novaquad v1.2");
  if (!OpenDisplay()) {
    // Nothing can be shown (the runtime has said why): end at once, leaving
    // the settings file as it was.
    RuntimeShutdown();
    return 1;
  }
  HideMousePointer();
  SetRandomSeed(MillisecondClock());

  LoadETNA();
  HandToLibrary(ETNA__SetServer, ScoreServiceAddress);
  HandToLibrary(ETNA__SetKey, ScoreServiceKey);

  WebsiteLines = ArrayNew(u"String", 1);
  WebsiteLines[0] = StringConcat(u"      ", kWebsite);

  LoadForTheRun(LoadingScreen::Shown);

  SetMusicVolumes();
  if (Settings.alternativeSoundOutput == 1) {
    for (const String& name : ListAudioDriverNames())
      if (StringCompare(name, u"FreeAudio Multimedia") == 0) SelectAudioDriver(name);
  }

  PlayIntro();
  CreateStars();
  MainMenu();
  SaveSettings();
  // Written: a display lost while the program ends has nothing left to save.
  SetCloseRequestHandler(nullptr);
  return 0;
}
