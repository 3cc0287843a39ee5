// Test support: a fresh per-test $KOLVA_PREFIX and small file helpers inside it.
#pragma once

#include <string>

namespace kolva::test {

/// Points $KOLVA_PREFIX at a new empty folder and returns it (native path).
std::string ResetTempPrefix();
/// The current test's prefix folder.
std::string TempPrefix();
/// Writes Content to a native path, creating parent folders.
void WriteNative(const std::string& Path, const std::string& Content);

} // namespace kolva::test
