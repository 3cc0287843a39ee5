#include "explorer/DisplCache.h"

#include "explorer/ModelImages.h"
#include "model/MemberRank.h"
#include "model/ModuleExplorer.h"
#include "platform/SysUtils.h"

#include <algorithm>

namespace kolva {

namespace {

// The strict visibilities are filtered and ranked with their plain ones: the filter's six
// buttons stand for the six visibilities a user chooses among.
TVisibility PlainVisibility(TVisibility Value) {
    if (Value == scStrictPrivate) return scPrivate;
    if (Value == scStrictProtected) return scProtected;
    return Value;
}

int KindImage(const TCodeItem& Item) {
    switch (Item.Kind()) {
    case ckField:
        return imField;
    case ckProperty:
        return imProperty;
    case ckResClause:
        return imResClause;
    case ckProcedure:
    case ckMethod:
    case ckMethodImpl:
        switch (static_cast<const TProcItem&>(Item).ProcKind) {
        case pkConstructor:
            return imConstructor;
        case pkDestructor:
            return imDestructor;
        case pkFunction:
        case pkOperator:
            return imFunction;
        case pkProcedure:
            return imProcedure;
        }
        return imProcedure;
    default:
        return imNone;
    }
}

int ExtraImage(const TCodeItem& Item) {
    if (Item.Kind() == ckMethod || Item.Kind() == ckMethodImpl) {
        auto& Method = static_cast<const TProcItem&>(Item);
        if (Method.IsAbstract()) return imAbstract;
        return imStatic + static_cast<int>(Method.Binding());
    }
    if (Item.Kind() == ckProperty) {
        auto& Property = static_cast<const TPropertyItem&>(Item);
        bool Reads = !Property.ReadSpec.empty(), Writes = !Property.WriteSpec.empty();
        if (Reads && Writes) return imReadWrite;
        if (Reads) return imReadOnly;
        if (Writes) return imWriteOnly;
    }
    return imNone;
}

// A procedure's local procedures are the children of its implementation.
TCodeItem& BodyOf(TCodeItem& Routine) {
    return *TModuleExplorer::ImplementationOf(&Routine);
}

} // namespace

TDisplayRow TDisplayCache::MakeRow(TCodeItem& Item, bool Local) {
    TDisplayRow Row;
    Row.Item = &Item;
    Row.Local = Local;
    Row.KindRank = MemberKindRank(Item);
    Row.KindImage = KindImage(Item);
    Row.ExtraImage = ExtraImage(Item);
    Row.Caption = Item.GetDisplayText();
    if (Local) return Row;
    if (Item.Kind() == ckUses)
        Row.VisibilityRank = Item.Visibility == scPublic ? imVisPublic : imVisPrivate;
    else
        Row.VisibilityRank = VisibilityImage(Item.Visibility);
    return Row;
}

bool TDisplayCache::Accepts(const TCodeItem& Member, bool ModuleList,
                            const TListingFilter& Filter) const {
    TCodeItems Kinds = ModuleList ? TCodeItems{ckProcedure} : Filter.Kinds;
    if (!Kinds.Contains(Member.Kind())) return false;
    TVisibilities Visibilities = Filter.Visibilities;
    bool HideFields = Filter.FormClass && Filter.Restrictions.Contains(drHideFields);
    bool HideMethods = Filter.FormClass && Filter.Restrictions.Contains(drHideMethods);
    if (HideFields && HideMethods) Visibilities.Exclude(scDefault);
    if (!Visibilities.Contains(PlainVisibility(Member.Visibility))) return false;
    if (ModuleList) {
        // Each procedure once: its implementation is not listed beside its declaration.
        auto* Declaration = static_cast<const TProcItem&>(Member).DeclarationLink();
        if (Declaration && Declaration->StartLine < Member.StartLine) return false;
    }
    if (Member.Visibility == scDefault) {
        if (HideFields && Member.Kind() == ckField) return false;
        if (HideMethods && Member.Kind() == ckMethod) return false;
    }
    return true;
}

void TDisplayCache::List(TCodeItem* Item, const TListingFilter& Filter) {
    FRows.clear();
    FSortMode = Filter.SortMode;
    if (!Item) return;
    bool ModuleList = Item->Kind() == ckModule;
    FReversedVisibility = ModuleList;
    for (TCodeItem* Member : Item->Children())
        if (Accepts(*Member, ModuleList, Filter)) FRows.push_back(MakeRow(*Member, false));
    if (FSortMode != smCode)
        std::stable_sort(
            FRows.begin(), FRows.end(),
            [this](const TDisplayRow& A, const TDisplayRow& B) { return Compare(A, B) < 0; });
    TCodeItems Kinds = ModuleList ? TCodeItems{ckProcedure} : Filter.Kinds;
    if (Filter.ShowLocalProcs && (Kinds.Contains(ckProcedure) || Kinds.Contains(ckMethod)))
        AddLocalRows();
    if (ModuleList)
        for (TCodeItem* Member : Item->Children())
            if (Member->Kind() == ckUses) FRows.push_back(MakeRow(*Member, false));
}

void TDisplayCache::AddLocalsOf(TCodeItem& Routine, std::vector<TDisplayRow>& Into) const {
    for (TCodeItem* Child : BodyOf(Routine).Children()) {
        if (Child->Kind() != ckProcedure) continue;
        Into.push_back(MakeRow(*Child, true));
        AddLocalsOf(*Child, Into);
    }
}

void TDisplayCache::AddLocalRows() {
    std::vector<TDisplayRow> Rows;
    Rows.reserve(FRows.size());
    for (TDisplayRow& Row : FRows) {
        TCodeItem& Item = *Row.Item;
        Rows.push_back(std::move(Row));
        if (IsRoutineKind(Item.Kind())) AddLocalsOf(Item, Rows);
    }
    FRows = std::move(Rows);
}

int TDisplayCache::Compare(const TDisplayRow& A, const TDisplayRow& B) const {
    int N = CompareText(A.Caption, B.Caption);
    if (N == 0 || FSortMode == smName || FSortMode == smCode) return N;
    int V = A.VisibilityRank - B.VisibilityRank;
    if (FReversedVisibility) V = -V;
    int K = A.KindRank - B.KindRank;
    int R = 0;
    switch (FSortMode) {
    case smVisibility:
        R = V;
        break;
    case smKind:
        R = K;
        break;
    case smVisKind:
        R = V ? V : K;
        break;
    case smKindVis:
        R = K ? K : V;
        break;
    default:
        break;
    }
    return R ? R : N;
}

int TDisplayCache::IndexOfName(const std::string& Name) const {
    for (int I = 0; I < Count(); ++I)
        if (SameText(FRows[I].Item->Name, Name)) return I;
    return -1;
}

int TDisplayCache::IndexOfItem(const TCodeItem* Item) const {
    const TCodeItem* Declaration = TModuleExplorer::DeclarationOf(const_cast<TCodeItem*>(Item));
    for (int I = 0; I < Count(); ++I)
        if (FRows[I].Item == Item || FRows[I].Item == Declaration) return I;
    return -1;
}

} // namespace kolva
