// What every engine command of the command line shares: its options, the unit loaded into
// memory with its parser and editor, the dialogs and questions answered from the options,
// items found by name, and the result written back or shown as a diff. The unit and its form
// file are locked from reading to writing and written back as one change (see
// platform/FileUpdate.h).
#pragma once

#include "cli/Commands.h"
#include "cli/LineLayout.h"
#include "editing/FormDesigner.h"
#include "editing/KolvaEditors.h"
#include "editing/MemoryEditor.h"
#include "editing/ModuleEditors.h"
#include "platform/Dialogs.h"
#include "platform/FileUpdate.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kolva::cli {

/// The options of an engine command. Options not given leave what a dialog would show.
struct TEngineOptions {
    std::vector<std::string> Positional;
    std::optional<std::string> Decl;
    std::optional<bool> Interface;
    std::optional<TVisibility> Visibility;
    /// The class dialog's "Declare in interface" (--part): scPublic or scPrivate.
    std::optional<TVisibility> Part;
    /// The property dialog's state field box (--[no-]state-field).
    std::optional<bool> StateField;
    std::optional<int> Line;
    std::optional<int> TargetLine;
    /// A text form file whose designer answers for the unit's form class.
    std::string FormFile;
    /// The name of the unit in messages and diffs, for one read from standard input.
    std::optional<std::string> AssumeFilename;
    bool Yes = false;
    bool Diff = false;
    /// Print the edited unit instead of writing it (always for a unit from standard input).
    bool Stdout = false;
    /// The command adds a new item, whose dialog shows defaults where --decl says nothing.
    bool Adding = false;

    /// Whether the command writes files (neither --diff nor --stdout).
    bool Writes() const { return !Diff && !Stdout; }
};

/// The engine options of a command line; raises Exception on a malformed value.
TEngineOptions ParseEngineOptions(const TCommandLine& Line);
/// Text as a visibility keyword ("private" ... "default"); raises Exception for another.
TVisibility ParseVisibility(const std::string& Text);
/// "interface" as scPublic, "implementation" as scPrivate; raises Exception for another.
TVisibility ParsePart(const std::string& Text);
/// All of standard input; raises Exception when it cannot be read.
std::string ReadStandardInput();
/// The name a file has in messages: Assumed when given, "<stdin>" for "-", else File.
std::string DisplayName(const std::string& File, const std::optional<std::string>& Assumed);

/// The options of the command being run, for the dialogs that answer from them.
const TEngineOptions& CurrentEngineOptions();
/// The options answer the first dialog of a command; a dialog the operation opens after it
/// (the method a resolution clause names, say) keeps what it shows. True only for the first.
bool TakeDialogAnswers();

/// The unit's buffer: read-only while its file is, until the user agrees to make the file
/// writable.
class TUnitBuffer : public TMemoryEditor {
public:
    using TMemoryEditor::TMemoryEditor;
    /// The first writing edit of a read-only file asks whether to make it writable.
    TStringList& BeginEdit(bool SkipReadOnlyCheck) override;
    /// The file the buffer is written to; null with --diff.
    TFileUpdate* File = nullptr;
};

class TEngineSession {
public:
    /// Loads File and parses it; installs the answering dialogs and questions.
    TEngineSession(const TEngineOptions& Options, const std::string& File);
    ~TEngineSession();

    TModuleExplorer& Explorer() { return FExplorer; }
    TKolvaEditor& Editor() { return *FEditor; }

    /// The item a command names (see cli/ItemPath.h); --line chooses among several unless
    /// UseLine is false. Raises when there is none or more than one.
    TCodeItem& Find(const std::string& Path);
    /// The target a move names; --target-line chooses among several.
    TCodeItem& FindTarget(const std::string& Path);

    /// Writes the unit back (see cli/LineLayout.h for its line breaks) and the form file when
    /// the designer changed it, both or neither; or with --diff prints the differences, with
    /// --stdout the edited unit, and leaves the files alone. Returns the exit status.
    int Finish();

private:
    const TEngineOptions& FOptions;
    std::string FFile;
    std::unique_ptr<TFileUpdate> FUnitFile; // null with --diff, as FFormFile
    std::string FOriginalText;
    TLineLayout FLayout;
    TUnitBuffer FUnit;
    TModuleExplorer FExplorer;
    std::unique_ptr<TKolvaEditor> FEditor;
    std::unique_ptr<TMessageService> FPreviousMessages;
    std::unique_ptr<TFileUpdate> FFormFile;
    std::unique_ptr<TFormFileDesigner> FDesigner;
    std::string FOriginalForm;
};

/// For a command that works without a unit: while it lives, questions are put and answered
/// from Options (--yes) as in an engine session, and a declined one sets the exit status.
class TCommandLineQuestions {
public:
    explicit TCommandLineQuestions(const TEngineOptions& Options);
    ~TCommandLineQuestions();
    TCommandLineQuestions(const TCommandLineQuestions&) = delete;
    TCommandLineQuestions& operator=(const TCommandLineQuestions&) = delete;

private:
    std::unique_ptr<TMessageService> FPrevious;
};

} // namespace kolva::cli
