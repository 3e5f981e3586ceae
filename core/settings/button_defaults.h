// The default custom keys that the button table writes into the registry once per revision.
#pragma once
#include <windows.h>

// Brings the custom keys under `buttons` to the current defaults revision when the stored one
// is missing or older; a key at the current revision is left alone.
void WriteDefaultButtons(HKEY buttons);
