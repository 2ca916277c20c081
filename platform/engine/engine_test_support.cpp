#include "platform/engine/engine_test_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/engine/call_log.h"
#include "platform/engine/le_api.h"
#include "platform/engine/store_choice.h"

namespace vz::engine::testing {

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern =
      std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") + "/vz_engine_XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (::mkdtemp(name.data()) == nullptr) std::abort();
  path_ = name.data();
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool FileExists(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0;
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

ScopedEngineLog::ScopedEngineLog(const std::string& path) {
  ::setenv("VZ_ENGINE_LOG", path.c_str(), 1);
  ReadLogSetting();
}

ScopedEngineLog::~ScopedEngineLog() {
  ::unsetenv("VZ_ENGINE_LOG");
  ReadLogSetting();
}

Record::Record(std::vector<int32_t> sizes, std::string types)
    : sizes_(std::move(sizes)), types_(std::move(types)) {
  for (int32_t size : sizes_) {
    offsets_.push_back(described_);
    described_ += static_cast<std::size_t>(size);
  }
  bytes_.assign(described_ + kGuard, 0xAB);
  Clear();
}

int32_t Record::Describe(int32_t ctx, const char* file, int32_t declared_size) {
  int32_t declared = declared_size != 0 ? declared_size : static_cast<int32_t>(described_);
  return LE_HDecritEnregistrement(ctx, file, declared, sizes_.data(),
                                  static_cast<int32_t>(sizes_.size()), types_.c_str(),
                                  bytes_.data());
}

void Record::Clear() {
  std::memset(bytes_.data(), 0, described_);
}

uint8_t* Record::Field(int field) {
  return bytes_.data() + offsets_[field - 1];
}
const uint8_t* Record::Field(int field) const {
  return bytes_.data() + offsets_[field - 1];
}

void Record::SetText(int field, const std::string& text) {
  uint8_t* p = Field(field);
  std::size_t size = FieldSize(field);
  std::memset(p, 0, size);
  std::size_t n = std::min(text.size(), size - 1);
  p[0] = static_cast<uint8_t>(n);
  std::memcpy(p + 1, text.data(), n);
}

std::string Record::Text(int field) const {
  const uint8_t* p = Field(field);
  std::size_t n = std::min<std::size_t>(p[0], FieldSize(field) - 1);
  return std::string(reinterpret_cast<const char*>(p + 1), n);
}

void Record::SetInt16(int field, int16_t value) {
  std::memcpy(Field(field), &value, 2);
}

int16_t Record::Int16(int field) const {
  int16_t value;
  std::memcpy(&value, Field(field), 2);
  return value;
}

bool Record::GuardIntact() const {
  for (std::size_t i = described_; i < bytes_.size(); ++i) {
    if (bytes_[i] != 0xAB) return false;
  }
  return true;
}

const char kTestAnalysis[] =
    "VZANALYSIS 1\n"
    "# test analysis\n"
    "FILE CLIENT D:\\VESTRA CLIENT\n"
    "KEY CODCLI 1:2 2:6 3:1 SLOT 4\n"
    "KEY NOMCLI 5:8\n"
    "\n"
    "FILE REVENUS D:\\VESTRA REVENUS\n"
    "KEY CODCLEF 1:9 2:5 3:3 SLOT 5\n"
    "FILE SELECTES D:\\VESTRA SELECTES\n"
    "KEY CODPTT 2:5\n"
    "FILE CHARSOC D:\\VESTRA CHARSOC\n"
    "KEY CLE 1:0 2:9 3:10 NOPAD\n";

void EngineTest::SetUp() {
  if (EngineTestsOnServer()) {
    schema_ = std::make_unique<TestSchema>();
    ASSERT_TRUE(schema_->ok()) << "no test server (VZ_TEST_PG)";
    std::string why;
    ASSERT_TRUE(UsePostgresStore(schema_->conninfo(), &why)) << why;
  }
  data_dir_ = temp_ / "DATA";
  ::mkdir(data_dir_.c_str(), 0755);
  ::mkdir((temp_ / "HSF").c_str(), 0755);
  analysis_path_ = temp_ / "HSF/vestra.wdd";
  WriteFile(analysis_path_, kTestAnalysis);
  ctx_ = LE_CreateContexteHF(4);
  ASSERT_GT(ctx_, 0);
  ASSERT_EQ(client_.Describe(ctx_, "CLIENT", 905), 1);
  ASSERT_EQ(revenus_.Describe(ctx_, "REVENUS"), 1);
  ASSERT_EQ(selectes_.Describe(ctx_, "SELECTES"), 1);
  ASSERT_EQ(charsoc_.Describe(ctx_, "CHARSOC"), 1);
  ASSERT_EQ(LE_Houvreanalyse(ctx_, analysis_path_.c_str(), "", "", "", ""), 1);
  ASSERT_EQ(LE_Hsubstrep(ctx_, "D:\\VESTRA", data_dir_.c_str()), 1);
  LE_Hsetnbessais(ctx_, 3);
}

void EngineTest::TearDown() {
  LE_Hferme(ctx_, "");
  LE_HftermineCTX(ctx_);
  if (schema_ != nullptr) {
    UseSqliteStore();
    schema_.reset();
  }
}

bool EngineTest::Stored(const std::string& physical) const {
  if (schema_ != nullptr) return schema_->HoldsFile(physical);
  return FileExists(DataPath(physical + ".vzdb"));
}

int32_t EngineTest::OpenSecondContext(bool share, Record* client, Record* revenus) {
  int32_t other = LE_CreateContexteHF(2);
  if (client != nullptr) client->Describe(other, "CLIENT", 905);
  if (revenus != nullptr) revenus->Describe(other, "REVENUS");
  if (share) {
    LE_Hinitpartage(other, ctx_);
  } else {
    LE_Houvreanalyse(other, analysis_path_.c_str(), "", "", "", "");
    LE_Hsubstrep(other, "D:\\VESTRA", data_dir_.c_str());
  }
  LE_Hsetnbessais(other, 3);
  return other;
}

void EngineTest::FillClient(Record& r, const std::string& code9, const std::string& name,
                            int16_t value) {
  r.Clear();
  r.SetText(1, code9.substr(0, 2));
  r.SetText(2, code9.size() > 2 ? code9.substr(2, 6) : "");
  r.SetText(3, code9.size() > 8 ? code9.substr(8, 1) : "");
  std::memset(r.Field(4), 'K', r.FieldSize(4));  // the program's own key slot
  r.SetText(5, name);
  r.SetInt16(6, value);
}

std::string EngineTest::ClientCode(const Record& r) {
  return r.Text(1) + r.Text(2) + r.Text(3);
}

bool EngineTest::AddClient(const std::string& code9, const std::string& name, int16_t value) {
  FillClient(client_, code9, name, value);
  return LE_Hajoute(ctx_, "CLIENT", 0) == 1;
}

bool EngineTest::AddRevenu(const std::string& client, const std::string& rubric,
                           const std::string& line, int16_t amount) {
  revenus_.Clear();
  revenus_.SetText(1, client);
  revenus_.SetText(2, rubric);
  revenus_.SetText(3, line);
  revenus_.SetInt16(4, amount);
  return LE_Hajoute(ctx_, "REVENUS", 0) == 1;
}

int32_t EngineTest::Count(const char* file) {
  LE_Hinfogene(ctx_, file);
  return LE_Hnbenr(ctx_);
}

std::vector<std::string> WalkFile(DataFile& file, int key, const char* first,
                                  const Attempts& attempts) {
  Cursor* cursor = file.CursorOf(1);
  ReadRequest request;
  request.key = key;
  request.kind = first != nullptr ? ReadKind::kSearch : ReadKind::kFirst;
  request.value = first != nullptr ? first : "";
  std::vector<std::string> found;
  RecordView record;
  std::string position;
  while (file.Read(*cursor, request, attempts, &record) == ReadResult::kFound) {
    found.emplace_back(record.data);
    position.assign(record.keys[static_cast<std::size_t>(key)]);
    request.kind = ReadKind::kNext;
    request.value = position;
    request.recno = record.recno;
    request.at_cursor = true;
  }
  return found;
}

}  // namespace vz::engine::testing
