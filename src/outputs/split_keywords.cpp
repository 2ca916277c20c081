// Keywords split across runs or spans put back whole (split_keywords.h),
// through libxml2.
#include "src/outputs/split_keywords.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "src/outputs/letter_package.h"

namespace vz::outputs {
namespace {

constexpr char kWordNamespace[] = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr char kTextNamespace[] = "urn:oasis:names:tc:opendocument:xmlns:text:1.0";

bool IsNamed(const xmlNode* node, const char* space, const char* name) {
  return node->type == XML_ELEMENT_NODE && node->ns != nullptr && node->ns->href != nullptr &&
         std::strcmp(reinterpret_cast<const char*>(node->ns->href), space) == 0 &&
         std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

bool IsParagraph(const xmlNode* node, bool word) {
  if (word) return IsNamed(node, kWordNamespace, "p");
  return IsNamed(node, kTextNamespace, "p") || IsNamed(node, kTextNamespace, "h");
}

bool IsKeywordCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

std::string Content(const xmlNode* node) {
  return node->content == nullptr ? std::string() : reinterpret_cast<const char*>(node->content);
}

void SetContent(xmlNode* node, const std::string& text) {
  xmlNodeSetContentLen(node, reinterpret_cast<const xmlChar*>(text.data()),
                       static_cast<int>(text.size()));
}

// The text nodes of a paragraph in document order, without those of the
// paragraphs nested in it (gathered into `nested`).
void CollectText(xmlNode* node, bool word, bool in_text, std::vector<xmlNode*>& texts,
                 std::vector<xmlNode*>& nested) {
  for (xmlNode* child = node->children; child != nullptr; child = child->next) {
    if (child->type == XML_TEXT_NODE && in_text) {
      texts.push_back(child);
    } else if (child->type == XML_ELEMENT_NODE) {
      if (IsParagraph(child, word)) {
        nested.push_back(child);
      } else {
        CollectText(child, word, word ? IsNamed(child, kWordNamespace, "t") : true, texts, nested);
      }
    }
  }
}

// Moves the characters of keywords that run past their text node into it.
void JoinInParagraph(const std::vector<xmlNode*>& texts, bool word) {
  std::vector<std::string> contents;
  for (const xmlNode* text : texts) contents.push_back(Content(text));
  std::vector<bool> changed(texts.size(), false);
  for (size_t i = 0; i < contents.size(); ++i) {
    for (size_t at = contents[i].find('#'); at != std::string::npos;
         at = contents[i].find('#', at + 1)) {
      // Characters of the keyword already in this node, after the "#".
      size_t taken = contents[i].size() - at - 1;
      if (taken > 1 && !std::all_of(contents[i].begin() + static_cast<long>(at) + 2,
                                    contents[i].end(), IsKeywordCharacter)) {
        continue;  // the keyword ends inside this node
      }
      for (size_t j = i + 1; j < contents.size() && taken <= kMaxKeywordLength; ++j) {
        std::string& next = contents[j];
        size_t moved = 0;
        while (moved < next.size() && taken <= kMaxKeywordLength &&
               (taken == 0 || IsKeywordCharacter(next[moved]))) {
          ++moved;
          ++taken;
        }
        if (moved > 0) {
          contents[i] += next.substr(0, moved);
          next.erase(0, moved);
          changed[i] = changed[j] = true;
        }
        if (!next.empty()) break;  // the keyword ends in this node
      }
    }
  }
  for (size_t i = 0; i < texts.size(); ++i) {
    if (changed[i]) SetContent(texts[i], contents[i]);
    if (word && contents[i].find('#') != std::string::npos && texts[i]->parent != nullptr) {
      xmlNodeSetSpacePreserve(texts[i]->parent, 1);
    }
  }
}

void JoinUnder(xmlNode* node, bool word) {
  for (xmlNode* child = node->children; child != nullptr; child = child->next) {
    if (child->type != XML_ELEMENT_NODE) continue;
    if (!IsParagraph(child, word)) {
      JoinUnder(child, word);
      continue;
    }
    std::vector<xmlNode*> paragraphs = {child};
    while (!paragraphs.empty()) {
      xmlNode* paragraph = paragraphs.back();
      paragraphs.pop_back();
      std::vector<xmlNode*> texts;
      std::vector<xmlNode*> nested;
      CollectText(paragraph, word, !word, texts, nested);
      JoinInParagraph(texts, word);
      paragraphs.insert(paragraphs.end(), nested.begin(), nested.end());
    }
  }
}

}  // namespace

std::optional<std::string> JoinSplitKeywords(std::string_view xml, LetterFormat format) {
  const std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> document(
      xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "part.xml", nullptr,
                    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_HUGE),
      xmlFreeDoc);
  if (!document || xmlDocGetRootElement(document.get()) == nullptr) return std::nullopt;
  JoinUnder(reinterpret_cast<xmlNode*>(document.get()), format == LetterFormat::kDocx);
  xmlChar* written = nullptr;
  int size = 0;
  xmlDocDumpMemoryEnc(document.get(), &written, &size, "UTF-8");
  if (written == nullptr) return std::nullopt;
  std::string result(reinterpret_cast<const char*>(written), static_cast<size_t>(size));
  xmlFree(written);
  return result;
}

std::optional<std::string> TemplateText(std::string bytes, LetterFormat format) {
  if (!IsPackageFormat(format)) return bytes;
  const std::optional<std::string> part = ReadPackagePart(bytes, MainPartName(format));
  if (!part) return std::nullopt;
  return JoinSplitKeywords(*part, format);
}

}  // namespace vz::outputs
