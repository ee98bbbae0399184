/*
 * Preloaded into 32-bit Wine when it runs under qemu-i386 user emulation
 * (qemu 7.2) on a host whose kernel runs no 32-bit programs. It mends four
 * things in which qemu differs from a real i386 kernel and which Wine relies
 * on:
 *   - mmap with MAP_FIXED_NOREPLACE: qemu takes the address as a mere hint,
 *     so Wine's reserved areas land elsewhere; fail with EEXIST instead, as
 *     the kernel does.
 *   - mmap at a file offset that is not page-aligned: qemu maps it anyway;
 *     the kernel says EINVAL, and Wine's image loader then reads the
 *     section instead.
 *   - SIGSEGV: qemu leaves the trap number and error code of the signal
 *     context blank; Wine's fault handler needs them to tell page faults
 *     (guard pages, copy-on-write sections) from other faults.
 *   - Thread-area segments: qemu keeps one global descriptor table for all
 *     threads, so the thread-area entry behind each thread's %fs (Wine's
 *     TEB) and %gs (glibc's thread pointer) holds the last thread's base in
 *     every thread. Any reload of the segment registers (every return from
 *     a signal, and Wine's return from an exception) then puts a thread on
 *     another thread's TEB and thread pointer, and it crashes. Here each
 *     thread's %gs moves to an LDT entry of its own (entries below 512,
 *     which Wine leaves to libc), and with no thread-area entry left Wine
 *     gives each thread's %fs an LDT entry of its own as well.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdint.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>
#include <asm/ldt.h>
#include <pthread.h>
#include <stdlib.h>

#ifndef MAP_FIXED_NOREPLACE
#define MAP_FIXED_NOREPLACE 0x100000
#endif

enum { page_size = 4096, trap_page_fault = 14, trap_protection = 13 };
enum { fault_present = 1, fault_write = 2, fault_user = 4 };

void *mmap64(void *address, size_t length, int protection, int flags, int fd, off64_t offset)
{
    if (offset % page_size != 0) {
        errno = EINVAL;
        return MAP_FAILED;
    }
    const int no_replace = flags & MAP_FIXED_NOREPLACE;
    long mapped = syscall(SYS_mmap2, address, length, protection, flags & ~MAP_FIXED_NOREPLACE, fd,
                          (unsigned long)(offset / page_size));
    if (mapped == -1)
        return MAP_FAILED;
    if (no_replace && (void *)mapped != address) {
        syscall(SYS_munmap, mapped, length);
        errno = EEXIST;
        return MAP_FAILED;
    }
    return (void *)mapped;
}

void *mmap(void *address, size_t length, int protection, int flags, int fd, off_t offset)
{
    return mmap64(address, length, protection, flags, fd, (off64_t)(unsigned long)offset);
}

static void (*wine_fault_handler)(int, siginfo_t *, void *);
static int null_fd = -1;

/* Whether the process may read ADDRESS, without faulting: write(2) of one
   byte from it fails with EFAULT if not. */
static int readable(const void *address)
{
    if (null_fd < 0)
        null_fd = open("/dev/null", O_WRONLY | O_CLOEXEC);
    return syscall(SYS_write, null_fd, address, 1) == 1;
}

static void fault_with_trap_info(int signal_number, siginfo_t *info, void *context)
{
    greg_t *registers = ((ucontext_t *)context)->uc_mcontext.gregs;
    if (signal_number == SIGSEGV && (int)registers[REG_TRAPNO] == -1) {
        if (info->si_code == SEGV_MAPERR || info->si_code == SEGV_ACCERR) {
            /* A fault on a readable page was a write. */
            registers[REG_TRAPNO] = trap_page_fault;
            registers[REG_ERR] = fault_user | (readable(info->si_addr) ? fault_write : 0)
                               | (info->si_code == SEGV_ACCERR ? fault_present : 0);
        } else {
            registers[REG_TRAPNO] = trap_protection;
        }
    }
    wine_fault_handler(signal_number, info, context);
}

int sigaction(int signal_number, const struct sigaction *action, struct sigaction *old_action)
{
    static int (*next_sigaction)(int, const struct sigaction *, struct sigaction *);
    if (!next_sigaction)
        next_sigaction = (int (*)(int, const struct sigaction *, struct sigaction *))dlsym(RTLD_NEXT, "sigaction");
    if (signal_number == SIGSEGV && action && (action->sa_flags & SA_SIGINFO)
        && action->sa_sigaction != fault_with_trap_info
        && action->sa_handler != SIG_DFL && action->sa_handler != SIG_IGN) {
        struct sigaction wrapped = *action;
        wine_fault_handler = action->sa_sigaction;
        wrapped.sa_sigaction = fault_with_trap_info;
        return next_sigaction(signal_number, &wrapped, old_action);
    }
    return next_sigaction(signal_number, action, old_action);
}

enum { ldt_entries_left_to_libc = 512 };

static unsigned short shared_gs;     /* glibc's thread-area selector */
static unsigned int next_gs_entry = 1;

static unsigned short get_gs(void)
{
    unsigned short selector;
    __asm__ volatile("movw %%gs, %0" : "=r"(selector));
    return selector;
}

static void set_gs(unsigned short selector)
{
    __asm__ volatile("movw %0, %%gs" : : "r"(selector));
}

/* glibc's thread pointer: the first word of the block %gs points at. */
static unsigned long thread_pointer(void)
{
    unsigned long pointer;
    __asm__ volatile("movl %%gs:0, %0" : "=r"(pointer));
    return pointer;
}

static struct user_desc data_segment(unsigned int entry, unsigned long base)
{
    struct user_desc segment = { .entry_number = entry, .base_addr = (unsigned int)base, .limit = 0xfffff,
                                 .seg_32bit = 1, .limit_in_pages = 1, .useable = 1 };
    return segment;
}

/* Moves the calling thread's %gs to an LDT entry of its own; stays on the
   shared entry once all are taken. */
static void give_thread_own_gs(void)
{
    const unsigned int entry = __atomic_fetch_add(&next_gs_entry, 1, __ATOMIC_RELAXED);
    if (entry >= ldt_entries_left_to_libc)
        return;
    struct user_desc segment = data_segment(entry, thread_pointer());
    if (syscall(SYS_modify_ldt, 1, &segment, sizeof segment) == 0)
        set_gs((unsigned short)(entry << 3 | 7));
}

struct thread_start {
    void *(*routine)(void *);
    void *argument;
    sigset_t signal_mask;
};

static void *start_with_own_gs(void *data)
{
    give_thread_own_gs();
    struct thread_start start = *(struct thread_start *)data;
    free(data);
    pthread_sigmask(SIG_SETMASK, &start.signal_mask, NULL);
    return start.routine(start.argument);
}

/* glibc makes the new thread's thread-area entry from the number in the
   creator's %gs, so the creator lends itself the shared entry again while
   it creates one, with signals blocked (a signal's return would reload
   %gs). */
int pthread_create(pthread_t *thread, const pthread_attr_t *attributes, void *(*routine)(void *), void *argument)
{
    static int (*next_pthread_create)(pthread_t *, const pthread_attr_t *, void *(*)(void *), void *);
    if (!next_pthread_create)
        next_pthread_create = (int (*)(pthread_t *, const pthread_attr_t *, void *(*)(void *), void *))
            dlsym(RTLD_NEXT, "pthread_create");
    const unsigned short own_gs = get_gs();
    if (!shared_gs || own_gs == shared_gs)
        return next_pthread_create(thread, attributes, routine, argument);

    struct thread_start *start = malloc(sizeof *start);
    if (!start)
        return EAGAIN;
    start->routine = routine;
    start->argument = argument;
    sigset_t all, old_mask;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &old_mask);
    start->signal_mask = old_mask;

    struct user_desc shared = data_segment(shared_gs >> 3, thread_pointer());
    syscall(SYS_set_thread_area, &shared);
    set_gs(shared_gs);
    const int result = next_pthread_create(thread, attributes, start_with_own_gs, start);
    set_gs(own_gs);
    pthread_sigmask(SIG_SETMASK, &old_mask, NULL);
    if (result != 0)
        free(start);
    return result;
}

/* Runs before Wine starts: moves the main thread's %gs to the LDT, takes
   every free thread-area entry, and clears %fs, which Wine's preloader may
   have pointed at such an entry and which Wine would then keep using. */
__attribute__((constructor)) static void keep_threads_segments_apart(void)
{
    shared_gs = get_gs();
    give_thread_own_gs();
    __asm__ volatile("movw %w0, %%fs" : : "r"(0));
    for (;;) {
        struct user_desc taken = data_segment((unsigned int)-1, 0);
        if (syscall(SYS_set_thread_area, &taken) != 0)
            break;
    }
}
