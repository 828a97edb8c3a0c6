// The program's built-in data list, read value by value from a position.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "runtime/runtime.h"

namespace {

struct DataList {
  std::vector<DataValue> values;
  std::map<std::string, size_t> labels;
  size_t position = 0;
};

DataList& Data() {
  static DataList d;
  return d;
}

String NumberText(double v) {
  if (std::isnan(v)) return u"nan";
  if (v == std::floor(v) && std::fabs(v) < 1e15) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(v));
    return StringFromAscii(buf);
  }
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.9g", v);
  return StringFromAscii(buf);
}

}  // namespace

DataValue DataText(const char* text) { return DataValue{true, StringFromAscii(text), 0.0}; }

DataValue DataNumber(double number) { return DataValue{false, String(), number}; }

void SetProgramData(std::vector<DataValue> values, std::vector<std::pair<std::string, size_t>> labels) {
  DataList& d = Data();
  d.values = std::move(values);
  d.labels.clear();
  for (auto& [name, index] : labels) d.labels.emplace(name, index);
  d.position = 0;
}

void RestoreData(const std::string& label) {
  DataList& d = Data();
  auto it = d.labels.find(label);
  // An unknown label leaves nothing to read rather than the wrong table.
  d.position = it == d.labels.end() ? d.values.size() : it->second;
}

void RestoreDataIndex(size_t index) { Data().position = index; }

size_t DataReadPosition() { return Data().position; }

String TaggedValueToString() {
  DataList& d = Data();
  if (d.position >= d.values.size()) return String();
  const DataValue& v = d.values[d.position++];
  return v.isText ? v.text : NumberText(v.number);
}

double TaggedValueToNumber() {
  DataList& d = Data();
  if (d.position >= d.values.size()) return 0;
  const DataValue& v = d.values[d.position++];
  if (!v.isText) return v.number;
  std::string text = StringToAscii(v.text);
  return std::strtod(text.c_str(), nullptr);
}
