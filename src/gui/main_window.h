#pragma once

#include <QMainWindow>

namespace tolvar::gui {

// The main window of the program.
class TfrmMAIN : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmMAIN(QWidget* parent = nullptr);
};

}  // namespace tolvar::gui
