// A Win32 program on Tallowick.exe's own C runtime and start-up, for
// failure_test.sh. Its command line says where the error is thrown:
//   handler    in an event handler, as the program's file code throws it
//   uncaught   outside any handler
#include <string>

#include <windows.h>

#include "platform/runtime/toolkit_forms.h"
#include "platform/win32/system/win32_error.h"
#include "platform/win32/win32_forms.h"

// Built by a static constructor (too long for the string's own buffer).
static const std::string missingFile = "c:\\tallowick-missing\\a.txt";

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    const std::string where = commandLine;
    if (where == "uncaught")
        throw tallowick::Error(87, "thrown outside any handler");
    tallowick::Win32Forms forms(instance);
    tallowick::RunEventHandler(forms, [&] {
        if (where == "handler" && !DeleteFileA(missingFile.c_str()))
            throw tallowick::LastError(missingFile);
    });
    return forms.Run();
}
