#pragma once

// Numeric ids of dialog templates, strings, icons and controls. Code and tests find windows and
// controls by these numbers.

// Dialog templates
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_TERMINAL = 102;
constexpr int IDD_PORT = 129;
constexpr int IDD_WAIT = 187;

// Strings and icons
constexpr int IDS_ABOUTBOX = 101;
constexpr int IDR_MAINFRAME = 128;

// Framework commands
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDM_ABOUTBOX = 16; // the About item's command, 0x0010
constexpr int IDC_STATIC = -1;   // controls that no code addresses

// Main window controls
constexpr int IDC_CONNECT = 1000;
constexpr int IDC_DISCONNECT = 1001;
constexpr int IDC_CONNECTION_OPTIONS = 1002;
constexpr int IDC_LOG = 1004;
constexpr int IDC_OUTPUTS = 1005;
constexpr int IDC_UPDATE_TIME = 1011;
constexpr int IDC_READER_CONFIG = 1012;
constexpr int IDC_SENSOR_CONFIG = 1049;
constexpr int IDC_VERSIONS = 1052;
constexpr int IDC_MEASURE = 1053;
constexpr int IDC_READ_INFO = 1207;
constexpr int IDC_SPEED = 1209;

// "Wybierz port": radio buttons COM1..COM6
constexpr int IDC_PORT_COM1 = 1006;
constexpr int IDC_PORT_COM6 = 1011;
