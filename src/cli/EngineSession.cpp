#include "cli/EngineSession.h"

#include "cli/Diff.h"
#include "cli/ItemPath.h"
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
bool GDeclined = false;

// Questions go to standard error and are answered by --yes (or, for a preview, --diff);
// notices are only shown.
class TCommandLineMessages : public TMessageService {
public:
    TModalResult MessageDlg(const std::string& Msg, TMsgDlgType, TMsgDlgButtons Buttons) override {
        std::string text = Msg;
        for (char& c : text)
            if (c == '\r') c = '\n';
        std::cerr << text << '\n';
        const bool question = Buttons.Contains(mbCancel) || Buttons.Contains(mbNo);
        if (!question) return mrOk;
        // A --diff writes nothing, so its preview shows what the answer OK would do.
        if (CurrentEngineOptions().Diff && !CurrentEngineOptions().Yes) {
            std::cerr << "(answered " << (Buttons.Contains(mbOK) ? "OK" : "Yes")
                      << " for the --diff preview)\n";
            return Buttons.Contains(mbOK) ? mrOk : mrYes;
        }
        if (!CurrentEngineOptions().Yes) {
            std::cerr << "(answered " << (Buttons.Contains(mbCancel) ? "Cancel" : "No")
                      << "; --yes answers " << (Buttons.Contains(mbOK) ? "OK" : "Yes") << ")\n";
            GDeclined = true;
            return DecliningAnswer(Buttons);
        }
        return Buttons.Contains(mbOK) ? mrOk : mrYes;
    }
};

// Without a write nothing is locked; the file may be anything readable.
std::string ReadForEdit(const std::string& File, bool Writes,
                        std::unique_ptr<TFileUpdate>& Update) {
    if (File == "-") return ReadStandardInput();
    if (!Writes) return ReadFileText(File);
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

// The question before a deletion names the item in full ("Delete constructor
// TOrderLine.Create?"): on the command line the user named it by a path, maybe only in part.
class TCliKolvaEditor : public TKolvaEditor {
public:
    using TKolvaEditor::TKolvaEditor;
    bool ConfirmDelete(TCodeItem& Item) override {
        if (IsComponent(Item) || IsEventHandler(Item)) return TKolvaEditor::ConfirmDelete(Item);
        return ConfirmDlg(Format("Delete %s?", FullItemName(Item)));
    }
};

// A malformed option value is a usage error, like a missing one.
template <typename TParse>
auto OptionValue(const std::string& Name, TParse Parse) {
    try {
        return Parse();
    } catch (const Exception& e) {
        throw EUsage(Name + ": " + e.Message());
    }
}

} // namespace

std::string ReadStandardInput() {
    std::string text;
    char buf[1 << 16];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, stdin)) > 0)
        text.append(buf, n);
    if (std::ferror(stdin)) throw Exception("Cannot read standard input");
    return text;
}

std::string DisplayName(const std::string& File, const std::optional<std::string>& Assumed) {
    if (Assumed) return *Assumed;
    return File == "-" ? "<stdin>" : File;
}

TVisibility ParseVisibility(const std::string& Text) {
    for (int v = scDefault; v <= scAutomated; ++v)
        if (SameText(Text, KeywordText(TVisibility(v)))) return TVisibility(v);
    throw Exception(Format("\"%s\" is not a visibility (private, protected, public, published, "
                           "automated or default)",
                           Text));
}

TVisibility ParsePart(const std::string& Text) {
    if (SameText(Text, "interface")) return scPublic;
    if (SameText(Text, "implementation")) return scPrivate;
    throw Exception(Format("\"%s\" is neither interface nor implementation", Text));
}

bool QuestionDeclined() {
    return GDeclined;
}

bool TakeDialogAnswers() {
    if (GAnswersTaken) return false;
    GAnswersTaken = true;
    return true;
}

const TEngineOptions& CurrentEngineOptions() {
    static const TEngineOptions none;
    return GCurrent ? *GCurrent : none;
}

TEngineOptions ParseEngineOptions(const TCommandLine& Line) {
    TEngineOptions options;
    options.Positional = Line.Positional;
    for (const auto& [name, value] : Line.Options) {
        if (name == "--decl")
            options.Decl = value;
        else if (name == "--interface" || name == "--no-interface")
            options.Interface = name == "--interface";
        else if (name == "--state-field" || name == "--no-state-field")
            options.StateField = name == "--state-field";
        else if (name == "--visibility")
            options.Visibility = OptionValue(name, [&] { return ParseVisibility(value); });
        else if (name == "--part")
            options.Part = OptionValue(name, [&] { return ParsePart(value); });
        else if (name == "--line")
            options.Line = OptionValue(name, [&] { return StrToInt(value); });
        else if (name == "--target-line")
            options.TargetLine = OptionValue(name, [&] { return StrToInt(value); });
        else if (name == "--form")
            options.FormFile = value;
        else if (name == "--assume-filename")
            options.AssumeFilename = value;
        else if (name == "--yes")
            options.Yes = true;
        else if (name == "--diff")
            options.Diff = true;
        else if (name == "--stdout")
            options.Stdout = true;
    }
    if (!options.Positional.empty() && options.Positional[0] == "-") options.Stdout = true;
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
    : FOptions(Options), FFile(DisplayName(File, Options.AssumeFilename)),
      FOriginalText(ReadForEdit(File, Options.Writes(), FUnitFile)),
      FLayout(SplitLines(FOriginalText)), FUnit(FFile) {
    FUnit.Text().BeginUpdate();
    for (const std::string& line : FLayout.Lines)
        FUnit.Text().Add(line);
    FUnit.Text().EndUpdate();
    FUnit.File = FUnitFile.get();
    FUnit.ReadOnly = FUnitFile && FUnitFile->IsReadOnly();
    FUnit.OnEditEnd = [this] { FExplorer.Parse(&FUnit.Text()); };
    FExplorer.Parse(&FUnit.Text());
    FEditor = std::make_unique<TCliKolvaEditor>(FExplorer, &FUnit);
    FEditor->SetDesignerRestrictions(KOLVAOptions().DesignerRestrictions());
    if (!Options.FormFile.empty()) {
        FOriginalForm = ReadForEdit(Options.FormFile, Options.Writes(), FFormFile);
        FDesigner = std::make_unique<TFormFileDesigner>(
            TFormFile::Load(FOriginalForm, Options.FormFile), *FEditor);
        FEditor->SetDesigner(FDesigner.get());
    }
    GCurrent = &FOptions;
    GAnswersTaken = false;
    GDeclined = false;
    FPreviousMessages = SetMessageService(std::make_unique<TCommandLineMessages>());
}

TEngineSession::~TEngineSession() {
    SetMessageService(std::move(FPreviousMessages));
    GCurrent = nullptr;
}

TCodeItem& TEngineSession::Find(const std::string& Path) {
    return FindItem(FExplorer.Module(), Path, FOptions.Line, FFile);
}

TCodeItem& TEngineSession::FindTarget(const std::string& Path) {
    return FindItem(FExplorer.Module(), Path, FOptions.TargetLine, FFile, "--target-line");
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
    if (FOptions.Stdout) {
        if (formChanged)
            throw Exception(Format("The form file %s changes too, and --stdout prints only the "
                                   "unit: use --diff, or let kolva write both files",
                                   FOptions.FormFile));
        std::cout << unitText;
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

TCommandLineQuestions::TCommandLineQuestions(const TEngineOptions& Options) {
    GCurrent = &Options;
    GDeclined = false;
    FPrevious = SetMessageService(std::make_unique<TCommandLineMessages>());
}

TCommandLineQuestions::~TCommandLineQuestions() {
    SetMessageService(std::move(FPrevious));
    GCurrent = nullptr;
}

} // namespace kolva::cli
