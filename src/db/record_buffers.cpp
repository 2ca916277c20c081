#include "src/db/record_buffers.h"

#include <array>
#include <memory>

#include "src/db/catalogue.h"

namespace vz::db {
namespace {

// One zeroed block for all buffers, in catalogue order, each buffer directly
// after the one before it (so the CLIENT buffer follows the CLIPART buffer).
struct Buffers {
  std::unique_ptr<uint8_t[]> block;
  std::array<uint8_t*, kFileCount> start{};
  std::array<size_t, kFileCount> size{};
};

const Buffers& AllBuffers() {
  static const Buffers buffers = [] {
    Buffers result;
    size_t total = 0;
    for (const FileDescription& file : Catalogue()) total += file.buffer_size;
    result.block = std::make_unique<uint8_t[]>(total);  // value-initialised: zero
    size_t offset = 0;
    for (const FileDescription& file : Catalogue()) {
      auto index = static_cast<size_t>(file.id);
      result.start[index] = result.block.get() + offset;
      result.size[index] = file.buffer_size;
      offset += file.buffer_size;
    }
    return result;
  }();
  return buffers;
}

}  // namespace

uint8_t* RecordBuffer(FileId file) {
  return AllBuffers().start[static_cast<size_t>(file)];
}

size_t RecordBufferSize(FileId file) {
  return AllBuffers().size[static_cast<size_t>(file)];
}

}  // namespace vz::db
