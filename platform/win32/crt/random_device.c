// What libstdc++'s std::random_device refers to. Its member is linked
// because the standard exception classes' member defines one of its
// constructors; the program never makes a random_device.
#include <windows.h>

// errno, for the one thread.
static int errorNumber;
static int *__cdecl ErrorNumber(void) { return &errorNumber; }
int *(__cdecl *_imp___errno)(void) = ErrorNumber;

enum { BadFileDescriptor = 9, InvalidArgument = 22 };

// The POSIX file calls: nothing here opens a file descriptor, so none is
// valid.
int read(int descriptor, void *buffer, unsigned size)
{
    (void)descriptor, (void)buffer, (void)size;
    errorNumber = BadFileDescriptor;
    return -1;
}

int close(int descriptor)
{
    (void)descriptor;
    errorNumber = BadFileDescriptor;
    return -1;
}

// rand_s as msvcrt has it from Windows XP on: RtlGenRandom, advapi32's
// SystemFunction036, looked up when asked for; earlier systems have none.
static int __cdecl RandomNumber(unsigned *value)
{
    typedef BOOLEAN(WINAPI * RandomBytes)(void *, ULONG);
    const HMODULE advapi32 = LoadLibraryA("advapi32.dll");
    const RandomBytes randomBytes = advapi32 ? (RandomBytes)(void (*)(void))GetProcAddress(advapi32, "SystemFunction036") : NULL;
    const int filled = randomBytes && randomBytes(value, sizeof *value);
    if (advapi32)
        FreeLibrary(advapi32);
    if (filled)
        return 0;
    errorNumber = InvalidArgument;
    return InvalidArgument;
}
int(__cdecl *_imp__rand_s)(unsigned *) = RandomNumber;
