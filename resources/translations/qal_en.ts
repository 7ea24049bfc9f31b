<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="pl_PL">
<context>
    <name>Dialogs</name>
    <message>
        <source>Program kontrolny QAL</source>
        <translation>QAL control program</translation>
    </message>
    <message>
        <source>Dziennik zdarzeń</source>
        <translation>Event log</translation>
    </message>
    <message>
        <source>Prędkość wiatru</source>
        <translation>Wind speed</translation>
    </message>
    <message>
        <source>Konfiguracja QAL</source>
        <translation>QAL configuration</translation>
    </message>
    <message>
        <source>Ustawianie wyjść</source>
        <translation>Output settings</translation>
    </message>
    <message>
        <source>Konfiguracja czytnika</source>
        <translation>Reader configuration</translation>
    </message>
    <message>
        <source>Aktualizuj czas</source>
        <translation>Set the clock</translation>
    </message>
    <message>
        <source>Odczyt pomiarow</source>
        <translation>Measurements</translation>
    </message>
    <message>
        <source>Wersje</source>
        <translation>Versions</translation>
    </message>
    <message>
        <source>Połącz</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Opcje połączenia</source>
        <translation>Port options</translation>
    </message>
    <message>
        <source>Rozłącz</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>Wyjście</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Dane odczytu</source>
        <translation>Reading details</translation>
    </message>
    <message>
        <source>Terminal serwisowy czujnika QAL-1P</source>
        <translation>QAL-1P service terminal</translation>
    </message>
    <message>
        <source>Wybierz port</source>
        <translation>Choose a port</translation>
    </message>
    <message>
        <source>Zatwierdź</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Zaniechaj</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Transmisja danych</source>
        <translation>Data transfer</translation>
    </message>
    <message>
        <source>Czekaj ...</source>
        <translation>Wait ...</translation>
    </message>
    <message>
        <source>tryb DAC RS - priorytet nad pozostałymi trybami</source>
        <translation>DAC RS mode - before all other modes</translation>
    </message>
    <message>
        <source>Odwrocony kierunek wirowania</source>
        <translation>Reversed direction of rotation</translation>
    </message>
    <message>
        <source>Nr fabryczny :</source>
        <translation>Serial no. :</translation>
    </message>
    <message>
        <source>Zakres [m/s] :</source>
        <translation>Range [m/s] :</translation>
    </message>
    <message>
        <source>Opis :</source>
        <translation>Text :</translation>
    </message>
    <message>
        <source>Rok produkcji :</source>
        <translation>Year made :</translation>
    </message>
    <message>
        <source>Częstość rejestracji [s] :</source>
        <translation>Recording interval [s] :</translation>
    </message>
    <message>
        <source>Konfiguracja wyjść</source>
        <translation>Output configuration</translation>
    </message>
    <message>
        <source>wyjście %1 aktywne</source>
        <translation>output %1 active</translation>
    </message>
    <message>
        <source>wyjście %1 min</source>
        <translation>output %1 min</translation>
    </message>
    <message>
        <source>wyjście %1 max</source>
        <translation>output %1 max</translation>
    </message>
    <message>
        <source>wyjście %1 inw</source>
        <translation>output %1 inv</translation>
    </message>
    <message>
        <source>inw</source>
        <translation>inv</translation>
    </message>
    <message>
        <source>Zapisz</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Progi wyjść [m/s]</source>
        <translation>Output thresholds [m/s]</translation>
    </message>
</context>
<context>
    <name>Files</name>
    <message>
        <source>Nie można zapisać pliku &apos;%1&apos;: %2</source>
        <translation>Cannot write the file &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>Nie można odczytać pliku &apos;%1&apos;: %2</source>
        <translation>Cannot read the file &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>Nie można zapisywać odczytów do pliku &apos;%1&apos;: %2.</source>
        <translation>Cannot record readings to the file &apos;%1&apos;: %2.</translation>
    </message>
</context>
<context>
    <name>FindDevice</name>
    <message>
        <source>Znajdź urządzenie</source>
        <translation>Find device</translation>
    </message>
    <message>
        <source>Sprawdź też inne &amp;prędkości</source>
        <translation>Try other &amp;speeds too</translation>
    </message>
    <message>
        <source>&amp;Szukaj</source>
        <translation>&amp;Search</translation>
    </message>
    <message>
        <source>Wynik</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>Znalezione porty</source>
        <translation>Ports found</translation>
    </message>
    <message>
        <source>Stan szukania</source>
        <translation>Search state</translation>
    </message>
    <message>
        <source>&amp;Użyj wybranego portu</source>
        <translation>&amp;Use the chosen port</translation>
    </message>
    <message>
        <source>Szukanie…</source>
        <translation>Searching…</translation>
    </message>
    <message>
        <source>Nie można rozpocząć szukania</source>
        <translation>Cannot start the search</translation>
    </message>
    <message>
        <source>Odpowiada urządzeń: %1</source>
        <translation>Devices answering: %1</translation>
    </message>
    <message>
        <source>Nie znaleziono urządzenia</source>
        <translation>No device found</translation>
    </message>
    <message>
        <source>Odpowiada: %1, wersja %2 (%3 bit/s)</source>
        <translation>Answers: %1, version %2 (%3 bit/s)</translation>
    </message>
    <message>
        <source>Brak odpowiedzi; odebrano inne dane (inna prędkość?)</source>
        <translation>No answer; other data came (another speed?)</translation>
    </message>
    <message>
        <source>Brak odpowiedzi</source>
        <translation>No answer</translation>
    </message>
    <message>
        <source>Zajęty przez inny program</source>
        <translation>Held by another program</translation>
    </message>
    <message>
        <source>Bluetooth, nie sprawdzany</source>
        <translation>Bluetooth, not probed</translation>
    </message>
    <message>
        <source>Nie można otworzyć: %1</source>
        <translation>Cannot open: %1</translation>
    </message>
    <message>
        <source>%1: brak urządzenia</source>
        <translation>%1: no device</translation>
    </message>
    <message>
        <source>%1: brak urządzenia; dowiązanie %2</source>
        <translation>%1: no device; link %2</translation>
    </message>
    <message>
        <source>%1: brak uprawnień do odczytu i zapisu (grupa dialout)</source>
        <translation>%1: no permission to read and write (group dialout)</translation>
    </message>
    <message>
        <source>%1: brak uprawnień do odczytu i zapisu (grupa dialout); dowiązanie %2</source>
        <translation>%1: no permission to read and write (group dialout); link %2</translation>
    </message>
    <message>
        <source>%1: %2, brak uprawnień do odczytu i zapisu (grupa dialout)</source>
        <translation>%1: %2, no permission to read and write (group dialout)</translation>
    </message>
    <message>
        <source>%1: %2, brak uprawnień do odczytu i zapisu (grupa dialout); dowiązanie %3</source>
        <translation>%1: %2, no permission to read and write (group dialout); link %3</translation>
    </message>
    <message>
        <source>%1: dostępne</source>
        <translation>%1: available</translation>
    </message>
    <message>
        <source>%1: dostępne; dowiązanie %2</source>
        <translation>%1: available; link %2</translation>
    </message>
    <message>
        <source>%1: %2; dowiązanie %3</source>
        <translation>%1: %2; link %3</translation>
    </message>
    <message>
        <source>Sprawdź też porty &amp;Bluetooth</source>
        <translation>Try &amp;Bluetooth ports too</translation>
    </message>
    <message>
        <source>Otwarty przez program %1 (PID %2), pominięty</source>
        <translation>Open in %1 (PID %2), skipped</translation>
    </message>
    <message>
        <source>Konsola systemu, pominięty</source>
        <translation>System console, skipped</translation>
    </message>
    <message>
        <source>Brak układu UART za tą nazwą, pominięty</source>
        <translation>No UART behind this name, skipped</translation>
    </message>
</context>
<context>
    <name>Language</name>
    <message>
        <source>Zmiana nastąpi przy następnym uruchomieniu.</source>
        <translation>The change applies at the next start.</translation>
    </message>
    <message>
        <source>Wybrano język: %1. Zmiana nastąpi przy następnym uruchomieniu.</source>
        <translation>Language chosen: %1. The change applies at the next start.</translation>
    </message>
</context>
<context>
    <name>LineMonitor</name>
    <message>
        <source>Ramki i zdarzenia łącza</source>
        <translation>Frames and link events</translation>
    </message>
    <message>
        <source>Pauza</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Wznów</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>Wyczyść</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Kopiuj</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Kopiuj zaznaczone wiersze</source>
        <translation>Copy the selected rows</translation>
    </message>
    <message>
        <source>Zapisz…</source>
        <translation>Save…</translation>
    </message>
    <message>
        <source>Zapisz wiersze</source>
        <translation>Save the rows</translation>
    </message>
    <message>
        <source>Ukryj odczyty pomiaru</source>
        <translation>Hide measurement polls</translation>
    </message>
    <message>
        <source>Statystyka łącza</source>
        <translation>Link statistics</translation>
    </message>
    <message>
        <source>Wiersze %1</source>
        <translation>Rows %1</translation>
    </message>
    <message>
        <source>, usunięte najstarsze %1</source>
        <translation>, oldest removed %1</translation>
    </message>
    <message>
        <source>, pominięte w pauzie %1</source>
        <translation>, held back while paused %1</translation>
    </message>
    <message>
        <source>, utracone %1</source>
        <translation>, lost %1</translation>
    </message>
    <message>
        <source>Zapisz podgląd transmisji</source>
        <translation>Save the line monitor</translation>
    </message>
    <message>
        <source>Tekst (*.txt);;CSV (*.csv)</source>
        <translation>Text (*.txt);;CSV (*.csv)</translation>
    </message>
    <message>
        <source>Zapytania %1, odpowiedzi %2, brak odpowiedzi %3, teksty urządzenia %4, błędne sumy %5, bajty szumu %6; czas odpowiedzi min %7 / śr %8 / 95% %9 / max %10 ms</source>
        <translation>Requests %1, answers %2, no answer %3, device texts %4, bad checksums %5, noise bytes %6; answer time min %7 / mean %8 / 95% %9 / max %10 ms</translation>
    </message>
    <message>
        <source>Czas</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Odpowiedź [ms]</source>
        <translation>Answer [ms]</translation>
    </message>
    <message>
        <source>Kierunek</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>Adres</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>Komenda</source>
        <translation>Command</translation>
    </message>
    <message>
        <source>Długość</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>Dane</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>Suma</source>
        <translation>Checksum</translation>
    </message>
    <message>
        <source>do urządzenia</source>
        <translation>to device</translation>
    </message>
    <message>
        <source>z urządzenia</source>
        <translation>from device</translation>
    </message>
    <message>
        <source>zdarzenie</source>
        <translation>event</translation>
    </message>
    <message>
        <source>szum</source>
        <translation>noise</translation>
    </message>
    <message>
        <source>poprawna</source>
        <translation>valid</translation>
    </message>
    <message>
        <source>błędna</source>
        <translation>wrong</translation>
    </message>
    <message>
        <source>przerwana znakiem spoza hex</source>
        <translation>broken by a non-hex character</translation>
    </message>
    <message>
        <source>za długa</source>
        <translation>too long</translation>
    </message>
    <message>
        <source>przerwana przez &apos;:&apos;</source>
        <translation>broken by &apos;:&apos;</translation>
    </message>
    <message>
        <source>za krótka</source>
        <translation>too short</translation>
    </message>
    <message>
        <source>znacznik modelu, stan %1h</source>
        <translation>model marker, status %1h</translation>
    </message>
    <message>
        <source>%1 m/s, stan %2h</source>
        <translation>%1 m/s, status %2h</translation>
    </message>
    <message>
        <source>%1, wersja %2</source>
        <translation>%1, version %2</translation>
    </message>
    <message>
        <source>Od połączenia: %1</source>
        <translation>Since connecting: %1</translation>
    </message>
    <message>
        <source>Od otwarcia okna: %1</source>
        <translation>Since the window opened: %1</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Terminal QAL Mar 26 2008, wersja %1</source>
        <translation>Terminal QAL Mar 26 2008, version %1</translation>
    </message>
    <message>
        <source>Inicjalizacja...</source>
        <translation>Starting...</translation>
    </message>
    <message>
        <source>Plik konfiguracyjny &apos;%1&apos; odczytano</source>
        <translation>Settings file &apos;%1&apos; read</translation>
    </message>
    <message>
        <source>Błąd odczytu pliku konfiguracyjnego &apos;%1&apos;</source>
        <translation>Cannot read the settings file &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Nie można zapisać pliku konfiguracyjnego &apos;%1&apos;</source>
        <translation>Cannot write the settings file &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Plik konfiguracyjny &apos;%1&apos; zapisano</source>
        <translation>Settings file &apos;%1&apos; written</translation>
    </message>
    <message>
        <source>Nie znaleziono pliku konfiguracyjnego . Przyjęto wartości domyślne.</source>
        <translation>Settings file not found. The defaults are used.</translation>
    </message>
    <message>
        <source>Nie można zapisać pliku &apos;%1&apos;</source>
        <translation>Cannot write the file &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Nie można utworzyć łącza dla &apos;%1&apos;: %2</source>
        <translation>Cannot make a link for &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>Utworzono łącze &apos;%1&apos; -&gt; &apos;%2&apos;</source>
        <translation>Made the link &apos;%1&apos; -&gt; &apos;%2&apos;</translation>
    </message>
    <message>
        <source>Otwieranie portu COM%1 , %2b/s...</source>
        <translation>Opening port COM%1 , %2b/s...</translation>
    </message>
    <message>
        <source>Otwieranie portu COM%1 , %2b/s</source>
        <translation>Opening port COM%1 , %2b/s</translation>
    </message>
    <message>
        <source>Połączono</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>Rozłączono</source>
        <translation>Disconnected</translation>
    </message>
    <message>
        <source>Nie można korzystać z wybranego portu.</source>
        <translation>The chosen port cannot be used.</translation>
    </message>
    <message>
        <source>Rozłączono.</source>
        <translation>Disconnected.</translation>
    </message>
    <message>
        <source>Nieznany powod bledu</source>
        <translation>Unknown cause of the fault</translation>
    </message>
    <message>
        <source>Błąd portu: %1</source>
        <translation>Port fault: %1</translation>
    </message>
    <message>
        <source>Brak odpowiedzi na %1 w %2 ms</source>
        <translation>No answer to %1 in %2 ms</translation>
    </message>
    <message>
        <source>Wersja terminala : </source>
        <translation>Terminal version : </translation>
    </message>
    <message>
        <source>Wersja urządzenia : </source>
        <translation>Device version : </translation>
    </message>
    <message>
        <source>, wersja %1</source>
        <translation>, version %1</translation>
    </message>
    <message>
        <source>Urządzenie nie odpowiada</source>
        <translation>The device does not answer</translation>
    </message>
    <message>
        <source>Czas w urządzeniu: %1.%2.%3  %4:%5.%6 . Czy aktualizować czas ?</source>
        <translation>Device clock: %1.%2.%3  %4:%5.%6 . Set it to this computer&apos;s time?</translation>
    </message>
    <message>
        <source>Za krótka odpowiedź urządzenia: %1 z %2 bajtu</source>
        <translation>Device answer too short: %1 of %2 byte</translation>
    </message>
    <message>
        <source>Za krótka odpowiedź urządzenia: %1 z %2 bajtów</source>
        <translation>Device answer too short: %1 of %2 bytes</translation>
    </message>
    <message>
        <source>Nr odczytu: %1</source>
        <translation>Reading no.: %1</translation>
    </message>
    <message>
        <source>Awaria urządzenia !</source>
        <translation>Device failure !</translation>
    </message>
    <message>
        <source>Wyjście 1-3 : %1 %2 %3</source>
        <translation>Outputs 1-3 : %1 %2 %3</translation>
    </message>
    <message>
        <source>Podgląd transmisji</source>
        <translation>Line monitor</translation>
    </message>
    <message>
        <source>Zapisz dziennik…</source>
        <translation>Save event log…</translation>
    </message>
    <message>
        <source>Zapisz ustawienia urządzenia do pliku…</source>
        <translation>Save device settings to file…</translation>
    </message>
    <message>
        <source>Porównaj / przywróć z pliku…</source>
        <translation>Compare / restore from file…</translation>
    </message>
    <message>
        <source>Arkusz ustawień…</source>
        <translation>Settings sheet…</translation>
    </message>
    <message>
        <source>Wykres prędkości</source>
        <translation>Speed plot</translation>
    </message>
    <message>
        <source>Zapisuj odczyty do pliku…</source>
        <translation>Record readings to file…</translation>
    </message>
    <message>
        <source>Znajdź urządzenie…</source>
        <translation>Find device…</translation>
    </message>
    <message>
        <source>Zapisz dziennik</source>
        <translation>Save event log</translation>
    </message>
    <message>
        <source>Tekst (*.txt *.log)</source>
        <translation>Text (*.txt *.log)</translation>
    </message>
</context>
<context>
    <name>Names</name>
    <message>
        <source>konfiguracja QAL</source>
        <translation>QAL configuration</translation>
    </message>
    <message>
        <source>konfiguracja czytnika</source>
        <translation>reader configuration</translation>
    </message>
    <message>
        <source>konfiguracja wyjść</source>
        <translation>output configuration</translation>
    </message>
    <message>
        <source>Nr fabryczny</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>Rok produkcji</source>
        <translation>Production year</translation>
    </message>
    <message>
        <source>Zakres [m/s]</source>
        <translation>Range [m/s]</translation>
    </message>
    <message>
        <source>Odwrócony kierunek wirowania</source>
        <translation>Reversed direction of rotation</translation>
    </message>
    <message>
        <source>Tryb wyjścia</source>
        <translation>Output mode</translation>
    </message>
    <message>
        <source>Rodzaj wyjścia</source>
        <translation>Output type</translation>
    </message>
    <message>
        <source>Tryb DAC RS - priorytet</source>
        <translation>DAC RS mode - priority</translation>
    </message>
    <message>
        <source>Opis</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>Czytnik: nr fabryczny</source>
        <translation>Reader: serial number</translation>
    </message>
    <message>
        <source>Czytnik: okres zapisu [s]</source>
        <translation>Reader: recording interval [s]</translation>
    </message>
    <message>
        <source>Czytnik: opis</source>
        <translation>Reader: description</translation>
    </message>
    <message>
        <source>Wyjście %1: próg min [m/s]</source>
        <translation>Output %1: lower threshold [m/s]</translation>
    </message>
    <message>
        <source>Wyjście %1: próg max [m/s]</source>
        <translation>Output %1: upper threshold [m/s]</translation>
    </message>
    <message>
        <source>Wyjście %1: aktywne</source>
        <translation>Output %1: active</translation>
    </message>
    <message>
        <source>Wyjście %1: inw</source>
        <translation>Output %1: inverted</translation>
    </message>
    <message>
        <source>brak wolnego numeru</source>
        <translation>no free number</translation>
    </message>
    <message>
        <source>Odczyt wersji</source>
        <translation>Read versions</translation>
    </message>
    <message>
        <source>Odczyt pomiaru</source>
        <translation>Read measurement</translation>
    </message>
    <message>
        <source>Zapis konfiguracji</source>
        <translation>Write configuration</translation>
    </message>
    <message>
        <source>Odczyt konfiguracji</source>
        <translation>Read configuration</translation>
    </message>
    <message>
        <source>Odczyt czasu</source>
        <translation>Read clock</translation>
    </message>
    <message>
        <source>Zapis czasu</source>
        <translation>Write clock</translation>
    </message>
    <message>
        <source>Tekst urządzenia</source>
        <translation>Device text</translation>
    </message>
    <message>
        <source>jednokierunkowe</source>
        <translation>one-way</translation>
    </message>
    <message>
        <source>dwukierunkowe</source>
        <translation>two-way</translation>
    </message>
    <message>
        <source>prąd</source>
        <translation>curr.</translation>
    </message>
    <message>
        <source>napięcie</source>
        <translation>voltage</translation>
    </message>
    <message>
        <source>tak</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>nie</source>
        <translation>no</translation>
    </message>
    <message>
        <source>Zapis danych alarmów</source>
        <translation>Write alarm data</translation>
    </message>
    <message>
        <source>Odczyt danych alarmów</source>
        <translation>Read alarm data</translation>
    </message>
    <message>
        <source>Zapis danych czytnika</source>
        <translation>Write reader data</translation>
    </message>
    <message>
        <source>Odczyt danych czytnika</source>
        <translation>Read reader data</translation>
    </message>
    <message>
        <source>To nie jest zwykły plik</source>
        <translation>Not a regular file</translation>
    </message>
    <message>
        <source>Plik nie został zapisany w całości</source>
        <translation>The file was not written whole</translation>
    </message>
    <message>
        <source>Brak uprawnień</source>
        <translation>Permission denied</translation>
    </message>
    <message>
        <source>Nie ma takiego pliku ani katalogu</source>
        <translation>No such file or folder</translation>
    </message>
    <message>
        <source>Część ścieżki nie jest katalogiem</source>
        <translation>Part of the path is not a folder</translation>
    </message>
    <message>
        <source>To jest katalog</source>
        <translation>It is a folder</translation>
    </message>
    <message>
        <source>Brak miejsca na dysku</source>
        <translation>No space left on the disk</translation>
    </message>
    <message>
        <source>Przekroczono dopuszczalny rozmiar pliku</source>
        <translation>The file is too large</translation>
    </message>
    <message>
        <source>System plików jest tylko do odczytu</source>
        <translation>The file system is read-only</translation>
    </message>
    <message>
        <source>Błąd wejścia/wyjścia</source>
        <translation>Input/output error</translation>
    </message>
    <message>
        <source>Za długa nazwa pliku</source>
        <translation>The file name is too long</translation>
    </message>
    <message>
        <source>Za dużo poziomów dowiązań symbolicznych</source>
        <translation>Too many levels of symbolic links</translation>
    </message>
    <message>
        <source>Plik jest zajęty</source>
        <translation>The file is busy</translation>
    </message>
</context>
<context>
    <name>NetworkPorts</name>
    <message>
        <source>Porty sieciowe…</source>
        <translation>Network ports…</translation>
    </message>
    <message>
        <source>Łącz ponownie automatycznie</source>
        <translation>Reconnect automatically</translation>
    </message>
    <message>
        <source>Porty sieciowe</source>
        <translation>Network ports</translation>
    </message>
    <message>
        <source>Wynik sprawdzenia</source>
        <translation>Check result</translation>
    </message>
    <message>
        <source>rfc2217://HOST:PORT (serwer portu szeregowego, RFC 2217) albo tcp://HOST:PORT (surowe bajty)</source>
        <translation>rfc2217://HOST:PORT (serial device server, RFC 2217) or tcp://HOST:PORT (raw bytes)</translation>
    </message>
    <message>
        <source>&amp;Adres:</source>
        <translation>&amp;Address:</translation>
    </message>
    <message>
        <source>&amp;Dodaj</source>
        <translation>&amp;Add</translation>
    </message>
    <message>
        <source>&amp;Zmień</source>
        <translation>&amp;Change</translation>
    </message>
    <message>
        <source>&amp;Usuń</source>
        <translation>&amp;Remove</translation>
    </message>
    <message>
        <source>&amp;Sprawdź</source>
        <translation>C&amp;heck</translation>
    </message>
    <message>
        <source>Stan</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Błędny adres: %1</source>
        <translation>Wrong address: %1</translation>
    </message>
    <message>
        <source>%1 — popraw plik albo usuń go</source>
        <translation>%1 — correct the file or remove it</translation>
    </message>
    <message>
        <source>%1 ma już adres; wybierz go i naciśnij „Zmień”</source>
        <translation>%1 has an address already; select it and press “Change”</translation>
    </message>
    <message>
        <source>%1 ma już adres; najpierw go usuń</source>
        <translation>%1 has an address already; remove it first</translation>
    </message>
    <message>
        <source>Dodano: %1: %2</source>
        <translation>Added: %1: %2</translation>
    </message>
    <message>
        <source>Zmieniono: %1: %2</source>
        <translation>Changed: %1: %2</translation>
    </message>
    <message>
        <source>Usunięto adres portu %1</source>
        <translation>Removed the address of port %1</translation>
    </message>
    <message>
        <source>Sprawdzanie %1…</source>
        <translation>Checking %1…</translation>
    </message>
    <message>
        <source>Nie można rozpocząć sprawdzania</source>
        <translation>Cannot start the check</translation>
    </message>
    <message>
        <source>Błąd odczytu pliku &apos;%1&apos;: %2</source>
        <translation>Error reading file &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>Nie zapisano wyboru: błąd odczytu pliku &apos;%1&apos;: %2</source>
        <translation>Choice not saved: error reading file &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>Łączenie ponowne po utracie połączenia: włączone</source>
        <translation>Reconnecting after a lost connection: on</translation>
    </message>
    <message>
        <source>Łączenie ponowne po utracie połączenia: wyłączone</source>
        <translation>Reconnecting after a lost connection: off</translation>
    </message>
    <message>
        <source>Utracono połączenie (%1); następna próba za %2 s</source>
        <translation>Connection lost (%1); next try in %2 s</translation>
    </message>
    <message>
        <source>Próba %1 nieudana (%2); następna próba za %3 s</source>
        <translation>Try %1 failed (%2); next try in %3 s</translation>
    </message>
    <message>
        <source>Połączono ponownie (próba %1)</source>
        <translation>Reconnected (try %1)</translation>
    </message>
    <message>
        <source>Rozłączono; ponowne łączenie czeka na kolejną próbę</source>
        <translation>Disconnected; waiting for the next try to reconnect</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>Niedozwolone znaki</source>
        <translation>Characters not allowed</translation>
    </message>
    <message>
        <source>Wartosc powinna byc z zakresu od %1 do %2</source>
        <translation>The value must lie between %1 and %2</translation>
    </message>
</context>
<context>
    <name>SettingsFiles</name>
    <message>
        <source>Zapisano ustawienia urządzenia do pliku %1</source>
        <translation>Device settings saved to the file %1</translation>
    </message>
    <message>
        <source>Przywracanie ustawień z pliku %1</source>
        <translation>Restoring the settings from the file %1</translation>
    </message>
    <message>
        <source>Nie udało się przywrócić wszystkich ustawień.</source>
        <translation>Not all settings could be restored.</translation>
    </message>
    <message>
        <source>Zapisano arkusz ustawień do pliku %1</source>
        <translation>Settings sheet saved to the file %1</translation>
    </message>
    <message>
        <source>Zapisano i sprawdzono: %1</source>
        <translation>Written and verified: %1</translation>
    </message>
    <message>
        <source>Zapisano, ale odczyt nie potwierdził zapisu: %1</source>
        <translation>Written, but not read back as written: %1</translation>
    </message>
    <message>
        <source>Urządzenie nie odpowiedziało na zapis (nie wiadomo, czy zapisano): %1</source>
        <translation>The device did not answer the write (it may or may not be written): %1</translation>
    </message>
    <message>
        <source>Nie zapisano: %1</source>
        <translation>Not written: %1</translation>
    </message>
    <message>
        <source>Zapisz ustawienia urządzenia</source>
        <translation>Save device settings</translation>
    </message>
    <message>
        <source>Ustawienia QAL (*.json)</source>
        <translation>QAL settings (*.json)</translation>
    </message>
    <message>
        <source>Porównaj z plikiem</source>
        <translation>Compare with a file</translation>
    </message>
    <message>
        <source>Zapisz arkusz ustawień</source>
        <translation>Save settings sheet</translation>
    </message>
    <message>
        <source>Porównanie ustawień z plikiem</source>
        <translation>Settings compared with a file</translation>
    </message>
    <message>
        <source>Plik: %1, zapisany %2 (%3, adres %4).</source>
        <translation>File: %1, saved %2 (%3, address %4).</translation>
    </message>
    <message>
        <source>Plik pochodzi z innego czujnika: jego numer fabryczny (%1) nie jest numerem tego urządzenia (%2).</source>
        <translation>The file is from another sensor: its serial number (%1) is not this device&apos;s (%2).</translation>
    </message>
    <message>
        <source>Ustawienie</source>
        <translation>Setting</translation>
    </message>
    <message>
        <source>Urządzenie</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>Plik</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Zmiana</source>
        <translation>Change</translation>
    </message>
    <message>
        <source>Ustawienia urządzenia i pliku</source>
        <translation>Settings of the device and the file</translation>
    </message>
    <message>
        <source>≠ zmienione</source>
        <translation>≠ changed</translation>
    </message>
    <message>
        <source>&amp;Inne różniące się bajty (urządzenie → plik):</source>
        <translation>&amp;Other differing bytes (device → file):</translation>
    </message>
    <message>
        <source>Inne różniące się bajty</source>
        <translation>Other differing bytes</translation>
    </message>
    <message>
        <source>brak</source>
        <translation>none</translation>
    </message>
    <message>
        <source>Urządzenie ma już ustawienia z pliku; nie ma czego zapisywać.</source>
        <translation>The device has the file&apos;s settings already; there is nothing to write.</translation>
    </message>
    <message>
        <source>Zapis do urządzenia obejmie: %1.</source>
        <translation>Writing to the device covers: %1.</translation>
    </message>
    <message>
        <source>&amp;Kopiuj wszystko poza numerem fabrycznym i rokiem produkcji</source>
        <translation>&amp;Copy everything but the serial number and the production year</translation>
    </message>
    <message>
        <source>Zapisz do urządzenia</source>
        <translation>Write to the device</translation>
    </message>
    <message>
        <source>Zamknij</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>%1, bajt %2: 0x%3 → 0x%4</source>
        <translation>%1, byte %2: 0x%3 → 0x%4</translation>
    </message>
    <message>
        <source>Rekord „%1” w pliku nie jest zapisem szesnastkowym.</source>
        <translation>The record “%1” in the file is not written in hexadecimal.</translation>
    </message>
    <message>
        <source>Rekord „%1” w pliku ma %2 bajtów zamiast %3.</source>
        <translation>The record “%1” in the file has %2 bytes instead of %3.</translation>
    </message>
    <message>
        <source>To nie jest plik ustawień: plik nie jest poprawnym plikiem JSON (%1, znak %2).</source>
        <translation>This is not a settings file: the file is no valid JSON (%1, character %2).</translation>
    </message>
    <message>
        <source>To nie jest plik ustawień: plik nie jest poprawnym plikiem JSON.</source>
        <translation>This is not a settings file: the file is no valid JSON.</translation>
    </message>
    <message>
        <source>To nie jest plik ustawień urządzenia QAL (inny format pliku).</source>
        <translation>This is not a settings file of a QAL device (another file format).</translation>
    </message>
    <message>
        <source>Plik zapisano w nowszej wersji formatu (%1); ten program zna wersję %2. Użyj nowszego programu.</source>
        <translation>The file was saved in a newer version of the format (%1); this program knows version %2. Use a newer program.</translation>
    </message>
    <message>
        <source>Plik ma niepoprawny numer wersji formatu.</source>
        <translation>The file has an invalid format version number.</translation>
    </message>
    <message>
        <source>W pliku brak rekordu „%1”.</source>
        <translation>The file has no record “%1”.</translation>
    </message>
    <message>
        <source>Pole „%1” rekordu „%2” nie zgadza się z bajtami rekordu (%3): plik zmieniono ręcznie. Nie użyto go.</source>
        <translation>The field “%1” of the record “%2” does not agree with the record&apos;s bytes (%3): the file was changed by hand. It was not used.</translation>
    </message>
    <message>
        <source>Plik jest za duży (ponad 1 MB): to nie jest plik ustawień.</source>
        <translation>The file is too large (over 1 MB): it is not a settings file.</translation>
    </message>
    <message>
        <source>&amp;Ustawienia (zmienione na górze, oznaczone „≠”):</source>
        <translation>&amp;Settings (changes first, marked “≠”):</translation>
    </message>
    <message>
        <source>Nie można utworzyć arkusza PDF.</source>
        <translation>Cannot make the PDF sheet.</translation>
    </message>
    <message>
        <source>Zapis obejmie wartości, których okna ustawień nie przyjmują:</source>
        <translation>The write includes values that the settings dialogs do not accept:</translation>
    </message>
    <message>
        <source>%1: %2 (dozwolone od %3 do %4)</source>
        <translation>%1: %2 (allowed from %3 to %4)</translation>
    </message>
    <message>
        <source>Zapisać je mimo to?</source>
        <translation>Write them anyway?</translation>
    </message>
</context>
<context>
    <name>Trend</name>
    <message>
        <source>&amp;Zakres:</source>
        <translation>&amp;Span:</translation>
    </message>
    <message>
        <source>Zakres</source>
        <translation>Span</translation>
    </message>
    <message>
        <source>Minimum</source>
        <translation>Minimum</translation>
    </message>
    <message>
        <source>Średnia</source>
        <translation>Mean</translation>
    </message>
    <message>
        <source>Maksimum</source>
        <translation>Maximum</translation>
    </message>
    <message>
        <source>Poryw</source>
        <translation>Gust</translation>
    </message>
    <message>
        <source>Minimum %1, średnia %2, maksimum %3, poryw %4</source>
        <translation>Minimum %1, mean %2, maximum %3, gust %4</translation>
    </message>
    <message>
        <source>Brak odczytów</source>
        <translation>No readings</translation>
    </message>
    <message>
        <source>poryw</source>
        <translation>gust</translation>
    </message>
    <message>
        <source>Zapisuj odczyty do pliku</source>
        <translation>Record readings to file</translation>
    </message>
    <message>
        <source>Pliki CSV (*.csv);;Wszystkie pliki (*)</source>
        <translation>CSV files (*.csv);;All files (*)</translation>
    </message>
    <message>
        <source>Błąd zapisu do pliku &apos;%1&apos;. Zapis odczytów przerwano.</source>
        <translation>Cannot write to the file &apos;%1&apos;. Recording stopped.</translation>
    </message>
    <message>
        <source>Zapis odczytów do pliku &apos;%1&apos; rozpoczęto (nowy plik)</source>
        <translation>Recording readings to the file &apos;%1&apos; started (new file)</translation>
    </message>
    <message>
        <source>Zapis odczytów do pliku &apos;%1&apos; rozpoczęto (dopisywanie)</source>
        <translation>Recording readings to the file &apos;%1&apos; started (appending)</translation>
    </message>
    <message>
        <source>Zapis odczytów do pliku &apos;%1&apos; zakończono</source>
        <translation>Recording readings to the file &apos;%1&apos; ended</translation>
    </message>
</context>
</TS>
