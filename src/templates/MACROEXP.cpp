#include "templates/MACROEXP.h"

#include "foundation/FWStrUtils.h"

#include <algorithm>

namespace kolva {

constinit const TListableClass TMacro::ClassInfo = ListableClass<TMacro, TListable>("TMacro");

namespace {
const TStreamableRegistrar RegisterMacro(TMacro::ClassInfo);

// The error box shows the line on one row, so a long line is cut.
std::string ShownLine(std::string_view Line) {
    if (Line.size() <= 63) return std::string(Line);
    return std::string(Line.substr(0, 60)) + "...";
}

bool IsBlank(std::string_view S) {
    for (char c : S)
        if (!IsWhiteSpace(c)) return false;
    return true;
}

std::string_view TrimLeftView(std::string_view S) {
    while (!S.empty() && IsWhiteSpace(S.front()))
        S.remove_prefix(1);
    return S;
}
} // namespace

EMacroExpansionError::EMacroExpansionError(std::string_view Line, std::string_view Message)
    : Exception("Error expanding line\r" + ShownLine(Line) + "\r" + std::string(Message)) {}

// ---------------------------------------------------------------------------------------
// TMacro

TMacro::TMacro(std::string_view Name) {
    SetName(Name);
}

void TMacro::SetName(std::string_view Value) {
    std::string name = Trim(Value);
    if (name.empty()) throw Exception("Empty macro identifiers not allowed");
    FName = std::move(name);
}

int TMacro::CompareKeys(const void* Key1, const void* Key2) {
    return CompareText(*static_cast<const std::string*>(Key1),
                       *static_cast<const std::string*>(Key2));
}

// The name is read as stored, without SetName's checks: the stream only carries copies of
// macros that already exist.
void TMacro::Load(TFilter& Filter) {
    TListable::Load(Filter);
    ReadStrings(Filter, FLines);
    FName = ReadString(Filter);
    ReadStrings(Filter, FParams);
}

void TMacro::Store(TFilter& Filter) const {
    WriteStrings(Filter, FLines);
    WriteString(Filter, FName);
    WriteStrings(Filter, FParams);
}

// ---------------------------------------------------------------------------------------
// TMacroExpander: set-up and lookup

TMacroExpander::TMacroExpander(TMacroExpander* Parent, std::string_view StartTag,
                               std::string_view EndTag)
    : FMacros(&TMacro::ClassInfo), FParent(Parent), FRoot(Parent ? Parent->FRoot : this) {
    // A child frees the parameter macros of its call; the top level's macros are its
    // caller's, apart from those DefineMacro made (FDefined).
    FMacros.SetOwnsItems(Parent != nullptr);
    if (StartTag.empty()) throw Exception("Empty StartTag");
    FStartTag = StartTag;
    // The name of a call ends at the first "(" or at the end tag, so an end tag that
    // begins with "(" could never be found.
    if (EndTag.empty() || EndTag.front() == '(')
        throw Exception(Format("Illegal EndTag %s", EndTag));
    FEndTag = EndTag;
}

TMacroExpander::~TMacroExpander() = default;

TMacro& TMacroExpander::DefineMacro(std::string_view Name, std::string_view Value) {
    auto macro = std::make_unique<TMacro>(Name);
    macro->Lines().Add(std::string(Value));
    TMacro& result = *macro;
    if (FMacros.OwnsItems()) {
        FMacros.Add(macro.release()); // a duplicate is freed by the list
    } else {
        AddMacro(result);
        FDefined.push_back(std::move(macro));
    }
    return result;
}

void TMacroExpander::AddMacro(TMacro& Macro) {
    // The list would free a duplicate, which it must not do to a macro it does not own.
    int index;
    if (!FMacros.OwnsItems() && FMacros.Search(&Macro, index)) throw EContainerError();
    FMacros.Add(&Macro);
}

TMacro* TMacroExpander::LookupMacro(std::string_view Name) {
    const std::string key(Name);
    FCurrentMacro = nullptr;
    for (const TMacroExpander* e = this; e && !FCurrentMacro; e = e->FParent) {
        int index;
        if (e->FMacros.Count() > 0 && e->FMacros.SearchKey(&key, index))
            FCurrentMacro = static_cast<TMacro*>(e->FMacros.Items(index));
    }
    return FCurrentMacro;
}

void TMacroExpander::Error(const std::string& Message) const {
    throw EMacroExpansionError(FLine, Message);
}

// Calls may multiply text at every level (a body that calls the level below twice doubles
// it), and calls that produce nothing still cost their work; counting what is read and
// written at every level bounds both.
void TMacroExpander::Charge(size_t N) {
    FRoot->FProduced += int64_t(N);
    if (FRoot->FProduced > FRoot->FMaxOutput)
        Error(Format("Expansion exceeds %d characters", FRoot->FMaxOutput));
}

void TMacroExpander::AddOutput(std::string Text) {
    Charge(Text.size() + 1);
    FOutput.Add(std::move(Text));
}

// ---------------------------------------------------------------------------------------
// TMacroExpander: expansion

void TMacroExpander::ExpandLine(std::string_view Text) {
    FLine = Text;
    try {
        Charge(FLine.size() + 1);
        Expand();
    } catch (const EMacroExpansionError&) {
        throw; // already names the line of the expander that found it
    } catch (const Exception& e) {
        // Naming a parameter macro or binding two parameters of one name fails with the
        // containers' errors; the caller sees them as errors of this line.
        Error(e.Message());
    }
}

void TMacroExpander::Expand() {
    std::string_view rest = FLine;
    std::string result;
    const bool hadCall = rest.find(FStartTag) != std::string_view::npos;
    for (size_t p; (p = rest.find(FStartTag)) != std::string_view::npos;) {
        result.append(rest.substr(0, p));
        rest.remove_prefix(p + FStartTag.size());
        // The macro's text was expanded completely by the call; the search goes on after
        // the call's end tag and never reads that text again.
        ExpandCall(rest, result);
    }
    result.append(rest);
    if (hadCall && IsBlank(result)) return;
    AddOutput(std::move(result));
}

void TMacroExpander::ExpandCall(std::string_view& Rest, std::string& Result) {
    const std::string name = ReadName(Rest);
    TMacro* macro = LookupMacro(name);
    if (!macro) {
        ReadArguments(Rest, name);
        ReadEndTag(Rest);
        return;
    }
    CheckCall(*macro);
    const std::vector<std::string> args = ReadArguments(Rest, macro->Name());
    const int params = macro->Params().Count();
    if (params < int(args.size()))
        Error(Format("Too many parameters (%d) for macro %s", args.size(), name));
    if (params > int(args.size()))
        Error(Format("Not enough parameters (%d) for macro %s", args.size(), name));
    ReadEndTag(Rest);

    TMacroExpander child(this, FStartTag, FEndTag);
    BindArguments(*macro, args, child);
    for (int i = 0; i < macro->Lines().Count(); ++i)
        child.ExpandLine(macro->Lines()[i]);
    Splice(child.FOutput, Result);
}

std::string TMacroExpander::ReadName(std::string_view& Rest) const {
    const size_t end = Rest.find(FEndTag);
    if (end == std::string_view::npos) Error(Format("No end tag %s found", FEndTag));
    const size_t length = std::min(Rest.substr(0, end).find('('), end);
    std::string name = Trim(Rest.substr(0, length));
    if (name.empty()) Error("Empty macro name defined");
    Rest.remove_prefix(length);
    return name;
}

// Brackets and parentheses nest; only commas are protected by quotes, so "(" and ")" count
// inside a quoted string too.
std::vector<std::string> TMacroExpander::ReadArguments(std::string_view& Rest,
                                                       std::string_view Name) const {
    const auto syntaxError = [&] {
        Error(Format("Syntax error in parameter list for macro %s", Name));
    };
    std::vector<std::string> args;
    if (Rest.empty() || Rest.front() != '(') return args;
    int parens = 0, brackets = 0;
    bool quoted = false;
    size_t start = 1;
    for (size_t i = 1; i < Rest.size(); ++i) {
        switch (Rest[i]) {
        case '[':
            ++brackets;
            break;
        case ']':
            --brackets;
            break;
        case '(':
            ++parens;
            break;
        case '\'':
            quoted = !quoted;
            break;
        case ',':
            if (parens == 0 && brackets == 0 && !quoted) {
                args.push_back(Trim(Rest.substr(start, i - start)));
                start = i + 1;
            }
            break;
        case ')':
            if (--parens >= 0) break;
            if (quoted) syntaxError();
            args.push_back(Trim(Rest.substr(start, i - start)));
            Rest.remove_prefix(i + 1);
            return args;
        }
    }
    syntaxError();
    return args;
}

void TMacroExpander::ReadEndTag(std::string_view& Rest) const {
    Rest = TrimLeftView(Rest);
    if (!Rest.starts_with(FEndTag)) Error(Format("No end tag %s found", FEndTag));
    Rest.remove_prefix(FEndTag.size());
}

void TMacroExpander::CheckCall(const TMacro& Macro) const {
    int ancestors = 0;
    for (const TMacroExpander* e = FParent; e; e = e->FParent, ++ancestors)
        if (e->FCurrentMacro == &Macro)
            Error(Format("Cyclic references in macro %s", Macro.Name()));
    if (ancestors > MaxAncestors)
        Error(Format("Too many levels (%d) in macro %s", MaxAncestors + 1, Macro.Name()));
}

void TMacroExpander::BindArguments(const TMacro& Macro, const std::vector<std::string>& Args,
                                   TMacroExpander& Child) {
    // Every argument is expanded before any parameter exists in the child, so arguments
    // see the caller's macros, never the other parameters.
    std::vector<std::unique_ptr<TMacro>> params;
    for (size_t i = 0; i < Args.size(); ++i) {
        auto param = std::make_unique<TMacro>(Macro.Params()[int(i)]);
        Child.ExpandLine(Args[i]);
        param->Lines().Assign(Child.FOutput);
        Child.FOutput.Clear();
        params.push_back(std::move(param));
    }
    for (std::unique_ptr<TMacro>& param : params)
        Child.FMacros.Add(param.release()); // the child owns them, a duplicate is freed
}

void TMacroExpander::Splice(const TStringList& Lines, std::string& Result) {
    const int n = Lines.Count();
    if (n == 0) return;
    if (n == 1) {
        Result += Lines[0];
        return;
    }
    const std::string indent(Result.size(), ' ');
    AddOutput(Result + Lines[0]);
    for (int k = 1; k < n - 1; ++k)
        AddOutput(indent + Lines[k]);
    Result = indent + Lines[n - 1];
}

} // namespace kolva
