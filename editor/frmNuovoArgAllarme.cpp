// The alarm panel of the editor: open and close it, read and fill it, the
// button's indicator, and advancing a fired alarm.

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
        AlarmDateTime = m_session.clock().now();
    Calendar1->setSelectedDate(AlarmDateTime.date());
    cmbOre->setCurrentIndex(AlarmDateTime.time().hour());
    cmbMinuti->setCurrentIndex(AlarmDateTime.time().minute());
    cmbTipoAllarme->setCurrentIndex(qBound(0, AlarmType, 5));
}

void frmNuovoArg::ReadAlarmPanel()
{
    AlarmDateTime = QDateTime(Calendar1->selectedDate(), QTime(cmbOre->currentIndex(), cmbMinuti->currentIndex(), 0));
    AlarmType = cmbTipoAllarme->currentIndex();
    ShowAlarmIndicator();
}

void frmNuovoArg::ShowAlarmIndicator()
{
    static const QIcon red = picture(QStringLiteral("timer"));
    static const QIcon grey = greyed(red);
    cmdTimer->setIcon(AlarmType != 0 ? red : grey);
    cmdTimer->setProperty("alarmActive", AlarmType != 0);
}

bool frmNuovoArg::AggiornaTimer()
{
    switch (AlarmType) {
    case 1:
        AlarmType = 0;
        break;
    case 2:
        AlarmDateTime = AlarmDateTime.addDays(1);
        break;
    case 3:
        AlarmDateTime = AlarmDateTime.addDays(7);
        break;
    case 4:
        // A shorter month takes its last day (31 January -> 28/29 February).
        AlarmDateTime = AlarmDateTime.addMonths(1);
        break;
    case 5:
        AlarmDateTime = AlarmDateTime.addYears(1);
        break;
    default:
        break;
    }
    // Only the two alarm fields are written, whatever else is unsaved.
    store::TableRecordset &rs = *m_session.store.rsArgomenti;
    rs.setIndex(QStringLiteral("PrimaryKey"));
    rs.seek(idArgomento);
    bool ok = rs.edit() && rs.setField(QStringLiteral("DataOraAllarme"), AlarmDateTime)
        && rs.setField(QStringLiteral("TipoAllarme"), AlarmType) && rs.update();
    if (!ok)
        rs.cancelUpdate();
    else
        rs.setBookmark(rs.lastModified());
    ShowAlarmIndicator();
    return ok;
}
