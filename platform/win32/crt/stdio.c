// The little of C's standard output that the C++ runtime uses: its
// terminate handler writes to stderr, and its demangler formats numbers with
// sprintf. A stream is the standard handle it writes to; where the process
// has none (a program started from the shell has no console), the text goes
// nowhere.
#include <stdarg.h>
#include <windows.h>

typedef struct Stream {
    DWORD standardHandle;
} FILE;

enum { EndOfFile = -1 };

static FILE standardStreams[] = {{STD_INPUT_HANDLE}, {STD_OUTPUT_HANDLE}, {STD_ERROR_HANDLE}};

// stdin, stdout and stderr, as mingw-w64's headers reach them: through the
// import pointer of msvcrt's __acrt_iob_func.
static FILE *__cdecl StandardStream(unsigned index)
{
    return index < 3 ? &standardStreams[index] : NULL;
}
FILE *(__cdecl *_imp____acrt_iob_func)(unsigned) = StandardStream;

size_t fwrite(const void *data, size_t size, size_t count, FILE *stream)
{
    const HANDLE handle = GetStdHandle(stream->standardHandle);
    DWORD written = 0;
    if (size == 0 || count == 0 || !handle || handle == INVALID_HANDLE_VALUE)
        return 0;
    WriteFile(handle, data, (DWORD)(size * count), &written, NULL);
    return written / size;
}

int fputs(const char *text, FILE *stream)
{
    const size_t length = strlen(text);
    return length == 0 || fwrite(text, length, 1, stream) == 1 ? 0 : EndOfFile;
}

int fputc(int character, FILE *stream)
{
    const unsigned char byte = (unsigned char)character;
    return fwrite(&byte, 1, 1, stream) == 1 ? byte : EndOfFile;
}

// USER32's formatter, present on every Windows: the integer and text
// conversions, no floating point, at most 1024 characters.
int sprintf(char *buffer, const char *format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const int length = wvsprintfA(buffer, format, arguments);
    va_end(arguments);
    return length;
}
