#pragma once
// The maker of the program, KV-Tek, as the licence page shows it: one place
// for the studio name, the web site, the telephone numbers and the support
// address. The addresses lie under the reserved .example domain.

inline constexpr char16_t PRODUCENT_NAZWA[] = u"Pracownia KV-Tek";
inline constexpr char16_t PRODUCENT_WWW[] = u"http://www.kv-tek.example/";
// What LabelWWW shows: the same site.
inline constexpr char16_t PRODUCENT_WWW_NAPIS[] = u"www.kv-tek.example";
inline constexpr char16_t PRODUCENT_TELEFON1[] = u"tel. +48 00 111 22 33";
inline constexpr char16_t PRODUCENT_TELEFON2[] = u"tel. +48 00 444 55 66";
inline constexpr char16_t PRODUCENT_EMAIL[] = u"pomoc@kv-tek.example";
