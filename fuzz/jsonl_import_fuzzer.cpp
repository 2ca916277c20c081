// The JSON Lines import's reading of records (tools/datatool/json_record.h)
// on any line, for the catalogued file the first byte chooses. Besides
// crashes, it checks that a record read is written back to a line that reads
// to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "tools/datatool/json_record.h"
#include "tools/datatool/record_shape.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<vz::datatool::FileShape>& shapes = vz::datatool::CatalogueShapes();
  if (shapes.empty()) std::abort();
  vz::fuzz::FuzzInput input(data, size);
  const vz::datatool::FileShape& shape = shapes[input.Byte() % shapes.size()];
  std::vector<uint8_t> record(shape.record_size);
  std::string error;
  vz::datatool::DecodeNotes notes;
  for (std::string_view line = input.Line(); !line.empty() || !input.Rest().empty();
       line = input.Line()) {
    std::memset(record.data(), 0, record.size());
    if (!vz::datatool::DecodeRecord(shape, line, record.data(), &error, &notes)) continue;
    const std::string again = vz::datatool::EncodeRecord(shape, record.data());
    std::vector<uint8_t> reread(shape.record_size);
    if (!vz::datatool::DecodeRecord(shape, again, reread.data(), &error, &notes)) std::abort();
    const std::string first = vz::datatool::EncodeRecord(shape, reread.data());
    if (first != again) std::abort();
  }
  return 0;
}
