// kolva addin register [DLL] | unregister | show: the IDE's list of add-ins in the registry
// of the prefix, so that ide-host loads the explorer until an installer does this.
#include "cli/Commands.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/SysUtils.h"
#include "settings/KolvaReg.h"

#include <filesystem>
#include <iostream>

namespace kolva::cli {

namespace {

/// The IDE version whose experts key the host reads.
constexpr int HostDelphiVersion = 5;

int Register(const std::string& Given) {
    std::string native = NativePath(Given.empty() ? KolvaDllPath() : Given);
    if (!FileExists(native)) throw Exception(Format("%s: no such library", native));
    native = std::filesystem::absolute(native).lexically_normal().string();
    TRegistry reg;
    if (!reg.OpenKey(ExpertsRegKey(HostDelphiVersion), true))
        throw Exception(Format("cannot open %s", ExpertsRegKey(HostDelphiVersion)));
    reg.WriteString(ExpertValue, WindowsPath(native));
    std::cout << WindowsPath(native) << '\n';
    return 0;
}

int Show() {
    TRegistry reg;
    if (!reg.OpenKeyReadOnly(ExpertsRegKey(HostDelphiVersion)) || !reg.ValueExists(ExpertValue))
        return 1;
    std::cout << reg.ReadString(ExpertValue) << '\n';
    return 0;
}

} // namespace

int RunAddin(const TCommandLine& Line) {
    const auto& args = Line.Positional;
    const std::string verb = args.empty() ? "show" : args[0];
    if (verb == "register" && args.size() <= 2) return Register(args.size() == 2 ? args[1] : "");
    if (verb == "unregister" && args.size() == 1) {
        UnregisterExpert(HostDelphiVersion);
        return 0;
    }
    if (verb == "show" && args.size() <= 1) return Show();
    throw EUsage("addin takes register [DLL], unregister or show");
}

} // namespace kolva::cli
