#include "gui/main_window.h"

namespace tolvar::gui {

namespace {
constexpr const char* kCaption = "Tolvar 1.4";
constexpr int kClientWidth = 756;
constexpr int kClientHeight = 511;
}  // namespace

TfrmMAIN::TfrmMAIN(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("TfrmMAIN"));
    setWindowTitle(QString::fromLatin1(kCaption));
    resize(kClientWidth, kClientHeight);
    move(1, 1);
}

}  // namespace tolvar::gui
