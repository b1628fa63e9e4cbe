#pragma once
// Base64 as RFC 8941 byte sequences use it (Repr-Digest, Signature): the
// standard alphabet, with or without "=" padding, nothing else.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Nothing when the text is not Base64 of that form.
std::optional<std::vector<std::uint8_t>> ZBase64(std::string_view tekst);
std::string DoBase64(const std::vector<std::uint8_t>& dane);
