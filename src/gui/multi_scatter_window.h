#pragma once

#include <QDialog>

class QImage;
class QLabel;

namespace tolvar::gui {

// "Scatterplots Ancillary Information": the scatterplot matrix as drawn.
class TfrmMultiScatter : public QDialog {
    Q_OBJECT
public:
    explicit TfrmMultiScatter(const QImage& picture, QWidget* parent = nullptr);
    QLabel* picture = nullptr;
};

}  // namespace tolvar::gui
