#include "StringTable.h"

#include "ResourceIds.h"

std::string LoadStringResource(int id) {
    switch (id) {
    case IDS_ABOUTBOX:
        return "&About ZB...";
    default:
        return {};
    }
}
