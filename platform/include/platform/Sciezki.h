#pragma once
// Windows path helpers. Paths in the installer are composed by plain
// concatenation and are never normalised; these only take them apart.
#include <string>
#include <string_view>

namespace platforma {

// True for the characters that end a folder part: "\", "/" and the drive ":".
bool JestOgranicznikiem(char16_t znak);

// The folder part of a path, up to and including its last delimiter
// ("C:\KV-Tek\a.exe" -> "C:\KV-Tek\", "D:a" -> "D:"); empty when there is none.
std::u16string FolderZSeparatorem(std::u16string_view sciezka);

// The folder part without the trailing delimiter, except at a drive root,
// which keeps it ("D:\plik.exe" -> "D:\", "D:\Dane\plik.exe" -> "D:\Dane").
std::u16string FolderPliku(std::u16string_view sciezka);

}  // namespace platforma
