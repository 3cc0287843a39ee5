#include "cli/EngineSession.h"

#include "cli/Diff.h"
#include "editing/DeclarationText.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/SysUtils.h"
#include "settings/KOLVAOpts.h"

#include <iostream>

namespace kolva::cli {

namespace {

const TEngineOptions* GCurrent = nullptr;
bool GAnswersTaken = false;

TVisibility ParseVisibility(const std::string& Text) {
    for (int v = scDefault; v <= scAutomated; ++v)
        if (SameText(Text, KeywordText(TVisibility(v)))) return TVisibility(v);
    throw Exception(Format("\"%s\" is not a visibility (private, protected, public, published, "
                           "automated or default)",
                           Text));
}

// Questions go to standard error and are answered by --yes; notices are only shown.
class TCommandLineMessages : public TMessageService {
public:
    TModalResult MessageDlg(const std::string& Msg, TMsgDlgType, TMsgDlgButtons Buttons) override {
        std::string text = Msg;
        for (char& c : text)
            if (c == '\r') c = '\n';
        std::cerr << text << '\n';
        const bool question = Buttons.Contains(mbCancel) || Buttons.Contains(mbNo);
        if (!question) return mrOk;
        if (!CurrentEngineOptions().Yes) {
            std::cerr << "(answered " << (Buttons.Contains(mbCancel) ? "Cancel" : "No")
                      << "; --yes answers " << (Buttons.Contains(mbOK) ? "OK" : "Yes") << ")\n";
            return DecliningAnswer(Buttons);
        }
        return Buttons.Contains(mbOK) ? mrOk : mrYes;
    }
};

// With --diff nothing is written, so nothing is locked; the file may be anything readable.
std::string ReadForEdit(const std::string& File, bool Diff, std::unique_ptr<TFileUpdate>& Update) {
    if (Diff) return ReadFileText(File);
    Update = std::make_unique<TFileUpdate>(File);
    return Update->Text();
}

void AskToMakeWritable(TFileUpdate& File) {
    if (!ConfirmDlg("Edit buffer is marked read only. Set to read/write to allow editing?"))
        Abort();
    File.MakeWritable();
}

std::vector<std::string> LinesOf(const TStringList& List) {
    std::vector<std::string> lines;
    for (int i = 0; i < List.Count(); ++i)
        lines.push_back(List[i]);
    return lines;
}

// The child called Name (or, at module level, qualified as Name); with a Line of 0 or more
// only the one starting there, else the first.
TCodeItem* ChildNamed(TCodeItem& Parent, const std::string& Name, int Line) {
    for (TCodeItem* child : Parent.Children()) {
        if (!SameText(child->Name, Name) && !SameText(child->GetQualifiedName(), Name)) continue;
        if (Line < 0 || child->StartLine == Line) return child;
    }
    return nullptr;
}

} // namespace

bool TakeDialogAnswers() {
    if (GAnswersTaken) return false;
    GAnswersTaken = true;
    return true;
}

const TEngineOptions& CurrentEngineOptions() {
    static const TEngineOptions none;
    return GCurrent ? *GCurrent : none;
}

TEngineOptions ParseEngineOptions(const TArgs& Args) {
    TEngineOptions options;
    for (size_t i = 0; i < Args.size(); ++i) {
        const std::string& arg = Args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= Args.size()) throw Exception(Format("%s needs a value", arg));
            return Args[++i];
        };
        if (arg == "--decl")
            options.Decl = value();
        else if (arg == "--interface")
            options.Interface = true;
        else if (arg == "--no-interface")
            options.Interface = false;
        else if (arg == "--state-field" || arg == "--no-state-field")
            options.StateField = arg == "--state-field";
        else if (arg == "--visibility")
            options.Visibility = ParseVisibility(value());
        else if (arg == "--line")
            options.Line = StrToInt(value());
        else if (arg == "--form")
            options.FormFile = value();
        else if (arg == "--yes")
            options.Yes = true;
        else if (arg == "--diff")
            options.Diff = true;
        else if (arg.starts_with("--"))
            throw Exception(Format("Unknown option %s", arg));
        else
            options.Positional.push_back(arg);
    }
    return options;
}

TStringList& TUnitBuffer::BeginEdit(bool SkipReadOnlyCheck) {
    if (ReadOnly && !SkipReadOnlyCheck && !IsEditing()) {
        AskToMakeWritable(*File);
        ReadOnly = false;
    }
    return TMemoryEditor::BeginEdit(SkipReadOnlyCheck);
}

TEngineSession::TEngineSession(const TEngineOptions& Options, const std::string& File)
    : FOptions(Options), FFile(File), FOriginalText(ReadForEdit(File, Options.Diff, FUnitFile)),
      FLayout(SplitLines(FOriginalText)), FUnit(File) {
    FUnit.Text().BeginUpdate();
    for (const std::string& line : FLayout.Lines)
        FUnit.Text().Add(line);
    FUnit.Text().EndUpdate();
    FUnit.File = FUnitFile.get();
    FUnit.ReadOnly = FUnitFile && FUnitFile->IsReadOnly();
    FUnit.OnEditEnd = [this] { FExplorer.Parse(&FUnit.Text()); };
    FExplorer.Parse(&FUnit.Text());
    FEditor = std::make_unique<TKolvaEditor>(FExplorer, &FUnit);
    FEditor->SetDesignerRestrictions(KOLVAOptions().DesignerRestrictions());
    if (!Options.FormFile.empty()) {
        FOriginalForm = ReadForEdit(Options.FormFile, Options.Diff, FFormFile);
        FDesigner = std::make_unique<TFormFileDesigner>(
            TFormFile::Load(FOriginalForm, Options.FormFile), *FEditor);
        FEditor->SetDesigner(FDesigner.get());
    }
    GCurrent = &FOptions;
    GAnswersTaken = false;
    FPreviousMessages = SetMessageService(std::make_unique<TCommandLineMessages>());
}

TEngineSession::~TEngineSession() {
    SetMessageService(std::move(FPreviousMessages));
    GCurrent = nullptr;
}

// Walks the path from the module: each part names a child, and a routine's local routines
// are looked for in its implementation too. A path that walks nowhere may still be a method
// implementation's qualified name.
TCodeItem& TEngineSession::Find(const std::string& Path, bool UseLine) {
    std::vector<std::string> parts;
    for (size_t start = 0;;) {
        const size_t dot = Path.find('.', start);
        parts.push_back(Path.substr(start, dot == std::string::npos ? dot : dot - start));
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    const int wanted = UseLine && FOptions.Line ? *FOptions.Line : -1;
    TCodeItem* item = &FExplorer.Module();
    for (size_t i = 0; item && i < parts.size(); ++i) {
        const int line = i + 1 == parts.size() ? wanted : -1;
        TCodeItem* found = ChildNamed(*item, parts[i], line);
        if (!found && i > 0) {
            TCodeItem* impl = TModuleExplorer::ImplementationOf(item);
            if (impl != item) found = ChildNamed(*impl, parts[i], line);
        }
        item = found;
    }
    if (!item && parts.size() > 1) item = ChildNamed(FExplorer.Module(), Path, wanted);
    if (!item)
        throw Exception(Format("No item \"%s\"%s in %s", Path,
                               wanted >= 0 ? Format(" at line %d", wanted) : "", FFile));
    return *item;
}

int TEngineSession::Finish() {
    const std::string unitText = JoinLines(Relayout(FLayout, LinesOf(FUnit.Text())));
    const bool formChanged = FDesigner && FDesigner->Text() != FOriginalForm;
    if (FOptions.Diff) {
        std::cout << UnifiedDiff(FOriginalText, unitText, DiffPathName(FFile));
        if (formChanged)
            std::cout << UnifiedDiff(FOriginalForm, FDesigner->Text(),
                                     DiffPathName(FOptions.FormFile));
        return 0;
    }
    std::vector<TFileUpdate*> writes;
    if (formChanged) writes.push_back(FFormFile.get());
    if (unitText != FOriginalText) writes.push_back(FUnitFile.get());
    for (TFileUpdate* file : writes)
        if (file->IsReadOnly()) AskToMakeWritable(*file);
    if (formChanged) FFormFile->Prepare(FDesigner->Text());
    if (unitText != FOriginalText) FUnitFile->Prepare(unitText);
    CommitAll(writes);
    return 0;
}

} // namespace kolva::cli
