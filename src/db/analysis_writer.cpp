#include "src/db/analysis_writer.h"

#include "src/db/catalogue.h"
#include "src/util/replacing_file.h"

namespace vz::db {
namespace {

void AppendKey(std::string& text, const KeyDescription& key) {
  text += "KEY ";
  text += key.name;
  for (const KeyComponent& component : key.components) {
    text += ' ';
    text += std::to_string(component.field);
    text += ':';
    text += std::to_string(component.width);
  }
  if (key.slot_field != 0) {
    text += " SLOT ";
    text += std::to_string(key.slot_field);
  }
  if (!key.pad) text += " NOPAD";
  text += '\n';
}

}  // namespace

std::string AnalysisText() {
  std::string text = "VZANALYSIS 1\n";
  text += "# The database files, in declaration order, and their keys.\n";
  for (const FileDescription& file : Catalogue()) {
    text += "FILE ";
    text += file.name;
    text += ' ';
    text += kPlaceholderDirectory;
    text += ' ';
    text += file.name;
    text += '\n';
    for (const KeyDescription& key : file.keys) AppendKey(text, key);
    for (const KeyDescription& key : file.engine_only_keys) AppendKey(text, key);
  }
  return text;
}

bool WriteAnalysisFile(const std::filesystem::path& path) {
  return util::ReplaceFileWithBytes(path.string(), AnalysisText());
}

}  // namespace vz::db
