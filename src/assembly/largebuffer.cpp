#include "assembly/largebuffer.h"

#include <cstring>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace assembly {

namespace {

    void adviseHugePages([[maybe_unused]] QByteArray &buffer)
    {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        constexpr qsizetype threshold = qsizetype(4) << 20;
        if (buffer.capacity() < threshold)
            return;
        const auto pageSize = uintptr_t(sysconf(_SC_PAGESIZE));
        const auto begin = reinterpret_cast<uintptr_t>(buffer.data());
        const uintptr_t first = (begin + pageSize - 1) & ~(pageSize - 1);
        const uintptr_t last = (begin + uintptr_t(buffer.capacity())) & ~(pageSize - 1);
        if (last > first)
            madvise(reinterpret_cast<void *>(first), last - first, MADV_HUGEPAGE);
#endif
    }

} // namespace

QByteArray uninitializedBuffer(qsizetype size)
{
    QByteArray buffer;
    buffer.reserve(size);
    adviseHugePages(buffer);
    buffer.resize(size); // within the capacity: nothing is written but the final NUL
    return buffer;
}

void growBuffer(QByteArray &buffer, qsizetype size)
{
    if (size > buffer.capacity()) {
        // Not reserve(): it would copy into the new memory before the hint
        // could be given, and the whole buffer would stay in small pages.
        QByteArray bigger = uninitializedBuffer(size);
        std::memcpy(bigger.data(), buffer.constData(), size_t(buffer.size()));
        buffer = std::move(bigger);
        return;
    }
    buffer.resize(size);
}

} // namespace assembly
