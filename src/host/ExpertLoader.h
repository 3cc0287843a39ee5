// Loading add-in libraries at start-up: every value of the current user's
// "Software\Borland\Delphi\5.0\Experts" key names a library (a Windows path); each is loaded,
// its INITEXPERT0017 called, and the experts it registers kept until the host shuts down. A
// library that is missing, has no entry point or answers false is reported in a warning
// and skipped; the others load all the same.
#pragma once

#include "toolsapi/ExptIntf.h"

#include <string>
#include <vector>

namespace kolva {

class TExpertLibraries {
public:
    TExpertLibraries() = default;
    ~TExpertLibraries() { Unload(); }
    TExpertLibraries(const TExpertLibraries&) = delete;
    TExpertLibraries& operator=(const TExpertLibraries&) = delete;

    /// Loads the libraries of the experts key with ToolServices as their entry's argument.
    /// Returns how many started; one warning per library that did not.
    int Load(TIToolServices& ToolServices);
    /// Releases the experts, calls each library's terminate procedure and unloads the
    /// libraries, last loaded first. EXPECTS: nothing of the add-ins is referenced any more
    /// outside the experts (their notifiers, wizards and frames are gone).
    void Unload();

    /// The names (registry value names) of the libraries that started.
    std::vector<std::string> LoadedNames() const;
    const std::vector<TIntf<TIExpert>>& RegisteredExperts() const { return FExperts; }

private:
    struct TLibrary {
        std::string Name;
        void* Handle;
        TExpertTerminateProc Terminate;
    };
    std::vector<TLibrary> FLibraries;
    std::vector<TIntf<TIExpert>> FExperts;

    bool LoadOne(const std::string& Name, const std::string& FileName,
                 TIToolServices& ToolServices);
};

} // namespace kolva
