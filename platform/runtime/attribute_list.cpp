#include "platform/runtime/attribute_list.h"

namespace vz::runtime {

AttributeList::AttributeList(const std::vector<Word>& words) {
  for (const auto& word : words) {
    if (word.key.empty()) {
      positional_.push_back(word.value);
      continue;
    }
    for (const auto& entry : entries_) {
      if (entry.key == word.key && error_.empty()) {
        error_ = "attribute \"" + word.key + "\" is given twice";
      }
    }
    entries_.push_back({word.key, word.value, false});
  }
}

std::optional<std::string> AttributeList::Take(std::string_view key) {
  for (auto& entry : entries_) {
    if (entry.key == key) {
      entry.used = true;
      return entry.value;
    }
  }
  return std::nullopt;
}

std::string AttributeList::Require(std::string_view key) {
  auto value = Take(key);
  if (!value) {
    if (error_.empty()) error_ = "attribute \"" + std::string(key) + "\" is missing";
    return {};
  }
  return *value;
}

std::optional<int> AttributeList::TakeNumber(std::string_view key, int min) {
  auto text = Take(key);
  if (!text) return std::nullopt;
  int value = 0;
  if (!ParseWholeNumber(*text, value)) {
    if (error_.empty()) {
      error_ =
          "attribute \"" + std::string(key) + "\" must be a whole number, got \"" + *text + "\"";
    }
    return std::nullopt;
  }
  if (value < min) {
    if (error_.empty()) {
      error_ = "attribute \"" + std::string(key) + "\" must be at least " + std::to_string(min) +
               ", got " + *text;
    }
    return std::nullopt;
  }
  return value;
}

int AttributeList::RequireNumber(std::string_view key, int min) {
  if (!Take(key)) {
    if (error_.empty()) error_ = "attribute \"" + std::string(key) + "\" is missing";
    return min;
  }
  return TakeNumber(key, min).value_or(min);
}

std::string AttributeList::Finish() {
  if (!error_.empty()) return error_;
  for (const auto& entry : entries_) {
    if (!entry.used) return "unknown attribute \"" + entry.key + "\"";
  }
  return {};
}

}  // namespace vz::runtime
