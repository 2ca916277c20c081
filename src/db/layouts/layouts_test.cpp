// Checks across all the record views of this folder: every named accessor
// against the catalogue built at run time, the accessors of one record
// together, and the views on the process-wide buffers.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "src/db/catalogue.h"
#include "src/db/layouts/adresses.h"
#include "src/db/layouts/client.h"
#include "src/db/layouts/clipart.h"
#include "src/db/layouts/code_label.h"
#include "src/db/layouts/interfa.h"
#include "src/db/layouts/layout_probe_test_util.h"
#include "src/db/layouts/requetes.h"
#include "src/db/layouts/rubric_files.h"
#include "src/db/layouts/selectes.h"
#include "src/db/record_buffers.h"

namespace vz::db::testing {
namespace {

// Each accessor pair writes exactly the place the catalogue gives its field,
// element, key slot or long text, with the width found there, and nothing
// else; it reads back what lies there.
TEST(LayoutsTest, EveryNamedFieldSitsWhereTheCatalogueDescribesIt) {
  for (const FileProbes& file : AllFileProbes()) {
    const FileDescription& description = Describe(file.file);
    SCOPED_TRACE(std::string(description.name));
    for (const FieldProbe& probe : file.probes) CheckProbe(probe, description);
  }
}

std::string DistinctText(size_t index, size_t width) {
  return std::string(width, static_cast<char>('A' + index % 26));
}

// Probes that name the same place twice on purpose (a file's own view and
// the common rubric head; PREVSOUH's amount and the first element of its
// field 4) are checked once.
std::vector<FieldProbe> DistinctPlaces(const std::vector<FieldProbe>& probes,
                                       const FileDescription& file) {
  std::vector<FieldProbe> distinct;
  std::set<size_t> offsets;
  for (const FieldProbe& p : probes) {
    if (offsets.insert(Locate(p, file).offset).second) distinct.push_back(p);
  }
  return distinct;
}

// Two accessors that share a byte by mistake would pass one by one; filling
// every named field of a record, then reading them all, catches it.
TEST(LayoutsTest, NamedFieldsOfOneRecordNeverOverlap) {
  for (const FileProbes& file : AllFileProbes()) {
    const FileDescription& description = Describe(file.file);
    SCOPED_TRACE(std::string(description.name));
    const std::vector<FieldProbe> probes = DistinctPlaces(file.probes, description);
    std::vector<uint8_t> buffer(description.buffer_size, 0);
    for (size_t i = 0; i < probes.size(); ++i) {
      const FieldProbe& p = probes[i];
      switch (p.kind) {
        case ValueKind::kText:
          p.set_text(buffer.data(), DistinctText(i, Locate(p, description).bytes - 1));
          break;
        case ValueKind::kReal:
          p.set_real(buffer.data(), 1.5f * static_cast<float>(i + 1));
          break;
        case ValueKind::kInt16:
          p.set_int(buffer.data(), static_cast<int16_t>(100 + i));
          break;
      }
    }
    for (size_t i = 0; i < probes.size(); ++i) {
      const FieldProbe& p = probes[i];
      SCOPED_TRACE(p.name);
      switch (p.kind) {
        case ValueKind::kText:
          EXPECT_EQ(p.get_text(buffer.data()), DistinctText(i, Locate(p, description).bytes - 1));
          break;
        case ValueKind::kReal:
          EXPECT_EQ(p.get_real(buffer.data()), 1.5f * static_cast<float>(i + 1));
          break;
        case ValueKind::kInt16:
          EXPECT_EQ(p.get_int(buffer.data()), static_cast<int16_t>(100 + i));
          break;
      }
    }
  }
}

// Each Current...() view works on its own file's buffer, even where two files
// share a layout (ANNEXE and RUBRIQUE).
TEST(LayoutsTest, CurrentViewsUseTheProcessWideBuffers) {
  struct View {
    FileId file;
    const uint8_t* data;
  };
  const View views[] = {
      {FileId::CLIENT, CurrentClient().data},
      {FileId::ADRESSES, CurrentAddress().data},
      {FileId::CLIPART, CurrentEstate().data},
      {FileId::PROFES, CurrentProfession().data},
      {FileId::ANNEXE, CurrentAnnex().data},
      {FileId::RUBRIQUE, CurrentRubricCatalogue().data},
      {FileId::REQUETES, CurrentQueryLine().data},
      {FileId::SELECTES, CurrentSelected().data},
      {FileId::INTERFA, CurrentInterface().data},
      {FileId::REVENUS, CurrentIncome().data},
      {FileId::EMPRUNTS, CurrentLoan().data},
      {FileId::IMMORAPP, CurrentRental().data},
      {FileId::RETRPERS, CurrentPersonalPension().data},
      {FileId::PREVSOUH, CurrentProvident().data},
  };
  for (const View& view : views) {
    EXPECT_EQ(view.data, RecordBuffer(view.file)) << Describe(view.file).name;
  }
}

}  // namespace
}  // namespace vz::db::testing
