#include "grids/registry.h"
#include "common/index.h"

#include "common/work_dir.h"

#include <filesystem>

namespace tolvar {

namespace {
constexpr const char* kCannotAddAuxInfo = "Cannot add more aux.info!";
constexpr const char* kGroupsExceedAuxVariables =
    "Number of groups may not exceed number of aux.variables";
constexpr const char* kCannotDeleteAuxInfo = "Cannot delete more aux.info!";
constexpr const char* kGroupsExceedAncillary =
    "Number of groups may not exceed number of ancillary variables";
constexpr const char* kCannotAddGroups = "Cannot add more groups!";
constexpr const char* kCannotDeleteGroups = "Cannot delete more groups!";
constexpr const char* kEsriRefused = "Cannot work (yet) with grid coverages from ESRI.";

std::string::size_type lastSeparator(const std::string& path)
{
    return path.find_last_of("\\/");
}
}  // namespace

TGridFileType gridKindOf(const std::string& name)
{
    return name.find('.') != std::string::npos ? TGridFileType::asciigrid : TGridFileType::avgrid;
}

TGridFileType batchGridKind(const std::string& path)
{
    const std::string lower = toLowerAscii(path);
    for (const char* ending : {".tif", ".tiff", ".img"}) {
        const std::string e(ending);
        if (lower.size() >= e.size() && lower.compare(lower.size() - e.size(), e.size(), e) == 0)
            return TGridFileType::avgrid;
    }
    return gridKindOf(path);
}

std::string proposedNameFor(GridFileChoice fileType)
{
    switch (fileType) {
    case GridFileChoice::AsciiGrid:
        return "*.asc";
    case GridFileChoice::EsriGrid:
        return "hdr.adf";
    case GridFileChoice::Raster:
        return "*.tif";
    case GridFileChoice::AllFiles:
        break;
    }
    return "";
}

std::string initialFileName(int slot)
{
    return slot == 0 ? "grid strata" : "grid aux.variabele" + std::to_string(slot);
}

std::string initialLabelCaption(int slot)
{
    if (slot == 0)
        return "grid strata";
    if (slot == 1)
        return "grid variabele1";
    return "onbekende hulpvar" + std::to_string(slot);
}

std::string displayPath(const std::string& path)
{
    if (path.size() <= 17)
        return path;
    return path.substr(0, 3) + "..." + path.substr(path.size() - 14);
}

std::string trimgridnaam(const std::string& path)
{
    const auto cut = lastSeparator(path);
    if (cut == std::string::npos)
        return path.substr(0, 2);
    return path.substr(0, cut);
}

bool check5adfOK(const std::string& gridDir)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    bool all = true;
    for (const char* name : {"w001001x.adf", "w001001.adf", "sta.adf", "hdr.adf", "dblbnd.adf"}) {
        const WorkDir dir{fs::path(gridDir)};
        all = dir.fileExists(name) && all;
    }
    return all;
}

std::string esriRefusal(const std::string& gridDir)
{
    return check5adfOK(gridDir) ? kEsriRefused : std::string(kEsriRefused) + "!";
}

Registry::Registry()
{
    InitHulpVarRec();
}

void Registry::InitHulpVarRec()
{
    for (int i = 0; i <= kMaxAuxVars; ++i) {
        THulpvarRec& rec = HulpVarRecs[at(i)];
        rec.PFileName = initialFileName(i);
        rec.kind = gridKindOf(rec.PFileName);
        rec.labelCaption = initialLabelCaption(i);
        rec.labelVisible = i == 0;
        rec.buttonVisible = false;
        rec.radioVisible = false;
        rec.groupItem = -1;
    }
    // One variable in one group to start with: it belongs to that group.
    HulpVarRecs[1].groupItem = 0;
}

void Registry::startUp()
{
    GroupCount = 1;
    AuxVarCount = 1;
    vernieuwstructuur();
}

void Registry::selectGroup(int slot, int group)
{
    HulpVarRecs[at(slot)].groupItem = group - 1;
}

void Registry::addVariable(Feedback& feedback)
{
    if (AuxVarCount >= kMaxAuxVars) {
        feedback.message(kCannotAddAuxInfo);
        return;
    }
    ++AuxVarCount;
    lastChange = LastChange::VariableAdded;
    vernieuwstructuur();
    if (GroupCount <= kMaxGroups - 1) {
        ++GroupCount;
        lastChange = LastChange::GroupAdded;
        vernieuwstructuur();
        selectGroup(AuxVarCount, GroupCount);
    }
}

void Registry::removeVariable(Feedback& feedback)
{
    if (AuxVarCount > 1 && GroupCount < AuxVarCount) {
        --AuxVarCount;
        lastChange = LastChange::VariableRemoved;
        vernieuwstructuur();
    } else if (AuxVarCount == GroupCount) {
        feedback.message(kGroupsExceedAuxVariables);
    } else {
        feedback.message(kCannotDeleteAuxInfo);
    }
}

void Registry::addGroup(Feedback& feedback)
{
    if (GroupCount < kMaxGroups && GroupCount < AuxVarCount) {
        ++GroupCount;
        lastChange = LastChange::GroupAdded;
        vernieuwstructuur();
    } else if (GroupCount == AuxVarCount) {
        feedback.message(kGroupsExceedAncillary);
    } else {
        feedback.message(kCannotAddGroups);
    }
}

void Registry::removeGroup(Feedback& feedback)
{
    if (GroupCount < 2) {
        feedback.message(kCannotDeleteGroups);
        return;
    }
    --GroupCount;
    lastChange = LastChange::GroupRemoved;
    vernieuwstructuur();
}

void Registry::vernieuwstructuur()
{
    const int n = AuxVarCount;
    const int g = GroupCount;

    if (radioItems != g)
        for (int j = 1; j <= kMaxGroups; ++j)
            groupLabelVisible[at(j)] = j <= g;

    if (radioItems > g) {
        while (radioItems > g) {
            --radioItems;
            for (THulpvarRec& rec : HulpVarRecs)
                if (rec.groupItem >= radioItems)
                    rec.groupItem = radioItems - 1;
        }
    } else if (radioItems < g) {
        ++radioItems;  // groups are added one at a time
    }

    if (lastChange == LastChange::VariableRemoved && n + 1 <= kMaxAuxVars)
        HulpVarRecs[at(n + 1)].labelCaption = "grid aux.variabele" + std::to_string(n + 1);
    else if (lastChange == LastChange::VariableAdded)
        HulpVarRecs[at(n)].labelCaption = "grid aux.variabele" + std::to_string(n);

    for (int i = 1; i <= kMaxAuxVars; ++i) {
        const bool visible = i <= n;
        for (int j = 1; j <= kMaxGroups; ++j)
            checks.visible[at(i)][at(j)] = visible && j <= g;
        THulpvarRec& rec = HulpVarRecs[at(i)];
        rec.radioVisible = visible;
        rec.labelVisible = visible;
        rec.buttonVisible = visible;
    }
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= g; ++j)
            checks.checked[at(i)][at(j)] = HulpVarRecs[at(i)].groupItem == j - 1;
    checks.state = checks.checked;

    for (int i = 1; i <= kMaxAuxVars; ++i) {
        tabLabels.rowCaption[at(i)] = HulpVarRecs[at(i)].labelCaption;
        tabLabels.rowVisible[at(i)] = HulpVarRecs[at(i)].labelVisible;
    }
    for (int j = 1; j <= kMaxGroups; ++j) {
        tabLabels.groupNumberVisible[at(j)] = j <= g;
        tabLabels.tensDigitVisible[at(j)] = j >= 10 && j <= g;
    }
}

void Registry::attachChosenGrid(int slot, const std::string& path, GridFileChoice fileType)
{
    LastGridDir = trimgridnaam(path);
    const bool esri = fileType == GridFileChoice::EsriGrid;
    const bool library = esri || fileType == GridFileChoice::Raster;
    const std::string name = esri ? LastGridDir : path;
    THulpvarRec& rec = HulpVarRecs[at(slot)];
    rec.PFileName = name;
    rec.kind = library ? TGridFileType::avgrid : TGridFileType::asciigrid;
    rec.labelCaption = toLowerAscii(displayPath(name));
    lastChosenKind = rec.kind;
    UpdateDlgHulpVar(fileType);
}

void Registry::attachBatchGrid(int slot, const std::string& path)
{
    LastGridDir = path;
    THulpvarRec& rec = HulpVarRecs[at(slot)];
    rec.PFileName = path;
    rec.kind = batchGridKind(path);
    rec.labelCaption = displayPath(path);
    lastChosenKind = TGridFileType::asciigrid;
    // The dialog starts beside the named grid; its proposal stays until a
    // grid is chosen in it.
    dialog.directory = LastGridDir;
}

void Registry::UpdateDlgHulpVar(GridFileChoice fileType)
{
    dialog.fileType = fileType;
    if (fileType == GridFileChoice::EsriGrid) {
        // The next ESRI grid is most likely a sibling of this one.
        dialog.directory = trimgridnaam(LastGridDir);
        dialog.proposedName = "hdr.adf";
    } else {
        dialog.directory = LastGridDir;
        dialog.proposedName.clear();
    }
}

bool Registry::anyLibraryGrid() const
{
    for (int i = 0; i <= AuxVarCount; ++i)
        if (HulpVarRecs[at(i)].kind == TGridFileType::avgrid)
            return true;
    return false;
}

std::array<OutputName, 6> defaultOutputNames(const std::string& dir,
                                             const PerMxw<bool>& mxwChecked)
{
    const std::string sep(1, static_cast<char>(std::filesystem::path::preferred_separator));
    std::array<OutputName, 6> out;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        OutputName& name = out[at(slot)];
        if (mxwChecked[slot / 2]) {
            name.text = (dir.empty() ? std::string() : dir + sep) + slotName(slot) + "_R.asc";
            name.enabled = true;
        } else {
            name.text = kNotPredicted;
            name.enabled = false;
        }
    }
    return out;
}

}  // namespace tolvar
