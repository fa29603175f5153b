#pragma once

#include "common/feedback.h"
#include "common/work_dir.h"
#include "gridlib/avgridio.h"
#include "grids/library_loader.h"

#include <filesystem>
#include <string>

namespace tolvar {

// The entry points of the grid-access library, bound by name; nullptr until
// bound. GetWindowRowFloat is our own addition for reading whole rows.
struct GridEntryPoints {
    decltype(&::CellLyrExists) CellLyrExists = nullptr;
    decltype(&::DescribeGridDbl) DescribeGridDbl = nullptr;
    decltype(&::GridExists) GridExists = nullptr;
    decltype(&::GridIOSetup) GridIOSetup = nullptr;
    decltype(&::GridIOExit) GridIOExit = nullptr;
    decltype(&::BndCellRead) BndCellRead = nullptr;
    decltype(&::CellLayerOpen) CellLayerOpen = nullptr;
    decltype(&::AccessWindowSet) AccessWindowSet = nullptr;
    decltype(&::WindowRows) WindowRows = nullptr;
    decltype(&::WindowCols) WindowCols = nullptr;
    decltype(&::AccessWindowClear) AccessWindowClear = nullptr;
    decltype(&::GetMissingFloat) GetMissingFloat = nullptr;
    decltype(&::CellLyrClose) CellLyrClose = nullptr;
    decltype(&::GetWindowCellInt) GetWindowCellInt = nullptr;
    decltype(&::GetWindowCellFloat) GetWindowCellFloat = nullptr;
    decltype(&::XY2WindowColRow) XY2WindowColRow = nullptr;
    decltype(&::CellLyrSetIO) CellLyrSetIO = nullptr;
    decltype(&::GetWindowCell) GetWindowCell = nullptr;
    decltype(&::CellLyrGetIO) CellLyrGetIO = nullptr;
    decltype(&::GetWindowRowFloat) GetWindowRowFloat = nullptr;
};

// The default names of the three libraries, used without a location file:
// the grid-access library beside the executable (else by the platform's
// library search), GDAL and PROJ by their sonames.
std::string defaultAvgridioPath();
inline constexpr const char* kDefaultAvbase = TOLVAR_GDAL_SONAME;
inline constexpr const char* kDefaultAvfeat = TOLVAR_PROJ_SONAME;
inline constexpr const char* kLocationFileName = "avgridio.txt";

// GridLibraryBinding: where the three libraries are, their loading, the
// binding of the entry points, the manual attach and the release.
class GridLibraryBinding {
public:
    std::string avgridio;  // our grid-access library
    std::string avbase;    // GDAL, which it needs
    std::string avfeat;    // PROJ, which GDAL needs
    GridEntryPoints fn;
    // "bound": after a complete load or an accepted manual attach.
    bool bound = false;
    // The batch cannot show the attach dialogs.
    bool offerManualAttach = true;
    // The names taken without a location file.
    std::string defaultAvgridio = defaultAvgridioPath();
    std::string defaultAvbase = kDefaultAvbase;
    std::string defaultAvfeat = kDefaultAvfeat;

    // The location file of a working directory.
    static std::filesystem::path locationFile(const WorkDir& dir);

    // check_presence: reads the location file (1) or takes the default names
    // (0); shows which paths are not there.
    int check_presence(const WorkDir& dir, Feedback& fb);
    // TestLoadDLL: loads the three libraries and binds the entry points.
    void TestLoadDLL(const WorkDir& dir, Feedback& fb);
    // KoppelDLL: the three attach dialogs; on acceptance the location file is
    // written and "bound" set (nothing is loaded). False when abandoned.
    bool KoppelDLL(const WorkDir& dir, Feedback& fb);
    // Release at closure: the three libraries go when "bound" is set.
    void release();

    // The first need of the library in a program run binds it: TestLoadDLL,
    // and on failure the manual attach followed by a load from the new
    // location file. Later needs answer from that one attempt.
    bool need(const WorkDir& dir, Feedback& fb);
    // Bound, loaded, and every entry point that checks and sampling call is there.
    bool usable() const;
    // Usable and able to deliver whole rows (for mapping).
    bool rowsReadable() const { return usable() && fn.GetWindowRowFloat != nullptr; }
    bool attempted() const { return attempted_; }

private:
    LibraryLoader gridio_, base_, feat_;
    bool attempted_ = false;
};

class Registry;
enum class GridFileChoice;

// The grid dialog's choice for a slot (the dialog itself is the window's):
// an ESRI grid or other raster needs the library, bound at its first need;
// without it the grid is refused with the dialog's message. False when the
// slot is left as it was.
bool attachGridChoice(Registry& registry, int slot, const std::string& path, GridFileChoice fileType,
                      GridLibraryBinding& library, const WorkDir& dir, Feedback& fb);

// A grid name for the library: UTF-8 when it is valid UTF-8, else Latin-1.
std::u16string gridName16(const std::string& name);

// The texts of the binding and the attach; the error line of a library grid
// while the library is not usable follows its name.
inline constexpr const char* kLibraryUnavailable = ": the grid-access library is not available;";
inline constexpr const char* kManualAttachNeeded = "Manual attach of 3 DLL\xB4s is needed.";
inline constexpr const char* kAttachAbandoned =
    "DLL-files not all attached. ESRI grids and other rasters cannot be used in this run.";

}  // namespace tolvar
