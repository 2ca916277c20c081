#include "src/selection/rubric_loaders_test_fixture.h"

#include "src/db/layouts/client.h"
#include "src/db/record_ops.h"

namespace vz::selection {

void SelectionDataTest::ReadClient(std::string_view code9) {
  db::Hlitrecherche("CLIENT", "CODCLI", code9);
  ASSERT_FALSE(db::Hendehors());
  ASSERT_EQ(db::CurrentClient().Codcli(), code9);
}

}  // namespace vz::selection
