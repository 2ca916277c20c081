#include "src/db/describe.h"

#include "src/db/record_session.h"

namespace vz::db {

void DescribeAllFiles() {
  ProgramSession().DescribeAllFiles();
}

}  // namespace vz::db
