#include "common/io_error.h"

namespace tolvar {

namespace {
std::string composeText(const std::string& fileName, const std::string& reason)
{
    if (fileName.empty())
        return reason;
    return fileName + ": " + reason;
}
}  // namespace

IoError::IoError(std::string fileName, std::string reason)
    : std::runtime_error(composeText(fileName, reason)),
      fileName_(std::move(fileName)),
      reason_(std::move(reason))
{
}

}  // namespace tolvar
