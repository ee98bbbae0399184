// What the thread support of libgcc and libstdc++ (gthr-win32) asks of the
// C runtime.

// Non-zero: that support is on (critical sections, TLS slots for emulated
// thread-local data), as under mingw-w64's runtime, which sets 2.
int _CRT_MT = 2;

// mingw-w64's runtime keeps these destructors of thread-specific data to run
// them, through a TLS callback, when a thread ends. Tallowick.exe has one
// thread, and its data goes with the process, so none is kept.
int __mingwthr_key_dtor(unsigned long key, void (*destructor)(void *))
{
    (void)key, (void)destructor;
    return 0;
}
