// The access list of the program's folder on the real Windows API. Wine 8
// enforces no list and keeps none either: it turns a list it is given into
// the Unix mode of the folder and answers every question from that mode
// (the owner is always the user, SYSTEM, the user and Everyone are its only
// entries, no "protected" flag). Under Wine these tests therefore read back
// what the mode can carry (who besides the user may change the folder), and
// the rules for owners and lists that Wine cannot hold are judged on lists
// made in memory.
#include <gtest/gtest.h>

#include <aclapi.h>
#include <sddl.h>

#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "FolderProgramuWin32.h"
#include "PlatformaWin32.h"
#include "Win32Testy.h"

using namespace testy_win32;
using platforma::StanFolderuProgramu;

namespace {

constexpr wchar_t kSystem[] = L"S-1-5-18";
constexpr wchar_t kAdministratorzy[] = L"S-1-5-32-544";
constexpr wchar_t kWszyscy[] = L"S-1-1-0";
constexpr DWORD kDziedziczony = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;

std::wstring Tekst(PSID sid) {
    wchar_t* t = nullptr;
    if (!sid || !ConvertSidToStringSidW(sid, &t)) return L"<brak>";
    std::wstring wynik(t);
    LocalFree(t);
    return wynik;
}

std::wstring SidUzytkownika() {
    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    BYTE dane[256];
    DWORD rozmiar = sizeof dane;
    GetTokenInformation(token, TokenUser, dane, rozmiar, &rozmiar);
    CloseHandle(token);
    return Tekst(reinterpret_cast<TOKEN_USER*>(dane)->User.Sid);
}

struct Wpis {
    std::wstring kto;
    ACCESS_MASK prawa;
    DWORD dziedziczenie;
    bool operator<(const Wpis& w) const {
        return std::tie(kto, prawa, dziedziczenie) < std::tie(w.kto, w.prawa, w.dziedziczenie);
    }
    bool operator==(const Wpis& w) const {
        return kto == w.kto && prawa == w.prawa && dziedziczenie == w.dziedziczenie;
    }
};

void PrintTo(const Wpis& w, std::ostream* os) {
    *os << std::string(w.kto.begin(), w.kto.end()) << " 0x" << std::hex << w.prawa << " flags 0x" << w.dziedziczenie
        << std::dec;
}

// A folder's security as the system returns it, read independently of the
// code under test.
struct Zabezpieczenia {
    bool odczytane = false;
    std::wstring wlasciciel;
    bool chronione = false;  // SE_DACL_PROTECTED: nothing inherited from the parent
    bool jestLista = false;
    std::set<Wpis> pozwolenia;
};

Zabezpieczenia Czytaj(const std::u16string& sciezka) {
    Zabezpieczenia z;
    PSID wlasciciel = nullptr;
    ACL* lista = nullptr;
    PSECURITY_DESCRIPTOR opis = nullptr;
    if (GetNamedSecurityInfoW(W(sciezka), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                              &wlasciciel, nullptr, &lista, nullptr, &opis) != ERROR_SUCCESS) {
        return z;
    }
    z.odczytane = true;
    z.wlasciciel = Tekst(wlasciciel);
    SECURITY_DESCRIPTOR_CONTROL kontrola = 0;
    DWORD wersja = 0;
    GetSecurityDescriptorControl(opis, &kontrola, &wersja);
    z.chronione = (kontrola & SE_DACL_PROTECTED) != 0;
    z.jestLista = lista != nullptr;
    for (DWORD i = 0; lista && i < lista->AceCount; ++i) {
        void* wpis = nullptr;
        GetAce(lista, i, &wpis);
        const auto* a = static_cast<ACCESS_ALLOWED_ACE*>(wpis);
        EXPECT_EQ(a->Header.AceType, ACCESS_ALLOWED_ACE_TYPE) << "entry " << i;
        z.pozwolenia.insert({Tekst(const_cast<DWORD*>(&a->SidStart)), a->Mask,
                             static_cast<DWORD>(a->Header.AceFlags & (kDziedziczony | INHERIT_ONLY_ACE))});
    }
    LocalFree(opis);
    return z;
}

// Gives a folder a list allowing each SID the rights given, inherited by
// what it holds, and open to what its parent passes on.
bool Otworz(const std::u16string& sciezka, std::initializer_list<std::pair<const wchar_t*, ACCESS_MASK>> wpisy) {
    std::vector<PSID> sidy;
    BYTE bufor[1024];
    ACL* lista = reinterpret_cast<ACL*>(bufor);
    InitializeAcl(lista, sizeof bufor, ACL_REVISION);
    for (const auto& [kto, prawa] : wpisy) {
        PSID sid = nullptr;
        ConvertStringSidToSidW(kto, &sid);
        sidy.push_back(sid);
        AddAccessAllowedAceEx(lista, ACL_REVISION, kDziedziczony, prawa, sid);
    }
    const DWORD kod = SetNamedSecurityInfoW(const_cast<wchar_t*>(W(sciezka)), SE_FILE_OBJECT,
                                            DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION,
                                            nullptr, nullptr, lista, nullptr);
    for (PSID sid : sidy) LocalFree(sid);
    return kod == ERROR_SUCCESS;
}

bool PodWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

constexpr ACCESS_MASK kPrawaZmiany = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_DELETE_CHILD | DELETE | WRITE_DAC |
                                     WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

// The entries that let someone other than the user, SYSTEM and the
// administrators change the folder.
std::set<Wpis> ZmianyInnych(const Zabezpieczenia& z, const std::wstring& uzytkownik) {
    std::set<Wpis> wynik;
    for (const Wpis& w : z.pozwolenia) {
        if (w.kto == uzytkownik || w.kto == kSystem || w.kto == kAdministratorzy) continue;
        if (w.prawa & kPrawaZmiany) wynik.insert(w);
    }
    return wynik;
}

class FolderProgramuWin32 : public ::testing::Test {
protected:
    std::unique_ptr<platforma::ISystemPlikow> pliki = platforma::UtworzSystemPlikowWin32();
    FolderTestu folder;
    const std::wstring uzytkownik = SidUzytkownika();
    // What every program folder ends up with.
    const std::set<Wpis> chroniona{{uzytkownik, FILE_ALL_ACCESS, kDziedziczony},
                                   {kSystem, FILE_ALL_ACCESS, kDziedziczony},
                                   {kAdministratorzy, FILE_ALL_ACCESS, kDziedziczony},
                                   {kWszyscy, FILE_GENERIC_READ | FILE_GENERIC_EXECUTE, kDziedziczony}};
};

TEST_F(FolderProgramuWin32, ANewFolderIsMadeWithTheProtectedList) {
    const std::u16string pakiet = folder / u"KV-Tek";
    const std::u16string produkt = pakiet + u"\\Kavrostel8";
    EXPECT_EQ(pliki->PrzygotujFolderProgramu(produkt), StanFolderuProgramu::Brak) << "one level at a time";
    EXPECT_FALSE(Jest(pakiet));
    ASSERT_EQ(pliki->PrzygotujFolderProgramu(pakiet), StanFolderuProgramu::Chroniony);
    ASSERT_EQ(pliki->PrzygotujFolderProgramu(produkt), StanFolderuProgramu::Chroniony);
    for (const auto& sciezka : {pakiet, produkt}) {
        SCOPED_TRACE(std::string(sciezka.begin(), sciezka.end()));
        const Zabezpieczenia z = Czytaj(sciezka);
        ASSERT_TRUE(z.odczytane);
        EXPECT_EQ(z.wlasciciel, uzytkownik);
        EXPECT_EQ(ZmianyInnych(z, uzytkownik), std::set<Wpis>{});
        EXPECT_TRUE(z.pozwolenia.count({kWszyscy, FILE_GENERIC_READ | FILE_GENERIC_EXECUTE, kDziedziczony}))
            << "everyone may read and run";
        if (!PodWine()) {
            EXPECT_TRUE(z.chronione) << "the parent's list must not be inherited";
            EXPECT_EQ(z.pozwolenia, chroniona);
        }
    }
}

// An existing folder of the user's, open to everyone (as C:\'s list makes a
// folder an older installation created), is closed; the same again is
// harmless. A file in the folder's place, or a missing parent, is left to
// the download to report.
TEST_F(FolderProgramuWin32, AnExistingFolderOfTheUsersIsProtectedAgain) {
    const std::u16string stary = folder / u"KV-Tek";
    ASSERT_TRUE(CreateDirectoryW(W(stary), nullptr));
    ASSERT_TRUE(Otworz(stary, {{kWszyscy, FILE_ALL_ACCESS}, {uzytkownik.c_str(), FILE_ALL_ACCESS}}));
    ASSERT_NE(ZmianyInnych(Czytaj(stary), uzytkownik), std::set<Wpis>{}) << "the folder must start open";

    for (int raz = 0; raz < 2; ++raz) {
        EXPECT_EQ(pliki->PrzygotujFolderProgramu(stary), StanFolderuProgramu::Chroniony);
        const Zabezpieczenia z = Czytaj(stary);
        EXPECT_EQ(ZmianyInnych(z, uzytkownik), std::set<Wpis>{});
        if (!PodWine()) {
            EXPECT_TRUE(z.chronione);
            EXPECT_EQ(z.pozwolenia, chroniona);
        }
    }

    ZapiszPlik(folder / u"plik", "x");
    EXPECT_EQ(pliki->PrzygotujFolderProgramu(folder / u"plik"), StanFolderuProgramu::Brak);
    EXPECT_EQ(pliki->PrzygotujFolderProgramu(folder / u"brak\\KV-Tek"), StanFolderuProgramu::Brak);
}

// The judgment of an owner and a list, made in memory (SDDL; %U is the
// user): another user's folder is refused whatever its list, the system's or
// the administrators' is taken when nobody else may change it, refused when
// the list lets others write, delete, rename or change the list (an
// inheriting entry counts: it passes to the program file), and denying
// entries are not weighed.
TEST(OcenFolderuProgramu, OwnersAndListsAsJudged) {
    struct {
        const wchar_t* sddl;
        StanFolderuProgramu stan;
    } przypadki[] = {
        {L"O:S-1-5-21-1-2-3-1077D:P(A;OICI;FA;;;S-1-5-21-1-2-3-1077)", StanFolderuProgramu::Obcy},
        {L"O:S-1-5-21-1-2-3-1077D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;%U)", StanFolderuProgramu::Obcy},
        {L"O:BUD:P(A;OICI;FA;;;SY)", StanFolderuProgramu::Obcy},
        {L"O:%UD:P(A;OICI;FA;;;%U)(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;WD)",
         StanFolderuProgramu::Chroniony},
        {L"O:SYD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FRFX;;;BU)", StanFolderuProgramu::Chroniony},
        {L"O:S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464D:P(A;OICI;FA;;;SY)(A;OICI;FRFX;;;WD)",
         StanFolderuProgramu::Chroniony},
        {L"O:BAD:P(A;OICI;FA;;;BA)(A;OICIIO;GA;;;CO)", StanFolderuProgramu::Chroniony},
        {L"O:BAD:(A;OICI;FA;;;BA)(A;OICI;FW;;;WD)", StanFolderuProgramu::OtwartyDlaInnych},
        {L"O:SYD:(A;OICI;FA;;;SY)(A;;SD;;;AU)", StanFolderuProgramu::OtwartyDlaInnych},
        {L"O:SYD:(A;OICI;FA;;;SY)(A;OICIIO;0x1301bf;;;AU)", StanFolderuProgramu::OtwartyDlaInnych},
        {L"O:SYD:(A;OICI;FA;;;SY)(A;;0x2;;;WD)", StanFolderuProgramu::OtwartyDlaInnych},
        {L"O:SYD:(A;OICI;FA;;;SY)(A;;WD;;;BU)", StanFolderuProgramu::OtwartyDlaInnych},
        {L"O:SYD:(A;OICI;FA;;;SY)(A;;0x40;;;S-1-5-21-1-2-3-1077)", StanFolderuProgramu::OtwartyDlaInnych},
        {L"O:SYD:(D;OICI;FA;;;WD)(A;OICI;FA;;;WD)", StanFolderuProgramu::OtwartyDlaInnych},
        {L"O:SY", StanFolderuProgramu::OtwartyDlaInnych},  // no list at all: everyone may do anything
        // The user's own folder, judged as it stands (before it is protected again).
        {L"O:%UD:(A;OICI;FA;;;%U)(A;OICI;0x1301bf;;;AU)", StanFolderuProgramu::OtwartyDlaInnych},
    };
    const std::wstring uzytkownik = SidUzytkownika();
    for (const auto& p : przypadki) {
        std::wstring sddl = p.sddl;
        for (std::size_t k; (k = sddl.find(L"%U")) != std::wstring::npos;) sddl.replace(k, 2, uzytkownik);
        SCOPED_TRACE(std::string(sddl.begin(), sddl.end()));
        PSECURITY_DESCRIPTOR opis = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &opis,
                                                                         nullptr));
        PSID wlasciciel = nullptr;
        BOOL domyslny = FALSE, jest = FALSE;
        ACL* lista = nullptr;
        GetSecurityDescriptorOwner(opis, &wlasciciel, &domyslny);
        GetSecurityDescriptorDacl(opis, &jest, &lista, &domyslny);
        EXPECT_EQ(platforma::OcenFolderuProgramu(wlasciciel, jest ? lista : nullptr), p.stan);
        LocalFree(opis);
    }
}

}  // namespace
