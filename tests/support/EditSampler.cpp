#include "support/EditSampler.h"

#include "editing/PropertyLinks.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <cctype>
#include <functional>

namespace kolva::test {

bool IsIdentChar(char C) {
    return std::isalnum(static_cast<unsigned char>(C)) || C == '_';
}

size_t FindWord(const std::string& Text, const std::string& Word, size_t From) {
    for (size_t at = Text.find(Word, From); at != std::string::npos; at = Text.find(Word, at + 1))
        if ((at == 0 || !IsIdentChar(Text[at - 1])) &&
            (at + Word.size() == Text.size() || !IsIdentChar(Text[at + Word.size()])))
            return at;
    return std::string::npos;
}

namespace {

using TRange = std::pair<int, int>;
using TItems = std::vector<TCodeItem*>;
using TArgs = std::vector<std::string>;

// Where a name is written in the unit, outside given line ranges, or in its include files:
// a whole identifier, case ignored. Comments count too, which only makes an item look used
// when it is not.
class TUnitText {
public:
    TUnitText(const TStringList& Lines, const std::string& Included) : FLines(Lines) {
        TStringList included;
        included.SetText(Included);
        for (const TStringList* list : {&Lines, static_cast<const TStringList*>(&included)})
            for (int i = 0; i < list->Count(); ++i)
                FLower.push_back(LowerCase((*list)[i]));
    }

    bool Used(const std::string& Name, const std::vector<TRange>& Skip) const {
        const std::string name = LowerCase(Name);
        for (int line = 0; line < int(FLower.size()); ++line) {
            if (std::any_of(Skip.begin(), Skip.end(),
                            [&](const TRange& r) { return line >= r.first && line <= r.second; }))
                continue;
            if (FindWord(FLower[line], name) != std::string::npos) return true;
        }
        return false;
    }

    std::string Source(int First, int Last) const {
        std::string text;
        for (int line = First; line <= Last && line < FLines.Count(); ++line)
            text += FLines[line] + "\n";
        return text;
    }

    // Only blank lines and comments between two lines: no declarations a moved routine
    // could come to stand before, no conditional directive.
    bool OnlyCommentsBetween(int First, int Last) const {
        for (int line = std::max(First, 0); line <= Last && line < FLines.Count(); ++line) {
            const std::string& text = FLower[line];
            const size_t at = text.find_first_not_of(" \t");
            if (at != std::string::npos && text.compare(at, 2, "//") != 0 &&
                (text[at] != '{' || text.compare(at, 2, "{$") == 0))
                return false;
        }
        return true;
    }

    bool Corba() const {
        return std::any_of(FLower.begin(), FLower.end(), [](const std::string& line) {
            return line.find("{$interfaces corba}") != std::string::npos;
        });
    }

private:
    const TStringList& FLines;
    std::vector<std::string> FLower; // the unit's lines, then its include files'
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
    if (auto* proc = dynamic_cast<const TProcItem*>(&Item))
        for (const TProcItem* link : {proc->DeclarationLink(), proc->ImplementationLink()})
            if (link && link->StartLine >= 0) lines.push_back({link->StartLine, link->LastLine()});
    return lines;
}

// The lines of a class and of its method implementations.
std::vector<TRange> ClassLines(const TCodeItem& Class) {
    std::vector<TRange> lines{{Class.StartLine, Class.LastLine()}};
    for (const TCodeItem* member : Class.Children())
        for (const TRange& r : OwnLines(*member))
            lines.push_back(r);
    return lines;
}

// What each paste of the sample pastes: names no unit has, bodies that compile anywhere.
std::string PasteBuffer(const std::string& Label) {
    const std::string head = "unit _FW_Copy_Buffer_;\n\ninterface\n\n";
    if (Label == "paste class")
        return "//FWWIN:CLASSCOPY\n" + head +
               "type\n  TKolvaPasted = object\n    function Twice(Value: Integer): Integer;\n"
               "  end;\n\nimplementation\n\nfunction TKolvaPasted.Twice(Value: Integer): Integer;"
               "\nbegin\n  Twice := Value * 2;\nend;\n\nend.\n";
    if (Label == "paste procedures")
        return "//FWWIN:MODULECOPY\n" + head +
               "function KolvaTwice(Value: Integer): Integer;\n\nimplementation\n\n"
               "function KolvaTwice(Value: Integer): Integer;\nbegin\n  KolvaTwice := Value * 2;\n"
               "end;\n\nend.\n";
    if (Label == "paste local procedures")
        return "//FWWIN:PROCEDURECOPY\n  procedure KolvaLocal(Value: Integer);\n  begin\n"
               "    if Value > 0 then\n      Exit;\n  end;\n\n";
    return "//FWWIN:MEMBERSCOPY\n" + head +
           "type\n  TCodeTemplate = class(TObject)\n  private\n    FKolvaValue: Integer;\n"
           "  public\n    function GetKolvaValue: Integer;\n"
           "    procedure KolvaPasted(Value: Integer);\n"
           "    property KolvaValue: Integer read GetKolvaValue;\n  end;\n\nimplementation\n\n"
           "procedure TCodeTemplate.KolvaPasted(Value: Integer);\nbegin\n  if Value > 0 then\n"
           "    Exit;\nend;\n\nend.\n";
}

// Slot of Slots, spread evenly over the items, so the operations on one category take
// different items where there are enough.
TCodeItem* Pick(const TItems& From, int Slot, int Slots) {
    if (From.empty()) return nullptr;
    return From[(size_t(2 * Slot + 1) * From.size() / size_t(2 * Slots)) % From.size()];
}

struct TCategories {
    TItems Procedures, Methods, InterfaceMethods, ResClauses, Fields, Locals;
    TItems Classes, Objects, Interfaces, Implementations;
    // The property operations take their items apart, so the rows above keep theirs.
    TItems Properties, PropertyOwners, PropertyFields, Getters;
    // So do the copy buffer's.
    TItems PasteClasses, PasteObjects, PasteInterfaces, PasteRoutines, CopiedMethods,
        CopiedProcedures, CutFields, CutClasses;
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
        const TCodeItemKind kind = item->Kind();
        if (!Placed(*item)) continue;
        if (IsClassKind(kind) && !static_cast<TClassItem*>(item)->DeclaredElsewhere) {
            const bool isInterface = kind == ckInterface || kind == ckDispInterface;
            (kind == ckClass ? c.Classes : isInterface ? c.Interfaces : c.Objects).push_back(item);
            for (TCodeItem* member : item->Children()) {
                if (!Placed(*member)) continue;
                if (member->Kind() == ckField) c.Fields.push_back(member);
                if (member->Kind() == ckResClause) c.ResClauses.push_back(member);
                if (member->Kind() == ckMethod)
                    (isInterface ? c.InterfaceMethods : c.Methods).push_back(member);
                if (member->Kind() == ckProperty) c.Properties.push_back(member);
            }
        } else if (kind == ckProcedure || kind == ckMethodImpl) {
            if (kind == ckProcedure && !static_cast<TProcItem*>(item)->DeclarationLink())
                c.Procedures.push_back(item);
            if (item->StartLine > Explorer.ImplementationLine()) c.Implementations.push_back(item);
            CollectLocals(*item, c.Locals);
        }
    }
    c.PropertyOwners = c.Classes;
    c.PropertyFields = c.Fields;
    c.Getters = c.Methods;
    c.PasteClasses = c.CutClasses = c.Classes;
    c.PasteObjects = c.Objects;
    c.PasteInterfaces = c.Interfaces;
    c.PasteRoutines = c.CopiedProcedures = c.Procedures;
    c.CopiedMethods = c.Methods;
    c.CutFields = c.Fields;
    return c;
}

// Decl with a last parameter "KolvaExtra: Integer", with a default value after those that have
// one; empty when Name is not found in it.
std::string WithExtraParameter(const std::string& Decl, const std::string& Name) {
    const size_t name = FindWord(LowerCase(Decl), LowerCase(Name));
    if (name == std::string::npos) return {};
    const size_t open = std::min(Decl.find_first_not_of(' ', name + Name.size()), Decl.size());
    if (open == Decl.size() || Decl[open] != '(')
        return Decl.substr(0, name + Name.size()) + "(KolvaExtra: Integer)" +
               Decl.substr(name + Name.size());
    int depth = 0;
    for (size_t close = open; close < Decl.size(); ++close) {
        depth += Decl[close] == '(' ? 1 : Decl[close] == ')' ? -1 : 0;
        if (depth == 0)
            return Decl.substr(0, close) +
                   (Decl.find_first_not_of(' ', open + 1) == close ? "" : "; ") +
                   "KolvaExtra: Integer" +
                   (Decl.substr(open, close - open).find('=') != std::string::npos ? " = 0" : "") +
                   Decl.substr(close);
    }
    return {};
}

// A section other than the member's own that the unit's own code can still reach; never
// published, which takes only some types.
std::string OtherSection(const TCodeItem& Member) {
    if (Member.Parent()->Kind() == ckObject)
        return Member.Visibility == scPrivate ? "default" : "private";
    if (Member.Visibility == scPublic) return "protected";
    return Member.Visibility == scPrivate || Member.Visibility == scPublished ? "public"
                                                                              : "private";
}

class TSampler {
public:
    TSampler(TModuleExplorer& Explorer, const TStringList& Lines, const std::string& Included)
        : FExplorer(Explorer), FText(Lines, Included), FAll(Categorise(Explorer)) {}

    std::vector<TEditOperation> Run() {
        const auto unit = [&](const char* Label, TArgs Args) {
            FOps.push_back({Label, "(unit)", Args, {}, {}, {}});
        };
        unit("add-procedure global",
             {"add-procedure", "FILE", "--decl", "procedure KolvaAdded(Value: Integer);"});
        unit("add-procedure implementation only", {"add-procedure", "FILE", "--no-interface",
                                                   "--decl", "function KolvaHidden: Integer;"});
        // Classes and interfaces only where the unit's compiler mode has them.
        if (FText.Used("class", {})) {
            unit("add-class class",
                 {"add-class", "FILE", "class", "--decl", "TKolvaAdded = class"});
            unit("add-class interface implementation",
                 {"add-class", "FILE", "interface", "--part", "implementation", "--decl",
                  "IKolvaAdded = interface"});
        }
        unit("add-class object default", {"add-class", "FILE", "object"});
        unit("paste class", {"paste", "FILE", ".", "BUFFER"});
        unit("paste procedures", {"paste", "FILE", ".", "BUFFER"});
        Table();
        for (TEditOperation& op : FOps)
            if (op.Args[0] == "paste") op.Buffer = PasteBuffer(op.Label);
        return FOps;
    }

private:
    using TFilter = std::function<bool(TCodeItem&)>;
    struct TRow {
        std::string Label;
        TItems TCategories::*From;
        TFilter Only;
        std::function<TArgs(TCodeItem&)> Args; // empty: not applicable to this item
    };

    // Every row takes its own item, spread over the items of its category that pass its filter.
    void Table() {
        const std::vector<TRow> rows = Rows();
        for (size_t r = 0; r < rows.size(); ++r) {
            const auto same = [&](const TRow& row) { return row.From == rows[r].From; };
            const int slot = int(std::count_if(rows.begin(), rows.begin() + long(r), same));
            const int slots = int(std::count_if(rows.begin(), rows.end(), same));
            TItems items = FAll.*rows[r].From;
            std::erase_if(items, [&](TCodeItem* i) { return !rows[r].Only(*i); });
            if (TCodeItem* item = Pick(items, slot, slots))
                if (const TArgs args = rows[r].Args(*item); !args.empty())
                    Add(rows[r].Label, *item, args);
        }
    }

    // The rows outlive this function: what they use they hold by value.
    std::vector<TRow> Rows() {
        using C = TCategories;
        const int implementation = FExplorer.ImplementationLine();
        const TFilter any = [](TCodeItem&) { return true; };
        const TFilter single = [](TCodeItem& i) { return i.Name.find(',') == std::string::npos; };
        const TFilter unused = [=, this](TCodeItem& i) {
            return single(i) && !FText.Used(i.Name, OwnLines(i));
        };
        // A type whose name only its own declarations and implementations write.
        const TFilter typeUnused = [=, this](TCodeItem& i) {
            std::vector<TRange> lines = OwnLines(i);
            for (TCodeItem* item : FExplorer.Module().Children())
                if ((item->Kind() == ckMethodImpl &&
                     SameText(static_cast<TMethodImplItem*>(item)->ClassName, i.Name)) ||
                    (IsClassKind(item->Kind()) && SameText(item->Name, i.Name)))
                    lines.push_back({item->StartLine, item->LastLine()});
            return !FText.Used(i.Name, lines);
        };
        const TFilter changeable = [=, this](TCodeItem& i) { return TakesExtraParameter(i); };
        const TFilter movable = [=, this](TCodeItem& i) {
            return i.StartLine > implementation || unused(i);
        };
        const TFilter interfaced = [=, this](TCodeItem& i) { return Interfaced(i); };
        // A class of the language itself, not one of Objective-C, C++ or Java.
        const TFilter ordinaryClass = [](TCodeItem& i) {
            auto& cls = static_cast<TClassItem&>(i);
            return cls.KindWord.empty() && !cls.HasExternal && !cls.DeclaredElsewhere;
        };
        // A routine whose implementation has a body.
        const TFilter withBody = [](TCodeItem& i) {
            const auto* impl = static_cast<TProcItem*>(TModuleExplorer::ImplementationOf(&i));
            return impl->StartLine >= 0 &&
                   impl->BodyStartLine > std::max(impl->StartLine, impl->DeclEndLine) &&
                   !impl->Directives.Contains(pdExternal) && !impl->Directives.Contains(pdForward);
        };
        const auto clause = [=, this](TCodeItem& i) { return ResClause(i); };
        const TFilter implementsHere = [=, this](TCodeItem& i) { return !ResClause(i).empty(); };
        // A property whose name and own access members the unit uses nowhere else: renaming
        // or deleting them together breaks nothing.
        const TFilter ownMembersUnused = [=, this](TCodeItem& i) {
            auto& property = static_cast<TPropertyItem&>(i);
            std::vector<TRange> lines = OwnLines(i);
            std::vector<std::string> names{i.Name};
            for (TCodeItem* member : TPropertyLinks::Of(property).OwnMembers()) {
                names.push_back(member->Name);
                for (const TRange& r : OwnLines(*member))
                    lines.push_back(r);
            }
            return std::none_of(names.begin(), names.end(),
                                [&](const std::string& n) { return FText.Used(n, lines); });
        };
        // Neither an array nor an indexed property: a field or function takes its place.
        const TFilter simpleProperty = [](TCodeItem& i) {
            const TPropertyFlags flags = static_cast<TPropertyItem&>(i).Flags;
            return !flags.Contains(pfHasParams) && !flags.Contains(pfHasIndex) &&
                   !flags.Contains(pfClassProperty) && i.Parent()->Kind() == ckClass;
        };
        // A private member whose name the property made from it leaves as it is ("FCount",
        // "GetCount"), a function when Prefix is "Get".
        // The property's name is new to the unit: in Free Pascal's own mode it may not be the
        // name of a local variable of the class's methods.
        const auto keepsName = [this](std::string Prefix) {
            return TFilter([Prefix, this](TCodeItem& i) {
                auto* method = dynamic_cast<TMethodItem*>(&i);
                return i.Visibility == scPrivate && i.Name.size() > Prefix.size() &&
                       !FText.Used(i.Name.substr(Prefix.size()), {}) &&
                       i.Name.compare(0, Prefix.size(), Prefix) == 0 &&
                       std::isupper(static_cast<unsigned char>(i.Name[Prefix.size()])) &&
                       (!method || (method->ProcKind == pkFunction && !method->ClassMethod));
            });
        };
        const auto decl = [](TCodeItem& i) { return TArgs{"edit", "--decl", i.GetDeclaration()}; };
        const auto extra = [](TCodeItem& i) {
            const std::string decl = WithExtraParameter(i.GetDeclaration(), i.Name);
            return decl.empty() ? TArgs{} : TArgs{"edit", "--decl", decl};
        };
        const auto rename = [](TCodeItem& i) { return TArgs{"rename", i.Name + "Kv"}; };
        const auto erase = [](TCodeItem&) { return TArgs{"delete", "--yes"}; };
        const auto other = [](TCodeItem& i) { return TArgs{"visibility", OtherSection(i)}; };
        const auto fixed = [](TArgs Args) { return [Args](TCodeItem&) { return Args; }; };
        const TArgs local{"add-procedure", "--decl", "procedure KolvaLocal(Value: Integer);"};
        const TArgs field{"add-field", "--decl", "FKolvaAdded: Integer;"};
        const TArgs method{"add-method", "--decl", "procedure KolvaAdded;"};
        std::vector<TRow> rows;
        for (const auto& [what, from] :
             {std::pair{"procedure", &C::Procedures}, std::pair{"method", &C::Methods}}) {
            const std::string w = what;
            rows.insert(rows.end(), {{"edit " + w + " unchanged", from, any, decl},
                                     {"edit " + w + " new parameter", from, changeable, extra},
                                     {"rename " + w, from, any, rename},
                                     {"delete " + w, from, unused, erase},
                                     {"add-procedure local in " + w, from, any, fixed(local)}});
        }
        rows.insert(
            rows.end(),
            {{"visibility procedure", &C::Procedures, movable,
              [=, this](TCodeItem& i) {
                  return TArgs{"visibility",
                               i.StartLine > implementation ? "interface" : "implementation"};
              }},
             {"visibility method", &C::Methods, any, other},
             {"edit interface method unchanged", &C::InterfaceMethods, any, decl},
             {"visibility interface method", &C::InterfaceMethods, any,
              fixed({"visibility", "private"})},
             {"edit resolution clause unchanged", &C::ResClauses, any, decl},
             {"delete resolution clause", &C::ResClauses, unused, erase},
             {"edit field unchanged", &C::Fields, any, decl},
             {"rename field", &C::Fields, single, rename},
             {"delete field", &C::Fields, unused, erase},
             {"visibility field", &C::Fields, any, other},
             {"edit local procedure unchanged", &C::Locals, any, decl},
             {"rename local procedure", &C::Locals, any, rename},
             {"delete local procedure", &C::Locals, unused, erase},
             {"add-procedure local in local procedure", &C::Locals, any,
              fixed({"add-procedure", "--decl", "procedure KolvaNested;"})},
             {"add-field", &C::Classes, any, fixed(field)},
             {"add-field", &C::Classes, any,
              fixed({field[0], field[1], field[2], "--visibility", "public"})},
             {"add-method", &C::Classes, any,
              fixed({"add-method", "--decl", "procedure KolvaAdded(Value: Integer);"})},
             {"add-method class function", &C::Classes, any,
              fixed({"add-method", "--decl", "class function KolvaCount: Integer;", "--visibility",
                     "protected"})},
             {"add-interface", &C::Classes, interfaced, fixed({"add-interface", "IInterface"})},
             {"add-resclause", &C::Classes, implementsHere, clause},
             {"rearrange class by kind", &C::Classes, any, fixed({"rearrange", "--sort", "kind"})},
             {"rearrange class by visibility", &C::Classes, any,
              fixed({"rearrange", "--sort", "visibility"})},
             {"add-field object", &C::Objects, any, fixed(field)},
             {"add-method object", &C::Objects, any, fixed(method)},
             {"add-method interface", &C::Interfaces, unused, fixed(method)},
             {"add-field interface", &C::Interfaces, any, fixed(field)},
             {"add-property methods", &C::PropertyOwners, any,
              fixed({"add-property", "--decl",
                     "property KolvaCount: Integer read GetKolvaCount write SetKolvaCount;"})},
             {"add-property state field", &C::PropertyOwners, any,
              fixed({"add-property", "--decl",
                     "property KolvaTag: string read FKolvaTag write FKolvaTag;"})},
             {"edit property unchanged", &C::Properties, any, decl},
             {"rename property", &C::Properties, ownMembersUnused, rename},
             {"delete property", &C::Properties, ownMembersUnused, erase},
             {"convert property to field", &C::Properties,
              [=](TCodeItem& i) { return simpleProperty(i) && ownMembersUnused(i); },
              fixed({"convert", "field"})},
             {"convert property to method", &C::Properties,
              [=](TCodeItem& i) {
                  return simpleProperty(i) && ownMembersUnused(i) &&
                         static_cast<TPropertyItem&>(i).WriteSpec.empty();
              },
              fixed({"convert", "method"})},
             {"convert field to property", &C::PropertyFields, keepsName("F"),
              fixed({"convert", "property"})},
             {"convert method to property", &C::Getters, keepsName("Get"),
              fixed({"convert", "property"})},
             {"rename class", &C::Classes, any, rename},
             {"rename interface", &C::Interfaces, any, rename},
             {"rename object", &C::Objects, any, rename},
             {"delete class", &C::Classes, typeUnused, erase},
             {"delete interface", &C::Interfaces, typeUnused, erase},
             {"set-ancestor class", &C::Classes,
              [](TCodeItem& i) { return static_cast<TClassItem&>(i).Ancestor.empty(); },
              fixed({"set-ancestor", "TObject"})},
             {"convert function to field", &C::Methods,
              [=](TCodeItem& i) {
                  auto& m = static_cast<TMethodItem&>(i);
                  return m.ProcKind == pkFunction && m.Params.empty() && !m.ClassMethod &&
                         m.Binding() == bkStatic && m.Parent()->Kind() == ckClass && unused(i);
              },
              fixed({"convert", "field"})},
             {"convert field to function", &C::Fields,
              [=](TCodeItem& i) {
                  const std::string type = static_cast<TFieldItem&>(i).DataTypeText();
                  return unused(i) && type.find_first_of("[^( ") == std::string::npos;
              },
              fixed({"convert", "method"})},
             {"paste members into class", &C::PasteClasses, ordinaryClass,
              fixed({"paste", "BUFFER"})},
             {"paste members into object", &C::PasteObjects, any, fixed({"paste", "BUFFER"})},
             {"paste members into interface", &C::PasteInterfaces,
              [=](TCodeItem& i) { return i.Kind() == ckInterface && unused(i); },
              fixed({"paste", "BUFFER"})},
             {"paste local procedures", &C::PasteRoutines, withBody, fixed({"paste", "BUFFER"})},
             {"copy-to method same class", &C::CopiedMethods,
              [=](TCodeItem& i) {
                  auto& m = static_cast<TProcItem&>(i);
                  return withBody(i) && m.Binding() == bkStatic && ordinaryClass(*i.Parent());
              },
              [](TCodeItem& i) {
                  return TArgs{"copy-to", "--to", PathOf(*i.Parent()), "--target-line",
                               std::to_string(i.Parent()->StartLine)};
              }},
             {"copy-to procedure", &C::CopiedProcedures, withBody, fixed({"copy-to", "--to", "."})},
             {"cut field", &C::CutFields, unused, fixed({"cut"})},
             {"cut class", &C::CutClasses,
              [=, this](TCodeItem& i) { return !FText.Used(i.Name, ClassLines(i)); },
              fixed({"cut"})},
             {"move down", &C::Implementations,
              [=, this](TCodeItem& i) { return Declared(&i) && &i != FAll.Implementations.back(); },
              [=, this](TCodeItem& i) {
                  TCodeItem* target = Below(i);
                  return target ? TArgs{"move", target->GetQualifiedName()} : TArgs{};
              }},
             {"move up", &C::Implementations,
              [=, this](TCodeItem& i) { return Above(i) != nullptr; },
              [=, this](TCodeItem& i) {
                  return TArgs{"move", Above(i)->GetQualifiedName()};
              }}});
        return rows;
    }

    // Fills in the file, the item's path and its line (a move's: its declaration's). A rename
    // names the old name, which references keep; moving a routine out of the interface takes its
    // declaration out.
    void Add(const std::string& Label, TCodeItem& Body, TArgs Args) {
        TCodeItem& Item =
            Args[0] == "move" ? *static_cast<TProcItem&>(Body).DeclarationLink() : Body;
        const std::string path = PathOf(Item), line = std::to_string(Item.StartLine);
        Args.insert(Args.begin() + 1, {"FILE", path});
        Args.insert(Args.end(), {"--line", line});
        FOps.push_back({Label,
                        path + "@" + line,
                        Args,
                        Args[0] == "rename" ? Item.Name : std::string(),
                        Args[0] == "visibility" && Args[3] == "implementation"
                            ? FText.Source(Item.StartLine, Item.LastLine())
                            : PropertyRemoves(Item, Args[0]),
                        {}});
    }

    // A property converted takes its declaration out, and renamed or converted the names of
    // its access members.
    std::string PropertyRemoves(TCodeItem& Item, const std::string& Command) const {
        // A function made a field takes its body out.
        if (Item.Kind() == ckMethod && Command == "convert") {
            std::string removes;
            for (const TRange& r : OwnLines(Item))
                removes += FText.Source(r.first, r.second);
            return removes;
        }
        if (Item.Kind() != ckProperty || (Command != "rename" && Command != "convert")) return {};
        std::string removes = FText.Source(Item.StartLine, Item.LastLine());
        for (const TCodeItem* member :
             TPropertyLinks::Of(static_cast<TPropertyItem&>(Item)).OwnMembers())
            for (size_t written = OwnLines(*member).size(); written-- > 0;)
                removes += " " + member->Name; // declaration and implementation
        return removes;
    }

    // Whether a new last parameter keeps the unit compiling: nothing calls the routine, which is
    // all the same to the edit, its body is in the unit, and nothing overrides or implements it.
    bool TakesExtraParameter(TCodeItem& Item) const {
        auto* proc = static_cast<TProcItem*>(&Item);
        const TCodeItemKind owner = Item.Parent()->Kind();
        auto* cls = dynamic_cast<TClassItem*>(Item.Parent());
        return proc->Binding() == bkStatic && !proc->IsAbstract() &&
               !(cls && cls->Interfaces().Count() > 0) &&
               (proc->ImplementationLink() || owner == ckProcedure || owner == ckMethodImpl ||
                (Item.Kind() == ckProcedure && Item.StartLine > FExplorer.ImplementationLine())) &&
               !FText.Used(Item.Name, OwnLines(Item));
    }

    // A class that already answers to IInterface, so listing it once more still compiles.
    bool Interfaced(TCodeItem& Item) const {
        auto& cls = static_cast<TClassItem&>(Item);
        if (FText.Corba()) return false;
        const TStringList listed = cls.Interfaces();
        for (int i = 0; i < listed.Count(); ++i)
            if (SameText(listed[i], "IUnknown") || SameText(listed[i], "IInterface")) return false;
        for (const char* base : {"TInterfacedObject", "TComponent", "TInterfacedPersistent"})
            if (SameText(cls.Ancestor, base)) return true;
        return listed.Count() > 0;
    }

    // A clause for the first method of an interface that the class lists and the unit declares;
    // empty when there is none.
    TArgs ResClause(TCodeItem& Class) const {
        const TStringList listed = static_cast<TClassItem&>(Class).Interfaces();
        for (int i = 0; i < listed.Count(); ++i)
            for (TCodeItem* intf : FAll.Interfaces)
                for (TCodeItem* method : intf->Children())
                    if (SameText(intf->Name, listed[i]) && method->Kind() == ckMethod) {
                        const std::string decl = method->GetDeclaration();
                        return {"add-resclause", "--yes", "--decl",
                                decl.substr(0, decl.find(' ')) + " " + intf->Name + "." +
                                    method->Name + " = Kolva" + method->Name + ";"};
                    }
        return {};
    }

    // Moves take an implementation that has a declaration, so that no call depends on where its
    // body stands: after a later one (Below), or before the one just above it (Above) when that
    // one is declared too and only comments stand between them. Null when there is none.
    static bool Declared(const TCodeItem* Body) {
        return Body && static_cast<const TProcItem*>(Body)->DeclarationLink() != nullptr;
    }

    TCodeItem* Below(TCodeItem& Body) const {
        const TItems& all = FAll.Implementations;
        TItems later(std::find(all.begin(), all.end(), &Body) + 1, all.end());
        std::erase_if(later, [&](TCodeItem* i) { return !NamedOnce(*i); });
        return Declared(&Body) && !later.empty() ? later[later.size() / 2] : nullptr;
    }

    TCodeItem* Above(TCodeItem& Body) const {
        const TItems& all = FAll.Implementations;
        const auto at = std::find(all.begin(), all.end(), &Body);
        TCodeItem* prior = at == all.begin() ? nullptr : at[-1];
        return Declared(&Body) && Declared(prior) && NamedOnce(*prior) &&
                       FText.OnlyCommentsBetween(prior->LastLine() + 1, Body.StartLine - 1)
                   ? prior
                   : nullptr;
    }

    // Whether the command line finds Item by its name alone, as it finds a move's target.
    bool NamedOnce(const TCodeItem& Item) const {
        const auto& all = FExplorer.Module().Children();
        return std::count_if(all.begin(), all.end(), [&](const TCodeItem* other) {
                   return SameText(other->GetQualifiedName(), Item.GetQualifiedName()) &&
                          other->Kind() == Item.Kind();
               }) == 1;
    }

    TModuleExplorer& FExplorer;
    TUnitText FText;
    TCategories FAll;
    std::vector<TEditOperation> FOps;
};

} // namespace

std::vector<TEditOperation> SampleEdits(TModuleExplorer& Explorer, const TStringList& Lines,
                                        const std::string& Included) {
    return TSampler(Explorer, Lines, Included).Run();
}

} // namespace kolva::test
