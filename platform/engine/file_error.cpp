#include "platform/engine/file_error.h"

#include "platform/engine/call_log.h"

namespace vz::engine {
namespace {

FileError* g_target = nullptr;

}  // namespace

void ReportFileError(FileFault fault, std::string_view file, std::string_view path,
                     std::string_view reason) {
  LogFileError(file, path, reason);
  NoteFileError(fault, file, path, reason);
}

void NoteFileError(FileFault fault, std::string_view file, std::string_view path,
                   std::string_view reason) {
  if (g_target == nullptr) return;
  // A read loop over a failed file meets the same fault for every record:
  // keep the strings when nothing changed.
  if (g_target->fault == fault && g_target->path == path && g_target->reason == reason) return;
  g_target->fault = fault;
  g_target->file.assign(file);
  g_target->path.assign(path);
  g_target->reason.assign(reason);
}

ScopedFileErrorTarget::ScopedFileErrorTarget(FileError* target) : previous_(g_target) {
  g_target = target;
}

ScopedFileErrorTarget::~ScopedFileErrorTarget() {
  g_target = previous_;
}

}  // namespace vz::engine
