#pragma once

#include <QDialog>
#include <vector>

class QImage;
class QLabel;
class QPushButton;

namespace tolvar::gui {

// "Variograms": the variogram pictures of a kriging run, two to a row.
class TfrmVariograms : public QDialog {
    Q_OBJECT
public:
    TfrmVariograms(const std::vector<QImage>& pictures, QWidget* parent = nullptr);

    std::vector<QLabel*> imgVariogram;
    QPushButton* Button1 = nullptr;
};

}  // namespace tolvar::gui
