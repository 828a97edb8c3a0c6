// Every picture in res/: the size, format and cell grid the loader cuts it
// into, black kept as the see-through colour, and the pictures whose content
// other code or the player relies on (font glyphs, flames behind the bike,
// shards cut from the enemies, enemies and shots in colours of their own,
// seamless backdrop layers, light scan lines, the outlines the collisions
// read).
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "res/assets.h"
#include "runtime/runtime.h"
#include "screens/screens.h"
// The generator's raster toolkit and PNG writer, compiled in so their
// guarantees can be checked directly.
#include "tools/pictures/pngout.cpp"
#include "tools/pictures/raster.cpp"

namespace {

// The catalogue's rows that describe a file (the first cut of each).
std::vector<const PictureEntry*> Files() {
  std::vector<const PictureEntry*> files;
  for (const PictureEntry& e : PictureCatalogue())
    if (IsMainCut(e)) files.push_back(&e);
  return files;
}

const PictureEntry& FileEntry(const char* file) {
  for (const PictureEntry* e : Files())
    if (std::strcmp(e->file, file) == 0) return *e;
  ADD_FAILURE() << file << " is not in the catalogue";
  static const PictureEntry none{};
  return none;
}

std::filesystem::path ResDir() { return std::filesystem::path(NOVA_SOURCE_DIR) / "res"; }

// What the file's header says, read with libpng's own parser.
struct Header {
  bool ok = false;
  int w = 0, h = 0, bitDepth = 0, colourType = -1, interlace = -1;
  bool hasTrns = false;
};

Header ReadHeader(const std::filesystem::path& path) {
  Header hd;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return hd;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, f);
    png_read_info(png, info);
    hd.w = static_cast<int>(png_get_image_width(png, info));
    hd.h = static_cast<int>(png_get_image_height(png, info));
    hd.bitDepth = png_get_bit_depth(png, info);
    hd.colourType = png_get_color_type(png, info);
    hd.interlace = png_get_interlace_type(png, info);
    hd.hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    hd.ok = true;
  }
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(f);
  return hd;
}

// The decoded pixels as RGBA; a pixel counts as seen when it is not the
// see-through black (or, in RGBA pictures, has any alpha).
struct Pixels {
  int w = 0, h = 0;
  std::vector<unsigned char> rgba;
  const unsigned char* at(int x, int y) const { return &rgba[(static_cast<size_t>(y) * w + x) * 4]; }
  bool seen(int x, int y) const {
    const unsigned char* p = at(x, y);
    return p[3] != 255 ? p[3] != 0 : (p[0] | p[1] | p[2]) != 0;
  }
  int seenIn(int x0, int y0, int cw, int ch) const {
    int n = 0;
    for (int y = y0; y < y0 + ch; ++y)
      for (int x = x0; x < x0 + cw; ++x) n += seen(x, y);
    return n;
  }
};

Pixels Load(const char* file) {
  Pixels px;
  png_image im;
  std::memset(&im, 0, sizeof im);
  im.version = PNG_IMAGE_VERSION;
  std::string path = (ResDir() / file).string();
  if (!png_image_begin_read_from_file(&im, path.c_str())) return px;
  im.format = PNG_FORMAT_RGBA;
  px.rgba.resize(PNG_IMAGE_SIZE(im));
  if (!png_image_finish_read(&im, nullptr, px.rgba.data(), 0, nullptr)) {
    png_image_free(&im);
    px.rgba.clear();
    return px;
  }
  px.w = static_cast<int>(im.width);
  px.h = static_cast<int>(im.height);
  return px;
}

// The flying enemies, by type.
const char* const kEnemyNames[10] = {"spinner", "antenna pod", "jellyfish", "spring bot", "eye saucer",
                                     "bat",     "manta",       "spiked ball", "ring drone", "wasp"};

// Cells that no routine draws, and so may stay empty.
bool MayBeBlank(const std::string& file, int cell) {
  if (file == "groundenemies.png") return cell == 22 || cell == 23 || cell >= 28;
  if (file == "enemies.png") return cell == 43;
  if (file == "ShieldFrags.png") return true;  // the corners of the badge are empty
  if (file == "font.png") return cell == 0;    // the blank
  return false;
}

TEST(PictureCatalogue, EveryFileHasTheCataloguedSizeFormatAndCells) {
  for (const PictureEntry* e : Files()) {
    SCOPED_TRACE(e->file);
    Header hd = ReadHeader(ResDir() / e->file);
    ASSERT_TRUE(hd.ok) << "missing or unreadable";
    EXPECT_EQ(hd.w, e->width);
    EXPECT_EQ(hd.h, e->height);
    EXPECT_EQ(hd.bitDepth, 8);
    EXPECT_EQ(hd.interlace, PNG_INTERLACE_NONE);
    int wanted = e->format == PictureFormat::RGB       ? PNG_COLOR_TYPE_RGB
                 : e->format == PictureFormat::Palette ? PNG_COLOR_TYPE_PALETTE
                                                       : PNG_COLOR_TYPE_RGB_ALPHA;
    EXPECT_EQ(hd.colourType, wanted);
    // Only black may be see-through in RGB and palette pictures; a
    // transparency chunk would make the loader's colour mask disagree.
    EXPECT_FALSE(hd.hasTrns);
  }
  // Every cut, the second cuts of a file too: whole cells only, and at
  // least as many as the game cuts, of a file described alike on every row.
  for (const PictureEntry& e : PictureCatalogue()) {
    SCOPED_TRACE(std::string(e.file) + " cut " + std::to_string(e.cellWidth) + "x" + std::to_string(e.cellHeight));
    const PictureEntry& file = FileEntry(e.file);
    EXPECT_EQ(e.width, file.width);
    EXPECT_EQ(e.height, file.height);
    EXPECT_EQ(e.format, file.format);
    ASSERT_GT(e.cellWidth, 0);
    ASSERT_GT(e.cellHeight, 0);
    EXPECT_EQ(e.width % e.cellWidth, 0);
    EXPECT_EQ(e.height % e.cellHeight, 0);
    EXPECT_GE((e.width / e.cellWidth) * (e.height / e.cellHeight), e.cells);
  }
}

TEST(PictureCatalogue, EveryHandleIsFilledOnceAndEveryFileIsEmbedded) {
  // Two rows filling one handle would lose a picture; a row whose file was
  // not embedded (its row not read by the build) would load nothing.
  std::set<const void*> handles;
  RegisterEmbeddedFiles();
  auto embeddedSize = [](const char* file) {
    size_t size = 0;
    IncbinLookup(StringConcat(u"res\\", StringFromAscii(file)), nullptr, &size);
    return size;
  };
  for (const PictureEntry& e : PictureCatalogue()) {
    SCOPED_TRACE(e.file);
    if (e.handle) {
      EXPECT_TRUE(handles.insert(e.handle).second) << "a second row for one handle";
    }
    EXPECT_GT(embeddedSize(e.file), 0u);
  }
  for (const SoundEntry& e : SoundCatalogue()) {
    SCOPED_TRACE(e.file);
    if (e.handle) {
      EXPECT_TRUE(handles.insert(e.handle).second) << "a second row for one handle";
    }
    EXPECT_GT(embeddedSize(e.file), 0u);
  }
  // The loading screen is written in the font, so it alone comes first.
  std::vector<TImage**> first;
  for (const PictureEntry& e : PictureCatalogue())
    if (e.flags & kLoadFirst) first.push_back(e.handle);
  EXPECT_EQ(first, std::vector<TImage**>{&img_font});
}

TEST(PictureCatalogue, ResHoldsNoStrayPictures) {
  std::set<std::string> known;
  for (const PictureEntry* e : Files()) known.insert(e->file);
  EXPECT_EQ(known.size(), 51u);
  for (const auto& entry : std::filesystem::directory_iterator(ResDir())) {
    if (entry.path().extension() == ".png") {
      EXPECT_TRUE(known.count(entry.path().filename().string())) << entry.path();
    }
  }
}

TEST(PictureCatalogue, EveryDrawnCellShowsSomethingAndKeepsAClearBackground) {
  // Pictures that fill their whole frame on purpose.
  const std::set<std::string> opaque = {"menumain.png", "intro2.png", "timebar2.png", "terraformer2.png", "layer4c.png"};
  for (const PictureEntry* e : Files()) {
    SCOPED_TRACE(e->file);
    Pixels px = Load(e->file);
    ASSERT_EQ(px.w, e->width);
    int cols = e->width / e->cellWidth;
    for (int cell = 0; cell < e->cells; ++cell) {
      if (MayBeBlank(e->file, cell)) continue;
      int n = px.seenIn((cell % cols) * e->cellWidth, (cell / cols) * e->cellHeight, e->cellWidth, e->cellHeight);
      EXPECT_GT(n, 0) << "cell " << cell << " is empty";
    }
    if (e->format != PictureFormat::RGBA && !opaque.count(e->file)) {
      int clear = e->width * e->height - px.seenIn(0, 0, e->width, e->height);
      EXPECT_GT(clear, 0) << "no see-through background";
    }
  }
}

TEST(PictureCatalogue, FontHasSixtyDistinctGlyphsWithTheHashRepeated) {
  Pixels px = Load("font.png");
  ASSERT_EQ(px.w, 320);
  auto cell = [&](int n) {
    std::vector<unsigned char> v;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        const unsigned char* p = px.at((n % 20) * 16 + x, (n / 20) * 16 + y);
        v.insert(v.end(), p, p + 3);
      }
    return v;
  };
  EXPECT_EQ(px.seenIn(0, 0, 16, 16), 0) << "the blank must draw nothing";
  for (int n : {6, 8, 9, 10, 11}) EXPECT_EQ(cell(n), cell(5)) << "cell " << n << " should repeat #";
  // every other glyph differs from every other: no letter or digit doubled
  std::vector<int> distinct = {1, 2, 3, 4, 5, 7};
  for (int n = 12; n < 60; ++n) distinct.push_back(n);
  for (size_t i = 0; i < distinct.size(); ++i)
    for (size_t j = i + 1; j < distinct.size(); ++j)
      EXPECT_NE(cell(distinct[i]), cell(distinct[j])) << "cells " << distinct[i] << " and " << distinct[j];
  // glyphs stay inside their cell with a column of space to the right,
  // so neighbouring characters never touch
  for (int n = 0; n < 60; ++n)
    EXPECT_EQ(px.seenIn((n % 20) * 16 + 15, (n / 20) * 16, 1, 16), 0) << "cell " << n;
}

// The lit face of a glyph: the pixels of its 16 x 16 cell bright enough to
// be the letter itself rather than its dark rim or shadow.
std::vector<bool> GlyphFace(const Pixels& font, int n) {
  std::vector<bool> face(256);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const unsigned char* p = font.at((n % 20) * 16 + x, (n / 20) * 16 + y);
      face[y * 16 + x] = font.seen((n % 20) * 16 + x, (n / 20) * 16 + y) && std::max({p[0], p[1], p[2]}) >= 128;
    }
  return face;
}

TEST(PictureCatalogue, EveryLetterAndDigitReadsAsItself) {
  // Two glyphs whose faces differ in a handful of pixels read as one
  // another at a glance ("shield" read as "shielo"): every pair of letters
  // and digits must differ in at least 12 of the cell's 256 lit pixels.
  Pixels px = Load("font.png");
  ASSERT_EQ(px.w, 320);
  const char* const charset = " !<>;##,####\xa3+*/0123456789:.-()?'abcdefghijklmnopqrstuvwxyz&";
  std::vector<int> cells;
  for (int n = 16; n <= 25; ++n) cells.push_back(n);  // the digits
  for (int n = 33; n <= 58; ++n) cells.push_back(n);  // the letters
  int closest = 256;
  for (size_t i = 0; i < cells.size(); ++i)
    for (size_t j = i + 1; j < cells.size(); ++j) {
      std::vector<bool> a = GlyphFace(px, cells[i]), b = GlyphFace(px, cells[j]);
      int apart = 0;
      for (int k = 0; k < 256; ++k) apart += a[k] != b[k];
      closest = std::min(closest, apart);
      EXPECT_GE(apart, 12) << "'" << charset[cells[i]] << "' and '" << charset[cells[j]] << "' differ in " << apart
                           << " lit pixels";
    }
  std::printf("closest pair of glyphs: %d lit pixels apart\n", closest);
  // "b" and "d" stand on a straight stem: their leftmost lit column runs
  // the letter's full height, square at both ends.
  for (int n : {34, 36}) {
    std::vector<bool> face = GlyphFace(px, n);
    int left = 16, top = 16, bottom = -1;
    for (int k = 0; k < 256; ++k)
      if (face[k]) left = std::min(left, k % 16), top = std::min(top, k / 16), bottom = std::max(bottom, k / 16);
    ASSERT_LT(left, 16) << "'" << charset[n] << "' is blank";
    for (int y = top; y <= bottom; ++y) EXPECT_TRUE(face[y * 16 + left]) << "'" << charset[n] << "' row " << y;
  }
}

TEST(PictureCatalogue, FontGlyphsCarryADarkEdgeOnEverySide) {
  // Text is drawn in white or a tint over any picture; only a dark rim
  // round every letter keeps it readable over light ground. So no bright
  // pixel may touch the see-through background, and each glyph's right and
  // lower edges carry a shadow at least two pixels deep somewhere.
  Pixels px = Load("font.png");
  ASSERT_EQ(px.w, 320);
  auto bright = [&](int x, int y) {
    const unsigned char* p = px.at(x, y);
    return px.seen(x, y) && std::max({p[0], p[1], p[2]}) > 128;
  };
  auto dark = [&](int x, int y) {
    const unsigned char* p = px.at(x, y);
    return px.seen(x, y) && std::max({p[0], p[1], p[2]}) < 48;
  };
  for (int n = 1; n < 60; ++n) {
    int x0 = (n % 20) * 16, y0 = (n / 20) * 16;
    int face = 0, deepShadow = 0;
    for (int y = y0; y < y0 + 16; ++y)
      for (int x = x0; x < x0 + 16; ++x) {
        if (!bright(x, y)) continue;
        ++face;
        for (int oy = -1; oy <= 1; ++oy)
          for (int ox = -1; ox <= 1; ++ox) {
            int nx = x + ox, ny = y + oy;
            bool inCell = nx >= x0 && nx < x0 + 16 && ny >= y0 && ny < y0 + 16;
            EXPECT_TRUE(inCell && px.seen(nx, ny)) << "cell " << n << ": bright pixel " << x - x0 << "," << y - y0
                                                   << " has no dark edge towards " << ox << "," << oy;
          }
        if (x + 2 < x0 + 16 && y + 1 < y0 + 16 && dark(x + 1, y) && dark(x + 2, y)) ++deepShadow;
      }
    EXPECT_GT(face, 6) << "cell " << n << " has too little bright face to read";
    EXPECT_GT(deepShadow, 0) << "cell " << n << " casts no shadow";
  }
}

TEST(PictureCatalogue, FragmentsAreTheirEnemyBrokenAlongJaggedEdges) {
  // The four shards of a shot-down enemy are cut from its first picture,
  // each in the cell of its quarter, already jumped a few pixels outwards
  // from where it broke off: at that jump every pixel of the shard lies on
  // the enemy, most of them in the enemy's own colour (the rest scorched
  // along the break). Put back, the shards do not overlap and make up most
  // of the enemy, each of them at least a tenth. They never show a cross:
  // the cracks that part the shards on either side of the main break leave
  // it well apart, as in a brick wall, not in one point. And no two
  // enemies break alike.
  Pixels frags = Load("frags.png"), enemies = Load("enemies.png");
  ASSERT_EQ(frags.w, 40);
  ASSERT_EQ(enemies.w, 160);
  std::set<std::vector<int>> breaks;
  for (int t = 0; t < 10; ++t) {
    SCOPED_TRACE(kEnemyNames[t]);
    int ex = 0, ey = 40 * t;  // the type's first picture: cell 4 t, the first of its row
    auto enemy = [&](int x, int y) { return x >= 0 && y >= 0 && x < 40 && y < 40 && enemies.seen(ex + x, ey + y); };
    std::vector<int> owner(1600, -1);  // the shards put back
    int overlaps = 0;
    for (int q = 0; q < 4; ++q) {
      const int cx = 20 * (q % 2), cy = 20 * (q / 2), sx = q % 2 ? 1 : -1, sy = q / 2 ? 1 : -1;
      std::vector<std::pair<int, int>> shard;
      for (int y = cy; y < cy + 20; ++y)
        for (int x = cx; x < cx + 20; ++x)
          if (frags.seen(x, 40 * t + y)) shard.emplace_back(x, y);
      ASSERT_GT(shard.size(), 8u) << "shard " << q << " is all but empty";
      int bestMatch = -1, bestX = 0, bestY = 0;
      for (int jx = 0; jx <= 8; ++jx)
        for (int jy = 0; jy <= 8; ++jy) {
          int dx = sx * jx, dy = sy * jy, match = 0;
          bool fits = true;
          for (auto [x, y] : shard) {
            if (!enemy(x - dx, y - dy)) {
              fits = false;
              break;
            }
            match += std::memcmp(frags.at(x, 40 * t + y), enemies.at(ex + x - dx, ey + y - dy), 3) == 0;
          }
          if (fits && match > bestMatch) bestMatch = match, bestX = dx, bestY = dy;
        }
      ASSERT_GE(bestMatch, 0) << "shard " << q << " is not cut from the enemy";
      EXPECT_GE(bestMatch * 100, 60 * static_cast<int>(shard.size())) << "shard " << q;
      for (auto [x, y] : shard) {
        int& o = owner[(y - bestY) * 40 + (x - bestX)];
        if (o >= 0) ++overlaps;
        o = q;
      }
    }
    EXPECT_EQ(overlaps, 0);
    int kept = 0, whole = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) whole += enemy(x, y), kept += owner[y * 40 + x] >= 0;
    EXPECT_GE(kept * 100, 85 * whole) << kept << " of the enemy's " << whole << " pixels are in a shard";
    for (int q = 0; q < 4; ++q) {
      EXPECT_GE(10 * std::count(owner.begin(), owner.end(), q), whole) << "shard " << q << " is a crumb";
    }
    // Where the crack between shards a and b crosses the lines 'from' to
    // 'from + 7' (rows when it runs up and down, columns when across): the
    // mean of the points midway between a's last pixel and b's first.
    auto crackAt = [&](int a, int b, bool upDown, int from) {
      double sum = 0;
      int n = 0;
      for (int k = from; k < from + 8; ++k) {
        int lastA = -1, firstB = 40;
        for (int i = 0; i < 40; ++i) {
          int o = upDown ? owner[k * 40 + i] : owner[i * 40 + k];
          if (o == a) lastA = i;
          if (o == b) firstB = std::min(firstB, i);
        }
        if (lastA >= 0 && firstB < 40) sum += (lastA + firstB + 1) / 2.0, ++n;
      }
      return n ? sum / n : 20.0;
    };
    double upDown = std::fabs(crackAt(0, 1, true, 12) - crackAt(2, 3, true, 20));
    double across = std::fabs(crackAt(0, 2, false, 12) - crackAt(1, 3, false, 20));
    std::printf("%-12s cracks leave the main break %.1f pixels apart\n", kEnemyNames[t], std::max(upDown, across));
    EXPECT_GE(std::max(upDown, across), 4.0) << "the shards meet in a cross";
    breaks.insert(owner);
  }
  EXPECT_EQ(breaks.size(), 10u) << "two enemies break alike";
}

TEST(PictureCatalogue, FlamesAndBubblesSitOnTheRightSideForEachFacing) {
  // Cells 0-7 belong to a bike facing right (its tail to the left), 8-15 to
  // one facing left; the bubble cells must enclose the bike either way.
  auto centreX = [](const Pixels& px, int y0, int cw, int ch) {
    double sum = 0;
    int n = 0;
    for (int y = y0; y < y0 + ch; ++y)
      for (int x = 0; x < cw; ++x)
        if (px.seen(x, y)) sum += x, ++n;
    return n ? sum / n : -1.0;
  };
  Pixels thrust = Load("exhaust1.png");
  ASSERT_EQ(thrust.w, 124);
  for (int f = 0; f < 8; ++f) {
    EXPECT_LT(centreX(thrust, f * 61, 124, 61), 40) << "right-facing thrust flame " << f;
    EXPECT_GT(centreX(thrust, (f + 8) * 61, 124, 61), 84) << "left-facing thrust flame " << f;
  }
  Pixels lift = Load("exhaust2.png");
  ASSERT_EQ(lift.w, 124);
  for (int f = 0; f < 16; ++f) {
    double c = centreX(lift, f * 61, 124, 61);
    EXPECT_GT(c, 30) << "lift flame " << f;
    EXPECT_LT(c, 100) << "lift flame " << f;
    // below the hull: nothing in the top half of the cell
    EXPECT_EQ(lift.seenIn(0, f * 61, 124, 30), 0) << "lift flame " << f;
  }
  // The bike's facing: frame 3 is frame 0 turned round, so shots leave the nose.
  Pixels bike = Load("bike2.png");
  ASSERT_EQ(bike.w, 120);
  int differ = 0;
  for (int y = 0; y < 55; ++y)
    for (int x = 0; x < 120; ++x) differ += bike.seen(x, y) != bike.seen(119 - x, 165 + y);
  EXPECT_EQ(differ, 0);
  EXPECT_GT(bike.seenIn(92, 165 + 32, 23, 5), 60) << "no gun where right-facing shots start";
}

TEST(PictureCatalogue, PicturesLineUpWithWhereTheGameDrawsThem) {
  // Message pictures are drawn centred on their cell and zoomed about it:
  // each lettering or arrow must sit in the middle.
  Pixels msg = Load("messages.png");
  ASSERT_EQ(msg.w, 480);
  for (int f = 0; f < 10; ++f) {
    int minX = 480, maxX = -1, minY = 48, maxY = -1;
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 480; ++x)
        if (msg.seen(x, f * 48 + y)) {
          minX = std::min(minX, x), maxX = std::max(maxX, x);
          minY = std::min(minY, y), maxY = std::max(maxY, y);
        }
    ASSERT_GE(maxX, 0) << "message " << f;
    EXPECT_NEAR((minX + maxX) / 2.0, 240, 24) << "message " << f;
    EXPECT_NEAR((minY + maxY) / 2.0, 24, 4) << "message " << f;
  }
  // Menu labels: one per 32-pixel cursor row, right of the cursor, which is
  // drawn over x 6..37 of this picture.
  Pixels menu = Load("menutext.png");
  ASSERT_EQ(menu.w, 313);
  EXPECT_EQ(menu.seenIn(6, 0, 32, 265), 0);
  for (int k = 0; k < 6; ++k) {
    double sum = 0;
    int n = 0;
    for (int y = 5 + 32 * k; y < 37 + 32 * k; ++y)
      for (int x = 38; x < 313; ++x)
        if (menu.seen(x, y)) sum += y, ++n;
    ASSERT_GT(n, 100) << "label " << k;
    EXPECT_NEAR(sum / n, 21 + 32 * k, 4) << "label " << k;
  }
  // Shadows: the higher an object hops, the larger the cell number and the
  // smaller its shadow.
  Pixels sh = Load("shadows.png");
  ASSERT_EQ(sh.w, 192);
  for (int i = 1; i < 11; ++i)
    EXPECT_LT(sh.seenIn((i % 6) * 32, (i / 6) * 32, 32, 32), sh.seenIn(((i - 1) % 6) * 32, ((i - 1) / 6) * 32, 32, 32))
        << "cell " << i;
}

TEST(PictureCatalogue, TextStandsOnCalmDarkGround) {
  auto brightest = [](const Pixels& px, int x, int y) {
    const unsigned char* p = px.at(x, y);
    return static_cast<int>(std::max({p[0], p[1], p[2]}));
  };
  // The name wheel turns its 38 letters on an ellipse round (304, 208); the
  // title picture, drawn at (144, 22) on the same screen, must leave every
  // letter's cell empty so the two never cross.
  Pixels title = Load("menutitle.png");
  ASSERT_EQ(title.w, 485);
  for (int n = 0; 9.5 * n <= 359; ++n) {
    double a = 9.5 * n * 3.14159265358979 / 180;
    int x = static_cast<int>(std::floor((19 + 17 * std::sin(a)) * 16)) - 144;
    int y = static_cast<int>(std::floor((13 + 12 * std::cos(a)) * 16)) - 22;
    int x0 = std::max(0, x), y0 = std::max(0, y), x1 = std::min(title.w, x + 17), y1 = std::min(title.h, y + 17);
    if (x0 < x1 && y0 < y1) {
      EXPECT_EQ(title.seenIn(x0, y0, x1 - x0, y1 - y0), 0) << "wheel position " << n;
    }
  }
  // The menu picture lies dimmed under the option rows, briefings and
  // score tables, which fill the screen from y 144 down: no bright hull,
  // grid or light may stand there beyond a stray lamp.
  Pixels menu = Load("menumain.png");
  ASSERT_EQ(menu.w, 640);
  int glaring = 0, total = 0;
  for (int y = 144; y < 480; ++y)
    for (int x = 0; x < 640; ++x, ++total) glaring += brightest(menu, x, y) > 150;
  EXPECT_LT(glaring, total / 500) << glaring << " bright pixels under the text";
  // The status line is written across the front layer's rows 457 to 473.
  Pixels ground = Load("layer3b.png");
  ASSERT_EQ(ground.w, 1920);
  int lightest = 0;
  for (int y = 457; y < 474; ++y)
    for (int x = 0; x < 1920; ++x) lightest = std::max(lightest, brightest(ground, x, y));
  EXPECT_LT(lightest, 100) << "stones as light as the status line's digits";
}

TEST(PictureCatalogue, ShotsBeamsAndEnemiesReadAtAGlance) {
  // The bike's shot: a bright core along the whole bolt, and the same
  // picture either way round, since shots fly left and right unmirrored.
  Pixels shot = Load("playerbullet.png");
  ASSERT_EQ(shot.w, 23);
  int hot = 0;
  for (int x = 0; x < 23; ++x) {
    const unsigned char* p = shot.at(x, 2);
    hot += p[0] >= 200 && p[1] >= 200 && p[2] >= 200;
  }
  EXPECT_GE(hot, 19);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 23; ++x) EXPECT_EQ(std::memcmp(shot.at(x, y), shot.at(22 - x, y), 3), 0) << x << "," << y;
  // The landing beam is nine rows of one picture added up where they
  // overlap, all nine on one spot twice in every breath: a row must be
  // faint enough that nine of them stay short of a white box.
  Pixels beam = Load("Glowing.png");
  ASSERT_EQ(beam.w, 132);
  for (int cellY : {18, 54})
    for (int ch = 0; ch < 3; ++ch) {
      double mean = 0;
      for (int x = 0; x < 132; ++x) mean += beam.at(x, cellY)[ch];
      EXPECT_LT(9 * mean / 132, 255) << "beam row at " << cellY << ", channel " << ch;
    }
  // Animated enemies (types 2 to 9) show each cell for eight frames: from
  // one cell to the next something must visibly move, not a pixel or two.
  Pixels en = Load("enemies.png");
  ASSERT_EQ(en.w, 160);
  auto cellPixel = [&](int cell, int x, int y) { return en.at((cell % 4) * 40 + x, (cell / 4) * 40 + y); };
  for (int type = 2; type <= 9; ++type) {
    int frames = type == 9 ? 7 : 4;
    for (int f = 0; f < frames; ++f) {
      int a = type * 4 + f, b = type * 4 + (f + 1) % frames;
      int changed = 0, shown = 0;
      for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
          const unsigned char *p = cellPixel(a, x, y), *q = cellPixel(b, x, y);
          bool any = (p[0] | p[1] | p[2]) || (q[0] | q[1] | q[2]);
          shown += any;
          int diff = std::max({std::abs(p[0] - q[0]), std::abs(p[1] - q[1]), std::abs(p[2] - q[2])});
          changed += any && diff > 48;
        }
      EXPECT_GT(changed * 100, shown * 12) << "type " << type << ", cells " << f << " to " << (f + 1) % frames << ": "
                                          << changed << " of " << shown << " pixels change";
    }
  }
}

// Relative luminance of a pixel, 0 (black) to 1 (white), as the eye
// weighs the three channels of linear light.
double Luminance(const unsigned char* p) {
  auto lin = [](double c) {
    c /= 255;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * lin(p[0]) + 0.7152 * lin(p[1]) + 0.0722 * lin(p[2]);
}

// Contrast of two luminances, 1 (alike) to 21 (black and white).
double Contrast(double a, double b) { return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05); }

// The landscape's mean luminance on screen row y, over every way its
// three layers can be scrolled against one another: the nearest layer
// where it is drawn, else the middle one, else the far one, else the sky
// (its picture's row y - 20 at half strength over black).
std::vector<double> BackdropLuminanceByRow() {
  Pixels sky = Load("layer4c.png");
  Pixels layers[3] = {Load("layer1b.png"), Load("layer2b.png"), Load("layer3b.png")};
  std::vector<double> rows(480, 0);
  for (int y = 0; y < 480; ++y) {
    double behind = 0;
    if (y >= 20 && sky.h == 480) {
      const unsigned char* p = sky.at(0, y - 20);
      const unsigned char half[3] = {static_cast<unsigned char>(p[0] / 2), static_cast<unsigned char>(p[1] / 2),
                                     static_cast<unsigned char>(p[2] / 2)};
      behind = Luminance(half);
    }
    for (const Pixels& layer : layers) {
      if (layer.w != 1920) continue;
      double sum = 0;
      int covered = 0;
      for (int x = 0; x < 1920; ++x)
        if (layer.seen(x, y)) sum += Luminance(layer.at(x, y)), ++covered;
      double share = covered / 1920.0;
      behind = share * (covered ? sum / covered : 0) + (1 - share) * behind;
    }
    rows[y] = behind;
  }
  return rows;
}

TEST(PictureCatalogue, EveryEnemyStandsOutFromTheLandscapeItFliesOver) {
  // An enemy must read against any stretch of landscape it crosses: its
  // mean luminance (over every pixel of every cell) against the mean of
  // the 40 rows it covers, at every height it can fly (top 32 to 412 for
  // the flying enemies, 80 to 380 for the floating mines), a contrast of
  // at least 3 to 1.
  std::vector<double> rows = BackdropLuminanceByRow();
  auto worst = [&](double lum, int top, int bottom) {
    double least = 21;
    for (int y = top; y <= bottom; ++y) {
      double band = 0;
      for (int k = 0; k < 40; ++k) band += rows[y + k] / 40;
      least = std::min(least, Contrast(lum, band));
    }
    return least;
  };
  auto meanLuminance = [](const Pixels& px, int x0, int y0, int cells, int cols) {
    double sum = 0;
    int n = 0;
    for (int c = 0; c < cells; ++c)
      for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
          int px_ = x0 + (c % cols) * 40 + x, py = y0 + (c / cols) * 40 + y;
          if (px.seen(px_, py)) sum += Luminance(px.at(px_, py)), ++n;
        }
    return n ? sum / n : 0;
  };
  const char* const names[10] = {"spinner", "antenna pod", "jellyfish", "spring bot", "eye saucer",
                                 "bat",     "manta",       "spiked ball", "ring drone", "wasp"};
  Pixels en = Load("enemies.png");
  ASSERT_EQ(en.w, 160);
  for (int type = 0; type < 10; ++type) {
    double c = worst(meanLuminance(en, 0, type * 40, type == 9 ? 7 : 4, 4), 32, 412);
    std::printf("%-12s %.2f : 1\n", names[type], c);
    EXPECT_GE(c, 3.0) << names[type];
  }
  Pixels mine = Load("mine_new.png");
  ASSERT_EQ(mine.w, 160);
  double c = worst(meanLuminance(mine, 0, 0, 4, 4), 80, 380);
  std::printf("%-12s %.2f : 1\n", "mine", c);
  EXPECT_GE(c, 3.0) << "mine";
}

// Hue of a pixel in degrees (0 red, 120 green, 240 blue) and its chroma,
// 0 for a grey to 1 for a pure colour.
void HueAndChroma(const unsigned char* p, double* hue, double* chroma) {
  int mx = std::max({p[0], p[1], p[2]}), mn = std::min({p[0], p[1], p[2]});
  *chroma = (mx - mn) / 255.0;
  if (mx == mn) {
    *hue = 0;
    return;
  }
  double d = mx - mn, h;
  if (mx == p[0]) h = (p[1] - p[2]) / d;
  else if (mx == p[1]) h = 2 + (p[2] - p[0]) / d;
  else h = 4 + (p[0] - p[1]) / d;
  *hue = std::fmod(h * 60 + 360, 360);
}

double HuesApart(double a, double b) {
  double d = std::fabs(a - b);
  return std::min(d, 360 - d);
}

// The hue a set of pixels mostly wears: the stretch of 21 degrees of the
// hue circle that holds most of their colour, each pixel weighed by its
// chroma and greys left out, and the weighted mean hue within it; -1 when
// none of them has colour.
double DominantHue(const std::vector<const unsigned char*>& pixels, double leastChroma) {
  std::vector<double> weight(360, 0);
  for (const unsigned char* p : pixels) {
    double h, c;
    HueAndChroma(p, &h, &c);
    if (c >= leastChroma) weight[static_cast<int>(h) % 360] += c;
  }
  int best = -1;
  double most = 0;
  for (int h = 0; h < 360; ++h) {
    double sum = 0;
    for (int d = -10; d <= 10; ++d) sum += weight[(h + d + 360) % 360];
    if (sum > most) most = sum, best = h;
  }
  if (best < 0) return -1;
  double sx = 0, sy = 0;
  for (int d = -10; d <= 10; ++d) {
    int h = (best + d + 360) % 360;
    sx += weight[h] * std::cos(h * 3.14159265358979 / 180);
    sy += weight[h] * std::sin(h * 3.14159265358979 / 180);
  }
  return std::fmod(std::atan2(sy, sx) * 180 / 3.14159265358979 + 360, 360);
}

std::vector<const unsigned char*> SeenPixels(const Pixels& px, int x0, int y0, int w, int h) {
  std::vector<const unsigned char*> v;
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x)
      if (px.seen(x, y)) v.push_back(px.at(x, y));
  return v;
}

// Every pixel of every cell a flying enemy type shows.
std::vector<const unsigned char*> EnemyPixels(const Pixels& en, int type) {
  std::vector<const unsigned char*> v;
  for (int f = 0; f < (type == 9 ? 7 : 4); ++f) {
    int cell = type * 4 + f;
    std::vector<const unsigned char*> c = SeenPixels(en, (cell % 4) * 40, (cell / 4) * 40, 40, 40);
    v.insert(v.end(), c.begin(), c.end());
  }
  return v;
}

TEST(PictureCatalogue, EveryEnemyWearsAHueOfItsOwnFarFromThePlanetsViolet) {
  // The planet is violet; an enemy in the same hue melts into it whatever
  // its brightness. Each enemy's hue lies at least 40 degrees from the hue
  // of every backdrop layer, and 10 from every other enemy's, so no two
  // read as one kind.
  std::vector<double> world;
  for (const char* file : {"layer1b.png", "layer2b.png", "layer3b.png"}) {
    Pixels layer = Load(file);
    ASSERT_EQ(layer.w, 1920) << file;
    world.push_back(DominantHue(SeenPixels(layer, 0, 0, 1920, 480), 0.05));
    std::printf("%s hue %.0f\n", file, world.back());
  }
  Pixels en = Load("enemies.png");
  ASSERT_EQ(en.w, 160);
  double hue[10];
  for (int type = 0; type < 10; ++type) {
    hue[type] = DominantHue(EnemyPixels(en, type), 0.12);
    ASSERT_GE(hue[type], 0) << kEnemyNames[type] << " has no colour";
    double nearest = 180;
    for (double w : world) nearest = std::min(nearest, HuesApart(hue[type], w));
    std::printf("%-12s hue %3.0f, %3.0f degrees from the planet\n", kEnemyNames[type], hue[type], nearest);
    EXPECT_GE(nearest, 40) << kEnemyNames[type];
  }
  for (int a = 0; a < 10; ++a)
    for (int b = a + 1; b < 10; ++b)
      EXPECT_GE(HuesApart(hue[a], hue[b]), 10) << kEnemyNames[a] << " and " << kEnemyNames[b];
}

TEST(PictureCatalogue, EveryEnemyStandsOutFromTheNearRidges) {
  // The lit crests of the two nearer layers are the brightest ground an
  // enemy crosses: the eight rows under the crest line of every column, as
  // bright as their median pixel. Every enemy's mean luminance stands at
  // least 3 to 1 against each.
  Pixels en = Load("enemies.png");
  ASSERT_EQ(en.w, 160);
  for (const char* file : {"layer2b.png", "layer3b.png"}) {
    SCOPED_TRACE(file);
    Pixels layer = Load(file);
    ASSERT_EQ(layer.w, 1920);
    std::vector<double> crest;
    for (int x = 0; x < 1920; ++x) {
      int top = 0;
      while (top < 480 && !layer.seen(x, top)) ++top;
      for (int y = top; y < std::min(480, top + 8); ++y)
        if (layer.seen(x, y)) crest.push_back(Luminance(layer.at(x, y)));
    }
    ASSERT_FALSE(crest.empty());
    std::nth_element(crest.begin(), crest.begin() + crest.size() / 2, crest.end());
    double ridge = crest[crest.size() / 2];
    std::printf("%s crest luminance %.3f\n", file, ridge);
    for (int type = 0; type < 10; ++type) {
      std::vector<const unsigned char*> px = EnemyPixels(en, type);
      double mean = 0;
      for (const unsigned char* p : px) mean += Luminance(p) / px.size();
      double c = Contrast(mean, ridge);
      std::printf("  %-12s %.2f : 1\n", kEnemyNames[type], c);
      EXPECT_GE(c, 3.0) << kEnemyNames[type];
    }
  }
}

TEST(PictureCatalogue, TheEnemyShotWearsAColourNoBlastOrShardUses) {
  // A shot the player takes for a spark or a shard flying off a kill is a
  // shot he does not dodge. Its hue lies at least 40 degrees from the hue
  // of every frame of every blast and puff and of every enemy's shards, and
  // it reads as a bullet: a white-hot core inside a dark ring.
  Pixels shot = Load("Shots_Enemy.png");
  ASSERT_EQ(shot.w, 13);
  double shotHue = DominantHue(SeenPixels(shot, 0, 0, 13, 13), 0.12);
  ASSERT_GE(shotHue, 0) << "the shot has no colour";
  for (int ch = 0; ch < 3; ++ch) EXPECT_GE(shot.at(6, 6)[ch], 240) << "no white-hot core";
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 13; ++x) {
      bool rim = shot.seen(x, y) && (x == 0 || y == 0 || x == 12 || y == 12 || !shot.seen(x - 1, y) ||
                                     !shot.seen(x + 1, y) || !shot.seen(x, y - 1) || !shot.seen(x, y + 1));
      if (rim) {
        EXPECT_LT(Luminance(shot.at(x, y)), 0.06) << "the ring is not dark at " << x << "," << y;
      }
    }
  double closest = 180;
  std::string closestTo;
  auto against = [&](const std::string& what, const std::vector<const unsigned char*>& px) {
    double h = DominantHue(px, 0.12);
    if (h < 0) return;  // all grey: smoke or a white flash
    double apart = HuesApart(shotHue, h);
    if (apart < closest) closest = apart, closestTo = what;
    EXPECT_GE(apart, 40) << what << " wears hue " << h << ", the shot " << shotHue;
  };
  for (const char* file : {"explosion.png", "explosion2.png", "poof.png"}) {
    const PictureEntry& e = FileEntry(file);
    Pixels px = Load(file);
    ASSERT_EQ(px.w, e.width) << file;
    int cols = e.width / e.cellWidth;
    for (int cell = 0; cell < e.cells; ++cell)
      against(std::string(file) + " frame " + std::to_string(cell),
              SeenPixels(px, (cell % cols) * e.cellWidth, (cell / cols) * e.cellHeight, e.cellWidth, e.cellHeight));
  }
  Pixels frags = Load("frags.png");
  ASSERT_EQ(frags.w, 40);
  for (int type = 0; type < 10; ++type)
    against(std::string("the shards of the ") + kEnemyNames[type], SeenPixels(frags, 0, 40 * type, 40, 40));
  std::printf("enemy shot hue %.0f, %.0f degrees from the nearest (%s)\n", shotHue, closest, closestTo.c_str());
}

TEST(PictureCatalogue, BlastsSwallowTheirTargetAtOnceAndEndInSmoke) {
  // Blasts are drawn centred on a 40 x 40 target. From the second frame to
  // the fourth the fireball covers at least 70% of that square; the last
  // four frames are mostly smoke: dim greys (no colour, no channel above
  // 140) make up at least 60% of what they show.
  for (const char* file : {"explosion.png", "explosion2.png"}) {
    SCOPED_TRACE(file);
    const PictureEntry& e = FileEntry(file);
    Pixels px = Load(file);
    ASSERT_EQ(px.w, e.width);
    ASSERT_EQ(e.cellWidth, 64);
    int cols = e.width / e.cellWidth;
    for (int cell = 1; cell <= 3; ++cell) {
      int x0 = (cell % cols) * 64, y0 = (cell / cols) * 64;
      int covered = px.seenIn(x0 + 12, y0 + 12, 40, 40);
      EXPECT_GE(covered * 100, 70 * 1600) << "frame " << cell << " covers " << covered << " of the target's 1600 pixels";
    }
    for (int cell = e.cells - 4; cell < e.cells; ++cell) {
      int x0 = (cell % cols) * 64, y0 = (cell / cols) * 64;
      std::vector<const unsigned char*> shown = SeenPixels(px, x0, y0, 64, 64);
      int smoke = 0;
      for (const unsigned char* p : shown) {
        double h, c;
        HueAndChroma(p, &h, &c);
        smoke += c < 0.12 && std::max({p[0], p[1], p[2]}) <= 140;
      }
      EXPECT_GE(smoke * 100, 60 * static_cast<int>(shown.size()))
          << "frame " << cell << ": " << smoke << " of " << shown.size() << " pixels are smoke";
    }
  }
}

TEST(PictureCatalogue, CollidingPicturesKeepTheOutlinesTheGameWasRecordedWith) {
  // The bike's, the flying enemies' and the aimed shot's pictures are read
  // pixel by pixel by the collisions, and the golden records were played
  // with these outlines: their colours may change, which pixels are drawn
  // may not (or the records must be played anew).
  struct Outline {
    const char* file;
    uint64_t fingerprint;
  };
  for (Outline o : {Outline{"bike2.png", 0xedd803aa627c6c11ull}, Outline{"enemies.png", 0x52c47d065259bcb8ull},
                     Outline{"Shots_Enemy.png", 0x0c01950218875eecull}}) {
    Pixels px = Load(o.file);
    ASSERT_GT(px.w, 0) << o.file;
    uint64_t h = 14695981039346656037ull;  // FNV-1a over the drawn pixels, row by row
    for (int y = 0; y < px.h; ++y)
      for (int x = 0; x < px.w; ++x) h = (h ^ (px.seen(x, y) ? 1u : 0u)) * 1099511628211ull;
    EXPECT_EQ(h, o.fingerprint) << o.file << std::hex << ": 0x" << h;
  }
}

TEST(PictureCatalogue, ExplosionsBurstIntoClustersOfAFewFlatColours) {
  // The second half of a blast is glowing matter flying apart, drawn as
  // pixel clusters in a few flat steps of its hot ramp: an airbrushed
  // cloud of hundreds of shades reads as smoke against the crisp sprites.
  struct Strip {
    const char* file;
    int firstLate;
  };
  for (Strip strip : {Strip{"explosion.png", 8}, Strip{"explosion2.png", 7}}) {
    SCOPED_TRACE(strip.file);
    const PictureEntry& e = FileEntry(strip.file);
    Pixels px = Load(strip.file);
    ASSERT_EQ(px.w, e.width);
    int cols = e.width / e.cellWidth;
    for (int cell = strip.firstLate; cell < e.cells; ++cell) {
      std::set<std::vector<unsigned char>> colours;
      int x0 = (cell % cols) * e.cellWidth, y0 = (cell / cols) * e.cellHeight;
      for (int y = y0; y < y0 + e.cellHeight; ++y)
        for (int x = x0; x < x0 + e.cellWidth; ++x)
          if (px.seen(x, y)) colours.insert(std::vector<unsigned char>(px.at(x, y), px.at(x, y) + 3));
      EXPECT_GT(colours.size(), 0u) << "cell " << cell << " is empty";
      EXPECT_LE(colours.size(), 40u) << "cell " << cell << " is airbrushed";
    }
  }
}

TEST(PictureCatalogue, EffectsAndSpritesFadeOutInsideTheirCells) {
  // Anything that reaches a cell's border is cut off in a straight line on
  // screen (or bleeds into the neighbouring cell's picture).
  for (const char* file : {"explosion.png", "explosion2.png", "poof.png", "enemies.png", "frags.png", "bouncer.png",
                           "mine_new.png", "MissileGFX.png", "shield_fx.png", "shield2.png"}) {
    SCOPED_TRACE(file);
    const PictureEntry& e = FileEntry(file);
    Pixels px = Load(file);
    ASSERT_EQ(px.w, e.width);
    int cols = e.width / e.cellWidth;
    // frags.png is cut from whole enemies: only its 40 x 40 blocks must fade out
    int bw = std::strcmp(file, "frags.png") == 0 ? 40 : e.cellWidth, bh = std::strcmp(file, "frags.png") == 0 ? 40 : e.cellHeight;
    int blocks = std::strcmp(file, "frags.png") == 0 ? 10 : e.cells;
    if (std::strcmp(file, "frags.png") == 0) cols = 1;
    for (int cell = 0; cell < blocks; ++cell) {
      int x0 = (cell % cols) * bw, y0 = (cell / cols) * bh;
      int border = px.seenIn(x0, y0, bw, 1) + px.seenIn(x0, y0 + bh - 1, bw, 1) + px.seenIn(x0, y0, 1, bh) +
                   px.seenIn(x0 + bw - 1, y0, 1, bh);
      EXPECT_EQ(border, 0) << "cell " << cell;
    }
  }
}

TEST(PictureCatalogue, FlamesStartAtTheBikesNozzleAndPads) {
  // The flames are drawn 22 pixels left of a right-facing bike (frame 3) and
  // 14 pixels right of a left-facing one (frame 0), and 0 or 4 pixels lower;
  // each flame must start where the bike has a nozzle or hover pad.
  Pixels bike = Load("bike2.png"), thrust = Load("exhaust1.png"), lift = Load("exhaust2.png");
  ASSERT_EQ(bike.w, 120);
  ASSERT_EQ(thrust.w, 124);
  ASSERT_EQ(lift.w, 124);
  auto bikeSeenNear = [&](int frame, int bx0, int bx1, int by0, int by1) {
    for (int y = std::max(0, by0); y <= std::min(54, by1); ++y)
      for (int x = std::max(0, bx0); x <= std::min(119, bx1); ++x)
        if (bike.seen(x, frame * 55 + y)) return true;
    return false;
  };
  for (int f = 0; f < 16; ++f) {
    bool right = f < 8;
    int frame = right ? 3 : 0, shift = right ? -22 : 14;
    // thrust: the flame's end nearest the bike touches the engine
    int nearX = right ? -1 : 124, nearY = 0;
    for (int y = 0; y < 61; ++y)
      for (int x = 0; x < 124; ++x)
        if (thrust.seen(x, f * 61 + y) && (right ? x > nearX : x < nearX)) nearX = x, nearY = y;
    int bx = nearX + shift;
    EXPECT_TRUE(bikeSeenNear(frame, bx - 3, bx + 3, nearY - 2, nearY + 2)) << "thrust flame " << f;
    // lift: the top of each jet sits under the hull
    int top = -1;
    for (int y = 0; y < 61 && top < 0; ++y)
      if (lift.seenIn(0, f * 61 + y, 124, 1)) top = y;
    ASSERT_GE(top, 0) << "lift flame " << f;
    for (int x = 0; x < 124; ++x) {
      if (lift.seen(x, f * 61 + top)) {
        EXPECT_TRUE(bikeSeenNear(frame, x + shift - 1, x + shift + 1, top + 4 - 6, top + 4 - 1))
            << "lift flame " << f << " at x " << x;
      }
    }
  }
}

TEST(PictureCatalogue, BackdropLayersWrapWithoutASeam) {
  // The game draws column 29 next to column 0; the join must look like any
  // other join between neighbouring columns.
  for (const char* file : {"layer1b.png", "layer2b.png", "layer3b.png"}) {
    SCOPED_TRACE(file);
    Pixels px = Load(file);
    ASSERT_EQ(px.w, 1920);
    auto stepAt = [&](int xl, int xr) {
      double sum = 0;
      for (int y = 0; y < 480; ++y)
        for (int ch = 0; ch < 3; ++ch) sum += std::abs(px.at(xl, y)[ch] - px.at(xr, y)[ch]);
      return sum / 480;
    };
    double typical = 0;
    for (int c = 1; c < 30; ++c) typical = std::max(typical, stepAt(c * 64 - 1, c * 64));
    EXPECT_LE(stepAt(1919, 0), typical * 1.5 + 2);
    // the top of each layer is open so the sky, moon and stars show through
    EXPECT_EQ(px.seenIn(0, 0, 1920, 40), 0);
  }
  // The sky behind them is drawn from just under the time bar down: it must
  // start at its very first row and darken or brighten gently from there,
  // or a band of bare space ends in a hard edge across the screen.
  Pixels sky = Load("layer4c.png");
  ASSERT_EQ(sky.h, 480);
  EXPECT_EQ(sky.seenIn(0, 0, 8, 480), 8 * 480);
  int first = *std::max_element(sky.at(0, 0), sky.at(0, 0) + 3);
  EXPECT_LT(first, 24) << "the top of the sky must pass for space";
  for (int y = 1; y < 480; ++y)
    for (int ch = 0; ch < 3; ++ch) EXPECT_LE(std::abs(sky.at(0, y)[ch] - sky.at(0, y - 1)[ch]), 4) << "row " << y;
}

TEST(PictureCatalogue, ScanlinesAreFaintAndTileEvenly) {
  for (const char* file : {"scanlines1.png", "scanlines2.png"}) {
    SCOPED_TRACE(file);
    Pixels px = Load(file);
    ASSERT_GT(px.w, 0);
    double alpha = 0;
    for (int y = 0; y < px.h; ++y)
      for (int x = 0; x < px.w; ++x) alpha += px.at(x, y)[3];
    alpha /= 255.0 * px.w * px.h;
    EXPECT_GT(alpha, 0.02) << "no lines at all";
    EXPECT_LT(alpha, 0.3) << "the overlay would darken the screen too much";
    // tiles stack vertically: the first and last rows must differ, or two
    // lines (or two gaps) would meet at every seam
    EXPECT_NE(px.at(0, 0)[3], px.at(0, px.h - 1)[3]);
  }
}

TEST(PictureCatalogue, TimeBarSlotIsClearWhereTheBarIsStretched) {
  // The time-left bar is drawn into (126, 8), 500 x 16, over this picture.
  Pixels px = Load("timebar.png");
  ASSERT_EQ(px.w, 640);
  EXPECT_EQ(px.seenIn(126, 8, 500, 16), 0);
  Pixels bar = Load("timebar2.png");
  ASSERT_EQ(bar.h, 16);
  EXPECT_EQ(bar.seenIn(0, 0, 1, 16), 16) << "the bar itself must have no see-through pixels";
}

// --- the generator's toolkit ---------------------------------------------------

std::filesystem::path Scratch(const char* name) {
  return std::filesystem::temp_directory_path() / (std::string("picture_catalogue_test_") + name);
}

std::vector<char> Bytes(const std::filesystem::path& p) {
  std::vector<char> v;
  if (FILE* f = std::fopen(p.c_str(), "rb")) {
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) v.insert(v.end(), buf, buf + n);
    std::fclose(f);
  }
  return v;
}

TEST(PictureToolkit, OpaqueOutputKeepsBlackForTheBackgroundOnly) {
  pic::Canvas c(4, 1);
  c.put(0, 0, pic::Col{0, 0, 0, 0});        // background
  c.put(1, 0, pic::rgb(0, 0, 0));           // drawn black: must stay visible
  c.put(2, 0, pic::rgb(200, 100, 50, 0.4f));  // mostly uncovered edge
  c.put(3, 0, pic::rgb(200, 100, 50, 0.6f));  // mostly covered edge
  std::vector<uint8_t> hard = pic::toRgb(c, pic::Edge::Hard);
  EXPECT_EQ(std::vector<uint8_t>(hard.begin(), hard.begin() + 3), (std::vector<uint8_t>{0, 0, 0}));
  EXPECT_EQ(std::vector<uint8_t>(hard.begin() + 3, hard.begin() + 6), (std::vector<uint8_t>{1, 1, 1}));
  EXPECT_EQ(std::vector<uint8_t>(hard.begin() + 6, hard.begin() + 9), (std::vector<uint8_t>{0, 0, 0}));
  EXPECT_EQ(std::vector<uint8_t>(hard.begin() + 9, hard.end()), (std::vector<uint8_t>{200, 100, 50}));
  // Light pictures add onto the screen: their colour is the light itself,
  // and a glow too faint to see fades to the background instead of a speck.
  pic::Canvas g(2, 1);
  g.add(0, 0, pic::rgb(255, 128, 0), 0.5f);
  g.add(1, 0, pic::rgb(255, 255, 255), 0.005f);
  std::vector<uint8_t> glow = pic::toRgb(g, pic::Edge::Glow);
  EXPECT_NEAR(glow[0], 128, 1);
  EXPECT_NEAR(glow[1], 64, 1);
  EXPECT_EQ(glow[2], 0);
  EXPECT_EQ(std::vector<uint8_t>(glow.begin() + 3, glow.end()), (std::vector<uint8_t>{0, 0, 0}));
}

TEST(PictureToolkit, ShapesCoverExactlyTheirPixels) {
  // Rectangles on whole pixels cover exactly their pixels, fully: sprites
  // rely on this for their pixel-exact collisions.
  pic::Canvas c(10, 10);
  c.rect(2, 3, 4, 5, pic::rgb(255, 0, 0));
  int full = 0, touched = 0;
  for (const pic::Col& p : c.px) full += p.a == 1.0f, touched += p.a > 0;
  EXPECT_EQ(full, 20);
  EXPECT_EQ(touched, 20);
  EXPECT_EQ(c.get(2, 3).a, 1.0f);
  EXPECT_EQ(c.get(5, 7).a, 1.0f);
  EXPECT_EQ(c.get(6, 7).a, 0.0f);
  // A concave outline (an arrow) is filled inside its notch and not outside.
  std::vector<float> arrow = {0, 5, 5, 0, 5, 3, 10, 3, 10, 7, 5, 7, 5, 10};
  EXPECT_LT(pic::sdPoly(8, 5, arrow), 0);
  EXPECT_GT(pic::sdPoly(8, 1, arrow), 0);
  EXPECT_GT(pic::sdPoly(8, 9, arrow), 0);
  // Outlines go round the shape without painting over it; mirroring twice
  // gives the picture back.
  pic::Canvas d(5, 5);
  d.put(2, 2, pic::rgb(200, 200, 200));
  d.outline(pic::rgb(10, 10, 10), 1);
  EXPECT_NEAR(d.get(2, 2).r, 200 / 255.0f, 1e-6);
  EXPECT_NEAR(d.get(1, 1).r, 10 / 255.0f, 1e-6);
  EXPECT_EQ(d.get(0, 0).a, 0.0f);
  d.put(4, 1, pic::rgb(1, 2, 3));
  pic::Canvas twice = d.mirrored().mirrored();
  for (size_t i = 0; i < d.px.size(); ++i) EXPECT_EQ(std::memcmp(&d.px[i], &twice.px[i], sizeof(pic::Col)), 0);
  EXPECT_EQ(d.mirrored().get(0, 1).a, 1.0f);
}

TEST(PictureToolkit, WriterIsRepeatableAndPalettesNeverTurnColoursTransparent) {
  // A gradient of far more than 256 colours, with dark visible pixels that a
  // careless reduction would round down to the see-through black.
  pic::Canvas c(64, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      if ((x + y) % 7) c.put(x, y, pic::rgb(x * 4, y * 4, (x * y) % 6));
  auto a = Scratch("a.png"), b = Scratch("b.png");
  ASSERT_TRUE(pic::writePng(a.string(), c, pic::Format::Palette, pic::Edge::Hard));
  ASSERT_TRUE(pic::writePng(b.string(), c, pic::Format::Palette, pic::Edge::Hard));
  EXPECT_EQ(Bytes(a), Bytes(b));
  Header hd = ReadHeader(a);
  EXPECT_EQ(hd.colourType, PNG_COLOR_TYPE_PALETTE);
  EXPECT_FALSE(hd.hasTrns);

  png_image im;
  std::memset(&im, 0, sizeof im);
  im.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&im, a.c_str()));
  im.format = PNG_FORMAT_RGB;
  std::vector<unsigned char> px(PNG_IMAGE_SIZE(im));
  ASSERT_TRUE(png_image_finish_read(&im, nullptr, px.data(), 0, nullptr));
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const unsigned char* p = &px[(static_cast<size_t>(y) * 64 + x) * 3];
      bool black = (p[0] | p[1] | p[2]) == 0;
      EXPECT_EQ(black, (x + y) % 7 == 0) << x << "," << y;
      if (!black) {
        // the reduction stays close to the drawn colour
        EXPECT_NEAR(p[0], x * 4, 20);
        EXPECT_NEAR(p[1], y * 4, 20);
      }
    }
  // An RGBA picture keeps its alpha as drawn.
  pic::Canvas t(2, 1);
  t.put(1, 0, pic::rgb(10, 20, 30, 0.5f));
  ASSERT_TRUE(pic::writePng(a.string(), t, pic::Format::RGBA, pic::Edge::Hard));
  EXPECT_EQ(ReadHeader(a).colourType, PNG_COLOR_TYPE_RGB_ALPHA);
  std::filesystem::remove(a);
  std::filesystem::remove(b);
}

TEST(PictureToolkit, WrappingNoiseRepeatsAndLetteringCoversTheFontCharacters) {
  // Backdrops rely on noise that repeats after its period, octave by octave.
  for (float x : {0.0f, 3.3f, 17.9f})
    for (float y : {0.2f, 5.5f}) EXPECT_NEAR(pic::fbm(x, y, 9, 4, 24), pic::fbm(x + 24, y, 9, 4, 24), 1e-5);
  EXPECT_NE(pic::fbm(3.3f, 0.2f, 9, 4, 0), pic::fbm(27.3f, 0.2f, 9, 4, 0));
  // Every character the game's font shows has a built-in glyph (upper case
  // maps to lower), the pound sign included, as UTF-8 lettering.
  const char32_t charset[] = U" !<>;#,\u00a3+*/0123456789:.-()?'abcdefghijklmnopqrstuvwxyz&";
  for (const char32_t* ch = charset; *ch; ++ch) EXPECT_NE(pic::glyph5x7(*ch), nullptr) << static_cast<unsigned>(*ch);
  EXPECT_EQ(pic::glyph5x7(U'Q'), pic::glyph5x7(U'q'));
  pic::Canvas c(12, 7);
  EXPECT_EQ(c.text("\u00a3", 0, 0, 1, pic::rgb(255, 255, 255)), 5);  // one glyph, not two bytes
  EXPECT_EQ(pic::Canvas::textWidth("ab", 2), 22);
}

}  // namespace

namespace {

TEST(PictureToolkit, LargeLetteringKeepsEveryLetterAndDigitApart) {
  // The title and the menu and message pictures spell their words in the
  // large lettering: the 5 x 7 glyphs enlarged and smoothed twice, four
  // times the area of the font's letters. Every pair of letters and digits
  // must differ in at least the font's 12 pixels, four times over.
  const std::string chars = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::vector<std::vector<bool>> masks;
  for (char ch : chars) {
    pic::Canvas c(24, 28);
    c.bigText(std::string(1, ch), 0, 0, 4, 0, [](float, float) { return pic::rgb(255, 255, 255); });
    std::vector<bool> m(c.px.size());
    for (size_t k = 0; k < m.size(); ++k) m[k] = c.px[k].a >= 0.5f;
    masks.push_back(m);
  }
  int closest = 1 << 20;
  for (size_t i = 0; i < chars.size(); ++i)
    for (size_t j = i + 1; j < chars.size(); ++j) {
      int apart = 0;
      for (size_t k = 0; k < masks[i].size(); ++k) apart += masks[i][k] != masks[j][k];
      closest = std::min(closest, apart);
      EXPECT_GE(apart, 48) << "'" << chars[i] << "' and '" << chars[j] << "' differ in " << apart << " pixels";
    }
  std::printf("closest pair in the large lettering: %d pixels apart\n", closest);
}

}  // namespace
