// The path layer: the system keeps Windows paths ("C:\Program Files\...") as texts, and this
// layer maps them onto the native file system the way Wine does.
//
// Drive C: is the folder `drive_c` of the prefix, Z: is the native root, and any other drive
// letter is the link `dosdevices/x:` of the prefix. A native absolute path "/a/b" reads as
// "Z:\a\b". Existing path components are found without regard to letter case, as Windows
// finds them; components that do not exist yet keep the spelling they were given.
#pragma once

#include <string>
#include <string_view>

namespace kolva {

/// The folder that holds the per-user state: $KOLVA_PREFIX, else ~/.kolva ($HOME, else the
/// home folder of the user database). No trailing slash. Raises EInOutError when there is
/// none of these.
std::string KolvaPrefix();

/// The native path of a Windows path, a native absolute path or a relative path (taken
/// from the current folder).
std::string NativePath(std::string_view Path);

/// The Windows form of a native path: "C:\..." inside the prefix's drive_c, else "Z:\...".
std::string WindowsPath(std::string_view Native);

/// The running program's executable as a native path.
std::string ExecutablePath();

} // namespace kolva
