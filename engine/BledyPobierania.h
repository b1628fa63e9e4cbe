#pragma once
// What the user sees when a download fails. The HTTP clients describe a
// failure with a message; one table gives every kind of failure that the
// download tells apart its message and the notice that message turns into.
#include <span>
#include <string>
#include <string_view>

// The kinds of failure of a download.
enum class BladPobierania {
    Polaczenie,       // name resolution, connecting, a reset, a time limit, no reply at all
    Posrednik,        // 407: the proxy wants credentials the installer cannot give
    Status,           // a reply status outside 2xx; the message is its status line
    CzescPliku,       // 206: a part of the file, never asked for
    BrakTresci,       // 204: a reply that carries no file
    PustaTresc,       // a 2xx reply with an empty body: the program file is never empty
    UcietePorcje,     // a chunked body that ends without its last chunk
    KrotszaTresc,     // a body shorter than its Content-Length
    ZlaOdpowiedz,     // a malformed reply from a server that was reached
    NiezgodnaSuma,    // the body's SHA-256 differs from the reply's Repr-Digest
    ZlaSuma,          // a Repr-Digest that names sha-256 with a malformed value
    NieOdProducenta,  // no valid signature of a pinned key over a sha-256 Repr-Digest and the path
    ZaDuzy,           // more than the largest program file, announced or sent
    Nadmiar,          // more bytes than the reply's Content-Length
    Inny,             // everything else: file errors, the libraries' own messages
};

// One row of the table, per kind of failure.
struct RegulaBleduPobierania {
    BladPobierania rodzaj;
    // The fixed beginning of the failure's message; the details follow it.
    std::u16string_view komunikat;
    // How the notice recognises the message: it contains `znacznik`
    // (case-sensitive; an empty marker matches everything).
    std::u16string_view znacznik;
    // The notice, followed by the failure's own message when `zKomunikatem`.
    std::u16string_view tekst;
    bool zKomunikatem;
};

// The rows in the order the notice tries them; the last one matches every message.
std::span<const RegulaBleduPobierania> RegulyBledowPobierania();

// The message of a failure of the given kind: its row's fixed beginning
// followed by `szczegoly`.
std::u16string KomunikatBledu(BladPobierania rodzaj, std::u16string_view szczegoly = {});

// The notice for a failed download with the given message.
std::u16string TekstBleduPobierania(std::u16string_view komunikat);

// The message of a failure of the connection itself. It always contains
// "Socket", so that the notice recognises it.
inline std::u16string KomunikatBleduPolaczenia(std::u16string_view przyczyna) {
    return KomunikatBledu(BladPobierania::Polaczenie, przyczyna);
}
