// The table of commands and their options: what is parsed, and what the help, the man page
// and the shell completion say.
#include "cli/Commands.h"

namespace kolva::cli {

namespace {

const TOptionInfo Decl{"--decl", "TEXT",
                       "the whole declaration as it would be written; what it leaves out keeps "
                       "what the dialog shows"};
const TOptionInfo Interface{"--interface", nullptr,
                            "declare the procedure in the interface part (the default in a unit)"};
const TOptionInfo NoInterface{"--no-interface", nullptr,
                              "keep the procedure in the implementation part only"};
const TOptionInfo Visibility{"--visibility", "V",
                             "private, protected, public, published, automated or default"};
const TOptionInfo Line{"--line", "N",
                       "choose among the items a path reaches: the one whose path passes an item "
                       "starting at 0-based line N (as the outline shows)"};
const TOptionInfo TargetLine{"--target-line", "N",
                             "choose among the items TARGET reaches, as --line does for ITEM"};
const TOptionInfo Form{"--form", "FILE.dfm",
                       "the text form file of the unit's form class: the designer's rules apply "
                       "and the form file changes with the unit"};
const TOptionInfo Yes{"--yes", nullptr, "answer OK (or Yes) to every question"};
const TOptionInfo Diff{"--diff", nullptr,
                       "print a unified diff instead of writing (questions are answered OK for "
                       "the preview)"};
const TOptionInfo Stdout{"--stdout", nullptr,
                         "print the edited unit instead of writing it (implied for FILE -)"};
const TOptionInfo AssumeFilename{"--assume-filename", "NAME",
                                 "the name that messages and diffs give the unit read from -"};
const TOptionInfo Json{"--json", nullptr,
                       "JSON: one object per file, one line each (JSON Lines), compact"};
const TOptionInfo Pretty{"--pretty", nullptr,
                         "with --json: indent two blanks a level (at most 32 levels)"};
const TOptionInfo Part{"--part", "WHERE",
                       "declare the type in the interface part or the implementation part"};
const TOptionInfo To{"--to", "CLASS", "the class that receives the items (. for the unit)"};
const TOptionInfo Jobs{"--jobs", "N", "parse N files at a time (default: one per core)"};

const char* const ItemDetails =
    "ITEM is a path of names: TFoo (a class or procedure), TFoo.Bar (a member, or the "
    "implementation of a method), Outer.Inner (a local procedure), TC.IA.M (the method "
    "resolution clause IA.M of class TC). When a path reaches several items (overloads, a "
    "bare method name that several classes have), the command fails and lists them with the "
    "--line that picks each.\n"
    "FILE may be - for standard input; the edited unit then goes to standard output.";

const char* const FileDetails =
    "FILE may be a folder, which stands for its .pas, .pp, .p, .dpr, .lpr, .inc and .dpk files "
    "(searched recursively, in name order), or - for standard input. Files are parsed in "
    "parallel; the output keeps the order given.";

std::vector<TOptionInfo> EngineOptions(std::vector<TOptionInfo> Own) {
    for (const TOptionInfo& o : {Line, Form, Yes, Diff, Stdout, AssumeFilename})
        Own.push_back(o);
    return Own;
}

} // namespace

const std::vector<TCommand>& Commands() {
    static const std::vector<TCommand> commands = {
        {"help",
         "[COMMAND]",
         "Shows the commands, or the options of one command.",
         {{"--man", nullptr, "print this help as a manual page (roff)"},
          {"--bash-completion", nullptr, "print a bash completion script"}},
         RunHelp},
        {"tokens",
         "FILE",
         "Lists the tokens of a source file, one a line: LINE:COL KIND TEXT (1-based), comments "
         "and directives included.",
         {AssumeFilename},
         RunTokens},
        {"outline",
         "FILE...",
         "Prints the code model of units: classes, members, procedures, implementations and "
         "their links, one item a line (kind name [visibility] lines a-b, 0-based) or as JSON.",
         {Json, Pretty, Jobs, AssumeFilename},
         RunOutline,
         FileDetails},
        {"check",
         "FILE...",
         "Reports every declaration the parser could not read as FILE:LINE:COL: MESSAGE "
         "(1-based); exit status 1 when there is any.",
         {Jobs, AssumeFilename},
         RunCheck,
         FileDetails},
        {"add-procedure", "FILE [NEAR]",
         "Adds a global procedure (in the interface part of a unit unless --no-interface), or a "
         "local procedure of the routine NEAR, with an empty body.",
         EngineOptions({Decl, Interface, NoInterface}), RunAddProcedure, ItemDetails},
        {"add-field", "FILE CLASS",
         "Adds a field (private unless --visibility) after the fields of its section.",
         EngineOptions({Decl, Visibility}), RunAddField, ItemDetails},
        {"add-method", "FILE CLASS",
         "Adds a method (public in a class) and, unless it is abstract or CLASS is an interface, "
         "its implementation.",
         EngineOptions({Decl, Visibility}), RunAddMethod, ItemDetails},
        {"add-resclause", "FILE CLASS",
         "Adds a method resolution clause (function IFoo.Bar = DoBar;), offering to create the "
         "implementing method when the class lacks it.",
         EngineOptions({Decl, Visibility}), RunAddResClause, ItemDetails},
        {"add-interface", "FILE CLASS INTERFACE",
         "Adds INTERFACE (an identifier, dotted or not) to the interfaces a class implements.",
         EngineOptions({}), RunAddInterface, ItemDetails},
        {"edit", "FILE ITEM",
         "Changes the declaration of a procedure (with its implementation), a member, or the "
         "heading of a type (--decl \"TFoo = class(TBar)\"; --part moves it).",
         EngineOptions({Decl, Interface, NoInterface, Visibility, Part}), RunEdit, ItemDetails},
        {"rename", "FILE ITEM NEWNAME",
         "Renames a procedure's declaration and implementation (and its overloads), a member, or "
         "a type with its method implementations, descendants and interface lists.",
         EngineOptions({}), RunRename, ItemDetails},
        {"delete", "FILE ITEM",
         "Deletes an item with its declaration and implementation (a type with its method "
         "implementations), after the question \"Delete KIND ITEM?\".",
         EngineOptions({}), RunDelete, ItemDetails},
        {"add-class", "FILE class|interface|object|dispinterface",
         "Adds a type (TDefault or IDefault unless --decl names it) after the types of its kind, "
         "with a \"type\" line where no type section is open.",
         EngineOptions({Decl,
                        Part,
                        {"--ancestor", "NAME",
                         "the ancestor; a class of the unit lends its interfaces too"}}),
         RunAddClass, ItemDetails},
        {"set-ancestor", "FILE CLASS NAME", "Makes NAME the ancestor of a type.", EngineOptions({}),
         RunSetAncestor, ItemDetails},
        {"move", "FILE ITEM TARGET",
         "Moves a procedure or method implementation after TARGET (moving down) or before it "
         "(moving up).",
         EngineOptions({TargetLine}), RunMove, ItemDetails},
        {"visibility", "FILE ITEM WHERE",
         "Declares a procedure in the interface part or the implementation part only (WHERE is "
         "interface or implementation), or moves a class member to the section WHERE (private, "
         "protected, public, published, automated or default).",
         EngineOptions({}), RunVisibility, ItemDetails},
        {"add-property", "FILE CLASS",
         "Adds a property to CLASS with the access methods and state field its declaration "
         "names: \"read GetCount write SetCount\" generates both methods, \"read FCount\" the "
         "field.",
         EngineOptions({Decl,
                        Visibility,
                        {"--state-field", nullptr, "give the property a state field"},
                        {"--no-state-field", nullptr, "give the property no state field"}}),
         RunAddProperty, ItemDetails},
        {"convert", "FILE ITEM field|method|property|procedure",
         "Converts a member: a field or a method into a property with its access members, a "
         "property into a field or a method, a field and a function into each other, a method "
         "or local procedure into a global procedure, a procedure into a method of --class.",
         EngineOptions({{"--class", "CLASS", "the class that a procedure becomes a method of"}}),
         RunConvert, ItemDetails},
        {"settings",
         "[list | get NAME | set NAME VALUE]",
         "Lists, shows or changes the user's settings (GROUP.NAME=VALUE) in the registry of the "
         "prefix.",
         {},
         RunSettings},
        {"expand",
         "FILE",
         "Prints the code template FILE expanded; a parameter not given keeps its own name, "
         "as when the parameter dialog is accepted without edits.",
         {{"--param", "NAME=VALUE",
           "the value of a parameter (names match without regard to "
           "case; may be given for several parameters)"},
          {"--list", nullptr, "print the template's parameters with their descriptions"}},
         RunExpand},
        {"rearrange", "FILE CLASS|.",
         "Writes the members of CLASS (or, for ., the procedures of the unit) and their "
         "implementations in a new order, moving whole blocks with the comments above them.",
         EngineOptions(
             {{"--order", "NAME,...",
               "the members (interface procedures) in their new order; those not named follow "
               "in their order; NAME@N picks one of several of that name by its 0-based line"},
              {"--impl-order", "NAME,...",
               "the implementations in their new order (by default a class's follow its "
               "members; the unit's procedures that only the implementation part declares "
               "stay)"},
              {"--sort", "MODE",
               "name, kind (then visibility) or visibility (then kind), as the member list "
               "sorts"},
              {"--reformat", nullptr, "write the declarations anew instead of moving them"},
              {"--interface-only", nullptr, "leave the implementations where they are"},
              {"--implementation-only", nullptr, "leave the declarations where they are"}}),
         RunRearrange,
         "A class is rebuilt from its heading, its members with the visibility keyword lines "
         "they need, and its end. What cannot move without changing the unit's meaning is "
         "refused with the file unchanged: members in conditional blocks, nested types or "
         "constants, other declarations between the routines, a procedure moved after one "
         "that uses it."},
        {"copy",
         "FILE [ITEM...]",
         "Writes the copy buffer of ITEM to standard output: a class with its method "
         "implementations, members of one class (with the access members of their properties) "
         "or procedures (with their declarations); no ITEM copies every procedure of the unit.",
         {Line, AssumeFilename},
         RunCopy,
         "The buffer is what the explorer's Copy puts on the clipboard: a signature line, then a "
         "small unit that holds what was copied. Local procedures alone are copied without the "
         "unit around them."},
        {"cut",
         "FILE ITEM...",
         "Removes ITEM from the unit and writes its copy buffer to standard output, as copy "
         "writes it: a class with its method implementations, members with the access members "
         "of their properties, procedures with their declarations.",
         {Line, Form, Yes},
         RunCut,
         "The buffer is written only once the unit is. The designer's form class cannot be cut "
         "(\"Cannot delete designer class\"), and its components and event handlers are left "
         "out of a cut of members."},
        {"paste", "FILE TARGET [BUFFER]",
         "Pastes a copy buffer (the file BUFFER, or standard input) into TARGET: a class takes "
         "members (methods become procedures in the unit, procedures methods in a class), . the "
         "unit takes classes and procedures, a routine local procedures.",
         EngineOptions({}), RunPaste,
         "Names the target has already are made free (NewMethod becomes NewMethod1, with its "
         "implementation). A text without the buffer's signature line is pasted as members "
         "after the question \"Copy buffer signature not found. Continue?\" (--yes). A buffer "
         "written by one unit pastes into another: kolva cut A.pas TFoo.Bar | kolva paste B.pas "
         "TBaz"},
        {"copy-to", "FILE ITEM...",
         "Copies members of one class (or procedures) into the class named by --to, or into "
         "the unit for --to ., as a copy and paste would.",
         EngineOptions({To, TargetLine}), RunCopyTo, ItemDetails},
        {"move-to", "FILE ITEM...",
         "Moves members of one class (or procedures) into the class named by --to, or into the "
         "unit for --to ., as a cut and paste would.",
         EngineOptions({To, TargetLine}), RunMoveTo, ItemDetails},
        {"addin", "register [DLL] | unregister | show",
         "Registers the add-in library DLL (by default KolvaD5.dll of the install folder, "
         "beside the program or in the current folder) with the IDE of the prefix, takes it "
         "out again, or shows the library registered.",
         {},
         RunAddin},
        {"templates",
         "list | pages | add FILE | remove NAME",
         "Lists the registered code templates (NAME, PAGE and FILE, tab-separated) or their "
         "palette pages, registers a template file, or removes a template from the list.",
         {{"--name", "N",
           "add: the template's name (default: the file's name without folder "
           "and extension)"},
          {"--page", "P", "add: the palette page (default: Templates)"},
          Yes},
         RunTemplates,
         "The list is the one the add-in's template palette shows, kept in the registry of the "
         "prefix; the template files themselves are neither copied nor removed. Adding a name "
         "that is registered already asks whether to replace it."},
        {"create-template",
         "FILE CLASS [MEMBER...]",
         "Writes the MEMBERs of CLASS (all of them when none is named), with the access members "
         "of their properties and their implementations, into a code template file, and "
         "registers it.",
         {{"--out", "FILE.pas", "the template file to write (required)"},
          {"--name", "N", "the template's name (default: the file's name)"},
          {"--page", "P", "the palette page (default: Templates)"},
          {"--no-register", nullptr, "only write the file"},
          Line,
          Yes,
          AssumeFilename},
         RunCreateTemplate,
         "The members are written under the stand-in class TCodeTemplate, so that the "
         "template applies to any class; add parameters by editing the file (DEFINEMACRO:Name="
         "Description lines, <!Name!> where the value goes)."},
        {"apply", "FILE CLASS TEMPLATE",
         "Applies a code template to CLASS: TEMPLATE (a registered name or a template file) is "
         "expanded with the --param values and its members are inserted into the class, named "
         "free where the class has those names already.",
         EngineOptions({{"--param", "NAME=VALUE",
                         "the value of a parameter (names match without regard to case; a "
                         "parameter not given keeps its own name)"},
                        {"--as-is", nullptr,
                         "paste the file as it stands, without parameters, as a copy buffer "
                         "(CLASS may then be . for the unit)"}}),
         RunApply, ItemDetails},
    };
    return commands;
}

} // namespace kolva::cli
