#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tolvar {

// The six values of an ASCII grid header. Rows run north to south and columns
// west to east, both counted from 1.
struct GridHeader {
    std::int64_t ncols = 0;
    std::int64_t nrows = 0;
    double xllcorner = 0.0;
    double yllcorner = 0.0;
    double cellsize = 0.0;
    double nodata = 0.0;  // NODATA_value
    friend bool operator==(const GridHeader&, const GridHeader&) = default;
};

// A header as read: a key that was absent or whose value did not convert stays
// empty.
struct RawGridHeader {
    std::optional<std::int64_t> ncols;
    std::optional<std::int64_t> nrows;
    std::optional<double> xllcorner;
    std::optional<double> yllcorner;
    std::optional<double> cellsize;
    std::optional<double> nodata;
};

// Reads the six header lines by the format's rules: blanks removed, each key in
// its two accepted spellings, the key's length cut from the start of the line.
RawGridHeader parseGridHeaderLines(const std::array<std::string, 6>& lines);

// Reads the first six lines of a stream (missing lines read as empty text).
std::array<std::string, 6> readHeaderLines(std::istream& in);

// A complete header, or an IoError naming the key and the file: a grid whose
// header lacks a key or holds a value that does not convert (or a size that is
// not positive) is unreadable.
GridHeader requireCompleteHeader(const RawGridHeader& raw, const std::string& fileName);
GridHeader readGridHeader(std::istream& in, const std::string& fileName);
GridHeader readGridHeaderFile(const std::filesystem::path& path);

// Value type of a grid from its first value line: 2 (floating point) when the
// line holds a ".", otherwise 1 (integer).
int cellTypeFromLine(std::string_view firstValueLine);

// Z strictly between the two bounds, whatever their order.
bool between(double z, double value1, double value2);
// A sampled cell is missing when it lies strictly between 0.999 and 1.001
// times NODATA_value; a NODATA_value of 0 marks nothing as missing.
bool isMissingSample(double z, double nodata);

inline constexpr std::string_view kInvalidNumericFormat = "Invalid numeric format";

// Reads grid cell values one at a time from a stream through a large buffer:
// values are separated by blanks, tabs or line ends (LF, CR LF or a lone CR),
// and a row is left by skipping the rest of its line.
class GridValueReader {
public:
    GridValueReader(std::istream& in, std::string fileName);

    // Skips the six header lines.
    void skipHeader();
    // Reads one line as text (without its line end); false at the end.
    bool readLine(std::string& line);
    // The next value; empty at the end of the file. A text that is not a number
    // throws IoError "Invalid numeric format".
    std::optional<double> readValue();
    // Skips the next value without converting it; false at the end of the file.
    bool skipValue();
    // Skips the rest of the current line, line end included.
    void skipLine();
    bool atEnd();

private:
    bool fill();
    int peek();
    void stepOverLineEnd();

    std::istream& in_;
    std::string fileName_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    bool eof_ = false;
};

// Writes an ASCII grid: the header in the fixed form, then each value as the
// text given followed by one blank, each row ended by CR LF.
class GridWriter {
public:
    explicit GridWriter(std::ostream& out) : out_(out) {}

    void writeHeader(const GridHeader& header);
    void writeValue(std::string_view text);
    void endRow();

private:
    std::ostream& out_;
};

// The six header lines as written (without line ends).
std::array<std::string, 6> formatHeaderLines(const GridHeader& header);

}  // namespace tolvar
