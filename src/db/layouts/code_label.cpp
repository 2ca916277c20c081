#include "src/db/layouts/code_label.h"

#include "src/db/record_buffers.h"

namespace vz::db {

ProfessionRecord CurrentProfession() {
  return ProfessionRecord{RecordBuffer(FileId::PROFES)};
}

AnnexRecord CurrentAnnex() {
  return AnnexRecord{RecordBuffer(FileId::ANNEXE)};
}

RubricCatalogueRecord CurrentRubricCatalogue() {
  return RubricCatalogueRecord{RecordBuffer(FileId::RUBRIQUE)};
}

}  // namespace vz::db
