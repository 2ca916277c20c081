// Zip packages read and rewritten: the replaced part comes back, the other
// parts are kept byte for byte, "mimetype" comes first and stored.
#include "src/outputs/letter_package.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <zip.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

namespace vz::outputs {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

// A zip of the entries in order, every one compressed.
std::string MakeZip(const Entries& entries) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_source_keep(target);
  zip_t* archive = zip_open_from_source(target, ZIP_TRUNCATE, &error);
  for (const auto& [name, bytes] : entries) {
    zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
    zip_file_add(archive, name.c_str(), source, 0);
  }
  zip_close(archive);
  zip_stat_t stat;
  zip_source_stat(target, &stat);
  std::string out(stat.size, '\0');
  zip_source_open(target);
  zip_source_read(target, out.data(), stat.size);
  zip_source_close(target);
  zip_source_free(target);
  zip_error_fini(&error);
  return out;
}

// The names of the entries in order, and whether each is stored.
std::vector<std::pair<std::string, bool>> Listing(const std::string& zip) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(zip.data(), zip.size(), 0, &error);
  zip_t* archive = zip_open_from_source(source, ZIP_RDONLY, &error);
  std::vector<std::pair<std::string, bool>> listing;
  for (zip_int64_t i = 0; archive != nullptr && i < zip_get_num_entries(archive, 0); ++i) {
    zip_stat_t stat;
    zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
    listing.emplace_back(stat.name, stat.comp_method == ZIP_CM_STORE);
  }
  if (archive != nullptr) zip_discard(archive);
  zip_error_fini(&error);
  return listing;
}

const Entries kOdt = {{"content.xml", "<old/>"},
                      {"styles.xml", "<styles/>"},
                      {"mimetype", "application/vnd.oasis.opendocument.text"},
                      {"Pictures/logo.png", std::string("\x89PNG\0\x01\x02", 7)}};

TEST(LetterPackage, MainPartsByFormat) {
  EXPECT_EQ(MainPartName(LetterFormat::kDocx), "word/document.xml");
  EXPECT_EQ(MainPartName(LetterFormat::kOdt), "content.xml");
  EXPECT_TRUE(IsPackageFormat(LetterFormat::kOdt));
  EXPECT_FALSE(IsPackageFormat(LetterFormat::kFlatOdf));
  EXPECT_EQ(LetterFormatOf("LETTRE.DOCX"), LetterFormat::kDocx);
  EXPECT_EQ(LetterFormatOf("lettre.odt"), LetterFormat::kOdt);
}

TEST(LetterPackage, ReplacesOnePartKeepsTheOthersMimetypeFirstAndStored) {
  const std::string zip = MakeZip(kOdt);
  const std::optional<std::string> rewritten = PackageWithPart(zip, "content.xml", "<new/>");
  ASSERT_TRUE(rewritten);
  EXPECT_EQ(ReadPackagePart(*rewritten, "content.xml"), "<new/>");
  for (const auto& [name, bytes] : kOdt) {
    if (name != "content.xml") {
      EXPECT_EQ(ReadPackagePart(*rewritten, name), bytes) << name;
    }
  }
  const auto listing = Listing(*rewritten);
  ASSERT_EQ(listing.size(), 4u);
  EXPECT_EQ(listing[0], std::make_pair(std::string("mimetype"), true));
  EXPECT_EQ(listing[1].first, "content.xml");
  // The mimetype's bytes stand right after the first local header, as
  // OpenDocument readers look for them.
  EXPECT_EQ(rewritten->substr(30, 8), "mimetype");
  EXPECT_EQ(rewritten->substr(38, 39), "application/vnd.oasis.opendocument.text");
}

TEST(LetterPackage, MissingPartIsAddedAndBadPackagesFail) {
  const std::string zip = MakeZip({{"[Content_Types].xml", "<Types/>"}});
  const auto added = PackageWithPart(zip, "word/document.xml", "<w:document/>");
  ASSERT_TRUE(added);
  EXPECT_EQ(ReadPackagePart(*added, "word/document.xml"), "<w:document/>");
  EXPECT_EQ(ReadPackagePart(*added, "[Content_Types].xml"), "<Types/>");
  EXPECT_FALSE(ReadPackagePart(zip, "word/document.xml"));
  for (const std::string& bad :
       {std::string(), std::string("PK\x03\x04 not a zip"), std::string("{\\rtf1 }")}) {
    EXPECT_FALSE(ReadPackagePart(bad, "content.xml"));
    EXPECT_FALSE(PackageWithPart(bad, "content.xml", "<x/>"));
  }
}

TEST(LetterPackage, WritesAPackageFileWithThePartFromAFile) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("vz_package_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "part.xml", std::ios::binary)
      << "<big>" << std::string(100000, 'x') << "</big>";
  const std::string out = (folder / "out.odt").string();
  ASSERT_TRUE(
      WritePackageWithPartFile(MakeZip(kOdt), "content.xml", (folder / "part.xml").string(), out));
  std::ifstream in(out, std::ios::binary);
  const std::string written((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(ReadPackagePart(written, "content.xml")->size(), 100011u);
  EXPECT_EQ(Listing(written)[0].first, "mimetype");
  EXPECT_FALSE(WritePackageWithPartFile(MakeZip(kOdt), "content.xml",
                                        (folder / "part.xml").string(),
                                        (folder / "no_such_folder" / "x.odt").string()));
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace vz::outputs
