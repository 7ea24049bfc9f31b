#pragma once

// The line settings a Windows serial port gets, built from the ones its driver reports (a DCB).
// A template over the structure so that it needs no <windows.h>: the port passes the system's
// DCB, a test may pass a structure with the same fields.
//
// Every field that decides how bytes move is set, none is left as the driver or the last program
// had it ("mode COM3: octs=on idsr=on" survives in the driver): on a sensor cable with only TX,
// RX and ground, CTS and DSR stay low, and CTS flow control would stall every write while DSR
// sensitivity would drop every answer.
namespace line_dcb {

// The values of <windows.h> these fields take.
inline constexpr unsigned kNoParity = 0;          // NOPARITY
inline constexpr unsigned kOneStopBit = 0;        // ONESTOPBIT
inline constexpr unsigned kDtrControlDisable = 0; // DTR_CONTROL_DISABLE
inline constexpr unsigned kRtsControlDisable = 0; // RTS_CONTROL_DISABLE
inline constexpr char kXonChar = 0x11;            // DC1, the usual XON
inline constexpr char kXoffChar = 0x13;           // DC3, the usual XOFF

} // namespace line_dcb

// 8N1 at baudRate, binary, DTR and RTS held off, no flow control of any kind (neither CTS, DSR
// nor XON/XOFF), no DSR sensitivity, no parity check or replacement of bad or NUL bytes, no abort
// on errors. Kept from the driver: the XON/XOFF limits (they count only with XON/XOFF flow
// control, and the driver's are ones it accepts) and the reserved bits it may use.
template <typename Dcb> Dcb LineDcbFor(const Dcb& fromDriver, unsigned long baudRate) {
    Dcb dcb = fromDriver;
    dcb.DCBlength = sizeof(Dcb);
    dcb.BaudRate = baudRate;
    dcb.fBinary = 1; // the only mode Windows supports
    dcb.fParity = 0;
    dcb.fOutxCtsFlow = 0;
    dcb.fOutxDsrFlow = 0;
    dcb.fDtrControl = line_dcb::kDtrControlDisable;
    dcb.fDsrSensitivity = 0;
    // With XON/XOFF off this means nothing, but a driver that still looks at it must not hold
    // back output.
    dcb.fTXContinueOnXoff = 1;
    dcb.fOutX = 0;
    dcb.fInX = 0;
    dcb.fErrorChar = 0;
    dcb.fNull = 0;
    dcb.fRtsControl = line_dcb::kRtsControlDisable;
    dcb.fAbortOnError = 0;
    dcb.wReserved = 0; // must be zero
    dcb.ByteSize = 8;
    dcb.Parity = line_dcb::kNoParity;
    dcb.StopBits = line_dcb::kOneStopBit;
    // Unused without XON/XOFF, yet a driver refuses the whole DCB when the two are equal.
    dcb.XonChar = line_dcb::kXonChar;
    dcb.XoffChar = line_dcb::kXoffChar;
    dcb.ErrorChar = 0;
    dcb.EofChar = 0;
    dcb.EvtChar = 0;
    return dcb;
}
