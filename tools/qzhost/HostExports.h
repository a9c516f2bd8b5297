// Withdrawing one of the host program's own FX_* exports, so that a plug-in looking it up by name
// finds nothing, as in a host that does not offer the function. The export is removed from the
// program's real export table (Windows: the export directory's name table; Linux: the dynamic
// symbol table), not from a list of the stand-in host's; it stays withdrawn for the process.
#pragma once

#include <string>

// False, with a one-line reason, when the program exports no function of that name.
bool WithdrawHostExport(const std::string& name, std::string* error);
