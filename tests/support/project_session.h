// A screen runtime session started as the program starts it, for the tests of
// the project's window code: the project's code registered, the runtime's
// engine context handed over by the test (usually the shared one of a
// TemporaryInstallation), then the window library and the project opened.
// The caller owns the front end and the transcript, which must outlive the
// session. Failures to open are test failures and make the call return false.
#ifndef VZ_TESTS_SUPPORT_PROJECT_SESSION_H_
#define VZ_TESTS_SUPPORT_PROJECT_SESSION_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>

#include "platform/runtime/fake_front_end.h"
#include "platform/runtime/session.h"
#include "platform/runtime/transcript.h"
#include "tests/support/temporary_installation.h"

namespace vz::testing {

// A new session with the project's code registered, then `more_code` (a
// test's stand-in window code); nothing opened yet. "BIBLI" and "PROJET" look
// in `directory` first.
std::unique_ptr<runtime::Session> NewProjectSession(
    runtime::FrontEnd& front_end, runtime::Transcript& transcript, int32_t engine_context,
    const std::filesystem::path& directory,
    const std::function<void(runtime::CodeRegistry&)>& more_code = {});

// Opens "BIBLI,disque,<library>", then "PROJET,<project>" unless `project` is
// empty. False (and a test failure) when either refuses.
bool OpenLibraryAndProject(runtime::Session& session, std::string_view library = "ORVANE.wdl",
                           std::string_view project = "ORVANE.WDP");

// NewProjectSession, then the suite's window library and project opened:
// nullptr (after a test failure) when either does not open.
std::unique_ptr<runtime::Session> StartProjectSession(runtime::FrontEnd& front_end,
                                                      runtime::Transcript& transcript,
                                                      int32_t engine_context,
                                                      const std::filesystem::path& directory);

// Fixture of the tests of window code over the real engine: a temporary
// installation whose runtime context shares the program's (plus `options`), a
// front end that plays the user, a transcript in memory, and a session started
// by SetUp over the library and project of `project_directory`, ended by
// TearDown.
class ProjectSessionTest : public ::testing::Test {
 protected:
  ProjectSessionTest(std::string_view name, std::filesystem::path project_directory,
                     InstallationOptions options = {});

  void SetUp() override;
  void TearDown() override { session_.reset(); }

  TemporaryInstallation installation_;
  runtime::FakeFrontEnd front_;
  runtime::Transcript transcript_;
  std::unique_ptr<runtime::Session> session_;

 private:
  std::filesystem::path project_directory_;
};

}  // namespace vz::testing

#endif  // VZ_TESTS_SUPPORT_PROJECT_SESSION_H_
