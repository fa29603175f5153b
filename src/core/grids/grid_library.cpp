#include "grids/grid_library.h"
#include "common/index.h"

#include "common/io_error.h"
#include "common/text_file.h"
#include "grids/registry.h"

#include <fstream>
#include <vector>

namespace fs = std::filesystem;

namespace tolvar {

namespace {
constexpr const char* kCrLf = "\r\n";
constexpr const char* kLocationFileNotFound = "Location file not found";
constexpr const char* kSharedLibraries = "Shared libraries (*.so *.so.*)";

bool isFile(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

template <typename F>
void bindOne(const LibraryLoader& lib, const char* name, F& slot)
{
    slot = reinterpret_cast<F>(lib.symbol(name));
}

// Binds the entry points in their order; returns the texts of the missing ones.
std::string bindAll(const LibraryLoader& lib, GridEntryPoints& fn)
{
    std::string missing;
    const auto bind = [&](const char* name, auto& slot, const char* text) {
        bindOne(lib, name, slot);
        if (!slot) {
            missing += text;
            missing += kCrLf;
        }
    };
    bind("CellLyrExists", fn.CellLyrExists, " CellLyrExists cannot be attached;");
    bind("DescribeGridDbl", fn.DescribeGridDbl, " DescribeGridDbl cannot be attached;");
    bind("GridExists", fn.GridExists, " GridExists cannot be attached;");
    bind("GridIOSetup", fn.GridIOSetup, " GridIOSetup cannot be attached;");
    bind("GridIOExit", fn.GridIOExit, " GridIOExit cannot be attached;");
    bind("BndCellRead", fn.BndCellRead, " BndCellRead cannot be attached;");
    bind("CellLayerOpen", fn.CellLayerOpen, " CellLayerOpen cannot be attached;");
    bind("AccessWindowSet", fn.AccessWindowSet, " AccessWindowSet cannot be attached;");
    bind("WindowRows", fn.WindowRows, " WindowRows cannot be attached;");
    bind("WindowCols", fn.WindowCols, " WindowCols niet koppelbaar;");
    bind("AccessWindowClear", fn.AccessWindowClear, " AccessWindowClear cannot be attached;");
    bind("GetMissingFloat", fn.GetMissingFloat, " GetMissingFloat cannot be attached;");
    bind("CellLyrClose", fn.CellLyrClose, " CellLyrClose cannot be attached;");
    bind("GetWindowCellInt", fn.GetWindowCellInt, " GetWindowCellInt cannot be attached;");
    bind("GetWindowCellFloat", fn.GetWindowCellFloat, " GetWindowCellFloat cannot be attached;");
    bind("XY2WindowColRow", fn.XY2WindowColRow, " XY2WindowColRow cannot be attached;");
    bind("CellLyrSetIO", fn.CellLyrSetIO, " CellLyrSetIO cannot be attached;");
    bind("GetWindowCell", fn.GetWindowCell, " GetWindowCell cannot be attached;");
    bind("CellLyrGetIO", fn.CellLyrGetIO, " CellLyrGetIO cannot be attached;");
    // Our own row reading is optional: without it only mapping is refused.
    bindOne(lib, "GetWindowRowFloat", fn.GetWindowRowFloat);
    return missing;
}

// One attach dialog: accepted when confirmed and the path holds `required`.
bool attachOne(Feedback& fb, const std::string& title, const std::string& proposed,
               const std::string& required, const std::string& directory, std::string& path)
{
    const auto chosen = fb.chooseFile(title, proposed, kSharedLibraries, directory);
    if (!chosen || chosen->find(required) == std::string::npos)
        return false;
    path = *chosen;
    return true;
}

// "libgdal.so.32" -> "libgdal.so": what a chosen path must contain.
std::string withoutVersion(const std::string& soname)
{
    const auto so = soname.find(".so");
    return so == std::string::npos ? soname : soname.substr(0, so + 3);
}
}  // namespace

std::string defaultAvgridioPath()
{
    const std::string besideExe = executableDirectory();
    if (!besideExe.empty()) {
        const fs::path candidate = fs::path(besideExe) / TOLVAR_GRIDIO_FILE_NAME;
        if (isFile(candidate.string()))
            return candidate.string();
    }
    return TOLVAR_GRIDIO_FILE_NAME;
}

fs::path GridLibraryBinding::locationFile(const WorkDir& dir)
{
    return dir.path() / kLocationFileName;
}

int GridLibraryBinding::check_presence(const WorkDir& dir, Feedback& fb)
{
    std::string text;
    int result = 0;
    const fs::path location = locationFile(dir);
    if (isFile(location.string())) {
        std::ifstream in = openForReading(location);
        std::vector<std::string> lines = readAllLines(in);
        lines.resize(3);
        avgridio = lines[0];
        avbase = lines[1];
        avfeat = lines[2];
        for (const std::string* path : {&avgridio, &avbase, &avfeat})
            if (!isFile(*path))
                text += *path + " not found; " + kCrLf;
        result = 1;
    } else {
        text = location.string() + " not found;";
        avgridio = defaultAvgridio;
        avbase = defaultAvbase;
        avfeat = defaultAvfeat;
    }
    if (!text.empty())
        fb.message(text);
    return result;
}

void GridLibraryBinding::TestLoadDLL(const WorkDir& dir, Feedback& fb)
{
    std::string text = check_presence(dir, fb) == 1 ? std::string() : kLocationFileNotFound;
    gridio_.release();
    feat_.release();
    base_.release();
    fn = GridEntryPoints{};
    if (!base_.load(avbase))
        text += avbase + " cannot be loaded.";
    if (!feat_.load(avfeat))
        text += kCrLf + avfeat + " cannot be loaded.";
    if (!gridio_.load(avgridio))
        text += kCrLf + avgridio + " kan niet worden geladen.";
    if (text.empty()) {
        bound = true;
        text = bindAll(gridio_, fn);
        if (!text.empty())
            fb.message(text);
        return;
    }
    bound = false;
    gridio_.release();
    feat_.release();
    base_.release();
    fb.message(text + kCrLf + kCrLf + kManualAttachNeeded);
}

bool GridLibraryBinding::KoppelDLL(const WorkDir& dir, Feedback& fb)
{
    std::string gridio, base, feat;
    const std::string besideExe = executableDirectory();
    const std::string gridioName = TOLVAR_GRIDIO_FILE_NAME;
    // All three dialogs are shown, whatever the answer to the one before.
    const bool a = attachOne(fb, "1#3: Find and select <" + gridioName + ">", gridioName, gridioName,
                             besideExe.empty() ? "/" : besideExe, gridio);
    const bool b = attachOne(fb, std::string("2#3: Find and select <") + kDefaultAvbase + ">", kDefaultAvbase,
                             withoutVersion(kDefaultAvbase), "/", base);
    const bool c = attachOne(fb, std::string("3#3: Find and select <") + kDefaultAvfeat + ">", kDefaultAvfeat,
                             withoutVersion(kDefaultAvfeat), "/", feat);
    if (!a || !b || !c) {
        fb.message(kAttachAbandoned);
        return false;
    }
    writeTextFile(locationFile(dir), {gridio, base, feat});
    avgridio = gridio;
    avbase = base;
    avfeat = feat;
    bound = true;
    return true;
}

void GridLibraryBinding::release()
{
    if (!bound)
        return;
    fn = GridEntryPoints{};
    gridio_.release();
    feat_.release();
    base_.release();
    bound = false;
}

bool GridLibraryBinding::need(const WorkDir& dir, Feedback& fb)
{
    if (attempted_)
        return bound && gridio_.loaded();
    attempted_ = true;
    try {
        TestLoadDLL(dir, fb);
        // The attach only records where the libraries are; they are loaded
        // from the new location file at once, so nothing unbound is called.
        if (!bound && offerManualAttach && KoppelDLL(dir, fb))
            TestLoadDLL(dir, fb);
    } catch (const IoError& e) {
        fb.message(e.what());
        bound = false;
    }
    return bound && gridio_.loaded();
}

bool GridLibraryBinding::usable() const
{
    return bound && gridio_.loaded() && fn.CellLyrExists && fn.GridExists && fn.BndCellRead &&
           fn.CellLayerOpen && fn.AccessWindowSet && fn.WindowRows && fn.WindowCols && fn.AccessWindowClear &&
           fn.GetMissingFloat && fn.CellLyrClose && fn.GetWindowCellInt && fn.GetWindowCellFloat &&
           fn.XY2WindowColRow && fn.CellLyrGetIO;
}

bool attachGridChoice(Registry& registry, int slot, const std::string& path, GridFileChoice fileType,
                      GridLibraryBinding& library, const WorkDir& dir, Feedback& fb)
{
    registry.LastGridDir = trimgridnaam(path);
    const bool esri = fileType == GridFileChoice::EsriGrid;
    if (esri || fileType == GridFileChoice::Raster) {
        if (!library.need(dir, fb) || !library.usable()) {
            fb.message(esri ? esriRefusal(registry.LastGridDir) : kRasterRefused);
            return false;
        }
    }
    registry.attachChosenGrid(slot, path, fileType);
    return true;
}

std::u16string gridName16(const std::string& name)
{
    std::u16string out;
    bool valid = true;
    for (std::size_t i = 0; i < name.size() && valid;) {
        const auto c = static_cast<unsigned char>(name[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + at(extra) >= name.size()) {
            valid = false;
            break;
        }
        char32_t code = extra == 0 ? c : (c & (0x3F >> extra));
        for (int k = 1; k <= extra; ++k) {
            const auto d = static_cast<unsigned char>(name[i + at(k)]);
            if ((d >> 6) != 2) {
                valid = false;
                break;
            }
            code = (code << 6) | (d & 0x3F);
        }
        if (!valid)
            break;
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
        i += at(extra) + 1;
    }
    if (valid)
        return out;
    out.clear();
    for (const char ch : name)
        out += static_cast<char16_t>(static_cast<unsigned char>(ch));
    return out;
}

}  // namespace tolvar
