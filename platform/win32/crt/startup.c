// Tallowick.exe's entry point and its end, in place of mingw-w64's crt2.o
// and msvcrt.dll's start-up: the static constructors, WinMain with its
// command line, then the exit handlers and ExitProcess.
#include <windows.h>

typedef void (*Function)(void);

void *realloc(void *block, size_t size);

// The linker's lists of the .ctors and .dtors sections: -1, the functions,
// a closing null. gcc's crtend.o adds the first constructor to run: the one
// that registers the exception frames (DWARF-2 unwinding).
extern Function __CTOR_LIST__[];
extern Function __DTOR_LIST__[];

// atexit's handlers, run last first when WinMain returns.
static Function *exitHandlers;
static unsigned exitHandlerCount;
static unsigned exitHandlerRoom;

int atexit(Function handler)
{
    if (exitHandlerCount == exitHandlerRoom) {
        const unsigned room = exitHandlerRoom ? exitHandlerRoom * 2 : 32;
        Function *grown = realloc(exitHandlers, room * sizeof *grown);
        if (!grown)
            return -1;
        exitHandlers = grown;
        exitHandlerRoom = room;
    }
    exitHandlers[exitHandlerCount++] = handler;
    return 0;
}

// Ends at once, as C's abort does: after std::terminate nothing more of the
// program may run. 3 is msvcrt's status for it.
void abort(void)
{
    ExitProcess(3);
}

static void RunStaticDestructors(void)
{
    for (Function *destructor = __DTOR_LIST__ + 1; *destructor; ++destructor)
        (*destructor)();
}

// The constructors run from the end of the list, as gcc's own __main does.
static void RunStaticConstructors(void)
{
    Function *constructor = __CTOR_LIST__ + 1;
    while (*constructor)
        ++constructor;
    while (--constructor > __CTOR_LIST__)
        (*constructor)();
    atexit(RunStaticDestructors);
}

// The command line without the program's name, which ends at the first
// space or tab outside quotes, nor the blanks after it. Read unsigned:
// a byte of a non-ASCII name is no blank.
static LPSTR CommandLineArguments(void)
{
    const unsigned char *text = (const unsigned char *)GetCommandLineA();
    int quoted = 0;
    while (*text > ' ' || (*text && quoted)) {
        if (*text == '"')
            quoted = !quoted;
        ++text;
    }
    while (*text && *text <= ' ')
        ++text;
    return (LPSTR)text;
}

void WinMainCRTStartup(void)
{
    // The floating-point unit as mingw-w64's start-up leaves it: 64-bit
    // precision, every exception masked.
    __asm__ volatile("fninit");

    STARTUPINFOA startup;
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const int showCommand = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;

    RunStaticConstructors();
    const int status = WinMain(GetModuleHandleA(NULL), NULL, CommandLineArguments(), showCommand);
    while (exitHandlerCount > 0)
        exitHandlers[--exitHandlerCount]();
    ExitProcess((UINT)status);
}
