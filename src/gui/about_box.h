#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

namespace tolvar::gui {

// "About Tolvar": the program's goals, its makers and acknowledgements.
class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);

    QListWidget* goals = nullptr;
    QListWidget* acknowledgements = nullptr;
    QPushButton* bttnOK = nullptr;
};

}  // namespace tolvar::gui
