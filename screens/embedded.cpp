// Registration of the pictures and sounds compiled into the program. The
// table of rows (name, first byte, length) comes from res/, one row per file
// of the catalogue, in the order the files are laid out there.
#include <cstddef>
#include <cstdint>

#include "screens/screens.h"

namespace {
struct EmbeddedRow {
  const char* name;
  const unsigned char* data;
  uint64_t size;
};
}  // namespace

extern "C" const EmbeddedRow novares_rows[];
extern "C" const uint64_t novares_row_count;

void RegisterEmbeddedFiles() {
  for (uint64_t i = 0; i < novares_row_count; ++i) {
    const EmbeddedRow& row = novares_rows[i];
    // The bytes are part of the program: registered where they lie.
    IncbinRegisterInPlace(StringConcat(u"res\\", StringFromAscii(row.name)), row.data,
                          static_cast<size_t>(row.size));
  }
}
