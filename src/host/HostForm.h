// The form of a host module: the text form file beside the unit (X.dfm for X.pas), held in
// memory, and the designer operations that change the form and the unit together. The unit
// changes through the buffer's undoable writer, so each operation is one undo step of the
// editor; the form text is written when the unit is saved.
#pragma once

#include "platform/FormFile.h"

#include <functional>
#include <string>
#include <vector>

namespace kolva {

class THostEditBuffer;

class THostForm {
public:
    /// The form file beside the unit, or "" when there is none (the extension ".dfm" in any
    /// case is tried).
    static std::string FormFileBeside(const std::string& NativeUnitName);
    /// Reads the form file. Raises EInOutError or EFormFileError.
    explicit THostForm(const std::string& NativeFormName);

    const std::string& NativeFileName() const { return FNativeFileName; }
    const TFormFile& Form() const { return FForm; }
    /// The designer class: the root object's class.
    std::string RootClass() const;
    /// Whether the form changed since it was read or last written.
    bool Modified() const { return FForm.Modified(); }
    /// Writes the form file when it changed. Raises EInOutError.
    void Save();

    /// Rename and delete the component or event handler in the form and in Buffer's unit
    /// together. Nothing changes when the designer refuses (false) or raises (an invalid or
    /// taken name, a malformed unit).
    bool RenameComponent(THostEditBuffer& Buffer, const std::string& OldName,
                         const std::string& NewName);
    bool DeleteComponent(THostEditBuffer& Buffer, const std::string& Name);
    /// Deletes the handler method with its implementation and the events bound to it.
    bool DeleteEventHandler(THostEditBuffer& Buffer, const std::string& Name);
    bool RenameEventHandler(THostEditBuffer& Buffer, const std::string& OldName,
                            const std::string& NewName);
    /// Renames the root's class, and the root after it, in the form and the unit.
    bool RenameClass(THostEditBuffer& Buffer, const std::string& NewClassName);
    /// Takes the handler's event bindings out of the form only; returns their number.
    int UnbindEventHandler(const std::string& Name);

    /// Called after every change, whoever made it (the panel or an add-in).
    std::function<void()> OnChange;

private:
    std::string FNativeFileName;
    TFormFile FForm;

    enum class TOperation {
        RenameComponent,
        DeleteComponent,
        RenameHandler,
        DeleteHandler,
        RenameClass
    };
    bool Run(THostEditBuffer& Buffer, TOperation Operation, const std::string& Name,
             const std::string& NewName);
};

} // namespace kolva
