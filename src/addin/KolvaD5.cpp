// KolvaD5.dll: the add-in library the IDE loads. Its one export is the expert entry; nothing
// the add-in raises may reach the IDE through it.
#include "addin/KolvaExpert.h"

#include <QWidget>

using namespace kolva;

namespace {

/// The IDE calls it before unloading the library, after releasing the expert.
void Terminate() {
    EndAddin();
}

} // namespace

extern "C" __attribute__((visibility("default"))) bool
INITEXPERT0017(TIToolServices* Services, TExpertRegisterProc RegisterProc,
               TExpertTerminateProc* TerminateProc) {
    try {
        if (!Services || !RegisterProc || !TerminateProc) return false;
        StartAddin(*Services);
        *TerminateProc = Terminate;
        return RegisterProc(new TExpertWrapper(*Services));
    } catch (...) {
        return false;
    }
}
