// The second tab, "Results of regression": stratum, MxW and model structure
// selectors, one result or the best one as table and scatterplot, reject.
#include "gui/main_window.h"
#include "selection/prune.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTableWidget>

namespace tolvar::gui {

void TfrmMAIN::buildResultsTab()
{
    QGroupBox* tab = grpbxTAB2;
    auto* strataLabel = new QLabel(QStringLiteral("Select stratum:"), tab);
    strataLabel->setObjectName(QStringLiteral("Label16"));
    strataLabel->setGeometry(10, 16, 95, 22);
    cmbbxSTRATA = new QComboBox(tab);
    cmbbxSTRATA->setObjectName(QStringLiteral("cmbbxSTRATA"));
    cmbbxSTRATA->setGeometry(110, 16, 120, 22);
    auto* mxwLabel = new QLabel(QStringLiteral("Select MxW:"), tab);
    mxwLabel->setObjectName(QStringLiteral("Label18"));
    mxwLabel->setGeometry(10, 42, 95, 22);
    cmbbxGxG = new QComboBox(tab);
    cmbbxGxG->setObjectName(QStringLiteral("cmbbxGxG"));
    cmbbxGxG->setGeometry(110, 42, 120, 22);
    connect(cmbbxSTRATA, &QComboBox::currentIndexChanged, this, &TfrmMAIN::cmbbxSTRATAChange);
    connect(cmbbxGxG, &QComboBox::currentIndexChanged, this, &TfrmMAIN::cmbbxGxGChange);

    auto* auxHeader = new QLabel(QStringLiteral("aux.info"), tab);
    auxHeader->setObjectName(QStringLiteral("Label19"));
    auxHeader->setGeometry(36, 74, 70, 14);
    groupHeader_ = new QLabel(QStringLiteral("group"), tab);
    groupHeader_->setObjectName(QStringLiteral("Label20"));
    static constexpr const char* kDigits = "123456789012345";
    for (int g = 1; g <= kMaxGroups; ++g) {
        auto* number = new QLabel(QString(QChar::fromLatin1(kDigits[g - 1])), tab);
        number->setObjectName(QStringLiteral("Label%1").arg(40 + g));
        number->setGeometry(126 + 15 * (g - 1), 76, 15, 13);
        number->setAlignment(Qt::AlignCenter);
        groupNumberLabels[at(g)] = number;
        if (g >= 10) {
            auto* tens = new QLabel(QStringLiteral("1"), tab);
            tens->setGeometry(126 + 15 * (g - 1), 64, 15, 13);
            tens->setAlignment(Qt::AlignCenter);
            tensLabels[at(g)] = tens;
        }
    }
    for (int v = 1; v <= kMaxAuxVars; ++v) {
        auto* row = new QLabel(tab);
        row->setObjectName(QStringLiteral("Label%1").arg(20 + v));
        row->setGeometry(36, 75 + 15 * v, 88, 15);
        rowLabels[at(v)] = row;
        for (int g = 1; g <= kMaxGroups; ++g) {
            auto* box = new QCheckBox(tab);
            box->setObjectName(QStringLiteral("CheckBox%1").arg((v - 1) * 15 + g));
            box->setGeometry(110 + 15 * g, 75 + 15 * v, 15, 15);
            connect(box, &QCheckBox::clicked, this, [this] { CheckBox1Click(); });
            structureBoxes[at(v)][at(g)] = box;
        }
    }

    imgFIT = new QLabel(tab);
    imgFIT->setObjectName(QStringLiteral("imgFIT"));
    imgFIT->setGeometry(392, 12, kPlotWidth, kPlotHeight);
    strgrdFIT = new QTableWidget(21, 4, tab);
    strgrdFIT->setObjectName(QStringLiteral("strgrdFIT"));
    strgrdFIT->setGeometry(392, 266, kPlotWidth, 104);
    strgrdFIT->horizontalHeader()->hide();
    strgrdFIT->verticalHeader()->hide();
    strgrdFIT->verticalHeader()->setDefaultSectionSize(16);
    strgrdFIT->setEditTriggers(QAbstractItemView::NoEditTriggers);
    strgrdFIT->setColumnWidth(0, 110);
    for (int c = 1; c < 4; ++c)
        strgrdFIT->setColumnWidth(c, 73);
    QFont small = strgrdFIT->font();
    small.setPointSize(8);
    strgrdFIT->setFont(small);

    const auto button = [&](const char* name, const char* text, int x, int w, const char* hint) {
        auto* b = new QPushButton(QString::fromLatin1(text), tab);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(x, 330, w, 28);
        hints_->set(b, QString::fromLatin1(hint));
        return b;
    };
    btbttnSHOW = button("btbttnSHOW", "Show 1 result", 10, 110,
                        "Show regression result of a set MxW, stratum and model structure");
    btbttnSHOWBEST = button("btbttnSHOWBEST", "Show the best result", 124, 128,
                            "Show the best regression result of a set MxW and stratum (after comparison "
                            "model structures)");
    btbttnVERWERP = button("btbttnVERWERP", "Reject the best result", 256, 128,
                           "Reject the found \"best result\" (for instance if the regression coefficients "
                           "are not plausible)");
    btbttnVERWERP->setEnabled(false);
    connect(btbttnSHOW, &QPushButton::clicked, this, &TfrmMAIN::btbttnSHOWClick);
    connect(btbttnSHOWBEST, &QPushButton::clicked, this, &TfrmMAIN::btbttnSHOWBESTClick);
    connect(btbttnVERWERP, &QPushButton::clicked, this, &TfrmMAIN::btbttnVERWERPClick);
}

void TfrmMAIN::showStructureChecks()
{
    const Registry& registry = state_->registry;
    for (int v = 1; v <= kMaxAuxVars; ++v) {
        rowLabels[at(v)]->setText(qs(registry.tabLabels.rowCaption[at(v)]));
        rowLabels[at(v)]->setVisible(registry.tabLabels.rowVisible[at(v)]);
        for (int g = 1; g <= kMaxGroups; ++g) {
            QCheckBox* box = structureBoxes[at(v)][at(g)];
            box->setVisible(registry.checks.visible[at(v)][at(g)]);
            box->setChecked(registry.checks.checked[at(v)][at(g)]);
        }
    }
    // The header follows the last group column.
    groupHeader_->setGeometry(130 + 15 * registry.GroupCount, 76, 40, 13);
    for (int g = 1; g <= kMaxGroups; ++g) {
        groupNumberLabels[at(g)]->setVisible(registry.tabLabels.groupNumberVisible[at(g)]);
        if (tensLabels[at(g)])
            tensLabels[at(g)]->setVisible(registry.tabLabels.tensDigitVisible[at(g)]);
    }
}

void TfrmMAIN::readSelection()
{
    selection_.stratumText = ss(cmbbxSTRATA->currentText());
    selection_.mxw = ss(cmbbxGxG->currentText());
    for (int v = 1; v <= kMaxAuxVars; ++v)
        for (int g = 1; g <= kMaxGroups; ++g)
            selection_.ticked[at(v)][at(g)] = structureBoxes[at(v)][at(g)]->isChecked();
}

void TfrmMAIN::showTicks()
{
    for (int v = 1; v <= kMaxAuxVars; ++v)
        for (int g = 1; g <= kMaxGroups; ++g)
            structureBoxes[at(v)][at(g)]->setChecked(selection_.ticked[at(v)][at(g)]);
}

void TfrmMAIN::CheckBox1Click()
{
    readSelection();
    if (clickStructure(selection_, state_->registry.checks))
        blankDisplay();
    showTicks();
}

void TfrmMAIN::vulboxen()
{
    cmbbxGxG->clear();
    for (const std::string& item : mxwSelectorItems(state_->mxwChecked))
        cmbbxGxG->addItem(qs(item));
    cmbbxSTRATA->clear();
    for (const std::string& code : state_->sampling.StrataCodes)
        cmbbxSTRATA->addItem(qs(code));
}

ResultChoice TfrmMAIN::currentChoice()
{
    readSelection();
    return resultChoice(selection_, *state_);
}

void TfrmMAIN::showDisplay(const DisplayOutcome& outcome)
{
    for (int r = 0; r < 21; ++r)
        for (int c = 0; c < 4; ++c)
            strgrdFIT->setItem(r, c, new QTableWidgetItem(qs(outcome.table[at(r)][at(c)])));
    refreshPictures();
    if (!outcome.statusText.empty())
        sttsbrPROGRESS->showMessage(qs(outcome.statusText));
}

void TfrmMAIN::blankDisplay()
{
    // "Reject" only ever acts on the best model on screen.
    blankSelection(selection_);
    btbttnVERWERP->setEnabled(selection_.rejectOffered());
    DisplayOutcome blank;
    BLANKSTRGRDFIT(blank.table);
    blankimgFIT(*fitCanvas_);
    showDisplay(blank);
}

void TfrmMAIN::btbttnSHOWClick()
{
    guarded([&] { showDisplay(showResult(*state_, currentChoice(), *fitCanvas_)); });
}

void TfrmMAIN::btbttnSHOWBESTClick()
{
    guarded([&] { showBestResult(*state_, currentChoice(), *fitCanvas_); });
}

void TfrmMAIN::showBest(const BestOutcome& best)
{
    // The pair in the selectors (the mapping run shows every pair); the
    // picture is drawn already, so the selectors' blanking must not run.
    showBestSelection(selection_, state_->registry.checks, best);
    {
        const QSignalBlocker blockStrata(cmbbxSTRATA), blockMxw(cmbbxGxG);
        std::vector<std::string> strata;
        for (int i = 0; i < cmbbxSTRATA->count(); ++i)
            strata.push_back(ss(cmbbxSTRATA->itemText(i)));
        if (const int item = stratumItem(strata, selection_.stratumText); item >= 0)
            cmbbxSTRATA->setCurrentIndex(item);
        if (const int item = cmbbxGxG->findText(qs(selection_.mxw)); item >= 0)
            cmbbxGxG->setCurrentIndex(item);
    }
    btbttnVERWERP->setEnabled(selection_.rejectOffered());
    showTicks();
    showDisplay(best.display);
}

void TfrmMAIN::btbttnVERWERPClick()
{
    guarded([&] { rejectBest(state_->workDir, selection_.bestName, state_->log); });
    blankDisplay();
}

void TfrmMAIN::cmbbxSTRATAChange()
{
    blankDisplay();
}

void TfrmMAIN::cmbbxGxGChange()
{
    blankDisplay();
}

}  // namespace tolvar::gui
