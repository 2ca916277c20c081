#include "tools/veriroru/verification.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <system_error>

#include "platform/os/cp1252.h"
#include "tools/veriroru/backup.h"
#include "tools/veriroru/server_store.h"
#include "tools/veriroru/time_stamp.h"

namespace vz::veriroru {
namespace {

std::string Plural(int64_t count, const std::string& one, const std::string& many) {
  return std::to_string(count) + " " + (count == 1 || count == 0 ? one : many);
}

// CR LF line ends and cp1252, as the suite's text files are.
std::string StoredText(const std::string& utf8) {
  std::string text;
  for (char c : vz::os::Cp1252(utf8)) {
    if (c == '\n') text += '\r';
    text += c;
  }
  return text;
}

// Writes `contents` to a new file "<folder>/<base>.txt" ("<base>-2.txt"...);
// the path, or "" on failure.
std::string WriteNewFile(const std::string& folder, const std::string& base,
                         const std::string& contents) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  for (int attempt = 1; attempt < 1000; ++attempt) {
    std::string path = folder + "/" + base;
    if (attempt > 1) path += "-" + std::to_string(attempt);
    path += ".txt";
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return "";
    }
    std::size_t written = 0;
    while (written < contents.size()) {
      ssize_t n = ::write(fd, contents.data() + written, contents.size() - written);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      written += static_cast<std::size_t>(n);
    }
    bool ok = written == contents.size() && ::close(fd) == 0;
    if (!ok) {
      ::unlink(path.c_str());
      return "";
    }
    return path;
  }
  return "";
}

}  // namespace

std::string ReportText(const ToolPaths& paths, const std::tm& when,
                       const std::vector<FileCheckResult>& files) {
  std::string text = "Vérification et réindexation des fichiers de données\n";
  text += "Date : " + ReadableStamp(when) + "\n";
  text += "Répertoire des données : " + paths.data_directory + "\n\n";
  int with_problems = 0;
  int64_t keys = 0;
  for (const FileCheckResult& f : files) {
    text += f.name;
    if (!f.analysis_name.empty() && f.analysis_name + ".vzdb" != f.name) {
      text += " (" + f.analysis_name + ")";
    }
    text += " : ";
    text += f.records >= 0 ? Plural(f.records, "enregistrement", "enregistrements")
                           : std::string("enregistrements non comptés");
    text += ", " + Plural(f.keys_rebuilt, "clé reconstruite", "clés reconstruites");
    text += f.sound()
                ? ", aucun problème\n"
                : ", " + Plural(static_cast<int64_t>(f.problems.size()), "problème", "problèmes") +
                      "\n";
    for (const std::string& r : f.repairs) text += "  réparé : " + r + "\n";
    for (const std::string& p : f.problems) text += "  problème : " + p + "\n";
    if (!f.sound()) ++with_problems;
    keys += f.keys_rebuilt;
  }
  if (files.empty()) text += "Aucun fichier de données.\n";
  text += "\nRésultat : " +
          Plural(static_cast<int64_t>(files.size()), "fichier vérifié", "fichiers vérifiés") +
          ", " +
          Plural(with_problems, "fichier avec des problèmes", "fichiers avec des problèmes") +
          ", " + Plural(keys, "clé reconstruite", "clés reconstruites") + ".\n";
  if (with_problems > 0) {
    text += "Un fichier endommagé se répare en restaurant une sauvegarde (Restaurer...).\n";
  }
  return text;
}

VerificationResult RunVerification(const ToolPaths& paths, const vz::engine::Analysis* analysis,
                                   const std::tm& when, const ProgressReport& progress) {
  VerificationResult result;
  std::string server_failure;
  const std::optional<std::string> server = ServerConnection(paths);
  if (server) result.files = CheckServerFiles(*server, analysis, progress, &server_failure);
  const std::vector<std::string> names =
      server ? std::vector<std::string>{} : DataFileNames(paths.data_directory);
  for (const std::string& name : names) {
    ReportProgress(progress, ProgressPhase::kCheckAndIndex, name, result.files.size(),
                   names.size());
    result.files.push_back(CheckAndReindexFile(paths.data_directory + "/" + name, analysis));
  }
  result.report = ReportText(paths, when, result.files);
  if (!server_failure.empty())
    result.report += "Vérification impossible : " + server_failure + ".\n";
  result.report_path = WriteNewFile(paths.data_directory + "/" + kReportFolder,
                                    "verification-" + FolderStamp(when), StoredText(result.report));
  result.ok = !result.report_path.empty();
  result.ok = result.ok && server_failure.empty();
  for (const FileCheckResult& f : result.files) result.ok = result.ok && f.sound();
  if (result.report_path.empty()) {
    result.report += "Le rapport n'a pas pu être écrit dans " + paths.data_directory + "/" +
                     kReportFolder + ".\n";
  } else {
    result.report += "Rapport enregistré dans " + result.report_path + ".\n";
  }
  return result;
}

}  // namespace vz::veriroru
