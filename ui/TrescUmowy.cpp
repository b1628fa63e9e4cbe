// The licence agreement of the demonstration edition, one display line a slot.
// An empty slot separates paragraphs and sections and is never listed.
#include "TrescUmowy.h"

const std::array<std::u16string_view, kLiczbaSlotowUmowy> TrescUmowy = {
    u"UMOWA LICENCYJNA - WERSJA DEMO 8.0",  // 0
    u"zawarta między Pracownią Projektową KV-Tek a Użytkownikiem programu",  // 1
    {},  // 2
    u"PRZED INSTALACJĄ PROSIMY UWAŻNIE PRZECZYTAĆ TĘ UMOWĘ",  // 3
    u"Niniejsza umowa licencyjna (dalej: Umowa) określa warunki, na jakich",  // 4
    u"Pracownia Projektowa KV-Tek (Licencjodawca) udostępnia wersję",  // 5
    u"demonstracyjną programu Kavrostel 8.0 z rodziny Vestra _Kavrostel.",  // 6
    u"Program (tak nazywa go dalej Umowa) jest narzędziem do projektowania",  // 7
    u"inżynierskiego. Wersja demonstracyjna służy wyłącznie do zapoznania",  // 8
    u"się z jego możliwościami przed decyzją o nabyciu pełnej licencji.",  // 9
    u"Instalując, kopiując lub w inny sposób korzystając z Programu,",  // 10
    u"Użytkownik potwierdza, że przeczytał Umowę, zrozumiał ją i zgadza się",  // 11
    u"przestrzegać wszystkich jej postanowień.",  // 12
    u"Jeżeli Użytkownik nie akceptuje warunków Umowy, powinien wybrać",  // 13
    u"odpowiedź \"Nie akceptuję\" i zakończyć pracę Instalatora. W takim",  // 14
    u"przypadku Program nie zostanie zainstalowany na komputerze.",  // 15
    u"Wybór odpowiedzi \"Akceptuję\" jest równoznaczny z zawarciem Umowy.",  // 16
    u"Umowa dotyczy wyłącznie wersji demonstracyjnej. Korzystanie z pełnej",  // 17
    u"wersji Programu wymaga odrębnej umowy licencyjnej zawartej",  // 18
    u"z Licencjodawcą albo z jego autoryzowanym przedstawicielem.",  // 19
    u"Wersja demonstracyjna może różnić się od wersji pełnej zakresem",  // 20
    u"funkcji, formatem zapisywanych plików oraz sposobem wydruku.",  // 21
    u"Licencjodawca zastrzega sobie prawo do wprowadzania takich różnic",  // 22
    u"bez uprzedzenia Użytkownika.",  // 23
    u"Pytania dotyczące Umowy należy kierować na adres Licencjodawcy",  // 24
    u"podany w oknie Instalatora w polach \"Kontakt\" i \"Pomoc techniczna\".",  // 25
    u"Umowa została sporządzona w języku polskim. W razie rozbieżności",  // 26
    u"pomiędzy jej tłumaczeniem a wersją polską rozstrzyga wersja polska.",  // 27
    u"Nagłówki sekcji Umowy mają wyłącznie charakter porządkowy i nie",  // 28
    u"wpływają na wykładnię jej postanowień.",  // 29
    u"Umowa wchodzi w życie z chwilą jej zaakceptowania przez Użytkownika.",  // 30
    {},  // 31
    {},  // 32
    {},  // 33
    {},  // 34
    u"I. DEFINICJE",  // 35
    u"1. Licencjodawca - Pracownia Projektowa KV-Tek, wydawca Programu.",  // 36
    u"2. Użytkownik - osoba fizyczna, osoba prawna albo jednostka",  // 37
    u"   organizacyjna, która zainstalowała Program lub z niego korzysta.",  // 38
    u"3. Program - wersja demonstracyjna programu Kavrostel 8.0 wraz",  // 39
    u"   z plikami pomocniczymi, programem aktualizującym, dokumentacją",  // 40
    u"   elektroniczną i przykładowymi projektami dostarczonymi przez",  // 41
    u"   Licencjodawcę.",  // 42
    u"4. Instalator - program, który pobiera Program z serwera",  // 43
    u"   dystrybucyjnego Licencjodawcy i umieszcza go na komputerze",  // 44
    u"   Użytkownika.",  // 45
    u"5. Projekt - plik utworzony przez Użytkownika przy pomocy Programu.",  // 46
    u"6. Komputer - jedno urządzenie, na którym Program został",  // 47
    u"   zainstalowany, niezależnie od liczby jego procesorów.",  // 48
    u"7. Okres demonstracyjny - czas, w którym Użytkownik może korzystać",  // 49
    u"   z Programu na warunkach Umowy, określony w sekcji III.",  // 50
    u"8. Wersja pełna - wydanie Programu rozpowszechniane odpłatnie, na",  // 51
    u"   podstawie odrębnej umowy licencyjnej.",  // 52
    u"9. Dane - informacje przekazane Licencjodawcy przez Użytkownika.",  // 53
    {},  // 54
    u"II. PRZEDMIOT UMOWY I UDZIELENIE LICENCJI",  // 55
    u"1. Licencjodawca udziela Użytkownikowi niewyłącznej, nieprzenoszalnej",  // 56
    u"   i nieodpłatnej licencji na korzystanie z Programu na warunkach",  // 57
    u"   określonych w Umowie.",  // 58
    u"2. Licencja obejmuje następujące pola eksploatacji:",  // 59
    u"   a) zainstalowanie Programu na jednym Komputerze Użytkownika,",  // 60
    u"   b) uruchamianie Programu i wyświetlanie wyników jego pracy,",  // 61
    u"   c) tworzenie Projektów w celu zapoznania się z Programem,",  // 62
    u"   d) sporządzenie jednej kopii zapasowej pliku instalacyjnego.",  // 63
    u"3. Program może być używany wyłącznie w celu oceny jego przydatności",  // 64
    u"   dla Użytkownika. Wykorzystywanie Programu do prac zarobkowych,",  // 65
    u"   w szczególności do sporządzania odpłatnych projektów dla osób",  // 66
    u"   trzecich, nie jest objęte licencją.",  // 67
    u"4. Projekty utworzone w wersji demonstracyjnej mogą zawierać znak",  // 68
    u"   wersji demonstracyjnej na rysunkach i wydrukach. Usuwanie lub",  // 69
    u"   zasłanianie tego znaku jest zabronione.",  // 70
    u"5. Licencjodawca może ograniczyć w Programie wielkość Projektów,",  // 71
    u"   liczbę elementów konstrukcji, liczbę arkuszy wydruku albo",  // 72
    u"   możliwość zapisu wyników obliczeń.",  // 73
    u"6. Użytkownik, który w okresie demonstracyjnym nabędzie Wersję",  // 74
    u"   pełną, może otwierać w niej Projekty utworzone w Programie,",  // 75
    u"   o ile format tych Projektów jest z nią zgodny.",  // 76
    u"7. Instalator umieszcza Program w folderze wskazanym przez",  // 77
    u"   Użytkownika oraz, na jego życzenie, tworzy skróty na pulpicie",  // 78
    u"   i w menu Start. Użytkownik może w każdej chwili usunąć Program",  // 79
    u"   przyciskiem \"Odinstaluj\" w oknie Instalatora.",  // 80
    u"8. Licencja nie obejmuje prawa do udzielania sublicencji,",  // 81
    u"   wynajmowania, użyczania ani odsprzedaży Programu.",  // 82
    u"9. Wszelkie prawa, które nie zostały wyraźnie przyznane",  // 83
    u"   Użytkownikowi w Umowie, pozostają przy Licencjodawcy.",  // 84
    u"10. Licencja jest udzielana na terytorium Rzeczypospolitej Polskiej",  // 85
    u"    oraz państw, w których Licencjodawca rozpowszechnia Program.",  // 86
    u"11. Licencjodawca może w każdej chwili zaprzestać rozpowszechniania",  // 87
    u"    wersji demonstracyjnej; nie narusza to praw Użytkownika, który",  // 88
    u"    zainstalował ją wcześniej, do końca Okresu demonstracyjnego.",  // 89
    {},  // 90
    u"III. OKRES OBOWIĄZYWANIA",  // 91
    u"1. Umowa obowiązuje przez 30 dni od dnia pierwszego uruchomienia",  // 92
    u"   Programu na danym Komputerze.",  // 93
    u"2. Po upływie Okresu demonstracyjnego Program może przestać działać",  // 94
    u"   albo działać wyłącznie w trybie przeglądania Projektów.",  // 95
    u"3. Ponowna instalacja nie przedłuża Okresu demonstracyjnego.",  // 96
    {},  // 97
    u"IV. OGRANICZENIA",  // 98
    u"1. Użytkownikowi nie wolno, z zastrzeżeniem przepisów prawa, które",  // 99
    u"   wyraźnie na to zezwalają:",  // 100
    u"   a) dekompilować, deasemblować ani w inny sposób odtwarzać kodu",  // 101
    u"      źródłowego Programu,",  // 102
    u"   b) modyfikować Programu, łączyć go z innym oprogramowaniem ani",  // 103
    u"      tworzyć na jego podstawie utworów zależnych,",  // 104
    u"   c) usuwać lub zmieniać oznaczeń autorstwa, znaków towarowych",  // 105
    u"      i informacji o prawach zastrzeżonych,",  // 106
    u"   d) obchodzić zabezpieczeń ograniczających funkcje Programu lub",  // 107
    u"      długość Okresu demonstracyjnego,",  // 108
    u"   e) udostępniać Programu w sieci komputerowej w sposób",  // 109
    u"      umożliwiający korzystanie z niego na więcej niż jednym",  // 110
    u"      Komputerze jednocześnie,",  // 111
    u"   f) rozpowszechniać kopii Programu bez pisemnej zgody",  // 112
    u"      Licencjodawcy.",  // 113
    u"2. Zgoda Licencjodawcy nie jest wymagana do przekazania osobie",  // 114
    u"   trzeciej niezmienionego pliku instalacyjnego w celach",  // 115
    u"   niekomercyjnych, pod warunkiem dołączenia treści Umowy.",  // 116
    u"3. Umieszczanie Programu na nośnikach dołączanych do czasopism,",  // 117
    u"   w serwisach internetowych lub w zbiorach oprogramowania wymaga",  // 118
    u"   uprzedniej pisemnej zgody Licencjodawcy.",  // 119
    u"4. Program nie jest przeznaczony do sterowania urządzeniami, których",  // 120
    u"   awaria mogłaby spowodować zagrożenie życia lub zdrowia ludzi,",  // 121
    u"   ani do obliczeń, od których zależy bezpieczeństwo konstrukcji",  // 122
    u"   oddawanych do użytku.",  // 123
    u"5. Wyniki uzyskane w wersji demonstracyjnej nie mogą stanowić",  // 124
    u"   podstawy dokumentacji projektowej przedkładanej organom",  // 125
    u"   administracji ani zamawiającym.",  // 126
    {},  // 127
    u"V. PRAWA AUTORSKIE",  // 128
    u"1. Program jest utworem w rozumieniu ustawy o prawie autorskim",  // 129
    u"   i prawach pokrewnych i podlega ochronie przewidzianej w tej",  // 130
    u"   ustawie oraz w umowach międzynarodowych.",  // 131
    u"2. Autorskie prawa majątkowe do Programu, jego dokumentacji,",  // 132
    u"   ikon i ilustracji przysługują Licencjodawcy.",  // 133
    u"3. Nazwy Kavrostel i Vestra są znakami towarowymi Licencjodawcy.",  // 134
    u"4. Prawa do Projektów utworzonych przez Użytkownika przysługują",  // 135
    u"   Użytkownikowi.",  // 136
    {},  // 137
    u"VI. WYŁĄCZENIE GWARANCJI",  // 138
    u"1. Program jest udostępniany w stanie, w jakim się znajduje (\"tak",  // 139
    u"   jak jest\"), bez jakichkolwiek gwarancji, wyraźnych ani",  // 140
    u"   dorozumianych.",  // 141
    u"2. Licencjodawca nie gwarantuje, że Program będzie działał bez",  // 142
    u"   przerw i błędów, że spełni oczekiwania Użytkownika ani że będzie",  // 143
    u"   współpracował z innym oprogramowaniem zainstalowanym na",  // 144
    u"   Komputerze.",  // 145
    u"3. Wersja demonstracyjna może zawierać funkcje w fazie testów,",  // 146
    u"   które nie znajdą się w Wersji pełnej.",  // 147
    u"4. Całe ryzyko związane z wynikami pracy Programu ponosi Użytkownik.",  // 148
    {},  // 149
    u"VII. OGRANICZENIE ODPOWIEDZIALNOŚCI",  // 150
    u"1. W najszerszym zakresie dozwolonym przez prawo Licencjodawca nie",  // 151
    u"   ponosi odpowiedzialności za jakiekolwiek szkody wynikłe",  // 152
    u"   z korzystania z Programu albo z niemożności korzystania z niego,",  // 153
    u"   w tym za:",  // 154
    u"   a) utratę danych, Projektów lub innych plików,",  // 155
    u"   b) utracone korzyści i przerwy w działalności gospodarczej,",  // 156
    u"   c) szkody wynikłe z błędów w obliczeniach lub rysunkach,",  // 157
    u"   d) uszkodzenie innego oprogramowania lub sprzętu,",  // 158
    u"   e) koszty zakupu produktów lub usług zastępczych.",  // 159
    u"2. Powyższe wyłączenie nie dotyczy szkód wyrządzonych umyślnie.",  // 160
    u"3. Użytkownik powinien regularnie sporządzać kopie zapasowe swoich",  // 161
    u"   Projektów i danych, także przed instalacją Programu.",  // 162
    u"4. Program pobiera plik instalacyjny z serwera Licencjodawcy przez",  // 163
    u"   sieć Internet. Licencjodawca nie odpowiada za przerwy w działaniu",  // 164
    u"   sieci ani za koszty transmisji danych ponoszone przez",  // 165
    u"   Użytkownika.",  // 166
    u"5. Jeżeli bezwzględnie obowiązujące przepisy prawa nie pozwalają na",  // 167
    u"   wyłączenie odpowiedzialności, jest ona ograniczona do kwoty",  // 168
    u"   stu złotych.",  // 169
    {},  // 170
    u"VIII. POBIERANIE I AKTUALIZACJE",  // 171
    u"1. Instalator pobiera najnowszą dostępną wersję Programu z serwera",  // 172
    u"   dystrybucyjnego Licencjodawcy w chwili instalacji.",  // 173
    u"2. Wraz z Programem może zostać zainstalowany program aktualizujący",  // 174
    u"   \"_Aktualizacja\", który sprawdza dostępność poprawek.",  // 175
    u"3. Aktualizacje i poprawki udostępnione przez Licencjodawcę są",  // 176
    u"   częścią Programu i podlegają postanowieniom Umowy, o ile nie",  // 177
    u"   towarzyszy im odrębna umowa.",  // 178
    u"4. Licencjodawca nie ma obowiązku wydawania aktualizacji wersji",  // 179
    u"   demonstracyjnej.",  // 180
    u"5. Przerwanie pobierania może spowodować, że Program nie zostanie",  // 181
    u"   zainstalowany. W takim przypadku instalację należy powtórzyć.",  // 182
    u"6. Użytkownik może usunąć program aktualizujący razem z Programem.",  // 183
    {},  // 184
    u"IX. DANE I POMOC TECHNICZNA",  // 185
    u"1. Instalator nie przesyła Licencjodawcy żadnych danych o Komputerze",  // 186
    u"   ani o Użytkowniku, z wyjątkiem informacji niezbędnych do pobrania",  // 187
    u"   Programu z serwera dystrybucyjnego.",  // 188
    u"2. Użytkownik może podać swoją nazwę i adres e-mail w polach",  // 189
    u"   \"Dane użytkownika\"; podanie tych danych jest dobrowolne.",  // 190
    u"3. Dane przekazane Licencjodawcy są przetwarzane wyłącznie w celu",  // 191
    u"   udzielenia pomocy technicznej i przedstawienia oferty Wersji",  // 192
    u"   pełnej, zgodnie z przepisami o ochronie danych osobowych.",  // 193
    u"4. Użytkownik ma prawo dostępu do swoich danych, ich sprostowania",  // 194
    u"   i usunięcia oraz prawo wniesienia sprzeciwu wobec ich",  // 195
    u"   przetwarzania.",  // 196
    u"5. Pomoc techniczna dla wersji demonstracyjnej jest udzielana",  // 197
    u"   nieodpłatnie, w miarę możliwości Licencjodawcy, drogą",  // 198
    u"   elektroniczną, na adres podany w polu \"Pomoc techniczna\".",  // 199
    u"6. Licencjodawca nie gwarantuje czasu odpowiedzi na zgłoszenia",  // 200
    u"   dotyczące wersji demonstracyjnej.",  // 201
    u"7. Zgłaszając błąd, Użytkownik powinien podać numer wersji",  // 202
    u"   Programu, nazwę systemu operacyjnego oraz opis czynności, które",  // 203
    u"   doprowadziły do wystąpienia błędu.",  // 204
    u"8. Licencjodawca może wykorzystać zgłoszone uwagi do ulepszenia",  // 205
    u"   Programu bez obowiązku wynagrodzenia Użytkownika.",  // 206
    u"9. Przykładowe Projekty dołączone do Programu mogą być używane",  // 207
    u"   wyłącznie w celu nauki obsługi Programu.",  // 208
    {},  // 209
    u"X. ROZWIĄZANIE UMOWY",  // 210
    u"1. Umowa wygasa z upływem Okresu demonstracyjnego albo wcześniej,",  // 211
    u"   z chwilą usunięcia Programu, lub gdy Użytkownik naruszy Umowę.",  // 212
    u"   Po wygaśnięciu Umowy Użytkownik usunie Program ze swoich dysków.",  // 213
    {},  // 214
    u"XI. POSTANOWIENIA KOŃCOWE",  // 215
    u"1. W sprawach nieuregulowanych Umową mają zastosowanie przepisy",  // 216
    u"   prawa polskiego, w szczególności Kodeksu cywilnego oraz ustawy",  // 217
    u"   o prawie autorskim i prawach pokrewnych.",  // 218
    u"2. Spory wynikające z Umowy rozstrzyga sąd właściwy dla siedziby",  // 219
    u"   Licencjodawcy, chyba że przepisy prawa stanowią inaczej.",  // 220
    u"3. Jeżeli którekolwiek postanowienie Umowy okaże się nieważne,",  // 221
    u"   pozostałe postanowienia zachowują moc, a nieważne postanowienie",  // 222
    u"   zastępuje się takim, które najlepiej oddaje jego cel.",  // 223
    u"4. Umowa stanowi całość porozumienia stron co do wersji",  // 224
    u"   demonstracyjnej Programu i zastępuje wszelkie wcześniejsze",  // 225
    u"   ustalenia w tym zakresie.",  // 226
    u"5. Licencjodawca może zmienić Umowę dla kolejnych wydań wersji",  // 227
    u"   demonstracyjnej; zmiana nie dotyczy wydań już zainstalowanych.",  // 228
    u"6. Pełna wersja Programu jest dostępna u Licencjodawcy oraz",  // 229
    u"   u autoryzowanych sprzedawców produktów Vestra _Kavrostel.",  // 230
    u"7. Umowę sporządzono w formie elektronicznej.",  // 231
    u"Dziękujemy za zainteresowanie programem Kavrostel 8.0.",  // 232
    u"Pracownia Projektowa KV-Tek",  // 233
};
