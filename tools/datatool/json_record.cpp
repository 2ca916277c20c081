#include "tools/datatool/json_record.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <nlohmann/json.hpp>
#include <set>

#include "platform/os/cp1252.h"
#include "src/db/field_access.h"

namespace vz::datatool {
namespace {

// Numbers with a fractional part or an exponent are read straight into a
// 4-byte real, so that an exported real reads back to the same bits.
using Json = nlohmann::basic_json<std::map, std::vector, std::string, bool, std::int64_t,
                                  std::uint64_t, float>;

constexpr int kMaxNesting = 4;  // an object holding arrays is all a record needs

std::string JsonString(std::string_view cp1252) {
  return Json(vz::os::Utf8(cp1252)).dump();
}

void AppendValue(std::string& out, const FieldShape& f, const uint8_t* p) {
  switch (f.kind) {
    case FieldKind::kText:
      out += JsonString(vz::db::TextView(p, 0, f.Width()));
      break;
    case FieldKind::kInt16:
      out += std::to_string(vz::db::GetInt16(p, 0));
      break;
    case FieldKind::kReal: {
      const float v = vz::db::GetReal(p, 0);
      if (std::isnan(v)) {
        out += "\"NaN\"";
      } else if (std::isinf(v)) {
        out += v > 0 ? "\"Infinity\"" : "\"-Infinity\"";
      } else {
        out += RealText(v);
      }
      break;
    }
    case FieldKind::kKey:
      break;
  }
}

// Deepest nesting of brackets outside strings; stops counting past the limit.
int Nesting(std::string_view line) {
  int depth = 0;
  int deepest = 0;
  bool in_string = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (in_string) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        in_string = false;
      }
    } else if (c == '"') {
      in_string = true;
    } else if (c == '[' || c == '{') {
      deepest = std::max(deepest, ++depth);
      if (deepest > kMaxNesting) return deepest;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return deepest;
}

class FieldDecoder {
 public:
  FieldDecoder(const FileShape& shape, int number, DecodeNotes* notes)
      : number_(number), field_(shape.fields[number - 1]), notes_(notes) {}

  // Writes `value` into the field at `p`; false with `error` set when it breaks a rule.
  bool Decode(const Json& value, uint8_t* p, std::string* error) {
    if (field_.is_run) {
      if (!value.is_array()) return Fail(error, "expected an array of " + Count());
      if (value.size() > field_.count) {
        return Fail(error, "array of " + std::to_string(value.size()) +
                               " values, the field holds " + std::to_string(field_.count));
      }
      for (size_t i = 0; i < value.size(); ++i) {
        if (!One(value[i], p + i * field_.element, i + 1, error)) return false;
      }
      return true;
    }
    if (value.is_array()) return Fail(error, "expected a single value, got an array");
    return One(value, p, 0, error);
  }

 private:
  std::string Count() const {
    return std::to_string(field_.count) + (field_.kind == FieldKind::kText ? " texts" : " numbers");
  }

  std::string Where(size_t index) const {
    std::string where = "field " + std::to_string(number_);
    if (index > 0) where += " value " + std::to_string(index);
    return where;
  }

  bool Fail(std::string* error, const std::string& why, size_t index = 0) const {
    *error = Where(index) + ": " + why;
    return false;
  }

  bool One(const Json& v, uint8_t* p, size_t index, std::string* error) {
    switch (field_.kind) {
      case FieldKind::kText:
        return Text(v, p, index, error);
      case FieldKind::kInt16:
        return Int16(v, p, index, error);
      case FieldKind::kReal:
        return Real(v, p, index, error);
      case FieldKind::kKey:
        break;
    }
    return Fail(error, "key field", index);
  }

  bool Text(const Json& v, uint8_t* p, size_t index, std::string* error) {
    if (!v.is_string())
      return Fail(error, std::string("expected a text, got ") + v.type_name(), index);
    const std::string& utf8 = v.get_ref<const std::string&>();
    std::string text = vz::os::Cp1252(utf8);
    const auto marks = [](std::string_view s) { return std::count(s.begin(), s.end(), '?'); };
    const auto replaced = marks(text) - marks(utf8);
    if (replaced > 0) {
      notes_->characters_replaced += static_cast<int>(replaced);
      notes_->messages.push_back(Where(index) + ": " + std::to_string(replaced) +
                                 " character(s) that cp1252 cannot hold written as '?'");
    }
    if (text.size() > field_.Width()) {
      ++notes_->texts_cut;
      notes_->messages.push_back(Where(index) + ": text of " + std::to_string(text.size()) +
                                 " characters cut to " + std::to_string(field_.Width()));
    }
    vz::db::SetText(p, 0, field_.Width(), text);
    return true;
  }

  bool Int16(const Json& v, uint8_t* p, size_t index, std::string* error) {
    int64_t n = 0;
    if (v.is_number_integer()) {
      if (v.is_number_unsigned()) {
        const uint64_t u = v.get<uint64_t>();
        if (u > 32767) return Fail(error, "integer " + std::to_string(u) + " out of range", index);
        n = static_cast<int64_t>(u);
      } else {
        n = v.get<int64_t>();
      }
    } else if (v.is_number_float()) {
      const float f = v.get<float>();
      if (!std::isfinite(f) || std::trunc(f) != f || std::fabs(f) > 1e6f) {
        return Fail(error, "expected a whole number", index);
      }
      n = static_cast<int64_t>(f);
    } else {
      return Fail(error, std::string("expected an integer, got ") + v.type_name(), index);
    }
    if (n < -32768 || n > 32767) {
      return Fail(error, "integer " + std::to_string(n) + " out of range -32768..32767", index);
    }
    vz::db::SetInt16(p, 0, static_cast<int16_t>(n));
    return true;
  }

  bool Real(const Json& v, uint8_t* p, size_t index, std::string* error) {
    float f = 0;
    if (v.is_number_float()) {
      f = v.get<float>();
      if (!std::isfinite(f)) return Fail(error, "number out of the range of a real", index);
    } else if (v.is_number_unsigned()) {
      f = static_cast<float>(v.get<uint64_t>());
    } else if (v.is_number_integer()) {
      f = static_cast<float>(v.get<int64_t>());
    } else if (v.is_string()) {
      const std::string& s = v.get_ref<const std::string&>();
      if (s == "NaN") {
        f = std::numeric_limits<float>::quiet_NaN();
      } else if (s == "Infinity") {
        f = std::numeric_limits<float>::infinity();
      } else if (s == "-Infinity") {
        f = -std::numeric_limits<float>::infinity();
      } else {
        return Fail(error, "expected a number, got the text \"" + s.substr(0, 20) + "\"", index);
      }
    } else {
      return Fail(error, std::string("expected a number, got ") + v.type_name(), index);
    }
    vz::db::SetReal(p, 0, f);
    return true;
  }

  int number_;
  const FieldShape& field_;
  DecodeNotes* notes_;
};

// Field number of a JSON key: digits only, no leading zero, within the file.
int FieldNumber(const FileShape& shape, const std::string& key) {
  if (key.empty() || key.size() > 4 || key[0] == '0') return 0;
  int n = 0;
  for (char c : key) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
  }
  return n <= static_cast<int>(shape.fields.size()) ? n : 0;
}

}  // namespace

std::string RealText(float value) {
  // "-0" would read back as the integer 0: keep the sign with a decimal point.
  if (value == 0.0f && std::signbit(value)) return "-0.0";
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string EncodeRecord(const FileShape& shape, const uint8_t* record) {
  std::string out = "{";
  bool first = true;
  for (size_t i = 0; i < shape.fields.size(); ++i) {
    const FieldShape& f = shape.fields[i];
    if (f.kind == FieldKind::kKey) continue;
    if (!first) out += ',';
    first = false;
    out += '"';
    out += std::to_string(i + 1);
    out += "\":";
    const uint8_t* p = record + f.offset;
    if (f.is_run) {
      out += '[';
      for (size_t k = 0; k < f.count; ++k) {
        if (k > 0) out += ',';
        AppendValue(out, f, p + k * f.element);
      }
      out += ']';
    } else {
      AppendValue(out, f, p);
    }
  }
  out += '}';
  return out;
}

bool DecodeRecord(const FileShape& shape, std::string_view line, uint8_t* record,
                  std::string* error, DecodeNotes* notes) {
  std::memset(record, 0, shape.record_size);
  if (Nesting(line) > kMaxNesting) {
    *error = "values nested too deeply";
    return false;
  }
  std::set<std::string> seen;
  std::string duplicate;
  Json::parser_callback_t watch = [&](int depth, Json::parse_event_t event, Json& parsed) {
    if (event == Json::parse_event_t::key && depth == 1 && parsed.is_string()) {
      if (!seen.insert(parsed.get<std::string>()).second && duplicate.empty()) {
        duplicate = parsed.get<std::string>();
      }
    }
    return true;
  };
  Json object;
  try {
    object = Json::parse(line.begin(), line.end(), watch);
  } catch (const Json::exception& e) {
    std::string what = e.what();
    const size_t cut = what.find("] ");
    *error = "not valid JSON: " + (cut == std::string::npos ? what : what.substr(cut + 2));
    return false;
  }
  if (!object.is_object()) {
    *error = std::string("expected an object, got ") + object.type_name();
    return false;
  }
  if (!duplicate.empty()) {
    *error = "field \"" + duplicate.substr(0, 20) + "\" given twice";
    return false;
  }
  for (const auto& [key, value] : object.items()) {
    const int number = FieldNumber(shape, key);
    if (number == 0) {
      *error = "\"" + key.substr(0, 20) + "\" is not a field number of " + shape.name + " (1 to " +
               std::to_string(shape.fields.size()) + ")";
      return false;
    }
    const FieldShape& f = shape.fields[number - 1];
    if (f.kind == FieldKind::kKey) {
      *error = "field " + std::to_string(number) + " is a key, computed by the engine";
      return false;
    }
    FieldDecoder decoder(shape, number, notes);
    if (!decoder.Decode(value, record + f.offset, error)) return false;
  }
  return true;
}

}  // namespace vz::datatool
