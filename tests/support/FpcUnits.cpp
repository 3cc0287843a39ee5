#include "support/FpcUnits.h"

#include "platform/Files.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace kolva::test {

namespace fs = std::filesystem;

std::string ShellQuoted(const std::string& Text) {
    std::string out = "'";
    for (char c : Text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

namespace {

// Output and exit status of a shell command, its standard error joined to its output.
std::pair<int, std::string> Shell(const std::string& Command) {
    FILE* pipe = popen((Command + " 2>&1").c_str(), "r");
    if (!pipe) return {-1, {}};
    std::string output;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0)
        output.append(buf, n);
    return {pclose(pipe), output};
}

} // namespace

std::vector<TFpcUnit> ReadFpcUnits(const std::string& ListFile) {
    std::ifstream in(ListFile);
    if (!in) throw std::runtime_error("cannot read " + ListFile);
    std::vector<TFpcUnit> units;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        TFpcUnit unit;
        std::string path, flag;
        if (!(words >> unit.Name >> path)) throw std::runtime_error("malformed line: " + line);
        unit.Path = std::string(KOLVA_FPCSRC) + "/" + path;
        const std::string folder = fs::path(unit.Path).parent_path().string();
        while (words >> flag) {
            unit.Flags += (unit.Flags.empty() ? "" : " ") +
                          std::regex_replace(flag, std::regex("\\{dir\\}"), folder);
        }
        units.push_back(unit);
    }
    return units;
}

std::vector<std::string> IncludeFolders(const TFpcUnit& Unit) {
    std::vector<std::string> folders{fs::path(Unit.Path).parent_path().string()};
    std::istringstream flags(Unit.Flags);
    for (std::string flag; flags >> flag;)
        if (flag.starts_with("-Fi")) folders.push_back(flag.substr(3));
    return folders;
}

namespace {

// Appends the files Text includes ({$I name}, {$INCLUDE name}; not {$IF} and the like), and the
// files they include.
void AppendIncluded(const std::vector<std::string>& Folders, const std::string& Text, int Depth,
                    std::string& Out) {
    static const std::regex include(R"(\{\$i(nclude)? +'?([^%'} ][^'}]*?)'? *\})",
                                    std::regex::icase);
    for (std::sregex_iterator it(Text.begin(), Text.end(), include), end; it != end && Depth < 5;
         ++it)
        for (const std::string& folder : Folders) {
            fs::path file = fs::path(folder) / (*it)[2].str();
            if (!file.has_extension() && !fs::exists(file)) file += ".inc";
            if (!fs::is_regular_file(file)) continue;
            const std::string included = ReadFileText(file.string());
            Out += included + "\n";
            AppendIncluded(Folders, included, Depth + 1, Out);
            break;
        }
}

} // namespace

std::string IncludedText(const TFpcUnit& Unit) {
    std::string out;
    AppendIncluded(IncludeFolders(Unit), ReadFileText(Unit.Path), 0, out);
    return out;
}

bool FpcAvailable() {
    return fs::is_directory(KOLVA_FPCSRC) && Shell("fpc -iV").first == 0;
}

std::vector<std::string> CompileErrors(const TFpcUnit& Unit, const std::string& File) {
    const fs::path file(File);
    const std::string command =
        "cd " + ShellQuoted(file.parent_path().string()) + " && fpc " + Unit.Flags + " -FE. -Fi" +
        ShellQuoted(IncludeFolders(Unit).front()) + " " + ShellQuoted(file.filename().string());
    const auto [status, output] = Shell(command);
    if (status == 0) return {};
    std::vector<std::string> errors;
    std::istringstream lines(output);
    std::string line, last;
    while (std::getline(lines, line)) {
        if (!line.empty()) last = line;
        if ((line.find(" Error: ") != std::string::npos ||
             line.find(" Fatal: ") != std::string::npos) &&
            line.find("Compilation aborted") == std::string::npos)
            errors.push_back(line);
    }
    if (errors.empty()) errors.push_back(last.empty() ? "fpc failed without output" : last);
    return errors;
}

} // namespace kolva::test
