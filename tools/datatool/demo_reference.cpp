// The reference files of the demo installation and the record plumbing that
// every piece of the generator shares.
#include <stdexcept>
#include <string>

#include "platform/os/cp1252.h"
#include "tools/datatool/demo_parts.h"
#include "tools/datatool/demo_tables.h"

namespace vz::datatool {

using vz::db::FileId;

std::string Text(const char* utf8) {
  return vz::os::Cp1252(utf8);
}

DemoOutput::DemoOutput(RecordSink& sink, GenerateStats& stats) : sink_(sink), stats_(stats) {
  const std::vector<FileShape>& shapes = CatalogueShapes();
  writers_.resize(shapes.size());
}

RecordWriter& DemoOutput::Start(FileId file) {
  const size_t index = static_cast<size_t>(file);
  if (index >= writers_.size()) throw std::logic_error("file outside the catalogue");
  if (!writers_[index]) {
    writers_[index] = std::make_unique<RecordWriter>(file, CatalogueShapes()[index]);
  }
  writers_[index]->Clear();
  return *writers_[index];
}

void DemoOutput::Emit(FileId file) {
  if (failed_) return;
  const size_t index = static_cast<size_t>(file);
  if (!sink_.Add(file, writers_[index]->data())) {
    failed_ = true;
    return;
  }
  ++stats_.records[index];
}

namespace {

// RUBRIQUE and ANNEXE share one layout: prefix (1), number (2), label (3).
void WriteCodeLabel(DemoOutput& out, FileId file, const char* code, const char* label) {
  RecordWriter& w = out.Start(file);
  const std::string c(code);
  w.Text(1, c.substr(0, 2));
  w.Text(2, c.substr(2, 3));
  w.Text(3, Text(label));
  out.Emit(file);
}

}  // namespace

void WriteReferenceFiles(DemoOutput& out) {
  for (const CodeLabel& r : RubricCatalogue())
    WriteCodeLabel(out, FileId::RUBRIQUE, r.code, r.label);
  for (const CodeLabel& r : MatrimonialRegimes()) {
    WriteCodeLabel(out, FileId::ANNEXE, r.code, r.label);
  }
  for (const Profession& p : Professions()) {
    RecordWriter& w = out.Start(FileId::PROFES);
    const std::string c(p.code);
    w.Text(1, c.substr(0, 2));
    w.Text(2, c.substr(2, 3));
    w.Text(3, Text(p.label));
    out.Emit(FileId::PROFES);
  }
}

}  // namespace vz::datatool
