// The registry of embedded files and the resolution of load paths.
#include <cstdio>
#include <map>

#include "runtime/internal.h"

namespace {

struct Entry {
  std::vector<uint8_t> copy;  // empty for bytes registered in place
  const uint8_t* data = nullptr;
  size_t size = 0;
};

std::map<String, Entry>& Registry() {
  static std::map<String, Entry> files;
  return files;
}

const String kProtocol = u"incbin::";

bool HasProtocol(const String& path) {
  if (path.size() < kProtocol.size()) return false;
  for (size_t i = 0; i < kProtocol.size(); ++i) {
    char16_t c = path[i];
    if (c >= u'A' && c <= u'Z') c += 32;
    if (c != kProtocol[i]) return false;
  }
  return true;
}

}  // namespace

void IncbinRegister(const String& name, const void* data, size_t size) {
  auto& files = Registry();
  if (files.count(name)) return;  // the first registration stays in force
  Entry& e = files[name];
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  if (bytes) e.copy.assign(bytes, bytes + size);
  e.data = e.copy.data();
  e.size = e.copy.size();
}

void IncbinRegisterInPlace(const String& name, const void* data, size_t size) {
  auto& files = Registry();
  if (files.count(name)) return;
  Entry& e = files[name];
  e.data = static_cast<const uint8_t*>(data);
  e.size = data ? size : 0;
}

bool IncbinLookup(const String& name, const void** data, size_t* size) {
  auto& files = Registry();
  auto it = files.find(name);
  if (it == files.end()) return false;
  if (data) *data = it->second.data;
  if (size) *size = it->second.size;
  return true;
}

void IncbinClear() { Registry().clear(); }

namespace rt {

String EmbeddedName(const String& path) {
  return HasProtocol(path) ? path.substr(kProtocol.size()) : String();
}

std::string FileNameOf(const String& path) {
  const std::string file = StringToAscii(path);
  return file.substr(file.find_last_of("\\/:") + 1);
}

}  // namespace rt

bool ReadResourceBytes(const String& path, std::vector<uint8_t>* out) {
  if (!out) return false;
  out->clear();
  if (HasProtocol(path)) {
    const void* data = nullptr;
    size_t size = 0;
    if (!IncbinLookup(path.substr(kProtocol.size()), &data, &size)) return false;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    out->assign(bytes, bytes + size);
    return true;
  }
  if (path.empty()) return false;
  FILE* f = std::fopen(StringToUtf8(path).c_str(), "rb");
  if (!f) return false;
  uint8_t buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out->insert(out->end(), buffer, buffer + n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  if (!ok) out->clear();
  return ok;
}
