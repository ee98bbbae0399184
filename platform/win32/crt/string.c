// The string and memory functions that the program and its C++ runtime
// call, as plain loops (see CMakeLists.txt for how they are compiled); copies
// and fills by the processor's string instructions, which every x86 has.
#include <stddef.h>

void *memmove(void *destination, const void *source, size_t size)
{
    unsigned char *to = destination;
    const unsigned char *from = source;
    if (to <= from || to >= from + size) // nothing to overwrite before it is read
        __asm__ volatile("rep movsb" : "+D"(to), "+S"(from), "+c"(size) : : "memory");
    else
        while (size--)
            to[size] = from[size];
    return destination;
}

void *memcpy(void *destination, const void *source, size_t size)
{
    return memmove(destination, source, size);
}

void *memset(void *destination, int value, size_t size)
{
    unsigned char *to = destination;
    __asm__ volatile("rep stosb" : "+D"(to), "+c"(size) : "a"(value) : "memory");
    return destination;
}

int memcmp(const void *left, const void *right, size_t size)
{
    const unsigned char *a = left, *b = right;
    for (; size; --size, ++a, ++b)
        if (*a != *b)
            return *a < *b ? -1 : 1;
    return 0;
}

void *memchr(const void *block, int value, size_t size)
{
    const unsigned char *at = block;
    for (; size; --size, ++at)
        if (*at == (unsigned char)value)
            return (void *)at;
    return NULL;
}

size_t strlen(const char *text)
{
    const char *end = text;
    while (*end)
        ++end;
    return (size_t)(end - text);
}

size_t wcslen(const wchar_t *text)
{
    const wchar_t *end = text;
    while (*end)
        ++end;
    return (size_t)(end - text);
}

int strncmp(const char *left, const char *right, size_t size)
{
    const unsigned char *a = (const unsigned char *)left, *b = (const unsigned char *)right;
    for (; size; --size, ++a, ++b) {
        if (*a != *b)
            return *a < *b ? -1 : 1;
        if (!*a)
            break;
    }
    return 0;
}

int strcmp(const char *left, const char *right)
{
    return strncmp(left, right, (size_t)-1);
}

// Copies at most size characters and fills the rest with nulls.
char *strncpy(char *destination, const char *source, size_t size)
{
    char *to = destination;
    for (; size && *source; --size)
        *to++ = *source++;
    for (; size; --size)
        *to++ = '\0';
    return destination;
}
