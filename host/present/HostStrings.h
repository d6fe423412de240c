// GUIDs as the host shows and reads them (texts that cross the boundary are
// in hostkit/ExpertTexts.h).
#pragma once

#include "hostkit/ExpertTexts.h"

#include "contract/Guid.h"

#include <string>

// {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
std::string guidText(const _GUID& guid);

// Reads the text form above, with or without the braces; false when malformed.
bool parseGuid(const std::string& text, _GUID* guid);
