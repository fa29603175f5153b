#include "common/text_file.h"

#include "common/io_error.h"
#include "common/number_format.h"

#include <cerrno>
#include <algorithm>
#include <cstring>

namespace tolvar {

TextWriter& TextWriter::write(std::string_view text)
{
    out_ << text;
    return *this;
}

TextWriter& TextWriter::line(std::string_view text)
{
    out_ << text << kLineEnd;
    return *this;
}

bool readLine(std::istream& in, std::string& line)
{
    line.clear();
    const std::istream::sentry ok(in, true);
    if (!ok)
        return false;
    // Spreadsheets on some systems end lines with a lone CR; files that went
    // through several tools mix the three ends.
    std::streambuf& buf = *in.rdbuf();
    bool any = false;
    for (;;) {
        const int c = buf.sbumpc();
        if (c == std::char_traits<char>::eof()) {
            in.setstate(any ? std::ios::eofbit : std::ios::eofbit | std::ios::failbit);
            return any;
        }
        any = true;
        if (c == '\n')
            return true;
        if (c == '\r') {
            if (buf.sgetc() == '\n')
                buf.sbumpc();
            return true;
        }
        line += static_cast<char>(c);
    }
}

std::vector<std::string> readAllLines(std::istream& in)
{
    std::vector<std::string> lines;
    std::string line;
    while (readLine(in, line))
        lines.push_back(line);
    return lines;
}

std::string withCrLf(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += kLineEnd;
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += kLineEnd;
        } else {
            out += c;
        }
    }
    return out;
}

namespace {
std::string systemReason(const char* what)
{
    const int err = errno;
    std::string reason = what;
    if (err != 0) {
        reason += " (";
        reason += std::strerror(err);
        reason += ")";
    }
    return reason;
}
}  // namespace

std::ifstream openForReading(const std::filesystem::path& path)
{
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw IoError(path.string(), systemReason("cannot open the file for reading"));
    return in;
}

void skipUtf8Bom(std::istream& in)
{
    constexpr char kBom[] = "\xEF\xBB\xBF";
    const std::streampos start = in.tellg();
    char head[3] = {};
    in.read(head, 3);
    if (in.gcount() == 3 && std::equal(head, head + 3, kBom))
        return;
    in.clear();
    in.seekg(start);
}

std::ofstream openForWriting(const std::filesystem::path& path, bool append)
{
    errno = 0;
    std::ofstream out(path, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
    if (!out)
        throw IoError(path.string(), systemReason("cannot open the file for writing"));
    return out;
}

void checkWritten(const std::ostream& out, const std::filesystem::path& path)
{
    if (!out)
        throw IoError(path.string(), "writing to the file failed");
}

std::string crlfText(const std::vector<std::string>& lines)
{
    std::size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + kLineEnd.size();
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines) {
        text += line;
        text += kLineEnd;
    }
    return text;
}

void writeLines(std::ostream& stream, const std::vector<std::string>& lines)
{
    // One block in one write: result files run to thousands of lines.
    const std::string text = crlfText(lines);
    stream.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void writeTextFile(const std::filesystem::path& path, const std::vector<std::string>& lines)
{
    std::ofstream out = openForWriting(path);
    writeLines(out, lines);
    out.flush();
    checkWritten(out, path);
}

void writeTextFile(const std::filesystem::path& path, std::string_view text)
{
    std::ofstream out = openForWriting(path);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    checkWritten(out, path);
}

std::string skip_until_line(const std::vector<std::string>& lines, const std::string& str)
{
    for (const std::string& line : lines)
        if (line.find(str) != std::string::npos)
            return line;
    return kNotFoundLine;
}

std::string toskim2(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ' ')
            out += c;
    return out;
}

double numberAt(const std::string& line, std::size_t from, std::size_t count)
{
    if (from < 1 || from > line.size())
        return 0.0;
    return parseReal(toskim2(line.substr(from - 1, count))).value_or(0.0);
}

}  // namespace tolvar
