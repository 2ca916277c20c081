// The records of one household in one rubric file, kept as a load read them,
// so that the next person of the household is added up from them instead of
// reading the file again (the persons of a household follow each other in
// client-code order, and each person's load reads the whole household).
//
// A run enables the copy for a pass (the rubric files do not change from the
// pass's point of view: its reads share one read transaction at a time, and
// it writes none of them); the loader records what a load reads and what it
// left in the file's record buffer, and takes the copy only while that buffer
// still holds exactly that (no other read of the file came between). The
// copy owns its bytes; its storage grows to the largest household seen and is
// reused, so a pass allocates only when a larger household comes. Nothing
// here fails.
#ifndef VZ_SRC_SELECTION_HOUSEHOLD_RECORDS_H_
#define VZ_SRC_SELECTION_HOUSEHOLD_RECORDS_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "src/db/file_id.h"

namespace vz::selection {

class HouseholdRecords {
 public:
  static constexpr size_t kHouseholdWidth = 8;

  bool enabled() const { return enabled_; }
  void SetEnabled(bool enabled) {
    enabled_ = enabled;
    Forget();
  }
  void Forget() { complete_ = false; }

  // True when the records of `household` in `file` are held and the file's
  // record buffer (`buffer`, `size` bytes) still holds what their load left.
  bool Holds(db::FileId file, std::string_view household, const uint8_t* buffer,
             size_t size) const {
    return household == HeldHousehold() && LeftInBuffer(file, buffer, size);
  }

  // True when a load of `household` in `file` may start on the record the
  // last load stopped on instead of searching for it: that load, of a
  // household that sorts before `household`, stopped on a record of
  // `household` (`stopped_on` is its household code, read from the buffer),
  // and the record buffer (`buffer`, `size` bytes) still holds that record.
  // Every record before it then sorts before `household`: a search would
  // stop on that same record.
  bool StoppedOn(db::FileId file, std::string_view household, std::string_view stopped_on,
                 const uint8_t* buffer, size_t size) const {
    return !household.empty() && stopped_on == household && HeldHousehold() < household &&
           LeftInBuffer(file, buffer, size);
  }

  // A new load of `household` in `file`, whose records are `record_size`
  // bytes; what was held is forgotten.
  void Start(db::FileId file, std::string_view household, size_t record_size) {
    complete_ = false;
    file_ = file;
    household_size_ = household.size() < kHouseholdWidth ? household.size() : kHouseholdWidth;
    std::memcpy(household_, household.data(), household_size_);
    record_size_ = record_size;
    count_ = 0;
  }
  // One record of the load, in the order read.
  void Add(const uint8_t* record) {
    const size_t end = (count_ + 1) * record_size_;
    if (records_.size() < end) records_.resize(end);
    std::memcpy(records_.data() + count_ * record_size_, record, record_size_);
    ++count_;
  }
  // The load is over; `buffer` holds what it left in the record buffer.
  void Finish(const uint8_t* buffer) {
    after_.assign(buffer, buffer + record_size_);
    complete_ = true;
  }

  size_t count() const { return count_; }
  // Record `i` (from 0) of the load; its bytes may be read and written.
  uint8_t* Record(size_t i) { return records_.data() + i * record_size_; }

 private:
  std::string_view HeldHousehold() const { return {household_, household_size_}; }
  // True when the last load of `file` is complete and the file's record
  // buffer (`buffer`, `size` bytes) still holds what it left there.
  bool LeftInBuffer(db::FileId file, const uint8_t* buffer, size_t size) const {
    return enabled_ && complete_ && file == file_ && size == record_size_ &&
           std::memcmp(buffer, after_.data(), size) == 0;
  }

  bool enabled_ = false;
  bool complete_ = false;
  db::FileId file_{};
  char household_[kHouseholdWidth] = {};
  size_t household_size_ = 0;
  size_t record_size_ = 0;
  size_t count_ = 0;
  std::vector<uint8_t> records_;
  std::vector<uint8_t> after_;
};

}  // namespace vz::selection

#endif  // VZ_SRC_SELECTION_HOUSEHOLD_RECORDS_H_
