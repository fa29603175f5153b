#include "grids/library_loader.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace tolvar {

bool LibraryLoader::load(const std::string& path)
{
    release();
    error_.clear();
    // GDAL keeps threads and registries of its own: the libraries stay mapped
    // after their release, as unloading GDAL in a running process is unsafe.
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
    if (!handle_) {
        const char* why = dlerror();
        error_ = why ? why : "cannot be loaded";
    }
    return handle_ != nullptr;
}

void* LibraryLoader::symbol(const char* name) const
{
    return handle_ ? dlsym(handle_, name) : nullptr;
}

void LibraryLoader::release()
{
    if (handle_)
        dlclose(handle_);
    handle_ = nullptr;
}

std::string executableDirectory()
{
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

}  // namespace tolvar
