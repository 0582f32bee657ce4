#pragma once

#include <array>

namespace kvx {

// The four sections of the test. SectionEnd(k) is the last item of section k; index 0 holds
// 0 so that section k covers SectionEnd(k-1)+1 .. SectionEnd(k).
inline constexpr std::array<int, 5> SectionEnd{0, 94, 135, 145, 155};

// Number of answer choices of section 1..4 (index 0 unused); scoring weights codes up to it.
inline constexpr std::array<int, 5> SectionChoices{0, 2, 4, 2, 4};

inline constexpr int kSectionCount = 4;

} // namespace kvx
