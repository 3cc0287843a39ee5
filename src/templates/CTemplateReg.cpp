#include "templates/CTemplateReg.h"

#include "foundation/FileUtil.h"
#include "platform/Dialogs.h"
#include "platform/Registry.h"
#include "platform/SysUtils.h"
#include "settings/KolvaReg.h"

#include <algorithm>
#include <memory>

namespace kolva {

namespace {

constexpr const char* RegKeyValue = "RegKey";
constexpr const char* RootDirValue = "RootDir";

// The local machine's setting of the shared template list. A key or value that cannot be
// read (a damaged hive, a value of another type) counts as not set: the list then falls
// back to its defaults rather than leaving the palette without templates.
std::string ReadSharedSetting(const char* Value) {
    try {
        TRegistry machine(HKEY_LOCAL_MACHINE);
        if (!machine.OpenKeyReadOnly(SharedTemplatesKey)) return "";
        return machine.ReadString(Value);
    } catch (const Exception&) {
        return "";
    }
}

std::string WithExtension(std::string_view FileName, std::string_view Ext) {
    const size_t folder = FileName.find_last_of("\\/:");
    const size_t dot = FileName.rfind('.');
    const bool hasExt =
        dot != std::string_view::npos && (folder == std::string_view::npos || dot > folder);
    return std::string(FileName.substr(0, hasExt ? dot : FileName.size())) + std::string(Ext);
}

} // namespace

TCodeTemplateRegistry& TemplateRegistry() {
    static const std::unique_ptr<TCodeTemplateRegistry> registry =
        std::make_unique<TCodeTemplateRegistry>();
    return *registry;
}

std::string DefaultTemplateDir(std::string_view Folder) {
    std::string dir(Folder);
    const size_t bin = UpperCase(dir).find("\\BIN\\");
    dir = bin == std::string::npos ? dir + "Template" : dir.substr(0, bin) + "\\Template";
    return DirectoryExists(dir) ? dir : "";
}

TCodeTemplateRegistry::~TCodeTemplateRegistry() {
    for (TCTRegObserver* observer : FObservers)
        observer->FRegistry = nullptr;
}

// The installer writes "RegKey" only together with the key it names, so a key read from it
// is taken as it stands; only the modelling tool's key, which may never have been made, is
// checked.
std::string TCodeTemplateRegistry::GetRegKey() {
    if (!FRegKey.empty()) return FRegKey;
    FRegKey = ReadSharedSetting(RegKeyValue);
    if (FRegKey.empty()) {
        FRegKey = FWRegKey(5) + "\\Templates";
        TRegistry user;
        if (!user.OpenKeyReadOnly(FRegKey)) FRegKey = SharedTemplatesKey;
    }
    return FRegKey;
}

std::string TCodeTemplateRegistry::GetRootDir() {
    if (!FRootDir.empty()) return FRootDir;
    FRootDir = ReadSharedSetting(RootDirValue);
    if (FRootDir.empty()) FRootDir = DefaultTemplateDir(ProgramFolder());
    return FRootDir;
}

void TCodeTemplateRegistry::ResetCache() {
    FRootDir.clear();
    FRegKey.clear();
}

bool TCodeTemplateRegistry::TemplateExists(std::string_view Name) {
    TRegistry user;
    return user.OpenKeyReadOnly(GetRegKey()) && user.ValueExists(Name);
}

bool TCodeTemplateRegistry::ReadTemplate(std::string_view Name, std::string& FileName,
                                         std::string& Page) {
    TRegistry user;
    if (!user.OpenKeyReadOnly(GetRegKey())) return false;
    // A value of another kind (someone's hand-edited list) is no template.
    const TRegDataType type = user.GetDataType(Name);
    if (type != rdString && type != rdExpandString) return false;
    TStringList items;
    items.SetCommaText(user.ReadString(Name));
    if (items.Count() == 0) return false;
    FileName = Trim(items[0]);
    Page = items.Count() > 1 ? Trim(items[1]) : "";
    return true;
}

void TCodeTemplateRegistry::GetTemplateNames(TStringList& List) {
    List.Clear();
    TRegistry user;
    if (user.OpenKeyReadOnly(GetRegKey())) user.GetValueNames(List);
}

void TCodeTemplateRegistry::GetPages(TStringList& List) {
    TStringList names;
    GetTemplateNames(names);
    List.Clear();
    std::string file, page;
    for (int i = 0; i < names.Count(); ++i)
        if (ReadTemplate(names[i], file, page) && List.IndexOf(page) < 0) List.Add(page);
}

void TCodeTemplateRegistry::WriteTemplate(const std::string& FileName, const std::string& Name,
                                          const std::string& Page) {
    TRegistry user;
    if (!user.OpenKey(GetRegKey(), true))
        throw Exception(Format("Cannot open the template list %s", GetRegKey()));
    const TStringList items{FileName, Page};
    user.WriteString(Name, items.CommaText());
    Notify([&](TCTRegObserver& Observer) {
        if (Observer.OnTemplateAdded) Observer.OnTemplateAdded(FileName, Name, Page);
    });
}

void TCodeTemplateRegistry::DeleteTemplate(const std::string& Name) {
    TRegistry user;
    if (user.OpenKey(GetRegKey(), false)) user.DeleteValue(Name);
    Notify([&](TCTRegObserver& Observer) {
        if (Observer.OnTemplateRemoved) Observer.OnTemplateRemoved(Name);
    });
}

void TCodeTemplateRegistry::AddTemplate(const std::string& FileName, const std::string& Name,
                                        const std::string& Page) {
    std::string name = Trim(Name);
    if (name.empty()) name = FileNameWithoutExt(FileName);
    if (name.empty()) throw Exception("Undefined Template is not registered");
    if (TemplateExists(name)) {
        if (Silent || !ConfirmDlg(Format("A template named %s already exists. Replace?", name)))
            Abort();
        DeleteTemplate(name);
    }
    WriteTemplate(FileName, name, Page);
    if (Silent) return;
    std::string text = Format("Template %s has been added to the palette", name);
    const std::string bitmap = WithExtension(FileName, ".bmp");
    if (!FileExists(bitmap)) text += "\rTo replace the default image, create bitmap\r" + bitmap;
    ShowInformation(text);
}

void TCodeTemplateRegistry::AddObserver(TCTRegObserver& Observer) {
    if (std::find(FObservers.begin(), FObservers.end(), &Observer) == FObservers.end())
        FObservers.push_back(&Observer);
}

void TCodeTemplateRegistry::RemoveObserver(TCTRegObserver& Observer) {
    std::erase(FObservers, &Observer);
}

// A handler may free observers (a palette page closing with its last button): the walk
// goes over a copy and skips those that left meanwhile.
template <typename TCall>
void TCodeTemplateRegistry::Notify(TCall Call) {
    const std::vector<TCTRegObserver*> observers = FObservers;
    for (TCTRegObserver* observer : observers)
        if (std::find(FObservers.begin(), FObservers.end(), observer) != FObservers.end())
            Call(*observer);
}

TCTRegObserver::TCTRegObserver(TCodeTemplateRegistry& Registry) : FRegistry(&Registry) {
    Registry.AddObserver(*this);
}

TCTRegObserver::~TCTRegObserver() {
    if (FRegistry) FRegistry->RemoveObserver(*this);
}

} // namespace kolva
