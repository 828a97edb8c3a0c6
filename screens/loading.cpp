// Loading of every picture, sound and tune the catalogue (res/assets.cpp)
// gives a handle: the font first, for the loading screen, then the rest
// behind it.
#include <thread>

#include "screens/screens.h"

namespace {

TImage* LoadPicture(const PictureEntry& picture) {
  const String path = ResPath(picture.file);
  TImage* image = picture.UsedWhole() ? LoadImageResource(path, IMAGE_DEFAULT_FLAGS)
                                      : LoadImageCells(path, picture.cellWidth, picture.cellHeight, 0,
                                                       picture.cells, IMAGE_DEFAULT_FLAGS);
  if (picture.flags & kCentred) CentreImageHandle(image);
  return image;
}

// The pictures with a handle, those flagged to come first or the others.
void LoadPictures(bool first) {
  for (const PictureEntry& picture : PictureCatalogue())
    if (picture.handle && ((picture.flags & kLoadFirst) != 0) == first) *picture.handle = LoadPicture(picture);
}

// The sounds are read on a worker thread while this thread cuts the
// pictures, which take longer. One worker is enough: only the short effects
// are decoded at load (the tunes and the long effects play from their Ogg
// bytes), and every extra thread would keep a memory arena of its own.
// Every handle is in place when LoadResources returns.
class SoundLoader {
 public:
  void Start() {
    worker_ = std::thread([] {
      for (const SoundEntry& sound : SoundCatalogue())
        if (sound.handle)
          *sound.handle = LoadSoundResource(ResPath(sound.file), sound.Loops() ? SOUND_LOOPS : 0);
    });
  }
  void Finish() { worker_.join(); }

 private:
  std::thread worker_;
};

}  // namespace

String ResPath(const char* fileName) {
  return StringConcat(u"IncBin::res\\", StringFromAscii(fileName));
}

void LoadFirstPictures() { LoadPictures(true); }

void LoadPicture(TImage** handle) {
  for (const PictureEntry& picture : PictureCatalogue())
    if (picture.handle == handle) *handle = LoadPicture(picture);
}

void LoadResources() {
  SoundLoader sounds;
  sounds.Start();
  LoadPictures(false);
  sounds.Finish();
}
