// Dockable forms of an add-in and the desktop: a form floats and docks with its events heard,
// and the open files, the front file and the shown forms come back at the next start.
#include "host/DockFrame.h"
#include "host/EditControl.h"
#include "host/EditWindow.h"
#include "host/HostIDE.h"
#include "support/ScriptedDialogs.h"
#include "support/TempPrefix.h"
#include "toolsapi/ClassNames.h"

#include <QApplication>
#include <QLabel>
#include <QLayout>

#include <gtest/gtest.h>

namespace kolva::test {
namespace {

struct TFormEvents final : TInterfacedObject, INTADockableFormEvents {
    std::string* Log;
    explicit TFormEvents(std::string* Log) : Log(Log) {}
    KOLVA_IMPLEMENT_REFCOUNT
    void OnShow() noexcept override { *Log += "show "; }
    void OnHide() noexcept override { *Log += "hide "; }
    void OnEndDock() noexcept override { *Log += "dock "; }
    void OnUnDock() noexcept override { *Log += "undock "; }
    void OnDestroy() noexcept override { *Log += "destroy "; }
};

struct TFormClass final : TInterfacedObject, INTADesktopFormClass {
    std::string Log;
    KOLVA_IMPLEMENT_REFCOUNT
    TIntf<INTADockableFormEvents> CreateForm(INTADockableForm* Frame) noexcept override {
        Frame->GetWidget()->layout()->addWidget(new QLabel("explorer"));
        Log += "create ";
        return new TFormEvents(&Log);
    }
};

TEST(Desktop, FormsDockFloatAndComeBackWithTheFiles) {
    TScriptedDialogs dialogs;
    std::string a = TempPrefix() + "/A.pas", b = TempPrefix() + "/B.pas";
    WriteNative(a, "unit A;\n");
    WriteNative(b, "unit B;\n");
    TIntf<TFormClass> formClass(new TFormClass);
    {
        THostIDE ide;
        ASSERT_TRUE(ide.DesktopServices().RegisterDesktopFormClass("KOLVAForm", formClass.Get()));
        EXPECT_FALSE(ide.DesktopServices().RegisterDesktopFormClass("kolvaform", formClass.Get()));
        EXPECT_FALSE(ide.DesktopServices().DockableForm("Unknown"));
        TIntf<THostModule> front = ide.OpenFile(a);
        ide.OpenFile(b);
        ide.Window().ShowTab(front->Buffer()->Control());
        ide.Window().show();
        TIntf<INTADockableForm> form = ide.DesktopServices().DockableForm("KOLVAForm");
        ASSERT_TRUE(form);
        form->Show();
        QApplication::processEvents();
        EXPECT_EQ(ClassNameOf(form->GetHostWindow()), "TEditWindow");
        form->SetFloating(true);
        EXPECT_EQ(ClassNameOf(form->GetHostWindow()), "TDockFrame");
        form->SetFloating(false);
        QApplication::processEvents();
        EXPECT_EQ(ClassNameOf(form->GetHostWindow()), "TEditWindow");
        ide.SaveDesktop();
    }
    EXPECT_EQ(formClass->Log, "create show undock dock destroy ");

    formClass->Log.clear();
    THostIDE ide;
    ide.DesktopServices().RegisterDesktopFormClass("KOLVAForm", formClass.Get());
    ide.RestoreDesktop();
    ASSERT_EQ(ide.OpenModules().size(), 2u);
    EXPECT_EQ(ide.OpenModules()[0]->NativeFileName(), a);
    EXPECT_EQ(ide.OpenModules()[1]->NativeFileName(), b);
    EXPECT_EQ(ide.FrontModule()->NativeFileName(), a);
    ASSERT_EQ(ide.DockFrames().count("KOLVAForm"), 1u);
    EXPECT_FALSE(ide.DockFrames().at("KOLVAForm")->isHidden());
    EXPECT_EQ(formClass->Log.substr(0, 7), "create ");
}

} // namespace
} // namespace kolva::test
