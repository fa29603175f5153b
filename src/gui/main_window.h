#pragma once

#include "app/app_state.h"
#include "common/index.h"
#include "gui/gui_seams.h"
#include "pictures/qt_canvas.h"
#include "presentation/result_display.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <filesystem>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTabBar;
class QTableWidget;

namespace tolvar::gui {

class HelpViewer;
class TfrmBUISDATA;
class TfrmMultiScatter;
class TfrmMAIN;

// What core says while a command runs, shown by the main window: messages in
// a box, texts in the status bar, progress and milestones in the progress area.
class MainFeedback : public Feedback {
public:
    explicit MainFeedback(TfrmMAIN& window) : window_(window) {}
    void message(const std::string& text) override;
    void statusText(const std::string& text) override;
    void progress(double actueel, double maxi, const Stage& stage) override;
    void milestone(Mijlpaal m) override;
    void busy(bool on) override;
    ArchiveChoice askArchiveChoice(const std::string& caption, ArchiveChoice preset) override;
    std::optional<std::string> chooseFile(const std::string& title, const std::string& proposedName,
                                          const std::string& filter, const std::string& directory) override;

private:
    TfrmMAIN& window_;
};

// A group radio group of a slot: one captionless item per group in one row.
struct GroupChoice {
    QWidget* box = nullptr;
    std::array<QRadioButton*, 15> items{};
};

// The main window: three tabs for preparing and running the regressions,
// inspecting their results and mapping, with the progress area below. Every
// rule lives in core; the window reads its controls, calls one core command
// and shows what it returns.
class TfrmMAIN : public QMainWindow {
    Q_OBJECT
public:
    // The window works in `workDir`: the program's current directory at start.
    explicit TfrmMAIN(const std::filesystem::path& workDir, QWidget* parent = nullptr);
    ~TfrmMAIN() override;

    AppState& state() { return *state_; }
    // FormActivate: the start-up sequence; runs once, on the first showing
    // (tests call it directly).
    void FormActivate();
    bool started() const { return started_; }

    // status and voortgang of the progress area.
    void status(Mijlpaal toestand);
    void voortgang(double actueel, double maxi, const QString& txt);

    // The tab control's change handler.
    void tbcntrlMAINChange();
    // The help, opened at the topic of a help context.
    void showHelp(int context);
    HelpViewer* helpViewer() const;
    // The scatterplot matrix while it is open (tests close it).
    TfrmMultiScatter* multiScatter() const { return multiScatter_; }

    // --- controls, by their names ---
    QTabBar* tbcntrlMAIN = nullptr;
    QGroupBox* grpbxTAB1 = nullptr;
    QGroupBox* grpbxTAB2 = nullptr;
    QGroupBox* grpbxTAB3 = nullptr;
    QGroupBox* grpbxVOORTGANG = nullptr;
    QLabel* imgProgress = nullptr;
    QProgressBar* ggProgress = nullptr;
    QProgressBar* ggRegressie = nullptr;
    QLabel* lblregressie = nullptr;
    QStatusBar* sttsbrPROGRESS = nullptr;
    QAction* Help1 = nullptr;
    QAction* Over1 = nullptr;
    QAction* Bekijkgroepindeling1 = nullptr;

    // Tab 1.
    QPushButton* btbttnPUNTDATA = nullptr;
    QPushButton* btbttnSTRATAGRID = nullptr;
    QLabel* label0 = nullptr;
    std::array<QPushButton*, 16> slotButtons{};  // bttn1..bttn15 at 1..15
    std::array<QLabel*, 16> slotLabels{};        // Label1..Label15 at 1..15
    std::array<GroupChoice, 16> groupChoices{};  // rdgrp1..rdgrp15 at 1..15
    std::array<QLabel*, 16> groupLabels{};       // lbl1..lbl15 at 1..15
    QPushButton* btbttnPLUSVAR = nullptr;
    QPushButton* btbttnMINVAR = nullptr;
    QPushButton* btbttnPLUSGROEP = nullptr;
    QPushButton* btbttnMINGROEP = nullptr;
    QCheckBox* chckbxGHG = nullptr;
    QCheckBox* chckbxGVG = nullptr;
    QCheckBox* chckbxGLG = nullptr;
    QGroupBox* rdgrpWEIGHT = nullptr;
    QRadioButton* weightedItem = nullptr;
    QRadioButton* unweightedItem = nullptr;
    QPushButton* btbttnFILESOK = nullptr;
    QPushButton* btbttnOpnieuw = nullptr;

    // Tab 2.
    QComboBox* cmbbxSTRATA = nullptr;
    QComboBox* cmbbxGxG = nullptr;
    std::array<std::array<QCheckBox*, 16>, 16> structureBoxes{};  // [variable][group] from 1
    std::array<QLabel*, 16> rowLabels{};                          // Label21..Label35
    std::array<QLabel*, 16> groupNumberLabels{};                  // Label41..Label55
    std::array<QLabel*, 16> tensLabels{};                         // above groups 10..15
    QPushButton* btbttnSHOW = nullptr;
    QPushButton* btbttnSHOWBEST = nullptr;
    QPushButton* btbttnVERWERP = nullptr;
    QTableWidget* strgrdFIT = nullptr;
    QLabel* imgFIT = nullptr;

    // Tab 3.
    std::array<QLineEdit*, 6> outputNames{};  // edtGHGName, edtSDGHGName, ... edtSDGLGName
    QGroupBox* rdgrpGRIDTYPE = nullptr;
    QCheckBox* chckbxVOLGORDEGXG = nullptr;
    QCheckBox* chckbxRESIDU = nullptr;
    QCheckBox* chckbxJustNormal = nullptr;
    QPushButton* btbttnPredict = nullptr;
    QLabel* imgMAPSTATUS = nullptr;

    // The point-data editor this window opens with "import".
    TfrmBUISDATA& pointDataEditor() { return *editor_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildFrame();
    void fitToScreen();
    void Bekijkgroepindeling1Click();
    void buildRegressionTab();
    void buildResultsTab();
    void buildPredictTab();
    void setHelpContexts();

    // Tab 1.
    void showRegistry();
    void setRegistryEnabled(bool on);
    void DrukKnopAHNPLUS(int index);
    void btbttnPUNTDATAClick();
    void ReCheck();
    void btbttnFILESOKClick();
    void btbttnOpnieuwClick();

    // Tab 2.
    void showStructureChecks();
    void CheckBox1Click();
    void vulboxen();
    ResultChoice currentChoice() const;
    void showDisplay(const DisplayOutcome& outcome);
    void blankDisplay();
    void btbttnSHOWClick();
    void btbttnSHOWBESTClick();
    void showBest(const BestOutcome& best);
    void btbttnVERWERPClick();
    void cmbbxSTRATAChange();
    void cmbbxGxGChange();

    // Tab 3.
    void btbttnPredictClick();

    // Pictures drawn by core, shown as they are.
    void refreshPictures();
    // Runs one core command; a failure ends it with its text in a message box.
    bool guarded(const std::function<void()>& command);

    friend class MainFeedback;

    MainFeedback feedback_;
    std::unique_ptr<AppState> state_;
    std::unique_ptr<TfrmBUISDATA> editor_;
    std::unique_ptr<QtCanvas> fitCanvas_;
    std::unique_ptr<QtCanvas> statusCanvas_;
    StatusHints* hints_ = nullptr;
    QLabel* groupHeader_ = nullptr;
    TfrmMultiScatter* multiScatter_ = nullptr;
    PerMxw<int> sdColumns_{-1, -1, -1};
    std::string bestName_;
    bool started_ = false;
    bool busyRun_ = false;
};

}  // namespace tolvar::gui
