#pragma once

#include "DataExchange.h"
#include "DescriptionText.h"

#include <string>

// Characters a description takes in a dialog; the device field holds one more, for a text read
// from it.
inline constexpr int kDescriptionChars = 15;

// A record description in its edit: at most 15 characters, and only characters the device's
// code page can hold and no control characters, typed or pasted, so that what is shown is what
// the device gets.
inline void DDX_Description(CDataExchange& dx, int id, std::string& value) {
    DDX_Text(dx, id, value);
    DDV_MaxChars(dx, value, kDescriptionChars, &IsDescriptionCharacter);
}
