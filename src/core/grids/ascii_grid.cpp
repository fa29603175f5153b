#include "grids/ascii_grid.h"

#include "common/io_error.h"
#include "common/number_format.h"
#include "common/text_file.h"

#include <algorithm>
#include <fstream>

namespace tolvar {

namespace {

struct KeySpelling {
    std::string_view first;
    std::string_view second;
    std::size_t removed;
};

constexpr KeySpelling kNcols{"ncols", "NCOLS", 5};
constexpr KeySpelling kNrows{"nrows", "NROWS", 5};
constexpr KeySpelling kXll{"xllcorner", "XLLCORNER", 9};
constexpr KeySpelling kYll{"yllcorner", "YLLCORNER", 9};
constexpr KeySpelling kCellsize{"cellsize", "CELLSIZE", 8};
constexpr KeySpelling kNodata{"NODATA_value", "NODATA_VALUE", 12};

bool holdsKey(std::string_view line, const KeySpelling& key)
{
    return line.find(key.first) != std::string_view::npos ||
           line.find(key.second) != std::string_view::npos;
}

std::string_view valueText(std::string_view line, const KeySpelling& key)
{
    return key.removed < line.size() ? line.substr(key.removed) : std::string_view{};
}

std::optional<double> nodataValue(std::string_view text)
{
    if (text.find('.') != std::string_view::npos)
        return parseReal(text);
    const auto integer = parseInteger(text);
    if (!integer)
        return std::nullopt;
    return static_cast<double>(*integer);
}

}  // namespace

RawGridHeader parseGridHeaderLines(const std::array<std::string, 6>& lines)
{
    RawGridHeader raw;
    for (const std::string& original : lines) {
        std::string line;
        line.reserve(original.size());
        for (char c : original)
            if (c != ' ')
                line += c;
        if (holdsKey(line, kNcols))
            raw.ncols = parseInteger(valueText(line, kNcols));
        if (holdsKey(line, kNrows))
            raw.nrows = parseInteger(valueText(line, kNrows));
        if (holdsKey(line, kXll))
            raw.xllcorner = parseReal(valueText(line, kXll));
        if (holdsKey(line, kYll))
            raw.yllcorner = parseReal(valueText(line, kYll));
        if (holdsKey(line, kCellsize))
            raw.cellsize = parseReal(valueText(line, kCellsize));
        if (holdsKey(line, kNodata))
            raw.nodata = nodataValue(valueText(line, kNodata));
    }
    return raw;
}

std::array<std::string, 6> readHeaderLines(std::istream& in)
{
    std::array<std::string, 6> lines;
    for (std::string& line : lines)
        if (!readLine(in, line))
            line.clear();
    return lines;
}

GridHeader requireCompleteHeader(const RawGridHeader& raw, const std::string& fileName)
{
    auto fail = [&](std::string_view key) {
        throw IoError(fileName, "the grid header has no readable " + std::string(key) + " value");
    };
    // Sizes beyond what any grid can hold are as unusable as missing ones.
    constexpr std::int64_t kLargestSide = 100'000'000;
    if (!raw.ncols || *raw.ncols <= 0 || *raw.ncols > kLargestSide)
        fail("ncols");
    if (!raw.nrows || *raw.nrows <= 0 || *raw.nrows > kLargestSide)
        fail("nrows");
    if (!raw.xllcorner)
        fail("xllcorner");
    if (!raw.yllcorner)
        fail("yllcorner");
    if (!raw.cellsize || !(*raw.cellsize > 0))
        fail("cellsize");
    if (!raw.nodata)
        fail("NODATA_value");
    return GridHeader{*raw.ncols, *raw.nrows, *raw.xllcorner, *raw.yllcorner, *raw.cellsize,
                      *raw.nodata};
}

GridHeader readGridHeader(std::istream& in, const std::string& fileName)
{
    return requireCompleteHeader(parseGridHeaderLines(readHeaderLines(in)), fileName);
}

GridHeader readGridHeaderFile(const std::filesystem::path& path)
{
    std::ifstream in = openForReading(path);
    return readGridHeader(in, path.string());
}

int cellTypeFromLine(std::string_view firstValueLine)
{
    return firstValueLine.find('.') != std::string_view::npos ? 2 : 1;
}

bool between(double z, double value1, double value2)
{
    const double lower = std::min(value1, value2);
    const double upper = std::max(value1, value2);
    return z > lower && z < upper;
}

bool isMissingSample(double z, double nodata)
{
    return between(z, 0.999 * nodata, 1.001 * nodata);
}

// ---------------------------------------------------------------------------

namespace {
constexpr std::size_t kReadBufferSize = 1 << 20;

bool isSeparator(int c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The first CR or LF in [p, end), or end.
const char* lineEnd(const char* p, const char* end)
{
    while (p < end && *p != '\n' && *p != '\r')
        ++p;
    return p;
}
}  // namespace

GridValueReader::GridValueReader(std::istream& in, std::string fileName)
    : in_(in), fileName_(std::move(fileName)), buffer_(kReadBufferSize)
{
}

bool GridValueReader::fill()
{
    if (pos_ < len_)
        return true;
    if (eof_)
        return false;
    in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    len_ = static_cast<std::size_t>(in_.gcount());
    pos_ = 0;
    if (in_.bad())
        throw IoError(fileName_, "reading the grid failed");
    if (len_ < buffer_.size())
        eof_ = true;
    return len_ > 0;
}

int GridValueReader::peek()
{
    if (!fill())
        return -1;
    return static_cast<unsigned char>(buffer_[pos_]);
}

bool GridValueReader::atEnd()
{
    return peek() < 0;
}

void GridValueReader::skipHeader()
{
    std::string ignored;
    for (int i = 0; i < 6; ++i)
        readLine(ignored);
}

bool GridValueReader::readLine(std::string& line)
{
    line.clear();
    if (peek() < 0)
        return false;
    while (fill()) {
        const char* start = buffer_.data() + pos_;
        const char* end = lineEnd(start, buffer_.data() + len_);
        line.append(start, end);
        pos_ = static_cast<std::size_t>(end - buffer_.data());
        if (pos_ < len_) {
            stepOverLineEnd();
            break;
        }
    }
    return true;
}

std::optional<double> GridValueReader::readValue()
{
    // Most values lie whole in the buffer, the blank after them too: read
    // them in place. The rest goes character by character below.
    constexpr std::ptrdiff_t kLongestToken = 128;
    if (fill()) {
        const char* p = buffer_.data() + pos_;
        const char* end = buffer_.data() + len_;
        while (p < end && isSeparator(static_cast<unsigned char>(*p)))
            ++p;
        const char* start = p;
        while (p < end && !isSeparator(static_cast<unsigned char>(*p)))
            ++p;
        if (p < end && p > start && p - start <= kLongestToken) {
            pos_ = static_cast<std::size_t>(p - buffer_.data());
            const auto value = parseReal(std::string_view(start, static_cast<std::size_t>(p - start)));
            if (!value)
                throw IoError(fileName_, std::string(kInvalidNumericFormat));
            return value;
        }
    }
    int c = peek();
    while (c >= 0 && isSeparator(c)) {
        ++pos_;
        c = peek();
    }
    if (c < 0)
        return std::nullopt;
    char token[128];
    std::size_t n = 0;
    bool tooLong = false;
    while (c >= 0 && !isSeparator(c)) {
        if (n < sizeof token)
            token[n++] = static_cast<char>(c);
        else
            tooLong = true;
        ++pos_;
        c = peek();
    }
    const auto value = tooLong ? std::nullopt : parseReal(std::string_view(token, n));
    if (!value)
        throw IoError(fileName_, std::string(kInvalidNumericFormat));
    return value;
}

bool GridValueReader::skipValue()
{
    int c = peek();
    while (c >= 0 && isSeparator(c)) {
        ++pos_;
        c = peek();
    }
    if (c < 0)
        return false;
    while (c >= 0 && !isSeparator(c)) {
        ++pos_;
        c = peek();
    }
    return true;
}

void GridValueReader::skipLine()
{
    while (fill()) {
        const char* start = buffer_.data() + pos_;
        const char* end = lineEnd(start, buffer_.data() + len_);
        pos_ = static_cast<std::size_t>(end - buffer_.data());
        if (pos_ < len_) {
            stepOverLineEnd();
            return;
        }
    }
}

void GridValueReader::stepOverLineEnd()
{
    // A line ends in LF, CR LF or a lone CR (the CR LF may straddle two buffers).
    const bool cr = buffer_[pos_] == '\r';
    ++pos_;
    if (cr && peek() == '\n')
        ++pos_;
}

// ---------------------------------------------------------------------------

std::array<std::string, 6> formatHeaderLines(const GridHeader& h)
{
    return {
        "ncols         " + std::to_string(h.ncols),
        "nrows         " + std::to_string(h.nrows),
        "xllcorner     " + fixed(h.xllcorner, 10, 3),
        "yllcorner     " + fixed(h.yllcorner, 10, 3),
        "cellsize      " + fixed(h.cellsize, 10, 3),
        "NODATA_value  " + fixed(h.nodata, 10, 0),
    };
}

void GridWriter::writeHeader(const GridHeader& header)
{
    for (const std::string& line : formatHeaderLines(header))
        out_ << line << kLineEnd;
}

void GridWriter::writeValue(std::string_view text)
{
    out_ << text << ' ';
}

void GridWriter::endRow()
{
    out_ << kLineEnd;
}

}  // namespace tolvar
