//===- FileMapping.cpp - Named shared-memory blocks ----------------------===//
#include "platform/kernel/FileMapping.h"

#include "platform/kernel/SharedObject_p.h"

#include <cerrno>
#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr uintptr_t FourGiB = uintptr_t(1) << 32;
// Low enough to leave the low addresses of non-PIE programs and their heap alone, and inside
// the range AddressSanitizer leaves to the program (it reserves from just below 2 GiB up).
constexpr uintptr_t FirstHint = 0x20000000;
constexpr uintptr_t HintStep = 0x01000000;

size_t pageRounded(size_t Size)
{
    size_t page = size_t(::sysconf(_SC_PAGESIZE));
    return (Size + page - 1) / page * page;
}

bool endsBelow4GiB(void* Address, size_t Length)
{
    return uintptr_t(Address) < FourGiB && Length <= FourGiB - uintptr_t(Address);
}

/// Maps the object below 4 GiB: the shared records keep addresses of the mapping process in
/// 32-bit fields. Free hints are tried one after another because sanitizers and other mappings
/// may occupy parts of the range; MAP_32BIT (the lower 2 GiB) is the last resort.
void* mapBelow4GiB(int Fd, size_t Length)
{
    for (uintptr_t hint = FirstHint; Length <= FourGiB - hint; hint += HintStep) {
        void* view = ::mmap(reinterpret_cast<void*>(hint), Length, PROT_READ | PROT_WRITE,
                            MAP_SHARED | MAP_FIXED_NOREPLACE, Fd, 0);
        if (view == MAP_FAILED) {
            if (errno == EEXIST)
                continue;
            break;
        }
        // Kernels before 4.17 take the flag for a mere hint and may place the view elsewhere.
        if (view == reinterpret_cast<void*>(hint))
            return view;
        ::munmap(view, Length);
        break;
    }
#ifdef MAP_32BIT
    void* view = ::mmap(nullptr, Length, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_32BIT, Fd, 0);
    if (view != MAP_FAILED) {
        if (endsBelow4GiB(view, Length))
            return view;
        ::munmap(view, Length);
    }
#endif
    return nullptr;
}

} // namespace

struct FileMapping::Impl {
    std::unique_ptr<kernel_private::SharedObject> object;
    void* view = nullptr;
    size_t viewLength = 0;
};

FileMapping::FileMapping(std::unique_ptr<Impl> I) : impl_(std::move(I)) {}

FileMapping::~FileMapping() { UnmapView(); }

std::unique_ptr<FileMapping> FileMapping::Create(std::string_view Name, uint32_t Size)
{
    if (Size == 0) {
        errno = EINVAL; // a block of no bytes could not be mapped
        return nullptr;
    }
    auto object = kernel_private::SharedObject::Open("map", Name, Size);
    if (!object)
        return nullptr;
    auto impl = std::make_unique<Impl>();
    impl->object = std::move(object);
    return std::unique_ptr<FileMapping>(new FileMapping(std::move(impl)));
}

bool FileMapping::CreatedHere() const { return impl_->object->createdHere(); }

uint32_t FileMapping::Size() const { return impl_->object->size(); }

void* FileMapping::MapView()
{
    if (impl_->view)
        return impl_->view;
    size_t length = pageRounded(Size());
    impl_->view = mapBelow4GiB(impl_->object->fd(), length);
    if (impl_->view)
        impl_->viewLength = length;
    return impl_->view;
}

bool FileMapping::UnmapView()
{
    if (!impl_->view)
        return false;
    bool unmapped = ::munmap(impl_->view, impl_->viewLength) == 0;
    impl_->view = nullptr;
    impl_->viewLength = 0;
    return unmapped;
}
