// The check that every record of a PostgreSQL data file of format 2 expands
// (the compact form itself: DataFile::Stored and ExpandStored,
// record_codec.h). A record that does not expand is damage of the file,
// reported with its record number.
#include "platform/engine/pg_data_file.h"
#include "platform/engine/record_codec.h"

namespace vz::engine {
namespace {

constexpr int kCheckSlice = 512;

}  // namespace

bool PgDataFile::CheckRecordsExpand(const std::function<void(std::string)>& problem) {
  if (!compact()) return true;
  const std::string select = "SELECT recno, data FROM " + Table() +
                             " WHERE recno > $1 ORDER BY recno" + Numbered(" LIMIT ", kCheckSlice);
  bool sound = true;
  int64_t last = 0;
  std::string record;
  for (;;) {
    PgParams after;
    after.Int64(last);
    PgResult slice =
        Run(Numbered("check_read_", file_no_), select, after, Attempts{}, "cannot be checked");
    if (slice == nullptr) {
      problem(last_error());
      return false;
    }
    const int rows = PQntuples(slice.get());
    if (rows == 0) return sound;
    for (int row = 0; row < rows; ++row) {
      last = PgInt64(slice.get(), row, 0);
      const CompactFault fault = ExpandRecord(PgBytes(slice.get(), row, 1), &record);
      if (fault != CompactFault::kNone) {
        problem(DamagedRecordReport(last, fault));
        sound = false;
      }
    }
  }
}

}  // namespace vz::engine
