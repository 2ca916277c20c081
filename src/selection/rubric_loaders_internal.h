// Pieces shared by the rubric loaders' files: a key value built in place,
// and the loaders of each group. Internal to the selection engine.
#ifndef VZ_SRC_SELECTION_RUBRIC_LOADERS_INTERNAL_H_
#define VZ_SRC_SELECTION_RUBRIC_LOADERS_INTERNAL_H_

#include <cstddef>
#include <string_view>

#include "src/selection/rubric_loaders.h"
#include "src/selection/rubric_tables.h"

namespace vz::selection::internal {

// A key value of at most 64 characters, built without allocation.
class KeyValue {
 public:
  KeyValue& Append(std::string_view text) {
    for (char c : text) {
      if (size_ < sizeof bytes_) bytes_[size_++] = c;
    }
    return *this;
  }
  std::string_view view() const { return {bytes_, size_}; }

 private:
  char bytes_[64] = {};
  size_t size_ = 0;
};

// The household code: the first 8 characters of a client code.
inline std::string_view HouseholdOf(std::string_view client_code) {
  return client_code.substr(0, client_code.size() < 8 ? client_code.size() : 8);
}

// The family loaders (income, loans, taxes, owner-occupied, rental, land,
// securities, cash, other assets, single-premium).
void LoadFamilyRubric(Rubric rubric, std::string_view client_code, char selector,
                      WorkTables& tables);
void LoadRetirement(std::string_view client_code, WorkTables& tables);
void LoadProvident(std::string_view client_code, WorkTables& tables);

}  // namespace vz::selection::internal

#endif  // VZ_SRC_SELECTION_RUBRIC_LOADERS_INTERNAL_H_
