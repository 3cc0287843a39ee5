// kolva outline FILE [--json]: the code model of a unit, as the explorer would show it.
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "model/ModuleExplorer.h"
#include "platform/Files.h"
#include "platform/SysUtils.h"

#include <charconv>
#include <iostream>

namespace kolva::cli {

namespace {

const char* ModuleKindName(TModuleKind Kind) {
    static const char* const Names[] = {"mkCleared", "mkNoHeading", "mkProgram",
                                        "mkUnit",    "mkLibrary",   "mkPackage"};
    return Names[Kind];
}

// Without Format: the outline of a large unit has tens of thousands of lines.
void AppendInt(std::string& Out, int Value) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, Value);
    Out.append(digits, result.ptr);
}

// "kind name [visibility] lines a-b", two blanks a level. The visibility is left out where
// it is the default; an item without a name (uses clause, visibility section) shows its
// display text, and an item with no place in the source (implied) says so.
void WriteText(std::string& Out, TCodeItem& Item, int Level) {
    Out.append(2 * Level, ' ');
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
        WriteText(Out, *child, Level + 1);
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

std::string Json(const std::string& File, TModuleExplorer& Explorer) {
    TJsonWriter json;
    json.BeginObject();
    json.Key("file");
    json.String(File);
    json.Key("moduleKind");
    json.String(ModuleKindName(Explorer.ModuleKind()));
    json.Key("implementationLine");
    json.Int(Explorer.ImplementationLine());
    json.Key("items");
    json.BeginArray();
    for (TCodeItem* item : Explorer.Module().Children())
        WriteJson(json, *item);
    json.EndArray();
    json.Key("errors");
    json.BeginArray();
    for (const std::string& error : Explorer.Errors())
        json.String(error);
    json.EndArray();
    json.EndObject();
    return json.Text();
}

} // namespace

int RunOutline(const TArgs& Args) {
    std::string file;
    bool json = false;
    for (const std::string& arg : Args) {
        if (arg == "--json")
            json = true;
        else if (file.empty() && !arg.starts_with("--"))
            file = arg;
        else
            return Usage("kolva outline FILE [--json]");
    }
    if (file.empty()) return Usage("kolva outline FILE [--json]");
    TStringList lines;
    lines.SetText(ReadFileText(file));
    TModuleExplorer explorer;
    explorer.Parse(&lines);
    if (json) {
        std::cout << Json(file, explorer);
        return 0;
    }
    std::string out;
    for (TCodeItem* item : explorer.Module().Children())
        WriteText(out, *item, 0);
    std::cout << out;
    if (explorer.ErrorCount() > 0)
        std::cerr << Format("kolva: %d declaration(s) could not be read; the first: %s\n",
                            explorer.ErrorCount(), explorer.Errors().front());
    return 0;
}

} // namespace kolva::cli
