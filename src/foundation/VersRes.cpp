#include "foundation/VersRes.h"

#include "platform/Paths.h"
#include "platform/SysUtils.h"

#include <memory>

namespace kolva {

TDateTime FileTimeToDateTime(uint64_t FileTime) {
    // Days from 1601-01-01 to the date type's origin, 1899-12-30.
    constexpr double OriginDays = 109205.0;
    constexpr double TicksPerDay = 864000000000.0;
    return double(FileTime) / TicksPerDay - OriginDays;
}

TVersionRes::TVersionRes() {
    SetFileName(ExecutablePath());
}

void TVersionRes::SetFileName(const std::string& Name) {
    FileName = Name;
    Reload();
}

void TVersionRes::Reload() {
    TVersionBlock data;
    if (!ReadVersionBlock(FileName, data)) throw Exception("No version info available");
    FData = std::move(data);
    const TFixedFileInfo& f = FData.Fixed;
    LanguageID = FData.LanguageID;
    CodePage = FData.CodePage;
    Major = uint16_t(f.FileVersionMS >> 16);
    Minor = uint16_t(f.FileVersionMS);
    Release = uint16_t(f.FileVersionLS >> 16);
    Build = uint16_t(f.FileVersionLS);
    ProductMajor = uint16_t(f.ProductVersionMS >> 16);
    ProductMinor = uint16_t(f.ProductVersionMS);
    ProductRelease = uint16_t(f.ProductVersionLS >> 16);
    ProductBuild = uint16_t(f.ProductVersionLS);
    FileOS = f.FileOS;
    FileType = f.FileType;
    FileSubtype = f.FileSubtype;
    FileDate = FileTimeToDateTime((uint64_t(f.FileDateMS) << 32) | f.FileDateLS);
    FileFlags = f.FileFlags & f.FileFlagsMask;
}

std::string TVersionRes::StringValue(const std::string& Key) const {
    std::string value;
    const std::string path = Format("\\StringFileInfo\\%.4x%.4x\\%s", LanguageID, CodePage, Key);
    // The stored length counts the terminator, so "length 1 or less" is an empty value.
    if (!VerQueryString(FData, path, value)) return std::string();
    return value;
}

std::string TVersionRes::VersionText() const {
    return Format("Version %d.%d%d build %d", Major, Minor, Release, Build);
}

TVersionRes& VersionRes() {
    static const std::unique_ptr<TVersionRes> instance = std::make_unique<TVersionRes>();
    return *instance;
}

} // namespace kolva
