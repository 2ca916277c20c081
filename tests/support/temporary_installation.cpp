#include "tests/support/temporary_installation.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/engine/le_api.h"
#include "src/config/parameter_file.h"
#include "src/config/program_settings.h"
#include "src/db/analysis_writer.h"
#include "src/db/catalogue.h"
#include "src/db/describe.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"

namespace vz::testing {

namespace fs = std::filesystem;

TemporaryInstallation::TemporaryInstallation(std::string_view name, InstallationOptions options)
    : options_(options) {
  std::string pattern =
      (fs::temp_directory_path() / ("vz_" + std::string(name) + "_XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr) {
    ADD_FAILURE() << "cannot make a temporary folder from " << pattern;
    return;
  }
  root_ = pattern;
  data_ = root_ / "DATA";
  std::error_code error;
  fs::create_directories(root_ / "HSF", error);
  fs::create_directories(data_, error);
  if (error) {
    ADD_FAILURE() << "cannot make the folders of " << root_ << ": " << error.message();
    return;
  }
  const fs::path analysis = root_ / "HSF" / "vestra.wdd";
  if (!db::WriteAnalysisFile(analysis)) {
    ADD_FAILURE() << "cannot write the analysis " << analysis;
    return;
  }
  Open(analysis);
}

TemporaryInstallation::TemporaryInstallation(const fs::path& analysis_file,
                                             const fs::path& data_directory,
                                             InstallationOptions options)
    : options_(options), data_(data_directory) {
  Open(analysis_file);
}

void TemporaryInstallation::Open(const fs::path& analysis_file) {
  if (options_.today) today_ = std::make_unique<os::ScopedTodayForTests>(*options_.today);
  if (options_.list_separator) {
    previous_separator_ = config::ListSeparator();
    config::SetListSeparator(*options_.list_separator);
  }
  if (options_.set_data_directory) config::SetDataDirectory(data_.string());
  if (options_.own_parameter_file) config::SetParameterFilePath(parameter_file().string());

  for (const db::FileDescription& file : db::Catalogue()) {
    std::memset(db::RecordBuffer(file.id), 0, db::RecordBufferSize(file.id));
  }
  if (options_.share_with_runtime) runtime_context_ = LE_CreateContexteHF(103);
  db::SetContextHandle(LE_CreateContexteHF(103));
  db::DescribeAllFiles();
  bool opened = db::ContextHandle() > 0;
  EXPECT_TRUE(opened) << "no engine context";
  if (options_.share_with_runtime) {
    const bool shared = LE_Hinitpartage(db::ContextHandle(), runtime_context_) != 0;
    EXPECT_TRUE(shared) << "the runtime's context does not share the program's";
    opened = opened && shared;
  }
  const bool analysis = db::Houvreanalyse(analysis_file.string(), "", "", "", "") != 0;
  EXPECT_TRUE(analysis) << "cannot open the analysis " << analysis_file;
  db::Hsubstrep(db::kPlaceholderDirectory, data_.string());
  db::Hseterrignore(1);
  ready_ = opened && analysis;
}

TemporaryInstallation::~TemporaryInstallation() {
  if (db::ContextHandle() != 0) {
    db::Hferme("");
    db::HftermineCTX();
    db::SetContextHandle(0);
  }
  if (runtime_context_ != 0) LE_HftermineCTX(runtime_context_);
  if (options_.own_parameter_file) config::SetParameterFilePath(config::kParameterFilePath);
  if (options_.set_data_directory) config::SetDataDirectory("");
  if (options_.list_separator) config::SetListSeparator(previous_separator_);
  today_.reset();
  if (root_.empty()) return;
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

void TemporaryInstallation::WriteParameterFile(std::string_view bytes) const {
  std::ofstream out(parameter_file(), std::ios::binary | std::ios::trunc);
  out << bytes;
  EXPECT_TRUE(out.good()) << "cannot write " << parameter_file();
}

std::string TemporaryInstallation::ReadParameterFile() const {
  std::ifstream in(parameter_file(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace vz::testing
