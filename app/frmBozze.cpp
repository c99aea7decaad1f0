#include "frmBozze.h"
#include "Str.h"

#include "Session.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

frmBozze::frmBozze(Session &session, const QList<Line> &lines, QWidget *parent)
    : QDialog(parent), Form(session.forms, this, QStringLiteral("main2")), m_session(session)
{
    setObjectName(QStringLiteral("frmBozze"));
    setModal(true);
    labIstruzioni = new QLabel(this);
    labIstruzioni->setWordWrap(true);

    // A list of any length scrolls inside the window, which stays on screen.
    auto *list = new QWidget;
    auto *grid = new QGridLayout(list);
    grid->setColumnStretch(1, 1);
    grid->setVerticalSpacing(10);
    for (const Line &line : lines) {
        const int row = int(labArgomento.size());
        auto *topic = new QLabel(line.topic, list);
        QFont bold = topic->font();
        bold.setBold(true);
        topic->setFont(bold);
        topic->setTextFormat(Qt::PlainText);
        auto *notes = new QLabel(line.notes.join(QLatin1Char('\n')), list);
        notes->setTextFormat(Qt::PlainText);
        notes->setWordWrap(true);
        grid->addWidget(topic, row, 0, Qt::AlignTop);
        grid->addWidget(notes, row, 1, Qt::AlignTop);
        labArgomento << topic;
        labNote << notes;
    }
    grid->setRowStretch(int(lines.size()), 1);
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(list);

    cmdOk = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    cmdOk->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(cmdOk, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *root = new QVBoxLayout(this);
    root->addWidget(labIstruzioni);
    root->addWidget(scroll, 1);
    root->addWidget(cmdOk);
    AggiornaLingua();

    // Wide enough for a note on two or three lines; as tall as the list,
    // up to most of the screen.
    const int width = fontMetrics().averageCharWidth() * 80;
    const int height = list->hasHeightForWidth() ? list->heightForWidth(width) : list->sizeHint().height();
    const QScreen *screen = parent ? parent->screen() : this->screen();
    const int room = screen ? screen->availableGeometry().height() * 2 / 3 : 600;
    const int frame = 2 * scroll->frameWidth();
    scroll->setMinimumSize(width + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + frame,
                           std::min(height, room) + frame);
    if (parent)
        parent->installEventFilter(this);
}

void frmBozze::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_shown.start();
    centreOnParent();
}

void frmBozze::moveEvent(QMoveEvent *event)
{
    QDialog::moveEvent(event);
    // Some window managers place a new window themselves once it is shown,
    // wherever it asked to be: put back over the main window. Later moves
    // are the user's.
    if (!m_centring && m_shown.isValid() && m_shown.elapsed() < 1500)
        centreOnParent();
}

void frmBozze::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (!m_centring && m_shown.isValid() && m_shown.elapsed() < 1500)
        centreOnParent();
}

bool frmBozze::eventFilter(QObject *watched, QEvent *event)
{
    // At start the window manager places the main window only after it is
    // shown, so its place is known late: the window follows it there, or
    // it would be centred on the corner where the main window was built.
    if (watched == parentWidget() && isVisible()
        && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        centreOnParent();
    return QDialog::eventFilter(watched, event);
}

void frmBozze::centreOnParent()
{
    const QWidget *main = parentWidget();
    if (!main || !main->isVisible())
        return;
    // Before the window is laid out its size may still be nothing: its
    // centre would land on the main window's.
    QRect target = frameGeometry();
    if (target.width() < sizeHint().width() || target.height() < sizeHint().height())
        target.setSize(target.size().expandedTo(sizeHint()));
    target.moveCenter(main->frameGeometry().center());
    if (target.topLeft() == frameGeometry().topLeft())
        return;
    m_centring = true;
    move(target.topLeft());
    m_centring = false;
}

void frmBozze::AggiornaLingua()
{
    setWindowTitle(m_session.GetString(Str::DraftsTitle));
    labIstruzioni->setText(m_session.GetString(Str::DraftsIntro));
}
