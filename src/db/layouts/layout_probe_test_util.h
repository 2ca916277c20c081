// Test support for the record layouts: a probe names one accessor pair, the
// place the layout gives its value (field number, element of a run, key slot
// or long text) and its offset and width, and CheckProbe proves that the pair
// writes exactly there and nowhere else and reads back what lies there.
// Each *_test.cpp of this folder provides the probe table of its files;
// AllFileProbes() gathers them for the cross-checks against the catalogue.
#ifndef VZ_SRC_DB_LAYOUTS_LAYOUT_PROBE_TEST_UTIL_H_
#define VZ_SRC_DB_LAYOUTS_LAYOUT_PROBE_TEST_UTIL_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "src/db/file_id.h"

namespace vz::db::testing {

enum class ValueKind { kText, kReal, kInt16 };
enum class Place { kField, kKeySlot, kLongText };

struct FieldProbe {
  std::string name;
  Place place = Place::kField;
  int field = 0;       // field number in record order (kField only)
  size_t element = 0;  // element of a run; the slot number for kKeySlot
  size_t offset = 0;   // where the layout puts the value
  ValueKind kind = ValueKind::kText;
  size_t width = 0;  // characters of a text
  std::function<std::string_view(uint8_t*)> get_text;
  std::function<void(uint8_t*, std::string_view)> set_text;
  std::function<float(uint8_t*)> get_real;
  std::function<void(uint8_t*, float)> set_real;
  std::function<int16_t(uint8_t*)> get_int;
  std::function<void(uint8_t*, int16_t)> set_int;
};

struct FileProbes {
  FileId file;
  const char* name;
  size_t buffer_size;  // the program's full buffer for the file
  std::vector<FieldProbe> probes;
};

// Builders. View is the record view type, built as View{data}.
template <class View, class Get, class Set>
FieldProbe Text(std::string name, int field, size_t offset, size_t width, Get get, Set set) {
  FieldProbe p;
  p.name = std::move(name);
  p.field = field;
  p.offset = offset;
  p.width = width;
  p.get_text = [get](uint8_t* d) { return (View{d}.*get)(); };
  p.set_text = [set](uint8_t* d, std::string_view v) {
    View view{d};
    (view.*set)(v);
  };
  return p;
}

template <class View, class Get, class Set>
FieldProbe TextAt(std::string name, int field, size_t element, size_t offset, size_t width, Get get,
                  Set set) {
  FieldProbe p;
  p.name = std::move(name);
  p.field = field;
  p.element = element;
  p.offset = offset;
  p.width = width;
  p.get_text = [get, element](uint8_t* d) { return (View{d}.*get)(element); };
  p.set_text = [set, element](uint8_t* d, std::string_view v) {
    View view{d};
    (view.*set)(element, v);
  };
  return p;
}

template <class View, class Get, class Set>
FieldProbe KeySlot(std::string name, size_t slot, size_t offset, Get get, Set set) {
  FieldProbe p = Text<View>(std::move(name), 0, offset, 64, get, set);
  p.place = Place::kKeySlot;
  p.element = slot;
  return p;
}

template <class View, class Get, class Set>
FieldProbe LongText(std::string name, size_t offset, Get get, Set set) {
  FieldProbe p = Text<View>(std::move(name), 0, offset, 255, get, set);
  p.place = Place::kLongText;
  return p;
}

template <class View, class Get, class Set>
FieldProbe Real(std::string name, int field, size_t offset, Get get, Set set) {
  FieldProbe p;
  p.name = std::move(name);
  p.field = field;
  p.offset = offset;
  p.kind = ValueKind::kReal;
  p.get_real = [get](uint8_t* d) { return (View{d}.*get)(); };
  p.set_real = [set](uint8_t* d, float v) {
    View view{d};
    (view.*set)(v);
  };
  return p;
}

template <class View, class Get, class Set>
FieldProbe RealAt(std::string name, int field, size_t element, size_t offset, Get get, Set set) {
  FieldProbe p;
  p.name = std::move(name);
  p.field = field;
  p.element = element;
  p.offset = offset;
  p.kind = ValueKind::kReal;
  p.get_real = [get, element](uint8_t* d) { return (View{d}.*get)(element); };
  p.set_real = [set, element](uint8_t* d, float v) {
    View view{d};
    (view.*set)(element, v);
  };
  return p;
}

template <class View, class Get, class Set>
FieldProbe Int16(std::string name, int field, size_t offset, Get get, Set set) {
  FieldProbe p;
  p.name = std::move(name);
  p.field = field;
  p.offset = offset;
  p.kind = ValueKind::kInt16;
  p.get_int = [get](uint8_t* d) { return (View{d}.*get)(); };
  p.set_int = [set](uint8_t* d, int16_t v) {
    View view{d};
    (view.*set)(v);
  };
  return p;
}

// Runs every check on one probe (GoogleTest expectations, traced by name).
void CheckProbe(const FieldProbe& probe, size_t buffer_size);

// Probe tables, one function per test file.
std::vector<FileProbes> ClientFileProbes();     // CLIENT, ADRESSES, CLIPART
std::vector<FileProbes> CodeLabelFileProbes();  // PROFES, ANNEXE, RUBRIQUE
std::vector<FileProbes> QueryFileProbes();      // REQUETES, SELECTES, INTERFA
std::vector<FileProbes> RubricFileProbes();     // the fourteen rubric files
std::vector<FileProbes> AllFileProbes();

}  // namespace vz::db::testing

#endif  // VZ_SRC_DB_LAYOUTS_LAYOUT_PROBE_TEST_UTIL_H_
