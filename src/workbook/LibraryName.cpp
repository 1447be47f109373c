// Built and run when the build is configured: prints the name of the file
// the loader found for libxlsxwriter, which is the name the library gives
// itself, so that the program can load it by that name when needed.
#include <xlsxwriter.h>

#include <link.h>

#include <cstdio>
#include <cstring>

int main()
{
    // A use of the library, so that the loader brings it in.
    if (!lxw_version())
        return 1;
    const char *found = nullptr;
    dl_iterate_phdr(
        [](dl_phdr_info *info, size_t, void *data) {
            const char *name = info->dlpi_name;
            const char *base = name ? std::strrchr(name, '/') : nullptr;
            base = base ? base + 1 : name;
            if (base && std::strncmp(base, "libxlsxwriter.", 14) == 0) {
                *static_cast<const char **>(data) = base;
                return 1;
            }
            return 0;
        },
        &found);
    if (!found)
        return 1;
    std::printf("%s", found);
    return 0;
}
