#include "cli/OutlineWriters.h"

#include <algorithm>
#include <charconv>

namespace kolva::cli {

namespace {

const char* ModuleKindName(TModuleKind Kind) {
    static const char* const Names[] = {"mkCleared", "mkNoHeading", "mkProgram",
                                        "mkUnit",    "mkLibrary",   "mkPackage"};
    return Names[Kind];
}

constexpr size_t SpillSize = 1 << 16;

// Without Format: the outline of a large unit has tens of thousands of lines.
void AppendInt(std::string& Out, int Value) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, Value);
    Out.append(digits, result.ptr);
}

// "kind name [visibility] lines a-b", two blanks a level. The visibility is left out where
// it is the default; an item without a name (uses clause, visibility section) shows its
// display text, and an item with no place in the source (implied) says so.
void WriteText(std::string& Out, std::FILE* Sink, TCodeItem& Item, int Level) {
    if (Sink && Out.size() >= SpillSize) {
        std::fwrite(Out.data(), 1, Out.size(), Sink);
        Out.clear();
    }
    Out.append(2 * std::min(Level, MaxIndentLevel), ' ');
    Out += CodeItemKindName(Item.Kind());
    Out += ' ';
    Out += Item.Name.empty() ? Item.GetDisplayText() : Item.GetQualifiedName();
    if (Item.Visibility != scDefault) {
        Out += ' ';
        Out += VisibilityName(Item.Visibility);
    }
    if (Item.StartLine < 0) {
        Out += " implied\n";
    } else {
        Out += " lines ";
        AppendInt(Out, Item.StartLine);
        Out += '-';
        AppendInt(Out, Item.LastLine());
        Out += '\n';
    }
    for (TCodeItem* child : Item.Children())
        WriteText(Out, Sink, *child, Level + 1);
}

void WriteJson(TJsonWriter& Json, TCodeItem& Item) {
    Json.BeginObject();
    Json.Key("kind");
    Json.String(CodeItemKindName(Item.Kind()));
    Json.Key("name");
    Json.String(Item.Name);
    Json.Key("visibility");
    Json.String(VisibilityName(Item.Visibility));
    Json.Key("startLine");
    Json.Int(Item.StartLine);
    Json.Key("startColumn");
    Json.Int(Item.StartColumn);
    Json.Key("declEndLine");
    Json.Int(Item.DeclEndLine);
    Json.Key("endLine");
    Json.Int(Item.EndLine);
    Json.Key("implied");
    Json.Bool(Item.Implied);
    // Rendering a class may store its default ancestor; the outline shows the model as read.
    auto* cls = dynamic_cast<TClassItem*>(&Item);
    const std::string ancestor = cls ? cls->Ancestor : std::string();
    Json.Key("declaration");
    Json.String(Item.GetDeclaration());
    Json.Key("display");
    Json.String(Item.GetDisplayText());
    if (auto* proc = dynamic_cast<TProcItem*>(&Item)) {
        Json.Key("bodyStartLine");
        Json.Int(proc->BodyStartLine);
        Json.Key("link");
        const TProcItem* link =
            proc->DeclarationLink() ? proc->DeclarationLink() : proc->ImplementationLink();
        if (link)
            Json.Int(link->StartLine);
        else
            Json.Null();
    }
    if (cls) {
        Json.Key("ancestor");
        Json.String(ancestor);
        Json.Key("interfaces");
        Json.BeginArray();
        const TStringList interfaces = cls->Interfaces();
        for (int i = 0; i < interfaces.Count(); ++i)
            Json.String(interfaces[i]);
        Json.EndArray();
        Json.Key("hasBody");
        Json.Bool(cls->HasBody);
        Json.Key("declaredElsewhere");
        Json.Bool(cls->DeclaredElsewhere);
    }
    Json.Key("children");
    Json.BeginArray();
    for (TCodeItem* child : Item.Children())
        WriteJson(Json, *child);
    Json.EndArray();
    Json.EndObject();
}

} // namespace

void WriteTextOutline(std::string& Out, std::FILE* Sink, TModuleExplorer& Explorer) {
    for (TCodeItem* item : Explorer.Module().Children())
        WriteText(Out, Sink, *item, 0);
}

void WriteJsonOutline(TJsonWriter& Json, const std::string& File, TModuleExplorer& Explorer) {
    Json.BeginObject();
    Json.Key("file");
    Json.String(File);
    Json.Key("moduleKind");
    Json.String(ModuleKindName(Explorer.ModuleKind()));
    Json.Key("implementationLine");
    Json.Int(Explorer.ImplementationLine());
    Json.Key("items");
    Json.BeginArray();
    for (TCodeItem* item : Explorer.Module().Children())
        WriteJson(Json, *item);
    Json.EndArray();
    Json.Key("errors");
    Json.BeginArray();
    for (const std::string& error : Explorer.Errors())
        Json.String(error);
    Json.EndArray();
    Json.EndObject();
}

} // namespace kolva::cli
