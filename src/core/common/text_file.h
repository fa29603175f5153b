#pragma once

#include <filesystem>
#include <fstream>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tolvar {

inline constexpr std::string_view kLineEnd = "\r\n";

// Writes single-byte text with every line ended by CR LF, whatever the platform.
class TextWriter {
public:
    explicit TextWriter(std::ostream& out) : out_(out) {}

    TextWriter& write(std::string_view text);
    TextWriter& line(std::string_view text = {});
    void endLine() { out_ << kLineEnd; }
    std::ostream& stream() { return out_; }

private:
    std::ostream& out_;
};

// Reads one line that may end in CR LF, LF, a lone CR or nothing (last line);
// the line end is not part of the result. False only when nothing at all was
// left to read.
bool readLine(std::istream& in, std::string& line);

// All lines of a stream, by readLine.
std::vector<std::string> readAllLines(std::istream& in);

// Turns every line break in a text (CR LF, LF or a lone CR) into CR LF.
std::string withCrLf(std::string_view text);

// The line skip_until_line gives when no line holds the text.
inline constexpr const char* kNotFoundLine =
    "missing  missing  missing  missing  missing  missing  missing  missing  missing";

// skip_until_line: the first line that contains `str` (case-sensitive), or
// the not-found line.
std::string skip_until_line(const std::vector<std::string>& lines, const std::string& str);

// The cut of a text from 1-based position `from`, `count` characters, with
// every blank removed, read as a number (0 when it is none).
double numberAt(const std::string& line, std::size_t from, std::size_t count);

// toskim2: the text without blanks.
std::string toskim2(const std::string& text);

// File wrappers; both throw IoError naming the file when it cannot be opened.
std::ifstream openForReading(const std::filesystem::path& path);
// Steps over a UTF-8 byte-order mark at the current position, if there is one
// (spreadsheets put it before the first title of a "CSV UTF-8" export).
void skipUtf8Bom(std::istream& in);
std::ofstream openForWriting(const std::filesystem::path& path, bool append = false);

// Throws IoError when the stream has failed while writing.
void checkWritten(const std::ostream& out, const std::filesystem::path& path);

// The lines as one text, every line followed by CR LF.
std::string crlfText(const std::vector<std::string>& lines);
// Every line followed by CR LF.
void writeLines(std::ostream& out, const std::vector<std::string>& lines);
// Replaces the file by these lines; throws IoError naming it when it fails.
void writeTextFile(const std::filesystem::path& path, const std::vector<std::string>& lines);
// The same for a text whose lines already end in CR LF.
void writeTextFile(const std::filesystem::path& path, std::string_view text);

}  // namespace tolvar
