#include "support/TempPrefix.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace kolva::test {

namespace fs = std::filesystem;

namespace {
std::string& Current() {
    static std::string prefix;
    return prefix;
}
} // namespace

std::string ResetTempPrefix() {
    std::string& prefix = Current();
    if (!prefix.empty()) fs::remove_all(prefix);
    std::string pattern = (fs::temp_directory_path() / "kolva-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    prefix = pattern;
    setenv("KOLVA_PREFIX", prefix.c_str(), 1);
    return prefix;
}

std::string TempPrefix() {
    return Current();
}

void WriteNative(const std::string& Path, const std::string& Content) {
    fs::create_directories(fs::path(Path).parent_path());
    std::ofstream(Path, std::ios::binary) << Content;
}

} // namespace kolva::test
