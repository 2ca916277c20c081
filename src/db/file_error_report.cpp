// French messages for faults of data files (file_error_report.h).
#include "src/db/file_error_report.h"

#include "platform/os/cp1252.h"

namespace vz::db {
namespace {

std::string_view WhatHappened(FileFaultKind kind) {
  switch (kind) {
    case FileFaultKind::kNone:
    case FileFaultKind::kUnusable:
      break;
    case FileFaultKind::kDamaged:
      return "est endommagé";
    case FileFaultKind::kFull:
      return "ne peut pas être écrit : le disque est plein";
    case FileFaultKind::kLocked:
      return "est verrouillé par un autre programme";
    case FileFaultKind::kReadOnly:
      return "ne peut pas être écrit : il ou son dossier est en lecture seule";
    case FileFaultKind::kIoError:
      return "n'a pas pu être lu ou écrit (erreur du disque)";
    case FileFaultKind::kServerLost:
      return "n'a pas pu être lu ou écrit : le serveur de base de données ne répond plus";
  }
  return "ne peut pas être utilisé (endommagé, illisible ou n'étant pas le fichier attendu)";
}

}  // namespace

std::string FileErrorMessage(const EngineFileError& error, std::string_view consequence) {
  std::string message = os::Cp1252("Le fichier de données ");
  message += error.file.empty() ? std::string("?") : error.file;
  if (!error.path.empty()) message += " (" + error.path + ")";
  message += ' ';
  message += os::Cp1252(WhatHappened(error.kind));
  message += " : ";
  message += consequence;
  message += '.';
  if (!error.reason.empty()) message += " [" + error.reason + "]";
  return message;
}

}  // namespace vz::db
