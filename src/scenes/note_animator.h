#pragma once
// Animators that notes start. A scene that answers notes with animators
// makes a fixed set of them once and moves one to each new note's window,
// so its animator list stays the same length for the whole show. Header
// only; no state of its own.
#include <climits>
#include <cstdint>

// A window no demo time reaches: the animator waits for its first note.
inline constexpr int32_t NEVER_MS = INT_MIN;

// Moves the animator to [start_ms, start_ms + length_ms], running from -> to.
template <typename tAnimator, typename T>
void restart(tAnimator& a, int32_t start_ms, int32_t length_ms, const T& from, const T& to)
{
    a.start = start_ms;
    a.end = start_ms + length_ms;
    a.from = from;
    a.to = to;
}
