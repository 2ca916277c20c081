#include "src/db/analysis_writer.h"

#include <cstdio>
#include <system_error>

#include "src/db/catalogue.h"

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
  std::string text = AnalysisText();
  std::filesystem::path temporary = path;
  temporary += ".tmp";
  std::FILE* out = std::fopen(temporary.c_str(), "wb");
  if (out == nullptr) return false;
  bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
  written = std::fclose(out) == 0 && written;
  std::error_code error;
  if (written) std::filesystem::rename(temporary, path, error);
  if (!written || error) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  return true;
}

}  // namespace vz::db
