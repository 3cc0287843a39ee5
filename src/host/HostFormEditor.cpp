// The editor, its designer and its components hold the module by reference and look the
// form up on every call, so they stay valid (answering nothing) after the module closes.
#include "host/HostFormEditor.h"

#include "host/Modules.h"
#include "platform/Paths.h"
#include "platform/SysUtils.h"

namespace kolva {

namespace {

/// The module's form while the module is open and has its buffer; null otherwise.
THostForm* OpenForm(THostModule& Module) {
    return !Module.IsClosed() && Module.Buffer() ? Module.Form() : nullptr;
}

template <class T, class... Args>
TIntf<T> Make(Args&&... args) noexcept {
    try {
        return TIntf<T>(new T(std::forward<Args>(args)...));
    } catch (...) {
        return {};
    }
}

class THostComponent final : public TInterfacedObject, public IOTAComponent {
public:
    THostComponent(TIntf<THostModule> Module, std::string Name, std::string Type)
        : FModule(std::move(Module)), FName(std::move(Name)), FType(std::move(Type)) {}
    KOLVA_IMPLEMENT_REFCOUNT

    std::string GetComponentType() noexcept override { return FType; }
    std::string GetName() noexcept override { return FName; }
    bool SetName(const std::string& NewName) noexcept override {
        THostForm* form = OpenForm(*FModule);
        if (!form) return false;
        try {
            bool done = IsRoot(*form) ? form->RenameClass(*FModule->Buffer(), "T" + NewName)
                                      : form->RenameComponent(*FModule->Buffer(), FName, NewName);
            if (!done) return false;
            FName = NewName;
            return true;
        } catch (...) {
            return false;
        }
    }
    bool Delete() noexcept override {
        THostForm* form = OpenForm(*FModule);
        if (!form || IsRoot(*form)) return false;
        try {
            return form->DeleteComponent(*FModule->Buffer(), FName);
        } catch (...) {
            return false;
        }
    }

private:
    TIntf<THostModule> FModule;
    std::string FName, FType;

    bool IsRoot(const THostForm& Form) const {
        return Form.Form().Root() && SameText(Form.Form().Root()->Name, FName);
    }
};

class THostFormDesigner final : public TInterfacedObject, public IOTAFormDesigner {
public:
    explicit THostFormDesigner(TIntf<THostModule> Module) : FModule(std::move(Module)) {}
    KOLVA_IMPLEMENT_REFCOUNT

    TIntf<IOTAComponent> GetRoot() noexcept override {
        THostForm* form = OpenForm(*FModule);
        if (!form || !form->Form().Root()) return {};
        const TFormObject& root = *form->Form().Root();
        return Make<THostComponent>(FModule, root.Name, root.ClassName);
    }
    TIntf<IOTAComponent> FindComponent(const std::string& Name) noexcept override {
        THostForm* form = OpenForm(*FModule);
        if (!form) return {};
        int index = form->Form().IndexOfComponent(Name);
        if (index < 0) return {};
        const TFormObject& object = form->Form().Objects()[index];
        return Make<THostComponent>(FModule, object.Name, object.ClassName);
    }
    bool MethodExists(const std::string& Name) noexcept override {
        THostForm* form = OpenForm(*FModule);
        if (!form) return false;
        for (const TFormBinding& event : form->Form().Events())
            if (SameText(event.Value, Name)) return true;
        return false;
    }
    void RenameMethod(const std::string& CurName, const std::string& NewName) noexcept override {
        THostForm* form = OpenForm(*FModule);
        if (!form) return;
        try {
            form->RenameEventHandler(*FModule->Buffer(), CurName, NewName);
        } catch (...) {
            // Refused (an invalid or taken name): nothing changed.
        }
    }
    void SelectComponent(IOTAComponent*) noexcept override {}
    void Modified() noexcept override {}
    int UnbindMethod(const std::string& Name) noexcept override {
        THostForm* form = OpenForm(*FModule);
        try {
            return form ? form->UnbindEventHandler(Name) : 0;
        } catch (...) {
            return 0;
        }
    }

private:
    TIntf<THostModule> FModule;
};

class THostFormEditor final : public TInterfacedObject, public IOTAFormEditor {
public:
    explicit THostFormEditor(TIntf<THostModule> Module) : FModule(std::move(Module)) {}
    KOLVA_IMPLEMENT_REFCOUNT

    std::string GetFileName() noexcept override {
        THostForm* form = FModule->Form();
        if (!form) return {};
        try {
            return WindowsPath(form->NativeFileName());
        } catch (...) {
            return form->NativeFileName();
        }
    }
    TIntf<IOTAModule> GetModule() noexcept override {
        if (FModule->IsClosed()) return {};
        return FModule;
    }
    TIntf<IOTAEditBuffer> AsEditBuffer() noexcept override { return {}; }
    TIntf<IOTAFormEditor> AsFormEditor() noexcept override { return this; }
    TIntf<IOTAFormDesigner> GetFormDesigner() noexcept override {
        if (!OpenForm(*FModule)) return {};
        return Make<THostFormDesigner>(FModule);
    }

private:
    TIntf<THostModule> FModule;
};

} // namespace

TIntf<IOTAFormEditor> MakeHostFormEditor(THostModule& Module) noexcept {
    if (!Module.Form()) return {};
    return Make<THostFormEditor>(TIntf<THostModule>(&Module));
}

} // namespace kolva
