#pragma once

#include <QDialog>
#include <functional>

class QImage;
class QLabel;
class QPushButton;

namespace tolvar::gui {

// "MultiScatter": the scatterplot matrix as drawn, saved by `save` whenever
// the window closes ("OK" included).
class TfrmMultiScatter : public QDialog {
    Q_OBJECT
public:
    TfrmMultiScatter(const QImage& picture, std::function<void()> save, QWidget* parent = nullptr);
    void done(int result) override;

    QLabel* imgMultiScat = nullptr;
    QPushButton* Button1 = nullptr;

private:
    std::function<void()> save_;
};

}  // namespace tolvar::gui
