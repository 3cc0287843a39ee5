#include "support/Corpus.h"

#include <algorithm>
#include <filesystem>

namespace kolva::test {

const std::vector<std::string>& CorpusFiles() {
    static const std::vector<std::string> files = [] {
        std::vector<std::string> found;
        std::error_code ec;
        for (auto it = std::filesystem::recursive_directory_iterator(KOLVA_FPCSRC, ec);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            std::string ext = it->path().extension().string();
            std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
            if (it->is_regular_file() &&
                (ext == ".pp" || ext == ".pas" || ext == ".inc" || ext == ".lpr" || ext == ".dpr"))
                found.push_back(it->path().string());
        }
        std::sort(found.begin(), found.end());
        return found;
    }();
    return files;
}

} // namespace kolva::test
