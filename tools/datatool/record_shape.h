// The shape of one file's record as it is described to the record engine:
// the fields in record order, each with its kind, its offset, its size and,
// for runs, the number of values it holds. The data tool reads and writes
// records through these shapes; it never relies on the program's key slots.
//
// A text field of s bytes holds one text of s - 1 characters, or a run of k
// texts of s / k bytes each (ADRESSES field 4: 3 texts of 70 characters in
// 213 bytes). Which text fields are runs is known from the record layouts;
// a text field larger than 256 bytes that no layout names is cut into the
// fewest equal texts that each fit a length byte.
//
// Failure: MakeShape returns std::nullopt with a reason when the sizes and
// type digits do not fit together (a size of 0, an odd int16 run, ...).
#ifndef VZ_TOOLS_DATATOOL_RECORD_SHAPE_H_
#define VZ_TOOLS_DATATOOL_RECORD_SHAPE_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vz::datatool {

enum class FieldKind { kText, kInt16, kReal, kKey };

struct FieldShape {
  FieldKind kind = FieldKind::kText;
  size_t offset = 0;    // from the start of the described record
  size_t size = 0;      // bytes of the whole field
  size_t count = 1;     // values in the field (k for a run)
  size_t element = 0;   // bytes of one value (a text's element includes its length byte)
  bool is_run = false;  // written as a JSON array
  size_t Width() const { return element - 1; }  // characters of one text
};

struct FileShape {
  std::string name;                // as in the analysis, upper case
  std::vector<FieldShape> fields;  // fields[0] is field 1
  size_t record_size = 0;          // sum of the field sizes
};

// One field as the catalogue describes it: its size in bytes and type digit.
struct FieldDescription {
  int size = 0;
  char type = '1';
};

// Builds the shape of `name` from its described fields. `key_fields` holds
// the 1-based numbers of the fields that are key slots (from the analysis).
std::optional<FileShape> MakeShape(std::string_view name,
                                   const std::vector<FieldDescription>& fields,
                                   const std::vector<int>& key_fields, std::string* error);

// The shapes of the 103 catalogued files, indexed by vz::db::FileId value.
// Key fields are the slots of the catalogue's program keys; the long texts
// of the catalogue are runs of five texts. Built once; an empty vector and
// `error` set when the catalogue cannot be shaped (a programming fault).
const std::vector<FileShape>& CatalogueShapes(std::string* error = nullptr);

// The shape of the catalogued file called `name`, any case, or nullptr.
const FileShape* FindShape(std::string_view name);

// Number of texts in text field `field` (1-based) of `file` when the record
// layouts make it a run, 0 otherwise.
int KnownTextRun(std::string_view file, int field);

}  // namespace vz::datatool

#endif  // VZ_TOOLS_DATATOOL_RECORD_SHAPE_H_
