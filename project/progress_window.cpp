// Window code of the progress windows: EX_attente, shown by the selection run
// and the rubric extraction while they walk the client file, and EX_LETTRES,
// shown while the letters are written.
//
// EX_attente.NbTraite.entree runs after each step has written the counter
// NbTraite: it fills the bar JAUGE (one mark per 2 % of NBTOTAL, at most 50)
// and the percentage POURCENT. A counter or total that is not a number counts
// as 0; a total of 0 shows an empty bar; a counter above the total shows a
// full one. Missing fields are noted in the transcript and nothing changes.
// Every kStepsBetweenEvents counts it lets the front end process its pending
// events, so that the desktop stays alive during a long run (the desktop front
// end bounds its redraws itself); never once per client.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>

#include "project/project_code.h"

namespace vz::project {
namespace {

constexpr int kBarMarks = 50;
constexpr int64_t kStepsBetweenEvents = 128;
static_assert((kStepsBetweenEvents & (kStepsBetweenEvents - 1)) == 0, "a power of two");

int64_t CountOf(const std::string& text) {
  const size_t start = text.find_first_not_of(' ');
  if (start == std::string::npos) return 0;
  int64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data() + start, end, value);
  if (ec != std::errc() || value < 0) return 0;
  for (const char* p = ptr; p < end; ++p) {
    if (*p != ' ') return 0;
  }
  return value;
}

void MoveProgressBar(runtime::CodeContext& context, runtime::Window& window) {
  const runtime::Field* done = window.FindField("NbTraite");
  const runtime::Field* total = window.FindField("NBTOTAL");
  runtime::Field* bar = window.FindField("JAUGE");
  runtime::Field* percent = window.FindField("POURCENT");
  if (!done || !total || !bar || !percent) {
    context.Note("progress window \"" + window.name +
                 "\" lacks NbTraite, NBTOTAL, JAUGE or POURCENT");
    return;
  }
  const int64_t count = CountOf(done->value);
  const int64_t whole = CountOf(total->value);
  const int64_t share = whole > 0 ? std::min<int64_t>(100, count * 100 / whole) : 0;
  const size_t marks = static_cast<size_t>(share * kBarMarks / 100);
  if (bar->value.size() != marks) bar->value.assign(marks, '|');
  std::string text = std::to_string(share) + " %";
  if (percent->label != text) percent->label = std::move(text);
  if (count > 0 && (count & (kStepsBetweenEvents - 1)) == 0) context.Front().ProcessEvents();
}

}  // namespace

void RegisterProgressWindow(runtime::CodeRegistry& registry) {
  registry.AddWindowCode("EX_attente", "NbTraite", "entree", MoveProgressBar);
  registry.AddWindowCode("EX_LETTRES", "NbTraite", "entree", MoveProgressBar);
}

}  // namespace vz::project
