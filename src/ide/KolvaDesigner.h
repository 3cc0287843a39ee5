// The designer interface over the IDE's form designer: the editing engine's questions about
// the form of the followed unit (is this class the form, this field a component, this
// method an event handler) and the renames and deletions that keep form and unit in step.
//
// The designer changes the unit's source by itself, as the IDE's designer does; the engine
// is told, so that an open edit's lines and the model follow (see
// TKOLVASyncEngine::BufferChangedByDesigner).
#pragma once

#include "editing/EditInterfaces.h"
#include "toolsapi/ToolsAPI.h"

#include <string>

namespace kolva {

class TKOLVASyncEngine;

class TKolvaDesignerInterface final : public TDesignerInterface {
public:
    /// Engine outlives the interface; its current designer is the one asked.
    explicit TKolvaDesignerInterface(TKOLVASyncEngine& Engine) : FEngine(Engine) {}

    /// A current designer exists and its root's class is ClassName (ignoring case).
    bool IsDesignerClass(const std::string& ClassName) override;
    /// Every operation below does nothing and answers false unless ClassName is the
    /// designer's class. A field's list of names ("A, B") names each of its components.
    bool DeleteComponent(const std::string& ClassName, const std::string& ComponentName) override;
    bool IsComponent(const std::string& ClassName, const std::string& ComponentName) override;
    bool IsEventHandler(const std::string& ClassName, const std::string& MethodName) override;
    /// Names the root after the new class (TMainForm: MainForm); the designer renames the
    /// class in the unit.
    bool RenameClass(const std::string& OldClassName, const std::string& NewClassName) override;
    /// Both names may be lists of the same length, renamed pairwise.
    bool RenameComponent(const std::string& ClassName, const std::string& OldName,
                         const std::string& NewName) override;
    /// Only when the method exists; its declaration, implementation and bindings follow.
    bool RenameEventHandler(const std::string& ClassName, const std::string& OldName,
                            const std::string& NewName) override;
    /// Takes the handler's event bindings out of the form, leaving the unit to the engine.
    bool DeleteEventHandler(const std::string& ClassName, const std::string& MethodName) override;
    void SelectComponent(const std::string& ClassName, const std::string& ComponentName) override;
    void SelectRoot(const std::string& ClassName) override;

private:
    TKOLVASyncEngine& FEngine;

    /// The current designer when its root is of ClassName; nil otherwise.
    TIntf<IOTAFormDesigner> DesignerOf(const std::string& ClassName);
    /// Marks the designer modified and lets the engine read the changed buffer.
    bool Changed(IOTAFormDesigner& Designer);
};

} // namespace kolva
