// Declares the record layout of every database file to the program's
// context (RecordSession::DescribeAllFiles of the program's session): one
// description per file, in catalogue order, with the file name, the declared
// record size, the field sizes, the field count, the type string and the
// address of the file's process-wide record buffer. No result is read; a
// description the engine refuses shows later as reads that find nothing.
#ifndef VZ_SRC_DB_DESCRIBE_H_
#define VZ_SRC_DB_DESCRIBE_H_

namespace vz::db {

// REQUIRES: the context handle is set (ContextHandle() from record_ops.h).
void DescribeAllFiles();

}  // namespace vz::db

#endif  // VZ_SRC_DB_DESCRIBE_H_
