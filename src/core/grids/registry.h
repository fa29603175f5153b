#pragma once

#include "common/mxw.h"
#include "common/feedback.h"

#include <array>
#include <optional>
#include <string>

namespace tolvar {

inline constexpr int kMaxAuxVars = 15;

// avgrid: read through the grid-access library (an ESRI grid directory or
// another raster file); asciigrid: an ASCII grid file.
enum class TGridFileType { avgrid, asciigrid };

// A grid name with a "." anywhere is an ASCII grid file, else an ESRI grid.
TGridFileType gridKindOf(const std::string& name);
// The rule of the batch start file: a path ending in ".tif", ".tiff" or
// ".img" (any letter case) is a raster read through the library; any other
// path follows gridKindOf.
TGridFileType batchGridKind(const std::string& path);

// The file types of the grid dialog, in the order it lists them.
enum class GridFileChoice { AsciiGrid = 0, EsriGrid = 1, Raster = 2, AllFiles = 3 };

// What the grid dialog starts with: its directory, proposed name and type.
struct GridDialogSetup {
    std::string directory;
    std::string proposedName = "*.asc";
    GridFileChoice fileType = GridFileChoice::AsciiGrid;
};
inline constexpr int kMaxGroups = 15;

// One grid slot: 0 is the strata grid, 1..15 the auxiliary variables. The
// controls of a slot (label, "..." button, group radio group) are mirrored
// here as data; the window only shows them.
struct THulpvarRec {
    std::string PFileName;
    // How the grid is read; decided by the dialog's file type or by the
    // batch start file's rule, not by the name alone.
    TGridFileType kind = TGridFileType::avgrid;
    std::string labelCaption;
    bool labelVisible = false;
    bool buttonVisible = false;
    bool radioVisible = false;
    int groupItem = -1;  // selected item of the group radio group; -1 none
};

enum class LastChange { None, GroupRemoved, GroupAdded, VariableRemoved, VariableAdded };

// The structure check boxes of the results tab, [variable][group] from 1.
struct StructureChecks {
    std::array<std::array<bool, 16>, 16> visible{};
    std::array<std::array<bool, 16>, 16> checked{};
    std::array<std::array<bool, 16>, 16> state{};  // the last known tick of every box
};

// Labels of the results tab that follow the registry.
struct ResultsTabLabels {
    std::array<std::string, 16> rowCaption{};   // Label21..Label35 for variables 1..15
    std::array<bool, 16> rowVisible{};
    std::array<bool, 16> groupNumberVisible{};  // Label41..Label55 for groups 1..15
    std::array<bool, 16> tensDigitVisible{};    // above groups 10..15
};

// The registry of grids: the strata grid and up to 15 auxiliary variables in
// up to 15 groups, with the rules of adding and removing them.
class Registry {
public:
    Registry();

    std::array<THulpvarRec, 16> HulpVarRecs;
    int AuxVarCount = 1;
    int GroupCount = 1;
    int radioItems = 0;  // items of every group radio group
    LastChange lastChange = LastChange::None;
    std::string LastGridDir;
    // Kind of the last chosen grid, and the dialog's setup for the next choice.
    TGridFileType lastChosenKind = TGridFileType::asciigrid;
    GridDialogSetup dialog;
    std::array<bool, 16> groupLabelVisible{};  // lbl1..lbl15
    StructureChecks checks;
    ResultsTabLabels tabLabels;

    // InitHulpVarRec: initial file names and captions.
    void InitHulpVarRec();
    // The start-up layout: one variable, one group, laid out.
    void startUp();

    // The four +/- buttons; a refused change shows its message and changes nothing.
    void addVariable(Feedback& feedback);
    void removeVariable(Feedback& feedback);
    void addGroup(Feedback& feedback);
    void removeGroup(Feedback& feedback);

    // vernieuwstructuur: the layout after a change of the counts.
    void vernieuwstructuur();

    // The group (1..GroupCount) of slot v, or 0 when none is selected.
    int groupOf(int slot) const { return HulpVarRecs[static_cast<std::size_t>(slot)].groupItem + 1; }
    void selectGroup(int slot, int group);

    // Attaches a grid chosen in the dialog to a slot: the label shows the
    // shortened path in lower case. An ESRI grid is attached by its directory
    // (the directory of the chosen file).
    void attachChosenGrid(int slot, const std::string& path,
                          GridFileChoice fileType = GridFileChoice::AsciiGrid);
    // Attaches a grid named by the batch start file: the label keeps its case.
    void attachBatchGrid(int slot, const std::string& path);
    // UpdateDlgHulpVar: the dialog's start directory and proposal after a
    // choice of `fileType`.
    void UpdateDlgHulpVar(GridFileChoice fileType);
    // True when one of the slots in use is read through the library.
    bool anyLibraryGrid() const;

    const std::string& labelCaption(int slot) const
    {
        return HulpVarRecs[static_cast<std::size_t>(slot)].labelCaption;
    }
};

// The path as a 17-character label: whole when it fits, else the first 3
// characters, "..." and the last 14.
std::string displayPath(const std::string& path);

// trimgridnaam: everything before the last directory separator, or the first
// two characters when there is none.
std::string trimgridnaam(const std::string& path);

// check5adfOK: the five files of an ESRI grid directory exist.
bool check5adfOK(const std::string& gridDir);

// The messages of choosing an ESRI grid in the dialog without the library.
std::string esriRefusal(const std::string& gridDir);
inline constexpr const char* kRasterRefused = "Cannot work (yet) with GeoTIFF and other rasters.";

// dlgHULPVARTypeChange: the proposed name when the user switches to a file type.
std::string proposedNameFor(GridFileChoice fileType);

// Initial names and captions.
std::string initialFileName(int slot);
std::string initialLabelCaption(int slot);

// Default output map names for MHW, SDMHW, MSW, SDMSW, MLW, SDMLW in `dir`;
// "is not predicted" for an MxW that is not checked.
struct OutputName {
    std::string text;
    bool enabled = false;
};
std::array<OutputName, 6> defaultOutputNames(const std::string& dir,
                                             const PerMxw<bool>& mxwChecked);

inline constexpr const char* kNotPredicted = "is not predicted";

}  // namespace tolvar
