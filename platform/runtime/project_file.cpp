#include "platform/runtime/project_file.h"

#include "platform/runtime/attribute_list.h"
#include "platform/runtime/line_format.h"
#include "platform/runtime/text_encoding.h"
#include "platform/runtime/quoted.h"

namespace vz::runtime {
namespace {

std::string ProjectStatement(const std::string& keyword, AttributeList& attributes, int line,
                             bool& seen_project, ProjectFile& project) {
  if (!seen_project && keyword != "project") return "the file must start with \"project NAME\"";
  const auto& names = attributes.positional();
  if (names.size() != 1) return Quoted(keyword) + " needs exactly one name";
  if (keyword == "project") {
    if (seen_project) return "\"project\" is given twice";
    seen_project = true;
    project.name = names[0];
    project.title = attributes.Take("title").value_or("");
  } else if (keyword == "library") {
    if (!project.library_file.empty()) return "\"library\" is given twice";
    project.library_file = names[0];
  } else if (keyword == "procedure") {
    for (const auto& known : project.procedures) {
      if (SameName(known.name, names[0]))
        return "procedure " + Quoted(names[0]) + " is listed twice";
    }
    project.procedures.push_back({names[0], line});
  } else if (keyword == "variable") {
    for (const auto& known : project.variables) {
      if (SameName(known.first, names[0]))
        return "variable " + Quoted(names[0]) + " is given twice";
    }
    project.variables.emplace_back(names[0], attributes.Take("value").value_or(""));
  } else {
    return "unknown statement " + Quoted(keyword);
  }
  return attributes.Finish();
}

}  // namespace

ProjectLoad ParseProjectFile(std::string_view utf8_content, std::string_view file_name) {
  ProjectLoad load;
  const SourceLines source = SplitSourceLines(utf8_content);
  if (!source.error.empty()) {
    load.error = WhereAndWhy(file_name, source.error_line, source.error);
    return load;
  }
  ProjectFile project;
  bool seen_project = false;
  for (const auto& line : source.lines) {
    const TokenizedLine tokens = TokenizeLine(line.text);
    std::string error = tokens.error;
    if (error.empty() && !tokens.words.empty()) {
      if (!tokens.words[0].key.empty() || tokens.words[0].quoted) {
        error = "a statement must start with a keyword";
      } else {
        AttributeList attributes(std::vector<Word>(tokens.words.begin() + 1, tokens.words.end()));
        error =
            ProjectStatement(tokens.words[0].value, attributes, line.number, seen_project, project);
      }
    }
    if (!error.empty()) {
      load.error = WhereAndWhy(file_name, line.number, error);
      return load;
    }
  }
  if (!seen_project) {
    load.error = WhereAndWhy(file_name, 1, "the file holds no \"project\" statement");
    return load;
  }
  if (project.library_file.empty()) {
    load.error = WhereAndWhy(file_name, 1, "the project names no \"library\"");
    return load;
  }
  load.project = std::move(project);
  return load;
}

}  // namespace vz::runtime
