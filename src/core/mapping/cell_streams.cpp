#include "mapping/cell_streams.h"

#include "common/io_error.h"
#include "common/text_file.h"

namespace tolvar {

namespace {
constexpr const char* kKeys[6] = {"MHW", "MSW", "MLW", "SDMHW", "SDMSW", "SDMLW"};
}

void InputStreams::openlees(const WorkDir& dir, const Registry& registry, const GridPropsTable& props)
{
    close();
    for (int i = 0; i <= registry.AuxVarCount; ++i) {
        if (props[static_cast<std::size_t>(i)][kKind] == 0.0)
            continue;  // ESRI grids are not streamed
        auto s = std::make_unique<Stream>();
        const auto path = dir.resolve(registry.HulpVarRecs[static_cast<std::size_t>(i)].PFileName);
        s->name = path.string();
        s->file = openForReading(path);
        s->reader = std::make_unique<GridValueReader>(s->file, s->name);
        s->reader->skipHeader();
        streams_[static_cast<std::size_t>(i)] = std::move(s);
    }
}

double InputStreams::leeswaarde(int ahnplus)
{
    Stream* s = streams_[static_cast<std::size_t>(ahnplus)].get();
    if (!s)
        throw IoError("", "grid slot " + std::to_string(ahnplus) + " cannot be read cell by cell");
    const auto value = s->reader->readValue();
    if (!value)
        throw IoError(s->name, "the grid holds fewer values than its header declares");
    return *value;
}

void InputStreams::leesregel(int ahnplus)
{
    if (Stream* s = streams_[static_cast<std::size_t>(ahnplus)].get())
        s->reader->skipLine();
}

void InputStreams::close()
{
    for (auto& s : streams_)
        s.reset();
}

OutputStreams::~OutputStreams()
{
    for (auto& s : streams_)
        if (s && s->file.is_open()) {
            flushRow(*s);
            s->file.close();
        }
}

int OutputStreams::keyIndex(const std::string& gxg)
{
    for (int i = 0; i < 6; ++i)
        if (gxg == kKeys[i])
            return i;
    return -1;
}

void OutputStreams::openbestand(TGridFileType type, const std::filesystem::path& filename,
                                const std::string& gxg, const GridHeader& header)
{
    const int key = keyIndex(gxg);
    if (type != TGridFileType::asciigrid || key < 0)
        return;
    auto s = std::make_unique<Stream>();
    s->path = filename;
    s->file = openForWriting(filename);
    GridWriter(s->file).writeHeader(header);
    checkWritten(s->file, filename);
    streams_[static_cast<std::size_t>(key)] = std::move(s);
}

void OutputStreams::schrijfwaarde(TGridFileType type, const std::string& gxg, std::string_view predstr)
{
    schrijfwaarde(type, keyIndex(gxg), predstr);
}

void OutputStreams::schrijfwaarde(TGridFileType type, int key, std::string_view predstr)
{
    if (type != TGridFileType::asciigrid || key < 0 || key >= 6 || !streams_[static_cast<std::size_t>(key)])
        return;
    std::string& row = streams_[static_cast<std::size_t>(key)]->pending;
    row.append(predstr);
    row += ' ';
}

void OutputStreams::flushRow(Stream& s)
{
    s.file.write(s.pending.data(), static_cast<std::streamsize>(s.pending.size()));
    s.pending.clear();
}

void OutputStreams::schrijfregel(const std::string& gxg)
{
    const int key = keyIndex(gxg);
    if (key < 0 || !streams_[static_cast<std::size_t>(key)])
        return;
    Stream& s = *streams_[static_cast<std::size_t>(key)];
    s.pending += kLineEnd;
    flushRow(s);
    checkWritten(s.file, s.path);
}

void OutputStreams::sluitbestand(TGridFileType type, const std::string& gxg)
{
    const int key = keyIndex(gxg);
    if (type != TGridFileType::asciigrid || key < 0 || !streams_[static_cast<std::size_t>(key)])
        return;
    Stream& s = *streams_[static_cast<std::size_t>(key)];
    flushRow(s);
    s.file.flush();
    checkWritten(s.file, s.path);
    s.file.close();
    streams_[static_cast<std::size_t>(key)].reset();
}

}  // namespace tolvar
