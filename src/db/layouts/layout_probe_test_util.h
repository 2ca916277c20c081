// Test support for the record views: a probe names one accessor pair and the
// place it stands for (a field by number, an element of a run, a key slot or
// a long text); CheckProbe finds that place in the catalogue built at run
// time and proves that the pair writes exactly there and nowhere else, cuts
// and clamps to the width there, and reads back what lies there. A probe
// never states an offset: the catalogue is the one place that does.
// Each *_test.cpp of this folder provides the probes of its files;
// AllFileProbes() gathers them.
#ifndef VZ_SRC_DB_LAYOUTS_LAYOUT_PROBE_TEST_UTIL_H_
#define VZ_SRC_DB_LAYOUTS_LAYOUT_PROBE_TEST_UTIL_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "src/db/catalogue.h"
#include "src/db/file_id.h"

namespace vz::db::testing {

enum class ValueKind { kText, kReal, kInt16 };
enum class Place { kField, kKeySlot, kLongText };

struct FieldProbe {
  std::string name;
  Place place = Place::kField;
  int field = 0;          // field number in record order (kField only)
  size_t element = 0;     // element of a run; the slot number for kKeySlot
  size_t run_length = 1;  // texts held by the field (kField texts only)
  ValueKind kind = ValueKind::kText;
  std::function<std::string_view(uint8_t*)> get_text;
  std::function<void(uint8_t*, std::string_view)> set_text;
  std::function<float(uint8_t*)> get_real;
  std::function<void(uint8_t*, float)> set_real;
  std::function<int16_t(uint8_t*)> get_int;
  std::function<void(uint8_t*, int16_t)> set_int;
};

// Where a probe's value lies, as the catalogue places it.
struct ProbePlace {
  size_t offset = 0;
  size_t bytes = 0;  // the whole value: a text's length byte and characters
};
ProbePlace Locate(const FieldProbe& probe, const FileDescription& file);

struct FileProbes {
  FileId file;
  std::vector<FieldProbe> probes;
};

namespace internal {

// Fills the get/set pair of `probe` from a view's accessors; `args` are the
// arguments before the value (the element index of a run, or nothing).
template <class View, class Get, class Set, class... Args>
void Bind(FieldProbe& probe, Get get, Set set, Args... args) {
  using Value = decltype((std::declval<View&>().*get)(args...));
  auto read = [get, args...](uint8_t* d) { return (View{d}.*get)(args...); };
  auto write = [set, args...](uint8_t* d, Value v) {
    View view{d};
    (view.*set)(args..., v);
  };
  if constexpr (std::is_same_v<Value, std::string_view>) {
    probe.kind = ValueKind::kText;
    probe.get_text = read;
    probe.set_text = write;
  } else if constexpr (std::is_same_v<Value, float>) {
    probe.kind = ValueKind::kReal;
    probe.get_real = read;
    probe.set_real = write;
  } else {
    static_assert(std::is_same_v<Value, int16_t>, "texts, reals and 16-bit integers only");
    probe.kind = ValueKind::kInt16;
    probe.get_int = read;
    probe.set_int = write;
  }
}

}  // namespace internal

// Builders; View is the record view type, built as View{data}. The kind of
// value follows the accessor's type.
template <class View, class Get, class Set>
FieldProbe Field(std::string name, int field, Get get, Set set) {
  FieldProbe p;
  p.name = std::move(name);
  p.field = field;
  internal::Bind<View>(p, get, set);
  return p;
}

// Element `element` of a field holding `run_length` values (for reals, the
// run length follows from the field's size and is not needed).
template <class View, class Get, class Set>
FieldProbe Element(std::string name, int field, size_t element, size_t run_length, Get get,
                   Set set) {
  FieldProbe p;
  p.name = std::move(name);
  p.field = field;
  p.element = element;
  p.run_length = run_length;
  internal::Bind<View>(p, get, set, element);
  return p;
}

template <class View, class Get, class Set>
FieldProbe KeySlot(std::string name, size_t slot, Get get, Set set) {
  FieldProbe p;
  p.name = std::move(name);
  p.place = Place::kKeySlot;
  p.element = slot;
  internal::Bind<View>(p, get, set);
  return p;
}

template <class View, class Get, class Set>
FieldProbe LongText(std::string name, Get get, Set set) {
  FieldProbe p;
  p.name = std::move(name);
  p.place = Place::kLongText;
  internal::Bind<View>(p, get, set);
  return p;
}

// Runs every check on one probe (GoogleTest expectations, traced by name).
void CheckProbe(const FieldProbe& probe, const FileDescription& file);

// Probe tables, one function per test file.
std::vector<FileProbes> ClientFileProbes();     // CLIENT, ADRESSES, CLIPART
std::vector<FileProbes> CodeLabelFileProbes();  // PROFES, ANNEXE, RUBRIQUE
std::vector<FileProbes> QueryFileProbes();      // REQUETES, SELECTES, INTERFA
std::vector<FileProbes> RubricFileProbes();     // the fourteen rubric files
std::vector<FileProbes> AllFileProbes();

}  // namespace vz::db::testing

#endif  // VZ_SRC_DB_LAYOUTS_LAYOUT_PROBE_TEST_UTIL_H_
