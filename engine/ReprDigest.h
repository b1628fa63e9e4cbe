#pragma once
// The sha-256 digest that a reply's Repr-Digest header (RFC 9530) gives
// for the file: a Structured Fields dictionary (RFC 8941) of algorithm
// names and byte sequences, "sha-256=:BASE64:, sha-512=:...:".
#include <string_view>

#include "Sha256.h"

struct OczekiwanySha256 {
    enum class Stan {
        Brak,  // no header, or none of its members names sha-256
        Jest,  // sha-256 with a well-formed 32-byte value
        Zly,   // a member names sha-256, but its value is not a 32-byte sequence
    };
    Stan stan = Stan::Brak;
    WynikSha256 wartosc{};
};

// `naglowek`: the values of every Repr-Digest field line of the reply,
// joined with ", " (empty when there is none). Algorithm names are compared
// without regard to letter case; when sha-256 is named more than once the
// last member counts, as for any dictionary of Structured Fields.
OczekiwanySha256 OdczytajReprDigest(std::string_view naglowek);
