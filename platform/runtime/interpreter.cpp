#include "platform/runtime/interpreter.h"

#include <array>
#include <utility>

#include "platform/runtime/text_encoding.h"

namespace vz::runtime {
namespace {

using Handler = CommandResult (*)(Session&, std::string_view);

constexpr std::array<std::pair<std::string_view, Handler>, 23> kVerbs = {{
    {"OUVRE", RunOpen},
    {"FERME", RunClose},
    {"ECRAN,SAISIE", RunInput},
    {"ECRAN,RECUPERE", RunReadField},
    {"ECRAN,SELECTION", RunFieldState},
    {"ECRAN,ARRET", RunStopQuestion},
    {"AFFICHE", RunDisplay},
    {"RECUPERE", RunReadVariable},
    {"TABLE,AJOUTE", RunTableAdd},
    {"TABLE,CHERCHE", RunTableFind},
    {"TABLE,OCCURRENCE", RunTableCount},
    {"TABLE,SELECT", RunTableSelect},
    {"TABLE,RECUPERE", RunTableRead},
    {"LISTE,CHERCHE", RunListFind},
    {"LISTE,SELECT", RunListSelect},
    {"EXECUTE", RunExecute},
    {"ERREUR", RunErrorBox},
    {"INFO", RunInfoBox},
    {"OUINON", RunQuestion},
    {"MULTITACHE", RunEvents},
    {"BIBLI", RunLoadLibrary},
    {"PROJET", RunProject},
    {"HFCTX", RunEngineContext},
}};

bool TakesSecondWord(std::string_view verb) {
  return verb == "ECRAN" || verb == "TABLE" || verb == "LISTE";
}

}  // namespace

std::pair<std::string_view, std::string_view> SplitAtComma(std::string_view text) {
  const size_t comma = text.find(',');
  if (comma == std::string_view::npos) return {text, {}};
  return {text.substr(0, comma), text.substr(comma + 1)};
}

ParsedCommand ParseCommand(std::string_view command) {
  ParsedCommand parsed;
  // The verb ends at the first comma or parenthesis (a plain loop: a set
  // search costs a scan of the set per character, on every command).
  size_t end = 0;
  while (end < command.size() && command[end] != ',' && command[end] != '(') ++end;
  parsed.verb = FoldName(TrimBlanks(command.substr(0, end)));
  if (end < command.size()) {
    parsed.args = command[end] == '(' ? command.substr(end) : command.substr(end + 1);
  }
  if (TakesSecondWord(parsed.verb) && end < command.size() && command[end] == ',') {
    auto [second, rest] = SplitAtComma(parsed.args);
    parsed.verb += ',';
    parsed.verb += FoldName(TrimBlanks(second));
    parsed.args = rest;
  }
  return parsed;
}

CommandResult Interpret(Session& session, std::string_view command) {
  const ParsedCommand parsed = ParseCommand(command);
  for (const auto& [verb, handler] : kVerbs) {
    if (verb == parsed.verb) return handler(session, parsed.args);
  }
  return session.Fail("unknown command \"" + parsed.verb + "\"");
}

}  // namespace vz::runtime
