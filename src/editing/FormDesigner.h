// A form designer without windows: it answers the designer questions from a text form file
// and carries out the designer's renames and deletions on that file and on the unit's source
// together, as an IDE's designer does, so that form and unit stay in step.
//
// The designer class is the class of the form file's root object. Its components are the
// named objects the root owns: every object inside the root, except what lies inside an
// inline frame (those belong to the frame's class; the frame itself is a component). Event
// handlers are the method names the form's event properties hold.
//
// Source edits go through the module editor inside its edit bracket, so the code model stays
// in step with the text and every step can be undone. When the designer's bracket is the
// outermost one, closing it parses the unit again and frees every code item: a caller that
// goes on using items afterwards opens its own bracket around the call. A declaration whose
// lines hold more than the declaration itself (another declaration, a body begun on the same
// line) is not rewritten: the operation raises "Cannot perform operation on bad formatted
// item %s" before anything changes.
#pragma once

#include "editing/EditInterfaces.h"
#include "platform/FormFile.h"

#include <optional>
#include <string>
#include <vector>

namespace kolva {

class TModuleEditor;
class TClassItem;
class TCodeItem;
class TFieldItem;

class TFormFileDesigner : public TDesignerInterface {
public:
    /// Takes the form file over; the module editor must outlive the designer.
    TFormFileDesigner(TFormFile Form, TModuleEditor& Editor);

    const TFormFile& Form() const { return FForm; }
    /// Whether the form file changed since it was read: it then needs writing back.
    bool Modified() const { return FForm.Modified(); }
    /// The form file's text, with every change made.
    std::string Text() const { return FForm.Text(); }
    /// The name of the component or root selected last; empty before any selection.
    const std::string& Selection() const { return FSelection; }

    /// The root object's class, ignoring case.
    bool IsDesignerClass(const std::string& ClassName) override;
    /// Deletes the component with the components inside it (a panel's controls), their
    /// fields with them; references to them in the form go too. ComponentName may be a
    /// field's list of names ("A, B"). Raises for a component introduced in an ancestor form.
    bool DeleteComponent(const std::string& ClassName, const std::string& ComponentName) override;
    /// True when the name, or any name of a list "A, B", is a component.
    bool IsComponent(const std::string& ClassName, const std::string& ComponentName) override;
    /// True when an event of the form is bound to the method.
    bool IsEventHandler(const std::string& ClassName, const std::string& MethodName) override;
    /// Renames the root's class and names the root after it (TMainForm: MainForm); in the
    /// unit, whatever still carries the old class name (the class heading, method
    /// implementations, the form variable "Name: TClass;" of the interface part) follows,
    /// so it does not matter whether the caller renamed the heading before.
    bool RenameClass(const std::string& OldClassName, const std::string& NewClassName) override;
    /// Renames the component, the references to it in the form and its field. Both names may
    /// be lists of the same length, renamed pairwise. Raises for an invalid or taken name.
    bool RenameComponent(const std::string& ClassName, const std::string& OldName,
                         const std::string& NewName) override;
    /// Only when the class declares the method: renames its declaration, its implementation
    /// and every event bound to it. Raises for an invalid or taken name.
    /// Takes the handler's event bindings out of the form.
    bool DeleteEventHandler(const std::string& ClassName, const std::string& MethodName) override;
    bool RenameEventHandler(const std::string& ClassName, const std::string& OldName,
                            const std::string& NewName) override;
    void SelectComponent(const std::string& ClassName, const std::string& ComponentName) override;
    void SelectRoot(const std::string& ClassName) override;

private:
    /// Every class of the unit with that name (a forward declaration too), placed ones only.
    std::vector<TClassItem*> Classes(const std::string& ClassName) const;
    /// The field of the designer class whose list of names holds Name.
    TFieldItem* FieldOf(const std::string& ClassName, const std::string& Name) const;
    class TFormEdit;
    void RenameFormVariable(const std::string& OldName, const std::string& OldClass,
                            const std::string& NewName, const std::string& NewClass);

    TFormFile FForm;
    TModuleEditor& FEditor;
    std::string FSelection;
};

} // namespace kolva
