// The rows of the explorer's member list: which members of the selected tree item become
// rows under the filters, with the captions, images and sort keys the list draws them by.
// The list itself is virtual: it asks the cache for each row it paints.
#pragma once

#include "editing/EditInterfaces.h"
#include "model/CodeItems.h"
#include "settings/KOLVAOpts.h"

#include <string>
#include <vector>

namespace kolva {

/// What decides the rows of one listing.
struct TListingFilter {
    /// The member kinds shown for a class kind (the module always shows its procedures).
    TCodeItems Kinds = {ckField, ckMethod, ckProperty, ckResClause};
    TVisibilities Visibilities = TVisibilities::All();
    bool ShowLocalProcs = true;
    /// The listed class is the root class of an open form designer.
    bool FormClass = false;
    TDesignerRestrictions Restrictions;
    TDetailsSortMode SortMode = smCode;
};

/// One row of the member list.
struct TDisplayRow {
    /// For a method implementation linked to its declaration, the declaration.
    TCodeItem* Item = nullptr;
    int KindRank = 4;
    /// A TModelImage, or -1 for none.
    int KindImage = -1;
    /// Visibility + 7, which is also the visibility image; -1 for a local procedure.
    int VisibilityRank = -1;
    int ExtraImage = -1;
    std::string Caption;
    bool Local = false;
};

class TDisplayCache {
public:
    /// Fills the rows for the members of Item under Filter, sorted by its sort mode; no
    /// rows for a null Item.
    void List(TCodeItem* Item, const TListingFilter& Filter);
    void Clear() { FRows.clear(); }

    int Count() const { return static_cast<int>(FRows.size()); }
    /// EXPECTS: 0 <= Index < Count().
    const TDisplayRow& Row(int Index) const { return FRows[Index]; }
    /// The row of the member named Name (ASCII case ignored), the first of overloads; -1
    /// when none.
    int IndexOfName(const std::string& Name) const;
    /// The row of Item (or of the declaration it implements); -1 when none.
    int IndexOfItem(const TCodeItem* Item) const;

    TDetailsSortMode SortMode() const { return FSortMode; }
    /// Set for the module's list: its visibilities sort the other way round.
    bool ReversedVisibility() const { return FReversedVisibility; }
    /// Negative, zero or positive as A sorts before, with or after B.
    int Compare(const TDisplayRow& A, const TDisplayRow& B) const;

    /// Builds the row of one member.
    static TDisplayRow MakeRow(TCodeItem& Item, bool Local);

private:
    bool Accepts(const TCodeItem& Member, bool ModuleList, const TListingFilter& Filter) const;
    void AddLocalRows();
    void AddLocalsOf(TCodeItem& Routine, std::vector<TDisplayRow>& Into) const;

    std::vector<TDisplayRow> FRows;
    TDetailsSortMode FSortMode = smCode;
    bool FReversedVisibility = false;
};

} // namespace kolva
