// The named fields of PROFES, ANNEXE and RUBRIQUE, read through the shared
// coded-label view, and a label as long as its field.
#include "src/db/layouts/code_label.h"

#include <gtest/gtest.h>

#include <vector>

#include "src/db/layouts/layout_probe_test_util.h"

namespace vz::db::testing {
namespace {

template <class View>
FileProbes CodeLabelProbes(const char* key_name) {
  return {View::kFile,
          {
              Field<View>("1 prefix", 1, &View::Prefix, &View::SetPrefix),
              Field<View>("2 number", 2, &View::Number, &View::SetNumber),
              Field<View>("3 label", 3, &View::Label, &View::SetLabel),
              KeySlot<View>(key_name, 0, &View::Key, &View::SetKey),
          }};
}

}  // namespace

std::vector<FileProbes> CodeLabelFileProbes() {
  return {
      CodeLabelProbes<ProfessionRecord>("key CODPROF"),
      CodeLabelProbes<AnnexRecord>("key CODRUBR"),
      CodeLabelProbes<RubricCatalogueRecord>("key CODRUBR"),
  };
}

namespace {

// A label as long as the field keeps all its characters, accents included;
// one character more is cut, never spilled into the next field.
TEST(CodeLabelLayoutsTest, LabelOfExactlyThirtyCharactersIsKept) {
  std::vector<uint8_t> buffer(ProfessionRecord::kBufferSize, 0x5A);
  ProfessionRecord profession{buffer.data()};
  const std::string label = "Ing\xE9nieur g\xE9n\xE9ral des ponts+++";  // cp1252
  ASSERT_EQ(label.size(), 30u);
  profession.SetLabel(label);
  EXPECT_EQ(profession.Label(), label);
  profession.SetLabel(label + "X");
  EXPECT_EQ(profession.Label(), label);
  const size_t label_end = Describe(FileId::PROFES).field_offsets[3];
  EXPECT_EQ(buffer[label_end], 0x5A) << "byte after the label";
}

}  // namespace
}  // namespace vz::db::testing
