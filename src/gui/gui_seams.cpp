#include "gui/gui_seams.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QMessageBox>

namespace tolvar::gui {

namespace {
QString defaultOpenFile(QWidget* parent, const QString& title, const QString& directory,
                        const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, title, directory, filter);
}

void defaultMessage(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Tolvar"), text, QMessageBox::Ok, parent);
    box.exec();
}
}  // namespace

std::function<QString(QWidget*, const QString&, const QString&, const QString&)> Seams::openFile =
    defaultOpenFile;
std::function<void(QWidget*, const QString&)> Seams::message = defaultMessage;

void Seams::restoreDefaults()
{
    openFile = defaultOpenFile;
    message = defaultMessage;
}

QString qs(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ss(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void DialogFeedback::message(const std::string& text)
{
    QString shown = qs(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Seams::message(parent_, shown);
}

void DialogFeedback::busy(bool on)
{
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
}

}  // namespace tolvar::gui
