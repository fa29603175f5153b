#include "gui/point_data_editor.h"

#include "common/io_error.h"
#include "gui/help_viewer.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace tolvar::gui {

namespace {
constexpr const char* kCaption = "Point MxW data";
constexpr int kWidth = 980;
constexpr int kHeight = 640;
constexpr const char* kDialogTitle = "File with point MxW data (piezometers, measurements)";
constexpr const char* kDialogFilter =
    "Export from Excel (*.csv);;Textfiles (*.txt);;All files (*.*)";
constexpr const char* kOkStart = "OK, start reading";
constexpr const char* kOkHint =
    "Push this button if the right delimiter is set and (possibly) the above option is selected";
constexpr const char* kAbort = "No input; abort";
constexpr const char* kAbortHint = "No inputfile; press button to start again";
constexpr const char* kTableHint =
    "Table with read point-MxW data; you can edit cell values and there is a popop-menu (r.mouse "
    "button)";
constexpr const char* kSepHint =
    "Select the delimiter-sign in the file. The most frequent occurring delimiter is already set";
constexpr const char* kKolomHint = "Set the right column";
constexpr const char* kMultipleHint =
    "Select this choice if 2 consecutive delimiters should be regarded as 1";
constexpr const char* kMisHint = "Fill in the code for missing data that was was used in the file";
constexpr const char* kApplyHint =
    "Replace the set code for missing data by the word \"missing\" (for further automatic "
    "processing)";
constexpr const char* kApplyFirst = "Apply missing code %1 before reading on?";
constexpr const char* kReadyHint = "Press this button if the file format is completely defined";
constexpr const char* kStrataTip = "no strata? No selection!";

constexpr const char* kRoleNames[kPointRoleCount] = {"cmbbxGHG", "cmbbxSDGHG", "cmbbxGVG",
                                                     "cmbbxSDGVG", "cmbbxGLG", "cmbbxSDGLG",
                                                     "cmbbxINSTRATA", "cmbbxX", "cmbbxY"};
constexpr const char* kRoleLabels[kPointRoleCount] = {
    "columntitle MHW=",   "columntitle sdMHW=", "columntitle MSW=",
    "columntitle sdMSW=", "columntitle MLW=",   "columntitle sdMLW=",
    "columntitle strata =", "columntitle X=",     "columntitle Y="};
constexpr const char* kMenuTexts[7] = {
    "Add record with data 1 piezometer",
    "Delete record under cursor",
    "Add column (extreme right) with 1 observation per piezometer",
    "Delete column under cursor",
    "Replace each comma by decimal dot",
    "Save to file",
    "Multiply data by -1",
};
// The object names keep the old names of the MxW.
constexpr PerMxw<const char*> kSdNames{"GHG", "GVG", "GLG"};
constexpr PerMxw<const char*> kSdTitles{"sdMHW", "sdMSW", "sdMLW"};

// The editor of an open cell passes its keys to the window, which counts them
// as keys of the table.
class CellEditors : public QStyledItemDelegate {
public:
    CellEditors(QObject* keys, QObject* parent) : QStyledItemDelegate(parent), keys_(keys) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (editor) {
            editor->setProperty("cellEditor", true);
            editor->installEventFilter(keys_);
        }
        return editor;
    }

private:
    QObject* keys_;
};
}  // namespace

TfrmBUISDATA::TfrmBUISDATA(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      workDir_(WorkDir::current())
{
    setObjectName(QStringLiteral("TfrmBUISDATA"));
    setWindowTitle(QString::fromLatin1(kCaption));
    resize(kWidth, kHeight);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(8, 8, 8, 0);
    auto* body = new QHBoxLayout;
    root->addLayout(body, 1);

    // Left: the delimiter choice, then the table.
    auto* left = new QVBoxLayout;
    body->addLayout(left, 1);
    // The delimiter choice above the reading options: the window then stays
    // narrow enough for a scaled screen.
    auto* top = new QVBoxLayout;
    left->addLayout(top);
    rdgrpSEP = new QGroupBox(QStringLiteral(" Choose 1 of the found delimiters "), this);
    rdgrpSEP->setObjectName(QStringLiteral("rdgrpSEP"));
    rdgrpSEP->setFixedWidth(240);
    // The caption sits on the frame line, so the whole group keeps to 20 pixels
    // per item plus 16 as the height rule expects.
    rdgrpSEP->setStyleSheet(QStringLiteral(
        "QGroupBox#rdgrpSEP { border: 1px solid palette(mid); border-radius: 2px; margin-top: 7px; }"
        "QGroupBox#rdgrpSEP::title { subcontrol-origin: margin; left: 8px; padding: 0 2px; }"));
    delimiterLayout_ = new QVBoxLayout(rdgrpSEP);
    delimiterLayout_->setContentsMargins(8, 7, 8, 0);
    delimiterLayout_->setSpacing(0);
    top->addWidget(rdgrpSEP, 0, Qt::AlignLeft);
    auto* readColumn = new QVBoxLayout;
    chckbxMultiple = new QCheckBox(QStringLiteral("Treat multiple consecutive delimiters as 1"), this);
    chckbxMultiple->setObjectName(QStringLiteral("chckbxMultiple"));
    btbttnOKLEES = new QPushButton(QString::fromLatin1(kOkStart), this);
    btbttnOKLEES->setObjectName(QStringLiteral("btbttnOKLEES"));
    readColumn->addWidget(chckbxMultiple);
    readColumn->addWidget(btbttnOKLEES, 0, Qt::AlignLeft);
    top->addLayout(readColumn);
    top->addStretch();

    lblstrgrdSTAMBUIS = new QLabel(this);
    lblstrgrdSTAMBUIS->setObjectName(QStringLiteral("lblstrgrdSTAMBUIS"));
    left->addWidget(lblstrgrdSTAMBUIS);
    strgrdSTAMBUIS = new QTableWidget(this);
    strgrdSTAMBUIS->setObjectName(QStringLiteral("strgrdSTAMBUIS"));
    strgrdSTAMBUIS->setContextMenuPolicy(Qt::CustomContextMenu);
    strgrdSTAMBUIS->verticalHeader()->setDefaultSectionSize(20);
    strgrdSTAMBUIS->horizontalHeader()->setSectionsMovable(false);
    strgrdSTAMBUIS->setItemDelegate(new CellEditors(this, strgrdSTAMBUIS));
    left->addWidget(strgrdSTAMBUIS, 1);

    ppmnGRID = new QMenu(this);
    ppmnGRID->setObjectName(QStringLiteral("ppmnGRID"));
    for (int i = 0; i < 7; ++i) {
        QAction* action = ppmnGRID->addAction(QString::fromLatin1(kMenuTexts[i]));
        action->setCheckable(i >= 4);
        menuItems[static_cast<std::size_t>(i)] = action;
        connect(action, &QAction::triggered, this, [this, i] { runMenu(i); });
    }
    connect(strgrdSTAMBUIS, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { ppmnGRID->popup(strgrdSTAMBUIS->viewport()->mapToGlobal(at)); });

    // Right: the column assignment.
    grpbxKOLOM = new QGroupBox(QStringLiteral(" File structure "), this);
    grpbxKOLOM->setObjectName(QStringLiteral("grpbxKOLOM"));
    grpbxKOLOM->setFixedWidth(400);
    auto* right = new QVBoxLayout;
    body->addLayout(right);
    right->addWidget(grpbxKOLOM);
    auto* grid = new QGridLayout(grpbxKOLOM);
    grid->setVerticalSpacing(4);
    auto* variance = new QLabel(QStringLiteral("convert to variance"), grpbxKOLOM);
    grid->addWidget(variance, 0, 2, 1, 2, Qt::AlignCenter);
    for (int role = 0; role < kPointRoleCount; ++role) {
        auto* label = new QLabel(QString::fromLatin1(kRoleLabels[role]), grpbxKOLOM);
        auto* list = new QComboBox(grpbxKOLOM);
        list->setObjectName(QString::fromLatin1(kRoleNames[role]));
        list->setEditable(true);
        list->setInsertPolicy(QComboBox::NoInsert);
        list->setMinimumWidth(120);
        roleLists[static_cast<std::size_t>(role)] = list;
        grid->addWidget(label, role + 1, 0);
        grid->addWidget(list, role + 1, 1);
        connect(list, &QComboBox::editTextChanged, this, [this, role](const QString& text) {
            if (!filling_)
                editor_.roleTexts[static_cast<std::size_t>(role)] = ss(text);
        });
    }
    roleLists[kSTRATA]->setToolTip(QString::fromLatin1(kStrataTip));
    for (Mxw m : kAllMxw) {
        auto* sqrtButton = new QPushButton(QStringLiteral("sqrt"), grpbxKOLOM);
        sqrtButton->setObjectName(QStringLiteral("btbttnSQRT") + QString::fromLatin1(kSdNames[m]));
        auto* squareButton = new QPushButton(QStringLiteral("x\u00b2"), grpbxKOLOM);
        squareButton->setObjectName(QStringLiteral("btbttnSQR") + QString::fromLatin1(kSdNames[m]));
        for (QPushButton* b : {sqrtButton, squareButton})
            b->setFixedWidth(44);
        sqrtButtons[m] = sqrtButton;
        squareButtons[m] = squareButton;
        grid->addWidget(sqrtButton, sdRole(m) + 1, 2);
        grid->addWidget(squareButton, sdRole(m) + 1, 3);
        setHint(sqrtButton, QStringLiteral("Replace data in %1-column by their square root")
                                .arg(QString::fromLatin1(kSdTitles[m])));
        setHint(squareButton, QStringLiteral("Replace data in %1-column by their squared value")
                                  .arg(QString::fromLatin1(kSdTitles[m])));
        connect(sqrtButton, &QPushButton::clicked, this, [this, m] {
            editor_.squareRootSd(m, feedback_);
            showTable();
            showTransformState();
        });
        connect(squareButton, &QPushButton::clicked, this, [this, m] {
            editor_.squareSd(m, feedback_);
            showTable();
            showTransformState();
        });
    }
    auto* misLabel = new QLabel(QStringLiteral("code \"missing data\"="), grpbxKOLOM);
    edtMIS = new QLineEdit(grpbxKOLOM);
    edtMIS->setObjectName(QStringLiteral("edtMIS"));
    btbttnMIS = new QPushButton(QStringLiteral("apply"), grpbxKOLOM);
    btbttnMIS->setObjectName(QStringLiteral("btbttnMIS"));
    grid->addWidget(misLabel, 11, 0);
    grid->addWidget(edtMIS, 11, 1);
    grid->addWidget(btbttnMIS, 11, 2, 1, 2);
    grid->setRowStretch(12, 1);
    // "Ready!" stands below the column assignment, so it is seen (disabled)
    // before the file is read as well.
    btbttnEXITSTAMBUIS = new QPushButton(QStringLiteral("Ready!"), this);
    btbttnEXITSTAMBUIS->setObjectName(QStringLiteral("btbttnEXITSTAMBUIS"));
    btbttnEXITSTAMBUIS->setMinimumHeight(32);
    btbttnEXITSTAMBUIS->setFixedWidth(400);
    right->addStretch();
    right->addWidget(btbttnEXITSTAMBUIS);

    stsbrSTAMBUIS = new QStatusBar(this);
    stsbrSTAMBUIS->setObjectName(QStringLiteral("stsbrSTAMBUIS"));
    stsbrSTAMBUIS->setSizeGripEnabled(false);
    root->addWidget(stsbrSTAMBUIS);

    setHint(strgrdSTAMBUIS, QString::fromLatin1(kTableHint));
    setHint(rdgrpSEP, QString::fromLatin1(kSepHint));
    setHint(grpbxKOLOM, QString::fromLatin1(kKolomHint));
    setHint(chckbxMultiple, QString::fromLatin1(kMultipleHint));
    setHint(edtMIS, QString::fromLatin1(kMisHint));
    setHint(btbttnMIS, QString::fromLatin1(kApplyHint));
    setHint(btbttnEXITSTAMBUIS, QString::fromLatin1(kReadyHint));
    btbttnOKLEES->installEventFilter(this);
    variance->installEventFilter(this);
    variance->setProperty("okHint", true);
    strgrdSTAMBUIS->installEventFilter(this);
    installEventFilter(this);

    connect(btbttnOKLEES, &QPushButton::clicked, this, &TfrmBUISDATA::btbttnOKLEESClick);
    connect(btbttnEXITSTAMBUIS, &QPushButton::clicked, this, &TfrmBUISDATA::btbttnEXITSTAMBUISClick);
    connect(btbttnMIS, &QPushButton::clicked, this, &TfrmBUISDATA::btbttnMISClick);
    connect(strgrdSTAMBUIS, &QTableWidget::cellChanged, this, &TfrmBUISDATA::cellEdited);

    strgrdSTAMBUIS->hide();
    lblstrgrdSTAMBUIS->hide();
    grpbxKOLOM->hide();

    // F1: the help at the point-data topic.
    HelpViewer::installHelpKey(this, 10);
}

void TfrmBUISDATA::setWorkDir(const WorkDir& dir)
{
    workDir_ = dir;
}

void TfrmBUISDATA::setHint(QWidget* widget, const QString& hint)
{
    widget->setProperty("hint", hint);
    widget->installEventFilter(this);
}

bool TfrmBUISDATA::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter) {
        if (watched == this)
            stsbrSTAMBUIS->clearMessage();
        else if (watched == btbttnOKLEES || watched->property("okHint").toBool())
            stsbrSTAMBUIS->showMessage(okHint_);
        else if (watched->property("hint").isValid())
            stsbrSTAMBUIS->showMessage(watched->property("hint").toString());
    }
    if ((watched == strgrdSTAMBUIS || watched->property("cellEditor").toBool()) &&
        event->type() == QEvent::KeyPress) {
        // Every key in the table renews the proposal of the column roles.
        editor_.keyPressed();
        showLists();
        menuItems[4]->setChecked(false);
        menuItems[5]->setChecked(false);
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmBUISDATA::showEvent(QShowEvent* event)
{
    // On a small (or scaled) screen the editor keeps "Ready!" in sight.
    if (screen())
        resize(QSize(kWidth, kHeight).boundedTo(screen()->availableGeometry().size() - QSize(16, 48)));
    QDialog::showEvent(event);
    // FormActivate runs every time the editor is shown.
    if (autoActivate_)
        QTimer::singleShot(0, this, &TfrmBUISDATA::activate);
}

void TfrmBUISDATA::closeEvent(QCloseEvent* event)
{
    // Only "Ready!" and the abort button close the editor.
    event->ignore();
}

void TfrmBUISDATA::reject() {}

void TfrmBUISDATA::activate()
{
    strgrdSTAMBUIS->hide();
    strgrdSTAMBUIS->setEnabled(false);
    lblstrgrdSTAMBUIS->hide();
    fillDelimiterChoice({});
    editor_.open();
    showTransformState();
    edtMIS->setText(qs(editor_.state.missingCode));
    aborted_ = false;
    btbttnEXITSTAMBUIS->show();
    grpbxKOLOM->hide();
    btbttnOKLEES->setText(QString::fromLatin1(kOkStart));
    okHint_ = QString::fromLatin1(kOkHint);
    btbttnEXITSTAMBUIS->setEnabled(false);

    const QString file = Seams::openFile(this, QString::fromLatin1(kDialogTitle),
                                         QString::fromStdString(workDir_.path().string()),
                                         QString::fromLatin1(kDialogFilter));
    if (file.isEmpty()) {
        offerAbortOnly();
        return;
    }
    editor_.sourceFile = ss(file);
    rdgrpSEP->show();
    chckbxMultiple->show();
    btbttnOKLEES->show();
    try {
        fillDelimiterChoice(bepaalsepFile(editor_.sourceFile));
    } catch (const IoError& e) {
        feedback_.message(e.what());
        offerAbortOnly();
    }
}

void TfrmBUISDATA::offerAbortOnly()
{
    // Without a readable file the only way out is "No input; abort".
    aborted_ = true;
    rdgrpSEP->hide();
    chckbxMultiple->hide();
    btbttnEXITSTAMBUIS->hide();
    btbttnOKLEES->show();
    btbttnOKLEES->setText(QString::fromLatin1(kAbort));
    okHint_ = QString::fromLatin1(kAbortHint);
}

void TfrmBUISDATA::fillDelimiterChoice(const DelimiterChoice& choice)
{
    delimiters_ = choice;
    for (QRadioButton* b : delimiterButtons_)
        delete b;
    delimiterButtons_.clear();
    for (std::size_t i = 0; i < choice.candidates.size(); ++i) {
        auto* b = new QRadioButton(qs(delimiterItemText(choice.candidates[i].c)), rdgrpSEP);
        b->setFixedHeight(20);
        b->setChecked(static_cast<int>(i) == choice.preselected);
        connect(b, &QRadioButton::clicked, this,
                [this] { stsbrSTAMBUIS->showMessage(QString::fromLatin1(kSepHint)); });
        delimiterLayout_->addWidget(b);
        delimiterButtons_.push_back(b);
    }
    rdgrpSEP->setFixedHeight(delimiterGroupHeight(static_cast<int>(choice.candidates.size())));
}

void TfrmBUISDATA::btbttnOKLEESClick()
{
    if (aborted_) {
        done(QDialog::Rejected);
        return;
    }
    lblstrgrdSTAMBUIS->setText(qs(readLabelText(editor_.sourceFile)));
    lblstrgrdSTAMBUIS->show();
    rdgrpSEP->hide();
    chckbxMultiple->hide();
    btbttnOKLEES->hide();
    char delimiter = kNoDelimiter;
    for (std::size_t i = 0; i < delimiterButtons_.size(); ++i)
        if (delimiterButtons_[i]->isChecked())
            delimiter = delimiters_.candidates[i].c;
    try {
        feedback_.busy(true);  // a large file takes a while
        editor_.read(editor_.sourceFile, delimiter, chckbxMultiple->isChecked());
        feedback_.busy(false);
    } catch (const IoError& e) {
        feedback_.busy(false);
        feedback_.message(e.what());
        lblstrgrdSTAMBUIS->hide();
        offerAbortOnly();
        return;
    }
    showTable();
    strgrdSTAMBUIS->show();
    strgrdSTAMBUIS->setEnabled(true);
    grpbxKOLOM->show();
    showLists();
    btbttnEXITSTAMBUIS->setEnabled(true);
}

void TfrmBUISDATA::showTable()
{
    filling_ = true;
    const PointDataSet& data = editor_.data;
    strgrdSTAMBUIS->clear();
    strgrdSTAMBUIS->setColumnCount(data.colCount());
    strgrdSTAMBUIS->setRowCount(data.rowCount() - 1);
    QStringList titles;
    for (int c = 0; c < data.colCount(); ++c)
        titles << qs(data.cell(c, 0));
    strgrdSTAMBUIS->setHorizontalHeaderLabels(titles);
    for (int r = 1; r < data.rowCount(); ++r)
        for (int c = 0; c < data.colCount(); ++c)
            strgrdSTAMBUIS->setItem(r - 1, c, new QTableWidgetItem(qs(data.cell(c, r))));
    filling_ = false;
}

void TfrmBUISDATA::showLists()
{
    filling_ = true;
    QStringList items;
    for (const std::string& item : editor_.listItems)
        items << qs(item);
    for (int role = 0; role < kPointRoleCount; ++role) {
        QComboBox* list = roleLists[static_cast<std::size_t>(role)];
        list->clear();
        list->addItems(items);
        list->setEditText(qs(editor_.roleTexts[static_cast<std::size_t>(role)]));
    }
    filling_ = false;
}

void TfrmBUISDATA::showTransformState()
{
    for (Mxw m : kAllMxw) {
        sqrtButtons[m]->setEnabled(editor_.state.sqrtEnabled[m]);
        squareButtons[m]->setEnabled(editor_.state.squareEnabled[m]);
    }
    menuItems[4]->setChecked(editor_.marks.commasReplaced);
    menuItems[5]->setChecked(editor_.marks.saved);
    menuItems[6]->setChecked(editor_.marks.signFlipped);
}

void TfrmBUISDATA::cellEdited(int row, int column)
{
    if (filling_)
        return;
    if (QTableWidgetItem* item = strgrdSTAMBUIS->item(row, column))
        editor_.data.cell(column, row + 1) = ss(item->text());
}

int TfrmBUISDATA::currentRecordRow() const
{
    return strgrdSTAMBUIS->currentRow() + 1;
}

int TfrmBUISDATA::currentColumn() const
{
    return strgrdSTAMBUIS->currentColumn();
}

void TfrmBUISDATA::runMenu(int item)
{
    try {
        switch (item) {
        case 0:
            editor_.addRecord();
            break;
        case 1:
            editor_.deleteRecord(currentRecordRow());
            break;
        case 2:
            editor_.addColumn();
            showLists();
            break;
        case 3:
            editor_.deleteColumn(currentColumn());
            showLists();
            break;
        case 4:
            editor_.replaceCommas();
            break;
        case 5:
            editor_.saveToFile(workDir_, feedback_);
            break;
        case 6:
            editor_.multiplyColumnByMinusOne(currentColumn());
            break;
        default:
            break;
        }
    } catch (const IoError& e) {
        feedback_.message(e.what());
    }
    showTable();
    showTransformState();
}

void TfrmBUISDATA::btbttnMISClick()
{
    editor_.state.missingCode = ss(edtMIS->text());
    editor_.applyMissingCode();
    edtMIS->setText(qs(editor_.state.missingCode));
    showTable();
}

void TfrmBUISDATA::btbttnEXITSTAMBUISClick()
{
    // The log tells from the field whether missing data were marked; a code
    // typed but never applied would enter the regressions as an observation.
    editor_.state.missingCode = ss(edtMIS->text());
    if (editor_.missingCodePending() &&
        Seams::question(this, QString::fromLatin1(kApplyFirst).arg(edtMIS->text())))
        btbttnMISClick();
    for (int role = 0; role < kPointRoleCount; ++role)
        editor_.roleTexts[static_cast<std::size_t>(role)] =
            ss(roleLists[static_cast<std::size_t>(role)]->currentText());
    try {
        columns_ = editor_.ready(workDir_, feedback_);
    } catch (const IoError& e) {
        feedback_.message(e.what());
        return;  // the editor stays open
    }
    showTable();
    done(QDialog::Accepted);
}

}  // namespace tolvar::gui
