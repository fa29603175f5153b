#include "gui/help_viewer.h"

#include <QApplication>
#include <QShortcut>
#include <QTextBrowser>
#include <algorithm>
#include <iterator>
#include <QVBoxLayout>
#include <QVariant>

namespace tolvar::gui {

namespace {
// The help contexts that have a topic below.
constexpr int kTopics[] = {1, 4, 8, 9, 10, 11, 13, 16, 18, 19, 20, 22, 23, 25, 26, 29};

constexpr const char* kHelpHtml = R"(
<h2><a name="c1"></a>Tolvar</h2>
<p>Tolvar maps the mean highest, spring and lowest water table (MHW, MSW, MLW) from
observations at piezometers and a set of grids. Work happens in the directory the
program was started in; every session is archived there as <i>session1</i>,
<i>session2</i>, ... when it ends.</p>
<ul><li><a href="#c8">Define regression environment</a></li>
<li><a href="#c16">Results of regression</a></li>
<li><a href="#c22">Predict GxG</a></li>
<li><a href="#c4">Progress</a></li></ul>

<h3><a name="c4"></a>Progress</h3>
<p>The picture shows the stages of a session; the gauge below it the stage reached,
the gauge at the right the progress of a running command.</p>

<h3><a name="c8"></a>Define regression environment</h3>
<p>Attach the grids, put the auxiliary variables in groups, import the point data and
start the regression. A file <i>wendbat.txt</i> in the working directory attaches the
grids and groups at start-up.</p>
<h4><a name="c9"></a>Grids and groups</h4>
<p>"import strata" chooses the strata grid, each "..." the grid of one auxiliary
variable (ASCII grids, *.asc). The buttons add and remove variables and groups; the
round buttons put a variable in a group. A model takes at most one variable of each
group.</p>
<h4><a name="c10"></a>Point data</h4>
<p>"import" reads a delimited text file with a title row: choose the delimiter, check
the table (the right mouse button offers the edits), assign the columns and press
"Ready!". A missing-data code turns such values into "missing".</p>
<h4><a name="c11"></a>MxW and weighting</h4>
<p>Tick the MxW to regress. Weighted regression is offered when every ticked MxW has
its standard-deviation column.</p>
<h4><a name="c13"></a>Start regression</h4>
<p>Checks the grids, samples them at the points and fits a regression for every model
structure in every stratum; the best model per stratum is chosen by Mallows' Cp.</p>

<h3><a name="c16"></a>Results of regression</h3>
<p>Choose a stratum and an MxW, and tick a model structure (one variable per group).</p>
<h4><a name="c18"></a>Show 1 result</h4><p>Shows the chosen structure's result as table and scatterplot.</p>
<h4><a name="c19"></a>Show the best result</h4><p>Shows the best model of the stratum and MxW.</p>
<h4><a name="c20"></a>Reject the best result</h4>
<p>Deletes the model just shown as best, for instance when its coefficients are not
plausible; the next best one takes its place.</p>

<h3><a name="c22"></a>Predict GxG</h3>
<p>Check the names of the output maps and the options.</p>
<h4><a name="c23"></a>Settings OK; start mapping</h4>
<p>Writes for every MxW a map and a map of its standard deviation, cell by cell over the
strata grid.</p>
<h4><a name="c25"></a>Logical order</h4>
<p>Where the predicted MHW, MSW and MLW are not in this order, they are moved within
their bandwidths.</p>
<h4><a name="c26"></a>Normalized residuals</h4>
<p>The difference between observed and predicted MxW at every point, divided by the
residual standard error of its stratum, written to "Session N normres.csv".</p>

<h3><a name="c29"></a>About</h3>
<p>Tolvar 1.4.</p>
)";
}  // namespace

HelpViewer::HelpViewer(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Tolvar Help"));
    auto* layout = new QVBoxLayout(this);
    browser = new QTextBrowser(this);
    browser->setHtml(QString::fromUtf8(kHelpHtml));
    layout->addWidget(browser);
    resize(520, 420);
}

void HelpViewer::showTopic(int context)
{
    const bool known = std::find(std::begin(kTopics), std::end(kTopics), context) != std::end(kTopics);
    browser->scrollToAnchor(QStringLiteral("c%1").arg(known ? context : 1));
}

int HelpViewer::contextOf(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QVariant context = w->property("helpContext");
        if (context.isValid())
            return context.toInt();
    }
    return 1;
}

void HelpViewer::setContext(QWidget* widget, int context)
{
    widget->setProperty("helpContext", context);
}

HelpViewer* HelpViewer::open(QWidget* window, int context)
{
    auto* viewer = window->findChild<HelpViewer*>(QString(), Qt::FindDirectChildrenOnly);
    if (!viewer)
        viewer = new HelpViewer(window);
    viewer->showTopic(context);
    viewer->show();
    viewer->raise();
    return viewer;
}

void HelpViewer::installHelpKey(QWidget* window, int context)
{
    setContext(window, context);
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), window);
    QObject::connect(f1, &QShortcut::activated, window, [window] {
        const QWidget* focus = QApplication::focusWidget();
        open(window, contextOf(focus && window->isAncestorOf(focus) ? focus : window));
    });
}

}  // namespace tolvar::gui
