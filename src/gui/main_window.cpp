#include "gui/main_window.h"

#include "app/session.h"
#include "gui/about_box.h"
#include "gui/help_viewer.h"
#include "gui/multi_scatter_window.h"
#include "gui/point_data_editor.h"
#include "presentation/scatter_matrix.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QScrollArea>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>
#include <filesystem>

namespace tolvar::gui {

namespace {
constexpr const char* kCaption = "Tolvar 1.4";
constexpr int kClientWidth = 756;
constexpr int kClientHeight = 511;
constexpr int kTabTop = 26;
constexpr int kTabHeight = 376;
constexpr const char* kTabTexts[3] = {"Define regression environment", "Results of regression",
                                      "Predict GxG"};
constexpr const char* kGaugeStyle =
    "QProgressBar { border: 1px solid #808080; background: white; }"
    "QProgressBar::chunk { background: teal; }";

// The workflow stages above the milestone gauge, each at its milestone.
QPixmap progressPicture()
{
    QPixmap picture(600, 50);
    picture.fill(Qt::white);
    QPainter p(&picture);
    struct Stage {
        Mijlpaal m;
        const char* text;
    };
    const Stage stages[] = {{Mijlpaal::na_start, "prepare"},      {Mijlpaal::na_instellen, "regress"},
                            {Mijlpaal::na_uitvoeren, "results"},  {Mijlpaal::na_rapporteren, "inspect"},
                            {Mijlpaal::na_voorspellen, "maps"},   {Mijlpaal::na_kriging, "residuals"},
                            {Mijlpaal::bij_einde, "close"}};
    QFont font = p.font();
    font.setPointSize(8);
    p.setFont(font);
    p.setPen(QPen(QColor(0, 128, 128), 2));
    p.drawLine(0, 38, 600, 38);
    bool high = false;
    for (const Stage& s : stages) {
        const int x = 6 * milestonePercent(s.m);
        p.setPen(QPen(QColor(0, 128, 128), 2));
        p.drawLine(x - 1, high ? 14 : 28, x - 1, 46);
        p.setPen(Qt::black);
        const QString text = QString::fromLatin1(s.text);
        const int w = p.fontMetrics().horizontalAdvance(text);
        // Close stages alternate between two text lines so none overlap.
        p.drawText(std::clamp(x - w / 2, 0, 600 - w), high ? 11 : 25, text);
        high = !high;
    }
    return picture;
}
}  // namespace

void MainFeedback::message(const std::string& text)
{
    QString shown = qs(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Seams::message(&window_, shown);
}

void MainFeedback::statusText(const std::string& text)
{
    window_.sttsbrPROGRESS->showMessage(qs(text));
    window_.sttsbrPROGRESS->repaint();
}

void MainFeedback::progress(double actueel, double maxi, const Stage& stage)
{
    window_.voortgang(actueel, maxi, qs(stage.label()));
}

void MainFeedback::milestone(Mijlpaal m)
{
    window_.status(m);
}

void MainFeedback::busy(bool on)
{
    DialogFeedback(&window_).busy(on);
}

ArchiveChoice MainFeedback::askArchiveChoice(const std::string& caption, ArchiveChoice preset)
{
    return Seams::archiveChoice(&window_, qs(caption), preset);
}

std::optional<std::string> MainFeedback::chooseFile(const std::string& title, const std::string& proposedName,
                                                   const std::string& filter, const std::string& directory)
{
    // The start directory with the proposed name preselects that file.
    const QString start = qs(directory) + QStringLiteral("/") + qs(proposedName);
    const QString chosen = Seams::openFile(&window_, qs(title), start, qs(filter));
    if (chosen.isEmpty())
        return std::nullopt;
    return ss(chosen);
}

TfrmMAIN::TfrmMAIN(const std::filesystem::path& workDir, QWidget* parent)
    : QMainWindow(parent), feedback_(*this),
      state_(std::make_unique<AppState>(WorkDir(workDir), feedback_)),
      editor_(std::make_unique<TfrmBUISDATA>(this)),
      fitCanvas_(std::make_unique<QtCanvas>(kPlotWidth, kPlotHeight)),
      statusCanvas_(std::make_unique<QtCanvas>(350, 350))
{
    setObjectName(QStringLiteral("TfrmMAIN"));
    setWindowTitle(QString::fromLatin1(kCaption));
    editor_->setWorkDir(state_->workDir);
    state_->bestShown = [this](const BestOutcome& best) { showBest(best); };
    buildFrame();
    buildRegressionTab();
    buildResultsTab();
    buildPredictTab();
    setHelpContexts();
    blankDisplay();
    tbcntrlMAINChange();
    move(1, 1);
}

TfrmMAIN::~TfrmMAIN() = default;

void TfrmMAIN::buildFrame()
{
    // The page holds every control at its place; on a screen too small for
    // the window it scrolls inside it.
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("pageScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(false);
    setCentralWidget(scroll);
    auto* central = new QWidget;
    sttsbrPROGRESS = new QStatusBar(this);
    sttsbrPROGRESS->setObjectName(QStringLiteral("sttsbrPROGRESS"));
    sttsbrPROGRESS->setSizeGripEnabled(false);
    setStatusBar(sttsbrPROGRESS);
    hints_ = new StatusHints(sttsbrPROGRESS);
    hints_->set(sttsbrPROGRESS, QStringLiteral("Indicatie van de functionaliteit \"onder de cursor\""));

    tbcntrlMAIN = new QTabBar(central);
    tbcntrlMAIN->setObjectName(QStringLiteral("tbcntrlMAIN"));
    tbcntrlMAIN->setExpanding(false);
    // Tabs 150 pixels wide, wider where a caption needs it.
    tbcntrlMAIN->setStyleSheet(QStringLiteral("QTabBar::tab { min-width: 150px; }"));
    for (const char* text : kTabTexts)
        tbcntrlMAIN->addTab(QString::fromLatin1(text));
    tbcntrlMAIN->setGeometry(2, 2, 752, 24);
    connect(tbcntrlMAIN, &QTabBar::currentChanged, this, [this] { tbcntrlMAINChange(); });

    const auto tabBox = [&](const char* name) {
        auto* box = new QGroupBox(central);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(2, kTabTop, 752, kTabHeight);
        return box;
    };
    grpbxTAB1 = tabBox("grpbxTAB1");
    grpbxTAB2 = tabBox("grpbxTAB2");
    grpbxTAB3 = tabBox("grpbxTAB3");
    hints_->set(grpbxTAB1, QStringLiteral("Preparation of regression: Attach grid files with auxiliary info "
                                          "and strata info, distribute over groups and attach point-MxW"));
    hints_->set(grpbxTAB2, QStringLiteral("Select a stratum, a MxW (possible a model structure) and push "
                                          "one of the two buttons"));
    hints_->set(grpbxTAB3, QString());

    grpbxVOORTGANG = new QGroupBox(QStringLiteral(" Progress session 1 "), central);
    grpbxVOORTGANG->setObjectName(QStringLiteral("grpbxVOORTGANG"));
    grpbxVOORTGANG->setGeometry(2, kTabTop + kTabHeight + 2, 752, 85);
    hints_->set(grpbxVOORTGANG, QStringLiteral("Voortgang"));
    imgProgress = new QLabel(grpbxVOORTGANG);
    imgProgress->setObjectName(QStringLiteral("imgProgress"));
    imgProgress->setGeometry(8, 16, 600, 50);
    imgProgress->setScaledContents(true);
    imgProgress->setPixmap(progressPicture());
    ggProgress = new QProgressBar(grpbxVOORTGANG);
    ggProgress->setObjectName(QStringLiteral("ggProgress"));
    ggProgress->setGeometry(8, 66, 600, 15);
    ggRegressie = new QProgressBar(grpbxVOORTGANG);
    ggRegressie->setObjectName(QStringLiteral("ggRegressie"));
    ggRegressie->setGeometry(638, 66, 105, 15);
    ggRegressie->hide();
    for (QProgressBar* gauge : {ggProgress, ggRegressie}) {
        gauge->setRange(0, 100);
        gauge->setValue(0);
        gauge->setTextVisible(false);
        gauge->setStyleSheet(QString::fromLatin1(kGaugeStyle));
    }
    lblregressie = new QLabel(QStringLiteral("% regressions"), grpbxVOORTGANG);
    lblregressie->setObjectName(QStringLiteral("lblregressie"));
    // Right of the stage picture, over the run gauge; a long text takes two lines.
    lblregressie->setGeometry(612, 16, 131, 48);
    lblregressie->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    lblregressie->setWordWrap(true);

    QMenuBar* mnmnMENU = menuBar();
    mnmnMENU->setObjectName(QStringLiteral("mnmnMENU"));
    Help1 = mnmnMENU->addAction(QStringLiteral("Help"));
    Over1 = mnmnMENU->addAction(QStringLiteral("About..."));
    Bekijkgroepindeling1 = mnmnMENU->addAction(QStringLiteral("Scatterplots Ancillary Information"));
    Bekijkgroepindeling1->setVisible(false);
    connect(Help1, &QAction::triggered, this, [this] { showHelp(1); });
    // F1 opens the help at the topic of the control that has the focus.
    HelpViewer::installHelpKey(this, 1);
    connect(Over1, &QAction::triggered, this, [this] {
        TfrmAbout about(this);
        about.exec();
    });
    connect(Bekijkgroepindeling1, &QAction::triggered, this, &TfrmMAIN::Bekijkgroepindeling1Click);

    central->setFixedSize(kClientWidth, kClientHeight - sttsbrPROGRESS->sizeHint().height());
    scroll->setWidget(central);
    const int menuHeight = mnmnMENU->sizeHint().height();
    setMaximumSize(kClientWidth, kClientHeight + menuHeight);
    resize(maximumSize());
}

void TfrmMAIN::fitToScreen()
{
    // At (1, 1), frame included, the window stays on the screen; below its
    // full size the page scrolls.
    if (!screen())
        return;
    const QRect available = screen()->availableGeometry();
    const QSize frame = frameGeometry().size() - size();
    const QSize room(available.right() - 1 - frame.width(), available.bottom() - 1 - frame.height());
    resize(maximumSize().boundedTo(room));
}

void TfrmMAIN::Bekijkgroepindeling1Click()
{
    QtCanvas canvas(kMultiScatWidth, kMultiScatHeight);
    bool drawn = false;
    if (!guarded([&] { drawn = showMultiScatter(state_->workDir, canvas, feedback_); }) || !drawn)
        return;
    TfrmMultiScatter window(canvas.image(), [&] { guarded([&] { saveMultiScatter(state_->workDir, canvas); }); },
                            this);
    multiScatter_ = &window;
    window.exec();
    multiScatter_ = nullptr;
}

void TfrmMAIN::setHelpContexts()
{
    const std::pair<QWidget*, int> contexts[] = {
        {grpbxVOORTGANG, 4}, {grpbxTAB1, 8},       {btbttnSTRATAGRID, 9},
        {btbttnPUNTDATA, 10}, {chckbxGHG, 11},   {chckbxGVG, 11},      {chckbxGLG, 11},
        {rdgrpWEIGHT, 11},  {btbttnFILESOK, 13}, {grpbxTAB2, 16},      {btbttnSHOW, 18},
        {btbttnSHOWBEST, 19}, {btbttnVERWERP, 20}, {grpbxTAB3, 22},    {btbttnPredict, 23},
        {chckbxVOLGORDEGXG, 25}, {chckbxRESIDU, 26}};
    for (const auto& [widget, context] : contexts)
        HelpViewer::setContext(widget, context);
    for (int v = 1; v <= kMaxAuxVars; ++v) {
        HelpViewer::setContext(slotButtons[at(v)], 9);
        HelpViewer::setContext(groupChoices[at(v)].box, 9);
    }
}

void TfrmMAIN::showHelp(int context)
{
    HelpViewer::open(this, context);
}

HelpViewer* TfrmMAIN::helpViewer() const
{
    return findChild<HelpViewer*>(QString(), Qt::FindDirectChildrenOnly);
}

void TfrmMAIN::status(Mijlpaal toestand)
{
    const int n = state_->SessionNumber == 0 ? 1 : state_->SessionNumber;
    grpbxVOORTGANG->setTitle(QStringLiteral(" Progress session %1 ").arg(n));
    ggProgress->setValue(milestonePercent(toestand));
    ggProgress->repaint();
}

void TfrmMAIN::voortgang(double actueel, double maxi, const QString& txt)
{
    const int percent = progressPercent(actueel, maxi);
    // Runs report every step; painting only what changed keeps thousands of
    // steps cheap.
    if (percent == ggRegressie->value() && txt == lblregressie->text())
        return;
    ggRegressie->setValue(percent);
    lblregressie->setText(txt);
    refreshPictures();
    // Long runs block the event loop; painting now keeps the progress visible.
    if (isVisible())
        repaint();
}

void TfrmMAIN::refreshPictures()
{
    imgFIT->setPixmap(QPixmap::fromImage(fitCanvas_->image()));
    imgMAPSTATUS->setPixmap(QPixmap::fromImage(statusCanvas_->image()));
}

bool TfrmMAIN::guarded(const std::function<void()>& command)
{
    // Every command shows the busy pointer until it is done.
    if (!QApplication::overrideCursor())
        QApplication::setOverrideCursor(Qt::WaitCursor);
    bool done = false;
    try {
        command();
        done = true;
    } catch (const std::exception& e) {
        // An input/output error (or any other) ends the command, never the program.
        feedback_.busy(false);
        feedback_.message(e.what());
    }
    feedback_.busy(false);
    return done;
}

void TfrmMAIN::tbcntrlMAINChange()
{
    const int tab = tbcntrlMAIN->currentIndex();
    grpbxTAB1->setVisible(tab == 0);
    grpbxTAB2->setVisible(tab == 1);
    grpbxTAB3->setVisible(tab == 2);
    if (tab == 1 && started_) {
        state_->registry.vernieuwstructuur();
        showRegistry();
        vulboxen();
    }
    voortgang(0, 100, QStringLiteral("Idle"));
}

void TfrmMAIN::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!started_)
        QTimer::singleShot(0, this, [this] { FormActivate(); });
}

void TfrmMAIN::FormActivate()
{
    if (started_)
        return;
    started_ = true;
    move(1, 1);
    fitToScreen();
    guarded([&] { startUp(*state_); });
    grpbxTAB2->setEnabled(false);
    grpbxTAB3->setEnabled(false);
    rdgrpGRIDTYPE->setEnabled(false);
    status(Mijlpaal::na_start);
    showRegistry();
    setRegistryEnabled(true);
    btbttnFILESOK->setEnabled(false);
    voortgang(0, 100, QStringLiteral("Idle"));
}

void TfrmMAIN::closeEvent(QCloseEvent* event)
{
    // The close is never refused: the session is archived and the log closed.
    if (started_) {
        guarded([&] { closeProgram(*state_); });
        started_ = false;
    }
    event->accept();
}

}  // namespace tolvar::gui
