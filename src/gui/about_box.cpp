#include "gui/about_box.h"

#include "gui/help_viewer.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace tolvar::gui {

namespace {
constexpr const char* kGoals[] = {
    "Program goals:",
    "1. To determine the relation between \"aux-info\" and \"MxW\"",
    "   at observation locations (modelidentification and -selection);",
    "2. To apply these relations (regression mapping); ",
    "3. To normalize the residuals of the MxW-predictions ",
    "    and save to file (for further processing with kriging).",
    "",
    "Tolvar 1.4",
    "Written by the Tolvar developers.",
};
constexpr const char* kThanks[] = {
    "With thanks to the hydrologists who tested it",
    "and to the makers of Qt and GoogleTest.",
};

// A water table under a field: the box's picture.
QPixmap aboutPicture()
{
    QPixmap picture(96, 140);
    picture.fill(QColor(200, 230, 255));
    QPainter p(&picture);
    p.fillRect(0, 40, 96, 100, QColor(160, 120, 80));
    p.fillRect(0, 85, 96, 55, QColor(60, 110, 180));
    p.setPen(QPen(Qt::darkBlue, 2));
    p.drawLine(0, 85, 96, 85);
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(48, 30, 48, 120);
    p.drawLine(40, 30, 56, 30);
    return picture;
}
}  // namespace

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmAbout"));
    setWindowTitle(QStringLiteral("About Tolvar"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);
    auto* grid = new QGridLayout(this);
    auto* picture = new QLabel(this);
    picture->setPixmap(aboutPicture());
    grid->addWidget(picture, 0, 0, 2, 1, Qt::AlignTop);
    goals = new QListWidget(this);
    for (const char* line : kGoals)
        goals->addItem(QString::fromLatin1(line));
    goals->setFrameShape(QFrame::NoFrame);
    goals->setEnabled(false);
    goals->setFixedSize(400, 160);
    grid->addWidget(goals, 0, 1);
    acknowledgements = new QListWidget(this);
    QFont italic = acknowledgements->font();
    italic.setItalic(true);
    acknowledgements->setFont(italic);
    for (const char* line : kThanks)
        acknowledgements->addItem(QString::fromLatin1(line));
    acknowledgements->setEnabled(false);
    acknowledgements->setFixedSize(400, 44);
    grid->addWidget(acknowledgements, 1, 1);
    // The lists take no clicks, but their lines read as ordinary text.
    for (QListWidget* list : {goals, acknowledgements}) {
        QPalette palette = list->palette();
        for (QPalette::ColorRole role : {QPalette::Text, QPalette::Base, QPalette::Window})
            palette.setColor(QPalette::Disabled, role, palette.color(QPalette::Active, role));
        list->setPalette(palette);
    }
    bttnOK = new QPushButton(QStringLiteral("OK"), this);
    bttnOK->setObjectName(QStringLiteral("bttnOK"));
    grid->addWidget(bttnOK, 2, 0, 1, 2, Qt::AlignHCenter);
    connect(bttnOK, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(sizeHint());
    HelpViewer::installHelpKey(this, 29);
}

}  // namespace tolvar::gui
