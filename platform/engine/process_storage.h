// The storage the record engine's stores open their files with: the store
// the program chose (store_choice.h: SQLite files unless the installation
// names a server) unless another Storage is put in its place.
//
// ProcessStorage() is one forwarding Storage made once and never destroyed;
// every store holds it. Each Locate and Open goes to the storage in use at
// the time of the call, so a replacement takes effect for the files opened
// after it (close every file, LE_Hferme(""), to reopen them through it).
// The replacement is the seam for wrappers over the SQLite storage (tests
// that inject disk faults: faulty_storage.h); the caller keeps ownership and
// must keep it alive while files it opened are open. Single-threaded.
#ifndef VZ_PLATFORM_ENGINE_PROCESS_STORAGE_H_
#define VZ_PLATFORM_ENGINE_PROCESS_STORAGE_H_

#include "platform/engine/storage.h"

namespace vz::engine {

Storage& ProcessStorage();

// The store chosen for the process (store_choice.h).
Storage& DefaultStorage();

// Opens later files through `storage`; null goes back to DefaultStorage().
void UseStorage(Storage* storage);

}  // namespace vz::engine

#endif  // VZ_PLATFORM_ENGINE_PROCESS_STORAGE_H_
