#include "mapping/cell_streams.h"

#include "common/io_error.h"
#include "common/text_file.h"

namespace tolvar {

InputStreams::~InputStreams()
{
    close();
}

std::string InputStreams::refusal(const Registry& registry, const GridPropsTable& props,
                                  const GridLibraryBinding& library)
{
    std::string text;
    for (int i = 0; i <= registry.AuxVarCount; ++i) {
        if (props[static_cast<std::size_t>(i)][kKind] != 0.0)
            continue;
        const std::string& name = registry.HulpVarRecs[static_cast<std::size_t>(i)].PFileName;
        if (!library.usable())
            text += name + kLibraryUnavailable + "\r\n";
        else if (!library.rowsReadable())
            text += name + ": cannot be mapped; the grid-access library has no GetWindowRowFloat;\r\n";
    }
    return text;
}

void InputStreams::openlees(const WorkDir& dir, const Registry& registry, const GridPropsTable& props,
                            const GridLibraryBinding* library)
{
    close();
    const GridPropsRow& strata = props[0];
    const int ncols = static_cast<int>(strata[kNcols]);
    for (int i = 0; i <= registry.AuxVarCount; ++i) {
        const std::string& name = registry.HulpVarRecs[static_cast<std::size_t>(i)].PFileName;
        if (props[static_cast<std::size_t>(i)][kKind] != 0.0) {
            streams_[static_cast<std::size_t>(i)] = std::make_unique<AsciiRowSource>(dir.resolve(name));
            continue;
        }
        if (!library || !library->rowsReadable())
            throw IoError(name, "the grid-access library cannot read it row by row");
        if (!windowOwner_) {
            // One window for every library grid: they share the strata grid's geometry.
            const double cs = strata[kCellsize];
            const double box[4] = {strata[kXll], strata[kYll], strata[kXll] + ncols * cs,
                                   strata[kYll] + strata[kNrows] * cs};
            double window[4] = {0, 0, 0, 0};
            if (library->fn.AccessWindowSet(box, cs, window) != 1)
                throw IoError(name, "no access with AccessWindowSet");
            windowOwner_ = library;
        }
        streams_[static_cast<std::size_t>(i)] =
            std::make_unique<LibraryRowSource>(library->fn, name, libraryPath(dir, name), ncols);
    }
}

double InputStreams::leeswaarde(int ahnplus)
{
    CellRowSource* s = streams_[static_cast<std::size_t>(ahnplus)].get();
    if (!s)
        throw IoError("", "grid slot " + std::to_string(ahnplus) + " cannot be read cell by cell");
    return s->next();
}

void InputStreams::leesregel(int ahnplus)
{
    if (CellRowSource* s = streams_[static_cast<std::size_t>(ahnplus)].get())
        s->nextRow();
}

void InputStreams::close()
{
    for (auto& s : streams_)
        s.reset();
    if (windowOwner_)
        windowOwner_->fn.AccessWindowClear();
    windowOwner_ = nullptr;
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
    // The three MxW maps, then their three sd maps.
    for (Mxw m : kAllMxw) {
        if (gxg == mxwName(m))
            return index(m);
        if (gxg == sdName(m))
            return 3 + index(m);
    }
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
