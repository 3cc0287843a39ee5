// Test support: units of the Free Pascal sources that compile on their own with the installed
// compiler, listed in tests/cli/RealWorldUnits.txt, and the compiler run on a copy of one.
#pragma once

#include <string>
#include <vector>

namespace kolva::test {

struct TFpcUnit {
    std::string Name;
    /// The source file, a native path.
    std::string Path;
    /// Compiler options the unit needs besides its own folder on the include path; "{dir}" in
    /// the list file stands for that folder.
    std::string Flags;
};

/// The units of the list file, in its order; raises std::runtime_error when it cannot be read
/// or a line is malformed.
std::vector<TFpcUnit> ReadFpcUnits(const std::string& ListFile);

/// The text of the files the unit includes ({$I name}, {$INCLUDE name}), and of the files
/// they include, found in its folder or the -Fi folders of its flags; missing ones are skipped.
std::string IncludedText(const TFpcUnit& Unit);

/// The folders the compiler takes include files from: the unit's own, then its -Fi flags.
std::vector<std::string> IncludeFolders(const TFpcUnit& Unit);

/// Text as one word of a shell command line.
std::string ShellQuoted(const std::string& Text);

/// Whether the compiler and the Free Pascal sources are installed.
bool FpcAvailable();

/// Compiles the copy File of Unit in File's folder, with the unit's flags and its own source
/// folder on the include path. Empty when it compiled; else the compiler's error lines
/// ("name.pp(LINE,COL) Error: ..."), or its last line when none says "Error" or "Fatal".
std::vector<std::string> CompileErrors(const TFpcUnit& Unit, const std::string& File);

} // namespace kolva::test
