#include "support/faults.h"

#include <csignal>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tolvar::test {

namespace fs = std::filesystem;

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    getrlimit(RLIMIT_FSIZE, &previous_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, previous_.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
}

bool setFileOverrides(bool on)
{
    constexpr int kOverrides[] = {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH};
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    for (const int cap : kOverrides) {
        const unsigned bit = 1u << (cap % 32);
        if (on)
            data[cap / 32].effective |= data[cap / 32].permitted & bit;
        else
            data[cap / 32].effective &= ~bit;
    }
    return syscall(SYS_capset, &header, data) == 0;
}

ReadOnlyDirectory::ReadOnlyDirectory(fs::path dir)
    : dir_(std::move(dir)), previous_(fs::status(dir_).permissions())
{
    if (geteuid() == 0)
        overrideDropped_ = setFileOverrides(false);
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                              fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
}

ReadOnlyDirectory::~ReadOnlyDirectory()
{
    if (overrideDropped_)
        setFileOverrides(true);
    std::error_code ec;
    fs::permissions(dir_, previous_, ec);
}

bool ReadOnlyDirectory::holds() const
{
    const fs::path probe = dir_ / "probe.tmp";
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0)
        return true;
    ::close(fd);
    ::unlink(probe.c_str());
    return false;
}

}  // namespace tolvar::test
