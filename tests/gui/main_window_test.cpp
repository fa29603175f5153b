#include "batch/batch_run.h"
#include "gui/about_box.h"
#include "gui/help_viewer.h"
#include "gui/main_window.h"
#include "gui/multi_scatter_window.h"
#include "gui/point_data_editor.h"
#include "gui/variogram_window.h"
#include "regression/no_regression.h"
#include "selection/select_best.h"
#include "support/faults.h"
#include "support/raster_fixtures.h"
#include "support/temp_dir.h"
#include "scripted_dialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace tolvar::gui {
namespace {

namespace fs = std::filesystem;

// A working directory holding the bundled example; the window works in it
// and dialogs answer as scripted.
struct MainFixture {
    test::TempDir tmp;
    ScriptedDialogs dialogs;
    std::unique_ptr<TfrmMAIN> window;

    explicit MainFixture(bool example = true)
    {
        if (example)
            for (const auto& entry : fs::directory_iterator(fs::path(TOLVAR_EXAMPLE_DIR)))
                fs::copy_file(entry.path(), tmp / entry.path().filename().string());
        window = std::make_unique<TfrmMAIN>(tmp.path(), dialogs);
        window->FormActivate();
        window->show();
    }
    ~MainFixture() { window.reset(); }

    void hover(QWidget* widget)
    {
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(widget, &enter);
    }

    // "import" with the point-data editor reading the example's point file,
    // applying -9999 as the missing code and pressing "Ready!".
    void importPoints(const char* name = "piezometers.csv")
    {
        const QString file = QString::fromStdString((tmp / name).string());
        dialogs.openFileAnswer = [file](const QString&, const QString&, const QString&) { return file; };
        TfrmBUISDATA& editor = window->pointDataEditor();
        // The editor asks for its file once it is shown; answer after that.
        QTimer::singleShot(0, &editor, [&editor] {
            QTimer::singleShot(0, &editor, [&editor] {
                editor.btbttnOKLEES->click();
                editor.edtMIS->setText(QStringLiteral("-9999"));
                editor.btbttnMIS->click();
                editor.btbttnEXITSTAMBUIS->click();
            });
        });
        window->btbttnPUNTDATA->click();
    }

    // The import above, then "Start regression".
    void importAndRegress()
    {
        importPoints();
        window->btbttnFILESOK->click();
    }
};

TEST(TfrmMAIN, StartUpShowsTheBatchStartFileAndTheFirstStage)
{
    MainFixture f;
    TfrmMAIN& w = *f.window;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Tolvar 1.4"));
    EXPECT_EQ(w.centralWidget()->height() + w.statusBar()->height(), 511);
    EXPECT_EQ(w.width(), 756);
    EXPECT_EQ(w.pos(), QPoint(1, 1));
    EXPECT_EQ(w.tbcntrlMAIN->count(), 3);
    EXPECT_EQ(w.tbcntrlMAIN->tabText(2), QStringLiteral("Predict GxG"));
    EXPECT_EQ(w.grpbxVOORTGANG->title(), QStringLiteral(" Progress session 1 "));
    EXPECT_EQ(w.ggProgress->value(), 10);
    EXPECT_EQ(w.lblregressie->text(), QStringLiteral("Idle"));

    // wendbat.txt: four variables in three groups.
    EXPECT_EQ(w.label0->text(), QStringLiteral("strata.asc"));
    for (int v = 1; v <= 4; ++v)
        EXPECT_FALSE(w.slotButtons[static_cast<std::size_t>(v)]->isHidden()) << v;
    EXPECT_TRUE(w.slotButtons[5]->isHidden());
    EXPECT_EQ(w.slotLabels[2]->text(), QStringLiteral("ditchdist.asc"));
    EXPECT_TRUE(w.groupChoices[3].items[1]->isChecked());  // drainage in group 2
    EXPECT_TRUE(w.groupChoices[4].items[3]->isHidden());   // three groups only
    EXPECT_FALSE(w.groupLabels[3]->isHidden());
    EXPECT_TRUE(w.groupLabels[4]->isHidden());

    // Enabling after start-up.
    EXPECT_FALSE(w.btbttnFILESOK->isEnabled());
    EXPECT_TRUE(w.btbttnPUNTDATA->isEnabled());
    EXPECT_FALSE(w.chckbxGHG->isEnabled());
    EXPECT_FALSE(w.rdgrpWEIGHT->isEnabled());
    EXPECT_FALSE(w.grpbxTAB2->isEnabled());
    EXPECT_FALSE(w.grpbxTAB3->isEnabled());
    EXPECT_TRUE(w.btbttnOpnieuw->isHidden());
    EXPECT_FALSE(w.Bekijkgroepindeling1->isVisible());
    EXPECT_FALSE(fs::exists(f.tmp / "session0"));

    // Pictures at their sizes; the run label keeps off the stage picture.
    EXPECT_EQ(w.imgMAPSTATUS->size(), QSize(350, 350));
    EXPECT_FALSE(w.lblregressie->geometry().intersects(w.imgProgress->geometry()));
    TfrmAbout about(&w);
    EXPECT_EQ(HelpViewer::contextOf(about.bttnOK), 29);
    EXPECT_EQ(about.goals->palette().color(QPalette::Disabled, QPalette::Text),
              about.goals->palette().color(QPalette::Active, QPalette::Text));
}

TEST(TfrmMAIN, ProgressHintsAndRegistryButtons)
{
    MainFixture f(false);
    TfrmMAIN& w = *f.window;
    struct Case {
        double actueel, maxi;
        int percent;
    };
    for (const Case& c : {Case{150, 100, 100}, Case{1, 3, 33}, Case{0, 100, 0}}) {
        w.voortgang(c.actueel, c.maxi, QStringLiteral("% van 3 regressions"));
        EXPECT_EQ(w.ggRegressie->value(), c.percent) << c.actueel;
    }
    EXPECT_EQ(w.lblregressie->text(), QStringLiteral("% van 3 regressions"));

    for (int v : {1, 9, 15}) {
        w.sttsbrPROGRESS->clearMessage();
        f.hover(w.slotButtons[static_cast<std::size_t>(v)]);
        EXPECT_EQ(w.sttsbrPROGRESS->currentMessage(),
                  QStringLiteral("Selecteer een Gridbestand (ESRI) met de hulpvariabele"));
    }
    f.hover(w.btbttnFILESOK);
    EXPECT_EQ(w.sttsbrPROGRESS->currentMessage(), QStringLiteral("Check attached files; if OK start the regression"));
    f.hover(w.grpbxTAB3);
    EXPECT_EQ(w.sttsbrPROGRESS->currentMessage(), QString());

    // One variable in one group: removing the variable is refused.
    w.btbttnMINVAR->click();
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_EQ(f.dialogs.messages.back(), QStringLiteral("Number of groups may not exceed number of aux.variables"));
    w.btbttnPLUSVAR->click();
    EXPECT_FALSE(w.slotButtons[2]->isHidden());
    EXPECT_TRUE(w.groupChoices[2].items[1]->isChecked());  // a group of its own
    EXPECT_FALSE(w.groupLabels[2]->isHidden());
    w.btbttnMINGROEP->click();
    EXPECT_TRUE(w.groupChoices[2].items[0]->isChecked());
    EXPECT_TRUE(w.groupChoices[2].items[1]->isHidden());

    // F1 opens the help at the topic of the focused control.
    EXPECT_EQ(HelpViewer::contextOf(w.groupChoices[3].items[0]), 9);
    EXPECT_EQ(HelpViewer::contextOf(w.chckbxGLG), 11);
    EXPECT_EQ(HelpViewer::contextOf(w.sttsbrPROGRESS), 1);
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.btbttnPUNTDATA->setFocus();
    QTest::keyClick(w.btbttnPUNTDATA, Qt::Key_F1);
    ASSERT_NE(w.helpViewer(), nullptr);
    EXPECT_TRUE(w.helpViewer()->isVisible());

    // The grid dialog opened by "..." has the buttons' help context, starts in
    // the folder given and proposes the name given.
    fs::create_directory(f.tmp / "grids");
    const QString grids = QString::fromStdString((f.tmp / "grids").string());
    w.slotButtons[1]->setFocus();
    int dialogContext = 0;
    QString dialogFolder;
    QTimer::singleShot(0, &w, [&] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QFileDialog*>(top); dialog && dialog->isVisible()) {
                dialogContext = HelpViewer::contextOf(dialog);
                dialogFolder = dialog->directory().absolutePath();
                dialog->reject();
            }
    });
    QtDialogs system;
    EXPECT_TRUE(system
                    .openGridFile(&w, {QStringLiteral("Select a grid file"), grids, {QStringLiteral("all files (*)")},
                                       0, QStringLiteral("*.asc"), [](int) { return QString(); }})
                    .path.isEmpty());
    EXPECT_EQ(dialogContext, 9);
    EXPECT_EQ(dialogFolder, grids);

    // No maps: the order check keeps its tick but is disabled.
    w.grpbxTAB3->setEnabled(true);  // as after a regression run
    w.chckbxJustNormal->click();
    EXPECT_TRUE(w.chckbxVOLGORDEGXG->isChecked());
    EXPECT_FALSE(w.chckbxVOLGORDEGXG->isEnabled());
    w.chckbxJustNormal->click();
    EXPECT_TRUE(w.chckbxVOLGORDEGXG->isEnabled());
}

std::map<std::string, std::string> archiveOf(const fs::path& dir)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir / "session1"))
        if (entry.path().extension() != ".log")
            files[entry.path().filename().string()] = test::readFile(entry.path());
    return files;
}

// The whole workflow through the window: the files it writes are those of the
// batch on the same example, byte for byte (the log aside).
TEST(TfrmMAIN, WorkflowWritesWhatTheBatchWrites)
{
    MainFixture f;
    TfrmMAIN& w = *f.window;
    f.importPoints();
    EXPECT_TRUE(w.btbttnFILESOK->isEnabled());
    EXPECT_TRUE(w.chckbxGHG->isChecked());
    EXPECT_TRUE(w.chckbxGLG->isChecked());
    EXPECT_TRUE(w.weightedItem->isChecked());
    w.chckbxGVG->click();  // unticked and ticked again: weighting is offered anew
    w.unweightedItem->click();
    w.chckbxGVG->click();
    EXPECT_TRUE(w.weightedItem->isChecked());

    w.btbttnFILESOK->click();
    ASSERT_TRUE(w.grpbxTAB2->isEnabled()) << (f.dialogs.messages.empty() ? "" : f.dialogs.messages.back().toStdString());
    EXPECT_EQ(w.tbcntrlMAIN->currentIndex(), 1);
    EXPECT_FALSE(w.btbttnFILESOK->isEnabled());
    EXPECT_FALSE(w.btbttnPUNTDATA->isEnabled());
    EXPECT_FALSE(w.btbttnOpnieuw->isHidden());
    EXPECT_TRUE(w.Bekijkgroepindeling1->isVisible());
    EXPECT_EQ(w.cmbbxGxG->count(), 3);
    EXPECT_EQ(w.cmbbxSTRATA->count(), 3);
    EXPECT_EQ(w.outputNames[0]->text().toStdString(), (f.tmp / "MHW_R.asc").string());

    // The best model of the first pair, shown in best mode.
    w.btbttnSHOWBEST->click();
    EXPECT_TRUE(w.btbttnVERWERP->isEnabled());
    EXPECT_NE(w.strgrdFIT->item(4, 1)->text(), QStringLiteral("nb"));  // the Cp in best mode
    EXPECT_TRUE(fs::exists(f.tmp / "1-MHW.wmf"));

    // One tick per group: ticking another variable of group 2 unticks the first.
    QCheckBox* ditch = w.structureBoxes[2][2];
    QCheckBox* drainage = w.structureBoxes[3][2];
    if (!ditch->isChecked())
        ditch->click();
    drainage->click();
    EXPECT_TRUE(drainage->isChecked());
    EXPECT_FALSE(ditch->isChecked());
    EXPECT_EQ(w.strgrdFIT->item(1, 1)->text(), QStringLiteral("missing"));  // display blanked

    f.dialogs.messages.clear();
    w.btbttnPredict->click();
    ASSERT_FALSE(f.dialogs.messages.empty());
    EXPECT_TRUE(f.dialogs.messages.back().startsWith(QStringLiteral("Tolvar is ready. You can close this window")))
        << f.dialogs.messages.back().toStdString();
    EXPECT_TRUE(fs::exists(f.tmp / "MLW_R.asc"));

    // "Again" archives session 1 (three strata: the closure asks) and opens the
    // first tab for session 2.
    w.btbttnOpnieuw->click();
    ASSERT_EQ(f.dialogs.archiveCaptions.size(), 1u);
    EXPECT_EQ(f.dialogs.archiveCaptions.front(), QStringLiteral("Storing results previous session"));
    EXPECT_EQ(w.grpbxVOORTGANG->title(), QStringLiteral(" Progress session 2 "));
    EXPECT_EQ(w.ggProgress->value(), 10);
    EXPECT_FALSE(w.btbttnFILESOK->isEnabled());
    EXPECT_TRUE(w.btbttnPUNTDATA->isEnabled());
    EXPECT_TRUE(w.slotButtons[1]->isEnabled());
    EXPECT_TRUE(w.chckbxGHG->isEnabled());
    EXPECT_FALSE(w.grpbxTAB2->isEnabled());
    EXPECT_TRUE(w.btbttnOpnieuw->isHidden());
    EXPECT_FALSE(w.Bekijkgroepindeling1->isVisible());
    EXPECT_FALSE(fs::exists(f.tmp / "MLW_R.asc"));
    w.close();

    test::TempDir batchDir;
    for (const auto& entry : fs::directory_iterator(fs::path(TOLVAR_EXAMPLE_DIR)))
        fs::copy_file(entry.path(), batchDir / entry.path().filename().string());
    std::ostringstream out, err;
    const auto canvases = [](int width, int height) -> std::unique_ptr<Canvas> {
        return std::make_unique<QtCanvas>(width, height);
    };
    ASSERT_EQ(runBatch(parseBatchArguments({"--missing", "-9999", "--quiet", "piezometers.csv"}), batchDir.path(),
                       out, err, false, canvases),
              0)
        << err.str();
    const auto gui = archiveOf(f.tmp.path());
    const auto batch = archiveOf(batchDir.path());
    std::vector<std::string> guiNames, batchNames;
    for (const auto& [name, content] : gui)
        guiNames.push_back(name);
    for (const auto& [name, content] : batch)
        batchNames.push_back(name);
    ASSERT_EQ(guiNames, batchNames);
    for (const auto& [name, content] : gui)
        EXPECT_TRUE(content == batch.at(name)) << name;
}

// Kriging is offered while residuals and maps are made; a run with it writes
// the kriged maps and shows the variograms it saved in a window of their own.
TEST(TfrmMAIN, KrigingFollowsTheResidualsAndShowsItsVariogram)
{
    MainFixture f;
    TfrmMAIN& w = *f.window;
    f.importAndRegress();
    ASSERT_TRUE(w.grpbxTAB2->isEnabled());
    EXPECT_TRUE(w.chckbxKRIGING->isEnabled());
    EXPECT_FALSE(w.chckbxKRIGING->isChecked());
    EXPECT_FALSE(w.chckbxSDUNITS->isChecked());
    w.chckbxRESIDU->click();
    EXPECT_FALSE(w.chckbxKRIGING->isEnabled());
    w.chckbxRESIDU->click();
    w.chckbxJustNormal->click();
    EXPECT_FALSE(w.chckbxKRIGING->isEnabled());
    w.chckbxJustNormal->click();
    EXPECT_TRUE(w.chckbxKRIGING->isEnabled());
    w.chckbxKRIGING->click();
    w.chckbxSDUNITS->click();
    f.dialogs.messages.clear();
    std::vector<QImage> shown;
    QTimer::singleShot(0, &w, [&w, &shown] {
        ASSERT_NE(w.variograms(), nullptr);
        EXPECT_EQ(w.variograms()->windowTitle(), QStringLiteral("Variograms of the normalized residuals"));
        for (QLabel* label : w.variograms()->imgVariogram)
            shown.push_back(label->pixmap().toImage());
        w.variograms()->Button1->click();
    });
    w.btbttnPredict->click();
    EXPECT_EQ(w.variograms(), nullptr);
    ASSERT_FALSE(f.dialogs.messages.empty());
    EXPECT_TRUE(f.dialogs.messages.back().contains(QStringLiteral("The normalized residuals were kriged")))
        << f.dialogs.messages.back().toStdString();
    EXPECT_TRUE(fs::exists(f.tmp / "MSW_RK.asc"));
    EXPECT_TRUE(fs::exists(f.tmp / "SDMSW_RK.asc"));
    EXPECT_TRUE(fs::exists(f.tmp / "MLW-variogram.wmf"));
    // One picture per mapped MxW, as saved.
    ASSERT_EQ(shown.size(), 3u);
    const char* names[3] = {"MHW-variogram.wmf", "MSW-variogram.wmf", "MLW-variogram.wmf"};
    for (int m = 0; m < 3; ++m)
        EXPECT_EQ(shown[m].convertToFormat(QImage::Format_RGB32),
                  QImage(QString::fromStdString((f.tmp / names[m]).string()), "BMP").convertToFormat(QImage::Format_RGB32))
            << names[m];
}

// The grid dialog starts where the last grid was and proposes "*.asc" only
// until a grid is chosen; a grid from another folder leaves the maps in the
// working directory; a grid change says why "Start regression" went grey.
TEST(TfrmMAIN, GridChoicesAndTheOutputFolder)
{
    MainFixture f;
    TfrmMAIN& w = *f.window;
    fs::create_directory(f.tmp / "grids");
    fs::copy_file(f.tmp / "elevation.asc", f.tmp / "grids" / "elevation.asc");
    const QString work = QString::fromStdString(f.tmp.path().string());
    const QString chosen = QString::fromStdString((f.tmp / "grids" / "elevation.asc").string());
    std::vector<QString> starts;
    QString answer = chosen;
    // Where the dialog starts, with the name it proposes.
    f.dialogs.gridFileAnswer = [&](const GridFileRequest& request) {
        starts.push_back(request.proposedName.isEmpty() ? request.directory
                                                        : request.directory + QStringLiteral("/") + request.proposedName);
        return GridFileAnswer{answer, 0};
    };
    w.slotButtons[1]->click();
    answer.clear();
    w.btbttnSTRATAGRID->click();  // cancelled: the strata grid stays
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0], work + QStringLiteral("/*.asc"));  // wendbat.txt named files in the working directory
    EXPECT_EQ(starts[1], work + QStringLiteral("/grids"));
    EXPECT_EQ(w.label0->text(), QStringLiteral("strata.asc"));

    f.importPoints();
    ASSERT_TRUE(w.btbttnFILESOK->isEnabled());
    f.dialogs.gridFileAnswer = nullptr;  // cancelled
    w.btbttnSTRATAGRID->click();
    EXPECT_FALSE(w.btbttnFILESOK->isEnabled());
    EXPECT_TRUE(w.sttsbrPROGRESS->currentMessage().contains(QStringLiteral("import the point data again")));

    f.importAndRegress();
    ASSERT_TRUE(w.grpbxTAB3->isEnabled());
    const std::array<const char*, 6> names{"MHW_R.asc", "SDMHW_R.asc", "MSW_R.asc",
                                           "SDMSW_R.asc", "MLW_R.asc", "SDMLW_R.asc"};
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(w.outputNames[i]->text().toStdString(), (f.tmp / names[i]).string());
}

// The results tab: the selectors blank the display, a rejected model leaves
// the screen, ticks that never were a model say so, the scatterplot matrix is
// saved, and the mapping run leaves its last pair shown and rejectable.
TEST(TfrmMAIN, ResultsTabFollowsSelectorsRejectsAndTheMappingRun)
{
    MainFixture f;
    TfrmMAIN& w = *f.window;
    f.importAndRegress();
    ASSERT_TRUE(w.grpbxTAB2->isEnabled());

    const auto blank = [&w] {
        return w.strgrdFIT->item(1, 1)->text() == QStringLiteral("missing") &&
               w.strgrdFIT->item(4, 1)->text() == QStringLiteral("nb");
    };
    for (QComboBox* selector : {w.cmbbxGxG, w.cmbbxSTRATA}) {
        w.btbttnSHOWBEST->click();
        ASSERT_FALSE(blank());
        selector->setCurrentIndex(1);
        EXPECT_TRUE(blank()) << selector->objectName().toStdString();
    }
    w.btbttnSHOWBEST->click();
    const auto outFiles = [&f] { return WorkDir(f.tmp.path()).list("*.out").size(); };
    const std::size_t before = outFiles();
    w.btbttnVERWERP->click();
    EXPECT_TRUE(blank());
    EXPECT_FALSE(w.btbttnVERWERP->isEnabled());
    EXPECT_EQ(outFiles(), before - 1);

    // The registry's ticks put ditchdist and drainage (both group 2) in one
    // structure, which was never a model.
    w.tbcntrlMAIN->setCurrentIndex(0);
    w.tbcntrlMAIN->setCurrentIndex(1);
    f.dialogs.messages.clear();
    w.btbttnSHOW->click();
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_TRUE(f.dialogs.messages[0].contains(QStringLiteral("at most one variable per group"))) << f.dialogs.messages[0].toStdString();

    QTimer::singleShot(0, &w, [&w] {
        ASSERT_NE(w.multiScatter(), nullptr);
        EXPECT_EQ(w.multiScatter()->windowTitle(), QStringLiteral("MultiScatter"));
        EXPECT_EQ(w.multiScatter()->size(), QSize(578, 581));
        w.multiScatter()->Button1->click();
    });
    w.Bekijkgroepindeling1->trigger();
    EXPECT_TRUE(fs::exists(f.tmp / "MultiScat.wmf"));

    w.tbcntrlMAIN->setCurrentIndex(2);
    w.btbttnPredict->click();
    ASSERT_TRUE(fs::exists(f.tmp / "MHW_R.asc"));
    EXPECT_EQ(w.cmbbxSTRATA->currentIndex(), w.cmbbxSTRATA->count() - 1);
    EXPECT_EQ(w.cmbbxGxG->currentText(), QStringLiteral("MLW"));
    EXPECT_FALSE(blank());
    ASSERT_TRUE(w.btbttnVERWERP->isEnabled());
    const std::string pair = toskim2(ss(w.cmbbxSTRATA->currentText())) + "-MLW-";
    const auto pairFiles = [&] {
        std::size_t n = 0;
        for (const std::string& name : WorkDir(f.tmp.path()).list("*.out"))
            n += name.rfind(pair, 0) == 0;
        return n;
    };
    const std::size_t pairBefore = pairFiles();
    w.btbttnVERWERP->click();
    EXPECT_EQ(pairFiles(), pairBefore - 1);
}

// Point data whose MxW carry decimal commas: the run says why no regression
// was done and leaves the first tab open; the scatterplots are offered once
// sampled, and the order check was set when the run started.
TEST(TfrmMAIN, NoRegressionKeepsTheFirstTabOpen)
{
    MainFixture f;
    TfrmMAIN& w = *f.window;
    std::string points = test::readFile(f.tmp / "piezometers.csv"), commas;
    std::size_t field = 0;
    for (char c : points) {
        field = c == '\n' ? 0 : field + (c == ';');
        commas += c == '.' && field >= 4 ? ',' : c;
    }
    f.tmp.write("commas.csv", commas);
    f.importPoints("commas.csv");
    f.dialogs.messages.clear();
    w.btbttnFILESOK->click();
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_EQ(f.dialogs.messages[0].toStdString(),
              std::string(kNoRegressionDone) + kNoNumericMxw + "MHW, MSW, MLW. " + kDecimalCommaAdvice);
    EXPECT_FALSE(w.grpbxTAB2->isEnabled());
    EXPECT_FALSE(w.grpbxTAB3->isEnabled());
    EXPECT_TRUE(w.btbttnPUNTDATA->isEnabled());
    EXPECT_FALSE(w.btbttnFILESOK->isEnabled());  // the working point files are used up
    EXPECT_TRUE(w.sttsbrPROGRESS->currentMessage().contains(QStringLiteral("import them again")));
    EXPECT_EQ(w.tbcntrlMAIN->currentIndex(), 0);
    EXPECT_TRUE(w.Bekijkgroepindeling1->isVisible());
    EXPECT_TRUE(w.chckbxVOLGORDEGXG->isChecked());
    EXPECT_TRUE(w.chckbxVOLGORDEGXG->isEnabledTo(w.grpbxTAB3));  // the tab itself is still closed

    // The corrected points give the run its models.
    f.importAndRegress();
    EXPECT_TRUE(w.grpbxTAB3->isEnabled());
}

}  // namespace
}  // namespace tolvar::gui

namespace tolvar::gui {
namespace {

// The grid dialog as the user meets it: each call records what the dialog
// started with and answers the next scripted choice.
struct GridDialogScript {
    struct Shown {
        QString directory;
        int fileType;
        QString proposedName;
        QString esriProposal;
    };
    std::vector<Shown> shown;
    std::deque<GridFileAnswer> answers;

    void install(ScriptedDialogs& dialogs)
    {
        dialogs.gridFileAnswer = [this](const GridFileRequest& request) {
            EXPECT_EQ(request.filters.size(), 4);
            EXPECT_EQ(request.filters[2], QStringLiteral("GeoTIFF and other rasters (*.tif *.tiff *.img)"));
            shown.push_back({request.directory, request.fileType, request.proposedName, request.proposalFor(1)});
            GridFileAnswer a = answers.front();
            answers.pop_front();
            return a;
        };
    }
};

void writeEsriDem(const fs::path& dir)
{
    test::writeEsriGrid(dir, {3, 2, 0, 0, 10, -2147483647.0, [](int r, int c) { return double(r + c); }}, true);
}

TEST(TfrmMAIN, TheChosenFileTypeDecidesHowAGridIsRead)
{
    MainFixture f(false);
    test::writeLocationFile(f.tmp.path(), TOLVAR_TEST_GRIDIO);
    writeEsriDem(f.tmp / "dem");
    test::writeGeoTiff(f.tmp / "soil.tif", {3, 2, 0, 0, 10, -9999, [](int, int) { return 1.0; }}, true);
    GridDialogScript script;
    script.install(f.dialogs);
    const QString dem = QString::fromStdString((f.tmp / "dem" / "hdr.adf").string());
    const QString soil = QString::fromStdString((f.tmp / "soil.tif").string());
    script.answers = {{dem, 1}, {soil, 2}};
    TfrmMAIN& w = *f.window;
    w.slotButtons[1]->click();
    w.btbttnSTRATAGRID->click();
    EXPECT_TRUE(f.dialogs.messages.empty()) << (f.dialogs.messages.empty() ? "" : f.dialogs.messages[0].toStdString());

    ASSERT_EQ(script.shown.size(), 2u);
    EXPECT_EQ(script.shown[0].fileType, 0);
    EXPECT_EQ(script.shown[0].proposedName, QStringLiteral("*.asc"));
    EXPECT_EQ(script.shown[0].esriProposal, QStringLiteral("hdr.adf"));
    // After the ESRI grid: its type again, "hdr.adf", beside the grid.
    EXPECT_EQ(script.shown[1].fileType, 1);
    EXPECT_EQ(script.shown[1].proposedName, QStringLiteral("hdr.adf"));
    EXPECT_EQ(script.shown[1].directory, QString::fromStdString(f.tmp.path().string()));

    const Registry& registry = w.state().registry;
    EXPECT_EQ(registry.HulpVarRecs[1].PFileName, (f.tmp / "dem").string());
    EXPECT_EQ(registry.HulpVarRecs[1].kind, TGridFileType::avgrid);
    EXPECT_EQ(registry.HulpVarRecs[0].PFileName, (f.tmp / "soil.tif").string());
    EXPECT_EQ(registry.HulpVarRecs[0].kind, TGridFileType::avgrid);
    EXPECT_EQ(w.label0->text(), QString::fromStdString(toLowerAscii(displayPath((f.tmp / "soil.tif").string()))));
    EXPECT_TRUE(w.state().gridLibrary.usable());
}

TEST(TfrmMAIN, AnAbandonedAttachRefusesTheGridAndTheProgramGoesOn)
{
    MainFixture f(false);
    writeEsriDem(f.tmp / "dem");
    GridDialogScript script;
    script.install(f.dialogs);
    script.answers = {{QString::fromStdString((f.tmp / "dem" / "hdr.adf").string()), 1}};
    std::vector<QString> attachTitles;
    f.dialogs.openFileAnswer = [&](const QString& title, const QString&, const QString&) {
        attachTitles.push_back(title);
        return QString();
    };
    TfrmMAIN& w = *f.window;
    w.state().gridLibrary.defaultAvgridio = (f.tmp / "libavgridio.so").string();
    w.slotButtons[1]->click();
    ASSERT_EQ(attachTitles.size(), 3u);
    EXPECT_EQ(attachTitles[0], QStringLiteral("1#3: Find and select <libavgridio.so>"));
    ASSERT_GE(f.dialogs.messages.size(), 2u);
    EXPECT_EQ(f.dialogs.messages[f.dialogs.messages.size() - 2], QString::fromLatin1(kAttachAbandoned));
    EXPECT_EQ(f.dialogs.messages.back(), QStringLiteral("Cannot work (yet) with grid coverages from ESRI."));
    EXPECT_EQ(w.state().registry.HulpVarRecs[1].PFileName, "grid aux.variabele1");
    EXPECT_TRUE(w.isVisible());
}

// Faults met by the window's commands: a full disk, a working directory turned
// read-only, a grid truncated after the check, an archive directory that cannot
// be made. Each ends its command with a message that names what failed; no
// input changes and, once the fault is gone, the same command succeeds.
TEST(TfrmMAIN, FaultsEndTheCommandWithAMessageAndTheWindowGoesOn)
{
    enum class At { regression, mapping, again };
    struct Case {
        const char* what;
        At at;
        // Injects the fault; it lasts as long as what is returned.
        std::function<std::shared_ptr<void>(const fs::path& work)> inject;
        std::vector<const char*> named;
        const char* changedOnPurpose;
    };
    const auto fullDisk = [](rlim_t bytes) {
        return [bytes](const fs::path&) -> std::shared_ptr<void> {
            return std::make_shared<test::FileSizeLimit>(bytes);
        };
    };
    const auto readOnly = [](const fs::path& work) -> std::shared_ptr<void> {
        auto fault = std::make_shared<test::ReadOnlyDirectory>(work);
        return fault->holds() ? fault : nullptr;
    };
    const auto truncateGrid = [](const fs::path& work) -> std::shared_ptr<void> {
        fs::resize_file(work / "elevation.asc", fs::file_size(work / "elevation.asc") / 3);
        return std::make_shared<int>(0);
    };
    const Case cases[] = {
        {"a full disk at the regression", At::regression, fullDisk(5000),
         {"Sorted.csv", "writing to the file failed"}, nullptr},
        {"a full disk at the mapping", At::mapping, fullDisk(100000), {".wmf", "cannot write the picture"}, nullptr},
        {"a read-only directory at the mapping", At::mapping, readOnly, {"cannot write"}, nullptr},
        {"a grid truncated after the check", At::mapping, truncateGrid,
         {"elevation.asc", "fewer values than its header declares"}, "elevation.asc"},
        {"an archive directory that cannot be made", At::again, readOnly,
         {"The archive directory session1 could not be made; these files stay where they are:", "MHW_R.asc"},
         nullptr},
    };
    std::vector<std::string> notInjected;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MainFixture f;
        TfrmMAIN& w = *f.window;
        std::map<std::string, std::string> inputs;
        for (const auto& entry : fs::directory_iterator(f.tmp.path()))
            if (entry.is_regular_file() && entry.path().extension() != ".log")
                inputs[entry.path().filename().string()] = test::readFile(entry.path());
        if (c.at == At::regression) {
            f.importPoints();
        } else {
            f.importAndRegress();
            ASSERT_TRUE(w.grpbxTAB2->isEnabled());
        }
        if (c.at == At::again) {
            w.btbttnPredict->click();
            ASSERT_TRUE(fs::exists(f.tmp / "MHW_R.asc"));
        }
        std::shared_ptr<void> fault = c.inject(f.tmp.path());
        if (!fault) {
            notInjected.push_back(c.what);
            continue;
        }
        const std::string whole = c.changedOnPurpose ? inputs.at(c.changedOnPurpose) : std::string();
        f.dialogs.messages.clear();
        QPushButton* command = c.at == At::regression ? w.btbttnFILESOK
                               : c.at == At::mapping  ? w.btbttnPredict
                                                      : w.btbttnOpnieuw;
        command->click();
        fault.reset();

        ASSERT_FALSE(f.dialogs.messages.empty());
        const QString& message = f.dialogs.messages.back();
        for (const char* part : c.named)
            EXPECT_TRUE(message.contains(QString::fromUtf8(part))) << message.toStdString();
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the busy pointer is gone
        for (const auto& [name, content] : inputs) {
            ASSERT_TRUE(fs::exists(f.tmp / name)) << name << " is gone";
            const bool onPurpose = c.changedOnPurpose && name == c.changedOnPurpose;
            EXPECT_TRUE(onPurpose || test::readFile(f.tmp / name) == content) << name << " was changed";
        }
        if (c.changedOnPurpose)
            f.tmp.write(c.changedOnPurpose, whole);

        f.dialogs.messages.clear();
        switch (c.at) {
        case At::regression:
            // Stopped before the sampling: the imported points are still there.
            EXPECT_TRUE(fs::exists(f.tmp / "temp.txt"));
            EXPECT_FALSE(fs::exists(f.tmp / "Sorted.csv"));
            EXPECT_FALSE(w.grpbxTAB2->isEnabled());
            EXPECT_EQ(w.tbcntrlMAIN->currentIndex(), 0);
            ASSERT_TRUE(w.btbttnFILESOK->isEnabled());
            w.btbttnFILESOK->click();

            EXPECT_TRUE(w.grpbxTAB2->isEnabled());
            break;
        case At::mapping:
            w.btbttnPredict->click();
            ASSERT_FALSE(f.dialogs.messages.empty());
            EXPECT_TRUE(f.dialogs.messages.back().startsWith(QStringLiteral("Tolvar is ready.")))
                << f.dialogs.messages.back().toStdString();
            break;
        case At::again:
            // The session stays open with its files, and "Again" ends it once it can.
            EXPECT_EQ(w.grpbxVOORTGANG->title(), QStringLiteral(" Progress session 1 "));
            EXPECT_FALSE(w.btbttnOpnieuw->isHidden());
            EXPECT_TRUE(w.grpbxTAB2->isEnabled());
            EXPECT_TRUE(fs::exists(f.tmp / "MHW_R.asc"));
            w.btbttnOpnieuw->click();
            EXPECT_EQ(w.grpbxVOORTGANG->title(), QStringLiteral(" Progress session 2 "));
            EXPECT_TRUE(fs::exists(f.tmp / "session1" / "MHW_R.asc"));
            break;
        }
    }
    if (!notInjected.empty())
        GTEST_SKIP() << "this process cannot make a directory read-only for itself: " << notInjected.size()
                     << " case(s) not run";
}

}  // namespace
}  // namespace tolvar::gui

namespace tolvar::gui {
namespace {

// The grid dialog itself: it starts with the file type and name it is given,
// and a change of file type proposes that type's name.
TEST(GridDialog, AChangeOfFileTypeProposesItsName)
{
    test::TempDir tmp;
    QString started, proposed, typeShown;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(name, nullptr);
        ASSERT_NE(types, nullptr);
        started = name->text();
        types->setFocus();  // the user is at the file types, not typing a name
        types->setCurrentIndex(1);
        emit types->activated(1);
        emit types->textActivated(types->itemText(1));
        proposed = name->text();
        typeShown = dialog->selectedNameFilter();
        dialog->reject();
    });
    const QStringList filters{QStringLiteral("ASCII (*.asc)"), QStringLiteral("ESRI (*.adf)")};
    QtDialogs system;
    const GridFileAnswer answer =
        system.openGridFile(nullptr, {QStringLiteral("Select a grid file"), QString::fromStdString(tmp.path().string()),
                                      filters, 0, QStringLiteral("*.asc"),
                                      [](int type) { return type == 1 ? QStringLiteral("hdr.adf") : QString(); }});
    EXPECT_TRUE(answer.path.isEmpty());
    EXPECT_EQ(started, QStringLiteral("*.asc"));
    EXPECT_EQ(proposed, QStringLiteral("hdr.adf"));
    EXPECT_EQ(typeShown, filters[1]);
}

// A message box stays on the screen however long its text: a short text is
// shown whole, a long list by its head with the whole under the details.
TEST(MessageBox, ALongListShowsItsHeadAndTheWholeUnderTheDetails)
{
    QStringList files;
    for (int i = 1; i <= 60; ++i)
        files << QStringLiteral("  %1-MHW-g01h01-gew.out").arg(i);
    const QString longText = QStringLiteral("these files stay where they are:\n") + files.join(QLatin1Char('\n'));
    struct Case {
        QString text;
        QString shown;
        QString details;
    };
    const QString head = longText.section(QLatin1Char('\n'), 0, QtDialogs::kMessageLines - 1);
    const Case cases[] = {
        {QStringLiteral("short\ntext"), QStringLiteral("short\ntext"), QString()},
        {longText, head + QStringLiteral("\n  … and 41 more (see the details)"), longText},
    };
    for (const Case& c : cases) {
        QString shown, details;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            shown = box->text();
            details = box->detailedText();
            box->accept();
        });
        QtDialogs().message(nullptr, c.text);
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(details, c.details);
    }
}

}  // namespace
}  // namespace tolvar::gui
