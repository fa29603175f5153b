#pragma once

#include "common/feedback.h"

#include <QDialog>
#include <array>

class QGroupBox;
class QPushButton;
class QRadioButton;

namespace tolvar::gui {

// The closure dialog "Closure instructions": which files of the session go
// into its archive. Only "OK" closes it.
class TfrmExit : public QDialog {
    Q_OBJECT
public:
    explicit TfrmExit(QWidget* parent = nullptr);

    void setChoice(ArchiveChoice choice);
    ArchiveChoice choice() const;

    // Shows the dialog modally with `caption` and `preset`; returns the choice.
    static ArchiveChoice ask(QWidget* parent, const QString& caption, ArchiveChoice preset);

    QGroupBox* rdgrpSAVEZIP = nullptr;
    std::array<QRadioButton*, 3> items{};
    QPushButton* btbttnOKSAVE = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override {}
};

}  // namespace tolvar::gui
