#pragma once

#include <filesystem>
#include <sys/resource.h>

namespace tolvar::test {

// Files cannot grow past `bytes` while this lives, as on a full disk: a write
// past it fails with EFBIG instead of raising SIGXFSZ. The limit and the
// signal's disposition are put back at the end.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

// Sets the calling thread's file-permission overrides (root's), which the
// threads it starts afterwards inherit; the permitted set is kept, so they can
// be taken back. False when the process cannot change them.
bool setFileOverrides(bool on);

// The directory is read-only while this lives. Root passes every permission
// check, so the calling thread gives up its file-permission override for as
// long; threads it starts meanwhile inherit that. `holds()` says whether the
// directory really refuses a new file (it cannot when the process may not
// drop the override).
class ReadOnlyDirectory {
public:
    explicit ReadOnlyDirectory(std::filesystem::path dir);
    ~ReadOnlyDirectory();
    ReadOnlyDirectory(const ReadOnlyDirectory&) = delete;
    ReadOnlyDirectory& operator=(const ReadOnlyDirectory&) = delete;

    bool holds() const;

private:
    std::filesystem::path dir_;
    std::filesystem::perms previous_;
    bool overrideDropped_ = false;
};

}  // namespace tolvar::test
