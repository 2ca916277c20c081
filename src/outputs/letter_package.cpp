// Zip packages of Word and OpenDocument letters (letter_package.h), through
// libzip.
#include "src/outputs/letter_package.h"

#include <zip.h>

#include <memory>
#include <vector>

namespace vz::outputs {
namespace {

constexpr std::string_view kMimetype = "mimetype";

struct ZipCloser {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ZipHandle = std::unique_ptr<zip_t, ZipCloser>;

// Opens a zip held in memory (the bytes must outlive the handle).
ZipHandle OpenInMemory(std::string_view bytes) {
  if (bytes.empty()) return nullptr;  // libzip would take it for an empty zip
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  zip_error_fini(&error);
  if (source == nullptr) return nullptr;
  zip_error_init(&error);
  zip_t* archive = zip_open_from_source(source, ZIP_RDONLY, &error);
  zip_error_fini(&error);
  if (archive == nullptr) zip_source_free(source);
  return ZipHandle(archive);
}

// Copies the entries of `in` into `out`, "mimetype" first and stored, entry
// `name` taken from `replacement` (owned by `out` once added).
bool CopyEntries(zip_t* in, zip_t* out, std::string_view name, zip_source_t* replacement) {
  const zip_int64_t count = zip_get_num_entries(in, 0);
  std::vector<zip_int64_t> order;
  for (zip_int64_t i = 0; i < count; ++i) {
    const char* entry = zip_get_name(in, static_cast<zip_uint64_t>(i), 0);
    if (entry == nullptr) return false;
    if (entry == kMimetype) {
      order.insert(order.begin(), i);
    } else {
      order.push_back(i);
    }
  }
  bool replaced = false;
  for (const zip_int64_t i : order) {
    const std::string entry = zip_get_name(in, static_cast<zip_uint64_t>(i), 0);
    if (!entry.empty() && entry.back() == '/') {
      if (zip_dir_add(out, entry.c_str(), ZIP_FL_ENC_UTF_8) < 0) return false;
      continue;
    }
    zip_source_t* source = nullptr;
    if (entry == name) {
      source = replacement;
      replaced = true;
    } else {
      source = zip_source_zip(out, in, static_cast<zip_uint64_t>(i), 0, 0, -1);
    }
    if (source == nullptr) return false;
    const zip_int64_t added = zip_file_add(out, entry.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (added < 0) {
      zip_source_free(source);
      return false;
    }
    if (entry == kMimetype &&
        zip_set_file_compression(out, static_cast<zip_uint64_t>(added), ZIP_CM_STORE, 0) != 0) {
      return false;
    }
  }
  if (!replaced) {
    const std::string entry(name);
    if (zip_file_add(out, entry.c_str(), replacement, ZIP_FL_ENC_UTF_8) < 0) {
      zip_source_free(replacement);
      return false;
    }
  }
  return true;
}

}  // namespace

bool IsPackageFormat(LetterFormat format) {
  return format == LetterFormat::kDocx || format == LetterFormat::kOdt;
}

std::string_view MainPartName(LetterFormat format) {
  if (format == LetterFormat::kDocx) return "word/document.xml";
  if (format == LetterFormat::kOdt) return "content.xml";
  return {};
}

std::optional<std::string> ReadPackagePart(std::string_view package, std::string_view name) {
  const ZipHandle archive = OpenInMemory(package);
  if (!archive) return std::nullopt;
  const std::string entry(name);
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_stat(archive.get(), entry.c_str(), 0, &stat) != 0 || (stat.valid & ZIP_STAT_SIZE) == 0) {
    return std::nullopt;
  }
  zip_file_t* file = zip_fopen(archive.get(), entry.c_str(), 0);
  if (file == nullptr) return std::nullopt;
  std::string bytes(static_cast<size_t>(stat.size), '\0');
  const zip_int64_t read = zip_fread(file, bytes.data(), stat.size);
  zip_fclose(file);
  if (read < 0 || static_cast<zip_uint64_t>(read) != stat.size) return std::nullopt;
  return bytes;
}

std::optional<std::string> PackageWithPart(std::string_view package, std::string_view name,
                                           std::string_view bytes) {
  const ZipHandle in = OpenInMemory(package);
  if (!in) return std::nullopt;
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_error_fini(&error);
  if (target == nullptr) return std::nullopt;
  zip_source_keep(target);
  std::unique_ptr<zip_source_t, decltype(&zip_source_free)> owned(target, zip_source_free);
  zip_error_init(&error);
  zip_t* out = zip_open_from_source(target, ZIP_TRUNCATE, &error);
  zip_error_fini(&error);
  if (out == nullptr) return std::nullopt;
  zip_source_t* part = zip_source_buffer(out, bytes.data(), bytes.size(), 0);
  if (part == nullptr || !CopyEntries(in.get(), out, name, part) || zip_close(out) != 0) {
    zip_discard(out);
    return std::nullopt;
  }
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_source_stat(target, &stat) != 0 || zip_source_open(target) != 0) return std::nullopt;
  std::string result(static_cast<size_t>(stat.size), '\0');
  const zip_int64_t read = zip_source_read(target, result.data(), stat.size);
  zip_source_close(target);
  if (read < 0 || static_cast<zip_uint64_t>(read) != stat.size) return std::nullopt;
  return result;
}

bool WritePackageWithPartFile(std::string_view package, std::string_view name,
                              const std::string& part_file, const std::string& out_path) {
  const ZipHandle in = OpenInMemory(package);
  if (!in) return false;
  int error = 0;
  zip_t* out = zip_open(out_path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (out == nullptr) return false;
  zip_source_t* part = zip_source_file(out, part_file.c_str(), 0, -1);
  if (part == nullptr || !CopyEntries(in.get(), out, name, part) || zip_close(out) != 0) {
    zip_discard(out);
    return false;
  }
  return true;
}

}  // namespace vz::outputs
