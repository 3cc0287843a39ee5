#include "BenchCorpus.h"

#include "platform/Files.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace kolva::bench {

namespace {
std::filesystem::path CorpusRoot() {
    const char* env = std::getenv("KOLVA_FPCSRC");
    return env ? env : "/usr/share/fpcsrc";
}
} // namespace

const std::vector<TUnitText>& LargestUnits() {
    static const std::vector<TUnitText> units = [] {
        std::vector<std::pair<uintmax_t, std::filesystem::path>> found;
        std::error_code ec;
        for (auto it = std::filesystem::recursive_directory_iterator(CorpusRoot(), ec);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            const std::string ext = it->path().extension().string();
            if (it->is_regular_file() && (ext == ".pp" || ext == ".pas"))
                found.emplace_back(it->file_size(), it->path());
        }
        std::sort(found.begin(), found.end(), std::greater<>());
        if (found.size() > 30) found.resize(30);
        std::vector<TUnitText> result;
        for (const auto& [size, path] : found)
            result.push_back({path.string(), ReadFileText(path.string())});
        return result;
    }();
    return units;
}

const std::string& Corpus() {
    static const std::string all = [] {
        std::string text;
        for (const TUnitText& unit : LargestUnits()) {
            text += unit.Text;
            if (!text.empty() && text.back() != '\n') text += '\n';
        }
        return text;
    }();
    return all;
}

std::string CorpusFile(const std::string& PathEnd) {
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(CorpusRoot(), ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        if (it->path().string().ends_with(PathEnd)) return ReadFileText(it->path().string());
    return std::string();
}

std::string GeneratedUnit(int LineCount) {
    std::string decls, impls;
    int lines = 0;
    for (int c = 0; lines < LineCount; ++c) {
        const std::string cls = Format("TWidget%d", c);
        decls += Format("  %s = class(TComponent)\n  private\n", cls);
        decls += "    FCount: Integer;\n    FName: string;\n    FItems: TList;\n";
        decls += "    function GetItem(Index: Integer): TObject;\n";
        decls += "    procedure SetName(const Value: string);\n  protected\n";
        decls += "    procedure Changed; virtual;\n  public\n";
        decls += "    constructor Create(AOwner: TComponent); override;\n";
        decls += "    destructor Destroy; override;\n";
        decls += "    procedure Add(Item: TObject); overload;\n";
        decls += "    procedure Add(const Text: string; Value: Integer); overload;\n";
        decls += "    property Items[Index: Integer]: TObject read GetItem; default;\n";
        decls += "    property Name: string read FName write SetName;\n  end;\n\n";
        lines += 17;
        for (const char* head :
             {"function %s.GetItem(Index: Integer): TObject;",
              "procedure %s.SetName(const Value: string);", "procedure %s.Changed;",
              "constructor %s.Create(AOwner: TComponent);", "destructor %s.Destroy;",
              "procedure %s.Add(Item: TObject);",
              "procedure %s.Add(const Text: string; Value: Integer);"}) {
            impls += Format(head, cls) + "\nvar\n  I: Integer;\nbegin\n";
            impls += "  for I := 0 to FItems.Count - 1 do\n    if FItems[I] = nil then\n";
            impls += "      Inc(FCount)\n    else\n      FName := FName + 'x';\nend;\n\n";
            lines += 12;
        }
    }
    return "unit Generated;\n\ninterface\n\nuses\n  Classes;\n\ntype\n" + decls +
           "implementation\n\n" + impls + "end.\n";
}

} // namespace kolva::bench
