// `kolva copy` and `kolva cut`: the copy buffer of a class, of members of one class or of
// procedures, written to standard output as the explorer's Copy or Cut would put it on the
// clipboard; `kolva paste` pastes such a buffer, `copy-to` and `move-to` copy or move items
// into another class or the unit, as the explorer's Copy To and Move To do.
#include "cli/EngineSession.h"
#include "model/TextStrm.h"
#include "platform/Files.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <iostream>

namespace kolva::cli {

namespace {

bool IsMemberKind(TCodeItemKind Kind) {
    return Kind == ckField || Kind == ckMethod || Kind == ckProperty || Kind == ckResClause;
}

struct TCopySelection {
    TCopyKind Kind = coModuleCopy;
    TCodeItem* Container = nullptr;
    TItemList Items;
};

// The kind of copy the explorer would make of these items: a class, members of the class
// they share, or procedures (with their local procedures) of the unit.
TCopySelection ChooseCopy(TModuleExplorer& Explorer, TItemList Items) {
    TCopySelection copy;
    copy.Container = &Explorer.Module();
    for (TCodeItem*& item : Items) {
        // An implementation stands for the method it implements.
        if (item->Kind() == ckMethodImpl) {
            if (TProcItem* decl = static_cast<TProcItem*>(item)->DeclarationLink()) item = decl;
        }
    }
    const auto all = [&](auto Test) { return std::all_of(Items.begin(), Items.end(), Test); };
    if (!Items.empty() && all([](TCodeItem* I) { return IsClassKind(I->Kind()); })) {
        if (Items.size() > 1) throw Exception("Copy one class at a time");
        copy.Kind = coClassCopy;
    } else if (!Items.empty() && all([&](TCodeItem* I) {
                   return IsMemberKind(I->Kind()) && I->Parent() == Items[0]->Parent() &&
                          IsClassKind(I->Parent()->Kind());
               })) {
        copy.Kind = coMembersCopy;
        copy.Container = Items[0]->Parent();
    } else if (!all([](TCodeItem* I) { return I->Kind() == ckProcedure; })) {
        throw Exception("Copy one class, members of one class, or procedures");
    }
    copy.Items = std::move(Items);
    return copy;
}

void Print(const TStringList& Buffer) {
    for (int i = 0; i < Buffer.Count(); ++i)
        std::cout << Buffer[i] << '\n';
}

// The copy the named items make in the session's unit.
TCopySelection NamedCopy(TEngineSession& Session, const TEngineOptions& Options) {
    TItemList items;
    for (size_t i = 1; i < Options.Positional.size(); ++i)
        items.push_back(&Session.Find(Options.Positional[i]));
    return ChooseCopy(Session.Explorer(), items);
}

int RunCopyOrMove(const TCommandLine& Line, bool Move) {
    TEngineOptions options = ParseEngineOptions(Line);
    if (options.Positional.size() < 2) throw EUsage("missing arguments");
    const std::optional<std::string> to = Line.Value("--to");
    if (!to) throw EUsage("missing --to CLASS");
    TEngineSession session(options, options.Positional[0]);
    const TCopySelection copy = NamedCopy(session, options);
    if (copy.Kind == coClassCopy)
        throw Exception("Copy or move members or procedures, not a class");
    TCodeItem& module = session.Explorer().Module();
    TCodeItem& target = *to == "." ? module : session.FindTarget(*to);
    session.Editor().CopyOrMoveItems(*copy.Container, target, Move, copy.Items);
    return session.Finish();
}

} // namespace

int RunCopy(const TCommandLine& Line) {
    if (Line.Positional.empty()) throw EUsage("missing arguments");
    TEngineOptions options = ParseEngineOptions(Line);
    // A copy only reads the unit: it is not locked for writing.
    options.Stdout = true;
    TEngineSession session(options, options.Positional[0]);
    TItemList items;
    for (size_t i = 1; i < options.Positional.size(); ++i)
        items.push_back(&session.Find(options.Positional[i]));
    const TCopySelection copy = ChooseCopy(session.Explorer(), items);
    TStringList buffer;
    {
        TStringsText stream(buffer);
        session.Editor().WriteItems(copy.Kind, copy.Container, copy.Items, stream);
    }
    Print(buffer);
    return esOk;
}

int RunCut(const TCommandLine& Line) {
    TEngineOptions options = ParseEngineOptions(Line);
    if (options.Positional.size() < 2) throw EUsage("missing arguments");
    if (options.Stdout) throw EUsage("cut writes the unit back and the buffer to standard output");
    TEngineSession session(options, options.Positional[0]);
    const TCopySelection copy = NamedCopy(session, options);
    TStringList buffer;
    {
        TStringsText stream(buffer);
        session.Editor().CutItems(copy.Kind, copy.Container, copy.Items, stream);
    }
    // The buffer goes out only once the unit is written without the items.
    const int status = session.Finish();
    Print(buffer);
    return status;
}

int RunPaste(const TCommandLine& Line) {
    TEngineOptions options = ParseEngineOptions(Line);
    const size_t count = options.Positional.size();
    if (count < 2) throw EUsage("missing arguments");
    if (count > 3) throw EUsage(Format("too many arguments: \"%s\"", options.Positional[3]));
    const bool fromInput = count == 2 || options.Positional[2] == "-";
    if (fromInput && options.Positional[0] == "-")
        throw EUsage("the unit and the buffer cannot both come from standard input");
    TStringList lines;
    lines.SetText(fromInput ? ReadStandardInput() : ReadFileText(options.Positional[2]));
    TEngineSession session(options, options.Positional[0]);
    TCodeItem& module = session.Explorer().Module();
    TCodeItem* reference = &module;
    TCodeItem* target = &module;
    if (options.Positional[1] != ".") {
        // A member stands for its class, as a member selected in the explorer does; a routine
        // takes local procedures.
        reference = &session.Find(options.Positional[1]);
        TCodeItem* parent = reference->Parent();
        target = IsClassKind(reference->Kind())          ? reference
                 : parent && IsClassKind(parent->Kind()) ? parent
                                                         : &module;
    }
    session.Editor().PasteText(reference, target, lines);
    return session.Finish();
}

int RunCopyTo(const TCommandLine& Line) {
    return RunCopyOrMove(Line, false);
}

int RunMoveTo(const TCommandLine& Line) {
    return RunCopyOrMove(Line, true);
}

} // namespace kolva::cli
