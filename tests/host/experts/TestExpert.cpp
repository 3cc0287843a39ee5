// An add-in for the host's loading tests, built three ways: one that starts (it puts an item
// into the View menu after "ViewObjInspItem" and takes it out again when its expert goes),
// one that answers false (KOLVA_EXPERT_REFUSES), and one without the entry point
// (KOLVA_EXPERT_NO_ENTRY). It includes only the tools interface, as an add-in does.
#include "toolsapi/ExptIntf.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

using namespace kolva;

class TTestExpert final : public TInterfacedObject, public TIExpert {
public:
    explicit TTestExpert(TIToolServices& Services) {
        QMenuBar* menu = Services.NTAServices().GetMainMenu();
        auto* views = menu->findChild<QMenu*>("ViewsMenu");
        FItem = new QAction("Test Expert", views);
        FItem->setObjectName("TestExpertItem");
        QAction* before = nullptr;
        const QList<QAction*> items = views->actions();
        for (int i = 0; i < items.size(); ++i)
            if (items[i]->objectName() == "ViewObjInspItem" && i + 1 < items.size())
                before = items[i + 1];
        views->insertAction(before, FItem);
    }
    ~TTestExpert() override { delete FItem; }
    KOLVA_IMPLEMENT_REFCOUNT

    std::string GetName() noexcept override { return "Test Expert"; }
    std::string GetAuthor() noexcept override { return {}; }
    std::string GetComment() noexcept override { return {}; }
    std::string GetPage() noexcept override { return {}; }
    TExpertStyle GetStyle() noexcept override { return esAddIn; }
    TExpertState GetState() noexcept override { return 0; }
    std::string GetIDString() noexcept override { return "Kolva.TestExpert"; }
    std::string GetMenuText() noexcept override { return {}; }
    void Execute() noexcept override {}

private:
    QAction* FItem;
};

} // namespace

#ifndef KOLVA_EXPERT_NO_ENTRY
extern "C" __attribute__((visibility("default"))) bool
INITEXPERT0017(TIToolServices* ToolServices, TExpertRegisterProc RegisterProc,
               TExpertTerminateProc* Terminate) {
    try {
        *Terminate = nullptr;
#ifdef KOLVA_EXPERT_REFUSES
        (void)ToolServices;
        (void)RegisterProc;
        return false;
#else
        return RegisterProc(new TTestExpert(*ToolServices));
#endif
    } catch (...) {
        return false;
    }
}
#endif
