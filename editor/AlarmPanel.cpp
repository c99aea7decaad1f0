#include "AlarmPanel.h"
#include "Str.h"

#include "Pictures.h"
#include "Session.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QLabel>
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

AlarmPanel::AlarmPanel(Session &session, QWidget *client, QToolButton *button, QWidget *body)
    : m_session(session), m_button(button), m_body(body)
{
    c.panel = new QWidget(client);
    c.panel->setAutoFillBackground(true);
    c.date = new QCalendarWidget(c.panel);
    // The years the stored form holds, so that any date picked can be saved.
    c.date->setDateRange(QDate(1, 1, 1), QDate(9999, 12, 31));
    c.hoursLabel = new QLabel(c.panel);
    c.hours = new QComboBox(c.panel);
    for (int h = 0; h < 24; ++h)
        c.hours->addItem(QStringLiteral("%1").arg(h, 2, 10, QLatin1Char('0')));
    c.minutes = new QComboBox(c.panel);
    for (int m = 0; m < 60; ++m)
        c.minutes->addItem(QStringLiteral("%1").arg(m, 2, 10, QLatin1Char('0')));
    c.typeLabel = new QLabel(c.panel);
    c.type = new QComboBox(c.panel);
    c.panel->hide();
}

void AlarmPanel::caption()
{
    const auto s = [this](int id) { return m_session.GetString(id); };
    c.hours->setAccessibleName(s(Str::AlarmHourName));
    c.minutes->setAccessibleName(s(Str::AlarmMinuteName));
    c.date->setAccessibleName(s(Str::AlarmDayName));
    // Month and day names in the program's language: the calendar took the
    // locale that was current when the window was built.
    c.date->setLocale(QLocale());
    c.hoursLabel->setText(s(Str::AlarmHourLabel));
    c.typeLabel->setText(s(Str::AlarmTypeLabel));
    c.type->setToolTip(s(Str::AlarmTypeTip));
    const int selected = c.type->currentIndex();
    c.type->clear();
    for (int id = Str::AlarmOff; id <= Str::AlarmYearly; ++id)
        c.type->addItem(s(id));
    if (selected >= 0)
        c.type->setCurrentIndex(selected);
}

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
        m_body->show();
    } else {
        fill();
        c.panel->show();
        c.panel->raise();
        m_body->hide();
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
    m_button->setIcon(m_type != 0 ? red : grey);
    m_button->setProperty("alarmActive", m_type != 0);
}

void AlarmPanel::movedOn(int type, const store::WallTime &time)
{
    m_type = type;
    m_time = time;
    if (isOpen())
        fill();
    showIndicator();
}
