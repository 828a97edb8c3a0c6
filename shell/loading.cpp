// Loading of every picture, sound and tune the catalogue (res/assets.cpp)
// gives a handle: the font first, for the loading screen, then the rest
// behind it.
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "shell/shell.h"

namespace {

TImage* LoadPicture(const PictureEntry& picture) {
  const String path = ResPath(picture.file);
  TImage* image = picture.UsedWhole() ? LoadImageResource(path, -1)
                                      : LoadImageCells(path, picture.cellWidth, picture.cellHeight, 0,
                                                       picture.cells, -1);
  if (picture.flags & kCentred) CentreImageHandle(image);
  return image;
}

// The pictures with a handle, those flagged to come first or the others.
void LoadPictures(bool first) {
  for (const PictureEntry& picture : PictureCatalogue())
    if (picture.handle && ((picture.flags & kLoadFirst) != 0) == first) *picture.handle = LoadPicture(picture);
}

size_t EmbeddedSize(const char* file) {
  size_t size = 0;
  IncbinLookup(StringConcat(u"res\\", StringFromAscii(file)), nullptr, &size);
  return size;
}

// Decoding the sounds is most of the loading time, so they are decoded on
// worker threads, the largest first, while this thread cuts the pictures.
// Every handle is in place when LoadResources returns.
class SoundLoader {
 public:
  void Start() {
    for (const SoundEntry& sound : SoundCatalogue())
      if (sound.handle) order_.push_back(&sound);
    std::stable_sort(order_.begin(), order_.end(), [](const SoundEntry* a, const SoundEntry* b) {
      return EmbeddedSize(a->file) > EmbeddedSize(b->file);
    });
    const unsigned cores = std::max(2u, std::thread::hardware_concurrency());
    const size_t workers = std::min<size_t>(cores - 1, order_.size());
    for (size_t i = 0; i < workers; ++i) threads_.emplace_back([this] { Work(); });
  }
  void Finish() {
    for (std::thread& t : threads_) t.join();
    threads_.clear();
  }

 private:
  void Work() {
    for (size_t i = next_++; i < order_.size(); i = next_++)
      *order_[i]->handle = LoadSoundResource(ResPath(order_[i]->file), order_[i]->loops ? 1 : 0);
  }
  std::vector<const SoundEntry*> order_;
  std::vector<std::thread> threads_;
  std::atomic<size_t> next_{0};
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
