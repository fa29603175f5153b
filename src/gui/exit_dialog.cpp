#include "gui/exit_dialog.h"
#include "common/index.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tolvar::gui {

namespace {
constexpr const char* kItems[3] = {"All files (be patient!)",
                                   "Only the \"best\" regressions per MxW and stratum ", "No file"};
}  // namespace

TfrmExit::TfrmExit(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmExit"));
    setWindowTitle(QStringLiteral("Closure instructions"));
    // No border icons: the dialog closes through "OK" only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);
    auto* root = new QVBoxLayout(this);
    rdgrpSAVEZIP = new QGroupBox(QStringLiteral(" What files must be archived in zip-file? "), this);
    rdgrpSAVEZIP->setObjectName(QStringLiteral("rdgrpSAVEZIP"));
    auto* column = new QVBoxLayout(rdgrpSAVEZIP);
    for (int i = 0; i < 3; ++i) {
        items[at(i)] = new QRadioButton(QString::fromLatin1(kItems[i]), rdgrpSAVEZIP);
        column->addWidget(items[at(i)]);
    }
    items[0]->setChecked(true);
    root->addWidget(rdgrpSAVEZIP);
    btbttnOKSAVE = new QPushButton(QStringLiteral("OK"), this);
    btbttnOKSAVE->setObjectName(QStringLiteral("btbttnOKSAVE"));
    root->addWidget(btbttnOKSAVE, 0, Qt::AlignHCenter);
    connect(btbttnOKSAVE, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });
    setFixedSize(sizeHint().expandedTo(QSize(360, 0)));
}

void TfrmExit::setChoice(ArchiveChoice choice)
{
    items[at(static_cast<int>(choice))]->setChecked(true);
}

ArchiveChoice TfrmExit::choice() const
{
    for (int i = 0; i < 3; ++i)
        if (items[at(i)]->isChecked())
            return static_cast<ArchiveChoice>(i);
    return ArchiveChoice::AllFiles;
}

ArchiveChoice TfrmExit::ask(QWidget* parent, const QString& caption, ArchiveChoice preset)
{
    TfrmExit dialog(parent);
    dialog.setWindowTitle(caption);
    dialog.setChoice(preset);
    dialog.exec();
    return dialog.choice();
}

void TfrmExit::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

}  // namespace tolvar::gui
