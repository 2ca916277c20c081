// Adds of a batch on a PostgreSQL data file: held, then sent many at once.
// A batch that adds thousands of records (a selection's SELECTES file, an
// import, a copy) would otherwise cost one round trip to the server per
// record. Each held add already has its record number, taken from the
// table's sequence in blocks (a block serves this batch only: numbers left
// at its end are dropped, so that a record added later never gets a smaller
// number); the held records go in one INSERT of arrays (unnest), in binary.
#include <algorithm>
#include <cstring>

#include "platform/engine/pg_data_file.h"

namespace vz::engine {
namespace {

// The most adds held before they are sent, and the sizes of the blocks of
// record numbers reserved (the first small, for batches of a few records).
constexpr std::size_t kMostHeld = 1024;
constexpr int kFirstBlock = 16;
constexpr int kLargestBlock = 1024;

// Type numbers of the server's int8 and bytea, for binary arrays.
constexpr uint32_t kInt8Oid = 20;
constexpr uint32_t kByteaOid = 17;

void PutUint32(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    out.push_back(static_cast<char>((value >> shift) & 0xFF));
  }
}

void PutInt64(std::string& out, int64_t value) {
  const uint64_t bits = static_cast<uint64_t>(value);
  for (int shift = 56; shift >= 0; shift -= 8) {
    out.push_back(static_cast<char>((bits >> shift) & 0xFF));
  }
}

// The head of a one-dimension binary array of `count` elements of `oid`.
std::string ArrayHead(uint32_t oid, std::size_t count) {
  std::string out;
  PutUint32(out, 1);  // dimensions
  PutUint32(out, 0);  // no nulls
  PutUint32(out, oid);
  PutUint32(out, static_cast<uint32_t>(count));
  PutUint32(out, 1);  // lower bound
  return out;
}

void PutElement(std::string& out, std::string_view bytes) {
  PutUint32(out, static_cast<uint32_t>(bytes.size()));
  out.append(bytes.data(), bytes.size());
}

}  // namespace

int64_t PgDataFile::HoldAdd(const std::string& data, const std::vector<std::string>& keys,
                            const Attempts& attempts) {
  if (next_reserved_ >= reserved_.size()) {
    const int block = reserved_.empty()
                          ? kFirstBlock
                          : std::min(static_cast<int>(reserved_.size()) * 2, kLargestBlock);
    reserved_.clear();
    next_reserved_ = 0;
    const std::string table = Table();
    PgParams params;
    params.Bytes(table);
    PgResult numbers =
        Run(Numbered("reserve_", file_no_) + Numbered("_", block),
            "SELECT nextval(pg_get_serial_sequence($1::text, 'recno')) FROM generate_series(1, " +
                std::to_string(block) + ")",
            params, attempts, "write not done");
    if (numbers == nullptr) return 0;
    for (int row = 0; row < PQntuples(numbers.get()); ++row) {
      reserved_.push_back(PgInt64(numbers.get(), row, 0));
    }
    if (reserved_.empty()) return 0;
  }
  HeldAdd add;
  add.recno = reserved_[next_reserved_++];
  add.data = Stored(data);
  add.keys = keys;
  held_.push_back(std::move(add));
  Wrote();
  const int64_t recno = held_.back().recno;
  if (held_.size() >= kMostHeld && !SendHeldAdds(attempts)) return 0;
  return recno;
}

bool PgDataFile::SendHeldAdds(const Attempts& attempts) {
  if (held_.empty()) return true;
  const std::size_t n = held_.size();
  std::string recnos = ArrayHead(kInt8Oid, n);
  std::string datas = ArrayHead(kByteaOid, n);
  std::vector<std::string> keys(key_rules_.size());
  for (std::string& k : keys) k = ArrayHead(kByteaOid, n);
  for (const HeldAdd& add : held_) {
    PutUint32(recnos, 8);
    PutInt64(recnos, add.recno);
    PutElement(datas, add.data);
    for (std::size_t i = 0; i < keys.size(); ++i) PutElement(keys[i], add.keys[i]);
  }
  held_.clear();
  std::string sql = "INSERT INTO " + Table() + "(" + Columns() +
                    ") OVERRIDING SYSTEM VALUE SELECT * FROM unnest($1::int8[], $2::bytea[]";
  PgParams params;
  params.Bytes(recnos);
  params.Bytes(datas);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    sql += Numbered(", $", static_cast<long long>(i + 3)) + "::bytea[]";
    params.Bytes(keys[i]);
  }
  sql += ")";
  PgResult added = Run(Numbered("adds_", file_no_), sql, params, attempts, "write not done");
  if (added == nullptr) return false;
  batch_added_ += static_cast<int64_t>(n);
  return true;
}

void PgDataFile::DropHeldAdds() {
  held_.clear();
  reserved_.clear();
  next_reserved_ = 0;
}

}  // namespace vz::engine
