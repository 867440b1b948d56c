//===- ProcessMemory.cpp - Reading memory that may not be there ----------===//
#include "platform/kernel/ProcessMemory.h"

#include <sys/uio.h>
#include <unistd.h>

bool ReadProcessMemory(const void* Address, void* Buffer, size_t Size)
{
    if (Size == 0)
        return true;
    if (!Address || !Buffer)
        return false;
    // The kernel checks the source range and answers EFAULT instead of a fault in this process.
    iovec local { Buffer, Size };
    iovec remote { const_cast<void*>(Address), Size };
    return process_vm_readv(getpid(), &local, 1, &remote, 1, 0) == ssize_t(Size);
}
