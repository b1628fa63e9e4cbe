// The access list of a folder that holds a program: only the user, the
// system and the administrators may change it, everyone may read and run.
// A folder made under C:\ would otherwise inherit C:\'s list, on which every
// signed-in user may change new folders: another user could replace the
// program, and the next start through a shortcut would run theirs.
#include "FolderProgramuWin32.h"

#include <aclapi.h>
#include <sddl.h>

#include <memory>
#include <vector>

namespace platforma {
namespace {

using Bajty = std::vector<BYTE>;

Bajty SidZnany(WELL_KNOWN_SID_TYPE rodzaj) {
    Bajty sid(SECURITY_MAX_SID_SIZE);
    DWORD rozmiar = static_cast<DWORD>(sid.size());
    if (!CreateWellKnownSid(rodzaj, nullptr, sid.data(), &rozmiar)) return {};
    sid.resize(rozmiar);
    return sid;
}

// TOKEN_USER and TOKEN_OWNER both begin with the SID's address.
Bajty SidTokenu(TOKEN_INFORMATION_CLASS klasa) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    DWORD rozmiar = 0;
    GetTokenInformation(token, klasa, nullptr, 0, &rozmiar);
    Bajty dane(rozmiar);
    Bajty sid;
    if (rozmiar && GetTokenInformation(token, klasa, dane.data(), rozmiar, &rozmiar)) {
        PSID p = *reinterpret_cast<PSID*>(dane.data());
        if (IsValidSid(p)) {
            const BYTE* poczatek = static_cast<const BYTE*>(p);
            sid.assign(poczatek, poczatek + GetLengthSid(p));
        }
    }
    CloseHandle(token);
    return sid;
}

Bajty SidZTekstu(const wchar_t* tekst) {
    PSID p = nullptr;
    if (!ConvertStringSidToSidW(tekst, &p)) return {};
    const BYTE* poczatek = static_cast<const BYTE*>(p);
    Bajty sid(poczatek, poczatek + GetLengthSid(p));
    LocalFree(p);
    return sid;
}

bool Rowne(PSID sid, const Bajty& wzor) {
    return sid && !wzor.empty() && IsValidSid(sid) && EqualSid(sid, const_cast<BYTE*>(wzor.data()));
}

// Rights that let their holder put another program in the folder's place:
// add or replace files and folders in it, delete or rename it or what it
// holds, change its access list or its owner. On an inheriting entry the
// same bits mean writing into the files it passes to.
constexpr ACCESS_MASK PRAWA_ZMIANY = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_DELETE_CHILD | DELETE |
                                     WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

struct Tozsamosci {
    Bajty uzytkownik = SidTokenu(TokenUser);
    // An elevated administrator's new objects belong to the Administrators group.
    Bajty wlascicielDomyslny = SidTokenu(TokenOwner);
    Bajty system = SidZnany(WinLocalSystemSid);
    Bajty administratorzy = SidZnany(WinBuiltinAdministratorsSid);
    Bajty wszyscy = SidZnany(WinWorldSid);
    // The owner of Windows' own folders (C:\Program Files and the like).
    Bajty instalatorSystemu = SidZTekstu(L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464");
    // Stand-ins replaced by the creator of each new object: they give
    // nobody else anything.
    Bajty tworca = SidZnany(WinCreatorOwnerSid);
    Bajty grupaTworcy = SidZnany(WinCreatorGroupSid);
    Bajty prawaWlasciciela = SidZTekstu(L"S-1-3-4");

    bool Wlasny(PSID sid) const { return Rowne(sid, uzytkownik) || Rowne(sid, wlascicielDomyslny); }
    bool Zaufany(PSID sid) const {
        return Wlasny(sid) || Rowne(sid, system) || Rowne(sid, administratorzy) || Rowne(sid, instalatorSystemu);
    }
    bool Zastepczy(PSID sid) const {
        return Rowne(sid, tworca) || Rowne(sid, grupaTworcy) || Rowne(sid, prawaWlasciciela);
    }
};

// Whether an entry lets someone outside the trusted ones change the folder
// or what it will hold. Denying entries are not weighed against allowing
// ones: a list that needs them to be closed is taken as open.
bool OtwartaDlaInnych(const ACL* lista, const Tozsamosci& t) {
    // No list at all: everyone may do everything.
    if (!lista) return true;
    for (DWORD i = 0; i < lista->AceCount; ++i) {
        void* wpis = nullptr;
        if (!GetAce(const_cast<ACL*>(lista), i, &wpis)) return true;
        const auto* naglowek = static_cast<const ACE_HEADER*>(wpis);
        if (naglowek->AceType != ACCESS_ALLOWED_ACE_TYPE && naglowek->AceType != ACCESS_ALLOWED_CALLBACK_ACE_TYPE) {
            continue;
        }
        const auto* pozwolenie = static_cast<const ACCESS_ALLOWED_ACE*>(wpis);
        PSID sid = const_cast<DWORD*>(&pozwolenie->SidStart);
        if (t.Zaufany(sid) || t.Zastepczy(sid)) continue;
        if (pozwolenie->Mask & PRAWA_ZMIANY) return true;
    }
    return false;
}

StanFolderuProgramu Osad(PSID wlasciciel, const ACL* lista, const Tozsamosci& t) {
    if (!t.Zaufany(wlasciciel)) return StanFolderuProgramu::Obcy;
    return OtwartaDlaInnych(lista, t) ? StanFolderuProgramu::OtwartyDlaInnych : StanFolderuProgramu::Chroniony;
}

// The list every program folder gets, inherited by everything made in it.
class ListaChroniona {
public:
    explicit ListaChroniona(const Tozsamosci& t) {
        const std::pair<const Bajty*, ACCESS_MASK> wpisy[] = {
            {&t.uzytkownik, FILE_ALL_ACCESS},
            {&t.system, FILE_ALL_ACCESS},
            {&t.administratorzy, FILE_ALL_ACCESS},
            {&t.wszyscy, FILE_GENERIC_READ | FILE_GENERIC_EXECUTE},
        };
        DWORD rozmiar = sizeof(ACL);
        for (const auto& [sid, prawa] : wpisy) {
            if (sid->empty()) return;
            rozmiar += sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + static_cast<DWORD>(sid->size());
        }
        lista_.resize(rozmiar);
        if (!InitializeAcl(Lista(), rozmiar, ACL_REVISION)) {
            lista_.clear();
            return;
        }
        for (const auto& [sid, prawa] : wpisy) {
            if (!AddAccessAllowedAceEx(Lista(), ACL_REVISION, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE, prawa,
                                       const_cast<BYTE*>(sid->data()))) {
                lista_.clear();
                return;
            }
        }
    }
    bool Gotowa() const { return !lista_.empty(); }
    ACL* Lista() { return reinterpret_cast<ACL*>(lista_.data()); }

private:
    // DWORD-aligned, as an ACL must be.
    std::vector<BYTE> lista_;
};

struct ZwolnijLokalnie {
    void operator()(void* p) const { LocalFree(p); }
};

// The owner and the list as they stand; an existing folder of the user's
// is given the protected list first (and its contents the inherited part of
// it), then read again, so that what is judged is what is there.
StanFolderuProgramu Ocen(const wchar_t* sciezka, const Tozsamosci& t, bool moznaChronic) {
    PSID wlasciciel = nullptr;
    ACL* lista = nullptr;
    PSECURITY_DESCRIPTOR opis = nullptr;
    if (GetNamedSecurityInfoW(sciezka, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                              &wlasciciel, nullptr, &lista, nullptr, &opis) != ERROR_SUCCESS) {
        // Not even its owner may be read: someone else's folder.
        return StanFolderuProgramu::Obcy;
    }
    std::unique_ptr<void, ZwolnijLokalnie> zwolnij(opis);
    if (moznaChronic && t.Wlasny(wlasciciel)) {
        ListaChroniona nowa(t);
        if (nowa.Gotowa() &&
            SetNamedSecurityInfoW(const_cast<wchar_t*>(sciezka), SE_FILE_OBJECT,
                                  DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                                  nullptr, nowa.Lista(), nullptr) == ERROR_SUCCESS) {
            return Ocen(sciezka, t, false);
        }
    }
    return Osad(wlasciciel, lista, t);
}

// A link or junction in the folder's place is judged by its own owner as
// well: whoever owns it may point it elsewhere later.
bool LaczeObce(const wchar_t* sciezka, const Tozsamosci& t) {
    HANDLE uchwyt = CreateFileW(sciezka, READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                nullptr);
    if (uchwyt == INVALID_HANDLE_VALUE) return true;
    PSID wlasciciel = nullptr;
    PSECURITY_DESCRIPTOR opis = nullptr;
    const DWORD kod = GetSecurityInfo(uchwyt, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &wlasciciel, nullptr,
                                      nullptr, nullptr, &opis);
    CloseHandle(uchwyt);
    std::unique_ptr<void, ZwolnijLokalnie> zwolnij(opis);
    return kod != ERROR_SUCCESS || !t.Zaufany(wlasciciel);
}

}  // namespace

StanFolderuProgramu OcenFolderuProgramu(PSID wlasciciel, const ACL* lista) {
    return Osad(wlasciciel, lista, Tozsamosci{});
}

StanFolderuProgramu PrzygotujFolderProgramuWin32(const wchar_t* sciezka) {
    const Tozsamosci t;
    ListaChroniona lista(t);
    if (lista.Gotowa()) {
        // The list is set as the folder is made, never after: there is no
        // moment at which it carries the inherited one.
        SECURITY_DESCRIPTOR opis;
        SECURITY_ATTRIBUTES atrybuty{sizeof atrybuty, &opis, FALSE};
        if (InitializeSecurityDescriptor(&opis, SECURITY_DESCRIPTOR_REVISION) &&
            SetSecurityDescriptorDacl(&opis, TRUE, lista.Lista(), FALSE) &&
            SetSecurityDescriptorControl(&opis, SE_DACL_PROTECTED, SE_DACL_PROTECTED) &&
            CreateDirectoryW(sciezka, &atrybuty)) {
            return StanFolderuProgramu::Chroniony;
        }
    }
    const DWORD atrybutyPliku = GetFileAttributesW(sciezka);
    if (atrybutyPliku == INVALID_FILE_ATTRIBUTES || !(atrybutyPliku & FILE_ATTRIBUTE_DIRECTORY)) {
        // Not made (its parent is missing, say) and nothing to judge: what
        // follows fails with the system's own reason.
        return StanFolderuProgramu::Brak;
    }
    if ((atrybutyPliku & FILE_ATTRIBUTE_REPARSE_POINT) && LaczeObce(sciezka, t)) return StanFolderuProgramu::Obcy;
    return Ocen(sciezka, t, true);
}

}  // namespace platforma
