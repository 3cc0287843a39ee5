// Libraries are opened with RTLD_NOW, so an add-in with an unresolved symbol fails here with
// a message rather than later inside a call, and RTLD_LOCAL, so one add-in's symbols never
// bind another's. Qt is shared all the same: the add-in's dependency on the Qt libraries is
// satisfied by the copies the host already has loaded.
#include "host/ExpertLoader.h"

#include "platform/Dialogs.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/StringList.h"
#include "platform/SysUtils.h"
#include "settings/KolvaReg.h"

#include <dlfcn.h>

namespace kolva {

namespace {

/// The experts registered by the entry being called (the register procedure has no context).
std::vector<TIntf<TIExpert>>* RegisteringInto = nullptr;

bool RegisterExpert(TIExpert* Expert) {
    if (!RegisteringInto || !Expert) return false;
    try {
        RegisteringInto->emplace_back(Expert);
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace

int TExpertLibraries::Load(TIToolServices& ToolServices) {
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (!reg.OpenKeyReadOnly(ExpertsRegKey(5))) return 0;
    TStringList names;
    reg.GetValueNames(names);
    std::vector<std::pair<std::string, std::string>> libraries;
    for (int i = 0; i < names.Count(); ++i)
        libraries.emplace_back(names[i], reg.ReadString(names[i]));
    reg.CloseKey();

    int loaded = 0;
    for (const auto& [name, fileName] : libraries)
        if (LoadOne(name, fileName, ToolServices)) ++loaded;
    return loaded;
}

bool TExpertLibraries::LoadOne(const std::string& Name, const std::string& FileName,
                               TIToolServices& ToolServices) {
    std::string native = NativePath(FileName);
    void* handle = dlopen(native.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        ShowWarning(Format("Cannot load expert %s from \"%s\":\r%s", Name, FileName,
                           reason ? reason : "unknown error"));
        return false;
    }
    auto entry = reinterpret_cast<TExpertInitProc>(dlsym(handle, ExpertEntryPointName));
    if (!entry) {
        dlclose(handle);
        ShowWarning(Format("Expert %s (\"%s\") has no entry point %s", Name, FileName,
                           ExpertEntryPointName));
        return false;
    }
    std::vector<TIntf<TIExpert>> registered;
    TExpertTerminateProc terminate = nullptr;
    RegisteringInto = &registered;
    bool started = entry(&ToolServices, RegisterExpert, &terminate);
    RegisteringInto = nullptr;
    if (!started) {
        registered.clear();
        if (terminate) terminate();
        dlclose(handle);
        ShowWarning(Format("Expert %s (\"%s\") failed to initialize", Name, FileName));
        return false;
    }
    FLibraries.push_back({Name, handle, terminate});
    FExperts.insert(FExperts.end(), registered.begin(), registered.end());
    return true;
}

void TExpertLibraries::Unload() {
    FExperts.clear();
    while (!FLibraries.empty()) {
        TLibrary library = FLibraries.back();
        FLibraries.pop_back();
        if (library.Terminate) library.Terminate();
        dlclose(library.Handle);
    }
}

std::vector<std::string> TExpertLibraries::LoadedNames() const {
    std::vector<std::string> names;
    for (const TLibrary& library : FLibraries)
        names.push_back(library.Name);
    return names;
}

} // namespace kolva
