// The macro expander of code templates.
//
// A template is text in which named macros stand between a start tag and an end tag
// (<!Name!>, <!Name(first, second)!> with the template tags). `TMacroExpander` replaces every
// call in a line by the macro's text: a macro may take parameters, call other macros and
// produce several lines; a call whose text spans several lines is indented to the column
// where it stood, and a line that held only calls producing nothing is dropped. Each macro
// call runs in a child expander whose own macros are the call's parameters, so parameters
// hide equally named macros of the callers while bodies and arguments still see them.
//
// Every error of an expansion is an `EMacroExpansionError` that names the line being
// expanded; nothing that any input can hold (cycles, deep nesting, macros that double their
// text at each level) ends otherwise: the text one top-level expander produces is bounded
// by `MaxOutput`.
#pragma once

#include "foundation/Editable.h"
#include "platform/StringList.h"
#include "platform/SysUtils.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kolva {

/// An error of an expansion: "Error expanding line\r<line>\r<message>", where a line longer
/// than 63 characters shows only its first 60 followed by "...".
class EMacroExpansionError : public Exception {
public:
    EMacroExpansionError(std::string_view Line, std::string_view Message);
};

/// A named macro: its body lines and its formal parameters. Kept in lists by its name,
/// compared without regard to ASCII case.
class TMacro : public TListable {
public:
    static const TListableClass ClassInfo;
    const TStreamableClass& ClassType() const override { return ClassInfo; }

    /// An unnamed macro, the state in which reading from a stream begins.
    TMacro() = default;
    /// Empty body and parameters; the name as SetName takes it.
    explicit TMacro(std::string_view Name);

    const std::string& Name() const { return FName; }
    /// Stores Value trimmed of white space. Raises Exception "Empty macro identifiers not
    /// allowed" when nothing is left; the name of a macro in a list must not change.
    void SetName(std::string_view Value);
    /// The body; each line is expanded in turn when the macro is called.
    TStringList& Lines() { return FLines; }
    const TStringList& Lines() const { return FLines; }
    /// The formal parameter names, in order.
    TStringList& Params() { return FParams; }
    const TStringList& Params() const { return FParams; }

    /// Class operation: the two names (std::string keys) compared ignoring ASCII case.
    static int CompareKeys(const void* Key1, const void* Key2);
    static bool SortedByDefault() { return true; }
    const void* KeyOf() const override { return &FName; }
    void GetName(std::string& Text) const override { Text = FName; }

protected:
    void Load(TFilter& Filter) override;
    void Store(TFilter& Filter) const override;

private:
    TStringList FLines;
    std::string FName;
    TStringList FParams;
};

class TMacroExpander : public TObject {
public:
    /// The default bound on the text of one top-level expander (see MaxOutput).
    static constexpr int64_t DefaultMaxOutput = int64_t(4) << 20;
    /// Calls are possible in expanders with at most this many ancestors.
    static constexpr int MaxAncestors = 15;

    /// A top-level expander (Parent null) or the expander of a macro call. Raises Exception
    /// "Empty StartTag" for an empty start tag, then "Illegal EndTag %s" for an end tag
    /// that is empty or begins with "(".
    TMacroExpander(TMacroExpander* Parent, std::string_view StartTag, std::string_view EndTag);
    ~TMacroExpander() override;
    TMacroExpander(const TMacroExpander&) = delete;
    TMacroExpander& operator=(const TMacroExpander&) = delete;

    /// Defines a parameterless macro whose body is the single line Value and returns it; the
    /// expander keeps it. A name already defined here raises EContainerError ("Container
    /// error: 0"), an empty one Exception "Empty macro identifiers not allowed".
    TMacro& DefineMacro(std::string_view Name, std::string_view Value);
    /// Adds a macro that stays its caller's: it must outlive this expander. A name already
    /// defined here raises EContainerError and leaves the macro to its caller.
    void AddMacro(TMacro& Macro);
    /// Expands Text, appending its lines to Output (none when Text held calls only and they
    /// produced nothing but white space). Raises EMacroExpansionError; Output may then hold
    /// part of the line's result.
    void ExpandLine(std::string_view Text);
    /// The macro of that name (ASCII case ignored) here or, failing that, in the nearest
    /// ancestor that has one; null when none has. The result becomes CurrentMacro.
    TMacro* LookupMacro(std::string_view Name);

    TMacro* CurrentMacro() const { return FCurrentMacro; }
    const std::string& StartTag() const { return FStartTag; }
    const std::string& EndTag() const { return FEndTag; }
    /// The line being expanded, or expanded last.
    const std::string& Line() const { return FLine; }
    TStringList& Output() { return FOutput; }
    const TEditableList& Macros() const { return FMacros; }
    TMacroExpander* Parent() const { return FParent; }

    /// The most text a top-level expander and the expanders of its calls may handle in its
    /// life, counted as every line expanded and every line produced, at every level, each
    /// with one character for its end. More raises EMacroExpansionError "Expansion exceeds
    /// %d characters". Read and set on the top level; children share it.
    int64_t MaxOutput() const { return FRoot->FMaxOutput; }
    void SetMaxOutput(int64_t Value) { FRoot->FMaxOutput = Value; }

private:
    [[noreturn]] void Error(const std::string& Message) const;
    /// Counts N characters against MaxOutput.
    void Charge(size_t N);
    void AddOutput(std::string Text);

    void Expand();
    /// Expands the call at the start of Rest (just after its start tag) into Result, and
    /// takes the call's text off Rest.
    void ExpandCall(std::string_view& Rest, std::string& Result);
    std::string ReadName(std::string_view& Rest) const;
    std::vector<std::string> ReadArguments(std::string_view& Rest, std::string_view Name) const;
    void ReadEndTag(std::string_view& Rest) const;
    void CheckCall(const TMacro& Macro) const;
    /// Makes the parameter macros of a call of Macro in Child.
    void BindArguments(const TMacro& Macro, const std::vector<std::string>& Args,
                       TMacroExpander& Child);
    /// Puts the lines a call produced in place of the call.
    void Splice(const TStringList& Lines, std::string& Result);

    TMacro* FCurrentMacro = nullptr;
    std::string FEndTag;
    std::string FLine;
    // Before FMacros, so that the list never outlives the macros it points at.
    std::vector<std::unique_ptr<TMacro>> FDefined;
    TEditableList FMacros;
    TStringList FOutput;
    TMacroExpander* FParent;
    TMacroExpander* FRoot; // the top level, which counts the text of all levels
    std::string FStartTag;
    int64_t FMaxOutput = DefaultMaxOutput;
    int64_t FProduced = 0;
};

} // namespace kolva
