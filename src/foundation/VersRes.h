// TVersionRes: the version information of a deliverable, read from its version block (see
// platform/VersionBlock.h), and the version text that the add-in and the installer show.
#pragma once

#include "platform/System.h"
#include "platform/VersionBlock.h"

#include <cstdint>
#include <string>

namespace kolva {

class TVersionRes : public TObject {
public:
    /// Reads the running program's own executable; raises like `SetFileName`.
    TVersionRes();
    /// Stores the name and reloads. Raises Exception "No version info available" when the
    /// file has no version block or does not exist.
    void SetFileName(const std::string& Name);

    /// The string value stored under "\StringFileInfo\<language><code page>\Key"; empty
    /// when absent.
    std::string StringValue(const std::string& Key) const;
    std::string FileDescription() const { return StringValue("FileDescription"); }
    /// "Version %d.%d%d build %d": 1.2.3.45 gives "Version 1.23 build 45".
    std::string VersionText() const;

    std::string FileName;
    uint16_t LanguageID = 0, CodePage = 0;
    uint16_t Major = 0, Minor = 0, Release = 0, Build = 0;
    uint16_t ProductMajor = 0, ProductMinor = 0, ProductRelease = 0, ProductBuild = 0;
    uint32_t FileOS = 0, FileType = 0, FileSubtype = 0;
    TDateTime FileDate = 0;
    uint32_t FileFlags = 0;

private:
    void Reload();
    TVersionBlock FData;
};

/// The program's own version information, read on first use.
TVersionRes& VersionRes();

/// A Windows file time (100 ns ticks since 1601) as a date.
TDateTime FileTimeToDateTime(uint64_t FileTime);

} // namespace kolva
