#include "gui/multi_scatter_window.h"

#include "presentation/scatter_matrix.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace tolvar::gui {

namespace {
constexpr int kWidth = 578;
constexpr int kHeight = 581;
}  // namespace

TfrmMultiScatter::TfrmMultiScatter(const QImage& image, std::function<void()> save, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      save_(std::move(save))
{
    setObjectName(QStringLiteral("TfrmMultiScatter"));
    setWindowTitle(QStringLiteral("MultiScatter"));
    setModal(true);
    setFixedSize(kWidth, kHeight);
    imgMultiScat = new QLabel(this);
    imgMultiScat->setObjectName(QStringLiteral("imgMultiScat"));
    imgMultiScat->setGeometry((kWidth - kMultiScatWidth) / 2, 6, kMultiScatWidth, kMultiScatHeight);
    imgMultiScat->setPixmap(QPixmap::fromImage(image));
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry((kWidth - 75) / 2, kHeight - 34, 75, 28);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

void TfrmMultiScatter::done(int result)
{
    if (save_)
        save_();
    QDialog::done(result);
}

}  // namespace tolvar::gui
