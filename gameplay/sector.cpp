// One level's world: the reset to its start, then the building of it:
// enemies in two bands off screen, the alien, scenery, the fixed
// installations and the level-scaled guns, mines and carriers.
#include "gameplay/gameplay.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace {
using Kind = StructureKind;

constexpr int kSpacing = 50;  // enemies start at least this far apart
constexpr int kBandTop = 64, kBandBottom = 400;
// Random draws allowed for one enemy's place. Past them the band is searched
// point by point; only a band with no clear point left (from about level 22,
// the left band holds about 60 enemies at the spacing) makes an enemy take
// the draw that lies farthest from its nearest neighbour.
constexpr int kPlacementTries = 400;

// Exact for every distance on the play field; far-apart points come out far
// instead of overflowing.
double DistanceSquared(int x1, int y1, int x2, int y2) {
  const double dx = static_cast<double>(static_cast<int64_t>(x1) - x2);
  const double dy = static_cast<double>(static_cast<int64_t>(y1) - y2);
  return dx * dx + dy * dy;
}

// Every point of one band, marked when it lies closer than the spacing to a
// placed enemy. Built only when the random draws run dry, and then brought up
// to date with the enemies placed since, so a full search costs one pass over
// the band rather than one distance test per point and enemy.
class BandMap {
 public:
  BandMap(int xLow, int xHigh) : xLow_(xLow), xHigh_(xHigh), width_(xHigh - xLow + 1) {}

  // The first clear point at or after (startX, startY), row by row and
  // round to the band's start; false when there is none. No random numbers
  // are used, so a replay finds the same point.
  bool FindClearPoint(const std::vector<std::pair<int, int>>& placed, int startX, int startY, int& x, int& y) {
    CatchUp(placed);
    if (clearPoints_ == 0) return false;
    const size_t size = blocked_.size();
    const size_t start = static_cast<size_t>(startY - kBandTop) * width_ + static_cast<size_t>(startX - xLow_);
    for (size_t step = 0; step < size; ++step) {
      const size_t at = (start + step) % size;
      if (blocked_[at]) continue;
      x = xLow_ + static_cast<int>(at % width_);
      y = kBandTop + static_cast<int>(at / width_);
      return true;
    }
    return false;
  }

 private:
  static constexpr int kRows = kBandBottom - kBandTop + 1;

  void CatchUp(const std::vector<std::pair<int, int>>& placed) {
    if (blocked_.empty()) {
      blocked_.assign(static_cast<size_t>(width_) * kRows, 0);
      clearPoints_ = width_ * kRows;
    }
    for (; marked_ < placed.size(); ++marked_) Mark(placed[marked_].first, placed[marked_].second);
  }

  // Blocks the points strictly closer than the spacing, as WithinDistance
  // counts them.
  void Mark(int ex, int ey) {
    const int reach = kSpacing - 1;
    const int yFrom = std::max(kBandTop, ey - reach), yTo = std::min(kBandBottom, ey + reach);
    const int xFrom = std::max(xLow_, ex - reach), xTo = std::min(xHigh_, ex + reach);
    for (int y = yFrom; y <= yTo; ++y)
      for (int x = xFrom; x <= xTo; ++x) {
        if ((x - ex) * (x - ex) + (y - ey) * (y - ey) >= kSpacing * kSpacing) continue;
        uint8_t& point = blocked_[static_cast<size_t>(y - kBandTop) * width_ + static_cast<size_t>(x - xLow_)];
        clearPoints_ -= point == 0;
        point = 1;
      }
  }

  int xLow_, xHigh_, width_;
  std::vector<uint8_t> blocked_;
  int clearPoints_ = 0;
  size_t marked_ = 0;  // enemies of `placed` already marked
};

// Places one enemy at a random point of its band, clear of every enemy placed
// so far (both bands; their positions truncated as the list holds them).
void PlaceEnemy(BandMap& band, int xLow, int xHigh, int highestType, std::vector<std::pair<int, int>>& placed) {
  int bestX = 0, bestY = 0, lastX = xLow, lastY = kBandTop;
  double bestGap = -1;
  for (int attempt = 0; attempt < kPlacementTries; ++attempt) {
    const int x = RandomIntInRange(xLow, xHigh);
    const int y = RandomIntInRange(kBandTop, kBandBottom);
    lastX = x, lastY = y;
    double gap = 1e300;  // squared distance to the nearest enemy
    for (const auto& [ex, ey] : placed) {
      gap = std::min(gap, DistanceSquared(x, y, ex, ey));
      if (gap <= bestGap) break;  // cannot beat the best draw so far
    }
    if (gap > bestGap) {
      bestGap = gap;
      bestX = x;
      bestY = y;
    }
    if (bestGap >= kSpacing * kSpacing) break;  // clear of every enemy
  }
  // The draws missed the few clear points of a crowded band: look for one,
  // starting from the last draw so the search does not pile enemies into
  // one corner.
  if (bestGap < kSpacing * kSpacing) band.FindClearPoint(placed, lastX, lastY, bestX, bestY);
  int type = RandomIntInRange(1, highestType);
  if (type == 1) type = 0;  // KEPT: the spinner takes the probe's share
  NewEnemy(bestX, bestY, static_cast<EnemyType>(type));
  placed.emplace_back(bestX, bestY);
}
}  // namespace

bool WithinDistance(int x1, int y1, int x2, int y2, int r) {
  // The squares must not wrap round: far-apart points never count as near.
  return SquareRoot(DistanceSquared(x1, y1, x2, y2)) < r;
}

void ResetSector(int level) {
  world.enemies->Clear();
  world.structures->Clear();
  world.playerBullets->Clear();
  world.explosions->Clear();
  world.enemyBullets->Clear();
  world.particles->Clear();
  world.textMessages->Clear();
  world.shieldEffects->Clear();
  world.frags->Clear();
  world.pieces->Clear();
  world.game.level = level;
  world.sector = SectorState{.aliensLeft = level + 1};
  world.bike = BikeState{};
  world.alien = AlienState{};
}

void SetupSector(int level) {
  ResetSector(level);
  ClearKeyStates();

  const int perBand = (5 * level + 10) / 2;
  const int highestType = level + 4 < 9 ? level + 4 : 9;
  std::vector<std::pair<int, int>> placed;
  placed.reserve(2 * perBand);
  BandMap leftBand(-600, -40), rightBand(640, 2400);
  for (int i = 0; i < perBand; ++i) PlaceEnemy(leftBand, -600, -40, highestType, placed);
  for (int i = 0; i < perBand; ++i) PlaceEnemy(rightBand, 640, 2400, highestType, placed);

  world.alien.x = static_cast<float>(RandomIntInRange(1000, 30000));

  // Scenery every thousand pixels, give or take a hundred.
  for (int base = 700; base <= 31700; base += 1000) {
    static constexpr Kind kSceneryKinds[5] = {Kind::Terraformer, Kind::TeslaCoil, Kind::Spire, Kind::Habitat,
                                              Kind::Spire};
    const Kind kind = kSceneryKinds[RandomIntInRange(1, 5) - 1];
    const int x = base + RandomIntInRange(-100, 100);
    CreateStructure(x, kind == Kind::TeslaCoil ? 392 : 332, kind, 0);
  }
  CreateStructure(RandomIntInRange(1000, 31000), 412, Kind::ShieldBonus, 0);
  CreateStructure(2200, 332, Kind::Terraformer, 0);
  CreateStructure(31000, 229, Kind::Statue, 0);
  CreateStructure(31180, 431, Kind::Bones, 0);
  CreateStructure(180, 392, Kind::LunarModule, 1);
  for (int b = 1; b <= 5; ++b) {
    CreateStructure(6400 * b - 5000, 332, Kind::Beacon, b);
    CreateStructure(6400 * b - 5900, 392, Kind::Teleporter, b);
  }

  const int m = perBand / 2;
  const int carriers = TruncateToInt(static_cast<float>(m) * 1.5f);
  for (int i = 0; i < 2 * m; ++i) CreateStructure(RandomIntInRange(640, 31900), 412, Kind::GroundGun, 0);
  for (int i = 0; i < 2 * m; ++i) CreateStructure(RandomIntInRange(640, 31900), 412, Kind::FiringGun, 0);
  for (int i = 0; i < 2 * m; ++i) {
    const int x = RandomIntInRange(640, 31900);
    CreateStructure(x, RandomIntInRange(80, 380), Kind::Mine, 0);
  }
  for (int i = 0; i < carriers; ++i) CreateStructure(RandomIntInRange(640, 30000), 412, Kind::CarrierLeft, 0);
  for (int i = 0; i < carriers; ++i) CreateStructure(RandomIntInRange(640, 30000), 412, Kind::CarrierRight, 0);
  SetDrawBlendMode(BlendMode::Alpha);
}
