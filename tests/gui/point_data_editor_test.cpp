#include "gui/point_data_editor.h"
#include "support/temp_dir.h"
#include "scripted_dialogs.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

namespace tolvar::gui {
namespace {

struct EditorFixture {
    test::TempDir tmp;
    ScriptedDialogs dialogs;
    TfrmBUISDATA window{dialogs, WorkDir(tmp.path())};
    QString chosen;
    QString dialogTitle, dialogDir, dialogFilter;

    EditorFixture()
    {
        dialogs.openFileAnswer = [this](const QString& title, const QString& dir, const QString& filter) {
            dialogTitle = title;
            dialogDir = dir;
            dialogFilter = filter;
            return chosen;
        };
        window.setAutoActivate(false);
    }

    QTableWidget* table() { return window.strgrdSTAMBUIS; }

    // Shows the window with the open dialog answering a copy of `fixture`
    // (no file at all when empty).
    void open(const char* fixture)
    {
        if (*fixture) {
            const auto file = tmp / "points.csv";
            std::filesystem::copy_file(test::dataFile(fixture), file);
            chosen = QString::fromStdString(file.string());
        }
        window.show();
        window.activate();
    }
};

TEST(TfrmBUISDATA, ReadEditAndAcceptWritesTheWorkingFiles)
{
    EditorFixture f;
    f.open("points_semicolon.csv");
    EXPECT_EQ(f.window.windowTitle(), QStringLiteral("Point MxW data"));
    EXPECT_EQ(f.dialogTitle, QStringLiteral("File with point MxW data (piezometers, measurements)"));
    EXPECT_EQ(f.dialogDir, QString::fromStdString(f.tmp.path().string()));
    EXPECT_TRUE(f.dialogFilter.startsWith(QStringLiteral("Export from Excel (*.csv)")));
    EXPECT_TRUE(f.window.btbttnEXITSTAMBUIS->isVisible());  // seen, disabled, before the file is read
    EXPECT_FALSE(f.window.btbttnEXITSTAMBUIS->isEnabled());

    // The delimiter choice: only ";" in this title row, preselected; 20 x 1 + 16 high.
    const auto radios = f.window.rdgrpSEP->findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), 1);
    EXPECT_EQ(radios[0]->text(), QStringLiteral(";"));
    EXPECT_TRUE(radios[0]->isChecked());
    EXPECT_EQ(f.window.rdgrpSEP->height(), 36);
    EXPECT_EQ(f.window.btbttnOKLEES->text(), QStringLiteral("OK, start reading"));

    QTest::mouseClick(f.window.btbttnOKLEES, Qt::LeftButton);
    ASSERT_TRUE(f.table()->isVisible());
    EXPECT_EQ(f.table()->columnCount(), 7);
    EXPECT_EQ(f.table()->rowCount(), 3);
    EXPECT_EQ(f.table()->horizontalHeaderItem(3)->text(), QStringLiteral("MHW"));
    EXPECT_TRUE(f.window.lblstrgrdSTAMBUIS->text().startsWith(QStringLiteral("Read piezometer data from ")));
    EXPECT_EQ(f.window.roleLists[kMHW]->currentText(), QStringLiteral("MHW"));
    EXPECT_EQ(f.window.roleLists[kSDMHW]->currentText(), QStringLiteral("sdMHW"));
    EXPECT_EQ(f.window.roleLists[kSTRATA]->currentText(), QStringLiteral("Gebied"));
    EXPECT_EQ(f.window.roleLists[kSTRATA]->toolTip(), QStringLiteral("no strata? No selection!"));
    EXPECT_TRUE(f.window.btbttnEXITSTAMBUIS->isEnabled());

    // Edit a cell the way a user does.
    f.table()->setItem(2, 3, new QTableWidgetItem(QStringLiteral("52.5")));
    EXPECT_EQ(f.window.editor().data.cell(3, 3), "52.5");

    // Add and delete a record and a column through the popup menu.
    ASSERT_EQ(f.window.menuItems.size(), 7u);
    EXPECT_EQ(f.window.menuItems[0]->text(), QStringLiteral("Add record with data 1 piezometer"));
    f.window.menuItems[0]->trigger();
    EXPECT_EQ(f.table()->rowCount(), 4);
    EXPECT_EQ(f.table()->item(0, 0)->text(), QStringLiteral("ExtraPiezometer"));
    f.table()->setCurrentCell(0, 0);
    f.window.menuItems[1]->trigger();
    EXPECT_EQ(f.table()->rowCount(), 3);
    f.window.menuItems[2]->trigger();
    EXPECT_EQ(f.table()->horizontalHeaderItem(7)->text(), QStringLiteral("data1"));
    f.table()->setCurrentCell(0, 7);
    f.window.menuItems[3]->trigger();
    EXPECT_EQ(f.table()->columnCount(), 7);

    // The missing-data code.
    EXPECT_EQ(f.window.edtMIS->text(), QStringLiteral("-9999"));
    QTest::mouseClick(f.window.btbttnMIS, Qt::LeftButton);
    EXPECT_EQ(f.table()->item(1, 3)->text(), QStringLiteral("missing"));
    EXPECT_EQ(f.window.edtMIS->text(), QString());

    QTest::mouseClick(f.window.btbttnEXITSTAMBUIS, Qt::LeftButton);
    EXPECT_TRUE(f.dialogs.questions.empty());  // the code was applied
    EXPECT_EQ(f.window.result(), QDialog::Accepted);
    EXPECT_FALSE(f.window.aborted());
    EXPECT_EQ(test::readFile(f.tmp / "temp.txt"),
              "3 MHW\r\n4 sdMHW\r\n5 MSW\r\n-1 no SDMSW found\r\n-1 no MLW found\r\n"
              "-1 no SDMLW found\r\n6 Gebied\r\n1 XCOORD\r\n2 YCOORD\r\n");
    EXPECT_EQ(test::readFile(f.tmp / "temp.csv"),
              "Piezometer;XCOORD;YCOORD;MHW;sdMHW;MSW;Gebied;\r\n"
              "P1;155030;463990;40;2;60;1;\r\n"
              "P2;155100;463800;missing;missing;70;2;\r\n"
              "P3;155200;463700;52.5;3;80;1;\r\n");
    EXPECT_EQ(f.window.columns()[kSTRATA], 6);
}

// A cancelled dialog, or a file that cannot be read, leaves only the way out.
TEST(TfrmBUISDATA, WithoutAReadableFileOnlyTheAbortButtonIsOffered)
{
    for (const bool vanished : {false, true}) {
        EditorFixture f;
        if (vanished)
            f.chosen = QString::fromStdString((f.tmp / "gone.csv").string());
        f.open("");
        EXPECT_EQ(f.dialogs.messages.size(), vanished ? 1u : 0u);
        EXPECT_TRUE(f.window.aborted());
        EXPECT_EQ(f.window.btbttnOKLEES->text(), QStringLiteral("No input; abort"));
        EXPECT_FALSE(f.window.rdgrpSEP->isVisible());
        EXPECT_FALSE(f.window.btbttnEXITSTAMBUIS->isVisible());
        f.window.close();  // the border icons do not close it
        EXPECT_TRUE(f.window.isVisible());
        QTest::mouseClick(f.window.btbttnOKLEES, Qt::LeftButton);
        EXPECT_FALSE(f.window.isVisible());
        EXPECT_EQ(f.window.result(), QDialog::Rejected);
        EXPECT_FALSE(std::filesystem::exists(f.tmp / "temp.txt"));
    }
}

TEST(TfrmBUISDATA, HintsAndTransformButtons)
{
    EditorFixture f;
    f.open("points_semicolon.csv");
    QTest::mouseClick(f.window.btbttnOKLEES, Qt::LeftButton);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(f.window.btbttnEXITSTAMBUIS, &enter);
    EXPECT_EQ(f.window.stsbrSTAMBUIS->currentMessage(),
              QStringLiteral("Press this button if the file format is completely defined"));
    QApplication::sendEvent(f.window.sqrtButtons[1], &enter);
    EXPECT_EQ(f.window.stsbrSTAMBUIS->currentMessage(),
              QStringLiteral("Replace data in sdMSW-column by their square root"));

    QTest::mouseClick(f.window.squareButtons[0], Qt::LeftButton);
    EXPECT_FALSE(f.window.squareButtons[0]->isEnabled());
    EXPECT_TRUE(f.window.sqrtButtons[0]->isEnabled());
    EXPECT_EQ(f.table()->item(0, 4)->text(), QStringLiteral("   4.000"));
    EXPECT_EQ(f.dialogs.messages.size(), 0u);
}

// "Ready!" with a code that was typed but not applied asks first: Yes marks
// the cells "missing", No reads on with the code as data. Either way the log's
// record of marked data follows the field.
TEST(TfrmBUISDATA, ReadyAsksToApplyATypedMissingCode)
{
    struct Case {
        const char* name;
        QString code;
        bool answer;
        std::size_t questions;
        const char* mhwOfP2;
        bool fieldEmpty;
    };
    const Case cases[] = {
        {"yes applies", QStringLiteral("-9999"), true, 1, "missing", true},
        {"no reads on", QStringLiteral("-9999"), false, 1, "-9999", false},
        {"code not in the table", QStringLiteral("-999"), true, 0, "-9999", false},
        {"field emptied by hand", QString(), true, 0, "-9999", true},
    };
    for (const Case& c : cases) {
        EditorFixture f;
        f.dialogs.answer = c.answer;
        f.open("points_semicolon.csv");
        QTest::mouseClick(f.window.btbttnOKLEES, Qt::LeftButton);
        f.window.edtMIS->setText(c.code);
        QTest::mouseClick(f.window.btbttnEXITSTAMBUIS, Qt::LeftButton);
        ASSERT_EQ(f.dialogs.questions.size(), c.questions) << c.name;
        if (c.questions) {
            EXPECT_EQ(f.dialogs.questions[0], QStringLiteral("Apply missing code -9999 before reading on?"));
        }
        EXPECT_EQ(f.window.editor().data.cell(3, 2), c.mhwOfP2) << c.name;
        EXPECT_EQ(f.window.editor().state.missingCode.empty(), c.fieldEmpty) << c.name;
        EXPECT_EQ(f.window.result(), QDialog::Accepted) << c.name;
    }
}

// A key typed into an open cell is a key of the table: the check marks go and
// the column roles are proposed anew.
TEST(TfrmBUISDATA, KeysInAnOpenCellRenewTheProposal)
{
    EditorFixture f;
    f.open("points_semicolon.csv");
    QTest::mouseClick(f.window.btbttnOKLEES, Qt::LeftButton);
    f.window.menuItems[4]->trigger();  // replace commas: checked
    ASSERT_TRUE(f.window.menuItems[4]->isChecked());
    f.window.roleLists[kMHW]->setEditText(QStringLiteral("MSW"));
    f.table()->setCurrentCell(0, 1);
    f.table()->editItem(f.table()->item(0, 1));
    auto* cell = f.table()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(cell, nullptr);
    QTest::keyClick(cell, Qt::Key_7);
    EXPECT_FALSE(f.window.menuItems[4]->isChecked());
    EXPECT_EQ(f.window.roleLists[kMHW]->currentText(), QStringLiteral("MHW"));
}

}  // namespace
}  // namespace tolvar::gui
