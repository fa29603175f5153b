// The first tab, "Define regression environment": the grid registry, the
// point data, the MxW to regress and "Start regression".
#include "app/grid_choice.h"
#include "app/run_settings.h"
#include "app/session.h"
#include "gui/main_window.h"
#include "gui/point_data_editor.h"
#include "pointdata/point_editor.h"
#include "regression/regression_run.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabBar>

namespace tolvar::gui {

namespace {
constexpr const char* kSlotHint = "Selecteer een Gridbestand (ESRI) met de hulpvariabele";
constexpr const char* kGroupHint = "Selecteer de Groep waarbinnen deze Hulpvariabele valt";
// In the order of GridFileChoice.
const QStringList kGridFilters{QStringLiteral("ASCII-grid files (export ArcView) (*.asc *.asg)"),
                               QStringLiteral("ESRI-gridfiles (*.adf)"),
                               QStringLiteral("GeoTIFF and other rasters (*.tif *.tiff *.img)"),
                               QStringLiteral("all files (*)")};
constexpr const char* kGridsChanged =
    "\"Start regression\" is disabled because the grids changed: import the point data again (\"import\")";
constexpr const char* kPointsUsed =
    "\"Start regression\" is disabled because the run used up the imported point data: import them again "
    "(\"import\")";
constexpr int kRadioLeft = 250;
constexpr int kRowTop = 75;
}  // namespace

void TfrmMAIN::buildRegressionTab()
{
    QGroupBox* tab = grpbxTAB1;
    auto* pointLabel = new QLabel(QStringLiteral("Point data"), tab);
    pointLabel->setGeometry(10, 16, 80, 22);
    btbttnPUNTDATA = new QPushButton(QStringLiteral("import"), tab);
    btbttnPUNTDATA->setObjectName(QStringLiteral("btbttnPUNTDATA"));
    btbttnPUNTDATA->setGeometry(100, 16, 100, 22);
    hints_->set(btbttnPUNTDATA, QStringLiteral("Select a *.csv-formatted file (export EXCEL) with point-MxW "
                                               "and position coordinates"));
    connect(btbttnPUNTDATA, &QPushButton::clicked, this, &TfrmMAIN::btbttnPUNTDATAClick);

    btbttnSTRATAGRID = new QPushButton(QStringLiteral("import strata"), tab);
    btbttnSTRATAGRID->setObjectName(QStringLiteral("btbttnSTRATAGRID"));
    btbttnSTRATAGRID->setGeometry(100, 42, 100, 22);
    hints_->set(btbttnSTRATAGRID, QStringLiteral("Select a grid file with strata"));
    connect(btbttnSTRATAGRID, &QPushButton::clicked, this, [this] { DrukKnopAHNPLUS(0); });
    label0 = new QLabel(QStringLiteral("grid strata"), tab);
    label0->setObjectName(QStringLiteral("label0"));
    label0->setGeometry(10, 45, 88, 18);

    auto* groupHeader = new QLabel(QStringLiteral("group"), tab);
    groupHeader->setGeometry(kRadioLeft, 58, 60, 14);
    for (int g = 1; g <= kMaxGroups; ++g) {
        auto* label = new QLabel(QString::number(g), tab);
        label->setObjectName(QStringLiteral("lbl%1").arg(g));
        label->setGeometry(kRadioLeft + 15 * (g - 1), 74, 15, 14);
        label->setAlignment(Qt::AlignCenter);
        groupLabels[at(g)] = label;
    }
    for (int v = 1; v <= kMaxAuxVars; ++v) {
        const int top = kRowTop + 15 * v;
        auto* button = new QPushButton(QStringLiteral("..."), tab);
        button->setObjectName(QStringLiteral("bttn%1").arg(v));
        button->setGeometry(10, top, 22, 15);
        hints_->set(button, QString::fromLatin1(kSlotHint));
        connect(button, &QPushButton::clicked, this, [this, v] { DrukKnopAHNPLUS(v); });
        slotButtons[at(v)] = button;

        auto* label = new QLabel(tab);
        label->setObjectName(QStringLiteral("Label%1").arg(v));
        label->setGeometry(36, top, kRadioLeft - 40, 15);
        slotLabels[at(v)] = label;

        GroupChoice& choice = groupChoices[at(v)];
        choice.box = new QWidget(tab);
        choice.box->setObjectName(QStringLiteral("rdgrp%1").arg(v));
        choice.box->setGeometry(kRadioLeft, top, 15 * kMaxGroups, 15);
        hints_->set(choice.box, QString::fromLatin1(kGroupHint));
        auto* buttons = new QButtonGroup(choice.box);
        for (int g = 1; g <= kMaxGroups; ++g) {
            auto* item = new QRadioButton(choice.box);
            item->setGeometry(15 * (g - 1), 0, 15, 15);
            item->setStyleSheet(QStringLiteral("QRadioButton { spacing: 0px; }"));
            buttons->addButton(item, g);
            hints_->set(item, QString::fromLatin1(kGroupHint));
            choice.items[at(g - 1)] = item;
        }
        connect(buttons, &QButtonGroup::idClicked, this, [this, v](int g) {
            state_->registry.selectGroup(v, g);
            sttsbrPROGRESS->showMessage(QString::fromLatin1(kGroupHint));
        });
    }

    const auto button = [&](const char* name, const char* text, int x, int y, int w, const char* hint) {
        auto* b = new QPushButton(QString::fromLatin1(text), tab);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(x, y, w, 24);
        if (hint)
            hints_->set(b, QString::fromLatin1(hint));
        return b;
    };
    btbttnPLUSVAR = button("btbttnPLUSVAR", "+ aux.variable", 500, 90, 115, "Add auxiliary variable to the set");
    btbttnMINVAR = button("btbttnMINVAR", "- aux.variable", 625, 90, 115,
                          "remove (bottom) auxiliary variable from the set");
    btbttnPLUSGROEP = button("btbttnPLUSGROEP", "+ group", 500, 118, 115, "Add group to the set");
    btbttnMINGROEP = button("btbttnMINGROEP", "- group", 625, 118, 115, "remove (rightmost) group from the set");
    connect(btbttnPLUSVAR, &QPushButton::clicked, this, [this] {
        state_->registry.addVariable(feedback_);
        showRegistry();
    });
    connect(btbttnMINVAR, &QPushButton::clicked, this, [this] {
        state_->registry.removeVariable(feedback_);
        showRegistry();
    });
    connect(btbttnPLUSGROEP, &QPushButton::clicked, this, [this] {
        state_->registry.addGroup(feedback_);
        showRegistry();
    });
    connect(btbttnMINGROEP, &QPushButton::clicked, this, [this] {
        state_->registry.removeGroup(feedback_);
        showRegistry();
    });

    auto* mxwBox = new QGroupBox(QStringLiteral(" MxW "), tab);
    mxwBox->setGeometry(500, 156, 115, 90);
    const auto mxwCheck = [&](const char* name, const char* text, int y) {
        auto* box = new QCheckBox(QString::fromLatin1(text), mxwBox);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(12, y, 90, 20);
        box->setEnabled(false);
        connect(box, &QCheckBox::clicked, this, [this] { ReCheck(); });
        return box;
    };
    chckbxGHG = mxwCheck("chckbxGHG", "MHW", 20);
    chckbxGVG = mxwCheck("chckbxGVG", "MSW", 42);
    chckbxGLG = mxwCheck("chckbxGLG", "MLW", 64);

    rdgrpWEIGHT = new QGroupBox(QStringLiteral(" regression "), tab);
    rdgrpWEIGHT->setObjectName(QStringLiteral("rdgrpWEIGHT"));
    rdgrpWEIGHT->setGeometry(625, 156, 115, 90);
    weightedItem = new QRadioButton(QStringLiteral("weighted"), rdgrpWEIGHT);
    weightedItem->setGeometry(12, 24, 95, 20);
    unweightedItem = new QRadioButton(QStringLiteral("unweighted"), rdgrpWEIGHT);
    unweightedItem->setGeometry(12, 50, 95, 20);
    rdgrpWEIGHT->setEnabled(false);

    btbttnFILESOK = button("btbttnFILESOK", "Start regression", 500, 262, 240,
                           "Check attached files; if OK start the regression");
    btbttnFILESOK->setGeometry(500, 262, 240, 32);
    btbttnFILESOK->setEnabled(false);
    connect(btbttnFILESOK, &QPushButton::clicked, this, &TfrmMAIN::btbttnFILESOKClick);
    btbttnOpnieuw = button("btbttnOpnieuw", "Again", 500, 302, 240, nullptr);
    btbttnOpnieuw->setGeometry(500, 302, 240, 28);
    btbttnOpnieuw->hide();
    connect(btbttnOpnieuw, &QPushButton::clicked, this, &TfrmMAIN::btbttnOpnieuwClick);
}

void TfrmMAIN::showRegistry()
{
    const Registry& registry = state_->registry;
    label0->setText(qs(registry.labelCaption(0)));
    label0->setToolTip(qs(registry.HulpVarRecs[0].PFileName));
    for (int g = 1; g <= kMaxGroups; ++g)
        groupLabels[at(g)]->setVisible(registry.groupLabelVisible[at(g)]);
    for (int v = 1; v <= kMaxAuxVars; ++v) {
        const THulpvarRec& rec = registry.HulpVarRecs[at(v)];
        slotButtons[at(v)]->setVisible(rec.buttonVisible);
        slotLabels[at(v)]->setVisible(rec.labelVisible);
        slotLabels[at(v)]->setText(qs(rec.labelCaption));
        slotLabels[at(v)]->setToolTip(qs(rec.PFileName));
        GroupChoice& choice = groupChoices[at(v)];
        choice.box->setVisible(rec.radioVisible);
        for (int g = 1; g <= kMaxGroups; ++g) {
            QRadioButton* item = choice.items[at(g - 1)];
            item->setVisible(g <= registry.radioItems);
            if (g - 1 == rec.groupItem)
                item->setChecked(true);
        }
    }
    showStructureChecks();
}

void TfrmMAIN::setRegistryEnabled(bool on)
{
    for (QWidget* w : std::initializer_list<QWidget*>{btbttnSTRATAGRID, btbttnPUNTDATA, btbttnMINVAR,
                                                      btbttnPLUSVAR, btbttnMINGROEP, btbttnPLUSGROEP})
        w->setEnabled(on);
    for (int v = 1; v <= kMaxAuxVars; ++v) {
        slotButtons[at(v)]->setEnabled(on);
        groupChoices[at(v)].box->setEnabled(on);
    }
}

void TfrmMAIN::DrukKnopAHNPLUS(int index)
{
    // After any grid choice the point data must be imported again; the status
    // bar says so, or the grey button would leave the user guessing.
    btbttnPUNTDATA->setEnabled(true);
    if (btbttnFILESOK->isEnabled())
        sttsbrPROGRESS->showMessage(QString::fromLatin1(kGridsChanged));
    btbttnFILESOK->setEnabled(false);
    // The dialog starts in the folder of the last grid, with its file type
    // and proposed name.
    const GridDialogSetup& setup = state_->registry.dialog;
    GridFileRequest request;
    request.title = QStringLiteral("Select a grid file");
    request.directory = qs(gridDialogStart(*state_));
    request.filters = kGridFilters;
    request.fileType = static_cast<int>(setup.fileType);
    request.proposedName = qs(setup.proposedName);
    request.proposalFor = [](int type) { return qs(proposedNameFor(gridFileChoiceAt(type))); };
    const GridFileAnswer chosen = dialogs_.openGridFile(this, request);
    if (chosen.path.isEmpty())
        return;
    bool attached = false;
    guarded([&] { attached = chooseGrid(*state_, index, ss(chosen.path), gridFileChoiceAt(chosen.fileType)); });
    if (attached)
        showRegistry();
}

void TfrmMAIN::btbttnPUNTDATAClick()
{
    editor_->exec();
    if (editor_->aborted())
        return;
    btbttnFILESOK->setEnabled(true);
    PerMxw<bool> offered{};
    if (!guarded([&] { offered = acceptImport(*state_, editor_->editor().sourceFile, readTempTxt(state_->workDir)); }))
        return;
    const PerMxw<QCheckBox*> boxes{chckbxGHG, chckbxGVG, chckbxGLG};
    for (Mxw m : kAllMxw)
        if (offered[m]) {
            boxes[m]->setEnabled(true);
            boxes[m]->setChecked(true);
        }
    ReCheck();
}

void TfrmMAIN::ReCheck()
{
    const PerMxw<bool> checked{chckbxGHG->isChecked(), chckbxGVG->isChecked(), chckbxGLG->isChecked()};
    const bool offered = weightingOffered(*state_, checked);
    rdgrpWEIGHT->setEnabled(offered);
    // Both items unselected needs the exclusivity lifted for a moment.
    weightedItem->setAutoExclusive(false);
    unweightedItem->setAutoExclusive(false);
    weightedItem->setChecked(offered);
    unweightedItem->setChecked(false);
    weightedItem->setAutoExclusive(true);
    unweightedItem->setAutoExclusive(true);
}

void TfrmMAIN::btbttnFILESOKClick()
{
    RegressionSettings settings =
        regressionSettings({chckbxGHG->isChecked(), chckbxGVG->isChecked(), chckbxGLG->isChecked()},
                           weightedItem->isChecked(), editor_->editor());
    // The scatterplots can be looked at as soon as the grids are sampled.
    bool sampled = false;
    settings.sampled = [this, &sampled] {
        sampled = true;
        Bekijkgroepindeling1->setVisible(true);
    };
    ggRegressie->show();
    const bool orderOffered = orderCheckOffered(settings.mxwChecked);
    chckbxVOLGORDEGXG->setEnabled(orderOffered && !chckbxJustNormal->isChecked());
    chckbxVOLGORDEGXG->setChecked(orderOffered);
    RegressionOutcome outcome;
    if (!guarded([&] { outcome = runRegression(*state_, settings); }) || !outcome.completed) {
        // The sampling consumed the working point files; another run needs a new import.
        if (sampled) {
            btbttnFILESOK->setEnabled(false);
            sttsbrPROGRESS->showMessage(QString::fromLatin1(kPointsUsed));
        }
        return;
    }
    btbttnFILESOK->setEnabled(false);
    setRegistryEnabled(false);
    rdgrpWEIGHT->setEnabled(false);
    for (QCheckBox* box : {chckbxGHG, chckbxGVG, chckbxGLG})
        box->setEnabled(false);
    grpbxTAB2->setEnabled(true);
    grpbxTAB3->setEnabled(true);
    for (int i = 0; i < 6; ++i) {
        outputNames[at(i)]->setText(qs(outcome.outputNames[at(i)].text));
        outputNames[at(i)]->setEnabled(outcome.outputNames[at(i)].enabled);
    }
    voortgang(0, 100, QStringLiteral("Idle"));
    tbcntrlMAIN->setCurrentIndex(1);  // runs tbcntrlMAINChange
    btbttnOpnieuw->setVisible(true);
}

void TfrmMAIN::btbttnOpnieuwClick()
{
    bool ended = false;
    // A session that could not be archived whole stays open; the message has
    // named the files.
    if (!guarded([&] { ended = again(*state_); }) || !ended)
        return;
    btbttnFILESOK->setEnabled(false);
    setRegistryEnabled(true);
    grpbxTAB2->setEnabled(false);
    grpbxTAB3->setEnabled(false);
    rdgrpWEIGHT->setEnabled(true);
    for (QCheckBox* box : {chckbxGHG, chckbxGVG, chckbxGLG})
        box->setEnabled(true);
    btbttnOpnieuw->hide();
    Bekijkgroepindeling1->setVisible(false);
    blankDisplay();
    status(Mijlpaal::na_start);
}

}  // namespace tolvar::gui
