#include "tools/datatool/jsonl_transfer.h"

#include <cstring>
#include <fstream>

#include "tools/datatool/json_record.h"
#include "tools/datatool/record_shape.h"

namespace vz::datatool {

using vz::db::FileId;

namespace {

const FileShape* ShapeOf(FileId file, std::string* error) {
  std::string why;
  const std::vector<FileShape>& shapes = CatalogueShapes(&why);
  if (shapes.empty()) {
    *error = "the file catalogue cannot be used: " + why;
    return nullptr;
  }
  return &shapes[static_cast<size_t>(file)];
}

// The engine's account of a fault, for an error text.
std::string Because(const EngineSession& session) {
  const std::string fault = session.FileError();
  return fault.empty() ? std::string() : " (" + fault + ")";
}

bool Blank(const std::string& line) {
  return line.find_first_not_of(" \t\r\n") == std::string::npos;
}

// Passes over the input: the check pass (write == false) and the write pass.
bool Pass(EngineSession& session, FileId file, const FileShape& shape, const std::string& path,
          bool write, ImportReport* report, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot read " + path;
    return false;
  }
  uint8_t* buffer = session.Buffer(file);
  std::vector<uint8_t> record(shape.record_size);
  std::string line;
  bool too_long = false;
  int64_t number = 0;
  while (ReadLine(in, kMaxLineBytes, &line, &too_long)) {
    ++number;
    if (number == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    if (!write) report->lines = number;
    if (!too_long && Blank(line)) continue;
    std::string why;
    DecodeNotes notes;
    bool ok = false;
    if (too_long) {
      why = "line longer than " + std::to_string(kMaxLineBytes) + " bytes";
    } else {
      ok = DecodeRecord(shape, line, record.data(), &why, &notes);
    }
    const std::string where = "line " + std::to_string(number) + ": ";
    if (!write) {
      if (!ok) {
        if (++report->rejected <= static_cast<int64_t>(kMaxListedProblems)) {
          report->problems.push_back(where + why);
        }
        continue;
      }
      report->texts_cut += notes.texts_cut;
      report->characters_replaced += notes.characters_replaced;
      for (const std::string& note : notes.messages) {
        if (report->problems.size() < 2 * kMaxListedProblems)
          report->problems.push_back(where + note);
      }
      continue;
    }
    if (!ok) {  // the input changed between the passes
      *error = where + "changed since it was checked: " + why;
      report->write_failed = true;
      return false;
    }
    std::memcpy(buffer, record.data(), shape.record_size);
    if (!session.Add(file)) {
      *error = where + "the record engine refused the record";
      report->write_failed = true;
      return false;
    }
    ++report->records;
  }
  if (in.bad()) {
    *error = "error while reading " + path;
    return false;
  }
  return true;
}

}  // namespace

bool ReadLine(std::istream& in, size_t max_bytes, std::string* line, bool* too_long) {
  line->clear();
  *too_long = false;
  std::streambuf* buf = in.rdbuf();
  bool any = false;
  for (;;) {
    const int c = buf->sbumpc();
    if (c == std::char_traits<char>::eof()) {
      in.setstate(std::ios::eofbit);
      break;
    }
    any = true;
    if (c == '\n') break;
    if (line->size() < max_bytes) {
      line->push_back(static_cast<char>(c));
    } else {
      *too_long = true;
    }
  }
  if (!line->empty() && line->back() == '\r') line->pop_back();
  return any;
}

bool ExportRecords(EngineSession& session, FileId file, std::ostream& out, int64_t* exported,
                   std::string* error) {
  *exported = 0;
  const FileShape* shape = ShapeOf(file, error);
  if (shape == nullptr) return false;
  const std::string key = session.FirstKey(file);
  if (key.empty()) {
    *error = shape->name + " has no key in the analysis: the engine cannot read it in order";
    return false;
  }
  const uint8_t* buffer = session.Buffer(file);
  for (bool found = session.ReadFirst(file, key); found; found = session.ReadNext(file, key)) {
    out << EncodeRecord(*shape, buffer) << '\n';
    ++*exported;
  }
  out.flush();
  if (!out) {
    *error = "cannot write the output";
    return false;
  }
  return true;
}

bool ImportRecords(EngineSession& session, FileId file, const std::string& path, bool replace,
                   ImportReport* report, std::string* error) {
  *report = ImportReport{};
  const FileShape* shape = ShapeOf(file, error);
  if (shape == nullptr) return false;
  if (!Pass(session, file, *shape, path, false, report, error)) return false;
  if (report->rejected > 0) {
    *error = std::to_string(report->rejected) + " line(s) rejected; nothing imported";
    return false;
  }
  // Emptying and refilling make one transaction: a reader sees the old
  // records until the new ones are committed, and an import that fails or is
  // killed leaves the file as it was.
  session.BeginBatch();
  if (replace && !session.Create(file)) {
    session.CancelBatch();
    *error = "the record engine cannot empty " + shape->name + Because(session);
    return false;
  }
  if (!Pass(session, file, *shape, path, true, report, error)) {
    session.CancelBatch();
    *error += "; nothing imported" + Because(session);
    report->records = 0;
    return false;
  }
  if (!session.EndBatch()) {
    *error = "the record engine could not commit the records of " + shape->name +
             "; nothing imported" + Because(session);
    report->write_failed = true;
    report->records = 0;
    return false;
  }
  return true;
}

}  // namespace vz::datatool
