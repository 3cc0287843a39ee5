// Running one piece of work over many source files on all cores: the files named on the
// command line (a folder stands for its Pascal sources, "-" for standard input) are parsed
// in parallel, and what each gives is written in the order given, so the output is the same
// whatever the timing. Memory stays bounded: a file's output waits only while the files
// before it are still being parsed, and at most a few files per thread run ahead.
#pragma once

#include "model/ModuleExplorer.h"

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kolva::cli {

struct TSourceFile {
    std::string Path; ///< as opened ("-" for standard input)
    std::string Name; ///< as messages and the output name it
};

/// The files Args name, in order: a folder's Pascal sources (.pas, .pp, .p, .dpr, .lpr, .dpk,
/// .inc) recursively in name order, "-" as standard input named Assumed (or "<stdin>").
/// Raises Exception for a path that does not exist.
std::vector<TSourceFile> ExpandSources(const std::vector<std::string>& Args,
                                       const std::optional<std::string>& Assumed);

/// What one file gives: appended to Out (which may be handed to Sink, when set, as it
/// grows) and to Err; returns true when the file had something to report.
using TSourceWork = std::function<bool(const TSourceFile& File, TModuleExplorer& Explorer,
                                       std::string& Out, std::FILE* Sink, std::string& Err)>;

/// Parses every file with Jobs threads (0: one per core) and runs Work on each; Out goes to
/// standard output and Err to standard error in the order of Files. A file that cannot be
/// read is reported ("kolva: NAME: message") and the rest go on. Returns 0, or 1 when a file
/// could not be read or Work reported something.
int RunOverSources(const std::vector<TSourceFile>& Files, int Jobs, const TSourceWork& Work);

} // namespace kolva::cli
