#pragma once
// The licence agreement shown on the licence page: 234 fixed slots, each one
// display line of at most 80 characters, or empty. Empty slots separate the
// paragraphs and sections; the presentation skips them, so the listing
// holds the 219 lines with text.
#include <array>
#include <cstddef>
#include <string_view>

inline constexpr std::size_t kLiczbaSlotowUmowy = 234;

extern const std::array<std::u16string_view, kLiczbaSlotowUmowy> TrescUmowy;
