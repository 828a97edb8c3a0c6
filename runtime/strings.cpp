// Strings of 16-bit characters, arrays of strings and the conversions to and
// from 8-bit text.
#include <cstdlib>
#include <cstring>

#include "runtime/internal.h"

String StringConcat(const String& a, const String& b) {
  String r;
  r.reserve(a.size() + b.size());
  r += a;
  r += b;
  return r;
}

String StringFromInt(int32_t v) {
  // Work in 64 bits so the most negative value has a positive magnitude.
  int64_t n = v;
  bool negative = n < 0;
  if (negative) n = -n;
  char16_t digits[12];
  int len = 0;
  do {
    digits[len++] = static_cast<char16_t>(u'0' + n % 10);
    n /= 10;
  } while (n > 0);
  String r;
  if (negative) r += u'-';
  while (len > 0) r += digits[--len];
  return r;
}

String StringFromAscii(const char* text) {
  String r;
  if (!text) return r;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) r += static_cast<char16_t>(*p);
  return r;
}

std::string StringToAscii(const String& s) {
  std::string r;
  r.reserve(s.size());
  for (char16_t c : s) r += static_cast<char>(c & 0xFF);
  return r;
}

int StringCompare(const String& a, const String& b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    if (a[i] != b[i]) return static_cast<int>(a[i]) - static_cast<int>(b[i]);
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

int StringFind(const String& text, const String& what, int start) {
  if (start < 0) start = 0;
  if (static_cast<size_t>(start) > text.size()) return -1;
  size_t at = text.find(what, static_cast<size_t>(start));
  return at == String::npos ? -1 : static_cast<int>(at);
}

String StringFromChar(int code) { return String(1, static_cast<char16_t>(code & 0xFFFF)); }

String SubstringAt(const String& text, int position, int count) {
  // A position before the first character eats into the count, as if the
  // text had empty places in front of it.
  int64_t pos = position;
  int64_t n = count;
  if (pos < 1) {
    n += pos - 1;
    pos = 1;
  }
  if (n <= 0 || pos > static_cast<int64_t>(text.size())) return String();
  return text.substr(static_cast<size_t>(pos - 1), static_cast<size_t>(n));
}

String LeadingChars(const String& text, int n) {
  if (n <= 0) return String();
  return text.substr(0, static_cast<size_t>(n));
}

String TrailingChars(const String& text, int n) {
  if (n <= 0) return String();
  size_t want = static_cast<size_t>(n);
  if (want <= text.size()) return text.substr(text.size() - want);
  return String(want - text.size(), u' ') + text;
}

String ReplaceText(const String& text, const String& what, const String& with) {
  // Nothing to look for means nothing to replace (and no endless loop).
  if (what.empty()) return text;
  String r;
  size_t from = 0;
  for (;;) {
    size_t at = text.find(what, from);
    if (at == String::npos) break;
    r.append(text, from, at - from);
    r += with;
    from = at + what.size();
  }
  r.append(text, from, String::npos);
  return r;
}

namespace {

char16_t LowerChar(char16_t c) {
  if (c >= u'A' && c <= u'Z') return c + 32;
  if (c < 192) return c;
  // Latin-1: À..Þ except the multiplication sign.
  if (c <= 0xDE) return c == 0xD7 ? c : c + 32;
  // Latin Extended-A: mostly pairs, capital on the even code.
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return (c & 1) ? c : c + 1;
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c + 1 : c;
  if (c == 0x178) return 0xFF;
  // Greek capitals.
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;
  if (c == 0x386) return 0x3AC;
  if (c >= 0x388 && c <= 0x38A) return c + 37;
  if (c == 0x38C) return 0x3CC;
  if (c == 0x38E || c == 0x38F) return c + 63;
  // Cyrillic capitals.
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  return c;
}

}  // namespace

String LowerCaseText(const String& text) {
  String r(text);
  for (char16_t& c : r) c = LowerChar(c);
  return r;
}

char* StringToCString(const String& s) {
  char* block = static_cast<char*>(std::malloc(s.size() + 1));
  if (!block) return nullptr;
  for (size_t i = 0; i < s.size(); ++i) block[i] = static_cast<char>(s[i] & 0xFF);
  block[s.size()] = 0;
  return block;
}

String StringFromCString(const char* block) { return StringFromAscii(block); }

void MemFree(void* block) { std::free(block); }

StringArray ArrayNew(const String& elementType, int count) {
  (void)elementType;  // only arrays of text are made
  return StringArray(count > 0 ? static_cast<size_t>(count) : 0);
}

// A pair of surrogates is one character; a lone half of a pair is written as
// the three bytes its code would take, so every text has a name.
std::string StringToUtf8(const String& s) {
  std::string r;
  r.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    uint32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    }
    if (c < 0x80) {
      r += static_cast<char>(c);
    } else if (c < 0x800) {
      r += static_cast<char>(0xC0 | (c >> 6));
      r += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      r += static_cast<char>(0xE0 | (c >> 12));
      r += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      r += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      r += static_cast<char>(0xF0 | (c >> 18));
      r += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      r += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      r += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return r;
}
