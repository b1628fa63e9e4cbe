# The maker's public keys, pinned into the installer when it is built.
#
# KAVROSTEL_KLUCZE: a ;-list of PEM files of P-256 public keys; each key's
# keyid is its file's name without ".pem". Empty: a throw-away pair is made in
# ${CMAKE_BINARY_DIR}/klucze/ (keyid kavrostel-test), and the installer carries
# the marker KAVROSTEL-KLUCZ-TYMCZASOWY so that the release medium refuses it.
# KAVROSTEL_PODPIS_OD: YYYY-MM-DD; signatures created before that day are
# refused. Empty: no floor.
#
# Sets KV_KLUCZE_ZRODLO (the generated source), and for the tests
# KV_KLUCZ_PRYWATNY (the throw-away private key, empty when keys were given)
# and KV_KLUCZ_ID (its keyid).
set(KAVROSTEL_KLUCZE "" CACHE STRING "PEM files of the maker's P-256 public keys (;-list); keyid = file name without .pem")
set(KAVROSTEL_PODPIS_OD "" CACHE STRING "YYYY-MM-DD: refuse signatures created before this day (empty: none)")

find_program(KV_OPENSSL openssl REQUIRED)

set(_kv_klucze ${KAVROSTEL_KLUCZE})
set(_kv_tymczasowe 0)
set(KV_KLUCZ_PRYWATNY "")
set(KV_KLUCZ_ID "")
if(NOT _kv_klucze)
  set(_kv_folder ${CMAKE_BINARY_DIR}/klucze)
  set(KV_KLUCZ_ID kavrostel-test)
  set(KV_KLUCZ_PRYWATNY ${_kv_folder}/${KV_KLUCZ_ID}.key)
  if(NOT EXISTS ${KV_KLUCZ_PRYWATNY} OR NOT EXISTS ${_kv_folder}/${KV_KLUCZ_ID}.pem)
    file(MAKE_DIRECTORY ${_kv_folder})
    file(CHMOD ${_kv_folder} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
    file(REMOVE ${KV_KLUCZ_PRYWATNY} ${_kv_folder}/${KV_KLUCZ_ID}.pem)
    # The folder is the owner's alone before the key is written into it.
    execute_process(COMMAND ${KV_OPENSSL} genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256
                            -out ${KV_KLUCZ_PRYWATNY}
                    RESULT_VARIABLE _kv_rc ERROR_VARIABLE _kv_blad)
    if(NOT _kv_rc EQUAL 0)
      message(FATAL_ERROR "openssl could not make the throw-away key: ${_kv_blad}")
    endif()
    file(CHMOD ${KV_KLUCZ_PRYWATNY} FILE_PERMISSIONS OWNER_READ OWNER_WRITE)
    execute_process(COMMAND ${KV_OPENSSL} pkey -in ${KV_KLUCZ_PRYWATNY} -pubout -out ${_kv_folder}/${KV_KLUCZ_ID}.pem
                    RESULT_VARIABLE _kv_rc ERROR_VARIABLE _kv_blad)
    if(NOT _kv_rc EQUAL 0)
      message(FATAL_ERROR "openssl could not write the throw-away public key: ${_kv_blad}")
    endif()
  endif()
  set(_kv_klucze ${_kv_folder}/${KV_KLUCZ_ID}.pem)
  set(_kv_tymczasowe 1)
  message(WARNING "KAVROSTEL_KLUCZE is empty: this installer trusts a throw-away key made in ${_kv_folder} "
                  "(keyid ${KV_KLUCZ_ID}). It accepts only releases signed with that key; the release medium refuses it.")
endif()

# The SubjectPublicKeyInfo of a P-256 key in DER is this prefix followed by
# the 65-byte uncompressed point; anything else is not a P-256 public key.
set(_kv_przedrostek 3059301306072a8648ce3d020106082a8648ce3d030107034200)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/klucze)
set(_kv_wiersze "")
set(_kv_idy "")
foreach(_kv_pem ${_kv_klucze})
  if(NOT IS_ABSOLUTE ${_kv_pem})
    get_filename_component(_kv_pem ${_kv_pem} ABSOLUTE BASE_DIR ${CMAKE_SOURCE_DIR})
  endif()
  get_filename_component(_kv_id ${_kv_pem} NAME)
  string(REGEX REPLACE "\\.pem$" "" _kv_id ${_kv_id})
  if(NOT _kv_id MATCHES "^[A-Za-z0-9._-]+$")
    message(FATAL_ERROR "Key file ${_kv_pem}: its name (the keyid) may hold only letters, digits, '.', '_' and '-'")
  endif()
  if(_kv_id IN_LIST _kv_idy)
    message(FATAL_ERROR "Two keys with the keyid ${_kv_id}")
  endif()
  list(APPEND _kv_idy ${_kv_id})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_kv_pem})
  set(_kv_der ${CMAKE_BINARY_DIR}/klucze/${_kv_id}.der)
  execute_process(COMMAND ${KV_OPENSSL} pkey -pubin -in ${_kv_pem} -outform DER -out ${_kv_der}
                  RESULT_VARIABLE _kv_rc ERROR_VARIABLE _kv_blad)
  if(NOT _kv_rc EQUAL 0)
    message(FATAL_ERROR "Key file ${_kv_pem} is no PEM public key: ${_kv_blad}")
  endif()
  file(READ ${_kv_der} _kv_hex HEX)
  file(REMOVE ${_kv_der})
  string(LENGTH "${_kv_hex}" _kv_dl)
  string(SUBSTRING "${_kv_hex}" 0 52 _kv_poczatek)
  if(NOT _kv_dl EQUAL 182 OR NOT _kv_poczatek STREQUAL _kv_przedrostek)
    message(FATAL_ERROR "Key file ${_kv_pem} is not a P-256 public key")
  endif()
  string(SUBSTRING "${_kv_hex}" 52 130 _kv_punkt)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," _kv_punkt ${_kv_punkt})
  string(APPEND _kv_wiersze "        {\"${_kv_id}\", {${_kv_punkt}}},\n")
endforeach()

set(_kv_rok 0)
set(_kv_miesiac 0)
set(_kv_dzien 0)
if(KAVROSTEL_PODPIS_OD)
  if(NOT KAVROSTEL_PODPIS_OD MATCHES "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$")
    message(FATAL_ERROR "KAVROSTEL_PODPIS_OD must be YYYY-MM-DD, got '${KAVROSTEL_PODPIS_OD}'")
  endif()
  math(EXPR _kv_rok "${CMAKE_MATCH_1}")
  math(EXPR _kv_miesiac "1${CMAKE_MATCH_2} - 100")
  math(EXPR _kv_dzien "1${CMAKE_MATCH_3} - 100")
  if(_kv_miesiac LESS 1 OR _kv_miesiac GREATER 12 OR _kv_dzien LESS 1 OR _kv_dzien GREATER 31)
    message(FATAL_ERROR "KAVROSTEL_PODPIS_OD is no date: '${KAVROSTEL_PODPIS_OD}'")
  endif()
endif()

set(KV_KLUCZE_ZRODLO ${CMAKE_BINARY_DIR}/klucze/KluczeWbudowane.cpp)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/klucze)
set(_kv_tresc "// Generated by cmake/Klucze.cmake from KAVROSTEL_KLUCZE: do not edit.
#include \"PodpisOdpowiedzi.h\"

namespace {

constexpr bool kTymczasowe = ${_kv_tymczasowe};
const char kZnacznik[] = \"KAVROSTEL-KLUCZ-\" \"TYMCZASOWY\";

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
constexpr std::int64_t Dni(std::int64_t r, std::int64_t m, std::int64_t d) {
    r -= m <= 2;
    const std::int64_t era = (r >= 0 ? r : r - 399) / 400;
    const std::int64_t rok = r - era * 400;
    const std::int64_t dzienRoku = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t dzienEry = rok * 365 + rok / 4 - rok / 100 + dzienRoku;
    return era * 146097 + dzienEry - 719468;
}

}  // namespace

const std::vector<KluczPodpisu>& KluczeWbudowane() {
    static const std::vector<KluczPodpisu> klucze{
${_kv_wiersze}    };
    return klucze;
}

std::int64_t PodpisOdWbudowany() {
    constexpr std::int64_t rok = ${_kv_rok};
    return rok == 0 ? 0 : Dni(rok, ${_kv_miesiac}, ${_kv_dzien}) * 86400;
}

bool KluczeTymczasowe() {
    if (!kTymczasowe) return false;
    // Read through a volatile pointer, so that the marker stays in the binary.
    const char* volatile znacznik = kZnacznik;
    return znacznik[0] != 0;
}
")
if(_kv_tymczasowe)
  # The marker must appear whole in the binary: one literal.
  string(REPLACE "\"KAVROSTEL-KLUCZ-\" \"TYMCZASOWY\"" "\"KAVROSTEL-KLUCZ-TYMCZASOWY\"" _kv_tresc "${_kv_tresc}")
endif()
file(CONFIGURE OUTPUT ${KV_KLUCZE_ZRODLO} CONTENT "${_kv_tresc}" @ONLY)
