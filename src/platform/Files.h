// Whole-file access through the path layer: every name may be a Windows path, a native
// path or a relative path (see Paths.h). Failures raise EInOutError with the file's name.
#pragma once

#include <string>
#include <string_view>

namespace kolva {

bool FileExists(std::string_view FileName);
bool DirectoryExists(std::string_view Path);
/// Creates the folder and every missing parent; false when that is impossible.
bool ForceDirectories(std::string_view Path);
bool DeleteFile(std::string_view FileName);

/// The whole content of a file, bytes as they stand.
std::string ReadFileText(std::string_view FileName);
/// Replaces the file's content (creating it when missing) as FileReplace.h describes: the
/// old or the new content after a crash, a symbolic link written through, mode, owner, group
/// and hard links kept.
void WriteFileText(std::string_view FileName, std::string_view Content);

} // namespace kolva
