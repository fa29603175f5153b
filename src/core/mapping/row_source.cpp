#include "mapping/row_source.h"

#include "common/io_error.h"
#include "common/text_file.h"

namespace tolvar {

AsciiRowSource::AsciiRowSource(const std::filesystem::path& path)
    : file_(openForReading(path)), name_(path.string()), reader_(file_, name_)
{
    reader_.skipHeader();
}

double AsciiRowSource::next()
{
    const auto value = reader_.readValue();
    if (!value)
        throw IoError(name_, "the grid holds fewer values than its header declares");
    return *value;
}

void AsciiRowSource::nextRow()
{
    reader_.skipLine();
}

LibraryRowSource::LibraryRowSource(const GridEntryPoints& fn, const std::string& name,
                                   const std::string& path, int ncols)
    : fn_(fn), name_(name), values_(static_cast<std::size_t>(ncols > 0 ? ncols : 0))
{
    std::int32_t cellType = 0;
    double cellSize = 0;
    layer_ = fn_.CellLayerOpen(gridName16(path).c_str(), 2, 2, &cellType, &cellSize);
    if (layer_ < 0)
        throw IoError(name_, "cannot open grid layer with CellLayerOpen");
}

LibraryRowSource::~LibraryRowSource()
{
    if (layer_ >= 0)
        fn_.CellLyrClose(layer_);
}

double LibraryRowSource::next()
{
    // Reading on past the end of a row goes into the next one, as an ASCII
    // grid's stream does.
    if (loaded_ && col_ >= values_.size()) {
        ++row_;
        loaded_ = false;
    }
    if (!loaded_) {
        if (fn_.GetWindowRowFloat(layer_, row_, values_.data(), static_cast<std::int32_t>(values_.size())) != 1)
            throw IoError(name_, "cannot read row " + std::to_string(row_ + 1) + " with GetWindowRowFloat");
        loaded_ = true;
        col_ = 0;
    }
    return values_[col_++];
}

void LibraryRowSource::nextRow()
{
    ++row_;
    loaded_ = false;
}

}  // namespace tolvar
