// The order of member kinds in sorted member lists, shared by the explorer's list and the
// rearranging of a class's members.
#pragma once

namespace kolva {

class TCodeItem;

/// Resolution clause 0, field 1, constructor 2, destructor 3, property 5, every other
/// routine and anything else 4.
int MemberKindRank(const TCodeItem& Item);

} // namespace kolva
