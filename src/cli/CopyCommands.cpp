// `kolva copy`: the copy buffer of a class, of members of one class or of procedures, written
// to standard output as the explorer's Copy would put it on the clipboard.
#include "cli/EngineSession.h"
#include "model/TextStrm.h"
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
    for (int i = 0; i < buffer.Count(); ++i)
        std::cout << buffer[i] << '\n';
    return esOk;
}

} // namespace kolva::cli
