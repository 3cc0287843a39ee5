// Hive files on disk, shared by every program that uses the prefix (the IDE, the installer,
// the command line). Reading goes through a process-wide cache that notices any replacement
// or edit of the file, so a value another program wrote is seen at the next read.
//
// Changing a hive follows one protocol, so that concurrent writers never lose each other's
// values and a crash never leaves a half-written file:
//   1. take an exclusive flock on the lock file beside the hive ("user.reg.lock"; it is
//      never deleted, so all writers always lock the same file);
//   2. read the hive as it is on disk now, and stop if it is malformed;
//   3. apply the one change to that hive;
//   4. write the whole hive to "user.reg.tmp", fsync it and rename it over the hive (a
//      symbolic link is written through; mode, owner, group and hard links are kept, as
//      platform/FileReplace.h describes);
//   5. release the lock (also released by the system when a writer dies).
// Readers take no lock: the rename makes them see either the old or the new file. A
// temporary file left by a killed writer is never read and is overwritten by the next one.
#pragma once

#include "platform/RegHive.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace kolva {

/// The hive in the file (a native path), whose keys lie below the root named RootName; an
/// empty hive when there is no such file. Raises ERegHiveError for a malformed file and
/// ERegistryException when it cannot be read.
std::shared_ptr<const THive> ReadHiveFile(const std::string& FileName, std::string_view RootName);

/// Applies Change to the hive as it is on disk, under the hive's lock, and writes the result
/// back atomically when Change returns true (creating the folder when needed). Returns what
/// Change returned. An exception from Change or from reading a malformed hive leaves the file
/// untouched; a failed write raises ERegistryException naming the file.
bool UpdateHiveFile(const std::string& FileName, std::string_view RootName,
                    const std::function<bool(THive&)>& Change);

} // namespace kolva
