// The C heap functions, on the process heap.
#include <windows.h>

void *malloc(size_t size)
{
    return HeapAlloc(GetProcessHeap(), 0, size);
}

void *calloc(size_t count, size_t size)
{
    if (size != 0 && count > (size_t)-1 / size)
        return NULL;
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, count * size);
}

void free(void *block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

// As msvcrt's: a null block is allocated, a size of 0 frees the block.
void *realloc(void *block, size_t size)
{
    if (!block)
        return malloc(size);
    if (size == 0) {
        free(block);
        return NULL;
    }
    return HeapReAlloc(GetProcessHeap(), 0, block, size);
}
