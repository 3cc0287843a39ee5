// The text the benchmarks measure: the 30 largest Object Pascal units of the Free Pascal
// sources (loaded once), and a generated unit of a given size.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kolva::bench {

struct TUnitText {
    std::string Path;
    std::string Text;
};

/// The 30 largest .pp and .pas files under $KOLVA_FPCSRC (default /usr/share/fpcsrc),
/// largest first.
const std::vector<TUnitText>& LargestUnits();
/// Their texts one after the other, each ending in a line break.
const std::string& Corpus();
/// The text of one corpus file, found by the end of its path ("odata/src/sharepoint.pp").
std::string CorpusFile(const std::string& PathEnd);
/// A realistic unit of about LineCount lines: classes with fields, methods and properties,
/// and the method bodies in the implementation part.
std::string GeneratedUnit(int LineCount);

/// Bytes allocated with operator new and not yet freed, and the highest such count since
/// ResetPeak.
size_t LiveBytes();
size_t PeakBytes();
void ResetPeak();

} // namespace kolva::bench
