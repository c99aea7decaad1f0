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

// n periods on from a time of a recurring alarm, keeping the time of day; a
// shorter month takes its last day (31 January -> 28/29 February). Counted
// from the same first time, the times caught up at once keep its day of the
// month (31 January, 28 February, 31 March), not the day of a short month
// passed on the way. Invalid past the year 9999.
store::WallTime nthAlarmTime(const store::WallTime &from, int type, int n)
{
    switch (type) {
    case 2:
        return {from.date.addDays(n), from.time};
    case 3:
        return {from.date.addDays(7 * qint64(n)), from.time};
    case 4:
        return {from.date.addMonths(n), from.time};
    case 5:
        return {from.date.addYears(n), from.time};
    default:
        return from;
    }
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

frmNuovoArg::AlarmAdvance frmNuovoArg::AggiornaTimer()
{
    AlarmAdvance result;
    result.firstDue = AlarmDateTime;
    if (AlarmType == 1) {
        AlarmType = 0;
        result.due = 1;
    } else if (AlarmType >= 2 && AlarmType <= 5) {
        const QDateTime now = m_session.clock().now();
        const QDate surelyPast = now.date().addDays(-2);
        // Every time that came while nobody was there is caught up in this
        // one firing, so that the next one stored lies ahead.
        for (result.due = 1;; ++result.due) {
            const store::WallTime next = nthAlarmTime(result.firstDue, AlarmType, result.due);
            if (!next.isValid()) {
                // Past the year 9999 the stored form cannot hold it: this was
                // the last time, and the alarm is switched off there. Left
                // on, it would stay due and ring at every tick.
                AlarmType = 0;
                result.calendarEnd = true;
                break;
            }
            AlarmDateTime = next;
            if (next.date >= surelyPast && next.moment() > now)
                break;
        }
    }
    // Only the two alarm fields are written, whatever else is unsaved.
    store::TableRecordset &rs = *m_session.store.rsArgomenti;
    rs.setIndex(QStringLiteral("PrimaryKey"));
    rs.seek(idArgomento);
    result.stored = rs.edit() && rs.setField(QStringLiteral("DataOraAllarme"), QVariant::fromValue(AlarmDateTime))
        && rs.setField(QStringLiteral("TipoAllarme"), AlarmType) && rs.update();
    if (!result.stored)
        rs.cancelUpdate();
    else
        rs.setBookmark(rs.lastModified());
    ShowAlarmIndicator();
    return result;
}
