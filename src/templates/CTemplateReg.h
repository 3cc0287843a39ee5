// The shared list of code templates.
//
// Templates are ordinary source files (with an optional bitmap of the same name as their
// palette image) that are listed in the registry, one string value per template under a key
// of the current user: the value name is the template's name, the value the comma text of
// the full file name and the palette page. The key can be the one of the maker's modelling
// tool, so that both programs list the same templates. `TCodeTemplateRegistry` is the one
// object that reads and changes the list, and it tells every `TCTRegObserver` (the template
// palette) about each change. The installer uses it too, in its `Silent` mode.
//
// Where the list lives, as the local machine's "Software\Fernwright\Shared\Templates" says:
//   "RegKey"  the key under the current user that holds the list;
//   "RootDir" the folder in which template files are kept by default.
#pragma once

#include "platform/StringList.h"
#include "platform/System.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kolva {

class TCTRegObserver;

class TCodeTemplateRegistry : public TObject {
public:
    TCodeTemplateRegistry() = default;
    /// Observers that outlive the registry are detached.
    ~TCodeTemplateRegistry() override;
    TCodeTemplateRegistry(const TCodeTemplateRegistry&) = delete;
    TCodeTemplateRegistry& operator=(const TCodeTemplateRegistry&) = delete;

    /// The key of the template list, read once and kept until ResetCache: the "RegKey"
    /// string of the local machine; without one, the modelling tool's
    /// "Software\Tovr\Fernwright\5.0\Templates" when the current user has that key, else
    /// "Software\Fernwright\Shared\Templates".
    std::string GetRegKey();
    /// The template folder, read once and kept until ResetCache: the "RootDir" string of the
    /// local machine; without one, DefaultTemplateDir of the program's folder.
    std::string GetRootDir();
    /// Forgets the key and the folder, so that the next request reads the registry again.
    void ResetCache();

    /// The list key holds a value named Name (ASCII case ignored).
    bool TemplateExists(std::string_view Name);
    /// The file and page of the template Name, each trimmed; the page is empty when the value
    /// holds one item. False (and both left alone) when the list or the value has no item.
    bool ReadTemplate(std::string_view Name, std::string& FileName, std::string& Page);
    /// Clears List and fills it with the names of the templates, in the registry's order.
    void GetTemplateNames(TStringList& List);
    /// Clears List and fills it with the page of every readable template, each page once
    /// (ASCII case ignored, the first spelling met kept), in the order of the names.
    void GetPages(TStringList& List);

    /// Registers the template (creating the list key when missing), replacing a value of
    /// that name, and tells every observer in order.
    void WriteTemplate(const std::string& FileName, const std::string& Name,
                       const std::string& Page);
    /// Removes the value Name when the list has it, then tells every observer in every case.
    void DeleteTemplate(const std::string& Name);
    /// The user's registration: Name trimmed, or else the file's name without folder and
    /// extension (Exception "Undefined Template is not registered" when that is empty too).
    /// An existing template of that name is replaced only when the user confirms; otherwise,
    /// and always in Silent mode, the call ends with the silent EAbort and nothing changed.
    /// Unless Silent, the user is then told that the template was added (and how to give it
    /// an image when the file has no bitmap beside it).
    void AddTemplate(const std::string& FileName, const std::string& Name, const std::string& Page);

    /// No message box is shown and an existing template is never replaced (the installer).
    bool Silent = false;

    /// An observer is kept once however often it is added; it is not owned.
    void AddObserver(TCTRegObserver& Observer);
    void RemoveObserver(TCTRegObserver& Observer);
    const std::vector<TCTRegObserver*>& Observers() const { return FObservers; }

private:
    template <typename TCall>
    void Notify(TCall Call);

    std::vector<TCTRegObserver*> FObservers;
    std::string FRootDir;
    std::string FRegKey;
};

/// The process-wide registry, created on first use and freed at exit.
TCodeTemplateRegistry& TemplateRegistry();

/// The template folder beside a program in Folder (a Windows path with a trailing
/// backslash): the folder above a "\BIN\" in it (ASCII case ignored) plus "\Template", or
/// else Folder plus "Template"; "" when that folder does not exist.
std::string DefaultTemplateDir(std::string_view Folder);

/// Hears about every change of a registry's template list while it lives.
class TCTRegObserver : public TObject {
public:
    explicit TCTRegObserver(TCodeTemplateRegistry& Registry = TemplateRegistry());
    ~TCTRegObserver() override;
    TCTRegObserver(const TCTRegObserver&) = delete;
    TCTRegObserver& operator=(const TCTRegObserver&) = delete;

    std::function<void(const std::string& FileName, const std::string& Name,
                       const std::string& Page)>
        OnTemplateAdded;
    std::function<void(const std::string& Name)> OnTemplateRemoved;

private:
    friend class TCodeTemplateRegistry;
    TCodeTemplateRegistry* FRegistry;
};

} // namespace kolva
