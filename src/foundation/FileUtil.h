// File and folder helpers shared by the add-in and the installer. Paths are Windows paths
// as the system keeps them, mapped by the path layer; `DirectoryExists` and `FileExists`
// come from platform/Files.h.
#pragma once

#include "platform/Files.h"

#include <string>
#include <string_view>

namespace kolva {

/// The file name part of Path (after the last backslash, slash or drive colon) without
/// its extension.
std::string FileNameWithoutExt(std::string_view Path);
/// The folder of the running program's executable, in Windows form with a trailing
/// backslash, such as "Z:\usr\lib\kolva\".
std::string ProgramFolder();
/// S with a trailing backslash added when it is not empty and lacks one.
std::string IncludeTrailingBackslash(std::string_view S);
/// Creates or overwrites Dest with the content of Source, copied in blocks of at most
/// 1024 bytes; false (and nothing written) when Source does not exist. A Dest that names
/// Source itself is left as it is. Raises EInOutError when Dest cannot be written.
bool CopyFile(std::string_view Source, std::string_view Dest);

} // namespace kolva
