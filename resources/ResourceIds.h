#pragma once

// Numeric ids of dialog templates, strings, icons and controls. Code and tests find windows and
// controls by these numbers.

// Dialog templates
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_TERMINAL = 102;
constexpr int IDD_PORT = 129;
constexpr int IDD_SENSOR_CONFIG = 167;
constexpr int IDD_OUTPUTS = 178;
constexpr int IDD_READER_CONFIG = 185;
constexpr int IDD_WAIT = 187;
constexpr int IDD_LANGUAGE = 190;

// Strings and icons
constexpr int IDS_ABOUTBOX = 101;

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

// Ids below are per dialog: the same number may stand for different controls in different
// windows (1049 is "Konfiguracja QAL" in the main window and output 1's check box elsewhere).

// "Konfiguracja QAL" and "Konfiguracja czytnika"
constexpr int IDC_OUTPUT_MODE_ONE_WAY = 1202;
constexpr int IDC_OUTPUT_MODE_TWO_WAY = 1022;
constexpr int IDC_OUTPUT_KIND_CURRENT = 1203;
constexpr int IDC_OUTPUT_KIND_VOLTAGE = 1204;
constexpr int IDC_DAC_RS = 1046;
constexpr int IDC_SERIAL = 1205;
constexpr int IDC_PRODUCTION_YEAR = 1003;
constexpr int IDC_RANGE = 1200;
constexpr int IDC_REVERSED = 1045;
constexpr int IDC_DESCRIPTION = 1210;
constexpr int IDC_INTERVAL = 1215;

// "Konfiguracja wyjść": per output 1, 2, 3
constexpr int IDC_OUTPUT1_ACTIVE = 1049;
constexpr int IDC_OUTPUT2_ACTIVE = 1050;
constexpr int IDC_OUTPUT3_ACTIVE = 1051;
constexpr int IDC_OUTPUT1_MIN = 1198;
constexpr int IDC_OUTPUT2_MIN = 1019;
constexpr int IDC_OUTPUT3_MIN = 1015;
constexpr int IDC_OUTPUT1_MAX = 1199;
constexpr int IDC_OUTPUT2_MAX = 1020;
constexpr int IDC_OUTPUT3_MAX = 1016;
constexpr int IDC_OUTPUT1_INVERTED = 1046;
constexpr int IDC_OUTPUT2_INVERTED = 1047;
constexpr int IDC_OUTPUT3_INVERTED = 1048;

// "Język / Language"
constexpr int IDC_LANGUAGE_POLISH = 1300;
constexpr int IDC_LANGUAGE_ENGLISH = 1301;
