#pragma once
// What the user sees when a download fails. The HTTP clients describe a
// failure with a message; this table turns the message into the notice.
#include <span>
#include <string>
#include <string_view>

// One rule of the table: a failure whose message contains `znacznik`
// (case-sensitive; an empty marker matches everything) is shown as
// `tekst`, followed by the failure's own message when `zKomunikatem`.
struct RegulaBleduPobierania {
    std::u16string_view znacznik;
    std::u16string_view tekst;
    bool zKomunikatem;
};

// The rules in the order they are tried; the last one matches every message.
std::span<const RegulaBleduPobierania> RegulyBledowPobierania();

// The notice for a failed download with the given message.
std::u16string TekstBleduPobierania(std::u16string_view komunikat);

// The message an HTTP client gives to a failure of the connection itself
// (name resolution, connecting, a reset, a time limit), so that the table
// above recognises it: it always contains "Socket".
std::u16string KomunikatBleduPolaczenia(std::u16string_view przyczyna);
