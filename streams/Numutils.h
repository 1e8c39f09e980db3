#pragma once
// Small integer helpers used by the buffering code.

#include "platform/rtl/SysUtils.h"

inline Longint IntMin(Longint A, Longint B) {
    return A < B ? A : B;
}
inline Longint IntMax(Longint A, Longint B) {
    return A > B ? A : B;
}
inline Word WordMax(Word A, Word B) {
    return A > B ? A : B;
}
inline bool IntInRange(Longint V, Longint Lo, Longint Hi) {
    return Lo <= V && V <= Hi;
}
/// V limited to Lo..Hi; Lo wins when Lo > Hi.
inline Longint IntClamp(Longint V, Longint Lo, Longint Hi) {
    return IntMax(Lo, IntMin(Hi, V));
}
