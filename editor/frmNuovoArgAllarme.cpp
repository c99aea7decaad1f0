// The alarm panel of the editor: open and close it, read and fill it, the
// button's indicator, and showing a fired alarm moved on.

#include "frmNuovoArg.h"

#include "Pictures.h"
#include "Session.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QTextEdit>
#include <QToolButton>

namespace {

// The button's two faces: the picture for an active alarm, a grey copy of
// it for none.
QIcon greyed(const QIcon &icon)
{
    QIcon out;
    for (const QSize &size : icon.availableSizes()) {
        QImage image = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int g = qGray(line[x]);
                line[x] = qRgba(g, g, g, qAlpha(line[x]) / 2);
            }
        }
        out.addPixmap(QPixmap::fromImage(image));
    }
    return out;
}

} // namespace

void frmNuovoArg::cmdTimer_Click()
{
    if (!frmAllarme->isHidden()) {
        ReadAlarmPanel();
        frmAllarme->hide();
        rtfContenuto->show();
    } else {
        FillAlarmPanel();
        frmAllarme->show();
        frmAllarme->raise();
        rtfContenuto->hide();
    }
}

void frmNuovoArg::FillAlarmPanel()
{
    if (AlarmType == 0)
        AlarmDateTime = store::WallTime::of(m_session.clock().now());
    Calendar1->setSelectedDate(AlarmDateTime.date);
    cmbOre->setCurrentIndex(AlarmDateTime.time.hour());
    cmbMinuti->setCurrentIndex(AlarmDateTime.time.minute());
    cmbTipoAllarme->setCurrentIndex(qBound(0, AlarmType, 5));
}

void frmNuovoArg::ReadAlarmPanel()
{
    // Taken as the clock reads, not as a moment: 02:30 on the spring night
    // is kept as set.
    AlarmDateTime = PanelAlarmTime();
    AlarmType = cmbTipoAllarme->currentIndex();
    ShowAlarmIndicator();
}

store::WallTime frmNuovoArg::PanelAlarmTime() const
{
    return {Calendar1->selectedDate(), QTime(cmbOre->currentIndex(), cmbMinuti->currentIndex(), 0)};
}

void frmNuovoArg::ShowAlarmIndicator()
{
    static const QIcon red = picture(QStringLiteral("timer"));
    static const QIcon grey = greyed(red);
    cmdTimer->setIcon(AlarmType != 0 ? red : grey);
    cmdTimer->setProperty("alarmActive", AlarmType != 0);
}

void frmNuovoArg::AlarmMovedOn(int type, const store::WallTime &time)
{
    AlarmType = type;
    AlarmDateTime = time;
    if (!frmAllarme->isHidden())
        FillAlarmPanel();
    ShowAlarmIndicator();
}
