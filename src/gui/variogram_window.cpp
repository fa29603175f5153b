#include "gui/variogram_window.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace tolvar::gui {

TfrmVariograms::TfrmVariograms(const std::vector<QImage>& pictures, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TfrmVariograms"));
    setWindowTitle(QStringLiteral("Variograms of the normalized residuals"));
    setModal(true);
    const int count = static_cast<int>(pictures.size());
    const int columns = count > 1 ? 2 : 1, rows = (count + 1) / 2;
    const int pw = pictures.empty() ? 350 : pictures.front().width();
    const int ph = pictures.empty() ? 250 : pictures.front().height();
    const int width = 6 + columns * (pw + 6), height = 6 + rows * (ph + 6) + 40;
    setFixedSize(width, height);
    for (int i = 0; i < count; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("imgVariogram%1").arg(i + 1));
        label->setGeometry(6 + (i % 2) * (pw + 6), 6 + (i / 2) * (ph + 6), pw, ph);
        label->setPixmap(QPixmap::fromImage(pictures[static_cast<std::size_t>(i)]));
        imgVariogram.push_back(label);
    }
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry((width - 75) / 2, height - 34, 75, 28);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace tolvar::gui
