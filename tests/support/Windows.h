// <windows.h> for the suites' own Windows code, without the macros it
// defines over names of the system: <windows.h> spells MessageBox,
// PostMessage, ReplaceFile and the rest as macros for their A/W calls, which
// would rename the system's own functions of those names in any file that
// includes both.
#pragma once

#ifdef _WIN32
#include <windows.h>
#undef MessageBox
#undef GetWindowText
#undef SetWindowText
#undef PostMessage
#undef ReplaceFile
#undef RemoveDirectory
#undef GetDriveType
#undef CreateDirectory
#undef GetProfileString
#endif
