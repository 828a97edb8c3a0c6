// Files and little-endian streams.
#include <cstdio>
#include <unistd.h>

#include "runtime/internal.h"

struct TStream {
  FILE* file = nullptr;
  bool writing = false;
  bool failed = false;  // a read ran past the end, or a write did not go through
};

namespace {

TStream* Open(const String& name, const char* mode, bool writing) {
  if (name.empty()) return nullptr;
  FILE* f = std::fopen(StringToUtf8(name).c_str(), mode);
  if (!f) return nullptr;
  TStream* s = new TStream;
  s->file = f;
  s->writing = writing;
  return s;
}

int ReadByte(TStream* s) {
  if (!s || !s->file || s->writing) return EOF;
  return std::fgetc(s->file);
}

void WriteBytes(TStream* s, const void* data, size_t n) {
  if (!s || !s->file) return;
  if (!s->writing || std::fwrite(data, 1, n, s->file) != n) s->failed = true;
}

// Flushes and closes; true when every byte reached the file.
bool Finish(TStream* s, bool sync) {
  if (!s) return false;
  bool ok = !s->failed;
  if (s->file) {
    if (s->writing) {
      if (std::fflush(s->file) != 0 || std::ferror(s->file)) ok = false;
      if (ok && sync && ::fsync(::fileno(s->file)) != 0) ok = false;
    }
    if (std::fclose(s->file) != 0) ok = false;
  }
  delete s;
  return ok;
}

}  // namespace

TStream* OpenFileForReading(const String& name) { return Open(name, "rb", false); }

TStream* OpenFileForWriting(const String& name) { return Open(name, "wb", true); }

void CloseFileStream(TStream* stream) { Finish(stream, false); }

bool CloseFileStreamChecked(TStream* stream) { return Finish(stream, true); }

bool StreamEof(TStream* stream) {
  if (!stream || !stream->file) return true;
  if (stream->writing) return true;  // a writer always stands at its end
  int c = std::fgetc(stream->file);
  if (c == EOF) return true;
  std::ungetc(c, stream->file);
  return false;
}

bool StreamFailed(TStream* stream) { return !stream || stream->failed; }

int32_t ReadStreamInt32(TStream* stream) {
  if (!stream) return 0;
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) {
    int c = ReadByte(stream);
    if (c == EOF) {
      stream->failed = true;
      return 0;
    }
    v |= static_cast<uint32_t>(c) << (8 * i);
  }
  return static_cast<int32_t>(v);
}

void WriteStreamInt32(TStream* stream, int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  unsigned char b[4] = {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
                        static_cast<unsigned char>(u >> 16), static_cast<unsigned char>(u >> 24)};
  WriteBytes(stream, b, 4);
}

String ReadStreamTextLine(TStream* stream) {
  String line;
  if (!stream) return line;
  int c = ReadByte(stream);
  if (c == EOF) {
    // Nothing at all was left to read.
    stream->failed = true;
    return line;
  }
  while (c != EOF && c != 10 && c != 0) {
    if (c != 13) line += static_cast<char16_t>(c);
    c = ReadByte(stream);
  }
  return line;
}

void WriteStreamTextLine(TStream* stream, const String& line) {
  std::string bytes = StringToAscii(line);
  bytes += "\r\n";
  WriteBytes(stream, bytes.data(), bytes.size());
}

bool RenameFile(const String& from, const String& to) {
  // rename() replaces the target in one step: a reader sees the old file or
  // the new one, never a half-written one.
  return std::rename(StringToUtf8(from).c_str(), StringToUtf8(to).c_str()) == 0;
}

bool DeleteFile(const String& name) { return std::remove(StringToUtf8(name).c_str()) == 0; }
