#include "ide/KolvaDesigner.h"

#include "ide/EdtSyncs.h"
#include "platform/SysUtils.h"

#include <vector>

namespace kolva {

namespace {

/// "A, B" as {"A", "B"}; a single name as itself.
std::vector<std::string> SplitNames(const std::string& Names) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= Names.size()) {
        size_t comma = Names.find(',', start);
        if (comma == std::string::npos) comma = Names.size();
        std::string name = Trim(Names.substr(start, comma - start));
        if (!name.empty()) names.push_back(name);
        start = comma + 1;
    }
    return names;
}

} // namespace

TIntf<IOTAFormDesigner> TKolvaDesignerInterface::DesignerOf(const std::string& ClassName) {
    TIntf<IOTAFormDesigner> designer = FEngine.CurrentDesigner();
    if (!designer) return {};
    TIntf<IOTAComponent> root = designer->GetRoot();
    if (!root || !SameText(root->GetComponentType(), ClassName)) return {};
    return designer;
}

bool TKolvaDesignerInterface::Changed(IOTAFormDesigner& Designer) {
    Designer.Modified();
    FEngine.BufferChangedByDesigner();
    return true;
}

bool TKolvaDesignerInterface::IsDesignerClass(const std::string& ClassName) {
    return bool(DesignerOf(ClassName));
}

bool TKolvaDesignerInterface::DeleteComponent(const std::string& ClassName,
                                              const std::string& ComponentName) {
    TIntf<IOTAFormDesigner> designer = DesignerOf(ClassName);
    if (!designer) return false;
    bool deleted = false;
    for (const std::string& name : SplitNames(ComponentName))
        if (TIntf<IOTAComponent> component = designer->FindComponent(name))
            deleted = component->Delete() || deleted;
    return deleted && Changed(*designer);
}

bool TKolvaDesignerInterface::IsComponent(const std::string& ClassName,
                                          const std::string& ComponentName) {
    TIntf<IOTAFormDesigner> designer = DesignerOf(ClassName);
    if (!designer) return false;
    for (const std::string& name : SplitNames(ComponentName))
        if (designer->FindComponent(name)) return true;
    return false;
}

bool TKolvaDesignerInterface::IsEventHandler(const std::string& ClassName,
                                             const std::string& MethodName) {
    TIntf<IOTAFormDesigner> designer = DesignerOf(ClassName);
    return designer && designer->MethodExists(MethodName);
}

bool TKolvaDesignerInterface::RenameClass(const std::string& OldClassName,
                                          const std::string& NewClassName) {
    TIntf<IOTAFormDesigner> designer = DesignerOf(OldClassName);
    TIntf<IOTAComponent> root = designer ? designer->GetRoot() : nullptr;
    if (!root || NewClassName.size() < 2) return false;
    if (!root->SetName(NewClassName.substr(1))) return false;
    return Changed(*designer);
}

bool TKolvaDesignerInterface::RenameComponent(const std::string& ClassName,
                                              const std::string& OldName,
                                              const std::string& NewName) {
    TIntf<IOTAFormDesigner> designer = DesignerOf(ClassName);
    if (!designer) return false;
    std::vector<std::string> oldNames = SplitNames(OldName), newNames = SplitNames(NewName);
    bool renamed = false;
    for (size_t i = 0; i < oldNames.size() && i < newNames.size(); ++i)
        if (TIntf<IOTAComponent> component = designer->FindComponent(oldNames[i]))
            renamed = component->SetName(newNames[i]) || renamed;
    return renamed && Changed(*designer);
}

bool TKolvaDesignerInterface::RenameEventHandler(const std::string& ClassName,
                                                 const std::string& OldName,
                                                 const std::string& NewName) {
    TIntf<IOTAFormDesigner> designer = DesignerOf(ClassName);
    if (!designer || !designer->MethodExists(OldName)) return false;
    designer->RenameMethod(OldName, NewName);
    return Changed(*designer);
}

bool TKolvaDesignerInterface::DeleteEventHandler(const std::string& ClassName,
                                                 const std::string& MethodName) {
    TIntf<IOTAFormDesigner> designer = DesignerOf(ClassName);
    if (!designer || designer->UnbindMethod(MethodName) == 0) return false;
    designer->Modified();
    return true;
}

void TKolvaDesignerInterface::SelectComponent(const std::string& ClassName,
                                              const std::string& ComponentName) {
    TIntf<IOTAFormDesigner> designer = DesignerOf(ClassName);
    if (!designer) return;
    std::vector<std::string> names = SplitNames(ComponentName);
    if (TIntf<IOTAComponent> component =
            names.empty() ? nullptr : designer->FindComponent(names.front()))
        designer->SelectComponent(component.Get());
}

void TKolvaDesignerInterface::SelectRoot(const std::string& ClassName) {
    TIntf<IOTAFormDesigner> designer = DesignerOf(ClassName);
    if (TIntf<IOTAComponent> root = designer ? designer->GetRoot() : nullptr)
        designer->SelectComponent(root.Get());
}

} // namespace kolva
