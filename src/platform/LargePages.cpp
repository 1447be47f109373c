#include "platform/LargePages.h"

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace tavolux {

void adviseLargePages(const void *data, qint64 bytes)
{
#ifdef __linux__
    constexpr quintptr kLarge = quintptr(2) << 20;
    const quintptr begin = (quintptr(data) + kLarge - 1) & ~(kLarge - 1);
    const quintptr end = (quintptr(data) + quintptr(bytes)) & ~(kLarge - 1);
    if (end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#else
    Q_UNUSED(data);
    Q_UNUSED(bytes);
#endif
}

} // namespace tavolux
