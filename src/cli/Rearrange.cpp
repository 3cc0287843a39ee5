// `kolva rearrange`: the members of a class (or the procedures of the unit) and their
// implementations written again in a chosen order, as the rearrange dialog would ask for it.
#include "cli/EngineSession.h"
#include "model/MemberRank.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <optional>

namespace kolva::cli {

namespace {

struct TRearrangeArgs {
    std::optional<std::string> Order, ImplOrder, Sort;
    TRearrangeOptions Options = {roRearrangeInterface, roRearrangeImplementation};
};

TRearrangeArgs ParseRearrangeArgs(const TCommandLine& Line) {
    TRearrangeArgs parsed;
    parsed.Order = Line.Value("--order");
    parsed.ImplOrder = Line.Value("--impl-order");
    parsed.Sort = Line.Value("--sort");
    if (Line.Has("--reformat")) parsed.Options.Include(roReformat);
    if (Line.Has("--interface-only")) parsed.Options.Exclude(roRearrangeImplementation);
    if (Line.Has("--implementation-only")) parsed.Options.Exclude(roRearrangeInterface);
    if (!parsed.Order && !parsed.ImplOrder && !parsed.Sort)
        throw EUsage("give the new order with --order, --impl-order or --sort");
    if (Line.Positional.size() < 2) throw EUsage("missing arguments");
    if (Line.Positional.size() > 2)
        throw EUsage(Format("too many arguments: \"%s\"", Line.Positional[2]));
    return parsed;
}

std::vector<std::string> CommaList(const std::string& List) {
    std::vector<std::string> entries;
    size_t start = 0;
    for (size_t comma; (comma = List.find(',', start)) != std::string::npos; start = comma + 1)
        entries.push_back(List.substr(start, comma - start));
    entries.push_back(List.substr(start));
    return entries;
}

// The name an order list uses for an item: a member's or procedure's own name, and for a
// method implementation the method's.
bool Names(const TCodeItem& Item, const std::string& Name, std::optional<int> Line) {
    return SameText(Item.Name, Name) && (!Line || Item.StartLine == *Line);
}

// The items named by List ("A,B,C"; "A@LINE" picks one of several of that name by its start
// line, as --line does) in that order, then the others in their order.
TItemList Ordered(const TItemList& Items, const std::string& List, const std::string& Where) {
    TItemList named;
    for (const std::string& entry : CommaList(List)) {
        const std::string text = Trim(entry);
        if (text.empty()) continue;
        const size_t at = text.find('@');
        const std::string name = Trim(text.substr(0, at));
        const std::optional<int> line = at == std::string::npos
                                            ? std::nullopt
                                            : std::optional<int>(StrToInt(text.substr(at + 1)));
        bool found = false;
        for (TCodeItem* item : Items) {
            if (!Names(*item, name, line)) continue;
            found = true;
            if (std::find(named.begin(), named.end(), item) == named.end()) named.push_back(item);
        }
        if (!found) throw Exception(Format("No item %s among the %s", text, Where));
    }
    for (TCodeItem* item : Items)
        if (std::find(named.begin(), named.end(), item) == named.end()) named.push_back(item);
    return named;
}

// The strict sections rank just before their plain ones.
int VisibilityRank(TVisibility V) {
    static constexpr int ranks[VisibilityCount] = {0, 2, 4, 5, 6, 7, 1, 3};
    return ranks[V];
}

// The order of the explorer's member list in its sort modes "Name", "Kind, Visibility" and
// "Visibility, Kind": by caption without regard to case, after kind and visibility. Sorting
// by visibility alone would put a property before the methods it names when its name sorts
// first, which no unit compiles.
TItemList Sorted(TItemList Items, const std::string& Mode) {
    const bool byKind = SameText(Mode, "kind"), byVisibility = SameText(Mode, "visibility");
    if (!byKind && !byVisibility && !SameText(Mode, "name"))
        throw Exception(Format("Unknown sort order %s; use name, kind or visibility", Mode));
    const auto key = [&](const TCodeItem& Item) {
        const int kind = MemberKindRank(Item), visibility = VisibilityRank(Item.Visibility);
        if (byKind) return kind * 16 + visibility;
        if (byVisibility) return visibility * 16 + kind;
        return 0;
    };
    std::stable_sort(Items.begin(), Items.end(), [&](const TCodeItem* A, const TCodeItem* B) {
        const int first = key(*A) - key(*B);
        if (first != 0) return first < 0;
        return CompareText(A->GetDisplayText(), B->GetDisplayText()) < 0;
    });
    return Items;
}

// The implementations in the order of the methods they implement.
TItemList FollowingDeclarations(const TItemList& Declarations, const TItemList& Implementations) {
    TItemList order;
    for (const TCodeItem* decl : Declarations) {
        if (decl->Kind() != ckMethod) continue;
        TCodeItem* impl = static_cast<const TMethodItem*>(decl)->ImplementationLink();
        if (std::find(Implementations.begin(), Implementations.end(), impl) !=
            Implementations.end())
            order.push_back(impl);
    }
    return order;
}

} // namespace

int RunRearrange(const TCommandLine& Line) {
    const TRearrangeArgs parsed = ParseRearrangeArgs(Line);
    const TEngineOptions options = ParseEngineOptions(Line);
    TEngineSession session(options, options.Positional[0]);
    const std::string& name = options.Positional[1];
    TCodeItem& container = name == "." ? session.Explorer().Module() : session.Find(name);
    if (container.Kind() != ckModule && !IsTypeWithMembers(container.Kind()))
        throw Exception(Format("%s is not a class, interface, object, record or helper type",
                               container.GetQualifiedName()));
    TKolvaEditor& editor = session.Editor();
    editor.CheckRearrange(container);
    const TRearrangeItems items = editor.RearrangeItems(container);
    const bool module = container.Kind() == ckModule;

    TItemList declarations = items.Declarations, implementations = items.Implementations;
    if (parsed.Sort) {
        declarations = Sorted(declarations, *parsed.Sort);
        implementations = module ? Sorted(implementations, *parsed.Sort)
                                 : FollowingDeclarations(declarations, implementations);
    }
    if (parsed.Order) {
        declarations =
            Ordered(declarations, *parsed.Order, module ? "interface procedures" : "members");
        if (!module) implementations = FollowingDeclarations(declarations, implementations);
    }
    if (parsed.ImplOrder) {
        // A method implementation goes by the method's name.
        implementations = Ordered(implementations, *parsed.ImplOrder,
                                  module ? "implementation procedures" : "implementations");
    }
    editor.Rearrange(container, declarations, parsed.Options, implementations);
    return session.Finish();
}

} // namespace kolva::cli
