#include "src/queries/query_test_database.h"

#include <cstring>

#include "src/db/field_places.h"
#include "src/db/file_id.h"
#include "src/db/layouts/requetes.h"
#include "src/db/record_ops.h"
#include "src/screen/bridge_for_tests.h"
#include "tests/support/recording_runtime.h"
#include "tests/support/test_records.h"

namespace vz::queries::testing {
namespace {

// The stored bytes of a REQUETES field, length byte included.
std::string FieldBytes(const uint8_t* data, int field) {
  const db::places::FieldPlace place = db::places::Field(db::FileId::REQUETES, field);
  return std::string(reinterpret_cast<const char*>(data + place.offset), place.size);
}

StoredQueryLine FromBuffer() {
  db::QueryLineRecord r = db::CurrentQueryLine();
  StoredQueryLine line;
  line.codreq = std::string(r.Codreq());
  line.codreq1 = std::string(r.Codreq1());
  line.prefix = std::string(r.Prefix());
  line.number = std::string(r.Number());
  line.key = std::string(r.CriteriaKey());
  line.text = std::string(r.LineText());
  for (size_t i = 0; i < db::layout::kLongTextPieceCount; ++i) line.pieces += r.Piece(i);
  line.state = std::string(r.State());
  line.origin = std::string(r.Marker());
  line.fixed_bytes = FieldBytes(r.data, 1) + FieldBytes(r.data, 2) + FieldBytes(r.data, 3) +
                     FieldBytes(r.data, 7) + FieldBytes(r.data, 8);
  return line;
}

std::string Counted(std::string_view value, size_t width) {
  std::string bytes(width + 1, '\0');
  bytes[0] = static_cast<char>(value.size());
  std::memcpy(bytes.data() + 1, value.data(), value.size());
  return bytes;
}

}  // namespace

std::string ExpectedFixedBytes(std::string_view prefix, std::string_view number,
                               std::string_view key, std::string_view state) {
  return Counted(prefix, 2) + Counted(number, 6) + Counted(key, 12) + Counted(state, 1) +
         Counted("E", 1);
}

std::vector<std::string> Keys(const std::vector<StoredQueryLine>& lines) {
  std::vector<std::string> keys;
  for (const StoredQueryLine& line : lines) keys.push_back(line.key);
  return keys;
}

QueryTestDatabase::QueryTestDatabase(std::string_view name)
    : installation_("queries_" + std::string(name), vz::testing::InstallationOptions()
                                                        .WithDataDirectory()
                                                        .WithOwnParameterFile()
                                                        .WithListSeparator('\t')
                                                        .WithToday({2026, 3, 9})) {
  screen::ResetBridgeForTests();
  vz::testing::RecordingRuntime::Get().Reset();
}

void QueryTestDatabase::AddLine(std::string_view code, std::string_view key, std::string_view text,
                                std::string_view state) {
  vz::testing::AddQueryLine(code, key, text, state);
}

void QueryTestDatabase::AddRubric(std::string_view code, std::string_view label) {
  vz::testing::AddCodeLabel(db::FileId::RUBRIQUE, code, label);
}

std::vector<StoredQueryLine> QueryTestDatabase::QueryFile() {
  std::vector<StoredQueryLine> lines;
  db::Hlitpremier("requetes", "codreq");
  while (!db::Hendehors()) {
    lines.push_back(FromBuffer());
    db::Hlitsuivant("requetes", "codreq");
  }
  return lines;
}

std::vector<StoredQueryLine> QueryTestDatabase::Query(std::string_view code) {
  std::vector<StoredQueryLine> lines;
  for (StoredQueryLine& line : QueryFile()) {
    if (line.codreq.substr(0, 8) == code) lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace vz::queries::testing
