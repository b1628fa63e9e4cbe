#pragma once
// File-system operations, shaped after the Windows calls the installer makes.
// Paths are Windows paths (drive letters, "\"); each implementation maps them.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platforma {

// A file being written next to its final place. It becomes the target only
// through Zatwierdz; dropping the object any other way removes it, so an
// interrupted write never leaves a partial target or a stray file behind.
class IPlikTymczasowy {
public:
    virtual ~IPlikTymczasowy() = default;
    // Appends bytes. On failure `blad` gets the system's message.
    virtual bool Zapisz(const void* dane, std::size_t ile, std::u16string& blad) = 0;
    // Flushes to the disk, closes, and replaces the target in one atomic step.
    virtual bool Zatwierdz(std::u16string& blad) = 0;
};

// Windows file attributes that the installer touches.
inline constexpr std::uint32_t ATRYBUT_TYLKO_DO_ODCZYTU = 0x1;  // FILE_ATTRIBUTE_READONLY
inline constexpr std::uint32_t ATRYBUT_UKRYTY = 0x2;            // FILE_ATTRIBUTE_HIDDEN
inline constexpr std::uint32_t ATRYBUT_SYSTEMOWY = 0x4;         // FILE_ATTRIBUTE_SYSTEM

// How a folder that is to hold a program stands after PrzygotujFolderProgramu.
enum class StanFolderuProgramu {
    // Only the user, the system and the administrators may change it; everyone may read and run.
    Chroniony,
    // Missing and not made (its parent is missing, say): what follows fails as it would anyway.
    Brak,
    // Owned by another user, who may change its access list at any time.
    Obcy,
    // Others may write into it, delete it or rename it, and it could not be closed to them.
    OtwartyDlaInnych,
};

class ISystemPlikow {
public:
    virtual ~ISystemPlikow() = default;

    // GetFileAttributesW: a file (not a folder) exists; links are followed.
    virtual bool PlikIstnieje(const std::u16string& sciezka) const = 0;
    // GetFileAttributesW: a folder exists; links are followed.
    virtual bool FolderIstnieje(const std::u16string& sciezka) const = 0;
    // CreateDirectoryW: one level; the parent must exist.
    virtual bool UtworzFolder(const std::u16string& sciezka) = 0;
    // A folder whose program others must not replace: made one level, like
    // UtworzFolder, with an access list (a mode on POSIX) that lets only the
    // user, the system and the administrators change it, from the moment it
    // exists; an existing folder of the user's gets that list, one of anyone
    // else's is judged and never changed. Anything but Chroniony and Brak
    // means nothing may be written into it.
    virtual StanFolderuProgramu PrzygotujFolderProgramu(const std::u16string& sciezka) = 0;
    // SetFileAttributesW; 0 clears read-only, hidden and system.
    virtual bool UstawAtrybuty(const std::u16string& sciezka, std::uint32_t atrybuty) = 0;
    // CopyFileW: a full copy; with bladGdyIstnieje false an existing target is replaced.
    virtual bool KopiujPlik(const std::u16string& zrodlo, const std::u16string& cel,
                            bool bladGdyIstnieje) = 0;
    // DeleteFileW.
    virtual bool UsunPlik(const std::u16string& sciezka) = 0;
    // RemoveDirectoryW: only an empty folder is removed.
    virtual bool UsunFolder(const std::u16string& sciezka) = 0;
    // Opens a new temporary file in the folder of `cel` that Zatwierdz later
    // renames over `cel`. Returns null and fills `blad` when it cannot be made.
    virtual std::unique_ptr<IPlikTymczasowy> UtworzPlikTymczasowy(const std::u16string& cel,
                                                                  std::u16string& blad) = 0;
    // Removes what UtworzPlikTymczasowy left beside `cel` when the process
    // writing it ended without dropping it (killed, or the system stopped):
    // only files of exactly its naming pattern, and only those no process
    // holds open. Returns how many it removed.
    virtual int UsunPozostaleTymczasowe(const std::u16string& cel) = 0;

    // The system's own spelling of a Windows path, for the window toolkit's
    // file dialog; empty when the path lies on no drive. Identity on Windows.
    virtual std::u16string NaSciezkeSystemu(const std::u16string& sciezka) const = 0;
    // The Windows path of a path in the system's spelling (inverse of the above).
    virtual std::u16string ZeSciezkiSystemu(const std::u16string& sciezkaSystemu) const = 0;
};

}  // namespace platforma
