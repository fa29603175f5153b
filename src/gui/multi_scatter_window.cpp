#include "gui/multi_scatter_window.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace tolvar::gui {

TfrmMultiScatter::TfrmMultiScatter(const QImage& image, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmMultiScatter"));
    setWindowTitle(QStringLiteral("Scatterplots Ancillary Information"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    picture = new QLabel(this);
    picture->setPixmap(QPixmap::fromImage(image));
    layout->addWidget(picture);
    setFixedSize(sizeHint());
}

}  // namespace tolvar::gui
