#pragma once

// Every command of the window menu, in one table. Each is a multiple of 16 below 0xF000, since
// the menu is also part of the window's system menu, whose low four bits are the system's. The
// About item keeps its resource id, IDM_ABOUTBOX (0x10).
namespace WindowMenuCommand {
inline constexpr unsigned kLineMonitor = 0x20;     // "Podgląd transmisji"
inline constexpr unsigned kSaveJournal = 0x30;     // "Zapisz dziennik…"
inline constexpr unsigned kSaveSettings = 0x40;    // "Zapisz ustawienia urządzenia do pliku…"
inline constexpr unsigned kCompareSettings = 0x50; // "Porównaj / przywróć z pliku…"
inline constexpr unsigned kSettingsSheet = 0x60;   // "Arkusz ustawień…"
inline constexpr unsigned kTrend = 0x70;           // "Wykres prędkości"
inline constexpr unsigned kRecording = 0x80;       // "Zapisuj odczyty do pliku…"
inline constexpr unsigned kFindDevice = 0x90;      // "Znajdź urządzenie…"
inline constexpr unsigned kNetworkPorts = 0xA0;    // "Porty sieciowe…"
inline constexpr unsigned kAutoReconnect = 0xB0;   // "Łącz ponownie automatycznie"
inline constexpr unsigned kLanguage = 0xC0;        // "Język / Language"
} // namespace WindowMenuCommand
