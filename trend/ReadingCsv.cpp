#include "ReadingCsv.h"

#include <cstdio>
#include <cstdlib>

std::string ReadingCsvHeader() {
    return "time,reading,speed_mps,status,failure,output1,output2,output3";
}

std::string ReadingCsvLine(const std::string& isoTime, const ReadingSample& reading) {
    // Integer arithmetic only: no locale's decimal comma can creep in.
    const int tenths = reading.speedTenths;
    const int magnitude = std::abs(tenths);
    char text[96];
    std::snprintf(text, sizeof text, "%s,%u,%s%d.%d,0x%02X,%d,%d,%d,%d", isoTime.c_str(),
                  static_cast<unsigned>(reading.readingNo), tenths < 0 ? "-" : "", magnitude / 10,
                  magnitude % 10, static_cast<unsigned>(reading.status), reading.failure ? 1 : 0,
                  reading.outputs[0] ? 1 : 0, reading.outputs[1] ? 1 : 0,
                  reading.outputs[2] ? 1 : 0);
    return text;
}
