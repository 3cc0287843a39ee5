// The desktop is a registry key of its own rather than a file beside a project: the stand-in
// has no projects, and the registry of the prefix is where the per-user state lives. Qt's
// own window state (geometry, dock areas) is kept as hexadecimal text.
#include "host/DockFrame.h"
#include "host/EditControl.h"
#include "host/EditWindow.h"
#include "host/HostIDE.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/SysUtils.h"

#include <QByteArray>

namespace kolva {

namespace {

std::string Hex(const QByteArray& Bytes) {
    return Bytes.toHex().toStdString();
}

QByteArray FromHex(const std::string& Text) {
    return QByteArray::fromHex(QByteArray::fromStdString(Text));
}

} // namespace

void THostIDE::SaveDesktop() {
    TRegistry reg;
    reg.DeleteKey(DesktopKey);
    if (!reg.OpenKey(DesktopKey, true)) return;
    int front = -1;
    TIntf<THostModule> frontModule = FrontModule();
    std::vector<TEditControl*> controls = FWindow->Controls();
    int count = 0;
    for (TEditControl* control : controls)
        for (const TIntf<THostModule>& module : FModules)
            if (module->Buffer() && module->Buffer()->Control() == control) {
                if (module == frontModule) front = count;
                reg.WriteString(Format("File_%d", count++), module->GetFileName());
            }
    reg.WriteInteger("FileCount", count);
    reg.WriteInteger("FrontFile", front);
    int forms = 0;
    for (const auto& [name, frame] : FDockFrames)
        if (!frame->isHidden()) reg.WriteString(Format("Form_%d", forms++), name);
    reg.WriteInteger("FormCount", forms);
    reg.WriteString("Geometry", Hex(FWindow->saveGeometry()));
    reg.WriteString("State", Hex(FWindow->saveState()));
}

void THostIDE::RestoreDesktop() {
    TRegistry reg;
    if (!reg.OpenKeyReadOnly(DesktopKey)) return;
    auto integer = [&](const char* Name) {
        return reg.ValueExists(Name) ? reg.ReadInteger(Name) : 0;
    };
    int count = integer("FileCount");
    int front = reg.ValueExists("FrontFile") ? reg.ReadInteger("FrontFile") : -1;
    std::vector<std::string> files;
    for (int i = 0; i < count; ++i)
        files.push_back(reg.ReadString(Format("File_%d", i)));
    std::vector<std::string> forms;
    for (int i = 0, n = integer("FormCount"); i < n; ++i)
        forms.push_back(reg.ReadString(Format("Form_%d", i)));
    QByteArray geometry = FromHex(reg.ReadString("Geometry"));
    QByteArray state = FromHex(reg.ReadString("State"));
    reg.CloseKey();

    TIntf<THostModule> frontModule;
    for (int i = 0; i < static_cast<int>(files.size()); ++i) {
        if (!FileExists(NativePath(files[i]))) continue;
        try {
            TIntf<THostModule> module = OpenFile(files[i]);
            if (i == front) frontModule = module;
        } catch (const std::exception&) {
            // A file that cannot be read any more is left out of the desktop.
        }
    }
    if (frontModule) FWindow->ShowTab(frontModule->Buffer()->Control());
    if (!geometry.isEmpty()) FWindow->restoreGeometry(geometry);
    for (const std::string& name : forms)
        if (TDockFrame* frame = MakeDockFrame(name)) frame->show();
    if (!state.isEmpty()) FWindow->restoreState(state);
}

} // namespace kolva
