// Project verbs:
//   "BIBLI,disque," + file   load the window library; integer 0 when loaded,
//                            1 missing, 2 unreadable, 3 malformed
//   "PROJET," + file         open the screen project; integer 0 when open, 1 to 3
//                            as for BIBLI (project or its library), 4 when a
//                            procedure it lists is not registered
//   "Projet,"                close the project: windows closed, variables cleared
//   "HFCTX"                  integer = the runtime's own record-engine context
// Files are looked for in the current directory, then its parent. A fault is
// written to the transcript and to the error output, with its file and line.
#include <cstdio>

#include "platform/os/whole_file.h"
#include "platform/runtime/interpreter.h"
#include "platform/runtime/line_format.h"
#include "platform/runtime/text_encoding.h"

namespace vz::runtime {
namespace {

enum LoadFailure : int32_t {
  kLoaded = 0,
  kMissing = 1,
  kUnreadable = 2,
  kMalformed = 3,
  kUnregistered = 4
};

CommandResult Refuse(Session& session, int32_t code, const std::string& why) {
  session.Note(why);
  std::fprintf(stderr, "%s\n", Transcript::Escape(why).c_str());
  return {code, {}};
}

CommandResult LoadLibraryFile(Session& session, std::string_view file_name) {
  const auto path = session.FindFile(file_name);
  if (!path) {
    return Refuse(session, kMissing,
                  "window library \"" + std::string(file_name) +
                      "\" is in neither the current directory nor its parent");
  }
  std::string content;
  if (!os::ReadWholeFile(path->string(), &content)) {
    return Refuse(session, kUnreadable, path->string() + ": cannot be read");
  }
  LibraryLoad load = ParseWindowLibrary(content, path->string());
  if (!load.library) return Refuse(session, kMalformed, load.error);
  session.set_library(std::move(*load.library));
  return {kLoaded, {}};
}

}  // namespace

CommandResult RunLoadLibrary(Session& session, std::string_view args) {
  // "BIBLI,disque,FILE"; a bare "BIBLI,FILE" is taken as the file.
  const bool has_place = args.find(',') != std::string_view::npos;
  const std::string_view file_name = TrimBlanks(has_place ? SplitAtComma(args).second : args);
  if (file_name.empty()) return session.Fail("BIBLI names no file");
  return LoadLibraryFile(session, file_name);
}

CommandResult RunProject(Session& session, std::string_view args) {
  const std::string_view file_name = TrimBlanks(args);
  if (file_name.empty()) {
    if (!session.project()) session.Note("Projet, with no project open");
    session.CloseAllWindows();
    session.Variables().Clear();
    session.set_project(std::nullopt);
    return {};
  }
  const auto path = session.FindFile(file_name);
  if (!path) {
    return Refuse(session, kMissing,
                  "project \"" + std::string(file_name) +
                      "\" is in neither the current directory nor its parent");
  }
  std::string content;
  if (!os::ReadWholeFile(path->string(), &content))
    return Refuse(session, kUnreadable, path->string() + ": cannot be read");
  ProjectLoad load = ParseProjectFile(content, path->string());
  if (!load.project) return Refuse(session, kMalformed, load.error);
  for (const auto& procedure : load.project->procedures) {
    if (!session.registry().FindProcedure(procedure.name)) {
      return Refuse(
          session, kUnregistered,
          WhereAndWhy(path->string(), procedure.line,
                      "procedure \"" + procedure.name + "\" is not part of this program"));
    }
  }
  if (!session.Library()) {
    CommandResult library = LoadLibraryFile(session, load.project->library_file);
    if (library.value != kLoaded) return library;
  }
  for (const auto& [name, value] : load.project->variables) session.Variables().Set(name, value);
  session.set_project(std::move(load.project));
  return {};
}

CommandResult RunEngineContext(Session& session, std::string_view /*args*/) {
  return {session.EngineContext(), {}};
}

}  // namespace vz::runtime
