// Field tables of PROFES, ANNEXE and RUBRIQUE, as the layouts give them,
// checked against the shared coded-label view.
#include "src/db/layouts/code_label.h"

#include <gtest/gtest.h>

#include <vector>

#include "src/db/layouts/layout_probe_test_util.h"
#include "src/db/record_buffers.h"

namespace vz::db::testing {
namespace {

template <class View>
FileProbes CodeLabelProbes(FileId file, const char* name, size_t buffer_size, size_t key_slot,
                           const char* key_name) {
  return {file,
          name,
          buffer_size,
          {
              Text<View>("1 prefix", 1, 0, 2, &View::Prefix, &View::SetPrefix),
              Text<View>("2 number", 2, 3, 3, &View::Number, &View::SetNumber),
              Text<View>("3 label", 3, 7, 30, &View::Label, &View::SetLabel),
              KeySlot<View>(key_name, 0, key_slot, &View::Key, &View::SetKey),
          }};
}

}  // namespace

std::vector<FileProbes> CodeLabelFileProbes() {
  return {
      CodeLabelProbes<ProfessionRecord>(FileId::PROFES, "PROFES", 301, 236, "key CODPROF"),
      CodeLabelProbes<AnnexRecord>(FileId::ANNEXE, "ANNEXE", 116, 51, "key CODRUBR"),
      CodeLabelProbes<RubricCatalogueRecord>(FileId::RUBRIQUE, "RUBRIQUE", 116, 51, "key CODRUBR"),
  };
}

namespace {

TEST(CodeLabelLayoutsTest, EveryNamedFieldSitsAtItsOffset) {
  for (const FileProbes& file : CodeLabelFileProbes()) {
    SCOPED_TRACE(file.name);
    for (const FieldProbe& probe : file.probes) CheckProbe(probe, file.buffer_size);
  }
}

TEST(CodeLabelLayoutsTest, BufferSizesMatchTheProgramBuffers) {
  EXPECT_EQ(ProfessionRecord::kBufferSize, 301u);
  EXPECT_EQ(AnnexRecord::kBufferSize, 116u);
  EXPECT_EQ(RecordBufferSize(FileId::PROFES), ProfessionRecord::kBufferSize);
  EXPECT_EQ(RecordBufferSize(FileId::ANNEXE), AnnexRecord::kBufferSize);
  EXPECT_EQ(RecordBufferSize(FileId::RUBRIQUE), RubricCatalogueRecord::kBufferSize);
}

TEST(CodeLabelLayoutsTest, CurrentViewsUseTheProcessWideBuffers) {
  EXPECT_EQ(CurrentProfession().data, RecordBuffer(FileId::PROFES));
  EXPECT_EQ(CurrentAnnex().data, RecordBuffer(FileId::ANNEXE));
  EXPECT_EQ(CurrentRubricCatalogue().data, RecordBuffer(FileId::RUBRIQUE));
  // ANNEXE and RUBRIQUE share a layout but never a buffer.
  EXPECT_NE(CurrentAnnex().data, CurrentRubricCatalogue().data);
}

// A label as long as the field keeps all its characters, accents included;
// one character more is cut, never spilled into the next field.
TEST(CodeLabelLayoutsTest, LabelOfExactlyThirtyCharactersIsKept) {
  std::vector<uint8_t> buffer(ProfessionRecord::kBufferSize, 0x5A);
  ProfessionRecord profession{buffer.data()};
  const std::string label = "Ing\xE9nieur g\xE9n\xE9ral des ponts+++";  // cp1252
  ASSERT_EQ(label.size(), ProfessionRecord::kLabelWidth);
  profession.SetLabel(label);
  EXPECT_EQ(profession.Label(), label);
  profession.SetLabel(label + "X");
  EXPECT_EQ(profession.Label(), label);
  EXPECT_EQ(buffer[ProfessionRecord::kLabelOffset + 1 + label.size()], 0x5A)
      << "byte after the label";
}

}  // namespace
}  // namespace vz::db::testing
