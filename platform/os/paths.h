// Paths: the Windows-style paths the suite writes, the running program's own
// location, the current directory and "does anything match this pattern".
//
// Path mapping (ToNativePath): every '\' becomes '/', and a drive prefix
// "X:" (one ASCII letter and a colon at the start) is dropped, so that
// "..\FIC01\PARAM.DTA" names "../FIC01/PARAM.DTA", "D:\VESTRA" names
// "/VESTRA" and "C:\DATA\CLIENTS" names "/DATA/CLIENTS"; a drive alone
// ("C:") names the current directory "."; a network path "\\srv\share"
// becomes "//srv/share". Native paths pass through unchanged. Letters keep
// their case and bytes are passed as they are (no code page conversion), so
// the names of this system's files must be written in the case the file
// system holds.
//
// Nothing here throws; failures give an empty string or false.
#ifndef VZ_PLATFORM_OS_PATHS_H_
#define VZ_PLATFORM_OS_PATHS_H_

#include <string>
#include <string_view>

namespace vz::os {

std::string ToNativePath(std::string_view windows_path);

// The part after the last '/' or '\' (the whole text when there is none).
std::string_view FileNamePart(std::string_view path);

// The part before the last '/' or '\' (empty when there is none; "/" for a
// file of the root).
std::string_view DirectoryPart(std::string_view path);

// Joins a directory and a relative path with one '/'. An absolute `path`
// (starting with '/') is returned as it is.
std::string JoinPath(std::string_view directory, std::string_view path);

// The full path of the running program's executable file, and its directory.
// Empty when /proc/self/exe cannot be read.
std::string ProgramPath();
std::string ProgramDirectory();

// The current directory (empty when it cannot be read, e.g. after it was
// removed) and changing it (false when the directory cannot be entered).
std::string CurrentDirectory();
bool ChangeDirectory(const std::string& path);

// True when at least one directory entry, file or directory, matches the
// native pattern. The wildcards '*', '?' and '[...]' are understood;
// names starting with '.' match wildcards too, as on the original system.
// Backslashes in the pattern are plain characters, never escapes.
bool AnyEntryMatches(const std::string& pattern);

}  // namespace vz::os

#endif  // VZ_PLATFORM_OS_PATHS_H_
