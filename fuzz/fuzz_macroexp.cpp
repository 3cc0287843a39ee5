// Arbitrary template text and macro definitions through the macro expander. Every input
// must end in output or in an EMacroExpansionError, never in a crash, a hang, unbounded
// memory or a sanitizer report; macros that double their text at each level are the
// reason for the bound on what one expansion may produce.
//
// Input: one byte choosing the tags, then the template text, then optionally a NUL byte and
// macro definitions, one a line: "Name(p, q)=first body line", and lines without "=" that
// add body lines to the macro before. The template's parameters take their descriptions
// as values, so values call macros too.
#include "templates/MACROEXP.h"
#include "templates/TemplateApply.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace kolva;

namespace {

void Check(bool Condition) {
    if (!Condition) std::abort();
}

struct TTags {
    const char* Start;
    const char* End;
};
const TTags Tags[] = {{"<!", "!>"}, {"{", "}"},        {"(*", "*)"}, {"'", "'"},
                      {"<", ">"},   {"begin", "end;"}, {"$", "$"},   {"[", "])"}};

// "Name(p, q)" as a macro named Name with the parameters p and q; null when the name is
// refused.
std::unique_ptr<TMacro> MakeMacro(std::string_view Head) {
    const size_t paren = Head.find('(');
    std::unique_ptr<TMacro> macro;
    try {
        macro = std::make_unique<TMacro>(Head.substr(0, paren));
    } catch (const Exception&) {
        return nullptr;
    }
    if (paren == std::string_view::npos) return macro;
    std::string_view params = Head.substr(paren + 1);
    if (params.ends_with(')')) params.remove_suffix(1);
    for (size_t comma; (comma = params.find(',')) != std::string_view::npos;) {
        macro->Params().Add(std::string(params.substr(0, comma)));
        params.remove_prefix(comma + 1);
    }
    macro->Params().Add(std::string(params));
    return macro;
}

void ReadDefinitions(const TStringList& Lines, std::vector<std::unique_ptr<TMacro>>& Macros) {
    for (int i = 0; i < Lines.Count(); ++i) {
        const std::string& line = Lines[i];
        const size_t eq = line.find('=');
        if (eq == std::string::npos) {
            if (!Macros.empty()) Macros.back()->Lines().Add(line);
        } else if (std::unique_ptr<TMacro> macro =
                       MakeMacro(std::string_view(line).substr(0, eq))) {
            macro->Lines().Add(line.substr(eq + 1));
            Macros.push_back(std::move(macro));
        }
    }
}

bool HasTag(const TStringList& Lines, std::string_view Tag) {
    for (int i = 0; i < Lines.Count(); ++i)
        if (Lines[i].find(Tag) != std::string::npos) return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size == 0) return 0;
    const TTags& tags = Tags[Data[0] % std::size(Tags)];
    const std::string_view input(reinterpret_cast<const char*>(Data) + 1, Size - 1);
    const size_t nul = input.find('\0');
    TStringList lines, definitions;
    lines.SetText(input.substr(0, nul));
    if (nul != std::string_view::npos) definitions.SetText(input.substr(nul + 1));

    std::vector<std::unique_ptr<TMacro>> macros; // outlive the expander
    ReadDefinitions(definitions, macros);
    TMacroExpander expander(nullptr, tags.Start, tags.End);
    expander.SetMaxOutput(1 << 20);
    TStringList params;
    ReadTemplateParams(lines, params);
    for (int i = 0; i < params.Count(); ++i)
        expander.DefineMacro(params.Names(i), params.Values(params.Names(i)));
    for (std::unique_ptr<TMacro>& macro : macros) {
        try {
            expander.AddMacro(*macro);
        } catch (const EContainerError&) {
        }
    }
    TStringList output;
    try {
        for (int i = 0; i < lines.Count(); ++i) {
            expander.ExpandLine(lines[i]);
            output.AddStrings(expander.Output());
            expander.Output().Clear();
        }
    } catch (const EMacroExpansionError& e) {
        Check(e.Message().starts_with("Error expanding line\r"));
        return 0;
    }
    // Text without a start tag comes back as it was.
    if (!HasTag(lines, tags.Start)) Check(output.Text() == lines.Text());
    return 0;
}
