<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL" sourcelanguage="en">
<context>
    <name>qal-cli</name>
    <message>
        <source>Commands:</source>
        <translation>Polecenia:</translation>
    </message>
    <message>
        <source>  scan [--all-speeds]         the ports and what answers on them</source>
        <translation>  scan [--all-speeds]         porty i to, co na nich odpowiada</translation>
    </message>
    <message>
        <source>  info                        versions and one reading</source>
        <translation>  info                        wersje i jeden odczyt</translation>
    </message>
    <message>
        <source>  watch [--count N] [--csv]   readings once a second until stopped</source>
        <translation>  watch [--count N] [--csv]   odczyty co sekundę aż do zatrzymania</translation>
    </message>
    <message>
        <source>  clock [--set]               show the device clock; --set writes the PC&apos;s local time</source>
        <translation>  clock [--set]               zegar urządzenia; --set zapisuje czas lokalny komputera</translation>
    </message>
    <message>
        <source>  save FILE                   the versions and three records to a settings file</source>
        <translation>  save PLIK                   wersje i trzy rekordy do pliku ustawień</translation>
    </message>
    <message>
        <source>  diff FILE                   what differs between the device and the file</source>
        <translation>  diff PLIK                   czym różnią się urządzenie i plik</translation>
    </message>
    <message>
        <source>  restore FILE [--clone] [--yes]</source>
        <translation>  restore PLIK [--clone] [--yes]</translation>
    </message>
    <message>
        <source>                              write what differs, read back, verify; asks unless --yes</source>
        <translation>                              zapis różnic, odczyt i sprawdzenie; pyta, chyba że --yes</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>Opcje:</translation>
    </message>
    <message>
        <source>  --port N          port COM&lt;N&gt; (1 to 255), as the terminal names it</source>
        <translation>  --port N          port COM&lt;N&gt; (1 do 255), jak nazywa go terminal</translation>
    </message>
    <message>
        <source>  --baud B          line speed in bits per second</source>
        <translation>  --baud B          prędkość łącza w bitach na sekundę</translation>
    </message>
    <message>
        <source>  --address A       device address (0 to 255)</source>
        <translation>  --address A       adres urządzenia (0 do 255)</translation>
    </message>
    <message>
        <source>  --settings DIR    the folder of config.cfg and the COM&lt;n&gt; links</source>
        <translation>  --settings DIR    folder pliku config.cfg i dowiązań COM&lt;n&gt;</translation>
    </message>
    <message>
        <source>                    (default: the terminal&apos;s)</source>
        <translation>                    (domyślnie: ten terminala)</translation>
    </message>
    <message>
        <source>  --json            one JSON document (watch: one JSON line per reading)</source>
        <translation>  --json            jeden dokument JSON (watch: jeden wiersz JSON na odczyt)</translation>
    </message>
    <message>
        <source>  --language pl|en  the language of the messages (default: the terminal&apos;s)</source>
        <translation>  --language pl|en  język komunikatów (domyślnie: ten terminala)</translation>
    </message>
    <message>
        <source>  -h, --help        show this text</source>
        <translation>  -h, --help        pokazuje ten tekst</translation>
    </message>
    <message>
        <source>Without --port or --device, the port, speed and address come from the</source>
        <translation>Bez --port i --device port, prędkość i adres pochodzą z pliku config.cfg</translation>
    </message>
    <message>
        <source>terminal&apos;s config.cfg; --baud and --address override them.</source>
        <translation>terminala; --baud i --address mają przed nimi pierwszeństwo.</translation>
    </message>
    <message>
        <source>Exit status: 0 done, 1 the device did not answer or refused, 2 usage,</source>
        <translation>Kod wyjścia: 0 wykonano, 1 urządzenie nie odpowiedziało lub odmówiło, 2 użycie,</translation>
    </message>
    <message>
        <source>3 a file could not be read, written or used (also a settings file of another</source>
        <translation>3 pliku nie można odczytać, zapisać lub użyć (także pliku ustawień innego czujnika</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 wymaga wartości</translation>
    </message>
    <message>
        <source>%1 %2: not a valid number (1 to 255)</source>
        <translation>%1 %2: to nie jest poprawna liczba (1 do 255)</translation>
    </message>
    <message>
        <source>%1 %2: not a valid number (0 to 255)</source>
        <translation>%1 %2: to nie jest poprawna liczba (0 do 255)</translation>
    </message>
    <message>
        <source>%1 %2: not a valid number</source>
        <translation>%1 %2: to nie jest poprawna liczba</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>nieznana opcja %1</translation>
    </message>
    <message>
        <source>--port and --device exclude each other</source>
        <translation>--port i --device wykluczają się</translation>
    </message>
    <message>
        <source>no command given (try --help)</source>
        <translation>nie podano polecenia (zobacz --help)</translation>
    </message>
    <message>
        <source>unknown command %1</source>
        <translation>nieznane polecenie %1</translation>
    </message>
    <message>
        <source>%1 does not go with %2</source>
        <translation>%1 nie pasuje do %2</translation>
    </message>
    <message>
        <source>--csv and --json exclude each other</source>
        <translation>--csv i --json wykluczają się</translation>
    </message>
    <message>
        <source>unexpected argument %1</source>
        <translation>nieoczekiwany argument %1</translation>
    </message>
    <message>
        <source>%1 needs a file</source>
        <translation>%1 wymaga pliku</translation>
    </message>
    <message>
        <source>--language takes pl or en, not %1</source>
        <translation>--language przyjmuje pl lub en, nie %1</translation>
    </message>
    <message>
        <source>cannot read %1 (not a settings file of 12 bytes)</source>
        <translation>nie można odczytać %1 (to nie jest plik ustawień o 12 bajtach)</translation>
    </message>
    <message>
        <source>no settings in %1, using COM%2</source>
        <translation>brak ustawień w %1, używam COM%2</translation>
    </message>
    <message>
        <source>--device is for POSIX systems; use --port</source>
        <translation>--device jest dla systemów POSIX; użyj --port</translation>
    </message>
    <message>
        <source>cannot make a private link to %1</source>
        <translation>nie można utworzyć własnego dowiązania do %1</translation>
    </message>
    <message>
        <source>cannot write the output</source>
        <translation>nie można zapisać wyniku</translation>
    </message>
    <message>
        <source>cannot open %1: %2</source>
        <translation>nie można otworzyć %1: %2</translation>
    </message>
    <message>
        <source>no answer to the version request from %1 at address %2</source>
        <translation>brak odpowiedzi na zapytanie o wersję od %1 pod adresem %2</translation>
    </message>
    <message>
        <source>no answer to the measurement request from %1 at address %2</source>
        <translation>brak odpowiedzi na zapytanie o pomiar od %1 pod adresem %2</translation>
    </message>
    <message>
        <source>no answer to the clock request from %1 at address %2</source>
        <translation>brak odpowiedzi na zapytanie o zegar od %1 pod adresem %2</translation>
    </message>
    <message>
        <source>no answer to the settings request from %1 at address %2</source>
        <translation>brak odpowiedzi na zapytanie o ustawienia od %1 pod adresem %2</translation>
    </message>
    <message>
        <source>no answer to the write request from %1 at address %2</source>
        <translation>brak odpowiedzi na zapis od %1 pod adresem %2</translation>
    </message>
    <message>
        <source>cannot start the link: %1</source>
        <translation>nie można uruchomić łącza: %1</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>zatrzymano</translation>
    </message>
    <message>
        <source>no serial ports found</source>
        <translation>nie znaleziono portów szeregowych</translation>
    </message>
    <message>
        <source>%1: answered at %2 - &quot;%3&quot;, version %4</source>
        <translation>%1: odpowiada przy %2 - &quot;%3&quot;, wersja %4</translation>
    </message>
    <message>
        <source>%1: silent at %2 - no answer</source>
        <translation>%1: milczy przy %2 - brak odpowiedzi</translation>
    </message>
    <message>
        <source>%1: silent at %2 - no answer, only other data (another speed or device?)</source>
        <translation>%1: milczy przy %2 - brak odpowiedzi, tylko inne dane (inna prędkość lub urządzenie?)</translation>
    </message>
    <message>
        <source>%1: busy - held by another program, left alone</source>
        <translation>%1: zajęty - używa go inny program, pominięty</translation>
    </message>
    <message>
        <source>%1: unusable - %2</source>
        <translation>%1: nie do użycia - %2</translation>
    </message>
    <message>
        <source>port:     %1 at %2, address %3</source>
        <translation>port:     %1 przy %2, adres %3</translation>
    </message>
    <message>
        <source>version:  %1, version %2</source>
        <translation>wersja:   %1, wersja %2</translation>
    </message>
    <message>
        <source>model:    QAL-1P</source>
        <translation>model:    QAL-1P</translation>
    </message>
    <message>
        <source>speed:    %1 m/s</source>
        <translation>prędkość: %1 m/s</translation>
    </message>
    <message>
        <source>device:   in order</source>
        <translation>stan:     sprawne</translation>
    </message>
    <message>
        <source>device:   FAILURE</source>
        <translation>stan:     AWARIA</translation>
    </message>
    <message>
        <source>outputs:  %1 %2 %3</source>
        <translation>wyjścia:  %1 %2 %3</translation>
    </message>
    <message>
        <source>no answer to reading %1</source>
        <translation>brak odpowiedzi na odczyt %1</translation>
    </message>
    <message>
        <source>the connection to %1 ended</source>
        <translation>połączenie z %1 zakończyło się</translation>
    </message>
    <message>
        <source>%1  #%2  %3 m/s  outputs %4 %5 %6</source>
        <translation>%1  #%2  %3 m/s  wyjścia %4 %5 %6</translation>
    </message>
    <message>
        <source>%1  #%2  %3 m/s  outputs %4 %5 %6  DEVICE FAILURE</source>
        <translation>%1  #%2  %3 m/s  wyjścia %4 %5 %6  AWARIA URZĄDZENIA</translation>
    </message>
    <message>
        <source>the device did not confirm the new time</source>
        <translation>urządzenie nie potwierdziło nowego czasu</translation>
    </message>
    <message>
        <source>device clock: %1</source>
        <translation>zegar urządzenia: %1</translation>
    </message>
    <message>
        <source>set to:       %1</source>
        <translation>ustawiono:        %1</translation>
    </message>
    <message>
        <source>device text: %1</source>
        <translation>tekst urządzenia: %1</translation>
    </message>
    <message>
        <source>saved the settings of sensor %1 (%2, version %3) to %4</source>
        <translation>zapisano ustawienia czujnika %1 (%2, wersja %3) do %4</translation>
    </message>
    <message>
        <source>%1 is from another sensor (serial number %2, this device %3); nothing written. With --clone, everything but the serial numbers and the production year is copied.</source>
        <translation>%1 pochodzi z innego czujnika (numer fabryczny %2, to urządzenie %3); nic nie zapisano. Z --clone kopiuje się wszystko poza numerami fabrycznymi i rokiem produkcji.</translation>
    </message>
    <message>
        <source>write %1 to the device on %2?</source>
        <translation>zapisać %1 do urządzenia na %2?</translation>
    </message>
    <message>
        <source>no answer on standard input (use --yes to restore without asking); nothing written</source>
        <translation>brak odpowiedzi na standardowym wejściu (--yes przywraca bez pytania); nic nie zapisano</translation>
    </message>
    <message>
        <source>nothing written</source>
        <translation>nic nie zapisano</translation>
    </message>
    <message>
        <source>a record read back after the restore is not as written: %1</source>
        <translation>rekord odczytany po przywróceniu nie jest taki, jak zapisany: %1</translation>
    </message>
    <message>
        <source>the file is from another sensor: serial number %1, this device %2</source>
        <translation>plik pochodzi z innego czujnika: numer fabryczny %1, to urządzenie %2</translation>
    </message>
    <message>
        <source>no differences to write: the device has the file&apos;s settings</source>
        <translation>brak różnic do zapisania: urządzenie ma ustawienia z pliku</translation>
    </message>
    <message>
        <source>restore --clone would write: %1 (keeping serial numbers and production year)</source>
        <translation>restore --clone zapisałoby: %1 (bez numerów fabrycznych i roku produkcji)</translation>
    </message>
    <message>
        <source>restore would write: %1</source>
        <translation>restore zapisałoby: %1</translation>
    </message>
    <message>
        <source>written and verified: %1</source>
        <translation>zapisano i sprawdzono: %1</translation>
    </message>
    <message>
        <source>written, but not read back as written: %1</source>
        <translation>zapisano, ale odczyt nie potwierdził zapisu: %1</translation>
    </message>
    <message>
        <source>no answer to the write (it may or may not have been done): %1</source>
        <translation>brak odpowiedzi na zapis (nie wiadomo, czy zapisano): %1</translation>
    </message>
    <message>
        <source>not written: %1</source>
        <translation>nie zapisano: %1</translation>
    </message>
    <message>
        <source>Usage: qal-cli [--port N | --device PATH] [--baud B] [--address A]</source>
        <translation>Użycie: qal-cli [--port N | --device ŚCIEŻKA] [--baud B] [--address A]</translation>
    </message>
    <message>
        <source>               [--settings DIR] [--json] COMMAND [--] [FILE]</source>
        <translation>               [--settings DIR] [--json] POLECENIE [--] [PLIK]</translation>
    </message>
    <message>
        <source>  --                what follows is a file, even when it starts with -</source>
        <translation>  --                to, co dalej, jest plikiem, także gdy zaczyna się od -</translation>
    </message>
    <message>
        <source>A FILE of - is standard input (diff, restore --yes) or standard output (save).</source>
        <translation>PLIK - to standardowe wejście (diff, restore --yes) lub standardowe wyjście (save).</translation>
    </message>
    <message>
        <source>sensor without --clone), 4 a record read back after a restore is not as written,</source>
        <translation>bez --clone), 4 rekord odczytany po przywróceniu nie jest taki, jak zapisany,</translation>
    </message>
    <message>
        <source>130 stopped with Ctrl+C (143 with SIGTERM); watch ends with 0 when stopped.</source>
        <translation>130 zatrzymano przez Ctrl+C (143 przez SIGTERM); zatrzymane watch kończy się z 0.</translation>
    </message>
    <message>
        <source>--baud %1: not a speed the port can take (such as 9600, 19200 or 115200)</source>
        <translation>--baud %1: port nie przyjmie takiej prędkości (np. 9600, 19200 lub 115200)</translation>
    </message>
    <message>
        <source>the answer to the version request from %1 at address %2 is too short: %3 byte</source>
        <translation>odpowiedź na zapytanie o wersję od %1 pod adresem %2 jest za krótka (bajtów: %3)</translation>
    </message>
    <message>
        <source>the answer to the version request from %1 at address %2 is too short: %3 bytes</source>
        <translation>odpowiedź na zapytanie o wersję od %1 pod adresem %2 jest za krótka (bajtów: %3)</translation>
    </message>
    <message>
        <source>the answer to the measurement request from %1 at address %2 is too short: %3 byte</source>
        <translation>odpowiedź na zapytanie o pomiar od %1 pod adresem %2 jest za krótka (bajtów: %3)</translation>
    </message>
    <message>
        <source>the answer to the measurement request from %1 at address %2 is too short: %3 bytes</source>
        <translation>odpowiedź na zapytanie o pomiar od %1 pod adresem %2 jest za krótka (bajtów: %3)</translation>
    </message>
    <message>
        <source>the answer to the clock request from %1 at address %2 is too short: %3 byte</source>
        <translation>odpowiedź na zapytanie o zegar od %1 pod adresem %2 jest za krótka (bajtów: %3)</translation>
    </message>
    <message>
        <source>the answer to the clock request from %1 at address %2 is too short: %3 bytes</source>
        <translation>odpowiedź na zapytanie o zegar od %1 pod adresem %2 jest za krótka (bajtów: %3)</translation>
    </message>
    <message>
        <source>the answer to the settings request from %1 at address %2 is too short: %3 byte</source>
        <translation>odpowiedź na zapytanie o ustawienia od %1 pod adresem %2 jest za krótka (bajtów: %3)</translation>
    </message>
    <message>
        <source>the answer to the settings request from %1 at address %2 is too short: %3 bytes</source>
        <translation>odpowiedź na zapytanie o ustawienia od %1 pod adresem %2 jest za krótka (bajtów: %3)</translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation>przerwano</translation>
    </message>
    <message>
        <source>cannot use a path: %1</source>
        <translation>nie można użyć ścieżki: %1</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>nie można zapisać %1: %2</translation>
    </message>
    <message>
        <source>cannot read standard input</source>
        <translation>nie można odczytać standardowego wejścia</translation>
    </message>
    <message>
        <source>standard input</source>
        <translation>standardowe wejście</translation>
    </message>
    <message>
        <source>restore - reads the file from standard input, which then cannot answer the question: use --yes</source>
        <translation>restore - czyta plik ze standardowego wejścia, które wtedy nie odpowie na pytanie: użyj --yes</translation>
    </message>
    <message>
        <source>cannot read the file: %1</source>
        <translation>nie można odczytać pliku: %1</translation>
    </message>
    <message>
        <source>the file is too big (over 1 MB) to be a settings file</source>
        <translation>plik jest za duży (ponad 1 MB), by był plikiem ustawień</translation>
    </message>
    <message>
        <source>not a settings file: not valid JSON</source>
        <translation>to nie jest plik ustawień: niepoprawny JSON</translation>
    </message>
    <message>
        <source>not a settings file: not valid JSON (%1 at character %2)</source>
        <translation>to nie jest plik ustawień: niepoprawny JSON (%1, znak %2)</translation>
    </message>
    <message>
        <source>not a QAL device settings file (another format)</source>
        <translation>to nie jest plik ustawień urządzenia QAL (inny format)</translation>
    </message>
    <message>
        <source>written in a newer version of the format (%1); this program knows version 1: use a newer program</source>
        <translation>zapisany w nowszej wersji formatu (%1); ten program zna wersję 1: użyj nowszego programu</translation>
    </message>
    <message>
        <source>the file&apos;s format version is missing or not valid</source>
        <translation>brak wersji formatu pliku lub jest niepoprawna</translation>
    </message>
    <message>
        <source>the file has no %1 record</source>
        <translation>w pliku brak rekordu %1</translation>
    </message>
    <message>
        <source>the %1 record in the file is not hexadecimal</source>
        <translation>rekord %1 w pliku nie jest zapisem szesnastkowym</translation>
    </message>
    <message>
        <source>the %1 record in the file has %2 bytes instead of %3</source>
        <translation>rekord %1 w pliku ma %2 bajtów zamiast %3</translation>
    </message>
    <message>
        <source>%1 does not agree with the record&apos;s bytes (%2): the file was edited by hand and is not used</source>
        <translation>%1 nie zgadza się z bajtami rekordu (%2): plik zmieniono ręcznie, nie użyto go</translation>
    </message>
    <message>
        <source>%1: not probed - Bluetooth, not probed</source>
        <translation>%1: nie sprawdzono - Bluetooth, nie sprawdzano</translation>
    </message>
    <message>
        <source>%1: busy - open in %2 (pid %3), left alone</source>
        <translation>%1: zajęty - otwarty przez %2 (pid %3), pominięty</translation>
    </message>
    <message>
        <source>%1: busy - the system console, left alone</source>
        <translation>%1: zajęty - konsola systemu, pominięty</translation>
    </message>
    <message>
        <source>%1: unusable - no UART behind this name, left alone</source>
        <translation>%1: nie do użycia - brak układu UART za tą nazwą, pominięty</translation>
    </message>
    <message>
        <source>cannot create the stop event (error %1)</source>
        <translation>nie można utworzyć zdarzenia zatrzymania (błąd %1)</translation>
    </message>
    <message>
        <source>cannot install the console control handler (error %1)</source>
        <translation>nie można zainstalować obsługi sygnałów konsoli (błąd %1)</translation>
    </message>
    <message>
        <source>Talks to a QAL-1P wind-speed sensor over a serial line or the network, with</source>
        <translation>Rozmawia z czujnikiem prędkości wiatru QAL-1P przez łącze szeregowe lub sieć, z</translation>
    </message>
    <message>
        <source>the QAL service terminal&apos;s settings unless told otherwise.</source>
        <translation>ustawieniami terminala serwisowego QAL, o ile nie podano innych.</translation>
    </message>
    <message>
        <source>  --device PATH     the serial device itself, such as /dev/ttyUSB0, or a</source>
        <translation>  --device ŚCIEŻKA  samo urządzenie szeregowe, np. /dev/ttyUSB0, albo port</translation>
    </message>
    <message>
        <source>                    network port: rfc2217://HOST:PORT or tcp://HOST:PORT</source>
        <translation>                    sieciowy: rfc2217://HOST:PORT lub tcp://HOST:PORT</translation>
    </message>
</context>
</TS>
