// Integer helpers shared by the add-in and the installer. All values are 32-bit signed.
#pragma once

#include <cstdint>

namespace kolva {

inline int32_t Min(int32_t A, int32_t B) {
    return A < B ? A : B;
}
inline int32_t Max(int32_t A, int32_t B) {
    return A > B ? A : B;
}
inline bool InRange(int32_t V, int32_t Lo, int32_t Hi) {
    return Lo <= V && V <= Hi;
}
/// Clamps V to Lo..Hi; when Lo > Hi, Lo wins.
inline int32_t EnsureRange(int32_t V, int32_t Lo, int32_t Hi) {
    return Max(Lo, Min(Hi, V));
}

} // namespace kolva
