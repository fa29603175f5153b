#include "gui/gui_support.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QStatusBar>
#include <QWidget>

namespace tolvar::gui {

StatusHints::StatusHints(QStatusBar* bar) : QObject(bar), bar_(bar) {}

void StatusHints::set(QWidget* widget, const QString& hint)
{
    widget->setProperty("statusHint", hint);
    widget->installEventFilter(this);
}

bool StatusHints::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter) {
        const QString hint = watched->property("statusHint").toString();
        if (hint.isEmpty())
            bar_->clearMessage();
        else
            bar_->showMessage(hint);
    }
    return QObject::eventFilter(watched, event);
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

QString messageText(const std::string& text)
{
    QString shown = qs(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

void showBusyPointer(bool on)
{
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
}

}  // namespace tolvar::gui
