// The third tab, "Predict GxG": output names, optional settings and the
// mapping run with its live map-status picture.
#include "app/run_settings.h"
#include "gui/main_window.h"
#include "common/index.h"
#include "gui/variogram_window.h"
#include "mapping/prediction_run.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace tolvar::gui {

namespace {
constexpr const char* kNameLabels[6] = {"MHW", "sdMHW", "MSW", "sdMSW", "MLW", "sdMLW"};
constexpr int kSettingsWidth = 384;
constexpr const char* kNameBoxes[6] = {"edtGHGName", "edtSDGHGName", "edtGVGName",
                                       "edtSDGVGName", "edtGLGName", "edtSDGLGName"};
}  // namespace

void TfrmMAIN::buildPredictTab()
{
    QGroupBox* tab = grpbxTAB3;
    auto* mandatory = new QGroupBox(QStringLiteral(" Mandatory settings "), tab);
    // The settings keep to the left of the 350 x 350 map-status picture.
    mandatory->setGeometry(8, 12, kSettingsWidth, 194);
    for (int i = 0; i < 6; ++i) {
        auto* label = new QLabel(QString::fromLatin1(kNameLabels[i]), mandatory);
        label->setGeometry(10, 20 + 22 * i, 50, 20);
        auto* edit = new QLineEdit(QString::fromLatin1(kNotPredicted), mandatory);
        edit->setObjectName(QString::fromLatin1(kNameBoxes[i]));
        edit->setGeometry(62, 20 + 22 * i, kSettingsWidth - 72, 20);
        edit->setEnabled(false);
        outputNames[at(i)] = edit;
    }
    rdgrpGRIDTYPE = new QGroupBox(QStringLiteral(" type of outputfile  (all MxW) "), mandatory);
    rdgrpGRIDTYPE->setObjectName(QStringLiteral("rdgrpGRIDTYPE"));
    rdgrpGRIDTYPE->setGeometry(10, 152, kSettingsWidth - 20, 36);
    auto* ascii = new QRadioButton(QStringLiteral("ASCII-grid file"), rdgrpGRIDTYPE);
    ascii->setGeometry(10, 16, 150, 18);
    ascii->setChecked(true);
    auto* esri = new QRadioButton(QStringLiteral("ESRI grid file"), rdgrpGRIDTYPE);
    esri->setGeometry(180, 16, 150, 18);
    rdgrpGRIDTYPE->setEnabled(false);

    auto* optional = new QGroupBox(QStringLiteral(" Optional settings "), tab);
    optional->setGeometry(8, 210, kSettingsWidth, 132);
    // A size smaller, so the longest caption fits beside the picture.
    QFont small = optional->font();
    small.setPointSizeF(small.pointSizeF() - 1);
    optional->setFont(small);
    chckbxVOLGORDEGXG = new QCheckBox(QStringLiteral("Check on logical order MHW-MSW-MLW (in maps only)"), optional);
    chckbxVOLGORDEGXG->setObjectName(QStringLiteral("chckbxVOLGORDEGXG"));
    chckbxVOLGORDEGXG->setGeometry(8, 18, kSettingsWidth - 12, 20);
    chckbxVOLGORDEGXG->setChecked(true);
    chckbxRESIDU = new QCheckBox(QStringLiteral("Add normalized  residuals to point data"), optional);
    chckbxRESIDU->setObjectName(QStringLiteral("chckbxRESIDU"));
    chckbxRESIDU->setGeometry(8, 40, kSettingsWidth - 12, 20);
    chckbxRESIDU->setChecked(true);
    chckbxJustNormal = new QCheckBox(
        QStringLiteral("No maps; only calculation of normalized residuals at data points"), optional);
    chckbxJustNormal->setObjectName(QStringLiteral("chckbxJustNormal"));
    chckbxJustNormal->setGeometry(8, 62, kSettingsWidth - 12, 20);
    chckbxSDUNITS = new QCheckBox(QStringLiteral("Standard deviation maps in MxW units (one decimal)"), optional);
    chckbxSDUNITS->setObjectName(QStringLiteral("chckbxSDUNITS"));
    chckbxSDUNITS->setGeometry(8, 84, kSettingsWidth - 12, 20);
    chckbxKRIGING = new QCheckBox(QStringLiteral("Krige the normalized residuals (regression kriging)"), optional);
    chckbxKRIGING->setObjectName(QStringLiteral("chckbxKRIGING"));
    chckbxKRIGING->setGeometry(8, 106, kSettingsWidth - 12, 20);
    hints_->set(chckbxSDUNITS, QStringLiteral("Write the sd maps as the standard error of a new observation, "
                                              "sqrt((sd^2 + 1) MSres), in MxW units"));
    hints_->set(chckbxKRIGING, QStringLiteral("Krige the normalized residuals and write MxW_RK and SDMxW_RK "
                                              "beside the maps"));
    // Kriging needs the residuals and the maps.
    auto krigingPossible = [this] {
        chckbxKRIGING->setEnabled(chckbxRESIDU->isChecked() && !chckbxJustNormal->isChecked());
    };
    connect(chckbxRESIDU, &QCheckBox::toggled, this, krigingPossible);
    connect(chckbxJustNormal, &QCheckBox::toggled, this, krigingPossible);
    hints_->set(chckbxVOLGORDEGXG, QStringLiteral("MHW / MSW / MLW are changed inside their bandwidth if the "
                                                  "order MHW<MSW<MLW is not right"));
    hints_->set(chckbxRESIDU, QStringLiteral("Per stratum the difference between point-MxW and predicted MxW "
                                             "is calculated and devided by MSres of the stratum"));
    hints_->set(chckbxJustNormal, QStringLiteral("Calculate normalised rediduals at measurement locations but "
                                                 "do not make a map"));
    // chckbxJustNormalClick: no maps means no order check; its tick stays.
    connect(chckbxJustNormal, &QCheckBox::clicked, this,
            [this](bool on) { chckbxVOLGORDEGXG->setEnabled(!on); });

    btbttnPredict = new QPushButton(QStringLiteral("Settings OK; start mapping"), tab);
    btbttnPredict->setObjectName(QStringLiteral("btbttnPredict"));
    btbttnPredict->setGeometry(8, 345, kSettingsWidth, 28);
    hints_->set(btbttnPredict, QStringLiteral("Fix mandatory and optional settings and start mapping MxW"));
    connect(btbttnPredict, &QPushButton::clicked, this, &TfrmMAIN::btbttnPredictClick);

    imgMAPSTATUS = new QLabel(tab);
    imgMAPSTATUS->setObjectName(QStringLiteral("imgMAPSTATUS"));
    imgMAPSTATUS->setGeometry(kSettingsWidth + 12, 14, 350, 350);
}

void TfrmMAIN::btbttnPredictClick()
{
    PerSlot<std::string> names;
    for (int i = 0; i < kSlotCount; ++i)
        names[at(i)] = ss(outputNames[at(i)]->text());
    MappingChoices choices;
    choices.orderCheck = chckbxVOLGORDEGXG->isChecked();
    choices.residuals = chckbxRESIDU->isChecked();
    choices.noMaps = chckbxJustNormal->isChecked();
    choices.sdInMxwUnits = chckbxSDUNITS->isChecked();
    choices.kriging.on = chckbxKRIGING->isEnabled() && chckbxKRIGING->isChecked();
    const MappingSettings settings = mappingSettings(*state_, names, choices);
    MappingOutcome outcome;
    QtCanvas variogramCanvas(kPlotWidth, kPlotHeight);
    guarded([&] { outcome = runPrediction(*state_, settings, *fitCanvas_, *statusCanvas_, &variogramCanvas); });
    refreshPictures();
    // The kriging's variograms, as saved, in a window of their own.
    std::vector<QImage> pictures;
    for (const std::string& name : outcome.variogramPictures)
        pictures.emplace_back(QString::fromStdString((state_->workDir.path() / name).string()), "BMP");
    if (!pictures.empty()) {
        TfrmVariograms window(pictures, this);
        variograms_ = &window;
        window.exec();
        variograms_ = nullptr;
    }
}

}  // namespace tolvar::gui
