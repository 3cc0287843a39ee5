// Test support: the Object Pascal sources of the Free Pascal distribution, real code that
// nobody here wrote, as a corpus for robustness runs.
#pragma once

#include <string>
#include <vector>

namespace kolva::test {

/// Every .pp, .pas, .inc, .lpr and .dpr file under the corpus folder, sorted; empty when
/// the folder is missing.
const std::vector<std::string>& CorpusFiles();

} // namespace kolva::test
