#pragma once

#include "common/work_dir.h"
#include "gui/gui_seams.h"
#include "pointdata/point_editor.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTableWidget;
class QVBoxLayout;

namespace tolvar::gui {

// The point-data editor "Point MxW data": reads a delimited file into the
// table, lets the user edit it and assign the column roles, and writes the
// working point files on "Ready!". The window only shows the core editor.
class TfrmBUISDATA : public QDialog {
    Q_OBJECT
public:
    explicit TfrmBUISDATA(QWidget* parent = nullptr);

    // The working directory: where the open dialog starts and the files go.
    void setWorkDir(const WorkDir& dir);
    // FormActivate: reset and ask for the file (runs when the window is shown).
    void activate();

    bool aborted() const { return aborted_; }
    // Whether showing the window runs activate() by itself (tests call it).
    void setAutoActivate(bool on) { autoActivate_ = on; }
    PointEditor& editor() { return editor_; }
    const PointColumns& columns() const { return columns_; }

    // The controls, by their names.
    QGroupBox* rdgrpSEP = nullptr;
    QCheckBox* chckbxMultiple = nullptr;
    QPushButton* btbttnOKLEES = nullptr;
    QLabel* lblstrgrdSTAMBUIS = nullptr;
    QTableWidget* strgrdSTAMBUIS = nullptr;
    QMenu* ppmnGRID = nullptr;
    QGroupBox* grpbxKOLOM = nullptr;
    std::array<QComboBox*, kPointRoleCount> roleLists{};  // cmbbxGHG ... cmbbxY
    PerMxw<QPushButton*> sqrtButtons{};             // btbttnSQRTGHG, GVG, GLG
    PerMxw<QPushButton*> squareButtons{};           // btbttnSQRGHG, GVG, GLG
    QLineEdit* edtMIS = nullptr;
    QPushButton* btbttnMIS = nullptr;
    QPushButton* btbttnEXITSTAMBUIS = nullptr;
    QStatusBar* stsbrSTAMBUIS = nullptr;

    // The popup-menu items in order.
    std::array<QAction*, 7> menuItems{};

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void btbttnOKLEESClick();
    void btbttnMISClick();
    void btbttnEXITSTAMBUISClick();
    void offerAbortOnly();
    void fillDelimiterChoice(const DelimiterChoice& choice);
    void showTable();
    void showLists();
    void showTransformState();
    void cellEdited(int row, int column);
    void setHint(QWidget* widget, const QString& hint);
    int currentRecordRow() const;
    int currentColumn() const;
    void runMenu(int item);

    PointEditor editor_;
    DialogFeedback feedback_{this};
    WorkDir workDir_;
    DelimiterChoice delimiters_;
    std::vector<QRadioButton*> delimiterButtons_;
    QVBoxLayout* delimiterLayout_ = nullptr;
    QString okHint_;
    bool aborted_ = false;
    bool filling_ = false;
    bool autoActivate_ = true;
    PointColumns columns_;
};

}  // namespace tolvar::gui
