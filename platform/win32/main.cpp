#include <windows.h>
#include <commctrl.h>
#undef DeleteFile

#include "program/project.h"
#include "platform/win32/files/win32_disk.h"
#include "platform/win32/message_box.h"
#include "platform/win32/win32_forms.h"

// No command line and no configuration: the main window, shown, and the
// message loop. A failure before the forms runtime stands gets a box of its own.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    try {
        InitCommonControls();
        tallowick::Win32Forms forms(instance);
        tallowick::Project project(forms, tallowick::OpenWin32FileSystem, tallowick::OpenWin32FileDeletion);
        tallowick::RunEventHandler(forms, [&] { forms.Show(project.main); });
        return forms.Run();
    } catch (const tallowick::Error& error) {
        tallowick::win32::ShowMessageBox({tallowick::MessageKind::Error, tallowick::FormatErrorReport(error), {}});
        return 1;
    }
}
