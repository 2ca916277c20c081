// The command interpreter: splits a command into its verb and arguments and
// hands it to the verb group that runs it (one file per group: verbs_*.cpp).
//
// Verbs are compared without regard to case and accents ("EXéCUTE",
// "exécute", "Execute"). "Ecran", "Table" and "Liste" take a second word
// ("Ecran,Saisie", "Table,Cherche"). Arguments keep the case and bytes of the
// command as received.
#ifndef VZ_PLATFORM_RUNTIME_INTERPRETER_H_
#define VZ_PLATFORM_RUNTIME_INTERPRETER_H_

#include <string>
#include <string_view>

#include "platform/runtime/session.h"

namespace vz::runtime {

struct ParsedCommand {
  std::string verb;       // folded: "OUVRE", "ECRAN,SAISIE", "TABLE,SELECT", "EXECUTE"
  std::string_view args;  // what follows the verb and its comma; for "EXECUTE(" it starts at '('
};

ParsedCommand ParseCommand(std::string_view command);

// Runs one command; Session::Execute adds the transcript line.
CommandResult Interpret(Session& session, std::string_view command);

// Verb groups.
CommandResult RunOpen(Session& session, std::string_view args);          // Ouvre
CommandResult RunClose(Session& session, std::string_view args);         // Ferme
CommandResult RunInput(Session& session, std::string_view args);         // Ecran,Saisie
CommandResult RunReadField(Session& session, std::string_view args);     // ECRAN,RECUPERE
CommandResult RunFieldState(Session& session, std::string_view args);    // Ecran,Selection
CommandResult RunDisplay(Session& session, std::string_view args);       // AFFICHE
CommandResult RunReadVariable(Session& session, std::string_view args);  // RECUPERE
CommandResult RunTableAdd(Session& session, std::string_view args);
CommandResult RunTableFind(Session& session, std::string_view args);
CommandResult RunTableCount(Session& session, std::string_view args);
CommandResult RunTableSelect(Session& session, std::string_view args);
CommandResult RunTableRead(Session& session, std::string_view args);
CommandResult RunListFind(Session& session, std::string_view args);
CommandResult RunListSelect(Session& session, std::string_view args);
CommandResult RunExecute(Session& session, std::string_view args);
CommandResult RunErrorBox(Session& session, std::string_view args);
CommandResult RunInfoBox(Session& session, std::string_view args);
CommandResult RunQuestion(Session& session, std::string_view args);
CommandResult RunEvents(Session& session, std::string_view args);         // MULTITACHE
CommandResult RunStopQuestion(Session& session, std::string_view args);   // ECRAN,ARRET
CommandResult RunLoadLibrary(Session& session, std::string_view args);    // BIBLI
CommandResult RunProject(Session& session, std::string_view args);        // PROJET
CommandResult RunEngineContext(Session& session, std::string_view args);  // HFCTX

// Splits text at its first comma: before and after (after empty when none).
std::pair<std::string_view, std::string_view> SplitAtComma(std::string_view text);

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_INTERPRETER_H_
