#include "tests/support/project_session.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "project/project_code.h"

namespace vz::testing {

std::unique_ptr<runtime::Session> NewProjectSession(
    runtime::FrontEnd& front_end, runtime::Transcript& transcript, int32_t engine_context,
    const std::filesystem::path& directory,
    const std::function<void(runtime::CodeRegistry&)>& more_code) {
  runtime::Session::Setup setup;
  setup.front_end = &front_end;
  setup.transcript = &transcript;
  setup.directory = directory;
  setup.create_engine_context = [engine_context] { return engine_context; };
  project::RegisterProjectCode(setup.registry);
  if (more_code) more_code(setup.registry);
  return std::make_unique<runtime::Session>(std::move(setup));
}

bool OpenLibraryAndProject(runtime::Session& session, std::string_view library,
                           std::string_view project) {
  const int32_t opened = session.Execute("BIBLI,disque," + std::string(library)).value;
  EXPECT_EQ(opened, 0) << "the window library " << library << " does not open";
  if (opened != 0 || project.empty()) return opened == 0;
  const int32_t started = session.Execute("PROJET," + std::string(project)).value;
  EXPECT_EQ(started, 0) << "the project " << project << " does not open";
  return started == 0;
}

std::unique_ptr<runtime::Session> StartProjectSession(runtime::FrontEnd& front_end,
                                                      runtime::Transcript& transcript,
                                                      int32_t engine_context,
                                                      const std::filesystem::path& directory) {
  std::unique_ptr<runtime::Session> session =
      NewProjectSession(front_end, transcript, engine_context, directory);
  if (!OpenLibraryAndProject(*session)) session.reset();
  return session;
}

ProjectSessionTest::ProjectSessionTest(std::string_view name,
                                       std::filesystem::path project_directory,
                                       InstallationOptions options)
    : installation_(name, options.SharedWithRuntime()),
      project_directory_(std::move(project_directory)) {}

void ProjectSessionTest::SetUp() {
  ASSERT_TRUE(installation_.ready());
  session_ =
      StartProjectSession(front_, transcript_, installation_.runtime_context(), project_directory_);
  ASSERT_NE(session_, nullptr);
}

}  // namespace vz::testing
