#pragma once

#include <string>

namespace tolvar {

// One dynamic library loaded by path (or, for a bare file name, by the
// platform's library search) and released when the object goes.
class LibraryLoader {
public:
    LibraryLoader() = default;
    ~LibraryLoader() { release(); }
    LibraryLoader(const LibraryLoader&) = delete;
    LibraryLoader& operator=(const LibraryLoader&) = delete;

    // False (with the reason in error()) when the library does not load.
    bool load(const std::string& path);
    bool loaded() const { return handle_ != nullptr; }
    // The address of an exported name, or nullptr.
    void* symbol(const char* name) const;
    void release();
    const std::string& error() const { return error_; }

private:
    void* handle_ = nullptr;
    std::string error_;
};

// The directory of the running executable ("" when unknown).
std::string executableDirectory();

}  // namespace tolvar
