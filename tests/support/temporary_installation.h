// The real record engine over a temporary installation, for the tests of the
// program's data access and of everything that reads or writes records.
//
// Layout under root():
//   HSF/vestra.wdd   the analysis of the 103 files
//   DATA/            the data directory, which "D:\VESTRA" stands for
//   PARAM.DTA        the parameter file, when `own_parameter_file` is set
// The constructor clears every process-wide record buffer, creates the
// program's engine context, describes every file, opens the analysis, maps the
// placeholder directory to DATA and ignores engine errors, as the program does
// at start-up. With `share_with_runtime` it also creates the screen runtime's
// own context and makes it share the program's files (as "HFCTX" and
// LE_Hinitpartage do). The program settings named in the options are set for
// the object's lifetime and put back when it goes; then every file is closed,
// the contexts are ended and the folder is removed.
//
// The second constructor opens an existing installation instead (its analysis
// and data directory), which it leaves in place.
//
// Failures are GoogleTest failures, never exceptions; ready() says whether the
// whole set-up went through, so that a fixture can stop early with
// ASSERT_TRUE(installation.ready()).
// REQUIRES: one object at a time per process (the record buffers, the context
// handle and the settings are process-wide).
#ifndef VZ_TESTS_SUPPORT_TEMPORARY_INSTALLATION_H_
#define VZ_TESTS_SUPPORT_TEMPORARY_INSTALLATION_H_

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/os/local_date.h"

namespace vz::testing {

// What the installation sets up beside the engine. Built by chaining, e.g.
// InstallationOptions().SharedWithRuntime().WithListSeparator('\t').
struct InstallationOptions {
  // A second engine context, the screen runtime's, sharing the program's files.
  bool share_with_runtime = false;
  // The program's data directory setting points at DATA.
  bool set_data_directory = false;
  // The program's parameter file is PARAM.DTA in the folder.
  bool own_parameter_file = false;
  // The list separator while the object lives (the previous one comes back).
  std::optional<char> list_separator;
  // Today, while the object lives.
  std::optional<os::CalendarDate> today;

  InstallationOptions SharedWithRuntime() const { return With(&Self::share_with_runtime, true); }
  InstallationOptions WithDataDirectory() const { return With(&Self::set_data_directory, true); }
  InstallationOptions WithOwnParameterFile() const { return With(&Self::own_parameter_file, true); }
  InstallationOptions WithListSeparator(char separator) const {
    return With(&Self::list_separator, std::optional<char>(separator));
  }
  InstallationOptions WithToday(os::CalendarDate date) const {
    return With(&Self::today, std::optional<os::CalendarDate>(date));
  }

 private:
  using Self = InstallationOptions;
  template <typename Member>
  InstallationOptions With(Member Self::*member, Member value) const {
    InstallationOptions more = *this;
    more.*member = std::move(value);
    return more;
  }
};

class TemporaryInstallation {
 public:
  // `name` starts the temporary folder's name ("vz_<name>_XXXXXX").
  explicit TemporaryInstallation(std::string_view name, InstallationOptions options = {});
  TemporaryInstallation(const std::filesystem::path& analysis_file,
                        const std::filesystem::path& data_directory,
                        InstallationOptions options = {});
  ~TemporaryInstallation();
  TemporaryInstallation(const TemporaryInstallation&) = delete;
  TemporaryInstallation& operator=(const TemporaryInstallation&) = delete;

  bool ready() const { return ready_; }
  // Empty when attached to an existing installation.
  const std::filesystem::path& root() const { return root_; }
  const std::filesystem::path& data_directory() const { return data_; }
  std::filesystem::path parameter_file() const { return root_ / "PARAM.DTA"; }
  // The screen runtime's context (0 without `share_with_runtime`).
  int32_t runtime_context() const { return runtime_context_; }

  // Writes the parameter file byte for byte; reads it back (empty if missing).
  void WriteParameterFile(std::string_view bytes) const;
  std::string ReadParameterFile() const;

 private:
  void Open(const std::filesystem::path& analysis_file);

  InstallationOptions options_;
  std::filesystem::path root_;  // empty when attached to an installation
  std::filesystem::path data_;
  int32_t runtime_context_ = 0;
  bool ready_ = false;
  std::unique_ptr<os::ScopedTodayForTests> today_;
  char previous_separator_ = ',';
};

}  // namespace vz::testing

#endif  // VZ_TESTS_SUPPORT_TEMPORARY_INSTALLATION_H_
