#include "FileHandle.h"

#if defined(_WIN32)
#include <windows.h>

bool CloseWindowsFileHandle(void* handle) {
    return CloseHandle(handle) != 0;
}
#endif
