#include "src/db/layouts/code_label.h"

#include "src/db/record_buffers.h"

namespace vz::db {

// Every accessor of the three views, checked against the catalogue here.
template struct CodeLabelRecord<FileId::PROFES>;
template struct CodeLabelRecord<FileId::ANNEXE>;
template struct CodeLabelRecord<FileId::RUBRIQUE>;

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
