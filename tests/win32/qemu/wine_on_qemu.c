/*
 * Preloaded into 32-bit Wine when it runs under qemu-i386 user emulation
 * (qemu 7.2) on a host whose kernel runs no 32-bit programs. It mends three
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
