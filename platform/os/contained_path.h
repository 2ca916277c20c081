// Whether a path stays inside a folder once every symbolic link on its way is
// followed: a template, or an output folder or file, named inside the data
// directory but planted as a link to somewhere else does not.
//
// Both paths are made absolute (from the current directory) and resolved
// component by component: "." is dropped, ".." goes up from what has been
// resolved so far, and a symbolic link is replaced by its target (read
// again, up to 40 links deep), dangling links included, so that a link to a
// file that does not exist yet is judged by where it would write. Parts that
// do not exist are taken as written.
//
// Failure: a path that cannot be resolved (a loop of links, a link that
// cannot be read) does not stay inside. Nothing throws.
#ifndef VZ_PLATFORM_OS_CONTAINED_PATH_H_
#define VZ_PLATFORM_OS_CONTAINED_PATH_H_

#include <string>

namespace vz::os {

// True when `path` resolves to `folder` itself or to a place under it.
bool StaysInside(const std::string& folder, const std::string& path);

}  // namespace vz::os

#endif  // VZ_PLATFORM_OS_CONTAINED_PATH_H_
