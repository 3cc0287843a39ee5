// The Object Pascal text form format (.dfm, .lfm): a tree of objects, each opened by
// "object Name: TClass" ("inherited" and "inline" alike) and closed by "end", holding
// properties "Name = value" before its child objects. Values are numbers, identifiers
// (dotted ones too), strings ('...' pieces with #codes, joined by "+" across lines), sets
// "[a, b]", lists "( ... )", binary data "{ ... }" and collections "< item ... end >"; lists
// and collections may span any number of lines and nest to any depth.
//
// A form file is kept as its lines, line breaks included, so that writing back an unchanged
// file gives it byte for byte. What the designer needs is read from it after every change:
// the objects with their names, classes, lines and depths, the event bindings (a property
// whose name, or last dotted part, starts with "On" and whose value is one identifier) and
// the other identifier values, which may name components. Edits are minimal: a rename
// replaces only the tokens it concerns, a deletion takes out an object's whole block.
#pragma once

#include "platform/SysUtils.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kolva {

/// Malformed form text; the message ends in " on line %d" (1-based).
class EFormFileError : public Exception {
public:
    EFormFileError(std::string_view What, int Line);
    int Line() const { return FLine; }

private:
    int FLine;
};

enum TFormObjectKind : uint8_t { okObject, okInherited, okInline };

/// A place in the form file: 0-based line and byte column.
struct TFormPlace {
    int Line = 0;
    int Column = 0;
    bool operator==(const TFormPlace&) const = default;
    auto operator<=>(const TFormPlace&) const = default;
};

struct TFormObject {
    /// Empty for an object written without a name ("object TTimer").
    std::string Name;
    std::string ClassName;
    TFormObjectKind Kind = okObject;
    /// The enclosing object; -1 for the root.
    int Parent = -1;
    /// The root, or the nearest enclosing inline frame, whose component this object is;
    /// -1 for the root.
    int Owner = -1;
    /// 0 for the root.
    int Depth = 0;
    /// The lines of the opening word and of "end".
    int StartLine = 0;
    int EndLine = 0;
    /// The opening word, the name and class tokens, and the place just behind "end".
    TFormPlace Start, NameAt, ClassAt, End;
};

/// A property whose value is one identifier, possibly dotted.
struct TFormBinding {
    /// The object that holds the property, also through a collection item.
    int Object = 0;
    /// As written, dotted names included ("Font.Name").
    std::string Property;
    /// The identifier: for an event binding the handler's name.
    std::string Value;
    /// The line of the value.
    int Line = 0;
    /// The property's first character, the value's first character, and the place just
    /// behind the value.
    TFormPlace Start, ValueAt, End;
};

class TFormFile {
public:
    /// A form file without objects.
    TFormFile() = default;
    /// Raises EFormFileError for malformed text.
    explicit TFormFile(std::string_view Text);
    /// Raises EInOutError when the file cannot be read and EFormFileError, with the file's
    /// name in front, when it is malformed.
    static TFormFile LoadFromFile(std::string_view FileName);
    /// The form file whose text was read from FileName; raises EFormFileError with the file's
    /// name in front for malformed text.
    static TFormFile Load(std::string_view Text, std::string_view FileName);
    /// Writes the text atomically and clears Modified.
    void SaveToFile(std::string_view FileName);

    /// Replaces the whole text; malformed text raises EFormFileError and changes nothing.
    void SetText(std::string_view Text);
    /// Exactly the text read, with the edits made since.
    std::string Text() const;
    int LineCount() const { return static_cast<int>(FLines.size()); }
    /// A line without its line break. EXPECTS: 0 <= Index < LineCount().
    const std::string& Line(int Index) const { return FLines.at(Index); }

    /// In the order of their opening lines: the root first, each object before its children.
    const std::vector<TFormObject>& Objects() const { return FObjects; }
    /// Null for a form file without objects.
    const TFormObject* Root() const { return FObjects.empty() ? nullptr : &FObjects.front(); }
    const std::vector<TFormBinding>& Events() const { return FEvents; }
    /// Every other property whose value is an identifier (enumeration values, booleans,
    /// references to components).
    const std::vector<TFormBinding>& References() const { return FReferences; }

    /// The first object of that name, ignoring case; -1 when none (an empty name never
    /// matches).
    int IndexOf(std::string_view Name) const;
    /// The first object with that name that the root owns (not the root itself, nothing
    /// inside an inline frame); -1 when none.
    int IndexOfComponent(std::string_view Name) const;
    /// The index behind the last object of Index's block (its descendants follow it).
    int BlockEnd(int Index) const;

    /// Renames a named object, and every reference whose value is its name or begins with
    /// its name and a dot. Raises Exception "'%s' is not a valid component name" for a name
    /// that is not an identifier. EXPECTS: the object has a name.
    void RenameObject(int Index, std::string_view NewName);
    /// Raises Exception "'%s' is not a valid identifier" for a class name that is not one.
    void SetClassName(int Index, std::string_view NewClassName);
    /// Takes out the object's block, its children included, and every reference to any of
    /// the objects taken out (as the form forgets a deleted component). EXPECTS: not the root.
    void DeleteObject(int Index);
    /// Makes every event binding to OldName (ignoring case) name NewName; returns their
    /// number. Raises Exception "'%s' is not a valid identifier" for a bad NewName.
    int RenameHandler(std::string_view OldName, std::string_view NewName);
    /// Takes out every event binding to Name (ignoring case), as the form forgets the events
    /// of a deleted handler; returns their number.
    int UnbindHandler(std::string_view Name);

    /// Set by every edit, cleared by SetText and SaveToFile.
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }

private:
    struct TReplacement {
        TFormPlace From, To;
        std::string Text;
    };
    /// Applies replacements that do not overlap, then reads the text again; a failed read
    /// leaves the file as it was.
    void Apply(std::vector<TReplacement> Edits);
    void Split(std::string_view Text);
    void Parse();

    class TReader;

    std::vector<std::string> FLines;
    std::vector<std::string> FBreaks;
    std::vector<TFormObject> FObjects;
    std::vector<TFormBinding> FEvents;
    std::vector<TFormBinding> FReferences;
    bool FModified = false;
};

} // namespace kolva
