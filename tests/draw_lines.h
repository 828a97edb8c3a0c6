// What a frame drew, as lines of text: the draw log's events in order, each
// with its picture and frame, place, handle, colour, alpha, blend, turn and
// scale, the font's glyphs merged into their text. Both golden replays hash
// these lines, so a frame that draws anything differently, or in another
// order, shows as the first frame that differs, with what it drew.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/headless.h"
#include "runtime/runtime.h"
#include "services/fonttext.h"

namespace drawlines {

// A float as the shortest plain text that reads back as the same float, so
// no bit of it is lost.
inline std::string Num(float v) {
  char buf[32];
  for (int digits = 1; digits < 9; ++digits) {
    std::snprintf(buf, sizeof buf, "%.*g", digits, static_cast<double>(v));
    if (std::strtof(buf, nullptr) == v && !std::strchr(buf, 'e')) return buf;
  }
  std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(v));
  return buf;
}

inline std::string Pair(float a, float b) { return Num(a) + "," + Num(b); }

inline std::string StateText(const DrawState& s) {
  std::string t = " rgb " + std::to_string(s.red) + "," + std::to_string(s.green) + "," + std::to_string(s.blue) +
                  " alpha " + Num(s.alpha) + (s.blend == BlendMode::Light ? " light" : " alpha-blend");
  if (s.rotation != 0) t += " turned " + Num(s.rotation);
  if (s.scaleX != 1 || s.scaleY != 1) t += " scaled " + Pair(s.scaleX, s.scaleY);
  return t;
}

inline bool SameState(const DrawState& a, const DrawState& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// A frame's size and, when it has one, the picture's handle.
inline std::string FrameBox(const DrawEvent& e) {
  std::string t = Num(e.width) + "x" + Num(e.height);
  if (e.handleX != 0 || e.handleY != 0) t += " handle " + Pair(e.handleX, e.handleY);
  return t;
}

inline std::string PictureText(const DrawEvent& e) {
  return (e.picture.empty() ? "(made)" : e.picture) + ":" + std::to_string(e.frame) + " " + FrameBox(e);
}

inline bool IsGlyph(const DrawEvent& e) { return e.kind == DrawEvent::Kind::Image && e.picture == "font.png"; }

// A glyph's cell as its character; a cell no character maps to alone (the
// cells "#" shares, or one past the charset) as {cell}.
inline std::string GlyphText(int cell) {
  if (cell >= 0 && static_cast<size_t>(cell) < FontCharset.size()) {
    const char16_t c = FontCharset[static_cast<size_t>(cell)];
    if (c >= 0x20 && c < 0x7F && c != u'{' && FontCharset.find(c) == static_cast<size_t>(cell))
      return std::string(1, static_cast<char>(c));
  }
  // Built by appending: g++ 12 at -O3 takes "{" + ... for an overlapping copy.
  std::string text = "{";
  text += std::to_string(cell);
  text += '}';
  return text;
}

// The draw events of one frame as lines. Glyphs of the font in one row, one
// state and even steps become one line of text, with nothing lost: the
// first glyph's place and the step give every other place exactly.
inline void DrawLines(const std::vector<DrawEvent>& events, std::vector<std::string>* out) {
  for (size_t i = 0; i < events.size();) {
    const DrawEvent& e = events[i];
    if (IsGlyph(e)) {
      size_t end = i + 1;
      float step = 0;
      if (end < events.size() && IsGlyph(events[end]) && events[end].y == e.y &&
          SameState(events[end].state, e.state))
        step = events[end].x - e.x;
      std::string text = GlyphText(e.frame);
      for (float x = e.x; step != 0 && end < events.size(); ++end) {
        const DrawEvent& g = events[end];
        if (!IsGlyph(g) || g.y != e.y || !SameState(g.state, e.state) || g.x != x + step) break;
        x = g.x;
        text += GlyphText(g.frame);
      }
      out->push_back("text \"" + text + "\" at " + Pair(e.x, e.y) + (end > i + 1 ? " step " + Num(step) : "") +
                     " glyphs " + FrameBox(e) + StateText(e.state));
      i = end;
      continue;
    }
    switch (e.kind) {
      case DrawEvent::Kind::Clear: out->push_back("clear"); break;
      case DrawEvent::Kind::Image:
        out->push_back("draw " + PictureText(e) + " at " + Pair(e.x, e.y) + StateText(e.state));
        break;
      case DrawEvent::Kind::Rectangle:
        out->push_back("rectangle " + Num(e.width) + "x" + Num(e.height) + " at " + Pair(e.x, e.y) +
                       StateText(e.state));
        break;
      case DrawEvent::Kind::Grab: out->push_back("grab " + PictureText(e) + " at " + Pair(e.x, e.y)); break;
    }
    ++i;
  }
}

// The lines' hash, each line ended as if written out.
inline uint64_t Fnv1a(const std::vector<std::string>& lines) {
  uint64_t h = 0xCBF29CE484222325ull;
  for (const std::string& line : lines) {
    for (char c : line) h = (h ^ static_cast<uint8_t>(c)) * 0x100000001B3ull;
    h = (h ^ '\n') * 0x100000001B3ull;
  }
  return h;
}

}  // namespace drawlines
