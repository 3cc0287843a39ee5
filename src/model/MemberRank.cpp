#include "model/MemberRank.h"

#include "model/CodeItems.h"

namespace kolva {

int MemberKindRank(const TCodeItem& Item) {
    switch (Item.Kind()) {
    case ckResClause:
        return 0;
    case ckField:
        return 1;
    case ckProperty:
        return 5;
    default:
        break;
    }
    if (const auto* proc = dynamic_cast<const TProcItem*>(&Item)) {
        if (proc->ProcKind == pkConstructor) return 2;
        if (proc->ProcKind == pkDestructor) return 3;
    }
    return 4;
}

} // namespace kolva
