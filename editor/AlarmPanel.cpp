#include "AlarmPanel.h"

#include "Pictures.h"
#include "Session.h"

#include <QCalendarWidget>
#include <QComboBox>
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

void AlarmPanel::set(int type, const store::WallTime &time)
{
    m_type = type;
    m_time = time;
    showIndicator();
}

bool AlarmPanel::isOpen() const
{
    return !c.panel->isHidden();
}

void AlarmPanel::toggle()
{
    if (isOpen()) {
        read();
        c.panel->hide();
        c.body->show();
    } else {
        fill();
        c.panel->show();
        c.panel->raise();
        c.body->hide();
    }
}

void AlarmPanel::fill()
{
    if (m_type == 0)
        m_time = store::WallTime::of(m_session.clock().now());
    c.date->setSelectedDate(m_time.date);
    c.hours->setCurrentIndex(m_time.time.hour());
    c.minutes->setCurrentIndex(m_time.time.minute());
    c.type->setCurrentIndex(qBound(0, m_type, 5));
}

void AlarmPanel::read()
{
    // Taken as the clock reads, not as a moment: 02:30 on the spring night
    // is kept as set.
    m_time = panelTime();
    m_type = panelType();
    showIndicator();
}

int AlarmPanel::panelType() const
{
    return c.type->currentIndex();
}

store::WallTime AlarmPanel::panelTime() const
{
    return {c.date->selectedDate(), QTime(c.hours->currentIndex(), c.minutes->currentIndex(), 0)};
}

void AlarmPanel::showIndicator()
{
    static const QIcon red = picture(QStringLiteral("timer"));
    static const QIcon grey = greyed(red);
    c.button->setIcon(m_type != 0 ? red : grey);
    c.button->setProperty("alarmActive", m_type != 0);
}

void AlarmPanel::movedOn(int type, const store::WallTime &time)
{
    m_type = type;
    m_time = time;
    if (isOpen())
        fill();
    showIndicator();
}
