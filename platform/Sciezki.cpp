#include "platform/Sciezki.h"

namespace platforma {

bool JestOgranicznikiem(char16_t znak) { return znak == u'\\' || znak == u'/' || znak == u':'; }

namespace {

// Index of the last delimiter, or npos.
std::size_t OstatniOgranicznik(std::u16string_view sciezka) {
    for (std::size_t i = sciezka.size(); i > 0; --i) {
        if (JestOgranicznikiem(sciezka[i - 1])) return i - 1;
    }
    return std::u16string_view::npos;
}

}  // namespace

std::u16string FolderZSeparatorem(std::u16string_view sciezka) {
    const std::size_t i = OstatniOgranicznik(sciezka);
    if (i == std::u16string_view::npos) return {};
    return std::u16string(sciezka.substr(0, i + 1));
}

std::u16string FolderPliku(std::u16string_view sciezka) {
    std::size_t i = OstatniOgranicznik(sciezka);
    if (i == std::u16string_view::npos) return {};
    // The separator is dropped unless it follows another delimiter (the ":" of
    // a drive root such as "D:\") or is the very first character ("\plik").
    if (i > 0 && sciezka[i] != u':' && !JestOgranicznikiem(sciezka[i - 1])) {
        return std::u16string(sciezka.substr(0, i));
    }
    return std::u16string(sciezka.substr(0, i + 1));
}

}  // namespace platforma
