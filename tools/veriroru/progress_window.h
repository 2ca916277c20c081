// The tools program's watch-only progress window PROGRESSION (VERIRORU.wdl),
// shown over the tools window while a backup, a restore or a check runs:
// what runs (INTITULE), the step (ETAPE), the file being handled (FICHIER),
// its place ("3 sur 25", COMPTE), a bar of marks (JAUGE) and the share done
// (POURCENT). It has no button the adviser can press: the runtime shows a
// window that is current outside an input without letting it be closed.
//
// ProgressWindow opens the window when it is made and closes it when it is
// destroyed, so that every way out of an action (success, refusal, failure)
// leaves the tools window current before the outcome is shown. Each update
// ends with "MULTITACHE,-2" so that the desktop front end repaints (it
// bounds its own redraws). Commands go through the sender given, which
// takes UTF-8 and returns the command's integer result; a window that cannot
// be opened (a library without it) leaves the action running unseen.
//
// REQUIRES: the sender and the window library outlive the ProgressWindow.
#ifndef VZ_TOOLS_VERIRORU_PROGRESS_WINDOW_H_
#define VZ_TOOLS_VERIRORU_PROGRESS_WINDOW_H_

#include <cstdint>
#include <functional>
#include <string>

#include "tools/veriroru/progress.h"

namespace vz::veriroru {

inline constexpr const char* kProgressWindowName = "PROGRESSION";
inline constexpr int kProgressBarMarks = 50;

// What the window shows for one step (UTF-8).
struct ProgressTexts {
  std::string step;     // "Copie des fichiers dans la sauvegarde"
  std::string file;     // "CLIENT.vzdb"
  std::string count;    // "3 sur 25": the place of the file being handled
  std::string bar;      // one '|' per 2 % of the work done (whole files, and the
                        // share of the file being copied)
  std::string percent;  // "8 %", the same share
};

ProgressTexts DescribeProgress(const ProgressStep& step);

// How a sentence names the backup listed as `readable`: "du 08/12/2026 à
// 10:20:30", or "faite avant la restauration du ..." for the files a restore
// replaced.
std::string BackupPhrase(const std::string& readable);
// The caption of a restore of that backup: "Restauration de la sauvegarde du ...".
std::string RestoreTitle(const std::string& readable);

class ProgressWindow {
 public:
  using Sender = std::function<int32_t(const std::string& utf8)>;

  // Opens the window over the current one, `title` saying what runs.
  ProgressWindow(Sender send, const std::string& title);
  ~ProgressWindow();
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  bool is_open() const { return open_; }
  // Shows a step; nothing when the window is not open.
  void Show(const ProgressStep& step);
  // A report that shows each step in this window; valid while it lives.
  ProgressReport Report() {
    return [this](const ProgressStep& step) { Show(step); };
  }

 private:
  Sender send_;
  bool open_ = false;
};

}  // namespace vz::veriroru

#endif  // VZ_TOOLS_VERIRORU_PROGRESS_WINDOW_H_
