#include "support/EditSampler.h"

#include "platform/SysUtils.h"

#include <algorithm>
#include <cctype>
#include <functional>

namespace kolva::test {

namespace {

using TRange = std::pair<int, int>;

bool IsIdentChar(char C) {
    return std::isalnum(static_cast<unsigned char>(C)) || C == '_';
}

// Where a name is written in the unit, outside given line ranges, or in its include files:
// a whole identifier, case ignored. Comments count too, which only makes an item look used
// when it is not.
class TUnitText {
public:
    TUnitText(const TStringList& Lines, const std::string& Included) {
        for (int i = 0; i < Lines.Count(); ++i) {
            FSource.push_back(Lines[i]);
            FLower.push_back(LowerCase(Lines[i]));
        }
        TStringList included;
        included.SetText(Included);
        for (int i = 0; i < included.Count(); ++i)
            FIncluded.push_back(LowerCase(included[i]));
    }

    /// Calls Use(line text, column) for every place Name is written outside Skip.
    void ForEachUse(const std::string& Name, const std::vector<TRange>& Skip,
                    const std::function<void(const std::string&, size_t)>& Use) const {
        const std::string name = LowerCase(Name);
        auto scan = [&](const std::string& text) {
            for (size_t at = text.find(name); at != std::string::npos;
                 at = text.find(name, at + 1)) {
                const size_t end = at + name.size();
                if ((at == 0 || !IsIdentChar(text[at - 1])) &&
                    (end == text.size() || !IsIdentChar(text[end])))
                    Use(text, at);
            }
        };
        for (int line = 0; line < int(FLower.size()); ++line) {
            bool skipped = false;
            for (const TRange& r : Skip)
                skipped = skipped || (line >= r.first && line <= r.second);
            if (!skipped) scan(FLower[line]);
        }
        for (const std::string& text : FIncluded)
            scan(text);
    }

    bool Used(const std::string& Name, const std::vector<TRange>& Skip) const {
        bool used = false;
        ForEachUse(Name, Skip, [&](const std::string&, size_t) { used = true; });
        return used;
    }

    // A use that a new parameter would break: a property accessor, an address taken, a
    // method or procedure assigned as a value (":= Name;").
    bool UsedAsValue(const std::string& Name, const std::vector<TRange>& Skip) const {
        bool value = false;
        ForEachUse(Name, Skip, [&](const std::string& text, size_t at) {
            size_t before = at;
            while (before > 0 && text[before - 1] == ' ')
                --before;
            size_t after = at + Name.size();
            while (after < text.size() && text[after] == ' ')
                ++after;
            const bool assigned = before >= 2 && text.compare(before - 2, 2, ":=") == 0 &&
                                  (after == text.size() || text[after] != '(');
            value = value || text.find("property") != std::string::npos ||
                    (before > 0 && text[before - 1] == '@') || assigned;
        });
        return value;
    }

    std::string Source(int First, int Last) const {
        std::string text;
        for (int line = First; line <= Last && line < int(FSource.size()); ++line)
            text += FSource[line] + "\n";
        return text;
    }

    bool Contains(const std::string& LowerText) const {
        for (const std::string& line : FLower)
            if (line.find(LowerText) != std::string::npos) return true;
        return false;
    }

    // Only blank lines and comments between two lines: no declarations a moved routine
    // could come to stand before, no conditional directive.
    bool OnlyCommentsBetween(int First, int Last) const {
        for (int line = std::max(First, 0); line <= Last && line < int(FLower.size()); ++line) {
            const std::string& text = FLower[line];
            const size_t at = text.find_first_not_of(" \t");
            if (at == std::string::npos || text.compare(at, 2, "//") == 0) continue;
            if (text[at] == '{' && text.compare(at, 2, "{$") != 0) continue;
            return false;
        }
        return true;
    }

private:
    std::vector<std::string> FSource;
    std::vector<std::string> FLower;
    std::vector<std::string> FIncluded;
};

// The path by which the command line finds an item.
std::string PathOf(const TCodeItem& Item) {
    const TCodeItem* parent = Item.Parent();
    if (!parent || parent->Kind() == ckModule) return Item.GetQualifiedName();
    if (IsClassKind(parent->Kind())) return parent->Name + "." + Item.Name;
    return PathOf(*parent) + "." + Item.Name;
}

// The lines of an item and of its linked declaration or implementation.
std::vector<TRange> OwnLines(const TCodeItem& Item) {
    std::vector<TRange> lines{{Item.StartLine, Item.LastLine()}};
    if (auto* proc = dynamic_cast<const TProcItem*>(&Item)) {
        for (const TProcItem* link : {proc->DeclarationLink(), proc->ImplementationLink()})
            if (link && link->StartLine >= 0) lines.push_back({link->StartLine, link->LastLine()});
    }
    return lines;
}

using TItems = std::vector<TCodeItem*>;

TItems Where(const TItems& From, const std::function<bool(TCodeItem&)>& Keep) {
    TItems kept;
    for (TCodeItem* item : From)
        if (Keep(*item)) kept.push_back(item);
    return kept;
}

// Slot of Slots, spread evenly over the items, so the kinds of operation of one category take
// different items where there are enough.
TCodeItem* Pick(const TItems& From, int Slot, int Slots) {
    if (From.empty()) return nullptr;
    return From[(size_t(2 * Slot + 1) * From.size() / size_t(2 * Slots)) % From.size()];
}

struct TCategories {
    TItems Classes, Objects, Interfaces;
    TItems Fields, Methods, InterfaceMethods, ResClauses;
    TItems Procedures, Locals, Implementations;
};

bool Placed(const TCodeItem& Item) {
    return !Item.Implied && Item.StartLine >= 0;
}

void CollectLocals(TCodeItem& Routine, TItems& Locals) {
    for (TCodeItem* child : Routine.Children())
        if (child->Kind() == ckProcedure && Placed(*child)) {
            Locals.push_back(child);
            CollectLocals(*child, Locals);
        }
}

TCategories Categorise(TModuleExplorer& Explorer) {
    TCategories c;
    for (TCodeItem* item : Explorer.Module().Children()) {
        if (!Placed(*item)) continue;
        const TCodeItemKind kind = item->Kind();
        if (IsClassKind(kind)) {
            auto* cls = static_cast<TClassItem*>(item);
            if (cls->DeclaredElsewhere) continue;
            const bool isInterface = kind == ckInterface || kind == ckDispInterface;
            (kind == ckClass ? c.Classes : isInterface ? c.Interfaces : c.Objects).push_back(item);
            for (TCodeItem* member : item->Children()) {
                if (!Placed(*member)) continue;
                if (member->Kind() == ckField) c.Fields.push_back(member);
                if (member->Kind() == ckResClause) c.ResClauses.push_back(member);
                if (member->Kind() == ckMethod)
                    (isInterface ? c.InterfaceMethods : c.Methods).push_back(member);
            }
        } else if (kind == ckProcedure || kind == ckMethodImpl) {
            auto* proc = static_cast<TProcItem*>(item);
            if (kind == ckProcedure && !proc->DeclarationLink()) c.Procedures.push_back(item);
            if (item->StartLine > Explorer.ImplementationLine()) c.Implementations.push_back(item);
            CollectLocals(*item, c.Locals);
        }
    }
    return c;
}

class TSampler {
public:
    TSampler(TModuleExplorer& Explorer, const TStringList& Lines, const TSampleOptions& Options)
        : FExplorer(Explorer), FOptions(Options), FText(Lines, Options.IncludedText),
          FAll(Categorise(Explorer)), FCorba(FText.Contains("{$interfaces corba}")) {}

    std::vector<TEditOperation> Run() {
        Global();
        Procedures();
        Methods();
        Fields();
        Locals();
        Types();
        Moves();
        return FOps;
    }

private:
    void Add(const std::string& Label, TCodeItem* Item, std::vector<std::string> Args,
             const std::string& RenamedFrom = {}) {
        if (!Item) return;
        const std::string path = PathOf(*Item);
        Args.insert(Args.begin() + 1, {"FILE", path});
        Args.insert(Args.end(), {"--line", std::to_string(Item->StartLine)});
        FOps.push_back(
            {Label, path + "@" + std::to_string(Item->StartLine), Args, RenamedFrom, {}});
    }

    bool Unused(TCodeItem& Item) const { return !FText.Used(Item.Name, OwnLines(Item)); }

    // Another routine of the same name beside Item: a new parameter could make calls ambiguous.
    static bool Overloaded(TCodeItem& Item) {
        auto* proc = static_cast<TProcItem*>(&Item);
        for (TCodeItem* sibling : Item.Parent()->Children())
            if (sibling != &Item && sibling != proc->ImplementationLink() &&
                sibling != proc->DeclarationLink() && SameText(sibling->Name, Item.Name))
                return true;
        return false;
    }

    // Whether a last parameter with a default keeps every use of the routine compiling: its
    // body is in the unit, nothing overrides or implements it, no call can become ambiguous.
    bool TakesExtraParameter(TCodeItem& Item) const {
        auto* proc = static_cast<TProcItem*>(&Item);
        const bool bodyHere = proc->ImplementationLink() ||
                              (Item.Kind() == ckProcedure && Item.Parent()->Kind() == ckModule &&
                               Item.StartLine > FExplorer.ImplementationLine()) ||
                              Item.Parent()->Kind() == ckProcedure ||
                              Item.Parent()->Kind() == ckMethodImpl;
        if (!FOptions.DefaultParameters || !bodyHere || proc->Binding() != bkStatic ||
            proc->IsAbstract() || Overloaded(Item))
            return false;
        if (auto* owner = dynamic_cast<TClassItem*>(Item.Parent()))
            if (owner->Interfaces().Count() > 0) return false;
        return !FText.UsedAsValue(Item.Name, OwnLines(Item));
    }

    // The operations that procedures and methods share; Slot of Slots spreads them.
    void Edits(const char* What, const TItems& Items, int Slot, int Slots) {
        const std::string what = What;
        if (TCodeItem* item = Pick(Items, Slot, Slots))
            Add("edit " + what + " unchanged", item, {"edit", "--decl", item->GetDeclaration()});
        const TItems changeable =
            Where(Items, [&](TCodeItem& i) { return TakesExtraParameter(i); });
        if (TCodeItem* item = Pick(changeable, Slot + 1, Slots)) {
            const std::string decl = WithExtraParameter(item->GetDeclaration(), item->Name);
            if (!decl.empty())
                Add("edit " + what + " new parameter", item, {"edit", "--decl", decl});
        }
        if (TCodeItem* item = Pick(Items, Slot + 2, Slots))
            Add("rename " + what, item, {"rename", item->Name + "Kv"}, item->Name);
        const TItems unused = Where(Items, [&](TCodeItem& i) { return Unused(i); });
        if (TCodeItem* item = Pick(unused, Slot + 3, Slots))
            Add("delete " + what, item, {"delete", "--yes"});
        if (TCodeItem* item = Pick(Items, Slot + 4, Slots))
            Add("add-procedure local in " + what, item,
                {"add-procedure", "--decl", "procedure KolvaLocal(Value: Integer);"});
    }

    void Global() {
        FOps.push_back(
            {"add-procedure global",
             "(unit)",
             {"add-procedure", "FILE", "--decl", "procedure KolvaAdded(Value: Integer);"},
             {},
             {}});
        FOps.push_back({"add-procedure implementation only",
                        "(unit)",
                        {"add-procedure", "FILE", "--no-interface", "--decl",
                         "function KolvaHidden: Integer;"},
                        {},
                        {}});
    }

    void Procedures() {
        Edits("procedure", FAll.Procedures, 0, 6);
        const int implementation = FExplorer.ImplementationLine();
        const TItems movable = Where(FAll.Procedures, [&](TCodeItem& i) {
            return i.StartLine > implementation || Unused(i);
        });
        if (TCodeItem* item = Pick(movable, 5, 6)) {
            const bool hidden = item->StartLine > implementation;
            Add("visibility procedure", item,
                {"visibility", hidden ? "interface" : "implementation"});
            if (!hidden) FOps.back().Removes = FText.Source(item->StartLine, item->LastLine());
        }
    }

    void Methods() {
        Edits("method", FAll.Methods, 0, 6);
        if (TCodeItem* item = Pick(FAll.Methods, 5, 6))
            Add("visibility method", item, {"visibility", OtherSection(*item)});
        if (TCodeItem* item = Pick(FAll.InterfaceMethods, 0, 2))
            Add("edit interface method unchanged", item,
                {"edit", "--decl", item->GetDeclaration()});
        if (TCodeItem* item = Pick(FAll.InterfaceMethods, 1, 2))
            Add("visibility interface method", item, {"visibility", "private"});
        if (TCodeItem* item = Pick(FAll.ResClauses, 0, 2))
            Add("edit resolution clause unchanged", item,
                {"edit", "--decl", item->GetDeclaration()});
        const TItems unused = Where(FAll.ResClauses, [&](TCodeItem& i) { return Unused(i); });
        if (TCodeItem* item = Pick(unused, 1, 2))
            Add("delete resolution clause", item, {"delete", "--yes"});
    }

    // A section other than the member's own that the unit's own code can still reach; never
    // published, which takes only some types.
    static std::string OtherSection(const TCodeItem& Member) {
        if (Member.Parent()->Kind() == ckObject)
            return Member.Visibility == scPrivate ? "default" : "private";
        switch (Member.Visibility) {
        case scPublic:
            return "protected";
        case scPrivate:
        case scPublished:
            return "public";
        default:
            return "private";
        }
    }

    void Fields() {
        if (TCodeItem* item = Pick(FAll.Fields, 0, 5))
            Add("edit field unchanged", item, {"edit", "--decl", item->GetDeclaration()});
        if (TCodeItem* item = Pick(FAll.Fields, 1, 5)) {
            const std::string decl = item->GetDeclaration();
            if (decl.compare(0, item->Name.size(), item->Name) == 0)
                Add("edit field second name", item,
                    {"edit", "--decl",
                     item->Name + ", FKolvaExtra" + decl.substr(item->Name.size())});
        }
        const TItems single =
            Where(FAll.Fields, [](TCodeItem& i) { return i.Name.find(',') == std::string::npos; });
        if (TCodeItem* item = Pick(single, 2, 5))
            Add("rename field", item, {"rename", item->Name + "Kv"}, item->Name);
        const TItems unused = Where(single, [&](TCodeItem& i) { return Unused(i); });
        if (TCodeItem* item = Pick(unused, 3, 5)) Add("delete field", item, {"delete", "--yes"});
        if (TCodeItem* item = Pick(FAll.Fields, 4, 5))
            Add("visibility field", item, {"visibility", OtherSection(*item)});
    }

    void Locals() {
        if (TCodeItem* item = Pick(FAll.Locals, 0, 4))
            Add("edit local procedure unchanged", item, {"edit", "--decl", item->GetDeclaration()});
        if (TCodeItem* item = Pick(FAll.Locals, 1, 4))
            Add("rename local procedure", item, {"rename", item->Name + "Kv"}, item->Name);
        const TItems unused = Where(FAll.Locals, [&](TCodeItem& i) { return Unused(i); });
        if (TCodeItem* item = Pick(unused, 2, 4))
            Add("delete local procedure", item, {"delete", "--yes"});
        if (TCodeItem* item = Pick(FAll.Locals, 3, 4))
            Add("add-procedure local in local procedure", item,
                {"add-procedure", "--decl", "procedure KolvaNested;"});
    }

    void Types() {
        for (int slot = 0; slot < 2; ++slot) {
            const std::vector<std::string> visibility =
                slot == 0 ? std::vector<std::string>{}
                          : std::vector<std::string>{"--visibility", "public"};
            if (TCodeItem* item = Pick(FAll.Classes, slot, 2)) {
                std::vector<std::string> field{"add-field", "--decl", "FKolvaAdded: Integer;"};
                field.insert(field.end(), visibility.begin(), visibility.end());
                Add("add-field", item, field);
            }
        }
        if (TCodeItem* item = Pick(FAll.Classes, 0, 2))
            Add("add-method", item,
                {"add-method", "--decl", "procedure KolvaAdded(Value: Integer);"});
        if (TCodeItem* item = Pick(FAll.Classes, 1, 2))
            Add("add-method class function", item,
                {"add-method", "--decl", "class function KolvaCount: Integer;", "--visibility",
                 "protected"});
        if (TCodeItem* item = Pick(FAll.Objects, 0, 1)) {
            Add("add-field object", item, {"add-field", "--decl", "FKolvaAdded: Integer;"});
            Add("add-method object", item, {"add-method", "--decl", "procedure KolvaAdded;"});
        }
        const TItems free = Where(FAll.Interfaces, [&](TCodeItem& i) { return Unused(i); });
        if (TCodeItem* item = Pick(free, 0, 1))
            Add("add-method interface", item, {"add-method", "--decl", "procedure KolvaAdded;"});
        if (TCodeItem* item = Pick(FAll.Interfaces, 0, 1))
            Add("add-field interface", item, {"add-field", "--decl", "FKolvaAdded: Integer;"});
        AddInterface();
        AddResClause();
    }

    // A class that already answers to IInterface, so listing it once more still compiles.
    bool Interfaced(TCodeItem& Item) const {
        auto& cls = static_cast<TClassItem&>(Item);
        const TStringList listed = cls.Interfaces();
        for (int i = 0; i < listed.Count(); ++i)
            if (SameText(listed[i], "IUnknown") || SameText(listed[i], "IInterface")) return false;
        for (const char* base : {"TInterfacedObject", "TComponent", "TInterfacedPersistent"})
            if (SameText(cls.Ancestor, base)) return true;
        return listed.Count() > 0;
    }

    void AddInterface() {
        if (FCorba) return;
        const TItems eligible = Where(FAll.Classes, [&](TCodeItem& i) { return Interfaced(i); });
        if (TCodeItem* item = Pick(eligible, 0, 1))
            Add("add-interface", item, {"add-interface", "IInterface"});
    }

    // A clause for the first method of an interface that the class lists and the unit declares.
    void AddResClause() {
        for (TCodeItem* item : FAll.Classes) {
            const TStringList listed = static_cast<TClassItem*>(item)->Interfaces();
            for (int i = 0; i < listed.Count(); ++i)
                for (TCodeItem* intf : FAll.Interfaces) {
                    if (!SameText(intf->Name, listed[i])) continue;
                    for (TCodeItem* method : intf->Children()) {
                        if (method->Kind() != ckMethod) continue;
                        const std::string decl = method->GetDeclaration();
                        const std::string word = decl.substr(0, decl.find(' '));
                        Add("add-resclause", item,
                            {"add-resclause", "--yes", "--decl",
                             word + " " + intf->Name + "." + method->Name + " = Kolva" +
                                 method->Name + ";"});
                        return;
                    }
                }
        }
    }

    // Whether the command line finds Item by its name alone, as it finds a move's target.
    bool NamedOnce(const TCodeItem& Item) const {
        int same = 0;
        for (const TCodeItem* other : FExplorer.Module().Children())
            same += SameText(other->GetQualifiedName(), Item.GetQualifiedName()) &&
                    other->Kind() == Item.Kind();
        return same == 1;
    }

    // An implementation that has a declaration, so that no call depends on where its body
    // stands: moved down after a later implementation, and up before the one just above it
    // when that one is declared too and only comments stand between them.
    void Moves() {
        const TItems& all = FAll.Implementations;
        auto declared = [](const TCodeItem& i) {
            return static_cast<const TProcItem&>(i).DeclarationLink() != nullptr;
        };
        TItems down, up;
        for (size_t k = 0; k < all.size(); ++k) {
            if (!declared(*all[k])) continue;
            if (k + 1 < all.size()) down.push_back(all[k]);
            if (k > 0 && declared(*all[k - 1]) && NamedOnce(*all[k - 1]) &&
                FText.OnlyCommentsBetween(all[k - 1]->LastLine() + 1, all[k]->StartLine - 1))
                up.push_back(all[k]);
        }
        if (TCodeItem* item = Pick(down, 0, 2)) {
            const size_t k = std::find(all.begin(), all.end(), item) - all.begin();
            TItems later(all.begin() + long(k) + 1, all.end());
            std::erase_if(later, [&](TCodeItem* i) { return !NamedOnce(*i); });
            if (TCodeItem* target = Pick(later, 0, 1)) AddMove("move down", *item, *target);
        }
        if (TCodeItem* item = Pick(up, 1, 2)) {
            const size_t k = std::find(all.begin(), all.end(), item) - all.begin();
            AddMove("move up", *item, *all[k - 1]);
        }
    }

    void AddMove(const char* Label, TCodeItem& Item, TCodeItem& Target) {
        const TProcItem* declaration = static_cast<TProcItem&>(Item).DeclarationLink();
        FOps.push_back({Label,
                        Item.GetQualifiedName() + "@" + std::to_string(Item.StartLine),
                        {"move", "FILE", PathOf(*declaration), Target.GetQualifiedName(), "--line",
                         std::to_string(declaration->StartLine)},
                        {},
                        {}});
    }

    TModuleExplorer& FExplorer;
    const TSampleOptions& FOptions;
    TUnitText FText;
    TCategories FAll;
    bool FCorba;
    std::vector<TEditOperation> FOps;
};

} // namespace

std::string WithExtraParameter(const std::string& Decl, const std::string& Name) {
    const std::string lower = LowerCase(Decl), name = LowerCase(Name);
    size_t at = lower.find(name);
    while (at != std::string::npos &&
           ((at > 0 && IsIdentChar(lower[at - 1])) ||
            (at + name.size() < lower.size() && IsIdentChar(lower[at + name.size()]))))
        at = lower.find(name, at + 1);
    if (at == std::string::npos) return {};
    size_t end = at + name.size();
    while (end < Decl.size() && Decl[end] == ' ')
        ++end;
    if (end >= Decl.size() || Decl[end] != '(')
        return Decl.substr(0, at + name.size()) + "(KolvaExtra: Integer = 0)" +
               Decl.substr(at + name.size());
    int depth = 0;
    for (size_t i = end; i < Decl.size(); ++i) {
        depth += Decl[i] == '(' ? 1 : Decl[i] == ')' ? -1 : 0;
        if (depth == 0) {
            const bool empty = Decl.find_first_not_of(' ', end + 1) == i;
            return Decl.substr(0, i) + (empty ? "" : "; ") + "KolvaExtra: Integer = 0" +
                   Decl.substr(i);
        }
    }
    return {};
}

std::vector<TEditOperation> SampleEdits(TModuleExplorer& Explorer, const TStringList& Lines,
                                        const TSampleOptions& Options) {
    return TSampler(Explorer, Lines, Options).Run();
}

} // namespace kolva::test
